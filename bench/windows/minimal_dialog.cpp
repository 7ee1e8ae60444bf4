// Baseline for the launch benchmark: the least a program can do and still
// look like sound3d from the outside at start-up -- enumerate the DirectSound
// output devices and show one modal dialog (class #32770, caption
// "minimal", no controls).  Whatever sound3d costs on top of this is its own.
//
// The devices are only counted: sound3d puts them in a list box, which is
// part of what is measured against this.  Nothing is printed, since a
// formatted print would pull the C library's printf into the baseline.
//
// The dialog closes on IDCANCEL / WM_CLOSE; exit code 0 then, 1 if the
// devices could not be listed, 2 if the dialog could not open.
//
// Built by bench/run.sh:
//   x86_64-w64-mingw32-g++ -std=c++17 -O2 minimal_dialog.cpp -o minimal_dialog.exe
//       -static -static-libgcc -static-libstdc++ -mwindows -ldsound -luser32

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstring>

namespace {

int g_deviceCount = 0;

BOOL CALLBACK CountDevice(LPGUID, LPCSTR, LPCSTR, LPVOID) {
    ++g_deviceCount;
    return TRUE;
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
            EndDialog(dlg, 0);
            return TRUE;
        }
        break;
    case WM_CLOSE: EndDialog(dlg, 0); return TRUE;
    }
    return FALSE;
}

// DLGTEMPLATE plus its variable-length tail (no menu, default class, title),
// in a DWORD-aligned buffer as DialogBoxIndirect requires.
struct DialogTemplate {
    DWORD storage[32];

    explicit DialogTemplate(const wchar_t* title) {
        std::memset(storage, 0, sizeof storage);
        auto* dt = reinterpret_cast<DLGTEMPLATE*>(storage);
        dt->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
        dt->cx = 200;
        dt->cy = 80;
        auto* p = reinterpret_cast<WORD*>(dt + 1);
        *p++ = 0;  // no menu
        *p++ = 0;  // predefined dialog class
        while (*title)
            *p++ = static_cast<WORD>(*title++);
        *p = 0;
    }

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(storage); }
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (FAILED(DirectSoundEnumerateA(CountDevice, nullptr)))
        return 1;
    DialogTemplate tmpl(L"minimal");
    if (DialogBoxIndirectParamW(instance, tmpl.get(), nullptr, DialogProc, 0) == -1)
        return 2;
    return 0;
}
