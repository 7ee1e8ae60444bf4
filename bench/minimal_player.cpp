// Baseline for the audio benchmarks: the shortest path from nothing to a
// looping 3D sound in DirectSound, set up the way sound3d sets up its own
// (priority level, 22.05 kHz mono 16-bit primary, static 3D source buffer
// with HRTF).  Also a quick check that the audio path of a test machine
// works at all: the source sits to one side, so the capture must lean there.
//
// Usage: minimal_player.exe [SECONDS [X]]
//   SECONDS  how long to play (default 2, fractions allowed)
//   X        source position on the x axis (default +2: right of the
//            listener; -2 puts it on the left)
// Exit code 0 on success, 1 with a message on stdout on any failure.
//
// Build (MinGW-w64):
//   x86_64-w64-mingw32-g++ -std=c++17 -O2 minimal_player.cpp -o minimal_player.exe
//       -static -static-libgcc -static-libstdc++ -mwindows -ldsound -ldxguid -lole32 -luser32
// Build (MSVC): cl /std:c++17 /EHsc minimal_player.cpp dsound.lib dxguid.lib ole32.lib user32.lib
//       /link /SUBSYSTEM:WINDOWS

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef _MSC_VER
#pragma comment(lib, "dsound.lib")
#pragma comment(lib, "dxguid.lib")
#pragma comment(lib, "ole32.lib")
#pragma comment(lib, "user32.lib")
#endif

namespace {

const DWORD kRate = 22050;
const DWORD kBufferBytes = 44888;  // ~1 s of 22.05 kHz mono 16-bit

template <class T>
void SafeRelease(T*& p)
{
    if (p) {
        p->Release();
        p = nullptr;
    }
}

bool Check(HRESULT hr, const char* what)
{
    if (FAILED(hr)) {
        std::printf("%s failed: 0x%08lX\n", what, static_cast<unsigned long>(hr));
        std::fflush(stdout);
        return false;
    }
    return true;
}

WAVEFORMATEX MonoPcm16()
{
    WAVEFORMATEX wf;
    std::memset(&wf, 0, sizeof wf);
    wf.wFormatTag = WAVE_FORMAT_PCM;
    wf.nChannels = 1;
    wf.nSamplesPerSec = kRate;
    wf.wBitsPerSample = 16;
    wf.nBlockAlign = static_cast<WORD>(wf.nChannels * wf.wBitsPerSample / 8);
    wf.nAvgBytesPerSec = wf.nSamplesPerSec * wf.nBlockAlign;
    return wf;
}

// White noise at about -10 dBFS: broadband so that any filtering in the 3D
// path still leaves energy on both sides to compare, and it loops without a
// tonal click that could be mistaken for content.
bool FillNoise(IDirectSoundBuffer* buf)
{
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    if (!Check(buf->Lock(0, kBufferBytes, &p1, &n1, &p2, &n2, 0), "Lock"))
        return false;
    std::uint32_t state = 0x12345678u;
    auto fill = [&state](void* dst, DWORD bytes) {
        auto* s = static_cast<std::int16_t*>(dst);
        for (DWORD i = 0; i < bytes / 2; ++i) {
            state = state * 1664525u + 1013904223u;
            s[i] = static_cast<std::int16_t>((static_cast<std::int32_t>(state >> 16) - 32768) / 3);
        }
    };
    fill(p1, n1);
    if (p2)
        fill(p2, n2);
    return Check(buf->Unlock(p1, n1, p2, n2), "Unlock");
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    double seconds = __argc > 1 ? std::atof(__argv[1]) : 2.0;
    float x = __argc > 2 ? static_cast<float>(std::atof(__argv[2])) : 2.0f;
    if (seconds < 0)
        seconds = 0;

    IDirectSound* ds = nullptr;
    IDirectSoundBuffer* primary = nullptr;
    IDirectSoundBuffer* source = nullptr;
    IDirectSound3DBuffer* source3d = nullptr;
    int rc = 1;

    do {
        if (!Check(DirectSoundCreate(nullptr, &ds, nullptr), "DirectSoundCreate"))
            break;
        if (!Check(ds->SetCooperativeLevel(GetDesktopWindow(), DSSCL_PRIORITY),
                   "SetCooperativeLevel"))
            break;

        DSBUFFERDESC pd;
        std::memset(&pd, 0, sizeof pd);
        pd.dwSize = sizeof pd;
        pd.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D;
        if (!Check(ds->CreateSoundBuffer(&pd, &primary, nullptr), "CreateSoundBuffer(primary)"))
            break;
        WAVEFORMATEX wf = MonoPcm16();
        if (!Check(primary->SetFormat(&wf), "SetFormat"))
            break;

        DSBUFFERDESC sd;
        std::memset(&sd, 0, sizeof sd);
        sd.dwSize = sizeof sd;
        sd.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRL3D | DSBCAPS_CTRLFREQUENCY;
        sd.dwBufferBytes = kBufferBytes;
        sd.lpwfxFormat = &wf;
        sd.guid3DAlgorithm = DS3DALG_HRTF_FULL;
        if (!Check(ds->CreateSoundBuffer(&sd, &source, nullptr), "CreateSoundBuffer(source)"))
            break;
        if (!Check(source->QueryInterface(IID_IDirectSound3DBuffer,
                                          reinterpret_cast<void**>(&source3d)),
                   "QueryInterface(IDirectSound3DBuffer)"))
            break;
        if (!Check(source3d->SetPosition(x, 0.0f, 0.0f, DS3D_IMMEDIATE), "SetPosition"))
            break;

        if (!FillNoise(source))
            break;
        if (!Check(source->Play(0, 0, DSBPLAY_LOOPING), "Play"))
            break;
        std::printf("playing %.3f s at x=%.2f\n", seconds, static_cast<double>(x));
        std::fflush(stdout);
        Sleep(static_cast<DWORD>(seconds * 1000.0));
        if (!Check(source->Stop(), "Stop"))
            break;
        rc = 0;
    } while (false);

    SafeRelease(source3d);
    SafeRelease(source);
    SafeRelease(primary);
    SafeRelease(ds);
    if (rc == 0)
        std::printf("done\n");
    std::fflush(stdout);
    return rc;
}
