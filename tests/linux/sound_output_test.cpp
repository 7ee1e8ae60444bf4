// The output side without a sound server: SDL's dummy driver, or none that
// works, and the helper thread that bounds the waits on the server.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/sound/output_thread.h"
#include "platform/win32_decls.h"

namespace {

std::vector<std::string> Listed() {
    std::vector<std::string> names;
    const auto add = [](LPGUID, LPCSTR description, LPCSTR, LPVOID names) -> BOOL {
        static_cast<std::vector<std::string>*>(names)->push_back(description);
        return TRUE;
    };
    EXPECT_EQ(DirectSoundEnumerateA(add, &names), DS_OK);
    return names;
}

// Until the audio system works the default output is listed alone, and a
// start tries it again: it fails with the cause, then plays once it works.
TEST(SoundOutput, TheDefaultOutputIsListedAndTriedAgainUntilTheAudioSystemWorks) {
    setenv("SDL_AUDIODRIVER", "none-such", 1);
    EXPECT_EQ(Listed(), std::vector<std::string>{"Primary Sound Driver"});
    IDirectSound* device = nullptr;
    EXPECT_EQ(DirectSoundCreate(nullptr, &device, nullptr), DSERR_NODRIVER);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(DirectSoundCreate(nullptr, &device, nullptr), DS_OK);
    device->Release();
    EXPECT_EQ(Listed(),
              (std::vector<std::string>{"Primary Sound Driver", "System audio output device"}));
}

// A call past its limit gives the fallback at once, and its own result to
// `late` when it ends.
TEST(SoundOutput, ALateCallGivesTheFallbackAndLaterItsResult) {
    std::atomic<bool> answer{false};
    std::atomic<int> late{0};
    const auto call = [&answer] {
        while (!answer) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return 7;
    };
    EXPECT_EQ(RunOnOutputThread("a stalled call", std::chrono::milliseconds(50), call, -1,
                                [&late](int result) { late = result; }),
              -1);
    EXPECT_EQ(late, 0);
    answer = true;
    WaitForOutputThread(std::chrono::seconds(10));
    EXPECT_EQ(late, 7);
}

// Stereo speakers take an angle of 5 to 180 degrees in bits 16-23; nothing
// else takes one, and no other bits are set.
TEST(SoundOutput, SpeakerConfigurationsFollowTheGeometryRule) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    IDirectSound* device = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &device, nullptr), DS_OK);
    const DWORD taken[] = {DSSPEAKER_HEADPHONE, DSSPEAKER_MONO, DSSPEAKER_QUAD, DSSPEAKER_SURROUND,
                           DSSPEAKER_5POINT1,   0x00050004,     0x00B40004,     DSSPEAKER_STEREO};
    const DWORD refused[] = {0x00040004, 0x00B50004, 0x00140001, 0, 7, 0x00000104, 0x01000004};
    for (DWORD speakers : taken) {
        EXPECT_EQ(device->SetSpeakerConfig(speakers), DS_OK) << std::hex << speakers;
    }
    for (DWORD speakers : refused) {
        EXPECT_EQ(device->SetSpeakerConfig(speakers), DSERR_INVALIDPARAM) << std::hex << speakers;
    }
    device->Release();
}

}  // namespace
