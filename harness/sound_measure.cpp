#include "harness/sound_measure.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

const int CLIP_RATE = 22050;
// One pass of the one-second looping clip, so every measurement covers the
// same sound whatever the loop's phase.
const int LOOP_FRAMES = RENDER_RATE;
const int SETTLE_FRAMES = 4800;

}  // namespace

std::vector<int16_t> NoiseClip(size_t samples) {
    std::vector<int16_t> clip(samples);
    uint32_t state = 12345;
    for (int16_t& sample : clip) {
        state = state * 1664525u + 1013904223u;
        sample = static_cast<int16_t>(static_cast<int32_t>(state >> 16) - 32768) / 2;
    }
    return clip;
}

std::vector<float> Channel(const std::vector<float>& frames, int channels, int index) {
    std::vector<float> channel;
    for (size_t i = static_cast<size_t>(index); i < frames.size();
         i += static_cast<size_t>(channels)) {
        channel.push_back(frames[i]);
    }
    return channel;
}

double Rms(const std::vector<float>& samples) {
    const double sum = std::inner_product(samples.begin(), samples.end(), samples.begin(), 0.0);
    return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

int LagBetween(const std::vector<float>& early, const std::vector<float>& late, int maxLag) {
    const size_t length = std::min(early.size(), late.size()) - 2 * static_cast<size_t>(maxLag);
    int bestLag = -maxLag;
    double best = -1e300;
    for (int lag = -maxLag; lag <= maxLag; ++lag) {
        const double sum =
            std::inner_product(early.begin() + maxLag, early.begin() + maxLag + length,
                               late.begin() + maxLag + lag, 0.0);
        if (sum > best) {
            best = sum;
            bestLag = lag;
        }
    }
    return bestLag;
}

std::vector<float> HighPass(const std::vector<float>& samples, double cutoff, double rate) {
    const double w = 2 * M_PI * cutoff / rate, alpha = std::sin(w) / (2 * M_SQRT1_2),
                 a0 = 1 + alpha;
    const double b0 = (1 + std::cos(w)) / 2 / a0, b1 = -2 * b0, b2 = b0;
    const double a1 = -2 * std::cos(w) / a0, a2 = (1 - alpha) / a0;
    std::vector<float> out(samples.size());
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        const double x = samples[i], y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1, x1 = x, y2 = y1, y1 = y;
        out[i] = static_cast<float>(y);
    }
    return out;
}

double Decibels(double ratio) { return 20 * std::log10(ratio); }

double Correlation(const std::vector<float>& a, const std::vector<float>& b) {
    const size_t length = std::min(a.size(), b.size());
    const double ab = std::inner_product(a.begin(), a.begin() + length, b.begin(), 0.0);
    const double aa = std::inner_product(a.begin(), a.begin() + length, a.begin(), 0.0);
    const double bb = std::inner_product(b.begin(), b.begin() + length, b.begin(), 0.0);
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

Scene::Scene(DWORD speakerConfig, HrtfChoice hrtf) {
    const std::vector<int16_t> clip = NoiseClip(CLIP_RATE);
    RenderLayout layout;
    opened_ = LayoutFor(speakerConfig, &layout) &&
              SUCCEEDED(OpenRenderer(&renderer_, layout, hrtf)) &&
              SUCCEEDED(LoadClip(renderer_, clip.data(), static_cast<DWORD>(clip.size() * 2),
                                 CLIP_RATE)) &&
              SUCCEEDED(PlaySource(renderer_));
}

Scene::~Scene() { CloseRenderer(&renderer_); }

std::vector<float> Scene::Render(int frames) {
    std::vector<float> out(static_cast<size_t>(frames) *
                           static_cast<size_t>(renderer_.layout.channels));
    RenderFrames(&renderer_, out.data(), frames);
    return out;
}

void Scene::RenderInto(float* out, int frames) { RenderFrames(&renderer_, out, frames); }

std::vector<float> Scene::At(float x, float y, float z) {
    Move(x, y, z);
    Render(SETTLE_FRAMES);
    return Render(LOOP_FRAMES);
}

void Scene::Move(float x, float y, float z) { PlaceSource(&renderer_, x, y, z); }
