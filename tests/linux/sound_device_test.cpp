// The DirectSound objects on the real OpenAL Soft, played through SDL's disk
// output so that what is heard can be read back from a file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
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
const DWORD WHOLE = DSBLOCK_FROMWRITECURSOR | DSBLOCK_ENTIREBUFFER;
WAVEFORMATEX MONO = {WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};

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

HWND Dialog() {
    static int window;
    return reinterpret_cast<HWND>(&window);
}

DSBUFFERDESC Desc(DWORD flags, DWORD bytes, WAVEFORMATEX* format, const GUID& algorithm) {
    return DSBUFFERDESC{sizeof(DSBUFFERDESC), flags, bytes, 0, format, algorithm};
}
const DWORD SOURCE_FLAGS = DSBCAPS_STATIC | DSBCAPS_CTRL3D | DSBCAPS_CTRLFREQUENCY;
const DSBUFFERDESC PRIMARY = Desc(DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRL3D, 0, nullptr, GUID_NULL);

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
        ReleaseHeld(source3D);
        ReleaseHeld(source);
        ReleaseHeld(listener);
        ReleaseHeld(primary);
        ReleaseHeld(device);
    }
};

struct Placement {
    float x, y, z, minDistance;
    DWORD minDistanceApply;
};
const Placement AHEAD = {0, 0, 1, 0.01f, DS3D_DEFERRED};

