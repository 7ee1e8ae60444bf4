// The renderer through the real OpenAL Soft, without any sound device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "tests/linux/sound_measure.h"

namespace {

struct SideCase {
    int channels;
    HrtfChoice hrtf;
    std::initializer_list<int> left, right;
};

TEST(SoundRender, SourceAtTheSideIsLouderOnThatSide) {
    const SideCase cases[] = {{2, HrtfChoice::Off, {0}, {1}},
                              {2, HrtfChoice::Full, {0}, {1}},
                              {2, HrtfChoice::Light, {0}, {1}},
                              {4, HrtfChoice::Off, {0, 2}, {1, 3}},
                              {6, HrtfChoice::Off, {0, 4}, {1, 5}}};
    for (const SideCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.channels << " channels, hrtf "
                                        << static_cast<int>(c.hrtf));
        Scene scene(OpenAlLayout(c.channels), c.hrtf);
        ASSERT_TRUE(scene.Opened());
        EXPECT_EQ(scene.Get().channels, c.channels);
        EXPECT_EQ(scene.Get().hrtf, c.hrtf);
        const std::vector<float> right = scene.At(2, 0, 0);
        EXPECT_GT(scene.Level(right, c.right), 2 * scene.Level(right, c.left));
        const std::vector<float> left = scene.At(-2, 0, 0);
        EXPECT_GT(scene.Level(left, c.left), 2 * scene.Level(left, c.right));
    }
}

TEST(SoundRender, OnlyHrtfTellsAheadFromBehind) {
    for (bool hrtf : {true, false}) {
        SCOPED_TRACE(hrtf ? "hrtf" : "panning");
        Scene scene(OpenAlLayout(2), hrtf ? HrtfChoice::Full : HrtfChoice::Off);
        ASSERT_TRUE(scene.Opened());
        const std::vector<float> ahead = scene.At(0, 0, 1);
        const std::vector<float> behind = scene.At(0, 0, -1);
        double largest = 0;
        for (int ear : {0, 1}) {
            const double front = Rms(HighPass(Channel(ahead, 2, ear), 3000, RENDER_RATE));
            const double back = Rms(HighPass(Channel(behind, 2, ear), 3000, RENDER_RATE));
            largest = std::max(largest, std::fabs(Decibels(front / back)));
        }
        std::printf("ahead/behind above 3 kHz (%s): %.2f dB\n", hrtf ? "hrtf" : "panning",
                    largest);
        if (hrtf) {
            EXPECT_GT(largest, 1.0);
        } else {
            EXPECT_LT(largest, 0.1);
        }
    }
}

TEST(SoundRender, SourceBehindPlaysFromTheRearSpeakers) {
    struct RearCase {
        int channels;
        std::initializer_list<int> front, rear;
    };
    const RearCase cases[] = {{4, {0, 1}, {2, 3}}, {6, {0, 1, 2}, {4, 5}}};
    for (const RearCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.channels << " channels");
        Scene scene(OpenAlLayout(c.channels), HrtfChoice::Off);
        ASSERT_TRUE(scene.Opened());
        const std::vector<float> behind = scene.At(0, 0, -1);
        EXPECT_GT(scene.Level(behind, c.rear), 4 * scene.Level(behind, c.front));
        const std::vector<float> ahead = scene.At(0, 0, 1);
        EXPECT_GT(scene.Level(ahead, c.front), 4 * scene.Level(ahead, c.rear));
    }
}

TEST(SoundRender, NewPositionIsHeardWithinTheNextPeriod) {
    const int period = 512;
    Scene scene(OpenAlLayout(2), HrtfChoice::Off);
    ASSERT_TRUE(scene.Opened());
    scene.At(-2, 0, 0);
    scene.Move(2, 0, 0);
    const std::vector<float> next = scene.Render(period);
    const std::vector<float> lastQuarter(next.end() - period / 2, next.end());
    EXPECT_GT(scene.Level(lastQuarter, {1}), 2 * scene.Level(lastQuarter, {0}));
}

}  // namespace
