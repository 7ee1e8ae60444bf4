// The cases: the dialog as Wine builds it from the template (run.sh runs it
// also under a code page without Cyrillic); what the program plays
// through Wine's DirectSound, judged from the capture of ALSA's output; the
// real error code of an output that cannot be opened.
#include "driver.h"

#include <mmsystem.h>
#include <dsound.h>

#include <cstdio>

#include "resources/dialog_template.h"

namespace e2e {
namespace {

// What a control shows once the dialog is open, where that is not its
// template text: a list's selected item, a readout's coordinate.
const std::pair<int, const wchar_t*> kShownTexts[] = {
    {IDC_VIRTUALIZATION, L"Полная"}, {IDC_DEVICE, L"Primary Sound Driver"},
    {IDC_SPEAKERS, L"Наушники"},     {IDC_ANGLE, L"10"},
    {IDC_VALUE_X, L"X= 00.00"},      {IDC_VALUE_Y, L"Y= 00.00"},
    {IDC_VALUE_Z, L"Z= 00.00"},
};

std::wstring Wide(const char* utf8) {
    wchar_t text[256] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8, -1, text, 256);
    return text;
}

std::wstring ShownText(const ControlTemplate& control) {
    for (const auto& shown : kShownTexts) {
        if (shown.first == control.id) {
            return shown.second;
        }
    }
    return Wide(control.text);
}

TEST(Dialog, TemplateAsBuilt) {
    EXPECT_EQ(GetACP(), std::stoul(Env("E2E_CODE_PAGE")));
    Sound3d app;
    ASSERT_TRUE(app.Launch(Capture(TempFile("template.wav"))));
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
    RECT client, size = twin.Map(0, 0, mainDialog.rect.width, mainDialog.rect.height);
    GetClientRect(app.dialog, &client);
    EXPECT_EQ(std::make_pair(client.right, client.bottom), std::make_pair(size.right, size.bottom));
    // In this order, with these WS_TABSTOP bits, the controls are the tab order.
    HWND child = GetWindow(app.dialog, GW_CHILD);
    for (int i = 0; i < mainDialog.controlCount; ++i) {
        const ControlTemplate& control = mainDialog.controls[i];
        SCOPED_TRACE(::testing::Message()
                     << "control at " << control.rect.x << "," << control.rect.y);
        wchar_t className[64] = {};
        GetClassNameW(child, className, 64);
        EXPECT_EQ(CompareStringOrdinal(className, -1, Wide(control.className).c_str(), -1, TRUE),
                  CSTR_EQUAL);
        EXPECT_EQ(GetDlgCtrlID(child) & 0xFFFF, control.id & 0xFFFF);
        EXPECT_EQ(WindowText(child), ShownText(control));
        const bool combo = className == std::wstring(L"ComboBox");
        // Wine's combo box hands WS_VSCROLL on to its list.
        const LONG mask = combo ? ~WS_VSCROLL : ~0;
        EXPECT_EQ(GetWindowLongW(child, GWL_STYLE) & mask, static_cast<LONG>(control.style) & mask);
        RECT shown;
        GetWindowRect(child, &shown);
        MapWindowPoints(nullptr, app.dialog, reinterpret_cast<POINT*>(&shown), 2);
        const RECT expected =
            twin.Map(control.rect.x, control.rect.y, control.rect.width, control.rect.height);
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
    EXPECT_EQ(app.Focus(), app.Item(IDC_VIRTUALIZATION));
}

// Started and stopped with Enter.  Each start opens the output anew, which
// begins the capture afresh.
TEST(Sound, EachAlgorithmFollowsTheSourceAndFallsSilentAtStop) {
    const std::string path = TempFile("sound.wav");
    Sound3d app;
    ASSERT_TRUE(app.Launch(Capture(path)));
    app.PostKey(VK_TAB);  // from the virtualization list to the button
    app.PostKey(VK_TAB);
    ASSERT_TRUE(Eventually([&] { return app.Focus() == app.Item(IDC_START); }));
    for (int algorithm = 0; algorithm < 3; ++algorithm) {
        SCOPED_TRACE(::testing::Message() << "virtualization item " << algorithm);
        SendMessageW(app.Item(IDC_VIRTUALIZATION), CB_SETCURSEL, algorithm, 0);
        const auto plays = [&] {  // 2 s of float32 stereo at 48 kHz; faster than real time
            const long long size = FileSize(path);
            return Eventually([&] { return FileSize(path) > size + 2 * 48000 * 8; });
        };
        app.SetSlider(IDC_SLIDER_X, 2000);  // placed before the start
        ASSERT_TRUE(app.Press(kStopText));
        ASSERT_TRUE(plays());
        app.SetSlider(IDC_SLIDER_X, -2000);  // moved while playing
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
