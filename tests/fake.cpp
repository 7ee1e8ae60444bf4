#include "tests/fake.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "resources/resource_ids.h"

Fake fake;

namespace {

const uintptr_t DIALOG = 0x1000, CONTROLS = 0x100000;

// Logs the call; fails it when it is the chosen one.
template <typename... Args>
HRESULT Log(const char* format, Args... args) {
    fake.log.push_back(Format(format, args...));
    return fake.log.back() == fake.failCall ? FAILURE : 0;
}

std::string Wave(const WAVEFORMATEX* f) {
    return !f ? "none"
              : Format("%u/%u/%u/%u/%u/%u/%u", f->wFormatTag, f->nChannels, f->nSamplesPerSec,
                       f->nAvgBytesPerSec, f->nBlockAlign, f->wBitsPerSample, f->cbSize);
}

HWND ControlWindow(int id) { return reinterpret_cast<HWND>(CONTROLS + static_cast<uintptr_t>(id)); }
const char* Name(HWND window) { return window == FakeDialog() ? "dialog" : "other"; }
int IdOf(HWND window) { return static_cast<int>(reinterpret_cast<uintptr_t>(window) - CONTROLS); }
FakeControl& Control(HWND window) { return fake.controls.at(IdOf(window)); }

}  // namespace

// One class serves all four sound interfaces; its name says which it is.
struct FakeObject final : IDirectSound,
                          IDirectSoundBuffer,
                          IDirectSound3DListener,
                          IDirectSound3DBuffer {
    std::string name;
    std::vector<BYTE> data;

    FakeObject(const char* objectName, DWORD bytes) : name(objectName), data(bytes) {}
    static FakeObject* Make(const char* n, DWORD b = 0) { return &fake.objects.emplace_back(n, b); }

    template <typename... Args>
    HRESULT Call(const char* method, const char* format, Args... args) {
        return Log((name + "." + method + "(" + format + ")").c_str(), args...);
    }
    // The exact log shows every release; the count is not kept.
    ULONG AddRef() override { return 2; }
    ULONG Release() override {
        Call("Release", "");
        return 0;
    }
    // Which object was asked for which interface shows in the log.
    HRESULT QueryInterface(REFIID iid, void** out) override {
        const bool listener = std::memcmp(&iid, &IID_IDirectSound3DListener, sizeof iid) == 0;
        const bool buffer3D = std::memcmp(&iid, &IID_IDirectSound3DBuffer, sizeof iid) == 0;
        const HRESULT hr = Call("QueryInterface", listener ? "listener" : buffer3D ? "3D" : "?");
        FakeObject* made = SUCCEEDED(hr) ? Make(listener ? "listener" : "source3D") : nullptr;
        *out = listener ? static_cast<void*>(static_cast<IDirectSound3DListener*>(made))
                        : static_cast<IDirectSound3DBuffer*>(made);
        return hr;
    }
    HRESULT CreateSoundBuffer(LPCDSBUFFERDESC d, LPDIRECTSOUNDBUFFER* out,
                              LPUNKNOWN outer) override {
        const char* format = "alg=%08X size=%u flags=0x%X bytes=%u reserved=%u format=%s outer=%s";
        const HRESULT hr = Call("CreateSoundBuffer", format, d->guid3DAlgorithm.Data1, d->dwSize,
                                d->dwFlags, d->dwBufferBytes, d->dwReserved,
                                Wave(d->lpwfxFormat).c_str(), outer ? "given" : "none");
        const bool primary = (d->dwFlags & DSBCAPS_PRIMARYBUFFER) != 0;
        const DWORD bytes = primary ? 0 : d->dwBufferBytes + SPARE_BYTES;
        *out = SUCCEEDED(hr) ? Make(primary ? "primary" : "source", bytes) : nullptr;
        return hr;
    }
    HRESULT SetCooperativeLevel(HWND window, DWORD level) override {
        return Call("SetCooperativeLevel", "%s, %u", Name(window), level);
    }
    HRESULT SetSpeakerConfig(DWORD c) override { return Call("SetSpeakerConfig", "0x%08X", c); }
    HRESULT SetFormat(LPCWAVEFORMATEX format) override {
        return Call("SetFormat", "%s", Wave(format).c_str());
    }
    HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* first, LPDWORD firstBytes, LPVOID* second,
                 LPDWORD secondBytes, DWORD flags) override {
        *firstBytes = std::min(fake.lockSplit, static_cast<DWORD>(data.size()));
        *secondBytes = static_cast<DWORD>(data.size()) - *firstBytes;
        *first = data.data();
        *second = *secondBytes > 0 ? data.data() + *firstBytes : nullptr;
        return Call("Lock", "%u, %u, %u", offset, bytes, flags);
    }
    HRESULT Unlock(LPVOID, DWORD first, LPVOID, DWORD second) override {
        return Call("Unlock", "%u, %u", first, second);
    }
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override {
        fake.played = data;
        return Call("Play", "%u, %u, %u", reserved, priority, flags);
    }
    HRESULT Stop() override { return Call("Stop", ""); }
    HRESULT SetMinDistance(D3DVALUE distance, DWORD apply) override {
        return Call("SetMinDistance", "%g, %u", distance, apply);
    }
    HRESULT SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override {
        return Call("SetPosition", "%.3f, %.3f, %.3f, %u", x, y, z, apply);
    }
};

void ResetFake() {
    fake = Fake();
    // As long as the real clip, no two neighbouring bytes alike, and held
    // without spare capacity, so that reading past its end is caught.
    fake.clip.resize(44888);
    for (size_t i = 0; i < fake.clip.size(); ++i)
        fake.clip[i] = static_cast<BYTE>(i % 251);
    fake.devices = {{"Динамики", 0xA1}};
    for (int id = IDC_VIRTUALIZATION; id <= IDC_ANGLE; ++id)
        fake.controls[id] = FakeControl();
}

