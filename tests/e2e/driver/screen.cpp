#include "screen.h"

#include <algorithm>
#include <set>

#include "alsa_output.h"

namespace e2e {

namespace {

bool ReadBitmap(HDC source, int x, int y, int width, int height, Image* image) {
    image->width = width;
    image->height = height;
    image->pixels.assign(static_cast<size_t>(width) * height, 0);
    if (width <= 0 || height <= 0) {
        return false;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY) != FALSE;
        GdiFlush();
        const auto* source32 = static_cast<const uint32_t*>(bits);
        for (size_t i = 0; i < image->pixels.size(); ++i) {
            image->pixels[i] = source32[i] & 0xFFFFFF;
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    return ok;
}

}  // namespace

bool CaptureScreen(const RECT& area, Image* image) {
    HDC screen = GetDC(nullptr);
    const bool ok = ReadBitmap(screen, area.left, area.top, area.right - area.left,
                               area.bottom - area.top, image);
    ReleaseDC(nullptr, screen);
    return ok;
}

bool DrawIconImage(HICON icon, int size, uint32_t background, Image* image) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const COLORREF backgroundColour =
        RGB((background >> 16) & 0xFF, (background >> 8) & 0xFF, background & 0xFF);
    HBRUSH brush = CreateSolidBrush(backgroundColour);
    RECT all = {0, 0, size, size};
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    const bool drawn = DrawIconEx(memory, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL) != FALSE;
    const bool ok = drawn && ReadBitmap(memory, 0, 0, size, size, image);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

long DifferingPixels(const Image& a, const Image& b) {
    if (a.width != b.width || a.height != b.height) {
        return -1;
    }
    long count = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        count += a.pixels[i] != b.pixels[i] ? 1 : 0;
    }
    return count;
}

size_t ColourCount(const Image& image) {
    return std::set<uint32_t>(image.pixels.begin(), image.pixels.end()).size();
}

bool WriteBmp(const std::string& unixPath, const Image& image) {
    const DWORD rowBytes = static_cast<DWORD>(image.width) * 4;
    const DWORD dataBytes = rowBytes * static_cast<DWORD>(image.height);
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + dataBytes;
    info.biSize = sizeof info;
    info.biWidth = image.width;
    info.biHeight = -image.height;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    info.biSizeImage = dataBytes;
    HANDLE out = CreateFileW(WinePath(unixPath).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    bool ok = WriteFile(out, &file, sizeof file, &written, nullptr) &&
              WriteFile(out, &info, sizeof info, &written, nullptr) &&
              WriteFile(out, image.pixels.data(), dataBytes, &written, nullptr) &&
              written == dataBytes;
    CloseHandle(out);
    return ok;
}

void PumpMessages(DWORD forMs) {
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        Sleep(5);
    } while (GetTickCount() - start < forMs);
}

namespace {

const int kTwinButton = 100;

INT_PTR CALLBACK TwinProc(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

void Put(std::vector<WORD>& words, const wchar_t* text) {
    for (; *text != L'\0'; ++text) {
        words.push_back(static_cast<WORD>(*text));
    }
    words.push_back(0);
}

void PutDword(std::vector<WORD>& words, DWORD value) {
    words.push_back(LOWORD(value));
    words.push_back(HIWORD(value));
}

}  // namespace

TwinDialog::~TwinDialog() {
    if (dialog_ != nullptr) {
        DestroyWindow(dialog_);
    }
}

bool TwinDialog::Create(int buttonWidth, int buttonHeight) {
    // DLGTEMPLATE, then menu, class, title, font; then one DLGITEMTEMPLATE.
    std::vector<WORD> words;
    PutDword(words, DS_SETFONT | WS_POPUP);
    PutDword(words, 0);
    words.push_back(1);  // items
    words.push_back(0);
    words.push_back(0);
    words.push_back(static_cast<WORD>(buttonWidth + 4));
    words.push_back(static_cast<WORD>(buttonHeight + 4));
    words.push_back(0);  // no menu
    words.push_back(0);  // standard class
    Put(words, L"");
    words.push_back(8);
    Put(words, L"MS Sans Serif");
    if (words.size() % 2 != 0) {
        words.push_back(0);  // items start on a DWORD
    }
    PutDword(words, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON);
    PutDword(words, 0);
    words.push_back(2);
    words.push_back(2);
    words.push_back(static_cast<WORD>(buttonWidth));
    words.push_back(static_cast<WORD>(buttonHeight));
    words.push_back(kTwinButton);
    words.push_back(0xFFFF);
    words.push_back(0x0080);  // BUTTON
    Put(words, L"");
    words.push_back(0);  // no creation data
    dialog_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                         reinterpret_cast<LPCDLGTEMPLATEW>(words.data()), nullptr,
                                         &TwinProc, 0);
    button_ = dialog_ != nullptr ? GetDlgItem(dialog_, kTwinButton) : nullptr;
    return button_ != nullptr;
}

POINT TwinDialog::MapPoint(int x, int y) const {
    RECT rect = {0, 0, x, y};
    MapDialogRect(dialog_, &rect);
    return POINT{rect.right, rect.bottom};
}

SIZE TwinDialog::MapSize(int width, int height) const {
    RECT rect = {0, 0, width, height};
    MapDialogRect(dialog_, &rect);
    return SIZE{rect.right, rect.bottom};
}

bool TwinDialog::RenderButton(const std::wstring& text, LONG style, bool enabled, Image* image) {
    SetWindowTextW(button_, text.c_str());
    SetWindowLongW(button_, GWL_STYLE, style);
    EnableWindow(button_, enabled);
    // Top left of the screen: the program's dialog is centred, away from it.
    SetWindowPos(dialog_, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    InvalidateRect(button_, nullptr, TRUE);
    UpdateWindow(dialog_);
    PumpMessages(100);
    RECT area;
    GetWindowRect(button_, &area);
    const bool ok = CaptureScreen(area, image);
    ShowWindow(dialog_, SW_HIDE);
    PumpMessages(20);
    return ok;
}

}  // namespace e2e
