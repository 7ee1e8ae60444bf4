// What ALSA's file plugin recorded of a program's sound: float32 stereo
// samples (alsa-lib labels them 32-bit integer PCM in the header; see
// capture_stats.py), cut into segments and labelled by the louder side.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace e2e {

struct Capture {
    unsigned rate = 0;
    unsigned channels = 0;
    bool closed = false;  // the writer closed the stream and patched the sizes
    std::vector<float> left;
    std::vector<float> right;
};

// One second of the capture: float32 stereo at 48 kHz.
const unsigned long long kSecondOfCapture = 48000ull * 8;

unsigned long long FileSize(const std::string& unixPath);
// Waits until the capture has grown by `bytes`, that is until that much more
// was played.  The null sink runs faster than real time, so this is how a
// test lets the sound go on "for a while".
::testing::AssertionResult CaptureGrows(const std::string& unixPath, unsigned long long bytes);

// Reads a capture; on failure returns false with the reason in *error.
bool ReadCapture(const std::string& unixPath, Capture* capture, std::string* error);

// One label per segment of segmentFrames frames, the way capture_stats.py
// labels them: '-' silent (RMS below `silence` on both sides), 'L' or 'R'
// when one side is louder by a factor of 1.5, 'C' otherwise.
std::string SegmentLabels(const Capture& capture, size_t segmentFrames, double silence);

// Run-length summary of labels, e.g. "-*3 R*40 L*38".
std::string Summary(const std::string& labels);

// The labels with runs shorter than minRun dropped and equal neighbours
// merged: the order of what was heard, e.g. "-RL".
std::string Order(const std::string& labels, size_t minRun);

}  // namespace e2e
