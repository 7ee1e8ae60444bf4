// The embedded clip (resources/clip.raw): 16-bit little-endian mono at
// 22,050 Hz that the program loops and places in 3D.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

double Rms(const double* s, size_t n) {
    double sum = 0;
    for (size_t i = 0; i < n; ++i) sum += s[i] * s[i];
    return std::sqrt(sum / n);
}

double Percentile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(q * (v.size() - 1))];
}

TEST(Clip, IsAnAudibleBroadbandLoopWithHeadroom) {
    std::ifstream in(SOUND3D_CLIP_PATH, std::ios::binary);
    const std::vector<unsigned char> bytes(std::istreambuf_iterator<char>(in), {});
    ASSERT_EQ(bytes.size(), 44888u);
    std::vector<double> s, steps, jumps;
    for (size_t i = 0; i < bytes.size(); i += 2) s.push_back(int16_t(bytes[i] | bytes[i + 1] << 8));
    double peak = 0;
    for (double v : s) peak = std::max(peak, std::abs(v));
    EXPECT_LE(peak, 23197);                       // -3 dBFS
    EXPECT_GE(Rms(s.data(), s.size()), 1000.0);  // about -30 dBFS
    // Placing a sound needs at least a tenth of its energy both below 1 kHz
    // and above 3 kHz, over Hann-windowed 256-sample DFTs.
    const size_t L = 256;
    const double pi = std::acos(-1.0);
    double low = 0, high = 0, total = 0;
    for (size_t start = 0; start + L <= s.size(); start += L) {
        for (size_t k = 1; k <= L / 2; ++k) {
            double re = 0, im = 0;
            for (size_t t = 0; t < L; ++t) {
                const double w = (0.5 - 0.5 * std::cos(2 * pi * t / L)) * s[start + t];
                re += w * std::cos(2 * pi * k * t / L);
                im += w * std::sin(2 * pi * k * t / L);
            }
            const double e = re * re + im * im, hz = k * 22050.0 / L;
            total += e;
            low += hz < 1000 ? e : 0;
            high += hz > 3000 ? e : 0;
        }
    }
    EXPECT_GE(low, 0.1 * total);
    EXPECT_GE(high, 0.1 * total);
    // The wrap from the last sample to the first must not click: its step
    // and the level change across it look like those inside the clip.
    const size_t B = 128;
    auto jump = [&](size_t at) {  // level ratio of the blocks either side of at
        const double a = Rms(&s[(at + s.size() - B) % s.size()], B), b = Rms(&s[at], B);
        return std::max(a, b) / std::max(1.0, std::min(a, b));
    };
    for (size_t i = 1; i < s.size(); ++i) steps.push_back(std::abs(s[i] - s[i - 1]));
    for (size_t i = B; i + B <= s.size(); i += B) jumps.push_back(jump(i));
    EXPECT_LE(std::abs(s.front() - s.back()), Percentile(steps, 0.99));
    EXPECT_LE(jump(0), Percentile(jumps, 0.9));
}

}  // namespace
