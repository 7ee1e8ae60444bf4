#include "platform/linux/window/windows_1251.h"

#include <algorithm>

namespace {

// Bytes 0x80 to 0xBF; 0xC0 to 0xFF are U+0410 to U+044F in order. Windows
// maps the one unassigned byte, 0x98, to U+0098.
const char16_t UPPER_HALF[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 0x80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 0x88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 0x90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 0x98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // 0xA0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // 0xA8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // 0xB0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // 0xB8
};
const unsigned char FIRST_CYRILLIC_BYTE = 0xC0;
const char16_t FIRST_CYRILLIC = 0x0410;
const char16_t LAST_CYRILLIC = 0x044F;
const char UNMAPPED = '?';

char16_t ToUnicode(unsigned char byte) {
    if (byte < 0x80) {
        return byte;
    }
    if (byte >= FIRST_CYRILLIC_BYTE) {
        return static_cast<char16_t>(FIRST_CYRILLIC + (byte - FIRST_CYRILLIC_BYTE));
    }
    return UPPER_HALF[byte - 0x80];
}

char FromUnicode(char16_t unit) {
    if (unit < 0x80) {
        return static_cast<char>(unit);
    }
    if (unit >= FIRST_CYRILLIC && unit <= LAST_CYRILLIC) {
        return static_cast<char>(FIRST_CYRILLIC_BYTE + (unit - FIRST_CYRILLIC));
    }
    for (int i = 0; i < 64; ++i) {
        if (UPPER_HALF[i] == unit) {
            return static_cast<char>(0x80 + i);
        }
    }
    return UNMAPPED;
}

}  // namespace

QString FromWindows1251(const char* text) {
    QString result;
    for (const char* p = text; p != nullptr && *p != '\0'; ++p) {
        result.append(QChar(ToUnicode(static_cast<unsigned char>(*p))));
    }
    return result;
}

int ToWindows1251(const QString& text, char* buffer, int size) {
    if (size <= 0) {
        return 0;
    }
    const int length = std::min(static_cast<int>(text.size()), size - 1);
    for (int i = 0; i < length; ++i) {
        buffer[i] = FromUnicode(text[i].unicode());
    }
    buffer[length] = '\0';
    return length;
}
