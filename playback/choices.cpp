#include "playback/choices.h"

#include <cstddef>

const AlgorithmChoice AlgorithmChoices[ALGORITHM_CHOICE_COUNT] = {
    {"Нет", &DS3DALG_NO_VIRTUALIZATION},
    {"Частичная", &DS3DALG_HRTF_LIGHT},
    {"Полная", &DS3DALG_HRTF_FULL},
};

const SpeakerChoice SpeakerChoices[SPEAKER_CHOICE_COUNT] = {
    {"Наушники", DSSPEAKER_HEADPHONE},        {"Моно", DSSPEAKER_MONO},
    {"Квадроколонки", DSSPEAKER_QUAD},        {"Стереоколонки", DSSPEAKER_STEREO},
    {"Система Surround", DSSPEAKER_SURROUND}, {"Система 5point1", DSSPEAKER_5POINT1},
};

const char* const AngleChoices[ANGLE_CHOICE_COUNT] = {"5", "10", "20", "180"};

namespace {

// The POSIX locale's white space; bytes of 0x80 and above never count.
bool IsPosixSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

size_t BoundedLength(const char* text, size_t limit) {
    size_t length = 0;
    while (length < limit && text[length] != '\0') {
        ++length;
    }
    return length;
}

}  // namespace

// An unsigned 32-bit decimal parse with the overflow rule of the classic C
// conversion: too many digits pin the magnitude at the maximum, and a '-'
// negates it modulo 2^32.
bool ParseStereoAngle(const char* text, uint32_t* angle) {
    const size_t length = BoundedLength(text, MAX_ANGLE_TEXT);
    size_t i = 0;
    while (i < length && IsPosixSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < length && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }

    uint32_t value = 0;
    size_t end = 0;  // no digits: the parse ends at the very start
    if (i < length && IsDigit(text[i])) {
        uint32_t magnitude = 0;
        for (; i < length && IsDigit(text[i]); ++i) {
            const uint32_t digit = static_cast<uint32_t>(text[i] - '0');
            if (magnitude > (UINT32_MAX - digit) / 10) {
                magnitude = UINT32_MAX;
            } else {
                magnitude = magnitude * 10 + digit;
            }
        }
        value = negative ? 0u - magnitude : magnitude;
        end = i;
    }

    const bool endsWell = end == length || IsPosixSpace(text[end]);
    if (!endsWell || value > MAX_STEREO_ANGLE) {
        return false;
    }
    *angle = value;
    return true;
}

DWORD SpeakerConfigValue(BYTE configuration, uint32_t angle) {
    return ((angle & 0xFFu) << 16) | (configuration & 0xFFu);
}
