#define AL_ALEXT_PROTOTYPES
#include "platform/linux/sound/renderer.h"

#include <AL/alext.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/linux/sound/panning.h"

namespace {

// DirectSound's default maximum distance: no attenuation limit in practice.
const float MAX_DISTANCE = 1e9f;

// AL calls act on the calling thread's context; the dialog thread and the
// tests may hold several renderers, so each call names its own.
class ContextScope {
public:
    explicit ContextScope(ALCcontext* context) { alcSetThreadContext(context); }
    ~ContextScope() { alcSetThreadContext(nullptr); }
    ContextScope(const ContextScope&) = delete;
    ContextScope& operator=(const ContextScope&) = delete;
};

// Frames mixed at a time for a layout panned here: one output period.
const int PAN_BLOCK_FRAMES = 512;

bool ChannelFormat(int channels, ALCint* format) {
    switch (channels) {
        case 1: *format = ALC_MONO_SOFT; return true;
        case 2: *format = ALC_STEREO_SOFT; return true;
        case 4: *format = ALC_QUAD_SOFT; return true;
        case 6: *format = ALC_5POINT1_SOFT; return true;
        default: return false;
    }
}

bool PannedHere(const RenderLayout& layout) {
    return layout.panning != Panning::OpenAl;
}

// OpenAL Soft's channels: one when the panning is done here.
bool DeviceFormat(const RenderLayout& layout, ALCint* format) {
    if (PannedHere(layout)) {
        *format = ALC_MONO_SOFT;
        return layout.channels == 2;
    }
    return ChannelFormat(layout.channels, format);
}

void ApplyHrtfState(Renderer* renderer) {
    renderer->hrtf = HrtfInUse(renderer->device);
    renderer->foldRear = renderer->channels == 2 && renderer->layout.panning == Panning::OpenAl &&
                         renderer->hrtf == HrtfChoice::Off;
}

// The attribute list that both creation and reset need on a loopback device.
struct Attributes {
    ALCint values[11];
};

Attributes MakeAttributes(ALCdevice* device, ALCint format, HrtfChoice hrtf) {
    const bool on = hrtf != HrtfChoice::Off && format == ALC_STEREO_SOFT;
    return Attributes{{ALC_FREQUENCY, RENDER_RATE, ALC_FORMAT_CHANNELS_SOFT, format,
                       ALC_FORMAT_TYPE_SOFT, ALC_FLOAT_SOFT, ALC_HRTF_SOFT,
                       on ? ALC_TRUE : ALC_FALSE, ALC_HRTF_ID_SOFT,
                       on ? FindHrtfId(device, hrtf) : -1, 0}};
}

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

bool NoAlError() {
    return alGetError() == AL_NO_ERROR;
}

ALenum BufferFormat(int channels, int bits) {
    if (channels == 1) {
        return bits == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
    }
    return bits == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

PanGains GainsAt(const RenderLayout& layout, float x, float z) {
    return layout.panning == Panning::MatrixSurround
               ? MatrixSurroundGains(x, z)
               : SpeakerPairGains(x, z, layout.speakerAngle);
}

}  // namespace

// The gains are set on the dialog's thread and read by the one that renders.
struct PanState {
    std::atomic<float> left;
    std::atomic<float> right;
    PanGains current;  // where the last block ended; the rendering thread's own
    float mono[PAN_BLOCK_FRAMES];

