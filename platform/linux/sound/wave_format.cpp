#include "platform/linux/sound/wave_format.h"

#include "platform/linux/sound/dsound_codes.h"

HRESULT CheckPcmFormat(const WAVEFORMATEX* format) {
    if (format == nullptr) {
        return DSERR_INVALIDPARAM;
    }
    if (format->wFormatTag != WAVE_FORMAT_PCM) {
        return DSERR_BADFORMAT;
    }
    const bool channelsOk = format->nChannels == 1 || format->nChannels == 2;
    const bool bitsOk = format->wBitsPerSample == 8 || format->wBitsPerSample == 16;
    const bool rateOk =
        format->nSamplesPerSec >= DSBFREQUENCY_MIN && format->nSamplesPerSec <= DSBFREQUENCY_MAX;
    if (!channelsOk || !bitsOk || !rateOk) {
        return DSERR_INVALIDPARAM;
    }
    const DWORD blockAlign = format->nChannels * format->wBitsPerSample / 8u;
    if (format->nBlockAlign != blockAlign ||
        format->nAvgBytesPerSec != format->nSamplesPerSec * blockAlign) {
        return DSERR_INVALIDPARAM;
    }
    return DS_OK;
}
