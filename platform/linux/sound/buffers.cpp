#include "platform/linux/sound/buffers.h"

#include <cmath>
#include <new>
#include <vector>

#include "platform/linux/sound/com_object.h"

namespace {

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

// The buffer's bytes live here; Unlock hands them to the renderer.
class SourceBuffer final : public ComObject<IDirectSoundBuffer, IDirectSound3DBuffer> {
public:
    SourceBuffer(std::shared_ptr<Session> session, const DSBUFFERDESC& desc)
        : session_(std::move(session)), bytes_(desc.dwBufferBytes), rate_(desc.lpwfxFormat->nSamplesPerSec) {}

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
        return LoadClip(session_->renderer, bytes_.data(), static_cast<DWORD>(bytes_.size()), rate_);
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
        if (apply != DS3D_IMMEDIATE || !std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) {
            return DSERR_INVALIDPARAM;
        }
        return PlaceSource(&session_->renderer, x, y, z);
    }

private:
    std::shared_ptr<Session> session_;
    std::vector<BYTE> bytes_;
    DWORD rate_;
};

}  // namespace

HRESULT NewPrimaryBuffer(std::shared_ptr<Session> session, const DSBUFFERDESC& desc, IDirectSoundBuffer** buffer) {
    if (desc.dwFlags != PRIMARY_FLAGS || desc.dwBufferBytes != 0 || desc.lpwfxFormat != nullptr) {
        return DSERR_INVALIDPARAM;
    }
    *buffer = new (std::nothrow) PrimaryBuffer(std::move(session));
    return *buffer != nullptr ? DS_OK : DSERR_OUTOFMEMORY;
}

HRESULT NewSourceBuffer(std::shared_ptr<Session> session, const DSBUFFERDESC& desc, IDirectSoundBuffer** buffer) {
    if (desc.dwFlags != SOURCE_FLAGS) {
        return DSERR_INVALIDPARAM;
    }
    const HRESULT format = CheckFormat(desc.lpwfxFormat);
    if (FAILED(format)) {
        return format;
    }
    HrtfChoice hrtf = HrtfChoice::Off;
    if (desc.dwBufferBytes < DSBSIZE_MIN || desc.dwBufferBytes % desc.lpwfxFormat->nBlockAlign != 0 ||
        !HrtfFor(session->layout, desc.guid3DAlgorithm, &hrtf)) {
        return DSERR_INVALIDPARAM;
    }
    SourceBuffer* source = nullptr;
    try {
        source = new SourceBuffer(session, desc);
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    const HRESULT started = StartSession(session.get(), hrtf);
    if (FAILED(started)) {
        source->Release();
        return started;
    }
    *buffer = source;
    return started;
}
