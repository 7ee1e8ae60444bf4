// The Windows and DirectSound names the program uses, declared for systems
// without the Windows SDK. Types and values match the SDK's; the operations
// are implemented by what the build links in.
#pragma once

#include <cstddef>
#include <cstdint>

// ---- Basic types --------------------------------------------------------

typedef int BOOL;
typedef unsigned char BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef unsigned int UINT;
typedef int32_t HRESULT;
typedef float D3DVALUE;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef intptr_t INT_PTR;
typedef void* LPVOID;
typedef DWORD* LPDWORD;
typedef const char* LPCSTR;
typedef char* LPSTR;
typedef const wchar_t* LPCWSTR;

struct HWND__;
typedef HWND__* HWND;
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
struct HRSRC__;
typedef HRSRC__* HRSRC;
typedef void* HGLOBAL;

#define WINAPI
#define CALLBACK
#define TRUE 1
#define FALSE 0

#define SUCCEEDED(hr) (static_cast<HRESULT>(hr) >= 0)
#define FAILED(hr) (static_cast<HRESULT>(hr) < 0)
#define LOWORD(value) (static_cast<WORD>(static_cast<uintptr_t>(value) & 0xFFFF))
#define MAKELONG(low, high)                                        \
    static_cast<LONG>(static_cast<DWORD>(static_cast<WORD>(low)) | \
                      (static_cast<DWORD>(static_cast<WORD>(high)) << 16))
#define MAKELPARAM(low, high) static_cast<LPARAM>(static_cast<DWORD>(MAKELONG(low, high)))
#define MAKEINTRESOURCEA(id) reinterpret_cast<LPCSTR>(static_cast<uintptr_t>(static_cast<WORD>(id)))
#define MAKEINTRESOURCEW(id) \
    reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(static_cast<WORD>(id)))

struct GUID {
    uint32_t Data1;
    uint16_t Data2;
    uint16_t Data3;
    uint8_t Data4[8];
};
typedef GUID IID;
typedef GUID* LPGUID;
typedef const GUID* LPCGUID;
typedef const IID& REFIID;

// ---- Window system ------------------------------------------------------

#define WM_NEXTDLGCTL 0x0028
#define WM_INITDIALOG 0x0110
#define WM_COMMAND 0x0111
#define WM_HSCROLL 0x0114
#define WM_VSCROLL 0x0115

#define IDOK 1
#define IDCANCEL 2
#define MB_ICONERROR 0x00000010
#define GWL_STYLE (-16)

#define CB_ADDSTRING 0x0143
#define CB_GETCURSEL 0x0147
#define CB_SETCURSEL 0x014E

#define CB_ERR (-1)
#define BN_CLICKED 0
#define SW_SHOWDEFAULT 10

#define TBM_GETPOS 0x0400
#define TBM_GETRANGEMIN 0x0401
#define TBM_GETRANGEMAX 0x0402
#define TBM_SETPOS 0x0405
#define TBM_SETRANGE 0x0406

// Trackbar notifications, the low word of WM_HSCROLL and WM_VSCROLL.
#define TB_LINEUP 0
#define TB_LINEDOWN 1
#define TB_PAGEUP 2
#define TB_PAGEDOWN 3
#define TB_THUMBTRACK 5
#define TB_TOP 6
#define TB_BOTTOM 7
#define TB_ENDTRACK 8

// The styles and class of the dialog template; tools/generate/rc_template.py reads
// them from here too.
#define WS_CHILD 0x40000000
#define WS_VISIBLE 0x10000000
#define WS_DISABLED 0x08000000
#define WS_CAPTION 0x00C00000
#define WS_VSCROLL 0x00200000
#define WS_SYSMENU 0x00080000
#define WS_GROUP 0x00020000
#define WS_MINIMIZEBOX 0x00020000
#define WS_TABSTOP 0x00010000
#define WS_MAXIMIZEBOX 0x00010000
#define DS_SETFONT 0x0040
#define DS_MODALFRAME 0x0080
#define DS_CENTER 0x0800
#define CBS_DROPDOWN 0x0002
#define CBS_DROPDOWNLIST 0x0003
#define CBS_AUTOHSCROLL 0x0040
#define SS_LEFT 0x0000
#define BS_PUSHBUTTON 0x0000
#define TBS_VERT 0x0002
#define TBS_BOTH 0x0008
#define TBS_NOTICKS 0x0010
#define TRACKBAR_CLASSA "msctls_trackbar32"

#define RT_RCDATA MAKEINTRESOURCEA(10)

typedef INT_PTR(CALLBACK* DLGPROC)(HWND, UINT, WPARAM, LPARAM);

void InitCommonControls();
INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR templateName, HWND owner, DLGPROC dialogProc,
                        LPARAM initParam);
BOOL EndDialog(HWND dialog, INT_PTR result);
HWND GetDlgItem(HWND dialog, int controlId);
LRESULT SendDlgItemMessageA(HWND dialog, int controlId, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL UpdateWindow(HWND window);
LONG GetWindowLongA(HWND window, int index);
HWND GetFocus();
BOOL IsChild(HWND parent, HWND window);

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type);
DWORD SizeofResource(HMODULE module, HRSRC resource);
HGLOBAL LoadResource(HMODULE module, HRSRC resource);
LPVOID LockResource(HGLOBAL resource);

