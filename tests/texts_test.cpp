// The texts the program reads and writes: the angle box, error messages and
// the position readouts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "app/position_controls.h"
#include "playback/choices.h"
#include "playback/error_box.h"

namespace {

// A refused text (-1) leaves the angle as it was. '-' negates modulo 2^32,
// overflow pins the magnitude at 2^32 - 1 first, only the first 19
// characters count, and POSIX white space, no other byte, leads and ends a
// number.
TEST(ParseStereoAngle, FollowsTheUnsignedConversionRules) {
    const std::pair<int64_t, std::vector<const char*>> cases[] = {
        {-1, {"181", "-5", "abc", "+ 5", "20x", "20\xA0", "-4294967115"}},
        {0, {"-0", "", " x", "                    "}},
        {1, {"-4294967296", "-429496729600"}},
        {7, {"\t\n\v\f\r 7"}},
        {10, {"10"}},
        {18, {"00000000000000000180"}},
        {20, {"20 x"}},
        {180, {"+180", "-4294967116", "0000000000000000180"}},
    };
    for (const auto& [expected, texts] : cases) {
        for (const char* given : texts) {
            // Held without spare bytes, and from 19 characters on without a
            // terminator, so that reading past the cut is caught.
            const size_t size = std::min<size_t>(std::strlen(given) + 1, MAX_ANGLE_TEXT);
            const std::unique_ptr<char[]> text(new char[size]);
            std::memcpy(text.get(), given, size);
            uint32_t angle = 12345;
            const bool valid = ParseStereoAngle(text.get(), &angle);
            EXPECT_EQ(valid ? int64_t{angle} : angle == 12345 ? -1 : -2, expected) << given;
        }
    }
}

// The '#'s show that a cut text is still terminated.
TEST(FormatMessageCode, ReplacesTheCodeAndFitsTheBuffer) {
    char buffer[64];
    FormatMessageCode(buffer, sizeof buffer, "100%% %X %", 0u);
    EXPECT_STREQ(buffer, "100% 0 %");
    for (const auto& [size, cut] : {std::pair<size_t, const char*>{8, "a (0x80"}, {1, ""}}) {
        std::memset(buffer, '#', sizeof buffer);
        FormatMessageCode(buffer, size, "a (0x%X)", 0x80004005u);
        EXPECT_STREQ(buffer, cut) << size;
    }
}

// Exact halves round away from zero; 0.015f lies just below one and 0.995f
// just above, as trackbar thousandths do.
TEST(FormatReadout, RoundsHalvesAwayFromZeroAndFitsTheBuffer) {
    const struct {
        float value;
        size_t size;
        const char* expected;
    } cases[] = {
        {-0.0f, 32, "X=-00.00"},   {-2.0f, 32, "X=-02.00"},  {0.125f, 32, "X= 00.13"},
        {-0.375f, 32, "X=-00.38"}, {0.015f, 32, "X= 00.01"}, {0.995f, 32, "X= 01.00"},
        {12.345f, 32, "X= 12.35"}, {1.0f, 5, "X= 0"},        {1.0f, 1, ""},
    };
    for (const auto& c : cases) {
        char text[32];
        FormatReadout(text, c.size, 'X', c.value);
        EXPECT_STREQ(text, c.expected) << c.value;
    }
}

}  // namespace
