// The renderer and the speaker choices as heard, through the real OpenAL
// Soft without any sound device. Which channels each layout plays is heard
// through the whole device in sound_device_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "platform/linux/sound/speaker_config.h"
#include "tests/linux/sound_measure.h"

namespace {

struct Heard {
    std::vector<float> left, right;
};
// A source in the horizontal plane, degrees clockwise from ahead.
Heard Hear(Scene* scene, double degrees) {
    const double radians = degrees * M_PI / 180;
    const std::vector<float> frames =
        scene->At(static_cast<float>(std::sin(radians)), 0, static_cast<float>(std::cos(radians)));
    return Heard{Channel(frames, 2, 0), Channel(frames, 2, 1)};
}

std::unique_ptr<Scene> Open(SpeakerLayout layout, DWORD angle = 0, HrtfChoice hrtf = HrtfChoice::Off) {
    auto scene = std::make_unique<Scene>(RenderLayoutFor(SpeakerSetup{layout, angle}), hrtf);
    EXPECT_TRUE(scene->Opened());
    EXPECT_EQ(scene->Get().hrtf, hrtf);
    return scene;
}

// Only HRTF colours ahead and behind apart; the light data set renders
// otherwise than the full one.
TEST(SoundRender, HrtfTellsAheadFromBehindAndTheLightSetDiffers) {
    std::vector<float> farEar[2];
    for (HrtfChoice hrtf : {HrtfChoice::Full, HrtfChoice::Light, HrtfChoice::Off}) {
        const auto scene = Open(SpeakerLayout::Headphones, 0, hrtf);
        const Heard ahead = Hear(scene.get(), 0), behind = Hear(scene.get(), 180);
        double largest = 0;
        for (int ear : {0, 1}) {
            const double front = Rms(HighPass(ear ? ahead.right : ahead.left, 3000, RENDER_RATE));
            const double back = Rms(HighPass(ear ? behind.right : behind.left, 3000, RENDER_RATE));
            largest = std::max(largest, std::fabs(Decibels(front / back)));
        }
        std::printf("hrtf %d: ahead/behind above 3 kHz %.2f dB\n", static_cast<int>(hrtf), largest);
        if (hrtf == HrtfChoice::Off) {
            EXPECT_LT(largest, 0.1);
        } else {
            EXPECT_GT(largest, 1.0);
            farEar[hrtf == HrtfChoice::Light] = Hear(scene.get(), 45).left;
        }
    }
    std::vector<float> difference(farEar[0].size());
    for (size_t i = 0; i < difference.size(); ++i) {
        difference[i] = farEar[1][i] - farEar[0][i];
    }
    EXPECT_GT(Rms(difference), 0.1 * Rms(farEar[0]));
}

TEST(SoundRender, NewPositionIsHeardWithinTheNextPeriod) {
    const int period = 512;
    for (SpeakerLayout layout : {SpeakerLayout::Headphones, SpeakerLayout::Stereo}) {
        const auto scene = Open(layout, 180);
        scene->At(-2, 0, 0);
        scene->Move(2, 0, 0);
        const std::vector<float> next = scene->Render(period);
        const std::vector<float> lastQuarter(next.end() - period / 2, next.end());
        EXPECT_GT(Rms(Channel(lastQuarter, 2, 1)), 2 * Rms(Channel(lastQuarter, 2, 0)));
    }
}

TEST(SoundRender, SurroundMatrixCarriesCentreInPhaseAndSurroundOutOfPhase) {
    const auto scene = Open(SpeakerLayout::Surround);
    const Heard ahead = Hear(scene.get(), 0), behind = Hear(scene.get(), 180);
    EXPECT_GT(Correlation(ahead.left, ahead.right), 0.9);
    EXPECT_LT(Correlation(behind.left, behind.right), -0.5);
    // Matrixing keeps the power: the centre comes -3 dB on each side.
    EXPECT_NEAR(Decibels(Rms(ahead.left) / Rms(behind.left)), 0, 0.2);
    const Heard left = Hear(scene.get(), -90);
    EXPECT_LT(Rms(left.right), 1e-3 * Rms(left.left));
    // Behind on either side mirrors the other: louder on its own side, at the same level.
    const Heard rearLeft = Hear(scene.get(), -135), rearRight = Hear(scene.get(), 135);
    EXPECT_GT(Rms(rearLeft.left), Rms(rearLeft.right));
    EXPECT_NEAR(Decibels(Rms(rearLeft.left) / Rms(rearRight.right)), 0, 0.2);
    EXPECT_NEAR(Decibels(Rms(rearLeft.right) / Rms(rearRight.left)), 0, 0.2);
}

TEST(SoundRender, NarrowerStereoSpeakersWidenTheLevelDifferenceUntilOneSpeakerPlays) {
    const Heard centred = Hear(Open(SpeakerLayout::Stereo, 180).get(), 0);
    EXPECT_NEAR(Decibels(Rms(centred.left) / Rms(centred.right)), 0, 0.01);
    const double ahead = std::hypot(Rms(centred.left), Rms(centred.right));
    double last = 0;
    // Angle 0 stands for DirectSound's default width, 20 degrees.
    for (DWORD angle : {180u, 120u, 60u, 40u, 30u, 20u, 10u, 5u, 0u}) {
        SCOPED_TRACE(testing::Message() << "angle " << angle);
        const Heard heard = Hear(Open(SpeakerLayout::Stereo, angle).get(), 15);
        const double left = Rms(heard.left), right = Rms(heard.right);
        EXPECT_NEAR(Decibels(std::hypot(left, right) / ahead), 0, 0.1);
        if (angle > 30) {
            EXPECT_GT(Decibels(right / left), last + 0.5);
            last = Decibels(right / left);
        } else {
            EXPECT_LT(left, 1e-3 * right);
        }
    }
    // The default width still has a source 8 degrees right between its speakers.
    const Heard inside = Hear(Open(SpeakerLayout::Stereo).get(), 8);
    EXPECT_GT(Rms(inside.left), 0.1 * Rms(inside.right));
}

}  // namespace
