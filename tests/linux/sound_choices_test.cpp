// The dialog's choices as heard: the light HRTF, the surround matrix and the
// stereo speakers' angle, rendered by the real OpenAL Soft without a device.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/linux/sound/dsound_codes.h"
#include "platform/linux/sound/speaker_config.h"
#include "tests/linux/sound_measure.h"

namespace {

const double PI = 3.14159265358979;

// The source in the horizontal plane, degrees clockwise from ahead.
struct Direction {
    float x, z;
};
Direction Toward(double degrees) {
    return Direction{static_cast<float>(std::sin(degrees * PI / 180)),
                     static_cast<float>(std::cos(degrees * PI / 180))};
}

struct Heard {
    std::vector<float> left, right;
};
Heard Hear(Scene* scene, Direction at) {
    const std::vector<float> frames = scene->At(at.x, 0, at.z);
    return Heard{Channel(frames, 2, 0), Channel(frames, 2, 1)};
}

RenderLayout Layout(SpeakerLayout layout, DWORD angle) {
    return RenderLayoutFor(SpeakerSetup{layout, angle});
}

TEST(SoundChoices, LightHrtfKeepsTheEarDelayButRendersOtherwiseThanFull) {
    const SpeakerSetup headphones = {SpeakerLayout::Headphones, 0};
    Scene light(RenderLayoutFor(headphones), HrtfFor(headphones, DS3DALG_HRTF_LIGHT));
    Scene full(RenderLayoutFor(headphones), HrtfFor(headphones, DS3DALG_HRTF_FULL));
    ASSERT_TRUE(light.Opened() && full.Opened());
    ASSERT_EQ(light.Get().hrtf, HrtfChoice::Light);
    ASSERT_EQ(full.Get().hrtf, HrtfChoice::Full);
    const Heard lightEars = Hear(&light, Toward(45));
    const Heard fullEars = Hear(&full, Toward(45));
    const double delayMs = 1000.0 * LagBetween(lightEars.right, lightEars.left, 48) / RENDER_RATE;
    EXPECT_GE(delayMs, 0.2);
    // The same sound through both: what differs is the rendering alone.
    std::vector<float> difference(lightEars.left.size());
    for (size_t i = 0; i < difference.size(); ++i) {
        difference[i] = lightEars.left[i] - fullEars.left[i];
    }
    EXPECT_GT(Rms(difference), 0.1 * Rms(fullEars.left));
}

TEST(SoundChoices, SurroundMatrixCarriesCentreInPhaseAndSurroundOutOfPhase) {
    Scene scene(Layout(SpeakerLayout::Surround, 0), HrtfChoice::Off);
    ASSERT_TRUE(scene.Opened());
    const Heard ahead = Hear(&scene, Toward(0));
    const Heard behind = Hear(&scene, Toward(180));
    EXPECT_GT(Correlation(ahead.left, ahead.right), 0.9);
    EXPECT_LT(Correlation(behind.left, behind.right), -0.5);
    // Matrixing keeps the power: the centre comes -3 dB on each side.
    EXPECT_NEAR(Decibels(Rms(ahead.left) / Rms(behind.left)), 0, 0.2);
}

TEST(SoundChoices, SourceAtTheSidePlaysFromItsSpeakerOnStereoAndSurround) {
    for (SpeakerLayout layout : {SpeakerLayout::Stereo, SpeakerLayout::Surround}) {
        SCOPED_TRACE(static_cast<int>(layout));
        Scene scene(Layout(layout, 0), HrtfChoice::Off);
        ASSERT_TRUE(scene.Opened());
        const Heard right = Hear(&scene, Toward(90));
        EXPECT_GT(Rms(right.right), 0.01);
        EXPECT_LT(Rms(right.left), 1e-3 * Rms(right.right));
        const Heard left = Hear(&scene, Toward(-90));
        EXPECT_LT(Rms(left.right), 1e-3 * Rms(left.left));
    }
}

TEST(SoundChoices, NarrowerSpeakersWidenTheLevelDifferenceUntilOneSpeakerPlays) {
    const double ahead = [] {
        Scene scene(Layout(SpeakerLayout::Stereo, 180), HrtfChoice::Off);
        const Heard heard = Hear(&scene, Toward(0));
        EXPECT_NEAR(Decibels(Rms(heard.left) / Rms(heard.right)), 0, 0.01);
        return std::hypot(Rms(heard.left), Rms(heard.right));
    }();
    double last = 0;
    // Angle 0 stands for DirectSound's default width, 20 degrees.
    for (DWORD angle : {180u, 120u, 60u, 40u, 30u, 20u, 10u, 5u, 0u}) {
        SCOPED_TRACE(testing::Message() << "angle " << angle);
        Scene scene(Layout(SpeakerLayout::Stereo, angle), HrtfChoice::Off);
        ASSERT_TRUE(scene.Opened());
        const Heard heard = Hear(&scene, Toward(15));
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
    Scene byDefault(Layout(SpeakerLayout::Stereo, 0), HrtfChoice::Off);
    const Heard inside = Hear(&byDefault, Toward(8));
    EXPECT_GT(Rms(inside.left), 0.1 * Rms(inside.right));
}

}  // namespace
