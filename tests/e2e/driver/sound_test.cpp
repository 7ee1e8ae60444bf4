// What the program plays through Wine's DirectSound, judged from the capture
// of ALSA's output, and the real error code of an output that cannot be opened.
#include "driver.h"

#include <mmsystem.h>
#include <dsound.h>

#include <cstdio>

namespace e2e {
namespace {

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
