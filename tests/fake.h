// A scripted stand-in for the window system and DirectSound. It logs every
// call with its arguments, counts the references of the sound objects it
// hands out (a call after the last release fails the test), fails one
// chosen call on request and keeps each control's state.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "playback/playback.h"

using Texts = std::vector<std::string>;

inline Texts operator+(Texts a, const Texts& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

struct FakeControl {
    Texts items;
    int selection = -1;
    std::string text;
    LONG style = 0;
    int low = 0, high = 100, position = 0;
};

// Devices are told apart by their identifier's first field, which the log shows.
struct FakeDevice {
    bool hasIdentifier;
    GUID identifier;
    std::string name;
};

struct FakeObject;

struct Fake {
    // Every call in order, e.g. "source.Play(0, 0, 1)" or "EnableWindow(1030, 0)",
    // texts in Windows-1251 as the program passed them.
    Texts log;
    // The call (the log entry's text before '(') that fails, and on which
    // occurrence; it returns FAILURE.
    std::string failName;
    int failOccurrence = 1;
    HRESULT enumerateResult = 0;
    DWORD lockSplit = 0;    // 0: Lock hands back one region
    DWORD padding = 0;      // bytes a source buffer has beyond those asked for
    std::vector<BYTE> clip, played;  // played: the source buffer when Play came
    std::vector<FakeDevice> devices;
    std::vector<std::unique_ptr<FakeObject>> objects;
    std::map<int, FakeControl> controls;
    HWND focus = nullptr;
    INT_PTR result = -1;  // what EndDialog was given
};

extern Fake fake;
const HRESULT FAILURE = static_cast<HRESULT>(0x8878000A);

// Gives the fake and the program's globals their start-up state: one device, the real clip, the template's trackbars.
void Reset();

HWND FakeDialog();
HWND ControlWindow(int id);
Texts Alive();                        // sound objects still referenced, oldest first
Texts Logged(const Texts& prefixes);  // the log entries starting with any of them
std::string Box(const std::string& message);  // the log entry of an error box

inline INT_PTR Send(UINT message, WPARAM wParam = 0) {
    return MainDialogProc(FakeDialog(), message, wParam, 0);
}
inline INT_PTR Press(int control) { return Send(WM_COMMAND, static_cast<WPARAM>(control)); }

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
};
