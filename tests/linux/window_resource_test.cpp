// The clip is served from the executable itself, byte for byte, and only
// under its own number and type.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "platform/win32_decls.h"
#include "resources/resource_ids.h"

namespace {

TEST(Resources, TheClipIsExactlyTheBytesOfItsFileAndNothingElseIsFound) {
    std::ifstream file(SOUND3D_CLIP_PATH, std::ios::binary);
    const std::vector<char> expected((std::istreambuf_iterator<char>(file)),
                                     std::istreambuf_iterator<char>());
    ASSERT_FALSE(expected.empty());
    HRSRC clip = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_CLIP), RT_RCDATA);
    ASSERT_NE(clip, nullptr);
    ASSERT_EQ(SizeofResource(nullptr, clip), expected.size());
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, clip)));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(std::vector<char>(bytes, bytes + expected.size()), expected);

    const std::pair<LPCSTR, LPCSTR> unknown[] = {{MAKEINTRESOURCEA(IDR_CLIP + 1), RT_RCDATA},
                                                 {MAKEINTRESOURCEA(IDR_CLIP), MAKEINTRESOURCEA(5)},
                                                 {"CLIP", RT_RCDATA}};
    for (const auto& resource : unknown) {
        EXPECT_EQ(FindResourceA(nullptr, resource.first, resource.second), nullptr);
    }
    EXPECT_EQ(SizeofResource(nullptr, nullptr), 0u);
    EXPECT_EQ(LoadResource(nullptr, nullptr), nullptr);
}

}  // namespace
