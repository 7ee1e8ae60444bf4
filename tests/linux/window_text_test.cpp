// Windows-1251 texts: every byte converts as Windows converts it, both ways.
#include <gtest/gtest.h>
#include <iconv.h>

#include <QString>

#include "platform/linux/window/windows_1251.h"

namespace {

// The byte Windows maps to U+0098 and the C library leaves unassigned.
const unsigned char UNASSIGNED_BYTE = 0x98;

// The C library's own table, as an independent reference.
QString ReferenceUnicode(unsigned char byte) {
    iconv_t converter = iconv_open("UTF-16LE", "CP1251");
    EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
    char input[1] = {static_cast<char>(byte)};
    char16_t output[2] = {};
    char* in = input;
    char* out = reinterpret_cast<char*>(output);
    size_t inLeft = 1;
    size_t outLeft = sizeof output;
    const size_t converted = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    return converted == static_cast<size_t>(-1) ? QString() : QString(QChar(output[0]));
}

TEST(Windows1251, EveryByteMapsAsTheCodePageDefinesAndBack) {
    for (int byte = 1; byte < 256; ++byte) {
        SCOPED_TRACE(byte);
        const char text[2] = {static_cast<char>(byte), '\0'};
        const QString unicode = FromWindows1251(text);
        ASSERT_EQ(unicode.size(), 1);
        if (byte == UNASSIGNED_BYTE) {
            EXPECT_EQ(unicode[0].unicode(), 0x0098);
        } else {
            EXPECT_EQ(unicode, ReferenceUnicode(static_cast<unsigned char>(byte)));
        }
        char back[2];
        EXPECT_EQ(ToWindows1251(unicode, back, sizeof back), 1);
        EXPECT_EQ(back[0], text[0]);
    }
    char unmapped[4];
    ToWindows1251(QString::fromUtf8("\xC3\xA9\xE2\x82\xBD"), unmapped, sizeof unmapped);  // é ₽
    EXPECT_STREQ(unmapped, "??");
}

}  // namespace
