// 3D rendering on an OpenAL Soft loopback device: the mix is pulled into a
// float buffer by whoever plays it, so it works without any sound device.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <cstddef>
#include <memory>

#include "platform/linux/sound/hrtf_sets.h"

const int RENDER_RATE = 48000;

// Who places the sources between the output channels.
enum class Panning {
    OpenAl,          // OpenAL Soft's own decoder for the channel count (and HRTF)
    SpeakerPair,     // two speakers at an angle, panned here
    MatrixSurround,  // four speakers matrixed onto two, panned here
};

struct RenderLayout {
    int channels;  // output channels: 1, 2, 4 or 6
    Panning panning;
    float speakerAngle;  // degrees between the speakers, for SpeakerPair
};

struct PanState;

struct Renderer {
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    int channels = 0;  // output channels
    RenderLayout layout = {0, Panning::OpenAl, 0};
    HrtfChoice hrtf = HrtfChoice::Off;  // the data set really in use, not just asked for
    bool foldRear = false;              // OpenAL's two speakers without HRTF: behind pans as ahead
    // For layouts panned here: OpenAL Soft renders one channel, with the
    // distance, and the last placed source's gains spread it on two.
    std::unique_ptr<PanState> pan;

    Renderer();
    ~Renderer();
    Renderer(Renderer&&) noexcept;
    Renderer& operator=(Renderer&&) noexcept;
};

// Opens the loopback device and its context for the layout as 48 kHz float;
// HRTF is asked for only on two channels that OpenAL Soft pans.
bool OpenRenderer(Renderer* renderer, const RenderLayout& layout, HrtfChoice hrtf);
// Switches HRTF and its data set; the caller keeps the renderer from rendering meanwhile.
bool ResetRenderer(Renderer* renderer, HrtfChoice hrtf);
void CloseRenderer(Renderer* renderer);
// Mixes the next frames (interleaved, renderer->channels per frame).
void RenderFrames(Renderer* renderer, float* out, int frames);

// One sound source with the buffer it plays.
struct RenderSource {
    ALuint source = 0;
    ALuint buffer = 0;
};

bool CreateRenderSource(const Renderer& renderer, RenderSource* source);
// Replaces the sound (PCM, 8-bit unsigned or 16-bit signed, 1 or 2 channels).
bool LoadRenderSource(const Renderer& renderer, const RenderSource& source, const void* pcm,
                      size_t bytes, int channels, int bits, int rate);
// A 3D source is placed in the scene; any other plays at the listener.
bool SetRenderSourceSpatial(const Renderer& renderer, const RenderSource& source, bool spatial);
// Places the source in DirectSound's frame: x right, y up, z ahead.
bool PlaceRenderSource(const Renderer& renderer, const RenderSource& source, float x, float y,
                       float z);
bool SetRenderSourceMinDistance(const Renderer& renderer, const RenderSource& source,
                                float distance);
bool PlayRenderSource(const Renderer& renderer, const RenderSource& source, bool looping);
// Holds the source where it is; the next play goes on from there.
bool PauseRenderSource(const Renderer& renderer, const RenderSource& source);
bool IsRenderSourcePlaying(const Renderer& renderer, const RenderSource& source);
// Where playback is, in bytes of the loaded sound.
size_t RenderSourceByteOffset(const Renderer& renderer, const RenderSource& source);
void DeleteRenderSource(const Renderer& renderer, RenderSource* source);
