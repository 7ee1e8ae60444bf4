// The clip is served from the executable itself, byte for byte, and only
// under its own number.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/win32_decls.h"
#include "resources/resource_ids.h"

namespace {

TEST(Resources, TheClipIsExactlyTheBytesOfItsFileAndNothingElseIsFound) {
    std::ifstream file(SOUND3D_CLIP_PATH, std::ios::binary);
    const std::string expected((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
    ASSERT_FALSE(expected.empty());
    HRSRC clip = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_CLIP), RT_RCDATA);
    ASSERT_EQ(SizeofResource(nullptr, clip), expected.size());
    EXPECT_EQ(std::string(static_cast<const char*>(LockResource(LoadResource(nullptr, clip))),
                          expected.size()),
              expected);
    EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_CLIP + 1), RT_RCDATA), nullptr);
    EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
}

}  // namespace
