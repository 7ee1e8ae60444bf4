// Baseline for the start, CPU and memory benchmarks: the shortest path from
// a button press to the looping 3D sound sound3d makes, driven the same way
// so that one launcher measures both through the same click -> text path.
//
// One modal dialog (class #32770, caption "minimal player") with one push
// button, id 1030 like sound3d's, reading "Старт"; like sound3d it
// enumerates the devices when the dialog opens.  BM_CLICK on it opens the
// default device (the one sound3d selects first), sets the priority level,
// the primary buffer's format (mono 16-bit 22,050 Hz), creates a static 3D
// source buffer with the same flags, size and algorithm as sound3d's, fills
// it with the same embedded clip, places it where sound3d starts it and
// plays it looping; then the button reads "Стоп".  Pressed again, it
// releases everything and reads "Старт".  What sound3d does besides (speaker
// configuration, listener interface, minimum distance, error reporting,
// locking its choices) is its own cost, not part of this baseline.
//
// IDCANCEL / WM_CLOSE close it (releasing first if playing): exit code 0,
// 2 if the dialog could not open.  A failed step shows no box (it would
// stall the timing) but leaves the button reading "Ошибка", which the
// launcher reports.
//
// Built by bench/run.sh, with the clip from bench/minimal_player.rc:
//   x86_64-w64-mingw32-windres -I resources bench/minimal_player.rc minimal_player_rc.o
//   x86_64-w64-mingw32-g++ -std=c++17 -O2 minimal_player.cpp minimal_player_rc.o
//       -o minimal_player.exe -static -static-libgcc -static-libstdc++ -mwindows
//       -ldsound -ldxguid -luser32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstring>

namespace {

const WORD kStartButton = 1030;  // the id sound3d's button has
const WORD kClipResource = 1;    // RCDATA, see minimal_player.rc

IDirectSound* g_device = nullptr;
IDirectSoundBuffer* g_primary = nullptr;
IDirectSoundBuffer* g_source = nullptr;
IDirectSound3DBuffer* g_source3d = nullptr;

template <class T>
void SafeRelease(T*& p) {
    if (p) {
        p->Release();
        p = nullptr;
    }
}

void ReleaseAll() {
    if (g_source)
        g_source->Stop();
    SafeRelease(g_source3d);
    SafeRelease(g_source);
    SafeRelease(g_primary);
    SafeRelease(g_device);
}

WAVEFORMATEX MonoPcm16() {
    WAVEFORMATEX wf;
    std::memset(&wf, 0, sizeof wf);
    wf.wFormatTag = WAVE_FORMAT_PCM;
    wf.nChannels = 1;
    wf.nSamplesPerSec = 22050;
    wf.wBitsPerSample = 16;
    wf.nBlockAlign = 2;
    wf.nAvgBytesPerSec = 44100;
    return wf;
}

bool StartPlaying(HWND dlg) {
    HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(kClipResource), RT_RCDATA);
    const DWORD clipBytes = res ? SizeofResource(nullptr, res) : 0;
    const void* clip = res ? LockResource(LoadResource(nullptr, res)) : nullptr;
    if (!clip || clipBytes == 0)
        return false;

    if (FAILED(DirectSoundCreate(nullptr, &g_device, nullptr)) ||
        FAILED(g_device->SetCooperativeLevel(dlg, DSSCL_PRIORITY)))
        return false;

    WAVEFORMATEX wf = MonoPcm16();
    DSBUFFERDESC pd;
    std::memset(&pd, 0, sizeof pd);
    pd.dwSize = sizeof pd;
    pd.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D;
    if (FAILED(g_device->CreateSoundBuffer(&pd, &g_primary, nullptr)) ||
        FAILED(g_primary->SetFormat(&wf)))
        return false;

