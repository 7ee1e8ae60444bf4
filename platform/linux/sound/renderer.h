// 3D rendering of one looping source on an OpenAL Soft loopback device: the
// mix is pulled into a float buffer by whoever plays it, so it works without
// any sound device.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <atomic>

#include "platform/linux/sound/hrtf_sets.h"
#include "platform/linux/sound/panning.h"
#include "platform/platform.h"

const int RENDER_RATE = 48000;
// Frames mixed at a time for a layout panned here: one output period.
const int PAN_BLOCK_FRAMES = 512;

struct RenderLayout {
    int channels;        // output channels: 1, 2, 4 or 6
    ALCint alFormat;     // OpenAL Soft's channels: one where a law here pans
    bool headphones;     // OpenAL Soft pans on two channels, with HRTF when asked
    PanLaw pan;          // the law that spreads OpenAL's one channel on two, if any
    float speakerAngle;  // degrees between the speakers, for the law
};

// The layout for a SetSpeakerConfig value: the configuration in bits 0-7 and,
// for stereo speakers only, an angle in bits 16-23. False for anything else.
bool LayoutFor(DWORD speakerConfig, RenderLayout* layout);
// The HRTF a 3D algorithm asks for on a layout: on headphones only. False
// for an id that is no 3D algorithm.
bool HrtfFor(const RenderLayout& layout, const GUID& algorithm, HrtfChoice* hrtf);

struct Renderer {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    ALuint source = 0;
    ALuint buffer = 0;
    RenderLayout layout = {};
    HrtfChoice hrtf = HrtfChoice::Off;  // the data set really in use, not just asked for
    // Layouts panned here: OpenAL Soft renders one channel, with the distance,
    // and the newest gains (set by the caller, read by the rendering thread)
    // spread it on two.
    std::atomic<PanGains> gains{PanGains{0.0f, 0.0f}};
    PanGains current = {0.0f, 0.0f};  // where the last block ended
    float mono[PAN_BLOCK_FRAMES];
};

// Opens the loopback device, its context and the source for the layout, at
// 48 kHz float. DSERR_UNSUPPORTED when the light HRTF set is missing. What
// was made before a failure stays for CloseRenderer, as on success.
HRESULT OpenRenderer(Renderer* renderer, const RenderLayout& layout, HrtfChoice hrtf);
void CloseRenderer(Renderer* renderer);
// Mixes the next frames (interleaved, layout.channels per frame).
void RenderFrames(Renderer* renderer, float* out, int frames);

// The sound the source loops: 16-bit mono PCM. The source must not be playing.
HRESULT LoadClip(const Renderer& renderer, const void* pcm, DWORD bytes, DWORD rate);
// Places the source in DirectSound's frame: x right, y up, z ahead.
HRESULT PlaceSource(Renderer* renderer, float x, float y, float z);
HRESULT PlaySource(const Renderer& renderer);
// Holds the source where it is.
HRESULT PauseSource(const Renderer& renderer);
