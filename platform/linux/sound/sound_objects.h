// Creation of the objects behind IDirectSound and IDirectSoundBuffer.
#pragma once

#include <memory>

#include "platform/platform.h"
#include "platform/linux/sound/device_state.h"

IDirectSound* NewSoundDevice(std::shared_ptr<DeviceState> state);
// The primary buffer: the device's mix, with the listener on it.
IDirectSoundBuffer* NewPrimaryBuffer(std::shared_ptr<DeviceState> state, DWORD flags);
// A source buffer for an already checked description.
HRESULT NewSourceBuffer(std::shared_ptr<DeviceState> state, const DSBUFFERDESC& desc,
                        IDirectSoundBuffer** buffer);
