#include "app/position_controls.h"

#include <cmath>

#include "playback/dialog_window.h"
#include "playback/playback.h"
#include "playback/source_position.h"
#include "resources/resource_ids.h"

const SliderRange SLIDER_RANGES[3] = {{-2.0f, 2.0f}, {-2.0f, 2.0f}, {-2.0f, 2.0f}};

namespace {

const size_t READOUT_SIZE = 32;

struct Readout {
    int control;
    char axis;
};

const Readout READOUTS[3] = {{IDC_VALUE_X, 'X'}, {IDC_VALUE_Y, 'Y'}, {IDC_VALUE_Z, 'Z'}};

LRESULT SendToControl(int control, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendDlgItemMessageA(dialogWindow, control, message, wParam, lParam);
}

void AppendChar(char* buffer, size_t size, size_t& length, char c) {
    if (length + 1 < size) {
        buffer[length++] = c;
    }
}

// Appends value with at least minDigits digits, zero-padded.
void AppendDecimal(char* buffer, size_t size, size_t& length, unsigned long long value,
                   int minDigits) {
    char reversed[24];
    int count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value != 0 || count < minDigits);
    while (count > 0) {
        AppendChar(buffer, size, length, reversed[--count]);
    }
}

}  // namespace

void FormatReadout(char* buffer, size_t size, char axis, float value) {
    if (size == 0) {
        return;
    }
    // A float times 100 is exact in double precision, and so is adding one
    // half to it, so the floor below rounds exact halves away from zero.
    const double hundredths = std::fabs(static_cast<double>(value) * 100.0);
    const auto rounded = static_cast<unsigned long long>(std::floor(hundredths + 0.5));

    size_t length = 0;
    AppendChar(buffer, size, length, axis);
    AppendChar(buffer, size, length, '=');
    AppendChar(buffer, size, length, std::signbit(value) ? '-' : ' ');
    AppendDecimal(buffer, size, length, rounded / 100, 2);
    AppendChar(buffer, size, length, '.');
    AppendDecimal(buffer, size, length, rounded % 100, 2);
    buffer[length] = '\0';
}

void InitPositionSlider(int control, float minimum, float maximum) {
    const auto low = static_cast<int>(minimum * POSITION_SCALE);
    const auto high = static_cast<int>(maximum * POSITION_SCALE);
    SendToControl(control, TBM_SETRANGE, TRUE, MAKELPARAM(low, high));

    const auto readMax = static_cast<int>(SendToControl(control, TBM_GETRANGEMAX, 0, 0));
    const auto readMin = static_cast<int>(SendToControl(control, TBM_GETRANGEMIN, 0, 0));
    SendToControl(control, TBM_SETPOS, TRUE, (readMin + readMax) / 2);
}

float ReadPositionSlider(int control) {
    const auto position = static_cast<int>(SendToControl(control, TBM_GETPOS, 0, 0));
    const LONG style = GetWindowLongA(GetDlgItem(dialogWindow, control), GWL_STYLE);
    return CoordinateOfPosition(position, (style & TBS_VERT) != 0);
}

void OnScroll() {
    sourcePosition.x = ReadPositionSlider(IDC_SLIDER_X);
    sourcePosition.y = ReadPositionSlider(IDC_SLIDER_Y);
    sourcePosition.z = ReadPositionSlider(IDC_SLIDER_Z);
    ApplySourcePosition();
}

void ApplySourcePosition() {
    const float values[3] = {sourcePosition.x, sourcePosition.y, sourcePosition.z};
    for (int axis = 0; axis < 3; ++axis) {
        char text[READOUT_SIZE];
        FormatReadout(text, sizeof text, READOUTS[axis].axis, values[axis]);
        SetWindowText1251(GetDlgItem(dialogWindow, READOUTS[axis].control), text);
    }
    if (playbackObjects.source3D != nullptr) {
        playbackObjects.source3D->SetPosition(sourcePosition.x, sourcePosition.y, sourcePosition.z,
                                              DS3D_IMMEDIATE);
    }
}
