// The resource functions over the data embedded at build time: the clip is
// part of the executable, and nothing is read from files at run time.
#include "platform/linux/resources.h"

#include "resources/resource_ids.h"

struct HINSTANCE__ {};

struct HRSRC__ {
    uintptr_t name;
    uintptr_t type;
    const unsigned char* bytes;
    size_t size;
};

// Generated from resources/clip.raw by tools/generate/embed_file.py.
extern const unsigned char CLIP_BYTES[];
extern const size_t CLIP_BYTES_SIZE;

namespace {

const uintptr_t RCDATA_TYPE = 10;

HINSTANCE__ programInstance;

HRSRC__ resources[] = {
    {IDR_CLIP, RCDATA_TYPE, CLIP_BYTES, CLIP_BYTES_SIZE},
};

bool IsResource(HRSRC resource) {
    for (HRSRC__& candidate : resources) {
        if (&candidate == resource) {
            return true;
        }
    }
    return false;
}

}  // namespace

HINSTANCE ProgramInstance() { return &programInstance; }

// Only integer names and types are used; named resources are never found.
HRSRC FindResourceA(HMODULE /*module*/, LPCSTR name, LPCSTR type) {
    const auto nameId = reinterpret_cast<uintptr_t>(name);
    const auto typeId = reinterpret_cast<uintptr_t>(type);
    if (nameId > LAST_INTEGER_RESOURCE || typeId > LAST_INTEGER_RESOURCE) {
        return nullptr;
    }
    for (HRSRC__& resource : resources) {
        if (resource.name == nameId && resource.type == typeId) {
            return &resource;
        }
    }
    return nullptr;
}

DWORD SizeofResource(HMODULE /*module*/, HRSRC resource) {
    return IsResource(resource) ? static_cast<DWORD>(resource->size) : 0;
}

HGLOBAL LoadResource(HMODULE /*module*/, HRSRC resource) {
    return IsResource(resource) ? const_cast<unsigned char*>(resource->bytes) : nullptr;
}

LPVOID LockResource(HGLOBAL resource) { return resource; }
