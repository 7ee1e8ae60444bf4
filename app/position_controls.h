// The three position trackbars and their readouts.
#pragma once

#include <cstddef>

#include "platform/trackbar_position.h"

struct SliderRange {
    float minimum;
    float maximum;
};

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
