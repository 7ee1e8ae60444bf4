#include <gtest/gtest.h>

#include <string>

#include "playback/choices.h"

namespace {

struct AngleCase {
    std::string text;
    bool valid;
    uint32_t angle;
};

const AngleCase ANGLE_CASES[] = {
    {"10", true, 10},
    {"180", true, 180},
    {"+180", true, 180},
    {"181", false, 0},
    {"0", true, 0},
    {"-5", false, 0},
    {"-0", true, 0},
    {"-4294967200", true, 96},
    {"-4294967116", true, 180},
    {"-4294967115", false, 0},
    {"", true, 0},
    {" 20", true, 20},
    {"20 ", true, 20},
    {"20 x", true, 20},
    {"20x", false, 0},
    {"abc", false, 0},
    {"   ", true, 0},
    {" x", true, 0},
    {"+", false, 0},
    {"-", false, 0},
    {"+ 5", false, 0},
    {"++5", false, 0},
    {"-+5", false, 0},
    // Overflow pins the magnitude at 2^32 - 1 before any sign is applied.
    {"4294967295", false, 0},
    {"4294967296", false, 0},
    {"99999999999999999", false, 0},
    {"-4294967295", true, 1},
    {"-4294967296", true, 1},
    {"-99999999999", true, 1},
    {"-429496729600", true, 1},
    // Only the first 19 characters count.
    {"00000000000000000180", true, 18},
    {"0000000000000000180", true, 180},
    {"0000000000000000018x", true, 18},
    {"000000000000000000 x", true, 0},
    // Each POSIX white-space character ends a number well, and leads too.
    {"20\t", true, 20},
    {"20\n", true, 20},
    {"20\v", true, 20},
    {"20\f", true, 20},
    {"20\r", true, 20},
    {"\t\n\v\f\r 7", true, 7},
    // Other bytes do not count as white space, Cyrillic ones included.
    {"20\xA0", false, 0},
    {"20\x80", false, 0},
    {"20\xE0", false, 0},
    {"20\xFF", false, 0},
    {"\xA0" "20", false, 0},
    {"20\x1F", false, 0},
    {"20.5", false, 0},
};

TEST(ParseStereoAngle, FollowsTheUnsignedConversionRules) {
    for (const AngleCase& c : ANGLE_CASES) {
        uint32_t angle = 12345;
        const bool valid = ParseStereoAngle(c.text.c_str(), &angle);
        EXPECT_EQ(valid, c.valid) << "text '" << c.text << "'";
        if (c.valid && valid) {
            EXPECT_EQ(angle, c.angle) << "text '" << c.text << "'";
        }
    }
}

TEST(ParseStereoAngle, ReadsNoFurtherThanTheCut) {
    // Nineteen digits with no terminator after them: the parse must stop
    // at the cut on its own.
    char text[19];
    for (char& c : text) {
        c = '0';
    }
    text[18] = '7';
    uint32_t angle = 0;
    EXPECT_TRUE(ParseStereoAngle(text, &angle));
    EXPECT_EQ(angle, 7u);
}

TEST(SpeakerConfigValue, PacksAngleOnlyForStereo) {
    const struct {
        int speakerIndex;
        uint32_t angle;
        DWORD expected;
    } cases[] = {
        {0, 0, 0x00000001},    // headphones
        {1, 0, 0x00000002},    // mono
        {2, 0, 0x00000003},    // quad
        {3, 20, 0x00140004},   // stereo at 20 degrees
        {3, 5, 0x00050004},
        {3, 180, 0x00B40004},
        {3, 0, 0x00000004},
        {4, 0, 0x00000005},    // surround
        {5, 0, 0x00000006},    // 5.1
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SpeakerConfigValue(SpeakerChoices[c.speakerIndex].configuration, c.angle),
                  c.expected)
            << "speaker index " << c.speakerIndex << ", angle " << c.angle;
    }
}

TEST(SpeakerConfigValue, MasksBothFieldsToEightBits) {
    EXPECT_EQ(SpeakerConfigValue(4, 0x1FF), 0x00FF0004u);
    EXPECT_EQ(SpeakerConfigValue(0xFF, 0), 0x000000FFu);
}

}  // namespace
