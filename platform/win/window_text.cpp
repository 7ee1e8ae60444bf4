// Windows-1251 in, UTF-16 to the window system, so Cyrillic shows right
// whatever the system's ANSI code page is.
#include "platform/platform.h"

namespace {

const UINT CODE_PAGE_1251 = 1251;

// Room for every text the program shows: messages stay under 256 characters.
const int WIDE_TEXT_SIZE = 512;

void ToWide(const char* text, wchar_t (&wide)[WIDE_TEXT_SIZE]) {
    int length = MultiByteToWideChar(CODE_PAGE_1251, 0, text, -1, wide, WIDE_TEXT_SIZE);
    if (length == 0) {
        wide[0] = L'\0';
    }
    wide[WIDE_TEXT_SIZE - 1] = L'\0';
}

}  // namespace

void SetWindowText1251(HWND window, const char* text) {
    wchar_t wide[WIDE_TEXT_SIZE];
    ToWide(text, wide);
    SetWindowTextW(window, wide);
}

int GetWindowText1251(HWND window, char* buffer, int size) {
    if (size <= 1) {
        // No room for a character; a zero output size would also make
        // WideCharToMultiByte report a length instead of converting.
        if (size == 1) {
            buffer[0] = '\0';
        }
        return 0;
    }
    // Read no more characters than the caller has room for, so a long
    // text is cut exactly where the narrow read would have cut it.
    wchar_t wide[WIDE_TEXT_SIZE];
    int capacity = size < WIDE_TEXT_SIZE ? size : WIDE_TEXT_SIZE;
    int wideLength = GetWindowTextW(window, wide, capacity);
    int length = WideCharToMultiByte(CODE_PAGE_1251, 0, wide, wideLength, buffer, size - 1, nullptr,
                                     nullptr);
    buffer[length] = '\0';
    return length;
}

void AddComboString1251(HWND dialog, int controlId, const char* text) {
    wchar_t wide[WIDE_TEXT_SIZE];
    ToWide(text, wide);
    SendDlgItemMessageW(dialog, controlId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide));
}

void MessageBox1251(HWND owner, const char* text, const char* caption, UINT type) {
    wchar_t wideText[WIDE_TEXT_SIZE];
    wchar_t wideCaption[WIDE_TEXT_SIZE];
    ToWide(text, wideText);
    ToWide(caption, wideCaption);
    MessageBoxW(owner, wideText, wideCaption, type);
}
