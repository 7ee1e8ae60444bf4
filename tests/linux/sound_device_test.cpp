// The DirectSound objects on the real OpenAL Soft, started by the program's
// own sequence and played through SDL's disk output, so that what is heard
// can be read back from a file. What each speaker configuration plays on a
// real sound server is heard in sound_server_test.cpp.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/sound/output_thread.h"
#include "playback/device_table.h"
#include "playback/dialog_window.h"
#include "playback/playback.h"
#include "playback/source_position.h"
#include "tests/linux/sound_measure.h"

// No start here may fail: an error box fails the test.
void MessageBox1251(HWND, const char* text, const char*, UINT) {
    ADD_FAILURE() << "error box: " << text;
}

// The clip is noise here, which measures alike whichever part of it plays.
const std::vector<int16_t> noise = NoiseClip(22050);
HRSRC FindResourceA(HMODULE, LPCSTR, LPCSTR) { return reinterpret_cast<HRSRC>(const_cast<int16_t*>(noise.data())); }
DWORD SizeofResource(HMODULE, HRSRC) { return static_cast<DWORD>(noise.size() * 2); }
HGLOBAL LoadResource(HMODULE, HRSRC resource) { return resource; }
LPVOID LockResource(HGLOBAL resource) { return resource; }

namespace {

// SDL's disk output writes into a file of this process's own (other builds
// may run these tests at the same time). Set before any thread runs: setenv
// under SDL's threads reading their hints can crash.
const struct DiskOutput {
    std::string path = testing::TempDir() + "sound3d_" + std::to_string(getpid()) + ".raw";
    DiskOutput() {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    }
    ~DiskOutput() { std::remove(path.c_str()); }
} diskOutput;

// The program's start on the default device, the source at `at`.
bool Start(int algorithm, int speakers, const char* angle, SourcePosition at) {
    static int window;
    dialogWindow = reinterpret_cast<HWND>(&window);
    deviceTable = {{{false, GUID{}}}, 1};
    sourcePosition = at;
    PlaybackChoices choices = {0, algorithm, speakers, {}};
    std::strncpy(choices.angleText, angle, sizeof choices.angleText - 1);
    return StartPlayback(choices);
}

// Plays for a while and returns the later half of what was heard.
std::vector<float> PlayAndRecord(int algorithm, int speakers, const char* angle, SourcePosition at) {
    EXPECT_TRUE(Start(algorithm, speakers, angle, at));
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    ReleasePlayback();
    WaitForOutputThread(std::chrono::seconds(5));  // the device closed: the file is complete
    std::ifstream file(diskOutput.path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<float> frames(bytes.size() / sizeof(float));
    std::memcpy(frames.data(), bytes.data(), frames.size() * sizeof(float));
    return std::vector<float>(frames.begin() + static_cast<long>(frames.size() / 2), frames.end());
}

// The program's speaker configurations: stereo takes an angle of 5 to 180
// degrees in bits 16-23; nothing else takes one.
TEST(SoundDevices, SpeakerConfigurationsFollowDirectSoundsGeometryRule) {
    IDirectSound* device = nullptr;
    ASSERT_EQ(DirectSoundCreate(nullptr, &device, nullptr), DS_OK);
    const std::pair<DWORD, HRESULT> speakers[] = {
        {DSSPEAKER_HEADPHONE, DS_OK}, {DSSPEAKER_MONO, DS_OK}, {DSSPEAKER_QUAD, DS_OK},
        {DSSPEAKER_SURROUND, DS_OK}, {DSSPEAKER_5POINT1, DS_OK}, {0x00050004, DS_OK},
        {0x00B40004, DS_OK}, {DSSPEAKER_STEREO, DS_OK}, {0x00040004, DSERR_INVALIDPARAM},
        {0x00B50004, DSERR_INVALIDPARAM}, {0x00140001, DSERR_INVALIDPARAM}, {0, DSERR_INVALIDPARAM},
        {7, DSERR_INVALIDPARAM}, {0x00000104, DSERR_INVALIDPARAM}, {0x01000004, DSERR_INVALIDPARAM}};
    for (const auto& c : speakers) {
        EXPECT_EQ(device->SetSpeakerConfig(c.first), c.second) << std::hex << c.first;
    }
    device->Release();
}

// The level halves with each doubling of the distance past the minimum
// distance, which stays 1: the program's own is handed over deferred and
// never committed.
TEST(SoundDevices, TheLevelHalvesWithEachDoublingOfTheDistanceBeyondOne) {
    const double reference = Rms(PlayAndRecord(NONE, MONO, "", {0, 0, 1}));
    ASSERT_GT(reference, 0.01);
    const struct {
        float z;
        double level;
    } cases[] = {{4, 0.25}, {0.5f, 1}};
    for (const auto& c : cases) {
        const double level = Rms(PlayAndRecord(NONE, MONO, "", {0, 0, c.z})) / reference;
        EXPECT_NEAR(level, c.level, 0.05 * c.level) << c.z;
    }
}

}  // namespace
