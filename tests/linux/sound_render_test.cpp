// The renderer through the real OpenAL Soft, without any sound device.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/linux/sound/renderer.h"
#include "tests/linux/sound_measure.h"

namespace {

const int CLIP_RATE = 22050;
// One pass of the one-second looping clip, so every measurement covers the
// same sound whatever the loop's phase.
const int LOOP_FRAMES = RENDER_RATE;
const int SETTLE_FRAMES = 4800;

class Scene {
public:
    Scene(int channels, bool hrtf) {
        opened_ = OpenRenderer(&renderer_, channels, hrtf);
        const std::vector<int16_t> clip = NoiseClip(CLIP_RATE);
        opened_ = opened_ && CreateRenderSource(renderer_, &source_) &&
                  LoadRenderSource(renderer_, source_, clip.data(), clip.size() * 2, 1, 16,
                                   CLIP_RATE) &&
                  SetRenderSourceSpatial(renderer_, source_, true) &&
                  PlayRenderSource(renderer_, source_, true);
    }
    ~Scene() {
        DeleteRenderSource(renderer_, &source_);
        CloseRenderer(&renderer_);
    }
    bool Opened() const { return opened_; }
    const Renderer& Get() const { return renderer_; }

    std::vector<float> Render(int frames) {
        std::vector<float> out(static_cast<size_t>(frames) * renderer_.channels);
        RenderFrames(&renderer_, out.data(), frames);
        return out;
    }
    // The sound of one loop with the source at a place in DirectSound's frame.
    std::vector<float> At(float x, float y, float z) {
        EXPECT_TRUE(PlaceRenderSource(renderer_, source_, x, y, z));
        Render(SETTLE_FRAMES);
        return Render(LOOP_FRAMES);
    }
    double Level(const std::vector<float>& frames, std::initializer_list<int> channels) const {
        double sum = 0;
        for (int channel : channels) {
            sum += std::pow(Rms(Channel(frames, renderer_.channels, channel)), 2);
        }
        return std::sqrt(sum);
    }
    void Move(float x, float y, float z) { PlaceRenderSource(renderer_, source_, x, y, z); }

private:
    Renderer renderer_;
    RenderSource source_;
    bool opened_ = false;
};

struct SideCase {
    int channels;
    bool hrtf;
    std::initializer_list<int> left, right;
};

TEST(SoundRender, SourceAtTheSideIsLouderOnThatSide) {
    const SideCase cases[] = {{2, false, {0}, {1}},
                              {2, true, {0}, {1}},
                              {4, false, {0, 2}, {1, 3}},
                              {6, false, {0, 4}, {1, 5}}};
    for (const SideCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.channels << " channels, hrtf " << c.hrtf);
        Scene scene(c.channels, c.hrtf);
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
        Scene scene(2, hrtf);
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
        Scene scene(c.channels, false);
        ASSERT_TRUE(scene.Opened());
        const std::vector<float> behind = scene.At(0, 0, -1);
        EXPECT_GT(scene.Level(behind, c.rear), 4 * scene.Level(behind, c.front));
        const std::vector<float> ahead = scene.At(0, 0, 1);
        EXPECT_GT(scene.Level(ahead, c.front), 4 * scene.Level(ahead, c.rear));
    }
}

TEST(SoundRender, NewPositionIsHeardWithinTheNextPeriod) {
    const int period = 512;
    Scene scene(2, false);
    ASSERT_TRUE(scene.Opened());
    scene.At(-2, 0, 0);
    scene.Move(2, 0, 0);
    const std::vector<float> next = scene.Render(period);
    const std::vector<float> lastQuarter(next.end() - period / 2, next.end());
    EXPECT_GT(scene.Level(lastQuarter, {1}), 2 * scene.Level(lastQuarter, {0}));
}

}  // namespace
