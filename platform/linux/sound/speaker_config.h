// The speaker configuration that SetSpeakerConfig takes, checked and turned
// into the layout that the renderer produces.
#pragma once

#include "platform/platform.h"
#include "platform/linux/sound/renderer.h"

enum class SpeakerLayout { Headphones, Mono, Quad, Stereo, Surround, FivePointOne };

struct SpeakerSetup {
    SpeakerLayout layout;
    DWORD angle;  // degrees between the stereo speakers; 0 when none was given
};

// DirectSound's default until the program says otherwise.
const SpeakerSetup DEFAULT_SPEAKERS = {SpeakerLayout::Stereo, 0};

// Checks a combined configuration value (configuration in bits 0-7, stereo
// angle in bits 16-23). Returns false for anything DirectSound refuses.
bool ParseSpeakerConfig(DWORD value, SpeakerSetup* setup);

// Output channels of the layout: 1, 2, 4 or 6.
int LayoutChannels(SpeakerLayout layout);
// How the renderer fills the speakers' channels.
RenderLayout RenderLayoutFor(const SpeakerSetup& setup);
// The HRTF rendering an algorithm asks for: only on headphones, the light
// or the full data set.
HrtfChoice HrtfFor(const SpeakerSetup& setup, const GUID& algorithm);
