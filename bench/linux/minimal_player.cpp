// Baseline for the start, stop, CPU, memory and sound benchmarks of the Linux
// build: the shortest path from a button press to the looping 3D sound that
// sound3d makes, on the same libraries, behind a one-button Qt dialog so that
// the same driver presses both the same way.
//
// "Старт" opens the SDL output (48 kHz stereo float, 512-frame periods, as
// sound3d's output asks for; paused), an OpenAL Soft loopback device with a
// context at the same rate and format with HRTF on, puts the embedded clip (mono 16-bit 22,050 Hz)
// into a static buffer, plays it looping from a source at (0,0,0) and unpauses the output, whose
// callback renders the context; then the button reads "Стоп".  Pressed
// again, it closes the output first, giving the device back as sound3d's
// "Стоп" does, releases everything else and reads "Старт".  What sound3d does
// besides (speaker configuration, listener, minimum distance, error boxes,
// locking its choices) is its own cost.
//
// A failed step shows no box (it would stall the timing) but leaves the
// button reading "Ошибка" and the step on stderr.  Exit code 0 after the
// window is closed.
//
// Built by bench/run_linux.sh (CLIP_PATH names resources/clip.raw):
//   g++ -std=c++17 -O2 -fPIC -DCLIP_PATH='"…/clip.raw"' minimal_player.cpp
//       -o minimal_player $(pkg-config --cflags --libs Qt6Widgets sdl2 openal)

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>
#include <SDL.h>

#include <QApplication>
#include <QDialog>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>

// The clip, in the program's image as sound3d has it.
asm(".section .rodata\n"
    ".balign 2\n"
    "clip_bytes:\n"
    ".incbin \"" CLIP_PATH
    "\"\n"
    "clip_bytes_end:\n"
    ".previous\n");
extern "C" const char clip_bytes[];
extern "C" const char clip_bytes_end[];

namespace {

const int kRate = 48000;
const Uint16 kPeriodFrames = 512;

struct Player {
    SDL_AudioDeviceID output = 0;
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    ALuint buffer = 0;
    ALuint source = 0;
};

Player g_player;
LPALCLOOPBACKOPENDEVICESOFT g_loopbackOpen = nullptr;
LPALCRENDERSAMPLESSOFT g_render = nullptr;

void Render(void* /*user*/, Uint8* stream, int bytes) {
    g_render(g_player.device, stream, bytes / 8);  // two floats per frame
}

bool Fail(const char* step) {
    std::fprintf(stderr, "minimal_player: %s failed (%s)\n", step, SDL_GetError());
    return false;
}

void Release() {
    if (g_player.output)
        SDL_CloseAudioDevice(g_player.output);  // stops the callback first
    if (g_player.source)
        alDeleteSources(1, &g_player.source);
    if (g_player.buffer)
        alDeleteBuffers(1, &g_player.buffer);
    alcMakeContextCurrent(nullptr);
    if (g_player.context)
        alcDestroyContext(g_player.context);
    if (g_player.device)
        alcCloseDevice(g_player.device);
    g_player = Player();
}

bool Start() {
    SDL_AudioSpec want = {};
    want.freq = kRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = kPeriodFrames;
    want.callback = Render;
    SDL_AudioSpec have = {};
    g_player.output = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!g_player.output)
        return Fail("SDL_OpenAudioDevice");

    g_player.device = g_loopbackOpen(nullptr);
    if (!g_player.device)
        return Fail("alcLoopbackOpenDeviceSOFT");
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                 ALC_STEREO_SOFT,
                                 ALC_FORMAT_TYPE_SOFT,
                                 ALC_FLOAT_SOFT,
                                 ALC_FREQUENCY,
                                 kRate,
                                 ALC_HRTF_SOFT,
                                 ALC_TRUE,
                                 0};
    g_player.context = alcCreateContext(g_player.device, attributes);
    if (!g_player.context || !alcMakeContextCurrent(g_player.context))
        return Fail("alcCreateContext");
    ALCint hrtf = 0;
    alcGetIntegerv(g_player.device, ALC_HRTF_STATUS_SOFT, 1, &hrtf);
    if (hrtf != ALC_HRTF_ENABLED_SOFT)
        return Fail("HRTF");

    alGenBuffers(1, &g_player.buffer);
    alBufferData(g_player.buffer, AL_FORMAT_MONO16, clip_bytes,
                 static_cast<ALsizei>(clip_bytes_end - clip_bytes), 22050);
    alGenSources(1, &g_player.source);
    alSourcei(g_player.source, AL_BUFFER, static_cast<ALint>(g_player.buffer));
    alSourcei(g_player.source, AL_LOOPING, AL_TRUE);
    alSource3f(g_player.source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcePlay(g_player.source);
    if (alGetError() != AL_NO_ERROR)
        return Fail("the source");
    SDL_PauseAudioDevice(g_player.output, 0);
    return true;
}

void OnButton(QPushButton* button) {
    if (g_player.device) {
        Release();
        button->setText("Старт");
    } else if (Start()) {
        button->setText("Стоп");
    } else {
        Release();
        button->setText("Ошибка");
    }
}

}  // namespace

int main(int argc, char** argv) {
    // It renders only through a loopback device, as sound3d does, so OpenAL
    // Soft need not start its output backends (set while one thread runs).
    setenv("ALSOFT_DRIVERS", "null", 1);
    QApplication app(argc, argv);
    // Loads and probes the audio driver once, at start-up, as a program
    // listing its output devices does; the press then pays only for the
    // start itself.
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        Fail("SDL_InitSubSystem");
        return 1;
    }
    g_loopbackOpen = reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
        alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
    g_render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(
        alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
    if (!g_loopbackOpen || !g_render) {
        Fail("the loopback extension");
        return 1;
    }

    QDialog dialog;
    dialog.setWindowTitle("minimal player");
    dialog.setFixedSize(300, 120);
    auto* button = new QPushButton("Старт", &dialog);
    button->setGeometry(120, 45, 60, 26);
    QObject::connect(button, &QPushButton::clicked, [button] { OnButton(button); });
    dialog.exec();
    Release();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return 0;
}
