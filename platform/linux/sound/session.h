// One start's audio: the SDL output that DirectSoundCreate opened, the
// renderer it plays, the speakers' layout and the cooperation level given.
// Shared by the device object and every buffer made from it, so a buffer
// released after the device still finds everything it uses.
#pragma once

#include <SDL.h>

#include <string>

#include "platform/linux/sound/renderer.h"
#include "platform/platform.h"

struct Session {
    std::string outputName;  // as SDL lists it; empty for the default output
    SDL_AudioDeviceID output = 0;
    int outputChannels = 0;
    RenderLayout layout = {};  // set by SetSpeakerConfig
    bool priority = false;     // DSSCL_PRIORITY was given
    Renderer renderer;

    ~Session();
};

// Opens the output with the given id (nullptr: the default) for DirectSound's
// default speakers, paused. DSERR_NODRIVER when no audio driver works or no
// such output is listed; DSERR_ALLOCATED when it does not open.
HRESULT OpenSession(LPCGUID id, Session* session);
// Opens the renderer for the layout with the HRTF, reopening the output when
// the layout needs another channel count, and starts the output pulling from
// it. One source a device: DSERR_ALLOCATED once it renders.
// DS_NO_VIRTUALIZATION when the HRTF asked for is not available.
HRESULT StartSession(Session* session, HrtfChoice hrtf);
