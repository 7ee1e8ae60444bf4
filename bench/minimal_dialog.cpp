// Baseline for the GUI benchmarks: the least a program can do and still look
// like sound3d from the outside -- enumerate DirectSound output devices and
// show one modal dialog.  Whatever sound3d costs on top of this is its own.
//
// Usage: minimal_dialog.exe [--close-after MS]
//   Prints one line per device to stdout ("device: <guid> | <description> |
//   <module>"), then shows an empty dialog titled "minimal".  The dialog
//   closes on WM_CLOSE / IDCANCEL (Esc, the title bar's close box), or after
//   MS milliseconds when --close-after is given, so a benchmark can run it
//   unattended.  Exit code 0 on a normal close.
//
// Build (MinGW-w64):
//   x86_64-w64-mingw32-g++ -std=c++17 -O2 minimal_dialog.cpp -o minimal_dialog.exe
//       -static -static-libgcc -static-libstdc++ -mwindows -ldsound -ldxguid -lole32 -luser32
// Build (MSVC): cl /std:c++17 /EHsc minimal_dialog.cpp dsound.lib dxguid.lib ole32.lib user32.lib
//       /link /SUBSYSTEM:WINDOWS

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

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

const UINT_PTR kCloseTimer = 1;

int g_deviceCount = 0;

BOOL CALLBACK EnumDevice(LPGUID guid, LPCSTR description, LPCSTR module, LPVOID)
{
    char guidText[64] = "default";
    if (guid) {
        std::snprintf(guidText, sizeof guidText,
                      "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                      static_cast<unsigned long>(guid->Data1), guid->Data2, guid->Data3,
                      guid->Data4[0], guid->Data4[1], guid->Data4[2], guid->Data4[3],
                      guid->Data4[4], guid->Data4[5], guid->Data4[6], guid->Data4[7]);
    }
    std::printf("device: %s | %s | %s\n", guidText, description ? description : "",
                module ? module : "");
    ++g_deviceCount;
    return TRUE;
}

INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_INITDIALOG:
        if (lParam > 0)
            SetTimer(dlg, kCloseTimer, static_cast<UINT>(lParam), nullptr);
        return TRUE;
    case WM_TIMER:
        if (wParam == kCloseTimer) {
            KillTimer(dlg, kCloseTimer);
            EndDialog(dlg, IDCANCEL);
        }
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) {
            EndDialog(dlg, LOWORD(wParam));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        EndDialog(dlg, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

// DLGTEMPLATE plus its variable-length tail (no menu, default class, title),
// built in a DWORD-aligned buffer as DialogBoxIndirect requires.
struct DialogTemplate {
    DWORD storage[32];

    explicit DialogTemplate(const wchar_t* title)
    {
        std::memset(storage, 0, sizeof storage);
        auto* dt = reinterpret_cast<DLGTEMPLATE*>(storage);
        dt->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
        dt->cdit = 0;
        dt->x = 0;
        dt->y = 0;
        dt->cx = 200;
        dt->cy = 80;
        auto* p = reinterpret_cast<WORD*>(dt + 1);
        *p++ = 0;  // no menu
        *p++ = 0;  // predefined dialog class
        while (*title)
            *p++ = static_cast<WORD>(*title++);
        *p++ = 0;
    }

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(storage); }
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    LPARAM closeAfterMs = 0;
    for (int i = 1; i < __argc; ++i) {
        if (std::strcmp(__argv[i], "--close-after") == 0 && i + 1 < __argc)
            closeAfterMs = std::atol(__argv[++i]);
    }

    HRESULT hr = DirectSoundEnumerateA(EnumDevice, nullptr);
    if (FAILED(hr))
        std::printf("DirectSoundEnumerateA failed: 0x%08lX\n", static_cast<unsigned long>(hr));
    std::printf("devices: %d\n", g_deviceCount);
    std::fflush(stdout);

    DialogTemplate tmpl(L"minimal");
    INT_PTR rc = DialogBoxIndirectParamW(instance, tmpl.get(), nullptr, DialogProc, closeAfterMs);
    if (rc == -1) {
        std::printf("DialogBoxIndirectParamW failed: %lu\n", GetLastError());
        return 1;
    }
    std::printf("closed: %d\n", static_cast<int>(rc));
    return 0;
}
