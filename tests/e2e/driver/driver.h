// The driver's helpers: sound3d.exe started as a process of its own and
// worked through window messages, and where its sound goes.  Files are Unix
// paths, opened from here as "Z:" + path.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "resources/resource_ids.h"

namespace e2e {

inline const wchar_t kStartText[] = L"Старт";
inline const wchar_t kStopText[] = L"Стоп";

inline std::string Env(const char* name) {
    return std::getenv(name) != nullptr ? std::getenv(name) : "";
}
inline std::string TempFile(const std::string& name) { return Env("E2E_TMP") + "/" + name; }

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

// ALSA's default pcm for the programs started next, read by alsa-lib inside
// the program when it first plays (wine_env.sh): a WAV capture, or an output
// that lists but cannot be opened, for want of a rate converter.
inline bool WriteAsoundrc(const std::string& output) {
    return !Env("E2E_ASOUNDRC").empty() && std::ofstream("Z:" + Env("E2E_ASOUNDRC")) << output;
}
inline std::string Capture(const std::string& path) {
    return "pcm.!default { type file slave.pcm null file \"" + path + "\" format wav }";
}
inline const std::string kUnopenableOutput =
    "pcm.!default { type plug slave { pcm null rate 44100 } rate_converter sound3d_e2e_missing }";

inline long long FileSize(const std::string& path) {
    return std::ifstream("Z:" + path, std::ios::binary | std::ios::ate).tellg();
}

// The order of what a capture holds, by the louder side of each tenth of a
// second, 'L', 'R' or 'C' (alike), with runs under three tenths and quiet
// left out: two units away the source is about 5e-4 RMS, and Wine's panning
// leaves the far side at exactly zero.  alsa-lib's 44-byte header calls the
// floats 32-bit PCM and gets the data size when the stream is closed (*closed).
inline bool ReadCapture(const std::string& path, bool* closed, std::string* order) {
    std::ifstream file("Z:" + path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(file)),
                            std::istreambuf_iterator<char>());
    uint32_t size = 0;
    if (bytes.size() < 44 || bytes.compare(36, 4, "data") != 0) {
        return false;
    }
    std::memcpy(&size, &bytes[40], 4);
    *closed = size != 0 && size_t{size} + 44 <= bytes.size();
    std::vector<float> samples((*closed ? size : bytes.size() - 44) / 4);
    std::memcpy(samples.data(), &bytes[44], samples.size() * 4);
    order->clear();
    char last = 0;
    for (size_t at = 0, run = 0; at + 9600 <= samples.size(); at += 9600) {
        double left = 0.0, right = 0.0;  // sums of squares over 4800 frames
        for (size_t i = at; i < at + 9600; i += 2) {
            left += samples[i] * samples[i];
            right += samples[i + 1] * samples[i + 1];
        }
        if (std::max(left, right) >= 1e-10 * 4800) {
            const char side = left > 2.25 * right ? 'L' : right > 2.25 * left ? 'R' : 'C';
            run = side == last ? run + 1 : 1;
            last = side;
            if (run == 3 && (order->empty() || order->back() != side)) {
                *order += side;
            }
        }
    }
    return true;
}

// The program's dialog template built in the driver, hidden and inert: how
// it maps to pixels (MapDialogRect only works on one's own dialogs).
struct Twin {
    HWND dialog = CreateDialogParamW(
        LoadLibraryExW(L"sound3d.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE),
        MAKEINTRESOURCEW(IDD_MAIN), nullptr,
        [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
    ~Twin() { DestroyWindow(dialog); }
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
    bool Launch(const std::string& output) {
        STARTUPINFOW startup = {
            sizeof startup, nullptr, nullptr, nullptr, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
            nullptr,        nullptr, nullptr, nullptr};
        wchar_t command[] = L"sound3d.exe";  // found beside the driver first
        return WriteAsoundrc(output) &&
               CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process) &&
               Eventually([this] {
                   return IsWindowVisible(dialog = FindWindowW(L"#32770", L"DirectSound 3D"));
               });
    }
    HWND Item(int id) const { return GetDlgItem(dialog, id); }
    std::wstring Text(int id) const { return WindowText(Item(id)); }
    HWND Focus() const {
        GUITHREADINFO info = {sizeof info, 0,       nullptr, nullptr, nullptr,
                              nullptr,     nullptr, nullptr, {}};
        GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
        return info.hwndFocus;
    }
    // What a click on the button tells the dialog.
    void Click() const {
        PostMessageW(dialog, WM_COMMAND, IDC_START, reinterpret_cast<LPARAM>(Item(IDC_START)));
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
    void SetSlider(int id, int position) const {
        SendMessageW(Item(id), TBM_SETPOS, TRUE, position);
        SendMessageW(dialog, id == IDC_SLIDER_X ? WM_HSCROLL : WM_VSCROLL,
                     MAKEWPARAM(TB_THUMBPOSITION, static_cast<WORD>(position)),
                     reinterpret_cast<LPARAM>(Item(id)));
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
