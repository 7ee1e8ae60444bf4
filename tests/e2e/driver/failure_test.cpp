// Starts that fail: the error box names the step and DirectSound's code, and
// the dialog is idle again afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "alsa_output.h"
#include "sound3d_app.h"

namespace e2e {
namespace {

// What DirectSoundCreate returns for the n-th listed device, asked by a
// process of the driver's own started now (so with the output configured
// now, as the program sees it).
::testing::AssertionResult DirectSoundCreateResult(int device, HRESULT* result) {
    DWORD answer = 0;
    ::testing::AssertionResult asked =
        AskDriver(L"--direct-sound-create " + std::to_wstring(device), &answer);
    if (asked && answer == 1) {
        return ::testing::AssertionFailure() << "the driver lists no device " << device;
    }
    *result = static_cast<HRESULT>(answer);
    return asked;
}

std::wstring Hex(HRESULT code) {
    wchar_t text[16];
    std::swprintf(text, 16, L"%lX", static_cast<unsigned long>(code));
    return text;
}

TEST(Failures, WithoutSoundOutputThereIsNoDeviceToStart) {
    ASSERT_TRUE(NoSoundOutput());
    Sound3d app;
    ASSERT_TRUE(app.Launch());
    EXPECT_TRUE(app.ListTexts(kDevice).empty());
    EXPECT_EQ(app.Selection(kDevice), CB_ERR);
    for (int press = 1; press <= 2; ++press) {
        SCOPED_TRACE(::testing::Message() << "press " << press);
        HWND box = nullptr;
        ASSERT_TRUE(app.Click(&box));
        ASSERT_NE(box, nullptr) << "started without a device";
        EXPECT_TRUE(LooksLikeErrorBox(box));
        EXPECT_TEXT(ReadMessageBox(box).text, L"Нет устройств вывода звука");
        ASSERT_TRUE(app.Dismiss(box));
        EXPECT_TRUE(app.IsIdle());
    }
    app.PostKey(VK_ESCAPE);
    EXPECT_TRUE(app.ExitsWith(0));
}

// The output lists, but opening a stream on it fails (its rate converter is
// missing), so the creation of the device object fails.
TEST(Failures, AnOutputThatCannotBeOpenedStopsTheStartAtTheDevice) {
    ASSERT_TRUE(UnopenableSoundOutput());
    Sound3d app;
    ASSERT_TRUE(app.Launch());
    ASSERT_EQ(app.ListTexts(kDevice).size(), 2u);
    for (int device = 0; device < 2; ++device) {
        SCOPED_TRACE(::testing::Message() << "device " << device);
        HRESULT code = S_OK;
        ASSERT_TRUE(DirectSoundCreateResult(device, &code));
        ASSERT_TRUE(FAILED(code)) << "the output opens after all";
        ASSERT_TRUE(app.Select(kDevice, device));
        HWND box = nullptr;
        ASSERT_TRUE(app.Click(&box));
        ASSERT_NE(box, nullptr) << "started on an output that cannot open";
        EXPECT_TRUE(LooksLikeErrorBox(box));
        EXPECT_TEXT(ReadMessageBox(box).text,
                    L"Ошибка создания объекта устройства (0x" + Hex(code) + L")");
        ASSERT_TRUE(app.Dismiss(box));
        EXPECT_TRUE(app.IsIdle());
    }
    app.PostKey(VK_ESCAPE);
    EXPECT_TRUE(app.ExitsWith(0));
}

}  // namespace
}  // namespace e2e
