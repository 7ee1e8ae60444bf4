// Checks of the PCM formats that buffers take.
#pragma once

#include "platform/platform.h"

// DS_OK for plain PCM of 8 or 16 bits, 1 or 2 channels, with consistent
// block and byte rates; DSERR_BADFORMAT for other encodings; otherwise
// DSERR_INVALIDPARAM.
HRESULT CheckPcmFormat(const WAVEFORMATEX* format);
