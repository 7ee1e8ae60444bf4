// DirectSoundEnumerateA and DirectSoundCreate on SDL's output devices.
#include <string>
#include <vector>

#include "platform/linux/sound/dsound_codes.h"
#include "platform/linux/sound/output.h"
#include "platform/linux/sound/sound_objects.h"

namespace {

// DirectSound's name for the default output, listed first without an id.
const char* const DEFAULT_DESCRIPTION = "Primary Sound Driver";

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
        std::vector<SdlOutput> devices = ListSdlOutputs();
        const std::string module = OutputDriverName();
        if (!callback(nullptr, DEFAULT_DESCRIPTION, "", context)) {
            return DS_OK;
        }
        for (SdlOutput& device : devices) {
            if (!callback(&device.id, device.name.c_str(), module.c_str(), context)) {
                break;
            }
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
        std::shared_ptr<DeviceState> state;
        const HRESULT opened = OpenDeviceState(device, &state);
        if (FAILED(opened)) {
            return opened;
        }
        *directSound = NewSoundDevice(std::move(state));
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    return *directSound != nullptr ? DS_OK : DSERR_OUTOFMEMORY;
}
