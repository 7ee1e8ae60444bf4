// The objects behind the two buffers the program makes: the primary buffer
// with its listener, and a static source buffer with its 3D interface.
#pragma once

#include <memory>

#include "platform/platform.h"
#include "platform/linux/sound/session.h"

// The primary buffer: the session's mix, with the listener on it.
HRESULT NewPrimaryBuffer(std::shared_ptr<Session> session, const DSBUFFERDESC& desc, IDirectSoundBuffer** buffer);
// A static 3D source of 16-bit mono PCM; starts the session's rendering with
// the HRTF its algorithm asks for.
HRESULT NewSourceBuffer(std::shared_ptr<Session> session, const DSBUFFERDESC& desc, IDirectSoundBuffer** buffer);
