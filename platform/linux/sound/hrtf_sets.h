// The HRTF data sets the renderer chooses from: OpenAL Soft's installed one
// for the full rendering and the program's own shorter one for the light
// rendering, found from the executable's location: in the installed tree's
// data directory, or in "hrtf" beside it in the build tree.
#pragma once

#include <AL/alc.h>

enum class HrtfChoice { Off, Light, Full };

// Makes OpenAL Soft look for data sets where the light one is, in place of
// the current directory. It sets the environment: call it while the process
// has one thread, before the first device is opened.
void UseShippedHrtfSets();
// True when the light data set's file is there; otherwise says on standard
// error, in one line, which file is missing.
bool LightHrtfPresent();
// The index of the data set for HRTF on this device, -1 when none is listed.
ALCint FindHrtfId(ALCdevice* device, HrtfChoice choice);
// Which data set the device renders with now.
HrtfChoice HrtfInUse(ALCdevice* device);
