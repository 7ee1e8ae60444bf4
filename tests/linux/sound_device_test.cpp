// The DirectSound objects on the real OpenAL Soft, started by the program's
// own sequence and played through SDL's disk output, so that what is heard
// can be read back from a file. What each speaker configuration plays on a
// real sound server is heard in sound_server_test.cpp.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/sound/dsound_codes.h"
#include "playback/device_table.h"
#include "playback/error_box.h"
#include "playback/playback.h"
#include "playback/source_position.h"
#include "tests/linux/sound_measure.h"

namespace {

// Points SDL's disk output at a file of this process's own (other builds may
// run these tests at the same time). SDL reads the name at every open.
struct DiskOutput {
    std::string path;
    explicit DiskOutput(const std::string& name)
        : path(testing::TempDir() + "sound3d_" + std::to_string(getpid()) + "_" + name + ".raw") {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    }
    ~DiskOutput() { std::remove(path.c_str()); }
};

// The program's start on the default device, the source at `at`.
bool Start(int algorithm, int speakers, const char* angle, SourcePosition at) {
    static int window;
    dialogWindow = reinterpret_cast<HWND>(&window);
    deviceTable = {{{false, GUID_NULL}}, 1};
    sourcePosition = at;
    PlaybackChoices choices = {0, algorithm, speakers, {}};
    std::strncpy(choices.angleText, angle, sizeof choices.angleText - 1);
    void* bytes = nullptr;
    DWORD size = 0;
    if (!StartPlayback(choices) || FAILED(playbackObjects.sourceBuffer->Lock(
                                       0, 0, &bytes, &size, nullptr, nullptr, DSBLOCK_ENTIREBUFFER))) {
        return false;
    }
    // Noise in place of the clip measures alike whichever part of it plays.
    const std::vector<int16_t> noise = NoiseClip(size / 2);
    std::memcpy(bytes, noise.data(), noise.size() * 2);
    return SUCCEEDED(playbackObjects.sourceBuffer->Unlock(bytes, size, nullptr, 0));
}

// Plays for a while and returns the later half of what was heard.
std::vector<float> PlayAndRecord(int algorithm, int speakers, const char* angle, SourcePosition at,
                                 float minDistance = 0) {
    const DiskOutput output("recorded");
    EXPECT_TRUE(Start(algorithm, speakers, angle, at));
    if (minDistance > 0) {
        EXPECT_EQ(playbackObjects.source3D->SetMinDistance(minDistance, DS3D_IMMEDIATE), DS_OK);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    ReleasePlayback();
    std::ifstream file(output.path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<float> frames(bytes.size() / sizeof(float));
    std::memcpy(frames.data(), bytes.data(), frames.size() * sizeof(float));
    return std::vector<float>(frames.begin() + static_cast<long>(frames.size() / 2), frames.end());
}

// The program's speaker configurations: stereo takes an angle of 5 to 180
// degrees in bits 16-23; nothing else takes one.
TEST(SoundDevices, SpeakerConfigurationsFollowDirectSoundsGeometryRule) {
    const DiskOutput output("speakers");
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
// distance, which stays 1 unless it is set at once.
TEST(SoundDevices, OnlyAnImmediateMinimumDistanceIsApplied) {
    const double reference = Rms(PlayAndRecord(NONE, MONO, "", {0, 0, 1}));
    ASSERT_GT(reference, 0.01);
    const struct {
        float z, minDistance;
        double level;
    } cases[] = {{4, 0, 0.25}, {0.5f, 0, 1}, {2, 0.5f, 0.25}, {1, 2, 1}};
    for (const auto& c : cases) {
        const double level = Rms(PlayAndRecord(NONE, MONO, "", {0, 0, c.z}, c.minDistance)) / reference;
        EXPECT_NEAR(level, c.level, 0.05 * c.level) << c.z << " " << c.minDistance;
    }
}

// A FIFO whose reader goes away makes SDL's disk output fail mid-play, as an
// unplugged headset does. Until then the buffer plays over and over.
TEST(SoundDevices, OutputFailingMidPlayLeavesEverythingReleasable) {
    std::signal(SIGPIPE, SIG_IGN);
    const DiskOutput output("failing");
    unlink(output.path.c_str());
    ASSERT_EQ(mkfifo(output.path.c_str(), 0600), 0);
    // Opened first, without blocking, so that the output's open finds a reader.
    const int reader = open(output.path.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    ASSERT_TRUE(Start(FULL, HEADPHONES, "", {0, 0, 1}));
    ASSERT_EQ(fcntl(reader, F_SETFL, 0), 0);
    std::vector<float> heard(RENDER_RATE * 2 * 5 / 4);  // past the end of the one-second clip
    FILE* in = fdopen(reader, "rb");
    EXPECT_EQ(std::fread(heard.data(), sizeof(float), heard.size(), in), heard.size());
    std::fclose(in);
    EXPECT_GT(Rms(std::vector<float>(heard.end() - RENDER_RATE / 5, heard.end())), 0.01);

    HRESULT replay = DS_OK;
    for (int tries = 0; tries < 300 && SUCCEEDED(replay); ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        replay = playbackObjects.sourceBuffer->Play(0, 0, DSBPLAY_LOOPING);
    }
    EXPECT_EQ(replay, DSERR_NODRIVER);
    EXPECT_EQ(playbackObjects.source3D->SetPosition(1, 0, 0, DS3D_IMMEDIATE), DS_OK);
    EXPECT_EQ(playbackObjects.sourceBuffer->Stop(), DS_OK);
    ReleasePlayback();

    setenv("SDL_DISKAUDIOFILE", (testing::TempDir() + "sound3d_missing/dir/out.raw").c_str(), 1);
    IDirectSound* device = nullptr;
    EXPECT_LT(DirectSoundCreate(nullptr, &device, nullptr), 0);
    EXPECT_EQ(device, nullptr);
}

}  // namespace
