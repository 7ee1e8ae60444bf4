#include "platform/linux/sound/session.h"

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
        for (const std::string& name : OutputNames()) {
            if (IsEqualGUID(SdlOutputId(name), *id)) {
                session->outputName = name;
            }
        }
        if (session->outputName.empty()) {
            return DSERR_NODRIVER;
        }
    }
    LayoutFor(DSSPEAKER_STEREO, &session->layout);
    session->outputChannels = session->layout.channels;
    // Opened now, so that a device that is gone or does not answer fails here.
    return OpenOutput(session->outputName, session->outputChannels, &session->renderer,
                      &session->output);
}

HRESULT StartSession(Session* session, HrtfChoice hrtf) {
    if (session->renderer.device != nullptr) {
        return DSERR_ALLOCATED;
    }
    if (session->layout.channels != session->outputChannels) {
        CloseOutput(session->output);
        session->outputChannels = session->layout.channels;
        const HRESULT reopened = OpenOutput(session->outputName, session->outputChannels,
                                            &session->renderer, &session->output);
        if (FAILED(reopened)) {
            return reopened;
        }
    }
    // The output is paused, so nothing pulls while the renderer opens.
    const HRESULT opened = OpenRenderer(&session->renderer, session->layout, hrtf);
    if (FAILED(opened)) {
        CloseRenderer(&session->renderer);
        return opened;
    }
    SDL_PauseAudioDevice(session->output, 0);
    return session->renderer.hrtf == hrtf ? DS_OK : DS_NO_VIRTUALIZATION;
}
