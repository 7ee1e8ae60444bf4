// The embedded clip (resources/clip.raw): 16-bit little-endian mono at
// 22,050 Hz that the program loops.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

TEST(Clip, IsAnAudibleLoopWithHeadroomAndNoClickAtTheSeam) {
    std::ifstream in(SOUND3D_CLIP_PATH, std::ios::binary);
    const std::vector<unsigned char> bytes(std::istreambuf_iterator<char>(in), {});
    ASSERT_EQ(bytes.size(), 44888u);
    std::vector<int> s, steps;
    for (size_t i = 0; i < bytes.size(); i += 2) s.push_back(int16_t(bytes[i] | bytes[i + 1] << 8));
    double power = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        power += double(s[i]) * s[i] / s.size();
        steps.push_back(std::abs(s[i] - s[i == 0 ? s.size() - 1 : i - 1]));
    }
    EXPECT_LE(*std::max_element(s.begin(), s.end()), 23197);     // -3 dBFS
    EXPECT_GE(*std::min_element(s.begin(), s.end()), -23197);
    EXPECT_GE(std::sqrt(power), 1000.0);                         // about -30 dBFS
    // The wrap from the last sample to the first is a step like those inside.
    const int seam = steps[0];
    std::sort(steps.begin(), steps.end());
    EXPECT_LE(seam, steps[steps.size() * 99 / 100]);
}
