// Signals and measurements shared by the sound tests and the choices bench.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/linux/sound/renderer.h"

// The dialog's list items, as the start sequence takes them.
enum { NONE, LIGHT, FULL };                                         // algorithm items
enum { HEADPHONES, MONO, QUAD, STEREO, SURROUND, FIVE_POINT_ONE };  // speaker items

// Deterministic white noise, full band, 16-bit.
std::vector<int16_t> NoiseClip(size_t samples);
// One channel out of interleaved frames.
std::vector<float> Channel(const std::vector<float>& frames, int channels, int index);
double Rms(const std::vector<float>& samples);
// The lag (samples) at which `late` best matches `early`: positive when
// `late` comes after `early`.
int LagBetween(const std::vector<float>& early, const std::vector<float>& late, int maxLag);
// Second-order high-pass.
std::vector<float> HighPass(const std::vector<float>& samples, double cutoff, double rate);
double Decibels(double ratio);
// Normalised correlation at lag 0: 1 in phase, -1 in opposite phase.
double Correlation(const std::vector<float>& a, const std::vector<float>& b);

// The renderer for a speaker configuration with its looping source playing
// noise, rendered on demand.
class Scene {
public:
    Scene(DWORD speakerConfig, HrtfChoice hrtf);
    ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;
    bool Opened() const { return opened_; }
    const Renderer& Get() const { return renderer_; }
    std::vector<float> Render(int frames);
    // Into the caller's room for frames * channels samples.
    void RenderInto(float* out, int frames);
    // One pass of the loop with the source at a place in DirectSound's frame,
    // after the move has settled.
    std::vector<float> At(float x, float y, float z);
    void Move(float x, float y, float z);

private:
    Renderer renderer_;
    bool opened_ = false;
};
