// Reference counting as COM does it: an object lives while any reference
// does, and QueryInterface hands out a new reference.
#pragma once

#include <atomic>

#include "platform/platform.h"

class ReferenceCount {
public:
    ULONG Add() { return ++count_; }
    // Returns the references left; the owner deletes itself at 0.
    ULONG Drop() { return --count_; }

private:
    std::atomic<ULONG> count_{1};
};

// Hands out one interface of an object with a new reference.
template <typename Interface, typename Object>
HRESULT HandOut(Object* object, void** out) {
    Interface* face = object;
    face->AddRef();
    *out = face;
    return 0;
}
