// The cases: the dialog as Wine builds it from the template (run.sh runs it
// also under a code page without Cyrillic); what the program plays
// through Wine's DirectSound, judged from the capture of ALSA's output; the
// real error code of an output that cannot be opened.
#include "driver.h"

#include <mmsystem.h>
#include <dsound.h>

#include <cstdio>

namespace e2e {
namespace {

struct Control {
    int id;
    const wchar_t* className;
    const wchar_t* text;  // a list's is its selected item, added as 1251 text
    LONG style;
    int x, y, width, height;  // dialog units
};

const Control kControls[] = {
    {kVirtualization, L"ComboBox", L"Полная", 0x50210003, 75, 55, 60, 90},
    {-1, L"Static", L"Виртуализация", 0x50020000, 5, 60, 63, 8},
    {kDevice, L"ComboBox", L"Primary Sound Driver", 0x50210003, 65, 5, 130, 89},
    {-1, L"Static", L"Устройство", 0x50020000, 5, 10, 53, 8},
    {kStartStop, L"Button", L"Старт", 0x50010000, 160, 55, 35, 14},
    {kSliderX, L"msctls_trackbar32", L"Slider1", 0x50010018, 15, 86, 100, 15},
    {kSliderY, L"msctls_trackbar32", L"Slider2", 0x5001001A, 55, 110, 15, 75},
    {kSliderZ, L"msctls_trackbar32", L"Slider3", 0x5001001A, 131, 80, 15, 105},
    {-1, L"Static", L"X", 0x50020000, 5, 90, 8, 8},
    {-1, L"Static", L"Y", 0x50020000, 41, 145, 8, 8},
    {-1, L"Static", L"Z", 0x50020000, 121, 130, 8, 8},
    {1034, L"Static", L"X= 00.00", 0x50020000, 160, 95, 35, 8},
    {1035, L"Static", L"Y= 00.00", 0x50020000, 160, 110, 35, 8},
    {1036, L"Static", L"Z= 00.00", 0x50020000, 160, 125, 35, 8},
    {-1, L"Static", L"Излучатели", 0x50020000, 5, 35, 40, 8},
    {kSpeakers, L"ComboBox", L"Наушники", 0x50210003, 65, 30, 70, 110},
    {-1, L"Static", L"Угол", 0x50020000, 145, 35, 18, 8},
    {kAngle, L"ComboBox", L"10", 0x50210002, 165, 30, 30, 65},
};

TEST(Dialog, TemplateAsBuilt) {
    EXPECT_EQ(GetACP(), std::stoul(Env("E2E_CODE_PAGE")));
    Sound3d app;
    ASSERT_TRUE(app.Launch(Capture(TempFile("template.wav"))));
    Twin twin;
    LOGFONTW font = {};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(twin.dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"MS Sans Serif");
    EXPECT_EQ(font.lfHeight, -MulDiv(8, GetDeviceCaps(GetDC(nullptr), LOGPIXELSY), 72));

    // The dialog manager adds visibility, sibling clipping and the 3D look.
    EXPECT_EQ(GetWindowLongW(app.dialog, GWL_STYLE) & ~(WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK),
              0x00CA08C0);
    RECT client, size = twin.Map(0, 0, 202, 191);
    GetClientRect(app.dialog, &client);
    EXPECT_EQ(std::make_pair(client.right, client.bottom), std::make_pair(size.right, size.bottom));
    // In this order, with these WS_TABSTOP bits, the controls are the tab order.
    HWND child = GetWindow(app.dialog, GW_CHILD);
    for (const Control& control : kControls) {
        SCOPED_TRACE(::testing::Message() << "control at " << control.x << "," << control.y);
        wchar_t className[64] = {};
        GetClassNameW(child, className, 64);
        EXPECT_EQ(className, std::wstring(control.className));
        EXPECT_EQ(GetDlgCtrlID(child) & 0xFFFF, control.id & 0xFFFF);
        EXPECT_EQ(WindowText(child), control.text);
        const bool combo = className == std::wstring(L"ComboBox");
        // Wine's combo box hands WS_VSCROLL on to its list.
        const LONG mask = combo ? ~WS_VSCROLL : ~0;
        EXPECT_EQ(GetWindowLongW(child, GWL_STYLE) & mask, control.style & mask);
        RECT shown;
        GetWindowRect(child, &shown);
        MapWindowPoints(nullptr, app.dialog, reinterpret_cast<POINT*>(&shown), 2);
        const RECT expected = twin.Map(control.x, control.y, control.width, control.height);
        EXPECT_EQ(std::make_tuple(shown.left, shown.top, shown.right),
                  std::make_tuple(expected.left, expected.top, expected.right));
        // A combo box's height includes its list, which Wine reports apart
        // and which keeps to whole items.
        RECT list = {};
        SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&list));
        EXPECT_NEAR(shown.bottom + (combo ? list.bottom - list.top : 0), expected.bottom, combo ? 4 : 0);
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(app.Focus(), app.Item(kVirtualization));
}

// Started and stopped with Enter.  Each start opens the output anew, which
// begins the capture afresh.
TEST(Sound, EachAlgorithmFollowsTheSourceAndFallsSilentAtStop) {
    const std::string path = TempFile("sound.wav");
    Sound3d app;
    ASSERT_TRUE(app.Launch(Capture(path)));
    app.PostKey(VK_TAB);  // from the virtualization list to the button
    app.PostKey(VK_TAB);
    ASSERT_TRUE(Eventually([&] { return app.Focus() == app.Item(kStartStop); }));
    for (int algorithm = 0; algorithm < 3; ++algorithm) {
        SCOPED_TRACE(::testing::Message() << "virtualization item " << algorithm);
        SendMessageW(app.Item(kVirtualization), CB_SETCURSEL, algorithm, 0);
        const auto plays = [&] {  // 2 s of float32 stereo at 48 kHz; faster than real time
            const long long size = FileSize(path);
            return Eventually([&] { return FileSize(path) > size + 2 * 48000 * 8; });
        };
        app.SetSlider(kSliderX, 2000);  // placed before the start
        ASSERT_TRUE(app.Press(kStopText));
        ASSERT_TRUE(plays());
        app.SetSlider(kSliderX, -2000);  // moved while playing
        ASSERT_TRUE(plays());
        ASSERT_TRUE(app.Press(kStartText));
        bool closed = false;
        std::string order;
        ASSERT_TRUE(ReadCapture(path, &closed, &order));
        EXPECT_TRUE(closed) << "the output is still open after the stop";
        EXPECT_EQ(order, "RL");
    }
}

TEST(Sound, OutputThatCannotOpenShowsDirectSoundsCode) {
    // The driver has not touched ALSA before, so it reads the same output.
    ASSERT_TRUE(WriteAsoundrc(kUnopenableOutput));
    IDirectSound* device = nullptr;
    const HRESULT code = DirectSoundCreate(nullptr, &device, nullptr);
    ASSERT_TRUE(FAILED(code)) << "the output opens after all";
    Sound3d app;
    ASSERT_TRUE(app.Launch(kUnopenableOutput));
    app.Click();
    HWND box = nullptr;
    ASSERT_TRUE(Eventually([&] { return (box = FindWindowW(L"#32770", L"Ошибка")) != nullptr; }));
    wchar_t expected[64];
    std::swprintf(expected, 64, L"Ошибка создания объекта устройства (0x%lX)", code);
    EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)), expected);
}

}  // namespace
}  // namespace e2e
