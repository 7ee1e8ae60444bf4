// The object behind a source buffer and its IDirectSound3DBuffer: one object
// with one reference count, as in COM. The buffer's bytes live here; every
// Unlock hands them to the renderer.
#include <cmath>
#include <new>
#include <vector>

#include "platform/linux/sound/com_object.h"
#include "platform/linux/sound/dsound_codes.h"
#include "platform/linux/sound/sound_objects.h"

namespace {

const DWORD KNOWN_LOCK_FLAGS = DSBLOCK_FROMWRITECURSOR | DSBLOCK_ENTIREBUFFER;
const DWORD DSBPLAY_LOCDEFER_FLAGS = 0x3E;  // voice management, for LOCDEFER buffers only
const DWORD DSBCAPS_LOCDEFER = 0x00040000;

struct Region {
    BYTE* first = nullptr;
    DWORD firstBytes = 0;
    BYTE* second = nullptr;
    DWORD secondBytes = 0;
};

bool FiniteAll(float x, float y, float z) {
    return std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
}

class SourceBuffer final : public IDirectSoundBuffer, public IDirectSound3DBuffer {
public:
    SourceBuffer(std::shared_ptr<DeviceState> state, const DSBUFFERDESC& desc,
                 std::vector<BYTE> bytes, const RenderSource& source)
        : state_(std::move(state)),
          flags_(desc.dwFlags),
          format_(*desc.lpwfxFormat),
          bytes_(std::move(bytes)),
          source_(source) {}

    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return DSERR_INVALIDPARAM;
        }
        *object = nullptr;
        if (SameGuid(iid, IID_IUnknown) || SameGuid(iid, IID_IDirectSoundBuffer)) {
            return HandOut<IDirectSoundBuffer>(this, object);
        }
        if (SameGuid(iid, IID_IDirectSound3DBuffer) && (flags_ & DSBCAPS_CTRL3D)) {
            return HandOut<IDirectSound3DBuffer>(this, object);
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

    HRESULT Lock(DWORD offset, DWORD bytes, LPVOID* audio1, LPDWORD bytes1, LPVOID* audio2,
                 LPDWORD bytes2, DWORD flags) override {
        if (audio1 == nullptr || bytes1 == nullptr || (flags & ~KNOWN_LOCK_FLAGS) != 0) {
            return DSERR_INVALIDPARAM;
        }
        // One lock at a time: the whole buffer goes to the renderer on Unlock.
        if (locked_) {
            return DSERR_INVALIDCALL;
        }
        const DWORD size = static_cast<DWORD>(bytes_.size());
        const DWORD start = (flags & DSBLOCK_FROMWRITECURSOR) ? WriteCursor() : offset;
        const DWORD length = (flags & DSBLOCK_ENTIREBUFFER) ? size : bytes;
        if (start >= size || length == 0 || length > size) {
            return DSERR_INVALIDPARAM;
        }
        lock_ = Region{};
        lock_.first = bytes_.data() + start;
        lock_.firstBytes = length < size - start ? length : size - start;
        // The part past the end wraps to the start, if the caller takes a second region.
        if (audio2 != nullptr && lock_.firstBytes < length) {
            lock_.second = bytes_.data();
            lock_.secondBytes = length - lock_.firstBytes;
        }
        locked_ = true;
        *audio1 = lock_.first;
        *bytes1 = lock_.firstBytes;
        if (audio2 != nullptr) {
            *audio2 = lock_.second;
        }
        if (bytes2 != nullptr) {
            *bytes2 = lock_.secondBytes;
        }
        return DS_OK;
    }

    HRESULT Unlock(LPVOID audio1, DWORD bytes1, LPVOID audio2, DWORD bytes2) override {
        const bool matches = locked_ && audio1 == lock_.first && bytes1 <= lock_.firstBytes &&
                             (bytes2 == 0 || (audio2 == lock_.second && bytes2 <= lock_.secondBytes));
        if (!matches) {
            return DSERR_INVALIDPARAM;
        }
        locked_ = false;
        const bool loaded =
            LoadRenderSource(state_->renderer, source_, bytes_.data(), bytes_.size(),
                             format_.nChannels, format_.wBitsPerSample, format_.nSamplesPerSec);
        return loaded ? DS_OK : DSERR_GENERIC;
    }

    HRESULT Play(DWORD reserved, DWORD priority, DWORD flags) override {
        const bool deferred = (flags_ & DSBCAPS_LOCDEFER) != 0;
        const DWORD allowed = DSBPLAY_LOOPING | (deferred ? DSBPLAY_LOCDEFER_FLAGS : 0);
        if (reserved != 0 || (priority != 0 && !deferred) || (flags & ~allowed) != 0) {
            return DSERR_INVALIDPARAM;
        }
        if (state_->cooperativeLevel == 0) {
            return DSERR_PRIOLEVELNEEDED;
        }
        if (OutputLost(*state_)) {
            return DSERR_NODRIVER;
        }
        const bool looping = (flags & DSBPLAY_LOOPING) != 0;
        return PlayRenderSource(state_->renderer, source_, looping) ? DS_OK : DSERR_GENERIC;
    }

    // DirectSound keeps the position on Stop and goes on from there on Play.
    HRESULT Stop() override {
        return PauseRenderSource(state_->renderer, source_) ? DS_OK : DSERR_GENERIC;
    }

    HRESULT SetFormat(LPCWAVEFORMATEX) override { return DSERR_INVALIDCALL; }

    HRESULT SetMinDistance(D3DVALUE minDistance, DWORD apply) override {
        if (apply > DS3D_DEFERRED || !std::isfinite(minDistance) || minDistance < 0.0f) {
            return DSERR_INVALIDPARAM;
        }
        // Settings given with DS3D_DEFERRED wait for a commit; this interface
        // set has no CommitDeferredSettings, so they are never applied.
        if (apply == DS3D_DEFERRED) {
            return DS_OK;
        }
        return SetRenderSourceMinDistance(state_->renderer, source_, minDistance) ? DS_OK
                                                                                  : DSERR_GENERIC;
    }

    HRESULT SetPosition(D3DVALUE x, D3DVALUE y, D3DVALUE z, DWORD apply) override {
        if (apply > DS3D_DEFERRED || !FiniteAll(x, y, z)) {
            return DSERR_INVALIDPARAM;
        }
        if (apply == DS3D_DEFERRED) {  // never applied, as a deferred minimum distance
            return DS_OK;
        }
        return PlaceRenderSource(state_->renderer, source_, x, y, z) ? DS_OK : DSERR_GENERIC;
    }

private:
    ~SourceBuffer() { DeleteRenderSource(state_->renderer, &source_); }

    // A static buffer is written where it would next be played from.
    DWORD WriteCursor() const {
        const size_t offset = RenderSourceByteOffset(state_->renderer, source_);
        const size_t aligned = offset - offset % format_.nBlockAlign;
        return aligned < bytes_.size() ? static_cast<DWORD>(aligned) : 0;
    }

    ReferenceCount references_;
    std::shared_ptr<DeviceState> state_;
    DWORD flags_;
    WAVEFORMATEX format_;
    std::vector<BYTE> bytes_;
    RenderSource source_;
    bool locked_ = false;
    Region lock_;
};

// Silence in the buffer's encoding: 8-bit samples are unsigned.
BYTE SilenceByte(const WAVEFORMATEX& format) {
    return format.wBitsPerSample == 8 ? 0x80 : 0x00;
}

}  // namespace

