// The DirectSound objects on the real OpenAL Soft, played through SDL's disk
// output so that what is heard can be read back from a file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/sound/dsound_codes.h"
#include "platform/linux/sound/output.h"
#include "tests/linux/sound_measure.h"

namespace {

const DWORD CLIP_BYTES = 44100;  // one second of the clip's format

// Points SDL's disk output at a file of its own, removed afterwards. SDL
// reads its driver once, at start, and the file name at every open.
struct DiskOutput {
    std::string path;
    explicit DiskOutput(const std::string& name)
        // Per process, since other builds may run these tests at the same time.
        : path(testing::TempDir() + "sound3d_" + std::to_string(getpid()) + "_" + name + ".raw") {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
    }
    ~DiskOutput() { std::remove(path.c_str()); }
};

HWND Dialog() {
    static int window;
    return reinterpret_cast<HWND>(&window);
}

WAVEFORMATEX ClipFormat(WORD channels = 1) {
    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = 22050;
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(2 * channels);
    format.nAvgBytesPerSec = 22050u * format.nBlockAlign;
    return format;
}

DSBUFFERDESC SourceDesc(WAVEFORMATEX* format, const GUID& algorithm) {
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRL3D | DSBCAPS_CTRLFREQUENCY;
    desc.dwBufferBytes = CLIP_BYTES;
    desc.lpwfxFormat = format;
    desc.guid3DAlgorithm = algorithm;
    return desc;
}

DSBUFFERDESC PrimaryDesc() {
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D;
    return desc;
}

template <typename Interface>
void ReleaseHeld(Interface*& object) {
    if (object != nullptr) {
        object->Release();
        object = nullptr;
    }
}

// The program's objects, acquired in its order and released in reverse.
struct Playback {
    IDirectSound* device = nullptr;
    IDirectSoundBuffer* primary = nullptr;
    IDirectSound3DListener* listener = nullptr;
    IDirectSoundBuffer* source = nullptr;
    IDirectSound3DBuffer* source3D = nullptr;

