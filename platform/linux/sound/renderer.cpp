#define AL_ALEXT_PROTOTYPES
#include "platform/linux/sound/renderer.h"

#include <AL/alext.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// DirectSound's default maximum distance: no attenuation limit in practice.
const float MAX_DISTANCE = 1e9f;

// OpenAL Soft reads these from the environment at its first use. They are
// set before main, while the process has one thread: setenv under a getenv
// on another thread (SDL's threads read their hints so) can crash. Every
// rendering goes through a loopback device, so OpenAL Soft is kept from
// starting its output backends: they would reach for JACK, PulseAudio and
// ALSA, and JACK's library leaves files behind in /dev/shm.
const bool openAlConfigured = [] {
    setenv("ALSOFT_DRIVERS", "null", 1);
    UseShippedHrtfSets();
    return true;
}();

// OpenAL Soft's word on a failed device call, on standard error, and the
// DirectSound code nearest to it: a loopback device refuses a render format
// with ALC_INVALID_VALUE.
HRESULT AlcFailure(ALCdevice* device, const char* call) {
    const ALCenum error = alcGetError(device);
    std::fprintf(stderr, "sound3d: %s failed: %s\n", call, alcGetString(device, error));
    return error == ALC_OUT_OF_MEMORY   ? DSERR_OUTOFMEMORY
           : error == ALC_INVALID_VALUE ? DSERR_BADFORMAT
                                        : DSERR_GENERIC;
}

// The same for the first failed call on the current context since the last
// check; DS_OK when none failed. AL's other errors refuse a name, enum or value.
HRESULT AlResult(const char* call) {
    const ALenum error = alGetError();
    if (error == AL_NO_ERROR) {
        return DS_OK;
    }
    std::fprintf(stderr, "sound3d: %s failed: %s\n", call, alGetString(error));
    return error == AL_OUT_OF_MEMORY       ? DSERR_OUTOFMEMORY
           : error == AL_INVALID_OPERATION ? DSERR_INVALIDCALL
                                           : DSERR_INVALIDPARAM;
}

}  // namespace

bool LayoutFor(DWORD speakerConfig, RenderLayout* layout) {
    // By configuration, DSSPEAKER_HEADPHONE (1) to DSSPEAKER_5POINT1 (6).
    static const RenderLayout LAYOUTS[] = {
        {2, ALC_STEREO_SOFT, true, nullptr, 0},
        {1, ALC_MONO_SOFT, false, nullptr, 0},
        {4, ALC_QUAD_SOFT, false, nullptr, 0},
        // Stereo speakers at DirectSound's default width when no angle is given.
        {2, ALC_MONO_SOFT, false, SpeakerPairGains, DSSPEAKER_GEOMETRY_WIDE},
        {2, ALC_MONO_SOFT, false, MatrixSurroundGains, 0},
        {6, ALC_5POINT1_SOFT, false, nullptr, 0},
    };
    const DWORD configuration = DSSPEAKER_CONFIG(speakerConfig);
    const DWORD angle = DSSPEAKER_GEOMETRY(speakerConfig);
    // Only stereo speakers take an angle; 0 means none was given.
    const bool angleFits =
        angle == 0 || (configuration == DSSPEAKER_STEREO && angle >= DSSPEAKER_GEOMETRY_MIN &&
                       angle <= DSSPEAKER_GEOMETRY_MAX);
    if ((speakerConfig & 0xFF00FF00u) != 0 || configuration < DSSPEAKER_HEADPHONE ||
        configuration > DSSPEAKER_5POINT1 || !angleFits) {
        return false;
    }
    *layout = LAYOUTS[configuration - DSSPEAKER_HEADPHONE];
    if (angle != 0) {
        layout->speakerAngle = static_cast<float>(angle);
    }
    return true;
}

bool HrtfFor(const RenderLayout& layout, const GUID& algorithm, HrtfChoice* hrtf) {
    // In HrtfChoice's order: off, light, full.
    const GUID* const ALGORITHMS[] = {&DS3DALG_NO_VIRTUALIZATION, &DS3DALG_HRTF_LIGHT,
                                      &DS3DALG_HRTF_FULL};
    for (int i = 0; i < 3; ++i) {
        if (IsEqualGUID(algorithm, *ALGORITHMS[i])) {
            // Speakers pan whatever the algorithm, as DirectSound did.
            *hrtf = layout.headphones ? static_cast<HrtfChoice>(i) : HrtfChoice::Off;
            return true;
        }
    }
    return false;
}

