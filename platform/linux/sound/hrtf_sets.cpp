#define AL_ALEXT_PROTOTYPES
#include "platform/linux/sound/hrtf_sets.h"

#include <AL/alext.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

const char* const LIGHT_HRTF_NAME = "sound3d-light";

namespace {

// OpenAL Soft's full data sets at the rendering rate, best first.
const char* const FULL_HRTF_NAMES[] = {"default-48000", "Built-In 48000hz"};

std::string ExecutableDirectory() {
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return std::string();
    }
    const std::string executable(path, static_cast<size_t>(length));
    const size_t slash = executable.rfind('/');
    return slash == std::string::npos ? std::string() : executable.substr(0, slash);
}

ALCint IndexOf(ALCdevice* device, ALCint count, const char* wanted) {
    for (ALCint i = 0; i < count; ++i) {
        const ALCchar* name = alcGetStringiSOFT(device, ALC_HRTF_SPECIFIER_SOFT, i);
        if (name != nullptr && std::strcmp(name, wanted) == 0) {
            return i;
        }
    }
    return -1;
}

}  // namespace

// OpenAL Soft 1.19 reads its settings once per process by device name, and
// every loopback device has the same one, so a per-start choice goes through
// the data set's id instead. The library searches ALSOFT_LOCAL_PATH (else
// the current directory) before the system's data directories.
void UseShippedHrtfSets() {
    static std::once_flag once;
    std::call_once(once, [] {
        const std::string directory = ExecutableDirectory();
        if (!directory.empty()) {
            setenv("ALSOFT_LOCAL_PATH", (directory + "/hrtf").c_str(), 1);
        }
    });
}

ALCint FindHrtfId(ALCdevice* device, HrtfChoice choice) {
    ALCint count = 0;
    alcGetIntegerv(device, ALC_NUM_HRTF_SPECIFIERS_SOFT, 1, &count);
    if (alcGetError(device) != ALC_NO_ERROR) {
        return -1;
    }
    if (choice == HrtfChoice::Light) {
        return IndexOf(device, count, LIGHT_HRTF_NAME);
    }
    for (const char* name : FULL_HRTF_NAMES) {
        const ALCint id = IndexOf(device, count, name);
        if (id >= 0) {
            return id;
        }
    }
    return -1;
}

HrtfChoice HrtfInUse(ALCdevice* device) {
    ALCint status = ALC_HRTF_DISABLED_SOFT;
    alcGetIntegerv(device, ALC_HRTF_STATUS_SOFT, 1, &status);
    if (alcGetError(device) != ALC_NO_ERROR ||
        (status != ALC_HRTF_ENABLED_SOFT && status != ALC_HRTF_REQUIRED_SOFT)) {
        return HrtfChoice::Off;
    }
    const ALCchar* name = alcGetString(device, ALC_HRTF_SPECIFIER_SOFT);
    return name != nullptr && std::strcmp(name, LIGHT_HRTF_NAME) == 0 ? HrtfChoice::Light
                                                                       : HrtfChoice::Full;
}
