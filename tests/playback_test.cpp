#include <cstring>

#include "playback/device_table.h"
#include "playback/source_position.h"
#include "tests/fake.h"

namespace {

class PlaybackTest : public ProgramTest {
protected:
    static bool Start(int speakers = 0, const char* angle = "10") {
        deviceTable = {{{true, GUID{0xA1, 0, 0, {}}}}, 1};
        PlaybackChoices choices = {0, 2, speakers, {}};
        std::strncpy(choices.angleText, angle, sizeof choices.angleText - 1);
        return StartPlayback(choices);
    }
};

// A start makes every call below in order. A failure is shown while what
// was acquired is still held, which is then stopped and released in reverse;
// a failure of a call whose result is not examined (no message) lets the
// start go on.
TEST_F(PlaybackTest, StartsStepByStepAndUndoesAnyFailedStep) {
    sourcePosition = {0.5f, -1.25f, 2.0f};
    ASSERT_TRUE(Start());
    const std::string bytes = std::to_string(fake.clip.size()), format = "1/1/22050/44100/2/16/0";
    const Texts success = {
        "DirectSoundCreate(000000A1)", "device.SetCooperativeLevel(dialog, 2)",
        "device.SetSpeakerConfig(0x00000001)",
        "device.CreateSoundBuffer(alg=00000000 size=40 flags=0x11 bytes=0 reserved=0 "
        "format=none outer=none)",
        "primary.SetFormat(" + format + ")", "primary.QueryInterface(listener)",
        "FindResourceA(own, 107, 10)", "SizeofResource",
        "device.CreateSoundBuffer(alg=C2413340 size=40 flags=0x32 bytes=" + bytes +
            " reserved=0 format=" + format + " outer=none)",
        "source.Lock(0, 0, 3)", "LoadResource", "source.Unlock(" + bytes + ", 0)",
        "source.QueryInterface(3D)", "source3D.SetMinDistance(0.01, 1)",
        "source3D.SetPosition(0.500, -1.250, 2.000, 0)", "source.Play(0, 0, 1)",
    };
    EXPECT_EQ(fake.log, success);
    const Texts objects = {"device", "primary", "listener", "source", "source3D"};
    const struct {
        const char* call;
        int occurrence;
        long held;
        const char* message;
    } steps[] = {
        {"DirectSoundCreate", 1, 0, "Ошибка создания объекта устройства"},
        {"device.SetCooperativeLevel", 1, 1, "Ошибка установки уровня взаимодействия"},
        {"device.SetSpeakerConfig", 1, 1, "Ошибка установки конфигурации излучателей"},
        {"device.CreateSoundBuffer", 1, 1, "Ошибка создания первичного буфера"},
        {"primary.SetFormat", 1, 2, "Ошибка установки формата первичного буфера"},
        {"primary.QueryInterface", 1, 2, "Ошибка получения интерфейса слушателя"},
        {"device.CreateSoundBuffer", 2, 3, "Ошибка создания буфера источника"},
        {"source.Lock", 1, 4, "Ошибка доступа к буферу"},
        {"source.Unlock", 1, 4, "Ошибка снятия фиксации буфера"},
        {"source.QueryInterface", 1, 4, "Ошибка получения интерфейса источника"},
        {"source.Play", 1, 5, "Ошибка получения интерфейса источника"},
        {"source3D.SetMinDistance", 1, 5, nullptr},
        {"source3D.SetPosition", 1, 5, nullptr},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.call + std::to_string(step.occurrence));
        Reset();
        sourcePosition = {0.5f, -1.25f, 2.0f};
        fake.failName = step.call;
        fake.failOccurrence = step.occurrence;
        EXPECT_EQ(Start(), step.message == nullptr);
        auto made = success.begin();  // ends just past the failing call
        for (int seen = 0; seen < step.occurrence && made != success.end(); ++made) {
            seen += made->rfind(step.call + std::string("("), 0) == 0 ? 1 : 0;
        }
        Texts expected(success.begin(), step.message == nullptr ? success.end() : made);
        if (step.message != nullptr) {
            expected.push_back(Box(step.message + std::string(" (0x8878000A)")));
            if (step.held >= 4) expected.push_back("source.Stop()");
            for (long i = step.held - 1; i >= 0; --i) expected.push_back(objects[i] + ".Release()");
        }
        EXPECT_EQ(fake.log, expected);
    }
    // A bad stereo angle is reported only once the device is ready.
    Reset();
    EXPECT_FALSE(Start(3, "181"));
    EXPECT_EQ(fake.log, (Texts{success[0], success[1], Box("Неверный угол стереоколонок"),
                               "device.Release()"}));
}

// The clip lands in order across two regions and a buffer larger than the
// clip keeps its tail silent. Each start after a stop (twice over) creates
// everything and copies the clip anew; a missing clip still makes a buffer.
TEST_F(PlaybackTest, EachStartCopiesTheWholeClip) {
    const auto size = static_cast<DWORD>(fake.clip.size());
    fake.padding = 100;
    for (DWORD split : {DWORD{1}, size / 2, size - 1, size + 99}) {
        fake.log.clear();
        fake.lockSplit = split;
        fake.clip[split % size] ^= 0x5A;
        ASSERT_TRUE(Start());
        std::vector<BYTE> padded = fake.clip;
        padded.resize(size + 100);
        EXPECT_EQ(fake.played, padded) << split;
        EXPECT_EQ(Logged({"source.Unlock"}), Texts{"source.Unlock(" + std::to_string(split) + ", " +
                                                   std::to_string(size + 100 - split) + ")"});
        ReleasePlayback();
        ReleasePlayback();
    }
    EXPECT_EQ(fake.objects.size(), 20u);
    Reset();
    fake.clip.clear();
    Start();
    EXPECT_EQ(Logged({"device.CreateSoundBuffer(alg=C2413340 size=40 flags=0x32 bytes=0 ",
                      "source.Lock", "source.Unlock"}).size(), 3u);
}

}  // namespace
