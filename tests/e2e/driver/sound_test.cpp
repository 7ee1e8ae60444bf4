// What the program plays, judged from the capture of ALSA's output.  The
// null sink behind the capture runs faster than real time, so the order of
// what was heard counts, not when.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "alsa_output.h"
#include "capture.h"
#include "sound3d_app.h"

namespace e2e {
namespace {

const size_t kSegmentFrames = 4800;
// The clip at the listener: well above this.
const double kSilence = 1e-3;
// Two units away with a minimum distance of 0.01 the source is 46 dB down
// (about 5e-4 RMS); the far side is exactly zero under Wine's panning.
const double kFarSilence = 1e-5;
// Runs shorter than this are transitions.
const size_t kMinRun = 3;
std::string Trimmed(const std::string& order) {
    const size_t first = order.find_first_not_of('-');
    const size_t last = order.find_last_not_of('-');
    return first == std::string::npos ? "" : order.substr(first, last - first + 1);
}

class Panning : public ::testing::TestWithParam<int> {};

TEST_P(Panning, FollowsTheSourceFromRightToLeftAndEndsAtStop) {
    const std::string path = TempFile("panning.wav");
    ASSERT_TRUE(CaptureTo(path));
    Sound3d app;
    ASSERT_TRUE(app.Launch());
    ASSERT_TRUE(app.Select(kVirtualization, GetParam()));
    app.DragSlider(kSliderX, 2000);  // placed before the start
    ASSERT_TRUE(app.Start());
    ASSERT_TRUE(CaptureGrows(path, 2 * kSecondOfCapture));
    app.DragSlider(kSliderX, -2000);  // moved while playing
    ASSERT_TRUE(CaptureGrows(path, 2 * kSecondOfCapture));

    Capture playing;
    std::string error;
    ASSERT_TRUE(ReadCapture(path, &playing, &error)) << error;
    EXPECT_FALSE(playing.closed) << "the output closed while playing";

    ASSERT_TRUE(app.Stop());
    // Stopping gives the device back: the stream is closed and nothing is
    // written after it.
    Capture stopped;
    ASSERT_TRUE(ReadCapture(path, &stopped, &error)) << error;
    EXPECT_TRUE(stopped.closed) << "the output is still open after the stop";
    const unsigned long long size = FileSize(path);
    Sleep(300);
    EXPECT_EQ(FileSize(path), size) << "sound went on after the stop";

    const std::string labels = SegmentLabels(stopped, kSegmentFrames, kFarSilence);
    EXPECT_EQ(Trimmed(Order(labels, kMinRun)), "RL") << Summary(labels);
    app.PostKey(VK_ESCAPE);
    EXPECT_TRUE(app.ExitsWith(0));
}

std::string AlgorithmName(const ::testing::TestParamInfo<int>& info) {
    const char* const names[] = {"NoVirtualization", "LightHrtf", "FullHrtf"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Sound, Panning,
                         ::testing::Values(kNoVirtualization, kLightHrtf, kFullHrtf),
                         AlgorithmName);

TEST(Sound, EverySpeakerSetupPlaysWithEveryAlgorithm) {
    const std::string path = TempFile("choices.wav");
    ASSERT_TRUE(CaptureTo(path));
    Sound3d app;
    ASSERT_TRUE(app.Launch());
    for (int speakers = kHeadphones; speakers <= kFivePointOne; ++speakers) {
        for (int algorithm = kNoVirtualization; algorithm <= kFullHrtf; ++algorithm) {
            SCOPED_TRACE(::testing::Message() << "speakers " << speakers << ", algorithm "
                                              << algorithm);
            ASSERT_TRUE(app.Select(kSpeakers, speakers));
            ASSERT_TRUE(app.Select(kVirtualization, algorithm));
            ASSERT_TRUE(app.Start());
            ASSERT_TRUE(CaptureGrows(path, kSecondOfCapture / 2));
            ASSERT_TRUE(app.Stop());
            // Each start begins the capture anew.
            Capture capture;
            std::string error;
            ASSERT_TRUE(ReadCapture(path, &capture, &error)) << error;
            const std::string labels = SegmentLabels(capture, kSegmentFrames, kSilence);
            EXPECT_NE(Trimmed(Order(labels, kMinRun)), "") << Summary(labels);
        }
    }
    app.PostKey(VK_ESCAPE);
    EXPECT_TRUE(app.ExitsWith(0));
}

}  // namespace
}  // namespace e2e