HWND FakeDialog() { return reinterpret_cast<HWND>(DIALOG); }
std::string Box(const std::string& text) { return "MessageBox(dialog, Ошибка, 16, " + text + ")"; }

Texts Logged(const Texts& prefixes) {
    Texts found;
    std::copy_if(fake.log.begin(), fake.log.end(), std::back_inserter(found), [&](auto& call) {
        return std::any_of(prefixes.begin(), prefixes.end(),
                           [&](auto& prefix) { return call.rfind(prefix, 0) == 0; });
    });
    return found;
}

HRESULT DirectSoundCreate(LPCGUID device, LPDIRECTSOUND* out, LPUNKNOWN outer) {
    const std::string id = device ? Format("%08X", device->Data1) : "default";
    const HRESULT hr = Log("DirectSoundCreate(%s%s)", id.c_str(), outer ? ", outer" : "");
    *out = SUCCEEDED(hr) ? FakeObject::Make("device") : nullptr;
    return hr;
}

HRESULT DirectSoundEnumerateA(LPDSENUMCALLBACKA callback, LPVOID context) {
    for (const auto& [name, id] : fake.devices) {
        GUID identifier = {static_cast<uint32_t>(id), 0, 0, {}};
        if (!callback(id < 0 ? nullptr : &identifier, name.c_str(), "", context))
            break;
    }
    return Log("DirectSoundEnumerateA()");
}

// Only the program's own clip is found, and its handle is its bytes: a wrong
// lookup makes an empty buffer.
HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    const bool clip = !module && name == MAKEINTRESOURCEA(IDR_CLIP) && type == RT_RCDATA;
    return clip ? reinterpret_cast<HRSRC>(fake.clip.data()) : nullptr;
}
DWORD SizeofResource(HMODULE, HRSRC r) { return r ? static_cast<DWORD>(fake.clip.size()) : 0; }
HGLOBAL LoadResource(HMODULE, HRSRC clip) { return clip; }
LPVOID LockResource(HGLOBAL clip) { return clip; }

// The user closes the dialog as soon as it is open.
INT_PTR DialogBoxParamW(HINSTANCE, LPCWSTR name, HWND owner, DLGPROC proc, LPARAM) {
    Log("DialogBoxParamW(%zu, %s)", reinterpret_cast<uintptr_t>(name), owner ? "given" : "none");
    if (proc(FakeDialog(), WM_INITDIALOG, 0, 0))
        proc(FakeDialog(), WM_COMMAND, IDCANCEL, 0);
    return fake.result;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    fake.result = result;
    return Log("EndDialog(%s, %zd)", Name(dialog), result) == 0;
}

LRESULT SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    FakeControl& c = Control(GetDlgItem(dialog, id));
    if (message == CB_GETCURSEL || (message >= TBM_GETPOS && message <= TBM_GETRANGEMAX)) {
        EXPECT_EQ(wParam | static_cast<WPARAM>(lParam), 0u) << "unused parameters must be zero";
    }
    if (message == TBM_SETRANGE || message == TBM_SETPOS) {
        EXPECT_EQ(wParam, WPARAM{TRUE}) << "the trackbar is redrawn";
    }
    switch (message) {
    case CB_ADDSTRING: c.items.emplace_back(reinterpret_cast<const char*>(lParam)); break;
    case CB_SETCURSEL: c.text = c.items.at(wParam); return c.selection = static_cast<int>(wParam);
    case CB_GETCURSEL: return c.selection;
    case TBM_SETRANGE:
        c.low = static_cast<int16_t>(lParam);
        c.high = static_cast<int16_t>(lParam >> 16);
        break;
    case TBM_SETPOS: c.position = std::clamp(static_cast<int>(lParam), c.low, c.high); break;
    case TBM_GETRANGEMIN: return c.low;
    case TBM_GETRANGEMAX: return c.high;
    case TBM_GETPOS: return c.position;
    }
    return 0;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == FakeDialog() && message == WM_NEXTDLGCTL && lParam != 0) {
        fake.focus = reinterpret_cast<HWND>(wParam);
        Log("WM_NEXTDLGCTL(%d)", IdOf(fake.focus));
    }
    return 0;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    if (!enable && fake.focus == window)
        fake.focus = nullptr;  // as Windows does
    Log("EnableWindow(%d, %d)", IdOf(window), enable);
    return FALSE;
}

void SetWindowText1251(HWND window, const char* text) {
    Control(window).text = text;
    Log("SetWindowText(%d, %s)", IdOf(window), text);
}

int GetWindowText1251(HWND window, char* buffer, int size) {
    return std::snprintf(buffer, static_cast<size_t>(size), "%s", Control(window).text.c_str());
}

void MessageBox1251(HWND owner, const char* text, const char* caption, UINT type) {
    Log("MessageBox(%s, %s, %u, %s)", Name(owner), caption, type, text);
}

void AddComboString1251(HWND dialog, int id, const char* text) {
    SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

BOOL UpdateWindow(HWND window) { return Log("UpdateWindow(%s)", Name(window)) == 0; }

// As the template has them: X is horizontal, Y and Z are vertical.
LONG GetWindowLongA(HWND window, int index) {
    return index == GWL_STYLE && IdOf(window) != IDC_SLIDER_X ? TBS_VERT : 0;
}

HWND GetDlgItem(HWND d, int id) { return d == FakeDialog() ? ControlWindow(id) : nullptr; }
BOOL IsChild(HWND parent, HWND w) { return parent == FakeDialog() && fake.controls.count(IdOf(w)); }
void InitCommonControls() { Log("InitCommonControls"); }
HWND GetFocus() { return fake.focus; }
