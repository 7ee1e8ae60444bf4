// What one opened DirectSound device holds: its SDL output, the renderer the
// output pulls from, and the settings made on the device. Shared by the
// device object and every buffer made from it, so a buffer released after
// the device still finds everything it uses.
#pragma once

#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/linux/sound/output.h"
#include "platform/linux/sound/renderer.h"
#include "platform/linux/sound/speaker_config.h"

struct DeviceState {
    std::string outputName;  // empty for the default output
    SDL_AudioDeviceID output = 0;
    int outputChannels = 0;
    Renderer renderer;
    SpeakerSetup speakers = DEFAULT_SPEAKERS;
    DWORD cooperativeLevel = 0;
    IDirectSoundBuffer* primary = nullptr;  // the one primary buffer while it lives

    DeviceState() = default;
    DeviceState(const DeviceState&) = delete;
    DeviceState& operator=(const DeviceState&) = delete;
    ~DeviceState();
};

// Opens the output with the given id (nullptr or DSDEVID_DefaultPlayback:
// the default output). DSERR_NODRIVER when no such output is listed,
// DSERR_ALLOCATED when it is listed but does not open.
HRESULT OpenDeviceState(LPCGUID id, std::shared_ptr<DeviceState>* state);
// Makes the renderer for the configured speakers, with HRTF as the first
// source needs it (a later reset costs a start several milliseconds), and
// starts the output pulling from it; does nothing once rendering runs.
HRESULT StartRendering(DeviceState* state, HrtfChoice hrtf);
// Turns HRTF on for the virtualizing algorithms on headphones, with the light
// or the full data set, and off for everything else. DS_NO_VIRTUALIZATION when HRTF was asked for but is not
// available.
HRESULT UseAlgorithm(DeviceState* state, const GUID& algorithm);
// True once the output stopped on its own (device gone, failed write).
bool OutputLost(const DeviceState& state);
