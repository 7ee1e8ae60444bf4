#include "playback/playback.h"

#include <cstring>

#include "playback/choices.h"
#include "playback/device_table.h"
#include "playback/dialog_window.h"
#include "playback/error_box.h"
#include "playback/source_position.h"
#include "resources/resource_ids.h"

PlaybackObjects playbackObjects = {};

namespace {

const char* const MSG_NO_DEVICE = "Нет устройств вывода звука";
const char* const MSG_CREATE_DEVICE = "Ошибка создания объекта устройства (0x%X)";
const char* const MSG_COOPERATIVE_LEVEL = "Ошибка установки уровня взаимодействия (0x%X)";
const char* const MSG_BAD_ANGLE = "Неверный угол стереоколонок";
const char* const MSG_SPEAKER_CONFIG = "Ошибка установки конфигурации излучателей (0x%X)";
const char* const MSG_CREATE_PRIMARY = "Ошибка создания первичного буфера (0x%X)";
const char* const MSG_PRIMARY_FORMAT = "Ошибка установки формата первичного буфера (0x%X)";
const char* const MSG_LISTENER = "Ошибка получения интерфейса слушателя (0x%X)";
const char* const MSG_CREATE_SOURCE = "Ошибка создания буфера источника (0x%X)";
const char* const MSG_LOCK = "Ошибка доступа к буферу (0x%X)";
const char* const MSG_UNLOCK = "Ошибка снятия фиксации буфера (0x%X)";
// A failed Play is reported with this message too.
const char* const MSG_SOURCE_3D = "Ошибка получения интерфейса источника (0x%X)";

const float MIN_DISTANCE = 0.01f;

// Both buffers take the clip's own format: 16-bit mono at 22,050 Hz.
WAVEFORMATEX ClipFormat() {
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = 22050;
    format.nAvgBytesPerSec = 44100;
    format.nBlockAlign = 2;
    format.wBitsPerSample = 16;
    format.cbSize = 0;
    return format;
}

struct Clip {
    const BYTE* bytes;
    DWORD size;
};

// The result of each step is deliberately not examined: a missing clip has
// size 0, and creating the source buffer then reports the failure.
HRSRC FindClip() { return FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_CLIP), RT_RCDATA); }

const BYTE* LoadClipBytes(HRSRC resource) {
    return static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
}

bool Fail(const char* format, HRESULT result) {
    ShowError(format, result);
    ReleasePlayback();
    return false;
}

template <typename Interface>
void ReleaseHeld(Interface*& object) {
    if (object != nullptr) {
        object->Release();
        object = nullptr;
    }
}

bool OpenDevice(int deviceIndex) {
    const DeviceEntry& entry = deviceTable.entries[deviceIndex];
    LPCGUID identifier = entry.hasIdentifier ? &entry.identifier : nullptr;
    HRESULT hr = DirectSoundCreate(identifier, &playbackObjects.device, nullptr);
    if (FAILED(hr)) {
        return Fail(MSG_CREATE_DEVICE, hr);
    }
    hr = playbackObjects.device->SetCooperativeLevel(dialogWindow, DSSCL_PRIORITY);
    if (FAILED(hr)) {
        return Fail(MSG_COOPERATIVE_LEVEL, hr);
    }
    return true;
}

bool ConfigureSpeakers(const PlaybackChoices& choices) {
    const BYTE configuration = SpeakerChoices[choices.speakerIndex].configuration;
    uint32_t angle = 0;
    if (configuration == DSSPEAKER_STEREO && !ParseStereoAngle(choices.angleText, &angle)) {
        ShowError(MSG_BAD_ANGLE);
        ReleasePlayback();
        return false;
    }
    HRESULT hr = playbackObjects.device->SetSpeakerConfig(SpeakerConfigValue(configuration, angle));
    if (FAILED(hr)) {
        return Fail(MSG_SPEAKER_CONFIG, hr);
    }
    return true;
}

bool PreparePrimaryBuffer() {
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(DSBUFFERDESC);
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D;
    HRESULT hr =
        playbackObjects.device->CreateSoundBuffer(&desc, &playbackObjects.primaryBuffer, nullptr);
    if (FAILED(hr)) {
        return Fail(MSG_CREATE_PRIMARY, hr);
    }
    WAVEFORMATEX format = ClipFormat();
    hr = playbackObjects.primaryBuffer->SetFormat(&format);
    if (FAILED(hr)) {
        return Fail(MSG_PRIMARY_FORMAT, hr);
    }
    hr = playbackObjects.primaryBuffer->QueryInterface(
        IID_IDirectSound3DListener, reinterpret_cast<void**>(&playbackObjects.listener));
    if (FAILED(hr)) {
        return Fail(MSG_LISTENER, hr);
    }
    return true;
}

