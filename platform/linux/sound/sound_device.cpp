// The object behind IDirectSound.
#include <cstddef>
#include <new>

#include "platform/linux/sound/com_object.h"
#include "platform/linux/sound/dsound_codes.h"
#include "platform/linux/sound/sound_objects.h"
#include "platform/linux/sound/wave_format.h"

namespace {

const DWORD DSBCAPS_CTRLPAN = 0x40;
const DWORD DSBCAPS_CTRLFX = 0x200;
// Every flag DirectSound defines for a buffer description.
const DWORD KNOWN_BUFFER_FLAGS = 0x000FC3FF;
// The first form of the description ends before the 3D algorithm.
const DWORD DESC_SIZE_WITHOUT_ALGORITHM = offsetof(DSBUFFERDESC, guid3DAlgorithm);

bool Known3DAlgorithm(const GUID& algorithm) {
    return SameGuid(algorithm, GUID_NULL) || SameGuid(algorithm, DS3DALG_NO_VIRTUALIZATION) ||
           SameGuid(algorithm, DS3DALG_HRTF_FULL) || SameGuid(algorithm, DS3DALG_HRTF_LIGHT);
}

HRESULT CheckPrimaryDesc(const DSBUFFERDESC& desc) {
    const bool refused = desc.dwBufferBytes != 0 || desc.lpwfxFormat != nullptr ||
                         (desc.dwFlags & (DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLFX));
    return refused ? DSERR_INVALIDPARAM : DS_OK;
}

HRESULT CheckSourceDesc(const DSBUFFERDESC& desc) {
    const HRESULT format = CheckPcmFormat(desc.lpwfxFormat);
    if (FAILED(format)) {
        return format;
    }
    const bool ctrl3D = (desc.dwFlags & DSBCAPS_CTRL3D) != 0;
    // A 3D source is a point: mono only, and it is panned by its position.
    if (ctrl3D && (desc.lpwfxFormat->nChannels != 1 || (desc.dwFlags & DSBCAPS_CTRLPAN))) {
        return DSERR_INVALIDPARAM;
    }
    if (desc.dwBufferBytes < DSBSIZE_MIN || desc.dwBufferBytes > DSBSIZE_MAX ||
        desc.dwBufferBytes % desc.lpwfxFormat->nBlockAlign != 0) {
        return DSERR_INVALIDPARAM;
    }
    if (ctrl3D && !Known3DAlgorithm(desc.guid3DAlgorithm)) {
        return DSERR_INVALIDPARAM;
    }
    return DS_OK;
}

class SoundDevice final : public IDirectSound {
public:
    explicit SoundDevice(std::shared_ptr<DeviceState> state) : state_(std::move(state)) {}

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return DSERR_INVALIDPARAM;
        }
        *object = nullptr;
        if (SameGuid(iid, IID_IUnknown) || SameGuid(iid, IID_IDirectSound)) {
            return HandOut<IDirectSound>(this, object);
        }
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return references_.Add(); }
    ULONG Release() override {
        const ULONG left = references_.Drop();
        if (left == 0) {
            delete this;
        }
        return left;
    }

    HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer,
                              LPUNKNOWN outer) override {
        if (buffer == nullptr) {
            return DSERR_INVALIDPARAM;
        }
        *buffer = nullptr;
        if (outer != nullptr) {
            return DSERR_NOAGGREGATION;
        }
        DSBUFFERDESC full;
        const HRESULT checked = CompleteDesc(desc, &full);
        if (FAILED(checked)) {
            return checked;
        }
        if (OutputLost(*state_)) {
            return DSERR_NODRIVER;
        }
        if (full.dwFlags & DSBCAPS_PRIMARYBUFFER) {
            return CreatePrimary(full, buffer);
        }
        const bool spatial = (full.dwFlags & DSBCAPS_CTRL3D) != 0;
        const HrtfChoice hrtf =
            spatial ? HrtfFor(state_->speakers, full.guid3DAlgorithm) : HrtfChoice::Off;
        // OpenAL Soft would quietly render the full set in place of a missing one.
        if (hrtf == HrtfChoice::Light && !LightHrtfPresent()) {
            return DSERR_UNSUPPORTED;
        }
        const HRESULT started = StartRendering(state_.get(), hrtf);
        if (FAILED(started)) {
            return started;
        }
        return NewSourceBuffer(state_, full, buffer);
    }

    HRESULT SetCooperativeLevel(HWND window, DWORD level) override {
        if (window == nullptr || level < DSSCL_NORMAL || level > DSSCL_WRITEPRIMARY) {
            return DSERR_INVALIDPARAM;
        }
        // The primary buffer's memory is the renderer's own: it is never writable.
        if (level == DSSCL_WRITEPRIMARY) {
            return DSERR_UNSUPPORTED;
        }
        state_->cooperativeLevel = level;
        return DS_OK;
    }

    HRESULT SetSpeakerConfig(DWORD speakerConfig) override {
        SpeakerSetup setup;
        if (!ParseSpeakerConfig(speakerConfig, &setup)) {
            return DSERR_INVALIDPARAM;
        }
        // Rendering keeps the layout it started with; the next device takes this one.
        state_->speakers = setup;
        return DS_OK;
    }

private:
    ~SoundDevice() = default;

    // Checks the description and brings its first, shorter form to the full one.
    static HRESULT CompleteDesc(LPCDSBUFFERDESC desc, DSBUFFERDESC* full) {
        if (desc == nullptr ||
            (desc->dwSize != sizeof(DSBUFFERDESC) && desc->dwSize != DESC_SIZE_WITHOUT_ALGORITHM)) {
            return DSERR_INVALIDPARAM;
        }
        *full = DSBUFFERDESC{};
        std::memcpy(full, desc, desc->dwSize);
        if (desc->dwSize == DESC_SIZE_WITHOUT_ALGORITHM) {
            full->guid3DAlgorithm = GUID_NULL;
        }
        if (full->dwReserved != 0 || (full->dwFlags & ~KNOWN_BUFFER_FLAGS) != 0) {
            return DSERR_INVALIDPARAM;
        }
        return (full->dwFlags & DSBCAPS_PRIMARYBUFFER) ? CheckPrimaryDesc(*full)
                                                       : CheckSourceDesc(*full);
    }

    // A device has one primary buffer: asking again gives it once more.
    HRESULT CreatePrimary(const DSBUFFERDESC& desc, LPDIRECTSOUNDBUFFER* buffer) {
        if (state_->primary != nullptr) {
            state_->primary->AddRef();
            *buffer = state_->primary;
            return DS_OK;
        }
        // Rendering starts with the first source buffer, whose algorithm
        // decides the HRTF the renderer opens with.
        *buffer = NewPrimaryBuffer(state_, desc.dwFlags);
        return *buffer != nullptr ? DS_OK : DSERR_OUTOFMEMORY;
    }

    ReferenceCount references_;
    std::shared_ptr<DeviceState> state_;
};

}  // namespace

IDirectSound* NewSoundDevice(std::shared_ptr<DeviceState> state) {
    return new (std::nothrow) SoundDevice(std::move(state));
}
