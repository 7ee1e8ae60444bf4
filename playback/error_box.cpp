#include "playback/error_box.h"

namespace {

const size_t MESSAGE_SIZE = 256;
const char* const ERROR_CAPTION = "Ошибка";

// Appends one character if there is room for it and the terminator.
void Append(char* buffer, size_t size, size_t& length, char c) {
    if (length + 1 < size) {
        buffer[length++] = c;
    }
}

void AppendHex(char* buffer, size_t size, size_t& length, uint32_t value) {
    const char* const DIGITS = "0123456789ABCDEF";
    char reversed[8];
    int count = 0;
    do {
        reversed[count++] = DIGITS[value & 0xF];
        value >>= 4;
    } while (value != 0);
    while (count > 0) {
        Append(buffer, size, length, reversed[--count]);
    }
}

}  // namespace

// Done by hand rather than with printf so the text is the same whichever C
// runtime the program is linked with.
void FormatMessageCode(char* buffer, size_t size, const char* format, uint32_t code) {
    if (size == 0) {
        return;
    }
    size_t length = 0;
    for (const char* p = format; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] == 'X') {
            AppendHex(buffer, size, length, code);
            ++p;
        } else if (p[0] == '%' && p[1] == '%') {
            Append(buffer, size, length, '%');
            ++p;
        } else {
            Append(buffer, size, length, *p);
        }
    }
    buffer[length] = '\0';
}

void ShowError(const char* message) { ShowError(message, 0); }

void ShowError(const char* format, HRESULT code) {
    char message[MESSAGE_SIZE];
    FormatMessageCode(message, sizeof message, format, static_cast<uint32_t>(code));
    MessageBox1251(dialogWindow, message, ERROR_CAPTION, MB_ICONERROR);
}
