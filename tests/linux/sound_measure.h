// Signals and measurements shared by the sound tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

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
