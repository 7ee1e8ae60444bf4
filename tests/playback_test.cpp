#include "playback/device_table.h"
#include "playback/source_position.h"
#include "tests/fake.h"

namespace {

// The angle is out of range, which matters only for stereo speakers (3).
bool Start(int speakers = 0) {
    deviceTable = {{{true, GUID{0xA1, 0, 0, {}}}}, 1};
    sourcePosition = {0.5f, -1.25f, 2.0f};
    return StartPlayback({0, 2, speakers, "181"});
}

// A start makes these calls in order. A failure is shown while what was
// acquired is still held, which is then stopped and released in reverse; a
// failure of a call whose result is not examined ("") lets the start go on.
TEST(PlaybackTest, StartsStepByStepAndUndoesAnyFailedStep) {
    Reset();
    const std::string format = "1/1/22050/44100/2/16/0", bytes = std::to_string(fake.clip.size());
    const std::string rest = std::to_string(fake.clip.size() + SPARE_BYTES - fake.lockSplit);
    const struct {
        std::string call;
        const char *message, *made;
    } calls[] = {
        {"DirectSoundCreate(000000A1)", "Ошибка создания объекта устройства", "device"},
        {"device.SetCooperativeLevel(dialog, 2)", "Ошибка установки уровня взаимодействия", ""},
        {"device.SetSpeakerConfig(0x00000001)", "Ошибка установки конфигурации излучателей", ""},
        {"device.CreateSoundBuffer(alg=00000000 size=40 flags=0x11 bytes=0 reserved=0 "
         "format=none outer=none)",
         "Ошибка создания первичного буфера", "primary"},
        {"primary.SetFormat(" + format + ")", "Ошибка установки формата первичного буфера", ""},
        {"primary.QueryInterface(listener)", "Ошибка получения интерфейса слушателя", "listener"},
        {"device.CreateSoundBuffer(alg=C2413340 size=40 flags=0x32 bytes=" + bytes +
             " reserved=0 format=" + format + " outer=none)",
         "Ошибка создания буфера источника", "source"},
        {"source.Lock(0, 0, 3)", "Ошибка доступа к буферу", ""},
        {"source.Unlock(1000, " + rest + ")", "Ошибка снятия фиксации буфера", ""},
        {"source.QueryInterface(3D)", "Ошибка получения интерфейса источника", "source3D"},
        {"source3D.SetMinDistance(0.01, 1)", "", ""},
        {"source3D.SetPosition(0.500, -1.250, 2.000, 0)", "", ""},
        {"source.Play(0, 0, 1)", "Ошибка получения интерфейса источника", ""},
    };
    Texts success;
    for (const auto& c : calls)
        success.push_back(c.call);
    for (size_t i = 0; i < std::size(calls); ++i) {
        Reset();
        fake.failCall = calls[i].call;
        const bool shown = *calls[i].message != '\0';
        EXPECT_EQ(Start(), !shown);
        ReleasePlayback();  // the stop; after a failure, nothing is left
        Texts expected(success.begin(), shown ? success.begin() + i + 1 : success.end());
        if (shown)
            expected.push_back(Box(calls[i].message + std::string(" (0x8878000A)")));
        const size_t undo = expected.size();
        for (size_t j = shown ? i : std::size(calls); j-- > 0;) {  // the objects held
            const std::string made = calls[j].made;
            if (made == "source")
                expected.insert(expected.begin() + undo, "source.Stop()");
            if (!made.empty())
                expected.push_back(made + ".Release()");
        }
        EXPECT_EQ(fake.log, expected) << calls[i].call;
    }
    // A bad stereo angle is reported only once the device is ready.
    Reset();
    EXPECT_FALSE(Start(3));
    EXPECT_EQ(fake.log, (Texts{success[0], success[1], Box("Неверный угол стереоколонок"),
                               "device.Release()"}));
}

// The clip lands in order across two regions, or in one, and the buffer's
// spare tail stays silent.
TEST(PlaybackTest, CopiesTheWholeClip) {
    Reset();
    std::vector<BYTE> padded = fake.clip;
    padded.resize(padded.size() + SPARE_BYTES);
    for (size_t split : {size_t{1}, padded.size() - 1, padded.size()}) {
        Reset();
        fake.lockSplit = static_cast<DWORD>(split);
        ASSERT_TRUE(Start());
        EXPECT_EQ(fake.played, padded) << split;
    }
}

}  // namespace
