// The DirectSound and resource side of the fake.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "tests/fake_platform.h"

namespace {

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

std::string Format(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

// Records the call and answers with the scripted failure when it is the
// chosen occurrence of the chosen operation.
HRESULT Record(const std::string& call) {
    fake.calls.push_back(call);
    const std::string operation = call.substr(0, call.find('('));
    if (operation != fake.failingOperation) {
        return 0;
    }
    int seen = 0;
    for (const std::string& earlier : fake.calls) {
        if (earlier.substr(0, earlier.find('(')) == operation) {
            ++seen;
        }
    }
    return seen == fake.failingOccurrence ? fake.failure : 0;
}

uint32_t FloatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::string FormatText(const WAVEFORMATEX* format) {
    if (format == nullptr) {
        return "none";
    }
    return Format("%u/%u/%u/%u/%u/%u/%u", format->wFormatTag, format->nChannels,
                  format->nSamplesPerSec, format->nAvgBytesPerSec, format->nBlockAlign,
                  format->wBitsPerSample, format->cbSize);
}

bool SameGuid(const GUID& a, const GUID& b) {
    return std::memcmp(&a, &b, sizeof(GUID)) == 0;
}

}  // namespace

void FakeSoundObject::CheckAlive(const char* method) {
    if (references <= 0) {
        fake.misuse.push_back(name + "." + method + " after release");
    }
}

ULONG FakeSoundObject::ReleaseOnce() {
    fake.calls.push_back(name + ".Release()");
    if (references <= 0) {
        fake.misuse.push_back(name + " released too often");
        return 0;
    }
    return static_cast<ULONG>(--references);
}

namespace {

template <typename Object>
Object* Adopt(Object* object) {
    fake.objects.emplace_back(object);
    return object;
}

struct Fake3DBuffer final : IDirectSound3DBuffer, FakeSoundObject {
    Fake3DBuffer() : FakeSoundObject("source3D") {}
    HRESULT QueryInterface(REFIID, void**) override { return -1; }
    ULONG AddRef() override { return static_cast<ULONG>(++references); }
    ULONG Release() override { return ReleaseOnce(); }
    HRESULT SetMinDistance(D3DVALUE distance, DWORD apply) override {
        CheckAlive("SetMinDistance");
        return Record(Format("source3D.SetMinDistance(0x%08X, %u)", FloatBits(distance), apply));
    }
    HRESULT SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override {
        CheckAlive("SetPosition");
        return Record(Format("source3D.SetPosition(%.3f, %.3f, %.3f, %u)", x, y, z, apply));
    }
};

struct FakeListener final : IDirectSound3DListener, FakeSoundObject {
    FakeListener() : FakeSoundObject("listener") {}
    HRESULT QueryInterface(REFIID, void**) override { return -1; }
    ULONG AddRef() override { return static_cast<ULONG>(++references); }
    ULONG Release() override { return ReleaseOnce(); }
};

struct FakeBuffer final : IDirectSoundBuffer, FakeSoundObject {
    std::vector<BYTE> data;
    void* lockedFirst = nullptr;
    void* lockedSecond = nullptr;
    DWORD lockedFirstBytes = 0;
    DWORD lockedSecondBytes = 0;

    FakeBuffer(const char* bufferName, DWORD bytes) : FakeSoundObject(bufferName), data(bytes) {}

    HRESULT QueryInterface(REFIID iid, void** object) override {
        CheckAlive("QueryInterface");
        const bool listener = SameGuid(iid, IID_IDirectSound3DListener);
        const bool buffer3D = SameGuid(iid, IID_IDirectSound3DBuffer);
        const char* asked = listener ? "IDirectSound3DListener"
                            : buffer3D ? "IDirectSound3DBuffer"
                                       : "other";
        *object = nullptr;
        const HRESULT hr = Record(name + ".QueryInterface(" + asked + ")");
        if (FAILED(hr)) {
            return hr;
        }
        if (listener && name == "primary") {
            *object = static_cast<IDirectSound3DListener*>(Adopt(new FakeListener));
        } else if (buffer3D && name == "source") {
            *object = static_cast<IDirectSound3DBuffer*>(Adopt(new Fake3DBuffer));
        } else {
            return -1;
        }
        return 0;
    }
    ULONG AddRef() override { return static_cast<ULONG>(++references); }
    ULONG Release() override { return ReleaseOnce(); }

    HRESULT SetFormat(LPCWAVEFORMATEX format) override {
        CheckAlive("SetFormat");
        return Record(name + ".SetFormat(" + FormatText(format) + ")");
    }

    HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* first, LPDWORD firstBytes, LPVOID* second,
                 LPDWORD secondBytes, DWORD flags) override {
        CheckAlive("Lock");
        const HRESULT hr = Record(Format("%s.Lock(%u, %u, %u)", name.c_str(), offset, bytes, flags));
        if (FAILED(hr)) {
            return hr;
        }
        const auto size = static_cast<DWORD>(data.size());
        const DWORD split = fake.lockSplitAt > 0 && fake.lockSplitAt < size ? fake.lockSplitAt : size;
        lockedFirst = data.data();
        lockedFirstBytes = split;
        lockedSecond = split < size ? data.data() + split : nullptr;
        lockedSecondBytes = size - split;
        *first = lockedFirst;
        *firstBytes = lockedFirstBytes;
        *second = lockedSecond;
        *secondBytes = lockedSecondBytes;
        return 0;
    }