// The program's start sequence; the first failing code, or DS_OK.
HRESULT Start(Playback* p, DWORD speakers, const GUID& algorithm, const Placement& at) {
    DSBUFFERDESC primary = PRIMARY, source = Desc(SOURCE_FLAGS, CLIP_BYTES, &MONO, algorithm);
    void *first = nullptr, *second = nullptr;
    DWORD firstBytes = 0, secondBytes = 0;
    HRESULT hr;
    if (FAILED(hr = DirectSoundCreate(nullptr, &p->device, nullptr)) ||
        FAILED(hr = p->device->SetCooperativeLevel(Dialog(), DSSCL_PRIORITY)) ||
        FAILED(hr = p->device->SetSpeakerConfig(speakers)) ||
        FAILED(hr = p->device->CreateSoundBuffer(&primary, &p->primary, nullptr)) ||
        FAILED(hr = p->primary->SetFormat(&MONO)) ||
        FAILED(hr = p->primary->QueryInterface(IID_IDirectSound3DListener,
                                               reinterpret_cast<void**>(&p->listener))) ||
        FAILED(hr = p->device->CreateSoundBuffer(&source, &p->source, nullptr)) ||
        FAILED(hr = p->source->Lock(0, 0, &first, &firstBytes, &second, &secondBytes, WHOLE))) {
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
std::vector<float> PlayAndRecord(DWORD speakers, const GUID& algorithm, const Placement& at) {
    const DiskOutput output("recorded");
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

TEST(SoundDevices, ListsTheDefaultFirstThenEveryOutputByItsNameBasedId) {
    const DiskOutput output("list");
    std::vector<Listed> listed;
    ASSERT_EQ(DirectSoundEnumerateA(Collect, &listed), DS_OK);
    const std::vector<SdlOutput> outputs = ListSdlOutputs();
    ASSERT_EQ(listed.size(), outputs.size() + 1);
    EXPECT_FALSE(listed[0].hasId);
    EXPECT_EQ(listed[0].description, "Primary Sound Driver");
    for (size_t i = 1; i < listed.size(); ++i) {
        EXPECT_EQ(listed[i].description, outputs[i - 1].name);
        EXPECT_TRUE(listed[i].hasId && SameGuid(listed[i].id, SdlOutputId(listed[i].description)));
        IDirectSound* device = nullptr;
        EXPECT_EQ(DirectSoundCreate(&listed[i].id, &device, nullptr), DS_OK);
        ReleaseHeld(device);
    }
    IDirectSound* device = nullptr;
    const GUID unlisted = SdlOutputId("no such output");
    EXPECT_EQ(DirectSoundCreate(&unlisted, &device, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(device, nullptr);
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

TEST(SoundDevices, CallsAnswerWithDirectSoundsCodes) {
    const DiskOutput output("codes");
    Playback p;
    ASSERT_EQ(DirectSoundCreate(nullptr, &p.device, nullptr), DS_OK);
    // Stereo takes an angle of 5 to 180 degrees in bits 16-23; nothing else takes one.
    const std::pair<DWORD, HRESULT> speakers[] = {
        {DSSPEAKER_HEADPHONE, DS_OK}, {DSSPEAKER_MONO, DS_OK}, {DSSPEAKER_QUAD, DS_OK},
        {DSSPEAKER_SURROUND, DS_OK}, {DSSPEAKER_5POINT1, DS_OK}, {0x00050004, DS_OK},
        {0x00B40004, DS_OK}, {DSSPEAKER_STEREO, DS_OK}, {0x00040004, DSERR_INVALIDPARAM},
        {0x00B50004, DSERR_INVALIDPARAM}, {0x00140001, DSERR_INVALIDPARAM}, {0, DSERR_INVALIDPARAM},
        {7, DSERR_INVALIDPARAM}, {0x00000104, DSERR_INVALIDPARAM}, {0x01000004, DSERR_INVALIDPARAM}};
    for (const auto& c : speakers) {
        EXPECT_EQ(p.device->SetSpeakerConfig(c.first), c.second) << std::hex << c.first;
    }
    static WAVEFORMATEX stereo = {WAVE_FORMAT_PCM, 2, 22050, 88200, 4, 16, 0},
                        floats = {3, 1, 22050, 44100, 2, 16, 0}, torn = {1, 1, 22050, 44100, 4, 16, 0};
    const std::pair<DSBUFFERDESC, HRESULT> buffers[] = {
        {Desc(SOURCE_FLAGS, DSBSIZE_MIN, &MONO, GUID_NULL), DS_OK},
        {Desc(SOURCE_FLAGS, 2, &MONO, DS3DALG_HRTF_LIGHT), DSERR_INVALIDPARAM},
        {Desc(SOURCE_FLAGS, 101, &MONO, DS3DALG_HRTF_FULL), DSERR_INVALIDPARAM},
        {Desc(SOURCE_FLAGS, CLIP_BYTES, nullptr, GUID_NULL), DSERR_INVALIDPARAM},
        {Desc(SOURCE_FLAGS, CLIP_BYTES, &stereo, GUID_NULL), DSERR_INVALIDPARAM},
        {Desc(DSBCAPS_STATIC, CLIP_BYTES, &stereo, GUID_NULL), DS_OK},
        {Desc(SOURCE_FLAGS, CLIP_BYTES, &floats, GUID_NULL), DSERR_BADFORMAT},
        {Desc(SOURCE_FLAGS, CLIP_BYTES, &torn, GUID_NULL), DSERR_INVALIDPARAM},
        {Desc(SOURCE_FLAGS, CLIP_BYTES, &MONO, SdlOutputId("x")), DSERR_INVALIDPARAM},
        {Desc(SOURCE_FLAGS | DSBCAPS_PRIMARYBUFFER, 4, &MONO, GUID_NULL), DSERR_INVALIDPARAM},
        {DSBUFFERDESC{12, SOURCE_FLAGS, 4, 0, &MONO, GUID_NULL}, DSERR_INVALIDPARAM},
        {DSBUFFERDESC{sizeof(DSBUFFERDESC), SOURCE_FLAGS, 4, 1, &MONO, GUID_NULL}, DSERR_INVALIDPARAM},
        {PRIMARY, DS_OK},
    };
    for (const auto& c : buffers) {
        IDirectSoundBuffer* buffer = nullptr;
        EXPECT_EQ(p.device->CreateSoundBuffer(&c.first, &buffer, nullptr), c.second)
            << c.first.dwFlags << " " << c.first.dwBufferBytes << " " << c.first.dwSize;
        EXPECT_EQ(buffer != nullptr, SUCCEEDED(c.second));
        // Playing needs a cooperative level first.
        if (buffer != nullptr && !(c.first.dwFlags & DSBCAPS_PRIMARYBUFFER)) {
            EXPECT_EQ(buffer->Play(0, 0, DSBPLAY_LOOPING), DSERR_PRIOLEVELNEEDED);
        }
        ReleaseHeld(buffer);
    }
    const std::pair<HWND, DWORD> levels[] = {{nullptr, DSSCL_PRIORITY}, {Dialog(), 0}, {Dialog(), 5}};
    for (const auto& c : levels) {
        EXPECT_EQ(p.device->SetCooperativeLevel(c.first, c.second), DSERR_INVALIDPARAM) << c.second;
    }
    EXPECT_EQ(p.device->SetCooperativeLevel(Dialog(), DSSCL_WRITEPRIMARY), DSERR_UNSUPPORTED);
}

TEST(SoundDevices, LockHandsOutTheWholeBufferAndUnlockMustMatchIt) {
    const DiskOutput output("lock");
    Playback p;
    ASSERT_EQ(Start(&p, DSSPEAKER_STEREO, DS3DALG_NO_VIRTUALIZATION, AHEAD), DS_OK);
    const DSBUFFERDESC desc = Desc(SOURCE_FLAGS, CLIP_BYTES, &MONO, GUID_NULL);
    IDirectSoundBuffer* fresh = nullptr;
    ASSERT_EQ(p.device->CreateSoundBuffer(&desc, &fresh, nullptr), DS_OK);
    EXPECT_EQ(fresh->Play(0, 0, DSBPLAY_LOOPING | 2), DSERR_INVALIDPARAM);
    void *first = nullptr, *second = Dialog();
    DWORD firstBytes = 0, secondBytes = 7;
    const DWORD refused[][3] = {{0, 0, 4}, {0, 0, 0}, {CLIP_BYTES, 2, 0}, {0, CLIP_BYTES + 2, 0}};
    for (const auto& r : refused) {
        EXPECT_EQ(fresh->Lock(r[0], r[1], &first, &firstBytes, &second, &secondBytes, r[2]),
                  DSERR_INVALIDPARAM) << r[0] << " " << r[1] << " " << r[2];
    }
    EXPECT_EQ(fresh->Lock(0, 0, nullptr, &firstBytes, nullptr, nullptr, WHOLE), DSERR_INVALIDPARAM);
    EXPECT_EQ(fresh->Unlock(first, firstBytes, nullptr, 0), DSERR_INVALIDPARAM);
    ASSERT_EQ(fresh->Lock(0, 0, &first, &firstBytes, &second, &secondBytes, WHOLE), DS_OK);
    EXPECT_EQ(firstBytes, CLIP_BYTES);
    EXPECT_EQ(second, nullptr);
    EXPECT_EQ(secondBytes, 0u);
    EXPECT_EQ(fresh->Unlock(static_cast<char*>(first) + 2, firstBytes - 2, nullptr, 0),
              DSERR_INVALIDPARAM);
    EXPECT_EQ(fresh->Unlock(first, firstBytes + 2, nullptr, 0), DSERR_INVALIDPARAM);
    // Without bytes in it the second region's address is not looked at.
    EXPECT_EQ(fresh->Unlock(first, firstBytes, Dialog(), 0), DS_OK);
    EXPECT_EQ(fresh->Unlock(first, firstBytes, nullptr, 0), DSERR_INVALIDPARAM);
    ReleaseHeld(fresh);
    // Each object answers for IUnknown and its own interfaces, and for no other.
    const struct {
        IUnknown* object;
        const IID* iid;
        HRESULT expected;
    } asked[] = {{p.device, &IID_IDirectSound, DS_OK},
                 {p.source, &IID_IUnknown, DS_OK},
                 {p.source, &IID_IDirectSoundBuffer, DS_OK},
                 {p.source, &IID_IDirectSound3DListener, E_NOINTERFACE},
                 {p.primary, &IID_IDirectSound3DBuffer, E_NOINTERFACE}};
    for (const auto& a : asked) {
        IUnknown* answer = nullptr;
        EXPECT_EQ(a.object->QueryInterface(*a.iid, reinterpret_cast<void**>(&answer)), a.expected);
        EXPECT_EQ(answer != nullptr, SUCCEEDED(a.expected));
        ReleaseHeld(answer);
    }
}

// Behind and to the right: the loudest channel tells the layout apart, and
// only HRTF delays the far (left) ear.
TEST(SoundDevices, EachSpeakerConfigurationAndAlgorithmPlaysItsOwnChannels) {
    const Placement behindRight = {1, 0, -1, 0.01f, DS3D_DEFERRED};
    const struct {
        DWORD speakers;
        const GUID* algorithm;
        int channels, loudest;
        bool hrtf;
    } cases[] = {
        {DSSPEAKER_HEADPHONE, &DS3DALG_HRTF_FULL, 2, 1, true},
        {DSSPEAKER_HEADPHONE, &DS3DALG_HRTF_LIGHT, 2, 1, true},
        {DSSPEAKER_HEADPHONE, &DS3DALG_NO_VIRTUALIZATION, 2, 1, false},
        {0x00B40004, &DS3DALG_HRTF_FULL, 2, 1, false},  // the widest speakers: both play
        {DSSPEAKER_MONO, &GUID_NULL, 1, 0, false},
        {DSSPEAKER_QUAD, &GUID_NULL, 4, 3, false},
        {DSSPEAKER_5POINT1, &GUID_NULL, 6, 5, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "speakers " << std::hex << c.speakers);
        const std::vector<float> frames = PlayAndRecord(c.speakers, *c.algorithm, behindRight);
        const double loudest = Rms(Channel(frames, c.channels, c.loudest));
        EXPECT_GT(loudest, 0.01);
        for (int other = 0; other < c.channels; ++other) {
            if (other != c.loudest) {
                EXPECT_GT(loudest, 1.5 * Rms(Channel(frames, c.channels, other))) << other;
            }
        }
        if (c.channels == 2) {
            const int lag = LagBetween(Channel(frames, 2, 1), Channel(frames, 2, 0), 48);
            const double ms = 1000.0 * lag / RENDER_RATE;
            std::printf("far ear behind the near one: %.3f ms\n", ms);
            if (c.hrtf) {
                EXPECT_GE(ms, 0.2);
            } else {
                EXPECT_EQ(lag, 0);
            }
        }
    }
}

// The level halves with each doubling of the distance past the minimum
// distance, which stays 1 unless it is set at once.
TEST(SoundDevices, OnlyAnImmediateMinimumDistanceIsApplied) {
    const double reference = Rms(PlayAndRecord(DSSPEAKER_MONO, GUID_NULL, AHEAD));
    ASSERT_GT(reference, 0.01);
    const struct {
        Placement at;
        double level;
    } cases[] = {{{0, 0, 4, 0.01f, DS3D_DEFERRED}, 0.25},
                 {{0, 0, 0.5f, 0.01f, DS3D_DEFERRED}, 1},
                 {{0, 0, 2, 0.5f, DS3D_IMMEDIATE}, 0.25},
                 {{0, 0, 1, 2.0f, DS3D_IMMEDIATE}, 1}};
    for (const auto& c : cases) {
        const double level = Rms(PlayAndRecord(DSSPEAKER_MONO, GUID_NULL, c.at)) / reference;
        std::printf("level at %.1f, minimum %.2f (%s): %.4f of the level at 1.0\n", c.at.z,
                    c.at.minDistance, c.at.minDistanceApply ? "deferred" : "immediate", level);
        EXPECT_NEAR(level, c.level, 0.05 * c.level) << c.at.z << " " << c.at.minDistance;
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
    Playback p;
    ASSERT_EQ(Start(&p, DSSPEAKER_HEADPHONE, DS3DALG_HRTF_FULL, AHEAD), DS_OK);
    ASSERT_EQ(fcntl(reader, F_SETFL, 0), 0);
    std::vector<float> heard(RENDER_RATE * 2 * 5 / 4);  // past the end of the one-second clip
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
    EXPECT_GT(Rms(std::vector<float>(heard.end() - RENDER_RATE / 5, heard.end())), 0.01);

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