    ~Playback() { Release(); }
    void Release() {
        if (source != nullptr) {
            source->Stop();
        }
        ReleaseHeld(source3D);
        ReleaseHeld(source);
        ReleaseHeld(listener);
        ReleaseHeld(primary);
        ReleaseHeld(device);
    }
};

struct Placement {
    float x, y, z;
    float minDistance;
    DWORD minDistanceApply;
};

// The program's start sequence; the first failing code, or DS_OK.
HRESULT Start(Playback* p, DWORD speakers, const GUID& algorithm, const Placement& at) {
    HRESULT hr = DirectSoundCreate(nullptr, &p->device, nullptr);
    if (FAILED(hr) || FAILED(hr = p->device->SetCooperativeLevel(Dialog(), DSSCL_PRIORITY)) ||
        FAILED(hr = p->device->SetSpeakerConfig(speakers))) {
        return hr;
    }
    DSBUFFERDESC primary = PrimaryDesc();
    WAVEFORMATEX format = ClipFormat();
    if (FAILED(hr = p->device->CreateSoundBuffer(&primary, &p->primary, nullptr)) ||
        FAILED(hr = p->primary->SetFormat(&format)) ||
        FAILED(hr = p->primary->QueryInterface(IID_IDirectSound3DListener,
                                               reinterpret_cast<void**>(&p->listener)))) {
        return hr;
    }
    DSBUFFERDESC desc = SourceDesc(&format, algorithm);
    if (FAILED(hr = p->device->CreateSoundBuffer(&desc, &p->source, nullptr))) {
        return hr;
    }
    void* first = nullptr;
    void* second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    hr = p->source->Lock(0, 0, &first, &firstBytes, &second, &secondBytes,
                         DSBLOCK_FROMWRITECURSOR | DSBLOCK_ENTIREBUFFER);
    if (FAILED(hr)) {
        return hr;
    }
    const std::vector<int16_t> clip = NoiseClip(CLIP_BYTES / 2);
    std::memcpy(first, clip.data(), firstBytes);
    if (FAILED(hr = p->source->Unlock(first, firstBytes, second, secondBytes)) ||
        FAILED(hr = p->source->QueryInterface(IID_IDirectSound3DBuffer,
                                              reinterpret_cast<void**>(&p->source3D)))) {
        return hr;
    }
    p->source3D->SetMinDistance(at.minDistance, at.minDistanceApply);
    p->source3D->SetPosition(at.x, at.y, at.z, DS3D_IMMEDIATE);
    return p->source->Play(0, 0, DSBPLAY_LOOPING);
}

// Plays for a while and returns the later half of what reached the output.
std::vector<float> PlayAndRecord(const std::string& name, DWORD speakers, const GUID& algorithm,
                                 const Placement& at) {
    const DiskOutput output(name);
    {
        Playback playback;
        EXPECT_EQ(Start(&playback, speakers, algorithm, at), DS_OK);
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
    }
    std::ifstream file(output.path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<float> frames(bytes.size() / sizeof(float));
    std::memcpy(frames.data(), bytes.data(), frames.size() * sizeof(float));
    return std::vector<float>(frames.begin() + static_cast<long>(frames.size() / 2), frames.end());
}

const Placement AHEAD = {0, 0, 1, 0.01f, DS3D_DEFERRED};

struct Listed {
    bool hasId;
    GUID id;
    std::string description;
};

BOOL CALLBACK Collect(LPGUID id, LPCSTR description, LPCSTR, LPVOID context) {
    static_cast<std::vector<Listed>*>(context)->push_back(
        Listed{id != nullptr, id != nullptr ? *id : GUID_NULL, description});
    return TRUE;
}

TEST(SoundDevices, ListsTheDefaultFirstThenEveryOutputWithItsNameBasedId) {
    const DiskOutput output("list");
    std::vector<Listed> listed, again;
    ASSERT_EQ(DirectSoundEnumerateA(Collect, &listed), DS_OK);
    ASSERT_EQ(DirectSoundEnumerateA(Collect, &again), DS_OK);
    const std::vector<SdlOutput> outputs = ListSdlOutputs();
    ASSERT_EQ(listed.size(), outputs.size() + 1);
    EXPECT_FALSE(listed[0].hasId);
    EXPECT_EQ(listed[0].description, "Primary Sound Driver");
    for (size_t i = 1; i < listed.size(); ++i) {
        EXPECT_EQ(listed[i].description, outputs[i - 1].name);
        EXPECT_TRUE(listed[i].hasId && SameGuid(listed[i].id, SdlOutputId(listed[i].description)));
        EXPECT_TRUE(SameGuid(listed[i].id, again[i].id));
        IDirectSound* device = nullptr;
        EXPECT_EQ(DirectSoundCreate(&listed[i].id, &device, nullptr), DS_OK);
        ReleaseHeld(device);
    }
    EXPECT_FALSE(SameGuid(SdlOutputId("a"), SdlOutputId("b")));
    IDirectSound* device = nullptr;
    const GUID unlisted = SdlOutputId("no such output");
    EXPECT_EQ(DirectSoundCreate(&unlisted, &device, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(DirectSoundCreate(nullptr, &device, reinterpret_cast<IUnknown*>(Dialog())),
              DSERR_NOAGGREGATION);
    EXPECT_EQ(device, nullptr);
    int calls = 0;
    const LPDSENUMCALLBACKA stopAtFirst = [](LPGUID, LPCSTR, LPCSTR, LPVOID context) -> BOOL {
        ++*static_cast<int*>(context);
        return FALSE;
    };
    EXPECT_EQ(DirectSoundEnumerateA(stopAtFirst, &calls), DS_OK);
    EXPECT_EQ(calls, 1);
}

// Starting SDL's audio must leave the program's signals alone.
TEST(SoundDevicesDeathTest, TerminationStillEndsTheProgramOnceSoundIsUp) {
    const DiskOutput output("signals");
    EXPECT_EXIT(
        {
            DirectSoundEnumerateA([](LPGUID, LPCSTR, LPCSTR, LPVOID) -> BOOL { return TRUE; },
                                  nullptr);
            std::raise(SIGTERM);
            std::exit(0);
        },
        testing::KilledBySignal(SIGTERM), "");
}

TEST(SoundDevices, SpeakerConfigFollowsTheGeometryRule) {
    const DiskOutput output("speakers");
    Playback p;
    ASSERT_EQ(DirectSoundCreate(nullptr, &p.device, nullptr), DS_OK);
    const struct {
        DWORD value;
        HRESULT expected;
    } cases[] = {
        {DSSPEAKER_HEADPHONE, DS_OK},          {DSSPEAKER_MONO, DS_OK},
        {DSSPEAKER_QUAD, DS_OK},               {DSSPEAKER_STEREO, DS_OK},
        {DSSPEAKER_SURROUND, DS_OK},           {DSSPEAKER_5POINT1, DS_OK},
        {0x00050004, DS_OK},                   {0x00B40004, DS_OK},
        {0x00040004, DSERR_INVALIDPARAM},      {0x00010004, DSERR_INVALIDPARAM},
        {0x00B50004, DSERR_INVALIDPARAM},      {0x00140001, DSERR_INVALIDPARAM},
        {0x00140006, DSERR_INVALIDPARAM},      {0, DSERR_INVALIDPARAM},
        {7, DSERR_INVALIDPARAM},               {0x00000104, DSERR_INVALIDPARAM},
        {0x01000004, DSERR_INVALIDPARAM},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(p.device->SetSpeakerConfig(c.value), c.expected) << std::hex << c.value;
    }
    EXPECT_EQ(p.device->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DSERR_INVALIDPARAM);
}

TEST(SoundDevices, BadBufferDescriptionsGetDirectSoundsCodes) {
    const DiskOutput output("descriptions");
    Playback p;
    ASSERT_EQ(DirectSoundCreate(nullptr, &p.device, nullptr), DS_OK);
    ASSERT_EQ(p.device->SetCooperativeLevel(Dialog(), DSSCL_PRIORITY), DS_OK);
    static WAVEFORMATEX mono = ClipFormat(), stereo = ClipFormat(2), floats, torn;
    floats = torn = mono;
    floats.wFormatTag = 3;
    torn.nBlockAlign = 4;
    const struct {
        const char* what;
        void (*change)(DSBUFFERDESC*);
        HRESULT expected;
    } cases[] = {
        {"source", [](DSBUFFERDESC*) {}, DS_OK},
        {"no algorithm", [](DSBUFFERDESC* d) { d->guid3DAlgorithm = GUID_NULL; }, DS_OK},
        {"primary", [](DSBUFFERDESC* d) { *d = PrimaryDesc(); }, DS_OK},
        {"null format", [](DSBUFFERDESC* d) { d->lpwfxFormat = nullptr; }, DSERR_INVALIDPARAM},
        {"stereo 3D", [](DSBUFFERDESC* d) { d->lpwfxFormat = &stereo; }, DSERR_INVALIDPARAM},
        {"not PCM", [](DSBUFFERDESC* d) { d->lpwfxFormat = &floats; }, DSERR_BADFORMAT},
        {"torn format", [](DSBUFFERDESC* d) { d->lpwfxFormat = &torn; }, DSERR_INVALIDPARAM},
        {"algorithm", [](DSBUFFERDESC* d) { d->guid3DAlgorithm = SdlOutputId("x"); },
         DSERR_INVALIDPARAM},
        {"size 0", [](DSBUFFERDESC* d) { d->dwBufferBytes = 0; }, DSERR_INVALIDPARAM},
        {"odd size", [](DSBUFFERDESC* d) { d->dwBufferBytes = 101; }, DSERR_INVALIDPARAM},
        {"dwSize", [](DSBUFFERDESC* d) { d->dwSize = 12; }, DSERR_INVALIDPARAM},
        {"reserved", [](DSBUFFERDESC* d) { d->dwReserved = 1; }, DSERR_INVALIDPARAM},
        {"primary with a format", [](DSBUFFERDESC* d) { d->dwFlags |= DSBCAPS_PRIMARYBUFFER; },
         DSERR_INVALIDPARAM},
    };
    for (const auto& c : cases) {
        DSBUFFERDESC desc = SourceDesc(&mono, DS3DALG_HRTF_FULL);
        c.change(&desc);
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(p.device->CreateSoundBuffer(&desc, &buffer, nullptr), c.expected) << c.what;
        EXPECT_EQ(buffer != nullptr, SUCCEEDED(c.expected)) << c.what;
        ReleaseHeld(buffer);
    }
    EXPECT_EQ(p.device->CreateSoundBuffer(nullptr, &p.source, nullptr), DSERR_INVALIDPARAM);
}

TEST(SoundDevices, LockHandsOutTheBufferFromTheWriteCursorAndUnlockMustMatchIt) {
    const DiskOutput output("lock");
    Playback p;
    ASSERT_EQ(Start(&p, DSSPEAKER_STEREO, DS3DALG_NO_VIRTUALIZATION, AHEAD), DS_OK);
    WAVEFORMATEX format = ClipFormat();
    DSBUFFERDESC desc = SourceDesc(&format, GUID_NULL);
    IDirectSoundBuffer* fresh = nullptr;
    ASSERT_EQ(p.device->CreateSoundBuffer(&desc, &fresh, nullptr), DS_OK);
    void *first = nullptr, *second = Dialog();
    DWORD firstBytes = 0, secondBytes = 7;
    const DWORD whole = DSBLOCK_FROMWRITECURSOR | DSBLOCK_ENTIREBUFFER;
    const DWORD refused[][3] = {{0, 0, 4}, {0, 0, 0}, {CLIP_BYTES, 2, 0}, {0, CLIP_BYTES + 2, 0}};
    for (const auto& r : refused) {
        EXPECT_EQ(fresh->Lock(r[0], r[1], &first, &firstBytes, &second, &secondBytes, r[2]),
                  DSERR_INVALIDPARAM) << r[0] << " " << r[1] << " " << r[2];
    }
    EXPECT_EQ(fresh->Unlock(first, firstBytes, nullptr, 0), DSERR_INVALIDPARAM);
    ASSERT_EQ(fresh->Lock(0, 0, &first, &firstBytes, &second, &secondBytes, whole), DS_OK);
    EXPECT_EQ(firstBytes, CLIP_BYTES);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(secondBytes, 0u);
    EXPECT_EQ(fresh->Unlock(static_cast<char*>(first) + 2, firstBytes - 2, nullptr, 0),
              DSERR_INVALIDPARAM);
    EXPECT_EQ(fresh->Unlock(first, firstBytes + 2, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(fresh->Unlock(first, firstBytes, nullptr, 0), DS_OK);
    EXPECT_EQ(fresh->Unlock(first, firstBytes, nullptr, 0), DSERR_INVALIDPARAM);
    ReleaseHeld(fresh);
    // Stopped mid-way, the buffer is handed out from there, wrapping to its start.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    p.source->Stop();
    ASSERT_EQ(p.source->Lock(0, 0, &first, &firstBytes, &second, &secondBytes, whole), DS_OK);
    EXPECT_LT(firstBytes, CLIP_BYTES);
    EXPECT_EQ(firstBytes + secondBytes, CLIP_BYTES);
    EXPECT_EQ(static_cast<char*>(first) + firstBytes, static_cast<char*>(second) + CLIP_BYTES);
    EXPECT_EQ(p.source->Unlock(first, firstBytes, second, secondBytes), DS_OK);
    EXPECT_EQ(p.primary->Lock(0, 0, &first, &firstBytes, &second, &secondBytes, whole),
              DSERR_PRIOLEVELNEEDED);
}

TEST(SoundDevices, InterfacesAreCountedAndOutliveTheDeviceInAnyOrder) {
    const DiskOutput output("references");
    Playback p;
    ASSERT_EQ(Start(&p, DSSPEAKER_HEADPHONE, DS3DALG_HRTF_FULL, AHEAD), DS_OK);
    void* other = Dialog();
    EXPECT_EQ(p.primary->QueryInterface(IID_IDirectSound3DBuffer, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    EXPECT_EQ(p.source->QueryInterface(IID_IDirectSound3DListener, &other), E_NOINTERFACE);
    // A second primary buffer is the same one, with one more reference.
    DSBUFFERDESC primary = PrimaryDesc();
    IDirectSoundBuffer* again = nullptr;
    ASSERT_EQ(p.device->CreateSoundBuffer(&primary, &again, nullptr), DS_OK);
    EXPECT_EQ(again, p.primary);
    EXPECT_EQ(again->Release(), 2u);  // the buffer and its listener
    // The device goes first; its children still work and are given back.
    EXPECT_EQ(p.device->Release(), 0u);
    p.device = nullptr;
    EXPECT_EQ(p.source3D->SetPosition(1, 0, 0, DS3D_IMMEDIATE), DS_OK);
    EXPECT_EQ(p.source->Release(), 1u);  // the 3D interface holds the object
    p.source = nullptr;
    EXPECT_EQ(p.source3D->SetPosition(-1, 0, 0, DS3D_IMMEDIATE), DS_OK);
    EXPECT_EQ(p.listener->Release(), 1u);
    p.listener = nullptr;
    EXPECT_EQ(p.primary->Release(), 0u);
    p.primary = nullptr;
    EXPECT_EQ(p.source3D->Release(), 0u);
    p.source3D = nullptr;
}

TEST(SoundDevices, EachSpeakerConfigurationPlaysItsOwnChannels) {
    // Behind and to the right: the loudest channel tells the layout apart.
    const Placement behindRight = {1, 0, -1, 0.01f, DS3D_DEFERRED};
    const struct {
        DWORD speakers;
        int channels;
        int loudest;
    } cases[] = {{DSSPEAKER_HEADPHONE, 2, 1}, {DSSPEAKER_MONO, 1, 0},    {DSSPEAKER_QUAD, 4, 3},
                 {0x00140004, 2, 1},          {DSSPEAKER_SURROUND, 2, 1}, {DSSPEAKER_5POINT1, 6, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "speakers " << std::hex << c.speakers);
        const std::vector<float> frames =
            PlayAndRecord("layout", c.speakers, DS3DALG_NO_VIRTUALIZATION, behindRight);
        const double loudest = Rms(Channel(frames, c.channels, c.loudest));
        EXPECT_GT(loudest, 0.01);
        for (int other = 0; other < c.channels; ++other) {
            if (other != c.loudest) {
                EXPECT_GT(loudest, 1.5 * Rms(Channel(frames, c.channels, other))) << other;
            }
        }
    }
}

TEST(SoundDevices, TheAlgorithmChoosesHrtfOnHeadphonesOnly) {
    const float side = std::sqrt(0.5f);
    const Placement rightAhead = {side, 0, side, 0.01f, DS3D_DEFERRED};
    const struct {
        DWORD speakers;
        const GUID* algorithm;
        bool hrtf;
    } cases[] = {{DSSPEAKER_HEADPHONE, &DS3DALG_HRTF_FULL, true},
                 {DSSPEAKER_HEADPHONE, &DS3DALG_HRTF_LIGHT, true},
                 {DSSPEAKER_HEADPHONE, &DS3DALG_NO_VIRTUALIZATION, false},
                 {DSSPEAKER_HEADPHONE, &GUID_NULL, false},
                 // The widest speakers, so that both channels play.
                 {0x00B40004, &DS3DALG_HRTF_FULL, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "speakers " << c.speakers << " hrtf " << c.hrtf);
        const std::vector<float> frames = PlayAndRecord("algorithm", c.speakers, *c.algorithm,
                                                        rightAhead);
        const int lag = LagBetween(Channel(frames, 2, 1), Channel(frames, 2, 0), 48);
        const double ms = 1000.0 * lag / RENDER_RATE;
        std::printf("left ear behind the right at 45 degrees: %d samples, %.3f ms\n", lag, ms);
        if (c.hrtf) {
            EXPECT_GE(ms, 0.2);
        } else {
            EXPECT_EQ(lag, 0);
        }
    }
}

TEST(SoundDevices, OnlyAnImmediateMinimumDistanceIsApplied) {
    const double reference = Rms(PlayAndRecord("distance", DSSPEAKER_MONO, GUID_NULL, AHEAD));
    ASSERT_GT(reference, 0.01);
    const Placement cases[] = {{0, 0, 2, 0.01f, DS3D_DEFERRED},
                               {0, 0, 4, 0.01f, DS3D_DEFERRED},
                               {0, 0, 0.5f, 0.01f, DS3D_DEFERRED},
                               {0, 0, 2, 0.5f, DS3D_DEFERRED},
                               {0, 0, 2, 0.5f, DS3D_IMMEDIATE},
                               {0, 0, 1, 2.0f, DS3D_IMMEDIATE}};
    for (const Placement& c : cases) {
        SCOPED_TRACE(testing::Message() << "distance " << c.z << " min " << c.minDistance
                                        << " apply " << c.minDistanceApply);
        const double level = Rms(PlayAndRecord("distance", DSSPEAKER_MONO, GUID_NULL, c));
        const double minimum = c.minDistanceApply == DS3D_IMMEDIATE ? c.minDistance : 1.0;
        const double expected = std::min(1.0, minimum / c.z);
        std::printf("level at %.1f (min distance %.2f, %s): %.4f of the level at 1.0\n", c.z,
                    c.minDistance, c.minDistanceApply == DS3D_IMMEDIATE ? "immediate" : "deferred",
                    level / reference);
        EXPECT_NEAR(level / reference, expected, 0.05 * expected);
    }
}

// A FIFO whose reader goes away makes SDL's disk output fail mid-play, as an
// unplugged headset does.
TEST(SoundDevices, OutputFailingMidPlayLeavesEverythingReleasable) {
    std::signal(SIGPIPE, SIG_IGN);
    const DiskOutput output("failing");
    const std::string& fifo = output.path;
    unlink(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // Opened first, without blocking, so that the output's open finds a reader.
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    Playback p;
    ASSERT_EQ(Start(&p, DSSPEAKER_HEADPHONE, DS3DALG_HRTF_FULL, AHEAD), DS_OK);
    ASSERT_EQ(fcntl(reader, F_SETFL, 0), 0);
    std::vector<float> heard(RENDER_RATE * 2 / 2);  // half a second of stereo
    size_t got = 0;
    const size_t wanted = heard.size() * sizeof(float);
    while (got < wanted) {
        const ssize_t n = read(reader, reinterpret_cast<char*>(heard.data()) + got, wanted - got);
        if (n <= 0) {
            break;
        }
        got += static_cast<size_t>(n);
    }
    close(reader);
    EXPECT_EQ(got, wanted);
    EXPECT_GT(Rms(heard), 0.01);

    HRESULT replay = DS_OK;
    for (int tries = 0; tries < 300 && SUCCEEDED(replay); ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        replay = p.source->Play(0, 0, DSBPLAY_LOOPING);
    }
    EXPECT_EQ(replay, DSERR_NODRIVER);
    EXPECT_EQ(p.source3D->SetPosition(1, 0, 0, DS3D_IMMEDIATE), DS_OK);
    EXPECT_EQ(p.source->Stop(), DS_OK);
    p.Release();

    setenv("SDL_DISKAUDIOFILE", (testing::TempDir() + "sound3d_missing/dir/out.raw").c_str(), 1);
    IDirectSound* device = nullptr;
    EXPECT_LT(DirectSoundCreate(nullptr, &device, nullptr), 0);
    EXPECT_EQ(device, nullptr);
}

}  // namespace
