#include "platform/linux/sound/panning.h"

#include <cmath>

namespace {

const float PI = 3.14159265358979f;
const float MINUS_3_DB = 0.70710678f;

// Degrees clockwise from straight ahead, -180 to 180; ahead for the listener's own place.
float Azimuth(float x, float z) {
    if (x == 0.0f && z == 0.0f) {
        return 0.0f;
    }
    return std::atan2(x, z) * 180.0f / PI;
}

// Constant-power share of a pair: all to the first at 0, all to the second at 1.
void SharePair(float part, float* first, float* second) {
    *first = std::cos(part * PI / 2.0f);
    *second = std::sin(part * PI / 2.0f);
}

}  // namespace

PanGains SpeakerPairGains(float x, float z, float angle) {
    float azimuth = Azimuth(x, z);
    if (azimuth > 90.0f) {
        azimuth = 180.0f - azimuth;
    } else if (azimuth < -90.0f) {
        azimuth = -180.0f - azimuth;
    }
    const float half = angle / 2.0f;
    if (azimuth >= half) {
        return PanGains{0.0f, 1.0f};
    }
    if (azimuth <= -half) {
        return PanGains{1.0f, 0.0f};
    }
    PanGains gains;
    SharePair((azimuth + half) / angle, &gains.left, &gains.right);
    return gains;
}

PanGains MatrixSurroundGains(float x, float z, float /*angle*/) {
    const float azimuth = Azimuth(x, z);
    float left = 0, right = 0, centre = 0, surround = 0;
    if (azimuth >= 0.0f && azimuth <= 90.0f) {
        SharePair(azimuth / 90.0f, &centre, &right);
    } else if (azimuth > 90.0f) {
        SharePair((azimuth - 90.0f) / 90.0f, &right, &surround);
    } else if (azimuth >= -90.0f) {
        SharePair(-azimuth / 90.0f, &centre, &left);
    } else {
        SharePair((-azimuth - 90.0f) / 90.0f, &left, &surround);
    }
    // The surround goes out of phase on the two channels. Its polarity follows the side the
    // source is on, so that it adds to that side's speaker rather than cancelling it: with one
    // polarity for all, a source behind on the left came out of the right, and quieter.
    const float side = azimuth < 0.0f ? -1.0f : 1.0f;
    surround *= side;
    return PanGains{left + MINUS_3_DB * (centre - surround),
                    right + MINUS_3_DB * (centre + surround)};
}
