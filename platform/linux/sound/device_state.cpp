#include "platform/linux/sound/device_state.h"

#include "platform/linux/sound/dsound_codes.h"

namespace {

// The default output is opened without a name; a listed one by its name.
HRESULT FindOutputName(LPCGUID id, std::string* name) {
    if (id == nullptr || SameGuid(*id, DSDEVID_DefaultPlayback)) {
        name->clear();
        return DS_OK;
    }
    for (const SdlOutput& device : ListSdlOutputs()) {
        if (SameGuid(device.id, *id)) {
            *name = device.name;
            return DS_OK;
        }
    }
    return DSERR_NODRIVER;
}

const char* NameOrDefault(const DeviceState& state) {
    return state.outputName.empty() ? nullptr : state.outputName.c_str();
}

}  // namespace

DeviceState::~DeviceState() {
    // The output first: once it is closed nothing pulls from the renderer.
    CloseOutput(output);
    CloseRenderer(&renderer);
}

HRESULT OpenDeviceState(LPCGUID id, std::shared_ptr<DeviceState>* state) {
    if (!StartOutputSystem()) {
        return DSERR_NODRIVER;
    }
    auto opened = std::make_shared<DeviceState>();
    const HRESULT found = FindOutputName(id, &opened->outputName);
    if (FAILED(found)) {
        return found;
    }
    // Opened now, paused, to prove the device is there; reopened with the
    // speakers' channel count when rendering starts, if that differs.
    opened->outputChannels = 2;
    opened->output = OpenOutput(NameOrDefault(*opened), opened->outputChannels, &opened->renderer);
    if (opened->output == 0) {
        return DSERR_ALLOCATED;
    }
    *state = std::move(opened);
    return DS_OK;
}

HRESULT StartRendering(DeviceState* state, HrtfChoice hrtf) {
    if (state->renderer.device != nullptr) {
        return DS_OK;
    }
    if (state->output == 0) {
        return DSERR_NODRIVER;
    }
    const int channels = LayoutChannels(state->speakers.layout);
    if (channels != state->outputChannels) {
        CloseOutput(state->output);
        state->outputChannels = channels;
        state->output = OpenOutput(NameOrDefault(*state), channels, &state->renderer);
        if (state->output == 0) {
            return DSERR_NODRIVER;
        }
    }
    // The output is paused here, so nothing pulls while the renderer opens.
    if (!OpenRenderer(&state->renderer, RenderLayoutFor(state->speakers), hrtf)) {
        return DSERR_GENERIC;
    }
    SetOutputRunning(state->output, true);
    return DS_OK;
}

HRESULT UseAlgorithm(DeviceState* state, const GUID& algorithm) {
    const HrtfChoice wanted = HrtfFor(state->speakers, algorithm);
    if (state->renderer.hrtf != wanted) {
        // Paused for the reset so no pull sees the device half reset.
        SetOutputRunning(state->output, false);
        const bool reset = ResetRenderer(&state->renderer, wanted);
        SetOutputRunning(state->output, true);
        if (!reset) {
            return DSERR_GENERIC;
        }
    }
    const bool lost = wanted != HrtfChoice::Off && state->renderer.hrtf == HrtfChoice::Off;
    return lost ? DS_NO_VIRTUALIZATION : DS_OK;
}

bool OutputLost(const DeviceState& state) {
    return state.output != 0 && OutputFailed(state.output);
}