    DSBUFFERDESC sd;
    std::memset(&sd, 0, sizeof sd);
    sd.dwSize = sizeof sd;
    sd.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRL3D | DSBCAPS_CTRLFREQUENCY;
    sd.dwBufferBytes = clipBytes;
    sd.lpwfxFormat = &wf;
    sd.guid3DAlgorithm = DS3DALG_HRTF_FULL;
    if (FAILED(g_device->CreateSoundBuffer(&sd, &g_source, nullptr)))
        return false;

    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    if (FAILED(g_source->Lock(0, clipBytes, &p1, &n1, &p2, &n2, 0)))
        return false;
    std::memcpy(p1, clip, n1);
    if (p2)
        std::memcpy(p2, static_cast<const BYTE*>(clip) + n1, n2);
    if (FAILED(g_source->Unlock(p1, n1, p2, n2)))
        return false;

    // sound3d starts its source at the origin.
    if (FAILED(g_source->QueryInterface(IID_IDirectSound3DBuffer,
                                        reinterpret_cast<void**>(&g_source3d))) ||
        FAILED(g_source3d->SetPosition(0.0f, 0.0f, 0.0f, DS3D_IMMEDIATE)))
        return false;
    return SUCCEEDED(g_source->Play(0, 0, DSBPLAY_LOOPING));
}

void OnButton(HWND dlg) {
    HWND button = GetDlgItem(dlg, kStartButton);
    if (g_device) {
        ReleaseAll();
        SetWindowTextW(button, L"Старт");
    } else if (StartPlaying(dlg)) {
        SetWindowTextW(button, L"Стоп");
    } else {
        ReleaseAll();
        SetWindowTextW(button, L"Ошибка");
    }
}

BOOL CALLBACK CountDevice(LPGUID, LPCSTR, LPCSTR, LPVOID) { return TRUE; }

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        // sound3d lists the devices here, and the first listing in a
        // process is what loads and probes the audio driver; without it
        // the first press would carry that cost and sound3d's would not.
        DirectSoundEnumerateA(CountDevice, nullptr);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == kStartButton) {
            OnButton(dlg);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            ReleaseAll();
            EndDialog(dlg, 0);
            return TRUE;
        }
        break;
    case WM_CLOSE:
        ReleaseAll();
        EndDialog(dlg, 0);
        return TRUE;
    }
    return FALSE;
}

// A dialog with one push button, laid out in memory as DialogBoxIndirect
// wants it: DWORD-aligned header and item, strings in UTF-16.
class DialogTemplate {
public:
    DialogTemplate() {
        std::memset(storage_, 0, sizeof storage_);
        auto* dt = reinterpret_cast<DLGTEMPLATE*>(storage_);
        dt->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
        dt->cdit = 1;
        dt->cx = 200;
        dt->cy = 80;
        WORD* p = reinterpret_cast<WORD*>(dt + 1);
        *p++ = 0;  // no menu
        *p++ = 0;  // predefined dialog class
        p = Put(p, L"minimal player");
        p = Align(p);

        auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(p);
        item->style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON;
        item->x = 80;
        item->y = 30;
        item->cx = 40;
        item->cy = 14;
        item->id = kStartButton;
        p = reinterpret_cast<WORD*>(item + 1);
        *p++ = 0xFFFF;
        *p++ = 0x0080;  // button class
        p = Put(p, L"Старт");
        *p = 0;  // no creation data
    }

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(storage_); }

private:
    static WORD* Put(WORD* p, const wchar_t* text) {
        while (*text)
            *p++ = static_cast<WORD>(*text++);
        *p++ = 0;
        return p;
    }

    static WORD* Align(WORD* p) {
        auto at = reinterpret_cast<ULONG_PTR>(p);
        return reinterpret_cast<WORD*>((at + 3) & ~ULONG_PTR(3));
    }

    DWORD storage_[64];
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    DialogTemplate tmpl;
    if (DialogBoxIndirectParamW(instance, tmpl.get(), nullptr, DialogProc, 0) == -1)
        return 2;
    return 0;
}
