// Pixels as they are on the screen, and pictures the driver draws itself
// to compare them with.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, rows top to bottom

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// A rectangle of the screen (screen coordinates).
bool CaptureScreen(const RECT& area, Image* image);
// An icon drawn at size x size over a plain background.
bool DrawIconImage(HICON icon, int size, uint32_t background, Image* image);

// Pixels that differ between two images of the same size; -1 when the sizes
// differ.
long DifferingPixels(const Image& a, const Image& b);
// Number of different colours.
size_t ColourCount(const Image& image);

bool WriteBmp(const std::string& unixPath, const Image& image);

// A dialog of the driver's own with the program's template font, so it has
// the same dialog units, holding one push button: the reference for the
// program's button on screen.  MapDialogRect only works on dialogs of the
// calling process.
class TwinDialog {
public:
    TwinDialog() = default;
    TwinDialog(const TwinDialog&) = delete;
    TwinDialog& operator=(const TwinDialog&) = delete;
    ~TwinDialog();

    // The button gets the given size in dialog units.
    bool Create(int buttonWidth, int buttonHeight);
    // Dialog units to pixels, as the program's dialog maps them.
    POINT MapPoint(int x, int y) const;
    SIZE MapSize(int width, int height) const;
    // The button with this text, style and state, as it looks on screen.
    bool RenderButton(const std::wstring& text, LONG style, bool enabled, Image* image);

private:
    HWND dialog_ = nullptr;
    HWND button_ = nullptr;
};

// Lets the driver's own windows paint.
void PumpMessages(DWORD forMs);

}  // namespace e2e
