// The fixed choices of one playback: 3D algorithm, speaker configuration and
// stereo speaker angle, with the values they stand for.
#pragma once

#include <cstdint>

#include "platform/platform.h"

struct AlgorithmChoice {
    const char* text;
    const GUID* algorithm;
};

struct SpeakerChoice {
    const char* text;
    BYTE configuration;
};

const int ALGORITHM_CHOICE_COUNT = 3;
const int SPEAKER_CHOICE_COUNT = 6;
const int ANGLE_CHOICE_COUNT = 4;

const int DEFAULT_ALGORITHM_INDEX = 2;
const int DEFAULT_SPEAKER_INDEX = 0;
const int DEFAULT_ANGLE_INDEX = 1;

// Only this many characters of the angle box take part in the parse.
const int MAX_ANGLE_TEXT = 19;
const uint32_t MAX_STEREO_ANGLE = 180;

extern const AlgorithmChoice AlgorithmChoices[ALGORITHM_CHOICE_COUNT];
extern const SpeakerChoice SpeakerChoices[SPEAKER_CHOICE_COUNT];
extern const char* const AngleChoices[ANGLE_CHOICE_COUNT];

// Parses the angle box's text (at most its first MAX_ANGLE_TEXT characters).
// Returns true and sets angle when the text is a valid angle of 0 to 180.
bool ParseStereoAngle(const char* text, uint32_t* angle);

// The value for SetSpeakerConfig: angle in bits 16-23, configuration in 0-7.
DWORD SpeakerConfigValue(BYTE configuration, uint32_t angle);
