// How the program's trackbar positions stand for coordinates, for the
// program and for a platform that reports them as such (to a screen reader).
#pragma once

// Trackbar steps per unit of distance: -2.0 to 2.0 is -2000 to 2000.
const int POSITION_SCALE = 1000;

// The coordinate a trackbar position stands for: vertical trackbars have
// +2.0 at the top, where their positions are lowest.
inline float CoordinateOfPosition(int position, bool vertical) {
    return static_cast<float>(vertical ? -position : position) / POSITION_SCALE;
}
