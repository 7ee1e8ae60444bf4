// The two-channel panning laws that this layer computes itself, for layouts
// that OpenAL Soft's own decoders do not have: a pair of speakers at a given
// angle, and four speakers folded into two by a passive surround matrix.
#pragma once

struct PanGains {
    float left;
    float right;
};

// A law's gains for a source at x (right) and z (ahead), with the angle in
// degrees between the speakers where the law has one.
typedef PanGains (*PanLaw)(float x, float z, float angle);

// Speakers at plus and minus half the angle (degrees) ahead: a source at or
// beyond a speaker plays from it alone, between them the power is shared by
// a sine law. Behind pans as the mirrored place ahead. x right, z ahead.
PanGains SpeakerPairGains(float x, float z, float angle);

// Left, right, centre and surround speakers (at -90, 90, 0 and 180 degrees)
// panned pairwise at constant power, then carried on two channels: centre in
// phase on both at -3 dB, surround in opposite phase on both at -3 dB. The
// speakers' places are fixed: the angle plays no part.
PanGains MatrixSurroundGains(float x, float z, float angle);
