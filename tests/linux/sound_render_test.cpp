// The renderer and the speaker choices as heard, through the real OpenAL
// Soft without any sound device. Which channels each layout plays is heard
// through the whole program on real sound servers in sound_server_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "harness/sound_measure.h"

namespace {

struct Heard {
    double left, right;  // RMS
    std::vector<float> leftSamples, rightSamples;
};

// A source in the horizontal plane, degrees clockwise from ahead; the
// speakers as SetSpeakerConfig takes them (stereo with its angle in bits 16-23).
Heard Hear(DWORD speakers, HrtfChoice hrtf, double degrees) {
    Scene scene(speakers, hrtf);
    EXPECT_TRUE(scene.Opened());
    EXPECT_EQ(scene.Get().hrtf, hrtf);
    const double radians = degrees * M_PI / 180;
    const std::vector<float> frames =
        scene.At(static_cast<float>(std::sin(radians)), 0, static_cast<float>(std::cos(radians)));
    const std::vector<float> left = Channel(frames, 2, 0), right = Channel(frames, 2, 1);
    return Heard{Rms(left), Rms(right), left, right};
}

// Only HRTF colours ahead and behind apart; with it the far ear hears a
// source at the side 0.2 ms or more later. The light data set renders
// otherwise than the full one.
TEST(SoundRender, HrtfTellsAheadFromBehindAndTheLightSetDiffers) {
    std::vector<float> farEar[2];
    for (HrtfChoice hrtf : {HrtfChoice::Full, HrtfChoice::Light, HrtfChoice::Off}) {
        const Heard ahead = Hear(DSSPEAKER_HEADPHONE, hrtf, 0);
        const Heard behind = Hear(DSSPEAKER_HEADPHONE, hrtf, 180);
        const double treble = Decibels(Rms(HighPass(ahead.leftSamples, 3000, RENDER_RATE)) /
                                       Rms(HighPass(behind.leftSamples, 3000, RENDER_RATE)));
        EXPECT_TRUE(hrtf == HrtfChoice::Off ? std::fabs(treble) < 0.1 : std::fabs(treble) > 1.0)
            << treble;
        if (hrtf != HrtfChoice::Off) {
            const Heard right = Hear(DSSPEAKER_HEADPHONE, hrtf, 90);
            EXPECT_GE(LagBetween(right.rightSamples, right.leftSamples, 48), 10);
            farEar[hrtf == HrtfChoice::Light] = Hear(DSSPEAKER_HEADPHONE, hrtf, 45).leftSamples;
        }
    }
    std::vector<float> difference(farEar[0].size());
    std::transform(farEar[1].begin(), farEar[1].end(), farEar[0].begin(), difference.begin(),
                   [](float light, float full) { return light - full; });
    EXPECT_GT(Rms(difference), 0.1 * Rms(farEar[0]));
}

// DirectSound's rolloff: the level halves with each doubling of the distance
// beyond the minimum distance, 1 (the program's own is never committed).
TEST(SoundRender, TheLevelHalvesWithEachDoublingOfTheDistanceBeyondOne) {
    Scene scene(DSSPEAKER_MONO, HrtfChoice::Off);
    const double reference = Rms(scene.At(0, 0, 1));
    EXPECT_NEAR(Rms(scene.At(0, 0, 4)) / reference, 0.25, 0.0125);
    EXPECT_NEAR(Rms(scene.At(0, 0, 0.5f)) / reference, 1, 0.05);
}

// OpenAL Soft checks a device handle against the devices it has open, and
// logs a context still made on a device it closes.
TEST(SoundRender, ClosingGivesTheDeviceAndItsContextBack) {
    ASSERT_STREQ(std::getenv("ALSOFT_LOGLEVEL"), "2") << "run me with OpenAL's warnings on";
    testing::internal::CaptureStderr();
    ALCdevice* device = Scene(DSSPEAKER_QUAD, HrtfChoice::Off).Get().device;
    const std::string warnings = testing::internal::GetCapturedStderr();
    ALCint rate = 0;
    alcGetIntegerv(device, ALC_FREQUENCY, 1, &rate);
    EXPECT_EQ(alcGetError(nullptr), ALC_INVALID_DEVICE);
    EXPECT_EQ(warnings.find("Releasing context"), std::string::npos) << warnings;
}

TEST(SoundRender, NewPositionIsHeardWithinTheNextPeriod) {
    const int period = 512;
    for (DWORD speakers : {DWORD{DSSPEAKER_HEADPHONE}, DWORD{DSSPEAKER_STEREO | 180 << 16}}) {
        Scene scene(speakers, HrtfChoice::Off);
        scene.At(-2, 0, 0);
        scene.Move(2, 0, 0);
        const std::vector<float> next = scene.Render(period);
        const std::vector<float> lastQuarter(next.end() - period / 2, next.end());
        EXPECT_GT(Rms(Channel(lastQuarter, 2, 1)), 2 * Rms(Channel(lastQuarter, 2, 0)));
    }
}

// The matrix: the centre and the surround at the same power; behind on
// either side mirroring the other, louder and in the source's own phase on
// its own side, in opposite phase on the other.
TEST(SoundRender, SurroundMatrixKeepsThePowerAndMirrorsTheSides) {
    const auto hear = [](double degrees) {
        return Hear(DSSPEAKER_SURROUND, HrtfChoice::Off, degrees);
    };
    const Heard ahead = hear(0);
    EXPECT_NEAR(Decibels(ahead.left / hear(180).left), 0, 0.2);
    const Heard rearLeft = hear(-135), rearRight = hear(135);
    EXPECT_GT(rearLeft.left, rearLeft.right);
    EXPECT_NEAR(Decibels(rearLeft.left / rearRight.right), 0, 0.2);
    EXPECT_NEAR(Decibels(rearLeft.right / rearRight.left), 0, 0.2);
    for (const Heard* rear : {&rearLeft, &rearRight}) {
        const bool left = rear == &rearLeft;
        EXPECT_GT(Correlation(left ? rear->leftSamples : rear->rightSamples, ahead.leftSamples),
                  0.9);
        EXPECT_LT(Correlation(left ? rear->rightSamples : rear->leftSamples, ahead.leftSamples),
                  -0.9);
    }
}

TEST(SoundRender, NarrowerStereoSpeakersWidenTheLevelDifferenceUntilOneSpeakerPlays) {
    const Heard centred = Hear(DSSPEAKER_STEREO | 180 << 16, HrtfChoice::Off, 0);
    EXPECT_NEAR(Decibels(centred.left / centred.right), 0, 0.01);
    double last = 0;
    // Angle 0 stands for DirectSound's default width, 20 degrees.
    for (DWORD angle : {180u, 120u, 60u, 40u, 30u, 20u, 10u, 5u, 0u}) {
        const Heard heard = Hear(DSSPEAKER_STEREO | angle << 16, HrtfChoice::Off, 15);
        EXPECT_NEAR(
            Decibels(std::hypot(heard.left, heard.right) / std::hypot(centred.left, centred.right)),
            0, 0.1);
        if (angle > 30) {
            EXPECT_GT(Decibels(heard.right / heard.left), last + 0.5) << angle;
            last = Decibels(heard.right / heard.left);
        } else {
            EXPECT_LT(heard.left, 1e-3 * heard.right) << angle;
        }
    }
    // The default width still has a source 8 degrees right between its speakers.
    const Heard inside = Hear(DSSPEAKER_STEREO, HrtfChoice::Off, 8);
    EXPECT_GT(inside.left, 0.1 * inside.right);
}

}  // namespace
