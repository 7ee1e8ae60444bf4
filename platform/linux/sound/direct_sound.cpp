// DirectSound's entry points on SDL's outputs, and the objects behind its
// four interfaces: the device opens one start's audio session, the primary
// buffer stands for the session's mix and listener, and the source buffer
// for the one 3D source it renders.
#include <cmath>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/linux/sound/com_object.h"
#include "platform/linux/sound/output.h"
#include "platform/linux/sound/session.h"

namespace {

// DirectSound's name for the default output, listed first without an id.
const char* const DEFAULT_DESCRIPTION = "Primary Sound Driver";
const DWORD PRIMARY_FLAGS = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D;
const DWORD SOURCE_FLAGS = DSBCAPS_STATIC | DSBCAPS_CTRL3D | DSBCAPS_CTRLFREQUENCY;

// The one format the layer plays, the clip's: 16-bit mono PCM.
HRESULT CheckFormat(const WAVEFORMATEX* format) {
    if (format == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    const bool clipFormat = format->wFormatTag == WAVE_FORMAT_PCM && format->nChannels == 1 &&
                            format->wBitsPerSample == 16 && format->nBlockAlign == 2 &&
                            format->nSamplesPerSec >= DSBFREQUENCY_MIN &&
                            format->nSamplesPerSec <= DSBFREQUENCY_MAX &&
                            format->nAvgBytesPerSec == 2 * format->nSamplesPerSec;
    return clipFormat ? DS_OK : DSERR_BADFORMAT;
}

// The mix is the renderer's own and plays while the session lives: it cannot
// be written, started or stopped.
class PrimaryBuffer final : public ComObject<IDirectSoundBuffer, IDirectSound3DListener> {
public:
    explicit PrimaryBuffer(std::shared_ptr<Session> session) : session_(std::move(session)) {}

    // A hint, as on Windows: the mix stays 48 kHz float whatever is set.
    HRESULT SetFormat(LPCWAVEFORMATEX format) override {
        return session_->priority ? CheckFormat(format) : DSERR_PRIOLEVELNEEDED;
    }
    // Writing the mix needs DSSCL_WRITEPRIMARY, which no device here grants.
    HRESULT Lock(DWORD, DWORD, LPVOID*, LPDWORD, LPVOID*, LPDWORD, DWORD) override {
        return DSERR_PRIOLEVELNEEDED;
    }
    HRESULT Unlock(LPVOID, DWORD, LPVOID, DWORD) override { return DSERR_UNSUPPORTED; }
    HRESULT Play(DWORD, DWORD, DWORD) override { return DSERR_UNSUPPORTED; }
    HRESULT Stop() override { return DSERR_UNSUPPORTED; }

private:
    std::shared_ptr<Session> session_;
};

// A static 3D source. Its bytes live here; Unlock hands them to the renderer.
class SourceBuffer final : public ComObject<IDirectSoundBuffer, IDirectSound3DBuffer> {
public:
    SourceBuffer(std::shared_ptr<Session> session, const DSBUFFERDESC& desc)
        : session_(std::move(session)),
          bytes_(desc.dwBufferBytes),
          rate_(desc.lpwfxFormat->nSamplesPerSec) {}

    // A new static buffer's write cursor is its start: the whole buffer is
    // one region.
    HRESULT Lock(DWORD, DWORD, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2, LPDWORD bytes2,
                 DWORD flags) override {
        if (audio1 == nullptr || bytes1 == nullptr || audio2 == nullptr || bytes2 == nullptr ||
            flags != (DSBLOCK_FROMWRITECURSOR | DSBLOCK_ENTIREBUFFER)) {
            return DSERR_INVALIDPARAM;
        }
        *audio1 = bytes_.data();
        *bytes1 = static_cast<DWORD>(bytes_.size());
        *audio2 = nullptr;
        *bytes2 = 0;
        return DS_OK;
    }
    HRESULT Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) override {
        if (audio1 != bytes_.data() || bytes1 > bytes_.size() || audio2 != nullptr || bytes2 != 0) {
            return DSERR_INVALIDPARAM;
        }
        const DWORD size = static_cast<DWORD>(bytes_.size());
        return LoadClip(session_->renderer, bytes_.data(), size, rate_);
    }
    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override {
        if (reserved != 0 || priority != 0 || flags != DSBPLAY_LOOPING) {
            return DSERR_INVALIDPARAM;
        }
        // Stopped on its own since it opened: unplugged, or its writes fail.
        if (SDL_GetAudioDeviceStatus(session_->output) == SDL_AUDIO_STOPPED) {
            return DSERR_NODRIVER;
        }
        return PlaySource(session_->renderer);
    }
    // DirectSound keeps the position on Stop.
    HRESULT Stop() override { return PauseSource(session_->renderer); }
    // A source takes its format from its description.
    HRESULT SetFormat(LPCWAVEFORMATEX) override { return DSERR_INVALIDCALL; }

    // A deferred setting waits for a commit, which this interface set does
    // not have: it is never applied.
    HRESULT SetMinDistance(D3DVALUE, DWORD apply) override {
        return apply == DS3D_DEFERRED ? DS_OK : DSERR_INVALIDPARAM;
    }
    HRESULT SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override {
        const bool finite = std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
        if (apply != DS3D_IMMEDIATE || !finite) {
            return DSERR_INVALIDPARAM;
        }
        return PlaceSource(&session_->renderer, x, y, z);
    }

private:
    std::shared_ptr<Session> session_;
    std::vector<BYTE> bytes_;
    DWORD rate_;
};

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
    HRESULT CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* buffer,
                              LPUNKNOWN outer) override {
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
        try {
            if (desc->dwFlags == PRIMARY_FLAGS && desc->dwBufferBytes == 0 &&
                desc->lpwfxFormat == nullptr) {
                *buffer = new PrimaryBuffer(session_);
                return DS_OK;
            }
            return desc->dwFlags == SOURCE_FLAGS ? CreateSource(*desc, buffer) : DSERR_INVALIDPARAM;
        } catch (const std::bad_alloc&) {
            return DSERR_OUTOFMEMORY;
        }
    }

private:
    // The source's algorithm decides the HRTF the session renders with.
    HRESULT CreateSource(const DSBUFFERDESC& desc, LPDIRECTSOUNDBUFFER* buffer) {
        const HRESULT format = CheckFormat(desc.lpwfxFormat);
        if (FAILED(format)) {
            return format;
        }
        HrtfChoice hrtf = HrtfChoice::Off;
        const bool wholeSamples = desc.dwBufferBytes % desc.lpwfxFormat->nBlockAlign == 0;
        if (desc.dwBufferBytes < DSBSIZE_MIN || !wholeSamples ||
            !HrtfFor(session_->layout, desc.guid3DAlgorithm, &hrtf)) {
            return DSERR_INVALIDPARAM;
        }
        const HRESULT started = StartSession(session_.get(), hrtf);
        if (SUCCEEDED(started)) {
            *buffer = new SourceBuffer(session_, desc);
        }
        return started;
    }

    std::shared_ptr<Session> session_;
};

}  // namespace

HRESULT DirectSoundEnumerateA(LPDSENUMCALLBACKA callback, LPVOID context) {
    if (callback == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    // The default output is listed even when the audio system has not
    // started (yet): a start tries it again, and says why should it still fail.
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
