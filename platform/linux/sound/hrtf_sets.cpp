#define AL_ALEXT_PROTOTYPES
#include "platform/linux/sound/hrtf_sets.h"

#include <AL/alext.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The light data set's name as OpenAL Soft lists it (its file name).
const char* const LIGHT_HRTF_NAME = "sound3d-light";

// Where the light data set may be, relative to the executable's directory:
// the installed tree's (the build gives the path from its binary directory
// to its data directory), then the build tree's.
const char* const LIGHT_HRTF_DIRECTORIES[] = {SOUND3D_INSTALLED_HRTF_DIRECTORY, "hrtf"};

std::string LightHrtfFileIn(const std::string& directory) {
    return directory + "/" + LIGHT_HRTF_NAME + ".mhr";
}

// Without links and the "bin/.." of the installed tree's path, where the path exists.
std::string Resolved(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

std::string ExecutableDirectory() {
    const std::string executable = Resolved("/proc/self/exe");
    return executable.substr(0, executable.rfind('/'));
}

// The directory holding the light data set; the installed tree's when none does.
std::string LightHrtfDirectory() {
    const std::string executable = ExecutableDirectory();
    for (const char* relative : LIGHT_HRTF_DIRECTORIES) {
        const std::string directory = Resolved(executable + "/" + relative);
        if (access(LightHrtfFileIn(directory).c_str(), R_OK) == 0) {
            return directory;
        }
    }
    return Resolved(executable + "/" + LIGHT_HRTF_DIRECTORIES[0]);
}

}  // namespace

// OpenAL Soft 1.19 reads its settings once per process by device name, and
// every loopback device has the same one, so a per-start choice goes through
// the data set's id instead. The library searches ALSOFT_LOCAL_PATH (else
// the current directory) before the system's data directories, where it
// finds the full set.
void UseShippedHrtfSets() { setenv("ALSOFT_LOCAL_PATH", LightHrtfDirectory().c_str(), 1); }

bool LightHrtfPresent() {
    const std::string file = LightHrtfFileIn(LightHrtfDirectory());
    if (access(file.c_str(), R_OK) == 0) {
        return true;
    }
    std::fprintf(stderr, "sound3d: the light HRTF data set is missing: %s\n", file.c_str());
    return false;
}

ALCint FindHrtfId(ALCdevice* device, HrtfChoice choice) {
    // Best first: the light set, or OpenAL Soft's full ones at the rendering rate.
    static const std::vector<const char*> LIGHT_HRTF_NAMES = {LIGHT_HRTF_NAME};
    static const std::vector<const char*> FULL_HRTF_NAMES = {"default-48000", "Built-In 48000hz"};
    ALCint count = 0;
    alcGetIntegerv(device, ALC_NUM_HRTF_SPECIFIERS_SOFT, 1, &count);
    for (const char* name : choice == HrtfChoice::Light ? LIGHT_HRTF_NAMES : FULL_HRTF_NAMES) {
        for (ALCint i = 0; i < count; ++i) {
            if (std::strcmp(alcGetStringiSOFT(device, ALC_HRTF_SPECIFIER_SOFT, i), name) == 0) {
                return i;
            }
        }
    }
    return -1;
}

HrtfChoice HrtfInUse(ALCdevice* device) {
    ALCint status = ALC_HRTF_DISABLED_SOFT;
    alcGetIntegerv(device, ALC_HRTF_STATUS_SOFT, 1, &status);
    if (status != ALC_HRTF_ENABLED_SOFT && status != ALC_HRTF_REQUIRED_SOFT) {
        return HrtfChoice::Off;
    }
    const ALCchar* name = alcGetString(device, ALC_HRTF_SPECIFIER_SOFT);
    return std::strcmp(name, LIGHT_HRTF_NAME) == 0 ? HrtfChoice::Light : HrtfChoice::Full;
}
