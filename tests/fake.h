// A scripted stand-in for the window system and DirectSound. It logs every
// call with its arguments, fails one chosen call on request and keeps each
// control's state.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "playback/device_table.h"
#include "playback/dialog_window.h"
#include "playback/playback.h"
#include "playback/source_position.h"

using Texts = std::vector<std::string>;

struct FakeControl {
    Texts items;  // of a combo box, whose selection shows in text
    int selection = -1;
    std::string text;
    int low = 0, high = 100, position = 0;  // of a trackbar
};

struct FakeObject;

struct Fake {
    // Every call in order, e.g. "source.Play(0, 0, 1)" or "EnableWindow(1030, 0)",
    // texts in Windows-1251 as the program passed them.
    Texts log;
    std::string failCall;  // the log entry of the call that returns FAILURE
    // Where Lock splits a source buffer, so that both regions take part.
    DWORD lockSplit = 1000;
    std::vector<BYTE> clip, played;  // played: the source buffer when Play came
    // Each device's name and identifier's first field, which the log shows;
    // a negative one stands for the default device, which has no identifier.
    std::vector<std::pair<std::string, int64_t>> devices;
    std::list<FakeObject> objects;
    std::map<int, FakeControl> controls;
    HWND focus = nullptr;
    INT_PTR result = -1;  // what EndDialog was given
};

extern Fake fake;
const HRESULT FAILURE = DSERR_ALLOCATED;
const DWORD SPARE_BYTES = 100;  // a source buffer's beyond those asked for

// Gives the fake its start-up state: one device, a clip, the dialog's controls.
void ResetFake();
HWND FakeDialog();

// The fake and the program's globals at start-up.
inline void Reset() {
    ResetFake();
    playbackObjects = {};
    deviceTable = {};
    sourcePosition = {};
    playing = false;
    dialogWindow = FakeDialog();
}

Texts Logged(const Texts& prefixes);          // the log entries starting with any of them
std::string Box(const std::string& message);  // the log entry of an error box

template <typename... Args>
std::string Format(const char* format, Args... args) {
    char text[512];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

inline INT_PTR Send(UINT message, WPARAM wParam = 0) {
    return MainDialogProc(FakeDialog(), message, wParam, 0);
}
inline INT_PTR Press(int control) { return Send(WM_COMMAND, static_cast<WPARAM>(control)); }
