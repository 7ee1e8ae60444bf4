// What only the real platform decides: the dialog as Wine builds it from the
// template, its keys and focus, and a start and stop heard at ALSA's output.
// run.sh runs it twice, the second time under a code page without Cyrillic.
#include "driver.h"

#include "resources/dialog_template.h"

namespace e2e {
namespace {

std::wstring Wide(const std::string& utf8) {
    wchar_t text[256] = {};
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, text, 256);
    return text;
}

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
    RECT client, size = twin.Map(0, 0, mainDialog.rect.width, mainDialog.rect.height);
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
}  // namespace e2e
