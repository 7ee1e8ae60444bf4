// COM's plumbing for the layer's objects: one reference count for all the
// interfaces an object has, and QueryInterface by their ids.
#pragma once

#include "platform/platform.h"

// QueryInterface's table: each interface's id.
inline const IID& InterfaceId(IDirectSound*) { return IID_IDirectSound; }
inline const IID& InterfaceId(IDirectSoundBuffer*) { return IID_IDirectSoundBuffer; }
inline const IID& InterfaceId(IDirectSound3DListener*) { return IID_IDirectSound3DListener; }
inline const IID& InterfaceId(IDirectSound3DBuffer*) { return IID_IDirectSound3DBuffer; }

// The object lives while any reference to any of its interfaces does.
template <typename... Interfaces>
class ComObject : public Interfaces... {
public:
    HRESULT QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return DSERR_INVALIDPARAM;
        }
        *object = nullptr;
        if (!(Offer<Interfaces>(iid, object) || ...)) {
            return DSERR_NOINTERFACE;
        }
        AddRef();
        return DS_OK;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

protected:
    virtual ~ComObject() = default;

private:
    template <typename Interface>
    bool Offer(REFIID iid, void** object) {
        Interface* face = this;
        *object = IsEqualGUID(iid, InterfaceId(face)) ? face : nullptr;
        return *object != nullptr;
    }

    ULONG references_ = 1;  // the objects are used on the dialog's thread only
};
