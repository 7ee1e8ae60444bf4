// The angle box: read only for stereo speakers, where a bad angle stops the
// start with its own error box.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "alsa_output.h"
#include "sound3d_app.h"

namespace e2e {
namespace {

const wchar_t kBadAngle[] = L"Неверный угол стереоколонок";

class AngleBox : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CaptureTo(TempFile("angle.wav")));
        ASSERT_TRUE(app_.Launch());
    }
    void TearDown() override {
        if (app_.Running()) {
            app_.PostKey(VK_ESCAPE);
            EXPECT_TRUE(app_.ExitsWith(0));
        }
    }

    Sound3d app_;
};

TEST_F(AngleBox, BadAnglesRefuseStereoSpeakers) {
    ASSERT_TRUE(app_.Select(kSpeakers, kStereo));
    for (const wchar_t* angle : {L"181", L"-5", L"abc", L"20x", L"4294967296", L"1.5", L"-", L"+ 5"}) {
        SCOPED_TRACE(Narrow(angle));
        ASSERT_TRUE(app_.SetAngleText(angle));
        HWND box = nullptr;
        ASSERT_TRUE(app_.Click(&box));
        ASSERT_NE(box, nullptr) << "started; button reads " << Narrow(app_.Text(kStartStop));
        EXPECT_TRUE(LooksLikeErrorBox(box));
        EXPECT_TEXT(ReadMessageBox(box).text, kBadAngle);
        ASSERT_TRUE(app_.Dismiss(box));
        EXPECT_TRUE(app_.IsIdle());
        EXPECT_TEXT(ControlText(app_.Item(kAngle)), angle);
    }
}

TEST_F(AngleBox, GoodAnglesPlayWithStereoSpeakers) {
    ASSERT_TRUE(app_.Select(kSpeakers, kStereo));
    // -4294967200 wraps round to 96, as the classic conversion does.
    for (const wchar_t* angle : {L"0", L"180", L"+180", L" 20", L"", L"5", L"-0",
                                 L"-4294967200", L"00000000000000000090"}) {
        SCOPED_TRACE(Narrow(angle));
        ASSERT_TRUE(app_.SetAngleText(angle));
        ASSERT_TRUE(app_.Start());
        ASSERT_TRUE(app_.Stop());
    }
}

TEST_F(AngleBox, OtherSpeakersIgnoreTheAngle) {
    for (int speakers : {kHeadphones, kMono, kQuad, kSurround, kFivePointOne}) {
        for (const wchar_t* angle : {L"abc", L"181"}) {
            SCOPED_TRACE(::testing::Message() << "speakers " << speakers << ", angle "
                                              << Narrow(angle));
            ASSERT_TRUE(app_.Select(kSpeakers, speakers));
            ASSERT_TRUE(app_.SetAngleText(angle));
            ASSERT_TRUE(app_.Start());
            ASSERT_TRUE(app_.Stop());
        }
    }
}

}  // namespace
}  // namespace e2e