bool CreateSourceBuffer(int algorithmIndex, DWORD clipSize) {
    WAVEFORMATEX format = ClipFormat();
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof(DSBUFFERDESC);
    desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRL3D | DSBCAPS_CTRLFREQUENCY;
    desc.dwBufferBytes = clipSize;
    desc.dwReserved = 0;
    desc.lpwfxFormat = &format;
    desc.guid3DAlgorithm = *AlgorithmChoices[algorithmIndex].algorithm;
    HRESULT hr =
        playbackObjects.device->CreateSoundBuffer(&desc, &playbackObjects.sourceBuffer, nullptr);
    if (FAILED(hr)) {
        return Fail(MSG_CREATE_SOURCE, hr);
    }
    return true;
}

// Copies as much of the clip as fits, so a region larger than the clip can
// never read past its end.
void CopyClipPart(const Clip& clip, DWORD offset, void* region, DWORD regionBytes) {
    if (region == nullptr || clip.bytes == nullptr || offset >= clip.size) {
        return;
    }
    const DWORD available = clip.size - offset;
    std::memcpy(region, clip.bytes + offset, regionBytes < available ? regionBytes : available);
}

// The lock starts at the write cursor, which for a new buffer is its start,
// so the clip lands in order even when it comes back as two regions.
bool FillSourceBuffer(HRSRC clipResource, DWORD clipSize) {
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0;
    DWORD secondBytes = 0;
    HRESULT hr =
        playbackObjects.sourceBuffer->Lock(0, 0, &first, &firstBytes, &second, &secondBytes,
                                           DSBLOCK_FROMWRITECURSOR | DSBLOCK_ENTIREBUFFER);
    if (FAILED(hr)) {
        return Fail(MSG_LOCK, hr);
    }
    const Clip clip = {LoadClipBytes(clipResource), clipSize};
    CopyClipPart(clip, 0, first, firstBytes);
    CopyClipPart(clip, firstBytes, second, secondBytes);
    hr = playbackObjects.sourceBuffer->Unlock(first, firstBytes, second, secondBytes);
    if (FAILED(hr)) {
        return Fail(MSG_UNLOCK, hr);
    }
    return true;
}

// The minimum distance is handed over deferred and never committed; only
// the position takes effect at once.
bool PlaceAndPlaySource() {
    HRESULT hr = playbackObjects.sourceBuffer->QueryInterface(
        IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&playbackObjects.source3D));
    if (FAILED(hr)) {
        return Fail(MSG_SOURCE_3D, hr);
    }
    playbackObjects.source3D->SetMinDistance(MIN_DISTANCE, DS3D_DEFERRED);
    playbackObjects.source3D->SetPosition(sourcePosition.x, sourcePosition.y, sourcePosition.z,
                                          DS3D_IMMEDIATE);
    hr = playbackObjects.sourceBuffer->Play(0, 0, DSBPLAY_LOOPING);
    if (FAILED(hr)) {
        return Fail(MSG_SOURCE_3D, hr);
    }
    return true;
}

}  // namespace

bool StartPlayback(const PlaybackChoices& choices) {
    // With no device listed the list has no selection: nothing to open.
    if (choices.deviceIndex < 0 || choices.deviceIndex >= deviceTable.deviceCount) {
        ShowError(MSG_NO_DEVICE);
        return false;
    }
    if (!OpenDevice(choices.deviceIndex) || !ConfigureSpeakers(choices) ||
        !PreparePrimaryBuffer()) {
        return false;
    }
    const HRSRC clipResource = FindClip();
    const DWORD clipSize = SizeofResource(nullptr, clipResource);
    return CreateSourceBuffer(choices.algorithmIndex, clipSize) &&
           FillSourceBuffer(clipResource, clipSize) && PlaceAndPlaySource();
}

void ReleasePlayback() {
    if (playbackObjects.sourceBuffer != nullptr) {
        playbackObjects.sourceBuffer->Stop();
    }
    ReleaseHeld(playbackObjects.source3D);
    ReleaseHeld(playbackObjects.sourceBuffer);
    ReleaseHeld(playbackObjects.listener);
    ReleaseHeld(playbackObjects.primaryBuffer);
    ReleaseHeld(playbackObjects.device);
}