// ---- DirectSound --------------------------------------------------------

#define WAVE_FORMAT_PCM 1

struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;

struct DSBUFFERDESC {
    DWORD dwSize;
    DWORD dwFlags;
    DWORD dwBufferBytes;
    DWORD dwReserved;
    WAVEFORMATEX* lpwfxFormat;
    GUID guid3DAlgorithm;
};
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;

#define DS_OK 0
#define DS_NO_VIRTUALIZATION static_cast<HRESULT>(0x0878000A)
#define DSERR_ALLOCATED static_cast<HRESULT>(0x8878000A)
#define DSERR_INVALIDCALL static_cast<HRESULT>(0x88780032)
#define DSERR_PRIOLEVELNEEDED static_cast<HRESULT>(0x88780046)
#define DSERR_BADFORMAT static_cast<HRESULT>(0x88780064)
#define DSERR_NODRIVER static_cast<HRESULT>(0x88780078)
#define DSERR_UNSUPPORTED static_cast<HRESULT>(0x80004001)
#define DSERR_NOINTERFACE static_cast<HRESULT>(0x80004002)
#define DSERR_GENERIC static_cast<HRESULT>(0x80004005)
#define DSERR_OUTOFMEMORY static_cast<HRESULT>(0x8007000E)
#define DSERR_INVALIDPARAM static_cast<HRESULT>(0x80070057)
#define DSERR_NOAGGREGATION static_cast<HRESULT>(0x80040110)

#define DSSCL_PRIORITY 0x00000002
#define DSBCAPS_PRIMARYBUFFER 0x00000001
#define DSBCAPS_STATIC 0x00000002
#define DSBCAPS_CTRL3D 0x00000010
#define DSBCAPS_CTRLFREQUENCY 0x00000020
#define DSBLOCK_FROMWRITECURSOR 0x00000001
#define DSBLOCK_ENTIREBUFFER 0x00000002
#define DSBPLAY_LOOPING 0x00000001
#define DS3D_IMMEDIATE 0x00000000
#define DS3D_DEFERRED 0x00000001

#define DSSPEAKER_HEADPHONE 0x00000001
#define DSSPEAKER_MONO 0x00000002
#define DSSPEAKER_QUAD 0x00000003
#define DSSPEAKER_STEREO 0x00000004
#define DSSPEAKER_SURROUND 0x00000005
#define DSSPEAKER_5POINT1 0x00000006
#define DSSPEAKER_GEOMETRY_MIN 0x00000005
#define DSSPEAKER_GEOMETRY_WIDE 0x00000014
#define DSSPEAKER_GEOMETRY_MAX 0x000000B4
#define DSSPEAKER_CONFIG(a) (static_cast<BYTE>(a))
#define DSSPEAKER_GEOMETRY(a) (static_cast<BYTE>((static_cast<DWORD>(a) >> 16) & 0x00FF))

#define DSBSIZE_MIN 4
#define DSBFREQUENCY_MIN 100
#define DSBFREQUENCY_MAX 200000

extern const GUID DS3DALG_NO_VIRTUALIZATION;
extern const GUID DS3DALG_HRTF_FULL;
extern const GUID DS3DALG_HRTF_LIGHT;
extern const IID IID_IDirectSound;
extern const IID IID_IDirectSoundBuffer;
extern const IID IID_IDirectSound3DListener;
extern const IID IID_IDirectSound3DBuffer;
BOOL IsEqualGUID(const GUID& a, const GUID& b);

struct IUnknown {
    virtual HRESULT QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};
typedef IUnknown* LPUNKNOWN;

struct IDirectSoundBuffer : IUnknown {
    virtual HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2,
                         LPDWORD bytes2, DWORD flags) = 0;
    virtual HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) = 0;
    virtual HRESULT SetFormat(LPCWAVEFORMATEX format) = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) = 0;

protected:
    ~IDirectSoundBuffer() = default;
};
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;

struct IDirectSound : IUnknown {
    virtual HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer,
                                      LPUNKNOWN outer) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD level) = 0;
    virtual HRESULT SetSpeakerConfig(DWORD speakerConfig) = 0;

protected:
    ~IDirectSound() = default;
};
typedef IDirectSound* LPDIRECTSOUND;

struct IDirectSound3DListener : IUnknown {
protected:
    ~IDirectSound3DListener() = default;
};
typedef IDirectSound3DListener* LPDIRECTSOUND3DLISTENER;

struct IDirectSound3DBuffer : IUnknown {
    virtual HRESULT SetMinDistance(D3DVALUE minDistance, DWORD apply) = 0;
    virtual HRESULT SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) = 0;

protected:
    ~IDirectSound3DBuffer() = default;
};
typedef IDirectSound3DBuffer* LPDIRECTSOUND3DBUFFER;

typedef BOOL(CALLBACK* LPDSENUMCALLBACKA)(LPGUID guid, LPCSTR description, LPCSTR module,
                                          LPVOID context);

HRESULT DirectSoundCreate(LPCGUID device, LPDIRECTSOUND* directSound, LPUNKNOWN outer);
HRESULT DirectSoundEnumerateA(LPDSENUMCALLBACKA callback, LPVOID context);
