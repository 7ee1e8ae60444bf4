// The suites; or, with --direct-sound-create N, one call the failure tests
// compare the program's error box with: what DirectSoundCreate returns for
// the N-th listed device under the sound output configured now, as the exit
// code.
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "alsa_output.h"

namespace {

struct DeviceSearch {
    int wanted;
    int seen;
    bool found;
    bool hasGuid;
    GUID guid;
};

BOOL CALLBACK OnDevice(LPGUID guid, LPCWSTR, LPCWSTR, LPVOID context) {
    auto* search = static_cast<DeviceSearch*>(context);
    if (search->seen++ == search->wanted) {
        search->found = true;
        search->hasGuid = guid != nullptr;
        if (guid != nullptr) {
            search->guid = *guid;
        }
        return FALSE;
    }
    return TRUE;
}

// The exit code is the HRESULT; 1 when there is no such device.
int DirectSoundCreateResult(int device) {
    DeviceSearch search = {device, 0, false, false, GUID{}};
    DirectSoundEnumerateW(&OnDevice, &search);
    if (!search.found) {
        return 1;
    }
    IDirectSound* sound = nullptr;
    const HRESULT result = DirectSoundCreate(search.hasGuid ? &search.guid : nullptr, &sound, nullptr);
    if (sound != nullptr) {
        sound->Release();
    }
    return static_cast<int>(result);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--direct-sound-create") == 0) {
        return DirectSoundCreateResult(std::atoi(argv[2]));
    }
    testing::InitGoogleTest(&argc, argv);
    const std::string missing = e2e::MissingEnvironment();
    if (!missing.empty() && !GTEST_FLAG_GET(list_tests)) {
        std::fprintf(stderr, "sound3d_e2e: run it through tests/e2e/run.sh (missing %s)\n",
                     missing.c_str());
        return 2;
    }
    return RUN_ALL_TESTS();
}