    explicit PanState(PanGains start) : left(start.left), right(start.right), current(start) {}
};

Renderer::Renderer() = default;
Renderer::~Renderer() = default;
Renderer::Renderer(Renderer&&) noexcept = default;
Renderer& Renderer::operator=(Renderer&&) noexcept = default;

bool OpenRenderer(Renderer* renderer, const RenderLayout& layout, HrtfChoice hrtf) {
    ALCint format = 0;
    if (!DeviceFormat(layout, &format)) {
        return false;
    }
    *renderer = Renderer{};
    renderer->channels = layout.channels;
    renderer->layout = layout;
    if (PannedHere(layout)) {
        renderer->pan.reset(new (std::nothrow) PanState(GainsAt(layout, 0, 1)));
        if (renderer->pan == nullptr) {
            CloseRenderer(renderer);
            return false;
        }
    }
    renderer->device = alcLoopbackOpenDeviceSOFT(nullptr);
    if (renderer->device == nullptr) {
        CloseRenderer(renderer);
        return false;
    }
    if (!alcIsRenderFormatSupportedSOFT(renderer->device, RENDER_RATE, format, ALC_FLOAT_SOFT)) {
        CloseRenderer(renderer);
        return false;
    }
    const Attributes attributes = MakeAttributes(renderer->device, format, hrtf);
    renderer->context = alcCreateContext(renderer->device, attributes.values);
    if (renderer->context == nullptr) {
        CloseRenderer(renderer);
        return false;
    }
    ApplyHrtfState(renderer);
    ContextScope scope(renderer->context);
    // DirectSound's rolloff: the level halves with each doubling of the
    // distance beyond the minimum distance.
    alDistanceModel(AL_INVERSE_DISTANCE_CLAMPED);
    if (!NoAlError()) {
        CloseRenderer(renderer);
        return false;
    }
    return true;
}

bool ResetRenderer(Renderer* renderer, HrtfChoice hrtf) {
    ALCint format = 0;
    if (renderer->device == nullptr || !DeviceFormat(renderer->layout, &format)) {
        return false;
    }
    const Attributes attributes = MakeAttributes(renderer->device, format, hrtf);
    if (!alcResetDeviceSOFT(renderer->device, attributes.values)) {
        return false;
    }
    ApplyHrtfState(renderer);
    return true;
}

void CloseRenderer(Renderer* renderer) {
    if (renderer->context != nullptr) {
        alcDestroyContext(renderer->context);
    }
    if (renderer->device != nullptr) {
        alcCloseDevice(renderer->device);
    }
    *renderer = Renderer{};
}

namespace {

// One block of OpenAL's single channel spread on two, the gains gliding from
// the last block's to the newest so that a move does not click.
void RenderPannedBlock(Renderer* renderer, float* out, int frames) {
    PanState& pan = *renderer->pan;
    alcRenderSamplesSOFT(renderer->device, pan.mono, frames);
    const PanGains target = {pan.left.load(), pan.right.load()};
    const PanGains start = pan.current;
    for (int i = 0; i < frames; ++i) {
        const float along = static_cast<float>(i + 1) / static_cast<float>(frames);
        out[2 * i] = pan.mono[i] * (start.left + (target.left - start.left) * along);
        out[2 * i + 1] = pan.mono[i] * (start.right + (target.right - start.right) * along);
    }
    pan.current = target;
}

}  // namespace

void RenderFrames(Renderer* renderer, float* out, int frames) {
    if (renderer->device == nullptr) {
        std::memset(out, 0, sizeof(float) * static_cast<size_t>(frames) *
                                static_cast<size_t>(renderer->channels));
        return;
    }
    if (renderer->pan == nullptr) {
        alcRenderSamplesSOFT(renderer->device, out, frames);
        return;
    }
    for (int done = 0; done < frames; done += PAN_BLOCK_FRAMES) {
        const int block = frames - done < PAN_BLOCK_FRAMES ? frames - done : PAN_BLOCK_FRAMES;
        RenderPannedBlock(renderer, out + 2 * done, block);
    }
}

bool CreateRenderSource(const Renderer& renderer, RenderSource* source) {
    ContextScope scope(renderer.context);
    *source = RenderSource{};
    alGenBuffers(1, &source->buffer);
    if (!NoAlError()) {
        source->buffer = 0;
        return false;
    }
    alGenSources(1, &source->source);
    if (!NoAlError()) {
        source->source = 0;
        alDeleteBuffers(1, &source->buffer);
        source->buffer = 0;
        return false;
    }
    // OpenAL's reference distance and rolloff, both 1, are DirectSound's defaults.
    alSourcef(source->source, AL_MAX_DISTANCE, MAX_DISTANCE);
    return NoAlError();
}

// A buffer that a source holds cannot take new data, so the source lets go
// of it for the upload and goes on from the same place afterwards.
bool LoadRenderSource(const Renderer& renderer, const RenderSource& source, const void* pcm,
                      size_t bytes, int channels, int bits, int rate) {
    ContextScope scope(renderer.context);
    ALint state = AL_INITIAL;
    ALint offset = 0;
    alGetSourcei(source.source, AL_SOURCE_STATE, &state);
    alGetSourcei(source.source, AL_BYTE_OFFSET, &offset);
    alSourceStop(source.source);
    alSourcei(source.source, AL_BUFFER, 0);
    alBufferData(source.buffer, BufferFormat(channels, bits), pcm, static_cast<ALsizei>(bytes),
                 rate);
    alSourcei(source.source, AL_BUFFER, static_cast<ALint>(source.buffer));
    const bool started = state == AL_PLAYING || state == AL_PAUSED;
    if (started && offset > 0 && static_cast<size_t>(offset) < bytes) {
        alSourcei(source.source, AL_BYTE_OFFSET, offset);
    }
    if (state == AL_PLAYING) {
        alSourcePlay(source.source);
    }
    return NoAlError();
}

bool SetRenderSourceSpatial(const Renderer& renderer, const RenderSource& source, bool spatial) {
    ContextScope scope(renderer.context);
    // A buffer without 3D plays as it is: at the listener, at full level.
    alSourcei(source.source, AL_SOURCE_RELATIVE, spatial ? AL_FALSE : AL_TRUE);
    alSourcef(source.source, AL_ROLLOFF_FACTOR, spatial ? 1.0f : 0.0f);
    alSource3f(source.source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    return NoAlError();
}

// OpenAL's frame is right-handed with -z ahead. Two speakers cannot place a
// sound behind, and DirectSound's panning treats ahead and behind alike while
// OpenAL Soft's stereo decoder favours the front: fold the rear forward.
// Layouts panned here take their gains from the newest position.
bool PlaceRenderSource(const Renderer& renderer, const RenderSource& source, float x, float y,
                       float z) {
    ContextScope scope(renderer.context);
    const float ahead = renderer.foldRear && z < 0.0f ? -z : z;
    alSource3f(source.source, AL_POSITION, x, y, -ahead);
    if (renderer.pan != nullptr) {
        const PanGains gains = GainsAt(renderer.layout, x, z);
        renderer.pan->left.store(gains.left);
        renderer.pan->right.store(gains.right);
    }
    return NoAlError();
}

bool SetRenderSourceMinDistance(const Renderer& renderer, const RenderSource& source,
                                float distance) {
    ContextScope scope(renderer.context);
    alSourcef(source.source, AL_REFERENCE_DISTANCE, distance);
    return NoAlError();
}

bool PlayRenderSource(const Renderer& renderer, const RenderSource& source, bool looping) {
    ContextScope scope(renderer.context);
    alSourcei(source.source, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
    ALint state = AL_INITIAL;
    alGetSourcei(source.source, AL_SOURCE_STATE, &state);
    // Play on a playing source would restart it; DirectSound keeps it going.
    if (state != AL_PLAYING) {
        alSourcePlay(source.source);
    }
    return NoAlError();
}

bool PauseRenderSource(const Renderer& renderer, const RenderSource& source) {
    ContextScope scope(renderer.context);
    alSourcePause(source.source);
    return NoAlError();
}

bool IsRenderSourcePlaying(const Renderer& renderer, const RenderSource& source) {
    ContextScope scope(renderer.context);
    ALint state = AL_INITIAL;
    alGetSourcei(source.source, AL_SOURCE_STATE, &state);
    return NoAlError() && state == AL_PLAYING;
}

size_t RenderSourceByteOffset(const Renderer& renderer, const RenderSource& source) {
    ContextScope scope(renderer.context);
    ALint offset = 0;
    alGetSourcei(source.source, AL_BYTE_OFFSET, &offset);
    return NoAlError() && offset > 0 ? static_cast<size_t>(offset) : 0;
}

void DeleteRenderSource(const Renderer& renderer, RenderSource* source) {
    ContextScope scope(renderer.context);
    if (source->source != 0) {
        alSourceStop(source->source);
        alDeleteSources(1, &source->source);
    }
    if (source->buffer != 0) {
        alDeleteBuffers(1, &source->buffer);
    }
    alGetError();
    *source = RenderSource{};
}
