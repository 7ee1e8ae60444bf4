// The driver's helpers: sound3d.exe started as a process of its own and
// worked through window messages, and where its sound goes.  Files are Unix
// paths, opened from here as "Z:" + path.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "resources/resource_ids.h"

namespace e2e {

inline std::string Env(const char* name) {
    return std::getenv(name) != nullptr ? std::getenv(name) : "";
}

// Asked of the window itself: a list's text is its selected item.
inline std::wstring WindowText(HWND window) {
    wchar_t text[256] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                        &length);
    return std::wstring(text, length);
}

inline bool Eventually(const std::function<bool()>& done) {
    for (int waited = 0; waited < 20000 && !done(); waited += 20) {
        Sleep(20);
    }
    return done();
}

// Where the program's sound goes: wine_env.sh makes ALSA's default pcm a
// WAV file, which alsa-lib in the program opens afresh at each start.
inline std::string CapturePath() { return Env("E2E_TMP") + "/capture.wav"; }
inline long long CaptureSize() {
    return std::ifstream("Z:" + CapturePath(), std::ios::binary | std::ios::ate).tellg();
}

// Whether the capture holds sound (float32 samples; silence is exactly
// zero) and is closed: alsa-lib writes the data size into its 44-byte
// header when the stream closes.
inline bool HeardAndClosed() {
    std::ifstream file("Z:" + CapturePath(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    uint32_t size = 0;
    if (bytes.size() >= 44) {
        std::memcpy(&size, &bytes[40], 4);
    }
    const size_t end = 44 + size_t{size};
    return size != 0 && end <= bytes.size() && bytes.find_first_not_of('\0', 44) < end;
}

// The program's dialog template built in the driver, hidden and inert: how
// it maps to pixels (MapDialogRect only works on one's own dialogs).
struct Twin {
    Twin() {
        const INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES};  // trackbars
        InitCommonControlsEx(&classes);
        dialog = CreateDialogParamW(
            LoadLibraryExW(L"sound3d.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE),
            MAKEINTRESOURCEW(IDD_MAIN), nullptr,
            [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    }
    ~Twin() { DestroyWindow(dialog); }
    HWND dialog = nullptr;
    RECT Map(int x, int y, int width, int height) const {
        RECT rect = {x, y, width, height};
        MapDialogRect(dialog, &rect);
        return RECT{rect.left, rect.top, rect.left + rect.right, rect.top + rect.bottom};
    }
};

struct Sound3d {
    ~Sound3d() {  // ends a program the test left running
        TerminateProcess(process.hProcess, 255);
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    // One program runs at a time: its dialog is found by its caption.
    bool Launch() {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        wchar_t command[] = L"sound3d.exe";  // found beside the driver first
        return CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process) &&
               Eventually([this] {
                   return IsWindowVisible(dialog = FindWindowW(L"#32770", L"DirectSound 3D"));
               });
    }
    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    std::wstring Text(int id) const { return WindowText(Item(id)); }
    HWND Focus() const {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
        return info.hwndFocus;
    }
    // Enter on the focused button, after which it is enabled again, reads
    // `becomes` and has the focus back, so that Enter works it again.
    bool Press(const wchar_t* becomes) const {
        PostKey(VK_RETURN);
        return Eventually([&] {
            return Text(IDC_START) == becomes && IsWindowEnabled(Item(IDC_START)) &&
                   Focus() == Item(IDC_START);
        });
    }
    // To the focused control, through the dialog's message loop.
    void PostKey(UINT key) const {
        PostMessageW(Focus(), WM_KEYDOWN, key, 1);
        PostMessageW(Focus(), WM_KEYUP, key, 0xC0000001);
    }
    PROCESS_INFORMATION process = {};
    HWND dialog = nullptr;
};

}  // namespace e2e