    HRESULT Unlock(LPVOID first, DWORD firstBytes, LPVOID second, DWORD secondBytes) override {
        CheckAlive("Unlock");
        if (first != lockedFirst || firstBytes != lockedFirstBytes || second != lockedSecond ||
            secondBytes != lockedSecondBytes) {
            fake.misuse.push_back(name + ".Unlock does not match Lock");
        }
        return Record(Format("%s.Unlock(%u, %u)", name.c_str(), firstBytes, secondBytes));
    }

    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override {
        CheckAlive("Play");
        fake.playedContent = data;
        return Record(Format("%s.Play(%u, %u, %u)", name.c_str(), reserved, priority, flags));
    }

    HRESULT Stop() override {
        CheckAlive("Stop");
        return Record(name + ".Stop()");
    }
};

struct FakeDirectSound final : IDirectSound, FakeSoundObject {
    FakeDirectSound() : FakeSoundObject("device") {}
    HRESULT QueryInterface(REFIID, void**) override { return -1; }
    ULONG AddRef() override { return static_cast<ULONG>(++references); }
    ULONG Release() override { return ReleaseOnce(); }

    HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer,
                              LPUNKNOWN outer) override {
        CheckAlive("CreateSoundBuffer");
        *buffer = nullptr;
        const HRESULT hr = Record(Format(
            "device.CreateSoundBuffer(size=%u flags=0x%X bytes=%u reserved=%u format=%s alg=%s "
            "outer=%s)",
            desc->dwSize, desc->dwFlags, desc->dwBufferBytes, desc->dwReserved,
            FormatText(desc->lpwfxFormat).c_str(), GuidText(desc->guid3DAlgorithm).c_str(),
            outer == nullptr ? "none" : "given"));
        if (FAILED(hr)) {
            return hr;
        }
        const bool primary = (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) != 0;
        *buffer = Adopt(new FakeBuffer(primary ? "primary" : "source", primary ? 0 : desc->dwBufferBytes));
        return 0;
    }

    HRESULT SetCooperativeLevel(HWND window, DWORD level) override {
        CheckAlive("SetCooperativeLevel");
        return Record(Format("device.SetCooperativeLevel(%s, %u)",
                             window == FakeDialog() ? "dialog" : "other", level));
    }

    HRESULT SetSpeakerConfig(DWORD config) override {
        CheckAlive("SetSpeakerConfig");
        return Record(Format("device.SetSpeakerConfig(0x%08X)", config));
    }
};

// Resource handles are only compared, never followed.
HRSRC const CLIP_RESOURCE = reinterpret_cast<HRSRC>(0x107);

}  // namespace

HRESULT DirectSoundCreate(LPCGUID device, LPDIRECTSOUND* directSound, LPUNKNOWN outer) {
    *directSound = nullptr;
    const HRESULT hr = Record("DirectSoundCreate(" +
                              (device == nullptr ? std::string("default") : GuidText(*device)) +
                              (outer == nullptr ? ")" : ", outer)"));
    if (FAILED(hr)) {
        return hr;
    }
    *directSound = Adopt(new FakeDirectSound);
    return 0;
}

HRESULT DirectSoundEnumerateA(LPDSENUMCALLBACKA callback, LPVOID context) {
    fake.calls.push_back("DirectSoundEnumerateA");
    for (FakeDevice& device : fake.devices) {
        LPGUID identifier = device.hasIdentifier ? &device.identifier : nullptr;
        if (!callback(identifier, device.description.c_str(), "module", context)) {
            break;
        }
    }
    return fake.enumerateResult;
}

HRSRC FindResourceA(HMODULE module, LPCSTR name, LPCSTR type) {
    fake.calls.push_back(Format("FindResourceA(%s, %zu, %zu)", module == nullptr ? "own" : "other",
                                reinterpret_cast<uintptr_t>(name),
                                reinterpret_cast<uintptr_t>(type)));
    const bool isClip = reinterpret_cast<uintptr_t>(name) == 107 &&
                        reinterpret_cast<uintptr_t>(type) == 10 && !fake.clip.empty();
    return isClip ? CLIP_RESOURCE : nullptr;
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
    fake.calls.push_back("SizeofResource");
    return resource == CLIP_RESOURCE ? static_cast<DWORD>(fake.clip.size()) : 0;
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
    fake.calls.push_back("LoadResource");
    return resource == CLIP_RESOURCE ? fake.clip.data() : nullptr;
}

LPVOID LockResource(HGLOBAL resource) {
    return resource;
}

std::vector<std::string> AliveObjects() {
    std::vector<std::string> alive;
    for (const auto& object : fake.objects) {
        if (object->references > 0) {
            alive.push_back(object->name);
        }
    }
    return alive;
}

GUID MakeGuid(uint32_t first) {
    return GUID{first, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
}

std::string GuidText(const GUID& guid) {
    return Format("{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", guid.Data1, guid.Data2,
                  guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3],
                  guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
}
