// The HRTF data sets the renderer chooses from: OpenAL Soft's installed one
// for the full rendering and the shorter one that ships in the directory
// "hrtf" beside the executable for the light rendering.
#pragma once

#include <AL/alc.h>

enum class HrtfChoice { Off, Light, Full };

// The light data set's name as OpenAL Soft lists it (its file name).
extern const char* const LIGHT_HRTF_NAME;

// Makes OpenAL Soft look for data sets beside the executable in place of the
// current directory. Call before the first device is opened; once is enough.
void UseShippedHrtfSets();
// The index of the data set for a choice on this device, -1 when none is listed.
ALCint FindHrtfId(ALCdevice* device, HrtfChoice choice);
// Which data set the device renders with now.
HrtfChoice HrtfInUse(ALCdevice* device);
