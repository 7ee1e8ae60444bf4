// A scripted stand-in for the window system and DirectSound. It records every
// call with its arguments, counts references of the objects it hands out,
// can make one chosen operation fail, and keeps the state of each control.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/platform.h"

struct FakeDevice {
    bool hasIdentifier;
    GUID identifier;
    std::string description;
};

struct FakeBox {
    HWND owner;
    std::string text;     // as the program passed it, Windows-1251
    std::string caption;
    UINT type;
    std::vector<std::string> aliveWhenShown;
};

struct FakeControl {
    std::vector<std::string> items;
    int selection = -1;
    std::string text;
    bool enabled = true;
    LONG style = 0;
    int rangeMin = 0;
    int rangeMax = 100;
    int position = 0;
};

// The bookkeeping every fake sound object shares: its name and references.
struct FakeSoundObject {
    std::string name;
    int references = 1;

    explicit FakeSoundObject(std::string objectName) : name(std::move(objectName)) {}
    virtual ~FakeSoundObject() = default;

    // Any call on an object whose references are all given back is a fault.
    void CheckAlive(const char* method);
    ULONG ReleaseOnce();
};

struct FakePlatform {
    // Every sound and resource call, in order, e.g. "source.Play(0, 0, 1)".
    std::vector<std::string> calls;
    // Window calls that matter for ordering, e.g. "EnableWindow(1030, 0)".
    std::vector<std::string> windowCalls;
    // Faults of the program seen by the fake: over-release, use after
    // release, an Unlock that does not match its Lock.
    std::vector<std::string> misuse;

    // The operation (a call's name before its '(') that fails, on which
    // occurrence, and with what result.
    std::string failingOperation;
    int failingOccurrence = 1;
    HRESULT failure = 0;

    DWORD lockSplitAt = 0;  // 0: Lock hands back one region
    std::vector<BYTE> clip;

    std::vector<FakeDevice> devices;
    HRESULT enumerateResult = 0;

    std::vector<std::unique_ptr<FakeSoundObject>> objects;
    std::vector<BYTE> playedContent;  // the source buffer when Play was called

    std::map<int, FakeControl> controls;
    std::vector<FakeBox> boxes;
    HWND focus = nullptr;
    bool dialogEnded = false;
    INT_PTR dialogResult = 0;
    // Run by DialogBoxParamW after WM_INITDIALOG while the dialog is open.
    std::function<void()> whileDialogOpen;
    // Run when an error box is shown, before it "closes".
    std::function<void()> onBox;
};

extern FakePlatform fake;

// A fresh fake: no calls, no objects, one device, the real clip, the
// dialog's controls with their template styles.
void ResetFake();

HWND FakeDialog();
HWND FakeControlWindow(int controlId);

// Names of the sound objects still holding a reference, in creation order.
std::vector<std::string> AliveObjects();

// Calls whose text starts with prefix, in order.
std::vector<std::string> CallsStartingWith(const std::string& prefix);

GUID MakeGuid(uint32_t first);
std::string GuidText(const GUID& guid);
