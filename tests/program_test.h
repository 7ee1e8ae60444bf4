// A test fixture that gives every test a fresh fake and a program in its
// start-up state.
#pragma once

#include <gtest/gtest.h>

#include "app/main_dialog.h"
#include "playback/device_table.h"
#include "playback/error_box.h"
#include "playback/playback.h"
#include "playback/source_position.h"
#include "tests/fake_platform.h"

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        playbackObjects = {};
        deviceTable = {};
        sourcePosition = {};
        playing = false;
        ResetFake();
        dialogWindow = FakeDialog();
    }

    void TearDown() override {
        for (const std::string& fault : fake.misuse) {
            ADD_FAILURE() << fault;
        }
    }

    // Puts devices into the table as if they had been listed.
    static void ListDevices(std::initializer_list<DeviceEntry> entries) {
        for (const DeviceEntry& entry : entries) {
            deviceTable.entries[deviceTable.deviceCount++] = entry;
        }
    }
};
