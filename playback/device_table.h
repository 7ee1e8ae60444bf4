// The output devices listed when the dialog opened: entry i belongs to item i
// of the device list.
#pragma once

#include "platform/platform.h"

const int MAX_DEVICES = 32;

struct DeviceEntry {
    bool hasIdentifier;  // false: the platform's default device
    GUID identifier;
};

struct DeviceTable {
    DeviceEntry entries[MAX_DEVICES];
    int deviceCount;
};

extern DeviceTable deviceTable;