HRESULT OpenRenderer(Renderer* renderer, const RenderLayout& layout, HrtfChoice hrtf) {
    // OpenAL Soft would quietly render the full set in place of a missing light one.
    if (hrtf == HrtfChoice::Light && !LightHrtfPresent()) {
        return DSERR_UNSUPPORTED;
    }
    renderer->layout = layout;
    renderer->device = alcLoopbackOpenDeviceSOFT(nullptr);
    if (renderer->device == nullptr) {
        return AlcFailure(nullptr, "alcLoopbackOpenDeviceSOFT");
    }
    const bool on = hrtf != HrtfChoice::Off;
    // The attributes come in pairs, a name and its value.
    // clang-format off
    const ALCint attributes[] = {
        ALC_FREQUENCY, RENDER_RATE,
        ALC_FORMAT_CHANNELS_SOFT, layout.alFormat,
        ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT,
        ALC_HRTF_SOFT, on ? ALC_TRUE : ALC_FALSE,
        ALC_HRTF_ID_SOFT, on ? FindHrtfId(renderer->device, hrtf) : -1,
        0};
    // clang-format on
    renderer->context = alcCreateContext(renderer->device, attributes);
    if (renderer->context == nullptr) {
        return AlcFailure(renderer->device, "alcCreateContext");
    }
    renderer->hrtf = HrtfInUse(renderer->device);
    alcSetThreadContext(renderer->context);
    // DirectSound's rolloff: the level halves with each doubling of the
    // distance beyond the minimum distance. OpenAL's reference distance and
    // rolloff factor, both 1, are DirectSound's defaults.
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    alGenBuffers(1, &renderer->buffer);
    alGenSources(1, &renderer->source);
    alSourcef(renderer->source, AL_MAX_DISTANCE, MAX_DISTANCE);
    alSourcei(renderer->source, AL_LOOPING, AL_TRUE);
    return AlResult("making the OpenAL source");
}

void CloseRenderer(Renderer* renderer) {
    if (renderer->context != nullptr) {
        alcSetThreadContext(renderer->context);
        // A source or buffer not made (0) only sets an error that goes with the context.
        alDeleteSources(1, &renderer->source);
        alDeleteBuffers(1, &renderer->buffer);
        alcDestroyContext(renderer->context);  // no longer the thread's then
    }
    if (renderer->device != nullptr) {
        alcCloseDevice(renderer->device);
    }
    renderer->context = nullptr;
    renderer->device = nullptr;
}

void RenderFrames(Renderer* renderer, float* out, int frames) {
    if (renderer->layout.pan == nullptr) {
        alcRenderSamplesSOFT(renderer->device, out, frames);
        return;
    }
    // OpenAL's single channel spread on two a block at a time, the gains
    // gliding from the last block's to the newest so that a move does not click.
    for (int done = 0; done < frames; done += PAN_BLOCK_FRAMES) {
        const int block = std::min(frames - done, PAN_BLOCK_FRAMES);
        alcRenderSamplesSOFT(renderer->device, renderer->mono, block);
        const PanGains target = renderer->gains;
        const PanGains start = renderer->current;
        for (int i = 0; i < block; ++i) {
            const float along = static_cast<float>(i + 1) / static_cast<float>(block);
            float* frame = out + 2 * (done + i);
            frame[0] = renderer->mono[i] * (start.left + (target.left - start.left) * along);
            frame[1] = renderer->mono[i] * (start.right + (target.right - start.right) * along);
        }
        renderer->current = target;
    }
}

// AL calls act on the calling thread's context; the tests hold several
// renderers, so each call names its own.
HRESULT LoadClip(const Renderer& renderer, const void* pcm, DWORD bytes, DWORD rate) {
    alcSetThreadContext(renderer.context);
    alBufferData(renderer.buffer, AL_FORMAT_MONO16, pcm, static_cast<ALsizei>(bytes),
                 static_cast<ALsizei>(rate));
    alSourcei(renderer.source, AL_BUFFER, static_cast<ALint>(renderer.buffer));
    return AlResult("alBufferData");
}

// OpenAL's frame is right-handed with -z ahead. Two speakers cannot place a
// sound behind, and DirectSound's panning treats ahead and behind alike
// while OpenAL Soft's stereo decoder favours the front: on headphones
// without HRTF the rear is folded forward. Layouts panned here take their
// gains from the newest position.
HRESULT PlaceSource(Renderer* renderer, float x, float y, float z) {
    alcSetThreadContext(renderer->context);
    const bool foldRear = renderer->layout.headphones && renderer->hrtf == HrtfChoice::Off;
    alSource3f(renderer->source, AL_POSITION, x, y, foldRear ? -std::fabs(z) : -z);
    if (renderer->layout.pan != nullptr) {
        renderer->gains = renderer->layout.pan(x, z, renderer->layout.speakerAngle);
    }
    return AlResult("alSource3f");
}

HRESULT PlaySource(const Renderer& renderer) {
    alcSetThreadContext(renderer.context);
    alSourcePlay(renderer.source);
    return AlResult("alSourcePlay");
}

HRESULT PauseSource(const Renderer& renderer) {
    alcSetThreadContext(renderer.context);
    alSourcePause(renderer.source);
    return AlResult("alSourcePause");
}
