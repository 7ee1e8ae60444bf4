#include "platform/linux/sound/session.h"

#include <algorithm>
#include <vector>

#include "platform/linux/sound/output.h"

Session::~Session() {
    // The output first: once it is paused nothing pulls from the renderer.
    CloseOutput(output);
    CloseRenderer(&renderer);
}

HRESULT OpenSession(LPCGUID id, Session* session) {
    if (!StartOutputSystem()) {
        return DSERR_NODRIVER;
    }
    if (id != nullptr) {
        const std::vector<std::string> names = OutputNames();
        const auto listed = std::find_if(names.begin(), names.end(), [id](const std::string& name) {
            return IsEqualGUID(SdlOutputId(name), *id);
        });
        if (listed == names.end()) {
            return DSERR_NODRIVER;
        }
        session->outputName = *listed;
    }
    LayoutFor(DSSPEAKER_STEREO, &session->layout);
    session->outputChannels = session->layout.channels;
    // Opened now, so that a device that is gone or does not answer fails here.
    return OpenOutput(session->outputName, session->outputChannels, &session->renderer, &session->output);
}

HRESULT StartSession(Session* session, HrtfChoice hrtf) {
    if (session->renderer.device != nullptr) {
        return DSERR_ALLOCATED;
    }
    if (session->layout.channels != session->outputChannels) {
        CloseOutput(session->output);
        session->outputChannels = session->layout.channels;
        const HRESULT reopened =
            OpenOutput(session->outputName, session->outputChannels, &session->renderer, &session->output);
        if (FAILED(reopened)) {
            return reopened;
        }
    }
    // The output is paused, so nothing pulls while the renderer opens.
    const HRESULT opened = OpenRenderer(&session->renderer, session->layout, hrtf);
    if (FAILED(opened)) {
        return opened;
    }
    SDL_PauseAudioDevice(session->output, 0);
    return session->renderer.hrtf == hrtf ? DS_OK : DS_NO_VIRTUALIZATION;
}
