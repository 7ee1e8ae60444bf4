#include "platform/linux/sound/output.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "platform/linux/sound/output_thread.h"

namespace {

// About 10.7 ms at 48 kHz: one output period.
const Uint16 OUTPUT_PERIOD_FRAMES = 512;
// A server that has not answered by then is taken as stalled; a healthy one
// answers within tens of milliseconds. Starting the audio system asks it
// several things in turn, so the first start may take longer.
const std::chrono::milliseconds ANSWER_LIMIT(2500);
const std::chrono::milliseconds FIRST_START_LIMIT(10000);
// How long the end of the program waits for devices still being given back.
const std::chrono::milliseconds EXIT_LIMIT(500);

// SDL's PulseAudio output labels four channels front-left, front-right,
// centre and LFE, so quad goes out as 5.1 with the centre and LFE silent.
int OutputChannels(int rendered) { return rendered == 4 ? 6 : rendered; }

// Moves quad frames, rendered at the start of the buffer, to their 5.1
// places; from the last frame back, so no frame is overwritten before it moved.
void SpreadQuad(float* samples, int frames) {
    for (int frame = frames - 1; frame >= 0; --frame) {
        const float* quad = samples + 4 * frame;
        const float wide[6] = {quad[0], quad[1], 0.0f, 0.0f, quad[2], quad[3]};
        std::copy(wide, wide + 6, samples + 6 * frame);
    }
}

// SDL holds the device's lock around this call, so the renderer cannot
// change under it; the output runs only while the renderer is open.
void SDLCALL PullFrames(void* userdata, Uint8* stream, int length) {
    Renderer* renderer = static_cast<Renderer*>(userdata);
    const int channels = OutputChannels(renderer->layout.channels);
    const int frames = length / (static_cast<int>(sizeof(float)) * channels);
    RenderFrames(renderer, reinterpret_cast<float*>(stream), frames);
    if (channels != renderer->layout.channels) {
        SpreadQuad(reinterpret_cast<float*>(stream), frames);
    }
}

// A device given back just before the end still closes; one that a stalled
// server holds does not keep the program from ending.
struct CloseBeforeExit {
    ~CloseBeforeExit() { WaitForOutputThread(EXIT_LIMIT); }
} closeBeforeExit;

// SDL's word on a failed call, which only the thread that made it can read.
int SdlFailed(const char* call) {
    std::fprintf(stderr, "sound3d: %s failed: %s\n", call, SDL_GetError());
    return 0;
}

uint64_t Fnv1a(const std::string& text, uint64_t hash) {
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 0x100000001B3ull;
    }
    return hash;
}

}  // namespace

// Tried again after a failure: a server that was stalled may answer now,
// and SDL counts the starts, so one that finishes late is harmless.
bool StartOutputSystem() {
    static bool started = false;
    static std::chrono::milliseconds limit = FIRST_START_LIMIT;
    if (!started) {
        const auto start = [] {
            // SDL would otherwise turn SIGINT and SIGTERM into quit events
            // that nobody reads, and the program could no longer be stopped by them.
            SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
            return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 ? 1 : SdlFailed("SDL_InitSubSystem");
        };
        started = RunOnOutputThread("SDL_InitSubSystem", limit, start, 0, [](int) {}) == 1;
        limit = ANSWER_LIMIT;
    }
    return started;
}

std::vector<std::string> OutputNames() {
    std::vector<std::string> names;
    const int count = StartOutputSystem() ? SDL_GetNumAudioDevices(0) : 0;
    for (int i = 0; i < count; ++i) {
        if (const char* name = SDL_GetAudioDeviceName(i, 0)) {
            names.push_back(name);
        }
    }
    return names;
}

GUID SdlOutputId(const std::string& name) {
    const uint64_t high = Fnv1a(name, 0xCBF29CE484222325ull);
    const uint64_t low = Fnv1a(name, high ^ 0x9E3779B97F4A7C15ull);
    GUID id = {static_cast<uint32_t>(high >> 32),
               static_cast<uint16_t>(high >> 16),
               static_cast<uint16_t>(high),
               {}};
    for (int i = 0; i < 8; ++i) {
        id.Data4[i] = static_cast<uint8_t>(low >> (56 - 8 * i));
    }
    return id;
}

HRESULT OpenOutput(const std::string& name, int channels, Renderer* renderer,
                   SDL_AudioDeviceID* output) {
    // Frequency, format, channels, silence, period, padding, size, callback
    // and its data; no changes allowed: SDL converts to what the device takes.
    const Uint8 outputChannels = static_cast<Uint8>(OutputChannels(channels));
    const SDL_AudioSpec wanted = {RENDER_RATE, AUDIO_F32SYS,         outputChannels,
                                  0,           OUTPUT_PERIOD_FRAMES, 0,
                                  0,           PullFrames,           renderer};
    const auto open = [wanted, name] {
        const int opened = static_cast<int>(
            SDL_OpenAudioDevice(name.empty() ? nullptr : name.c_str(), 0, &wanted, nullptr, 0));
        return opened != 0 ? opened : SdlFailed("SDL_OpenAudioDevice");
    };
    // A device that opens after the wait has nobody to play for; it opened
    // paused, so it never pulls from the renderer. SDL ignores device 0.
    const auto giveBack = [](int late) {
        SDL_CloseAudioDevice(static_cast<SDL_AudioDeviceID>(late));
    };
    *output = static_cast<SDL_AudioDeviceID>(
        RunOnOutputThread("SDL_OpenAudioDevice", ANSWER_LIMIT, open, 0, giveBack));
    return *output != 0 ? DS_OK : DSERR_ALLOCATED;
}

// SDL's close waits for the device's thread, which a stalled server holds
// in its write; pausing only waits for a pull under way. (SDL ignores device
// 0, the output of a session whose opening failed.)
void CloseOutput(SDL_AudioDeviceID output) {
    SDL_PauseAudioDevice(output, 1);
    PostToOutputThread([output] { SDL_CloseAudioDevice(output); });
}
