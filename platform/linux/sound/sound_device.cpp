// DirectSound's entry points on SDL's outputs, and the object behind
// IDirectSound, which opens one start's audio session.
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/linux/sound/buffers.h"
#include "platform/linux/sound/com_object.h"
#include "platform/linux/sound/output.h"

namespace {

// DirectSound's name for the default output, listed first without an id.
const char* const DEFAULT_DESCRIPTION = "Primary Sound Driver";

class SoundDevice final : public ComObject<IDirectSound> {
public:
    explicit SoundDevice(std::shared_ptr<Session> session) : session_(std::move(session)) {}

    HRESULT SetCooperativeLevel(HWND window, DWORD level) override {
        if (window == nullptr || level != DSSCL_PRIORITY) {
            return DSERR_INVALIDPARAM;
        }
        session_->priority = true;
        return DS_OK;
    }
    // The renderer takes the layout when the source buffer is made.
    HRESULT SetSpeakerConfig(DWORD speakerConfig) override {
        return LayoutFor(speakerConfig, &session_->layout) ? DS_OK : DSERR_INVALIDPARAM;
    }
    HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer, LPUNKNOWN outer) override {
        if (buffer == nullptr) {
            return DSERR_INVALIDPARAM;
        }
        *buffer = nullptr;
        if (outer != nullptr) {
            return DSERR_NOAGGREGATION;
        }
        if (desc == nullptr || desc->dwSize != sizeof(DSBUFFERDESC) || desc->dwReserved != 0) {
            return DSERR_INVALIDPARAM;
        }
        return (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) ? NewPrimaryBuffer(session_, *desc, buffer)
                                                       : NewSourceBuffer(session_, *desc, buffer);
    }

private:
    std::shared_ptr<Session> session_;
};

}  // namespace

HRESULT DirectSoundEnumerateA(LPDSENUMCALLBACKA callback, LPVOID context) {
    if (callback == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    // Without any working audio driver there is nothing to list, as on a
    // machine without sound hardware.
    if (!StartOutputSystem()) {
        return DS_OK;
    }
    try {
        const std::vector<std::string> names = OutputNames();
        bool more = callback(nullptr, DEFAULT_DESCRIPTION, "", context);
        for (size_t i = 0; more && i < names.size(); ++i) {
            GUID id = SdlOutputId(names[i]);
            more = callback(&id, names[i].c_str(), "", context);
        }
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    return DS_OK;
}

HRESULT DirectSoundCreate(LPCGUID device, LPDIRECTSOUND* directSound, LPUNKNOWN outer) {
    if (directSound == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    *directSound = nullptr;
    if (outer != nullptr) {
        return DSERR_NOAGGREGATION;
    }
    try {
        auto session = std::make_shared<Session>();
        const HRESULT opened = OpenSession(device, session.get());
        if (FAILED(opened)) {
            return opened;
        }
        *directSound = new SoundDevice(std::move(session));
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    return DS_OK;
}
