// The object behind the primary buffer and its IDirectSound3DListener: one
// object with one reference count, as in COM.
#include <new>

#include "platform/linux/sound/com_object.h"
#include "platform/linux/sound/dsound_codes.h"
#include "platform/linux/sound/sound_objects.h"
#include "platform/linux/sound/wave_format.h"

namespace {

class PrimaryBuffer final : public IDirectSoundBuffer, public IDirectSound3DListener {
public:
    PrimaryBuffer(std::shared_ptr<DeviceState> state, DWORD flags)
        : state_(std::move(state)), flags_(flags) {
        state_->primary = this;
    }

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return DSERR_INVALIDPARAM;
        }
        *object = nullptr;
        if (SameGuid(iid, IID_IUnknown) || SameGuid(iid, IID_IDirectSoundBuffer)) {
            return HandOut<IDirectSoundBuffer>(this, object);
        }
        if (SameGuid(iid, IID_IDirectSound3DListener) && (flags_ & DSBCAPS_CTRL3D)) {
            return HandOut<IDirectSound3DListener>(this, object);
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

    // The mix belongs to the renderer; writing it needs DSSCL_WRITEPRIMARY,
    // which this device does not grant.
    HRESULT Lock(DWORD, DWORD, LPVOID*, LPDWORD, LPVOID*, LPDWORD, DWORD) override {
        return DSERR_PRIOLEVELNEEDED;
    }
    HRESULT Unlock(LPVOID, DWORD, LPVOID, DWORD) override { return DSERR_INVALIDCALL; }

    // The mix runs for as long as the device is open; a primary buffer only
    // plays looping.
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override {
        if (reserved != 0 || priority != 0 || flags != DSBPLAY_LOOPING) {
            return DSERR_INVALIDPARAM;
        }
        return DS_OK;
    }
    HRESULT Stop() override { return DS_OK; }

    // A hint, as on Windows: the mix stays 48 kHz float whatever is set.
    HRESULT SetFormat(LPCWAVEFORMATEX format) override {
        if (state_->cooperativeLevel < DSSCL_PRIORITY) {
            return DSERR_PRIOLEVELNEEDED;
        }
        return CheckPcmFormat(format);
    }

private:
    ~PrimaryBuffer() { state_->primary = nullptr; }

    ReferenceCount references_;
    std::shared_ptr<DeviceState> state_;
    DWORD flags_;
};

}  // namespace

IDirectSoundBuffer* NewPrimaryBuffer(std::shared_ptr<DeviceState> state, DWORD flags) {
    return new (std::nothrow) PrimaryBuffer(std::move(state), flags);
}
