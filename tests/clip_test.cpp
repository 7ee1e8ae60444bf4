// Checks on the embedded looping clip (resources/clip.raw): 16-bit LE mono
// at 22,050 Hz that the program loops and places in 3D.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

constexpr double kRate = 22050.0;
constexpr std::size_t kBytes = 44888;
constexpr int kMaxPeak = 23197;  // -3 dBFS
constexpr double kPi = 3.14159265358979323846;

double Percentile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(q * (v.size() - 1))];
}

double Rms(const int* p, std::size_t n) {
    double sum = 0;
    for (std::size_t i = 0; i < n; ++i) sum += double(p[i]) * p[i];
    return std::sqrt(sum / n);
}

struct Bands { double below1k, above3k; };

// Fractions of energy below 1 kHz and above 3 kHz, from Hann-windowed DFTs
// of consecutive 256-sample chunks. A tone lands almost entirely on one side.
Bands BandFractions(const std::vector<int>& s) {
    constexpr std::size_t L = 256;
    double low = 0, mid = 0, high = 0, total = 0;
    for (std::size_t start = 0; start + L <= s.size(); start += L) {
        for (std::size_t k = 1; k <= L / 2; ++k) {
            double re = 0, im = 0;
            for (std::size_t t = 0; t < L; ++t) {
                double w = 0.5 - 0.5 * std::cos(2 * kPi * t / L);
                re += w * s[start + t] * std::cos(2 * kPi * k * t / L);
                im += w * s[start + t] * std::sin(2 * kPi * k * t / L);
            }
            double e = re * re + im * im, f = k * kRate / L;
            total += e;
            (f < 1000 ? low : f > 3000 ? high : mid) += e;
        }
    }
    return total > 0 ? Bands{low / total, high / total} : Bands{0, 0};
}

bool IsBroadband(const Bands& b) { return b.below1k >= 0.1 && b.above3k >= 0.1; }

class Clip : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::ifstream in(SOUND3D_CLIP_PATH, std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        for (std::size_t i = 0; i + 1 < bytes_.size(); i += 2)
            samples_.push_back(static_cast<int16_t>(bytes_[i] | (bytes_[i + 1] << 8)));
    }
    static inline std::vector<unsigned char> bytes_;
    static inline std::vector<int> samples_;
};

TEST_F(Clip, HasExpectedSize) { EXPECT_EQ(bytes_.size(), kBytes); }

TEST_F(Clip, LevelLeavesHeadroomButIsClearlyAudible) {
    ASSERT_FALSE(samples_.empty());
    int peak = 0;
    for (int v : samples_) peak = std::max(peak, std::abs(v));
    EXPECT_LE(peak, kMaxPeak);
    EXPECT_GE(Rms(samples_.data(), samples_.size()), 1000.0);  // about -30 dBFS
}

// Looping must not click: the wrap from last to first sample should look like
// an ordinary neighbour pair, both in sample step and in level either side.
TEST_F(Clip, LoopSeamIsOrdinary) {
    constexpr std::size_t B = 128;
    const auto& s = samples_;
    ASSERT_GE(s.size(), 4 * B);
    std::vector<double> steps, levelJumps;
    for (std::size_t i = 1; i < s.size(); ++i) steps.push_back(std::abs(s[i] - s[i - 1]));
    auto jump = [](double a, double b) { return std::max(a, b) / std::max(1.0, std::min(a, b)); };
    for (std::size_t i = B; i + B <= s.size(); i += B)
        levelJumps.push_back(jump(Rms(&s[i - B], B), Rms(&s[i], B)));

    EXPECT_LE(std::abs(s.front() - s.back()), Percentile(steps, 0.99));
    EXPECT_LE(jump(Rms(&s[s.size() - B], B), Rms(&s[0], B)), Percentile(levelJumps, 0.9));
}

TEST_F(Clip, IsBroadband) {
    Bands b = BandFractions(samples_);
    EXPECT_TRUE(IsBroadband(b)) << "below 1 kHz " << b.below1k << ", above 3 kHz " << b.above3k;
}

// The broadband check must reject what a 3D-positioned sound should not be.
TEST(ClipBandCheck, RejectsTonesAndSilence) {
    for (double hz : {0.0, 220.0, 1800.0, 5000.0}) {
        std::vector<int> s(4096);
        for (std::size_t i = 0; i < s.size(); ++i)
            s[i] = static_cast<int>(std::lround(20000 * std::sin(2 * kPi * hz * i / kRate)));
        EXPECT_FALSE(IsBroadband(BandFractions(s))) << hz << " Hz";
    }
}

}  // namespace
