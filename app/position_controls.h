// The three position trackbars and their readouts.
#pragma once

#include <cstddef>

struct SliderRange {
    float minimum;
    float maximum;
};

// Trackbar steps per unit of distance: -2.0 to 2.0 is -2000 to 2000.
const int POSITION_SCALE = 1000;

// The coordinate a trackbar position stands for: vertical trackbars have
// +2.0 at the top, where their positions are lowest.
inline float CoordinateOfPosition(int position, bool vertical) {
    return static_cast<float>(vertical ? -position : position) / POSITION_SCALE;
}

// One range per axis, in the order X, Y, Z.
extern const SliderRange SLIDER_RANGES[3];

// Sets a trackbar's range from a coordinate range and centres it.
void InitPositionSlider(int control, float minimum, float maximum);

// The trackbar's coordinate; vertical trackbars have +2.0 at the top.
float ReadPositionSlider(int control);

// Re-reads all three trackbars and applies the new position.
void OnScroll();

// Shows the position in the readouts and moves a playing source there.
void ApplySourcePosition();

// Writes "<axis>=" and the value laid out as printf's "% 06.2f" would, with
// exact halves rounded away from zero whatever the C runtime does.
void FormatReadout(char* buffer, size_t size, char axis, float value);
