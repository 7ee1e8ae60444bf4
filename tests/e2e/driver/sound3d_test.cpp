// The end-to-end case, run twice by run.sh, the second time under a code
// page without Cyrillic: sound3d.exe started as a process of its own and
// worked through window messages, checked for what only the real platform
// decides: the dialog as Wine builds it from the template, its keys and
// focus, and a start and stop heard at ALSA's output.  Files are Unix paths,
// opened from here as "Z:" + path.
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

#include "resources/dialog_template.h"
#include "resources/resource_ids.h"

namespace {

std::string Env(const char* name) { return std::getenv(name) != nullptr ? std::getenv(name) : ""; }

std::wstring Wide(const std::string& utf8) {
    wchar_t text[256] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, text, 256);
    return text;
}

// Asked of the window itself: a list's text is its selected item.
std::wstring WindowText(HWND window) {
    wchar_t text[256] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000,
                        &length);
    return std::wstring(text, length);
}

bool Eventually(const std::function<bool()>& done) {
    for (int waited = 0; waited < 20000 && !done(); waited += 20) {
        Sleep(20);
    }
    return done();
}

// Where the program's sound goes: wine_env.sh makes ALSA's default pcm a
// WAV file, which alsa-lib in the program opens afresh at each start.
std::string CapturePath() { return Env("E2E_TMP") + "/capture.wav"; }
long long CaptureSize() {
    return std::ifstream("Z:" + CapturePath(), std::ios::binary | std::ios::ate).tellg();
}

// Whether the capture holds sound (float32 samples; silence is exactly
// zero) and is closed: alsa-lib writes the data size into its 44-byte
// header when the stream closes.
bool HeardAndClosed() {
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
    RECT Map(const DialogRect& r) const {
        RECT rect = {r.x, r.y, r.width, r.height};
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

TEST(Sound3d, DialogAsWineBuildsItAndItsKeys) {
    EXPECT_EQ(GetACP(), std::stoul(Env("E2E_CODE_PAGE")));
    DeleteFileW(Wide("Z:" + CapturePath()).c_str());  // from an earlier run
    Sound3d app;
    ASSERT_TRUE(app.Launch());
    Twin twin;
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(twin.dialog, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"MS Sans Serif");
    EXPECT_EQ(font.lfHeight, -MulDiv(8, GetDeviceCaps(GetDC(nullptr), LOGPIXELSY), 72));

    // The dialog manager adds visibility, sibling clipping and the 3D look.
    const DialogTemplate& mainDialog = *FindDialogTemplate(IDD_MAIN);
    EXPECT_EQ(GetWindowLongW(app.dialog, GWL_STYLE) & ~(WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK),
              static_cast<LONG>(mainDialog.style));
    RECT client, size = twin.Map({0, 0, mainDialog.rect.width, mainDialog.rect.height});
    GetClientRect(app.dialog, &client);
    EXPECT_EQ(std::make_pair(client.right, client.bottom), std::make_pair(size.right, size.bottom));
    // In this order, with these WS_TABSTOP bits, the controls are the tab order.
    HWND child = GetWindow(app.dialog, GW_CHILD);
    for (int i = 0; i < mainDialog.controlCount; ++i) {
        const ControlTemplate& control = mainDialog.controls[i];
        SCOPED_TRACE(::testing::Message() << "control " << i);
        wchar_t className[64] = {};
        GetClassNameW(child, className, 64);
        EXPECT_EQ(CompareStringOrdinal(className, -1, Wide(control.className).c_str(), -1, TRUE),
                  CSTR_EQUAL);
        EXPECT_EQ(GetDlgCtrlID(child) & 0xFFFF, control.id & 0xFFFF);
        // The program fills the lists and completes the readouts.
        const std::wstring text = Wide(control.text);
        EXPECT_EQ(WindowText(child).substr(0, text.size()), text);
        const bool combo = className == std::wstring(L"ComboBox");
        // Wine's combo box hands WS_VSCROLL on to its list.
        const LONG mask = combo ? ~WS_VSCROLL : ~0;
        EXPECT_EQ(GetWindowLongW(child, GWL_STYLE) & mask, static_cast<LONG>(control.style) & mask);
        RECT shown;
        GetWindowRect(child, &shown);
        MapWindowPoints(nullptr, app.dialog, reinterpret_cast<POINT*>(&shown), 2);
        const RECT expected = twin.Map(control.rect);
        EXPECT_EQ(std::make_tuple(shown.left, shown.top, shown.right),
                  std::make_tuple(expected.left, expected.top, expected.right));
        // A combo box's height includes its list, which Wine reports apart
        // and which keeps to whole items.
        RECT list = {};
        SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&list));
        EXPECT_NEAR(shown.bottom + (combo ? list.bottom - list.top : 0), expected.bottom,
                    combo ? 4 : 0);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    // List items go in as Windows-1251 whatever the code page.
    EXPECT_EQ(app.Text(IDC_VIRTUALIZATION), L"Полная");

    // Focus starts on the first list; two Tabs reach the button, and Enter
    // starts and stops the sound.
    EXPECT_EQ(app.Focus(), app.Item(IDC_VIRTUALIZATION));
    app.PostKey(VK_TAB);
    app.PostKey(VK_TAB);
    ASSERT_TRUE(Eventually([&] { return app.Focus() == app.Item(IDC_START); }));
    ASSERT_TRUE(app.Press(L"Стоп"));
    // 2 s of float32 stereo at 48 kHz, written faster than real time.
    ASSERT_TRUE(Eventually([] { return CaptureSize() > 2 * 48000 * 8; }));
    ASSERT_TRUE(app.Press(L"Старт"));
    EXPECT_TRUE(HeardAndClosed()) << "silent, or the output is still open after the stop";
}

}  // namespace
