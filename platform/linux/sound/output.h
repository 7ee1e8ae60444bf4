// The sound output through SDL2: the device list with ids that stay the same
// from run to run, and a device that pulls its frames from a renderer.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include "platform/linux/sound/renderer.h"
#include "platform/platform.h"

// Starts SDL's audio once; false when no audio driver works.
bool StartOutputSystem();
// The current output devices' names (none when the audio system does not start).
std::vector<std::string> OutputNames();
// A name-based id, so the same device keeps its id between runs.
GUID SdlOutputId(const std::string& name);

// Opens an output (an empty name: the default) for 48 kHz float carrying
// the renderer's channels, paused; the renderer must stay open until the
// output is closed. DSERR_ALLOCATED when the device does not open or the
// sound server does not answer in time.
HRESULT OpenOutput(const std::string& name, int channels, Renderer* renderer,
                   SDL_AudioDeviceID* output);
// Stops pulling at once, so the renderer may be closed when this returns;
// the device itself is given back on the output thread.
void CloseOutput(SDL_AudioDeviceID output);
