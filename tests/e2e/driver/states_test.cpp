// The dialog's states: idle, starting ("Жди"), playing; what closes it and
// what does not; the keyboard's Enter on the button.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "alsa_output.h"
#include "capture.h"
#include "screen.h"
#include "sound3d_app.h"

namespace e2e {
namespace {

// Below this RMS a stretch of the capture is silence.
const double kSilence = 1e-3;
const size_t kSegmentFrames = 4800;

bool HeardSomething(const std::string& capturePath, std::string* detail) {
    Capture capture;
    if (!ReadCapture(capturePath, &capture, detail)) {
        return false;
    }
    const std::string labels = SegmentLabels(capture, kSegmentFrames, kSilence);
    *detail = Summary(labels);
    return labels.find_first_not_of('-') != std::string::npos;
}

TEST(States, StartLocksTheChoicesAndStopFreesThem) {
    ASSERT_TRUE(CaptureTo(TempFile("states.wav")));
    Sound3d app;
    ASSERT_TRUE(app.Launch());
    EXPECT_TRUE(app.IsIdle());
    ASSERT_TRUE(app.Start());  // checks "Стоп", locked choices, free trackbars
    ASSERT_TRUE(app.Stop());   // checks "Старт" and everything enabled
    app.PostKey(VK_ESCAPE);
    EXPECT_TRUE(app.ExitsWith(0));
}

struct CloseWay {
    const char* name;
    void (*perform)(Sound3d& app);
};

const CloseWay kCloseWays[] = {
    {"EscapeKey", [](Sound3d& app) { app.PostKey(VK_ESCAPE); }},
    {"CloseBox", [](Sound3d& app) { PostMessageW(app.Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
    {"AltF4", [](Sound3d& app) { app.PostKey(VK_F4, true); }},
    {"CloseMessage", [](Sound3d& app) { PostMessageW(app.Dialog(), WM_CLOSE, 0, 0); }},
    {"CancelCommand",
     [](Sound3d& app) { PostMessageW(app.Dialog(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); }},
};

class Closing : public ::testing::TestWithParam<CloseWay> {};

TEST_P(Closing, IsRefusedWhilePlayingAndEndsTheProgramWhenIdle) {
    ASSERT_TRUE(CaptureTo(TempFile("closing.wav")));
    Sound3d app;
    ASSERT_TRUE(app.Launch());
    ASSERT_TRUE(app.Start());
    GetParam().perform(app);
    ASSERT_TRUE(app.Settle()) << "the dialog closed while playing";
    EXPECT_TRUE(app.Running());
    EXPECT_TRUE(app.DialogExists());
    EXPECT_TRUE(app.IsPlaying());

    ASSERT_TRUE(app.Stop());
    GetParam().perform(app);
    EXPECT_TRUE(app.ExitsWith(0));
}

INSTANTIATE_TEST_SUITE_P(States, Closing, ::testing::ValuesIn(kCloseWays),
                         [](const ::testing::TestParamInfo<CloseWay>& info) {
                             return std::string(info.param.name);
                         });

TEST(States, TwentyStartsAndStopsInARow) {
    const std::string capture = TempFile("cycles.wav");
    ASSERT_TRUE(CaptureTo(capture));
    Sound3d app;
    ASSERT_TRUE(app.Launch());
    for (int cycle = 1; cycle <= 20; ++cycle) {
        ASSERT_TRUE(app.Start()) << "start " << cycle;
        if (cycle == 20) {
            ASSERT_TRUE(CaptureGrows(capture, kSecondOfCapture / 2));
        }
        ASSERT_TRUE(app.Stop()) << "stop " << cycle;
    }
    // Each start reopens the output and so begins the capture anew: what is
    // there is the last start's sound.
    std::string detail;
    EXPECT_TRUE(HeardSomething(capture, &detail)) << detail;
    app.PostKey(VK_ESCAPE);
    EXPECT_TRUE(app.ExitsWith(0));
}

TEST(States, EnterOnTheButtonStartsAndStops) {
    ASSERT_TRUE(CaptureTo(TempFile("enter.wav")));
    Sound3d app;
    ASSERT_TRUE(app.Launch());
    HWND button = app.Item(kStartStop);
    // From the virtualization list past the device list to the button.
    app.PostKey(VK_TAB);
    app.PostKey(VK_TAB);
    ASSERT_TRUE(app.Sync());
    ASSERT_EQ(app.Focus(), button);

    for (int press = 1; press <= 4; ++press) {
        SCOPED_TRACE(::testing::Message() << "Enter " << press);
        app.PostKey(VK_RETURN);
        ASSERT_TRUE(app.Sync(30000));
        EXPECT_TRUE(press % 2 == 1 ? app.IsPlaying() : app.IsIdle());
        // Disabled during the start or stop, the button lost the focus; it
        // must have it back for the next Enter.
        EXPECT_EQ(app.Focus(), button);
    }
    app.PostKey(VK_ESCAPE);
    EXPECT_TRUE(app.ExitsWith(0));
}

// The capture goes to a FIFO: opening it for writing waits for a reader, so
// the start stops inside the creation of the device until the test opens the
// FIFO.  Meanwhile the button must read "Жди", on screen too.
TEST(States, ButtonShowsWaitWhileTheDeviceStarts) {
    const std::string fifo = Environment("E2E_FIFO");
    ASSERT_TRUE(CaptureToFifo(fifo));
    FifoDrain drain;  // outlives the program, whose exit ends the drain
    Sound3d app;
    ASSERT_TRUE(app.Launch());
    TwinDialog twin;
    ASSERT_TRUE(twin.Create(35, 14));

    // Wine puts a window's paint on the screen when its thread waits for
    // messages, and from UpdateWindow only if that thread last waited more
    // than 50 ms before; a click straight after the launch can find the
    // thread fresh from its first paints, and "Жди" would then stay off the
    // screen while the start blocks.  A person clicks after a pause.
    Sleep(200);
    ASSERT_TRUE(app.BeginClick());
    for (int waited = 0; app.Text(kStartStop) != kWaitText && waited < 10000; waited += 10) {
        Sleep(10);
    }
    ASSERT_TEXT(app.Text(kStartStop), kWaitText);
    EXPECT_FALSE(app.Enabled(kStartStop));
    for (int id : kChoiceControls) {
        EXPECT_FALSE(app.Enabled(id)) << id;
    }

    // The pixels of the button against the driver's own drawing of a
    // disabled button with each text.
    HWND button = app.Item(kStartStop);
    const LONG style = GetWindowLongW(button, GWL_STYLE) & ~WS_DISABLED;
    Image expected;
    Image starting;
    ASSERT_TRUE(twin.RenderButton(kWaitText, style, false, &expected));
    ASSERT_TRUE(twin.RenderButton(kStartText, style, false, &starting));
    ASSERT_GT(DifferingPixels(expected, starting), 0) << "the texts must look different";
    RECT area;
    GetWindowRect(button, &area);
    Image shown;
    for (int waited = 0; waited < 5000; waited += 50) {
        ASSERT_TRUE(CaptureScreen(area, &shown));
        if (DifferingPixels(shown, expected) == 0) {
            break;
        }
        Sleep(50);
    }
    EXPECT_EQ(DifferingPixels(shown, expected), 0) << "the button on screen is not \"Жди\"";
    if (DifferingPixels(shown, expected) != 0) {
        WriteBmp(TempFile("wait-shown.bmp"), shown);
        WriteBmp(TempFile("wait-expected.bmp"), expected);
    }
    EXPECT_TRUE(app.ClickPending()) << "the start did not wait for the output";

    ASSERT_TRUE(drain.Start(fifo));
    ASSERT_TRUE(drain.Opened(10000));
    ASSERT_TRUE(app.FinishClick());
    EXPECT_TRUE(app.IsPlaying());
    ASSERT_TRUE(app.Stop());
    EXPECT_TRUE(drain.Finished(10000)) << "the output stayed open after the stop";
    EXPECT_GT(drain.BytesRead(), 0u);
    app.PostKey(VK_ESCAPE);
    EXPECT_TRUE(app.ExitsWith(0));
}

}  // namespace
}  // namespace e2e
