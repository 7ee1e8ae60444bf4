#include "platform/linux/sound/output.h"

#include <cstring>
#include <mutex>

namespace {

// About 10.7 ms at 48 kHz: one output period.
const Uint16 OUTPUT_PERIOD_FRAMES = 512;

// SDL holds the device's lock around this call, so the renderer cannot
// change under it while the output is running.
void SDLCALL PullFrames(void* userdata, Uint8* stream, int length) {
    Renderer* renderer = static_cast<Renderer*>(userdata);
    const int frameBytes = static_cast<int>(sizeof(float)) * renderer->channels;
    if (frameBytes <= 0) {
        std::memset(stream, 0, static_cast<size_t>(length));
        return;
    }
    RenderFrames(renderer, reinterpret_cast<float*>(stream), length / frameBytes);
}

uint64_t Fnv1a(const std::string& text, uint64_t hash) {
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001B3ull;
    }
    return hash;
}

}  // namespace

bool StartOutputSystem() {
    static std::once_flag once;
    static bool started = false;
    std::call_once(once, [] {
        // SDL would otherwise turn SIGINT and SIGTERM into quit events that
        // nobody reads, and the program could no longer be stopped by them.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    });
    return started;
}

const char* OutputDriverName() {
    const char* name = StartOutputSystem() ? SDL_GetCurrentAudioDriver() : nullptr;
    return name != nullptr ? name : "";
}

std::vector<SdlOutput> ListSdlOutputs() {
    std::vector<SdlOutput> devices;
    if (!StartOutputSystem()) {
        return devices;
    }
    const int count = SDL_GetNumAudioDevices(0);
    for (int i = 0; i < count; ++i) {
        const char* name = SDL_GetAudioDeviceName(i, 0);
        if (name != nullptr) {
            devices.push_back(SdlOutput{name, SdlOutputId(name)});
        }
    }
    return devices;
}

GUID SdlOutputId(const std::string& name) {
    const uint64_t high = Fnv1a(name, 0xCBF29CE484222325ull);
    const uint64_t low = Fnv1a(name, high ^ 0x9E3779B97F4A7C15ull);
    GUID id;
    id.Data1 = static_cast<uint32_t>(high >> 32);
    id.Data2 = static_cast<uint16_t>(high >> 16);
    id.Data3 = static_cast<uint16_t>(high);
    for (int i = 0; i < 8; ++i) {
        id.Data4[i] = static_cast<uint8_t>(low >> (56 - 8 * i));
    }
    return id;
}

SDL_AudioDeviceID OpenOutput(const char* name, int channels, Renderer* renderer) {
    if (!StartOutputSystem()) {
        return 0;
    }
    SDL_AudioSpec wanted;
    SDL_zero(wanted);
    wanted.freq = RENDER_RATE;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = static_cast<Uint8>(channels);
    wanted.samples = OUTPUT_PERIOD_FRAMES;
    wanted.callback = PullFrames;
    wanted.userdata = renderer;
    SDL_AudioSpec obtained;
    // No changes allowed: SDL converts to whatever the device really takes.
    return SDL_OpenAudioDevice(name, 0, &wanted, &obtained, 0);
}

void SetOutputRunning(SDL_AudioDeviceID output, bool running) {
    SDL_PauseAudioDevice(output, running ? 0 : 1);
}

bool OutputFailed(SDL_AudioDeviceID output) {
    return SDL_GetAudioDeviceStatus(output) == SDL_AUDIO_STOPPED;
}

void CloseOutput(SDL_AudioDeviceID output) {
    if (output != 0) {
        SDL_CloseAudioDevice(output);
    }
}
