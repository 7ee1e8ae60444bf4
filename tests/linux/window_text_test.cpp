// Windows-1251 texts: every byte converts as Windows converts it, both ways,
// into a buffer of a given size.
#include <gtest/gtest.h>
#include <iconv.h>

#include <QString>

#include "platform/linux/window/windows_1251.h"

namespace {

TEST(Windows1251, EveryByteMapsAsTheCodePageDefinesAndBack) {
    // The C library's table as the reference; it leaves 0x98 unassigned, which Windows maps to
    // U+0098.
    iconv_t converter = iconv_open("UTF-16LE", "CP1251");
    ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1));
    for (int byte = 1; byte < 256; ++byte) {
        char input[1] = {static_cast<char>(byte)}, *in = input;
        char16_t expected = 0x0098;
        char* out = reinterpret_cast<char*>(&expected);
        size_t inLeft = 1, outLeft = sizeof expected;
        iconv(converter, &in, &inLeft, &out, &outLeft);
        const char text[2] = {static_cast<char>(byte), '\0'};
        EXPECT_EQ(FromWindows1251(text), QString(QChar(expected))) << byte;
        char back[2];
        EXPECT_EQ(ToWindows1251(QString(QChar(expected)), back, sizeof back), 1);
        EXPECT_EQ(back[0], text[0]) << byte;
    }
    iconv_close(converter);
    char unmapped[4];
    ToWindows1251(QString::fromUtf8("\xC2\x80\xC3\xA9\xE2\x82\xBD"), unmapped,
                  sizeof unmapped);  // U+0080 é ₽
    EXPECT_STREQ(unmapped, "???");
    EXPECT_EQ(ToWindows1251(QString::fromUtf8("Угол"), unmapped, 3), 2);
    EXPECT_STREQ(unmapped, "\xD3\xE3") << "at most size - 1 characters";
}

}  // namespace
