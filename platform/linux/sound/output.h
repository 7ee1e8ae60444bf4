// The sound output through SDL2: the device list with ids that stay the same
// from run to run, and a device that pulls its frames from a renderer.
#pragma once

#include <SDL.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/linux/sound/renderer.h"

struct SdlOutput {
    std::string name;  // as SDL lists it, UTF-8
    GUID id;
};

// Starts SDL's audio once; false when no audio driver works.
bool StartOutputSystem();
const char* OutputDriverName();
// The current output devices (empty when the audio system does not start).
std::vector<SdlOutput> ListSdlOutputs();
// A name-based id, so the same device keeps its id between runs.
GUID SdlOutputId(const std::string& name);

// Opens an output (nullptr: the default) for 48 kHz float carrying the
// renderer's channels, paused. The renderer must stay open until the output
// is closed. Returns 0 when the device cannot be opened or the sound server
// does not answer in time.
SDL_AudioDeviceID OpenOutput(const char* name, int channels, Renderer* renderer);
// Starts or pauses pulling frames; when this returns, no pull is running.
void SetOutputRunning(SDL_AudioDeviceID output, bool running);
// True once the device stopped on its own (unplugged, failed write).
bool OutputFailed(SDL_AudioDeviceID output);
// Stops pulling at once, so the renderer may be closed when this returns;
// the device itself is given back on the output thread.
void CloseOutput(SDL_AudioDeviceID output);