HRESULT NewSourceBuffer(std::shared_ptr<DeviceState> state, const DSBUFFERDESC& desc,
                        IDirectSoundBuffer** buffer) {
    const HRESULT algorithm =
        (desc.dwFlags & DSBCAPS_CTRL3D) ? UseAlgorithm(state.get(), desc.guid3DAlgorithm) : DS_OK;
    if (FAILED(algorithm)) {
        return algorithm;
    }
    std::vector<BYTE> bytes;
    try {
        bytes.assign(desc.dwBufferBytes, SilenceByte(*desc.lpwfxFormat));
    } catch (const std::bad_alloc&) {
        return DSERR_OUTOFMEMORY;
    }
    RenderSource source;
    if (!CreateRenderSource(state->renderer, &source)) {
        return DSERR_GENERIC;
    }
    const WAVEFORMATEX& format = *desc.lpwfxFormat;
    const bool ctrl3D = (desc.dwFlags & DSBCAPS_CTRL3D) != 0;
    if (!LoadRenderSource(state->renderer, source, bytes.data(), bytes.size(), format.nChannels,
                          format.wBitsPerSample, format.nSamplesPerSec) ||
        !SetRenderSourceSpatial(state->renderer, source, ctrl3D)) {
        DeleteRenderSource(state->renderer, &source);
        return DSERR_GENERIC;
    }
    *buffer = new (std::nothrow) SourceBuffer(state, desc, std::move(bytes), source);
    if (*buffer == nullptr) {
        DeleteRenderSource(state->renderer, &source);
        return DSERR_OUTOFMEMORY;
    }
    return algorithm;
}
