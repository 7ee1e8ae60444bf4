// A picture of the dialog while it plays, for the documentation.  run.sh
// runs this case alone inside a Wine virtual desktop, where Wine draws the
// caption and frame, and names the file in E2E_SCREENSHOT.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "alsa_output.h"
#include "screen.h"
#include "sound3d_app.h"

namespace e2e {
namespace {

TEST(Screenshot, PlayingDialog) {
    const std::string path = Environment("E2E_SCREENSHOT");
    if (path.empty()) {
        GTEST_SKIP() << "run.sh runs this inside a virtual desktop";
    }
    ASSERT_TRUE(CaptureTo(TempFile("screenshot.wav")));
    Sound3d app;
    ASSERT_TRUE(app.Launch());
    app.DragSlider(kSliderX, 1250);
    app.DragSlider(kSliderY, -500);
    app.DragSlider(kSliderZ, 750);
    ASSERT_TRUE(app.Start());
    // Active, as under a user's hands: the caption in its colours.  In the
    // virtual desktop Wine makes the dialog the foreground window but keeps
    // its caption drawn inactive; WM_NCACTIVATE is what activation sends to
    // redraw it.
    SetForegroundWindow(app.Dialog());
    ASSERT_TRUE(SendWithin(app.Dialog(), WM_NCACTIVATE, TRUE, 0));
    Sleep(500);  // for Wine to put the last paint on the screen

    RECT window;
    GetWindowRect(app.Dialog(), &window);
    Image picture;
    ASSERT_TRUE(CaptureScreen(window, &picture));
    // A frame, a caption, texts and controls: far from a blank rectangle.
    EXPECT_GT(ColourCount(picture), 8u);
    ASSERT_TRUE(WriteBmp(path, picture));

    ASSERT_TRUE(app.Stop());
    app.PostKey(VK_ESCAPE);
    EXPECT_TRUE(app.ExitsWith(0));
}

}  // namespace
}  // namespace e2e
