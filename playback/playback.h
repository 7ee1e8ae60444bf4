// Building, playing and tearing down the looping 3D sound.
#pragma once

#include "platform/platform.h"

// Every sound object of one playback: all absent when idle, all held once
// while playing.
struct PlaybackObjects {
    LPDIRECTSOUND device;
    LPDIRECTSOUNDBUFFER primaryBuffer;
    LPDIRECTSOUND3DLISTENER listener;
    LPDIRECTSOUNDBUFFER sourceBuffer;
    LPDIRECTSOUND3DBUFFER source3D;
};

extern PlaybackObjects playbackObjects;

// What the dialog's controls held when the user pressed the button.
struct PlaybackChoices {
    int deviceIndex;
    int algorithmIndex;
    int speakerIndex;
    char angleText[20];
};

// Opens the chosen device and starts the clip looping as a 3D source at the
// current source position. On failure the error has been shown and nothing
// is held. Call only when idle.
bool StartPlayback(const PlaybackChoices& choices);

// Stops the sound and releases whatever is held; safe at any time.
void ReleasePlayback();
