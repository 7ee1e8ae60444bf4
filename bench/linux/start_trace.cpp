// Shows where a start's time goes: loaded with LD_PRELOAD beside the bench
// driver, it wraps the SDL and OpenAL Soft calls a start makes and appends
// one line per call to the file BENCH_TRACE:
//   NAME BEGIN_NS DURATION_NS
// with BEGIN_NS on CLOCK_MONOTONIC, like the driver's press_ns, so
// bench/linux/bench.py can lay each call out against the press.  The
// wrappers only time and forward; each finds the real function with
// dlsym(RTLD_NEXT).  Without BENCH_TRACE nothing is written.
//
// Built by bench/run_linux.sh:
//   g++ -std=c++17 -O2 -fPIC -shared start_trace.cpp -o libstart_trace.so
//       $(pkg-config --cflags sdl2 openal) -ldl

// The extension functions are wrapped by name, so their prototypes are needed.
#define AL_ALEXT_PROTOTYPES
#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <SDL.h>
#include <dlfcn.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

long long NowNs() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

void Note(const char* name, long long begin) {
    static FILE* out = [] {
        const char* path = std::getenv("BENCH_TRACE");
        return path ? std::fopen(path, "a") : nullptr;
    }();
    if (out) {
        std::fprintf(out, "%s %lld %lld\n", name, begin, NowNs() - begin);
        std::fflush(out);
    }
}

template <class F>
F Real(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

// Times one call of the real function of the same name.
#define FORWARD(name, ...)                                 \
    static const auto real = Real<decltype(&name)>(#name); \
    const long long begin = NowNs();                       \
    struct Done {                                          \
        long long begin;                                   \
        ~Done() { Note(#name, begin); }                    \
    } done{begin};                                         \
    return real(__VA_ARGS__)

// The extension functions, when asked for by name rather than linked.
LPALCLOOPBACKOPENDEVICESOFT g_loopbackOpen = nullptr;
LPALCRESETDEVICESOFT g_resetDevice = nullptr;

ALCdevice* ALC_APIENTRY TracedLoopbackOpen(const ALCchar* name) {
    const long long begin = NowNs();
    ALCdevice* device = g_loopbackOpen(name);
    Note("alcLoopbackOpenDeviceSOFT", begin);
    return device;
}

ALCboolean ALC_APIENTRY TracedReset(ALCdevice* device, const ALCint* attributes) {
    const long long begin = NowNs();
    const ALCboolean reset = g_resetDevice(device, attributes);
    Note("alcResetDeviceSOFT", begin);
    return reset;
}

}  // namespace

extern "C" {

SDL_AudioDeviceID SDL_OpenAudioDevice(const char* device, int capture, const SDL_AudioSpec* desired,
                                      SDL_AudioSpec* obtained, int changes) {
    FORWARD(SDL_OpenAudioDevice, device, capture, desired, obtained, changes);
}

void SDL_PauseAudioDevice(SDL_AudioDeviceID device, int pause) {
    FORWARD(SDL_PauseAudioDevice, device, pause);
}

void SDL_CloseAudioDevice(SDL_AudioDeviceID device) { FORWARD(SDL_CloseAudioDevice, device); }

ALCdevice* alcLoopbackOpenDeviceSOFT(const ALCchar* name) {
    FORWARD(alcLoopbackOpenDeviceSOFT, name);
}

ALCboolean alcResetDeviceSOFT(ALCdevice* device, const ALCint* attributes) {
    FORWARD(alcResetDeviceSOFT, device, attributes);
}

ALCcontext* alcCreateContext(ALCdevice* device, const ALCint* attributes) {
    FORWARD(alcCreateContext, device, attributes);
}

void alBufferData(ALuint buffer, ALenum format, const ALvoid* data, ALsizei size, ALsizei rate) {
    FORWARD(alBufferData, buffer, format, data, size, rate);
}

void alSourcePlay(ALuint source) { FORWARD(alSourcePlay, source); }

void* alcGetProcAddress(ALCdevice* device, const ALCchar* name) {
    static const auto real = Real<decltype(&alcGetProcAddress)>("alcGetProcAddress");
    void* function = real(device, name);
    if (function && std::strcmp(name, "alcLoopbackOpenDeviceSOFT") == 0) {
        g_loopbackOpen = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(function);
        return reinterpret_cast<void*>(TracedLoopbackOpen);
    }
    if (function && std::strcmp(name, "alcResetDeviceSOFT") == 0) {
        g_resetDevice = reinterpret_cast<LPALCRESETDEVICESOFT>(function);
        return reinterpret_cast<void*>(TracedReset);
    }
    return function;
}

}  // extern "C"
