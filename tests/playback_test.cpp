#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "tests/program_test.h"

namespace {

using Calls = std::vector<std::string>;

const HRESULT DSERR_GENERIC = static_cast<HRESULT>(0x80004005);
const HRESULT DSERR_ALLOCATED = static_cast<HRESULT>(0x8878000A);

const char* const FULL_HRTF = "{C2413340-1C1B-11D2-94F5-00C04FC28ACA}";
const char* const CLIP_FORMAT = "1/1/22050/44100/2/16/0";

class PlaybackTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ListDevices({{true, MakeGuid(0xA1)}});
    }

    static PlaybackChoices Choices(int speakerIndex = 0, const char* angle = "10",
                                   int algorithmIndex = 2, int deviceIndex = 0) {
        PlaybackChoices choices = {};
        choices.deviceIndex = deviceIndex;
        choices.algorithmIndex = algorithmIndex;
        choices.speakerIndex = speakerIndex;
        std::strncpy(choices.angleText, angle, sizeof choices.angleText - 1);
        return choices;
    }

    static void FailAt(const std::string& operation, HRESULT result, int occurrence = 1) {
        fake.failingOperation = operation;
        fake.failingOccurrence = occurrence;
        fake.failure = result;
    }

    static std::vector<std::string> BoxTexts() {
        std::vector<std::string> texts;
        for (const FakeBox& box : fake.boxes) {
            texts.push_back(box.text);
        }
        return texts;
    }

    // The Stop and Release calls, in order.
    static Calls Teardown() {
        Calls teardown;
        for (const std::string& call : fake.calls) {
            if (call.find(".Release()") != std::string::npos ||
                call.find(".Stop()") != std::string::npos) {
                teardown.push_back(call);
            }
        }
        return teardown;
    }
};

TEST_F(PlaybackTest, StartMakesEveryCallWithTheRightArguments) {
    sourcePosition = {0.5f, -1.25f, 2.0f};
    ASSERT_TRUE(StartPlayback(Choices()));

    const std::string clipBytes = std::to_string(fake.clip.size());
    const Calls expected = {
        "DirectSoundCreate({000000A1-1234-5678-0102-030405060708})",
        "device.SetCooperativeLevel(dialog, 2)",
        "device.SetSpeakerConfig(0x00000001)",
        "device.CreateSoundBuffer(size=40 flags=0x11 bytes=0 reserved=0 format=none "
        "alg={00000000-0000-0000-0000-000000000000} outer=none)",
        std::string("primary.SetFormat(") + CLIP_FORMAT + ")",
        "primary.QueryInterface(IDirectSound3DListener)",
        "FindResourceA(own, 107, 10)",
        "SizeofResource",
        "device.CreateSoundBuffer(size=40 flags=0x32 bytes=" + clipBytes +
            " reserved=0 format=" + CLIP_FORMAT + " alg=" + FULL_HRTF + " outer=none)",
        "source.Lock(0, 0, 3)",
        "LoadResource",
        "source.Unlock(" + clipBytes + ", 0)",
        "source.QueryInterface(IDirectSound3DBuffer)",
        "source3D.SetMinDistance(0x3C23D70A, 1)",
        "source3D.SetPosition(0.500, -1.250, 2.000, 0)",
        "source.Play(0, 0, 1)",
    };
    EXPECT_EQ(fake.calls, expected);
    EXPECT_TRUE(fake.boxes.empty());
    EXPECT_EQ(AliveObjects(), (Calls{"device", "primary", "listener", "source", "source3D"}));
    for (const auto& object : fake.objects) {
        EXPECT_EQ(object->references, 1) << object->name;
    }
    EXPECT_EQ(fake.playedContent, fake.clip);
}

TEST_F(PlaybackTest, EachFailingStepShowsItsMessageAndReleasesInReverse) {
    const struct {
        const char* operation;
        int occurrence;
        const char* message;
        Calls held;  // what the failing start had acquired
    } steps[] = {
        {"DirectSoundCreate", 1, "Ошибка создания объекта устройства (0x80004005)", {}},
        {"device.SetCooperativeLevel", 1, "Ошибка установки уровня взаимодействия (0x80004005)",
         {"device"}},
        {"device.SetSpeakerConfig", 1, "Ошибка установки конфигурации излучателей (0x80004005)",
         {"device"}},
        {"device.CreateSoundBuffer", 1, "Ошибка создания первичного буфера (0x80004005)",
         {"device"}},
        {"primary.SetFormat", 1, "Ошибка установки формата первичного буфера (0x80004005)",
         {"device", "primary"}},
        {"primary.QueryInterface", 1, "Ошибка получения интерфейса слушателя (0x80004005)",
         {"device", "primary"}},
        {"device.CreateSoundBuffer", 2, "Ошибка создания буфера источника (0x80004005)",
         {"device", "primary", "listener"}},
        {"source.Lock", 1, "Ошибка доступа к буферу (0x80004005)",
         {"device", "primary", "listener", "source"}},
        {"source.Unlock", 1, "Ошибка снятия фиксации буфера (0x80004005)",
         {"device", "primary", "listener", "source"}},
        {"source.QueryInterface", 1, "Ошибка получения интерфейса источника (0x80004005)",
         {"device", "primary", "listener", "source"}},
        {"source.Play", 1, "Ошибка получения интерфейса источника (0x80004005)",
         {"device", "primary", "listener", "source", "source3D"}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(std::string(step.operation) + " #" + std::to_string(step.occurrence));
        SetUp();
        FailAt(step.operation, DSERR_GENERIC, step.occurrence);

        EXPECT_FALSE(StartPlayback(Choices()));

        ASSERT_EQ(fake.boxes.size(), 1u);
        EXPECT_EQ(fake.boxes[0].text, step.message);
        EXPECT_EQ(fake.boxes[0].caption, "Ошибка");
        EXPECT_EQ(fake.boxes[0].type, static_cast<UINT>(MB_ICONERROR));
        EXPECT_EQ(fake.boxes[0].owner, FakeDialog());
        // The box comes first; the objects are let go once it is closed.
        EXPECT_EQ(fake.boxes[0].aliveWhenShown, step.held);

        Calls expectedTeardown;
        const bool sourceHeld = std::find(step.held.begin(), step.held.end(), "source") !=
                                step.held.end();
        if (sourceHeld) {
            expectedTeardown.push_back("source.Stop()");
        }
        for (auto held = step.held.rbegin(); held != step.held.rend(); ++held) {
            expectedTeardown.push_back(*held + ".Release()");
        }
        EXPECT_EQ(Teardown(), expectedTeardown);
        EXPECT_TRUE(AliveObjects().empty());
        EXPECT_EQ(playbackObjects.device, nullptr);
        EXPECT_EQ(playbackObjects.source3D, nullptr);
        TearDown();
    }
}

TEST_F(PlaybackTest, UnexaminedStepsDoNotStopAStart) {
    for (const char* operation : {"source3D.SetMinDistance", "source3D.SetPosition"}) {
        SCOPED_TRACE(operation);
        SetUp();
        FailAt(operation, DSERR_GENERIC);
        EXPECT_TRUE(StartPlayback(Choices()));
        EXPECT_TRUE(fake.boxes.empty());
        EXPECT_EQ(AliveObjects().size(), 5u);
        ReleasePlayback();
        TearDown();
    }
}

TEST_F(PlaybackTest, MissingClipGoesOnToTheSourceBufferWithSizeZero) {
    fake.clip.clear();
    StartPlayback(Choices());
    const Calls created = CallsStartingWith("device.CreateSoundBuffer");
    ASSERT_EQ(created.size(), 2u);
    EXPECT_NE(created[1].find("bytes=0 "), std::string::npos) << created[1];
    EXPECT_EQ(CallsStartingWith("source.Lock").size(), 1u);
    ReleasePlayback();
}

TEST_F(PlaybackTest, ErrorCodesAreShownAsUpperCaseHex) {
    const struct {
        HRESULT code;
        const char* message;
    } cases[] = {
        {DSERR_ALLOCATED, "Ошибка создания объекта устройства (0x8878000A)"},
        {static_cast<HRESULT>(0x88780096), "Ошибка создания объекта устройства (0x88780096)"},
        {static_cast<HRESULT>(0xFFFFFFFF), "Ошибка создания объекта устройства (0xFFFFFFFF)"},
        {static_cast<HRESULT>(0x80000000), "Ошибка создания объекта устройства (0x80000000)"},
    };
    for (const auto& c : cases) {
        SetUp();
        FailAt("DirectSoundCreate", c.code);
        StartPlayback(Choices());
        ASSERT_EQ(fake.boxes.size(), 1u);
        EXPECT_EQ(fake.boxes[0].text, c.message);
    }
}

TEST_F(PlaybackTest, DeviceThatCannotBeCreatedIsTheOnlyError) {
    FailAt("DirectSoundCreate", DSERR_ALLOCATED);
    // Stereo with a bad angle: the angle must not even be looked at.
    EXPECT_FALSE(StartPlayback(Choices(3, "abc")));
    EXPECT_EQ(BoxTexts(), (Calls{"Ошибка создания объекта устройства (0x8878000A)"}));
    EXPECT_EQ(fake.calls, (Calls{"DirectSoundCreate({000000A1-1234-5678-0102-030405060708})"}));
    EXPECT_TRUE(AliveObjects().empty());
}

TEST_F(PlaybackTest, BadStereoAngleIsCheckedAfterTheDeviceIsReady) {
    EXPECT_FALSE(StartPlayback(Choices(3, "181")));
    EXPECT_EQ(BoxTexts(), (Calls{"Неверный угол стереоколонок"}));
    EXPECT_EQ(fake.boxes[0].aliveWhenShown, (Calls{"device"}));
    const Calls expected = {
        "DirectSoundCreate({000000A1-1234-5678-0102-030405060708})",
        "device.SetCooperativeLevel(dialog, 2)",
        "device.Release()",
    };
    EXPECT_EQ(fake.calls, expected);
}

TEST_F(PlaybackTest, SpeakerChoiceDecidesTheConfigurationAndTheAngleRole) {
    const struct {
        int speakerIndex;
        const char* angle;
        const char* expectedCall;
    } cases[] = {
        {3, "20", "device.SetSpeakerConfig(0x00140004)"},
        {3, " 180", "device.SetSpeakerConfig(0x00B40004)"},
        {3, "", "device.SetSpeakerConfig(0x00000004)"},
        {0, "abc", "device.SetSpeakerConfig(0x00000001)"},
        {1, "-5", "device.SetSpeakerConfig(0x00000002)"},
        {2, "999", "device.SetSpeakerConfig(0x00000003)"},
        {4, "20", "device.SetSpeakerConfig(0x00000005)"},
        {5, "x", "device.SetSpeakerConfig(0x00000006)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expectedCall);
        SetUp();
        EXPECT_TRUE(StartPlayback(Choices(c.speakerIndex, c.angle)));
        EXPECT_EQ(CallsStartingWith("device.SetSpeakerConfig"), (Calls{c.expectedCall}));
        EXPECT_TRUE(fake.boxes.empty());
        ReleasePlayback();
        TearDown();
    }
}

TEST_F(PlaybackTest, VirtualizationChoiceSelectsTheAlgorithm) {
    const char* const algorithms[] = {
        "{C241333F-1C1B-11D2-94F5-00C04FC28ACA}",
        "{C2413342-1C1B-11D2-94F5-00C04FC28ACA}",
        "{C2413340-1C1B-11D2-94F5-00C04FC28ACA}",
    };
    for (int index = 0; index < 3; ++index) {
        SetUp();
        ASSERT_TRUE(StartPlayback(Choices(0, "10", index)));
        const Calls created = CallsStartingWith("device.CreateSoundBuffer");
        ASSERT_EQ(created.size(), 2u);
        EXPECT_NE(created[1].find(std::string("alg=") + algorithms[index]), std::string::npos)
            << created[1];
        ReleasePlayback();
    }
}

TEST_F(PlaybackTest, ChosenDeviceIsOpenedByItsIdentifier) {
    ListDevices({{false, GUID{}}, {true, MakeGuid(0xC3)}});
    const struct {
        int deviceIndex;
        const char* expectedCall;
    } cases[] = {
        {0, "DirectSoundCreate({000000A1-1234-5678-0102-030405060708})"},
        {1, "DirectSoundCreate(default)"},
        {2, "DirectSoundCreate({000000C3-1234-5678-0102-030405060708})"},
    };
    for (const auto& c : cases) {
        fake.calls.clear();
        ASSERT_TRUE(StartPlayback(Choices(0, "10", 2, c.deviceIndex)));
        EXPECT_EQ(fake.calls.front(), c.expectedCall);
        ReleasePlayback();
    }
}

TEST_F(PlaybackTest, NoListedDeviceStartsNothing) {
    for (int deviceIndex : {-1, 1, 32}) {
        SetUp();
        EXPECT_FALSE(StartPlayback(Choices(0, "10", 2, deviceIndex)));
        EXPECT_EQ(BoxTexts(), (Calls{"Нет устройств вывода звука"}));
        EXPECT_TRUE(fake.calls.empty());
    }
}

TEST_F(PlaybackTest, ClipLockedInTwoRegionsLandsInOrder) {
    const auto size = static_cast<DWORD>(fake.clip.size());
    for (DWORD split : {DWORD{1}, DWORD{2}, DWORD{4097}, size / 2, size - 1}) {
        SCOPED_TRACE(split);
        SetUp();
        fake.lockSplitAt = split;
        ASSERT_TRUE(StartPlayback(Choices()));
        EXPECT_EQ(fake.playedContent, fake.clip);
        EXPECT_EQ(CallsStartingWith("source.Unlock"),
                  (Calls{"source.Unlock(" + std::to_string(split) + ", " +
                         std::to_string(size - split) + ")"}));
        ReleasePlayback();
        TearDown();
    }
}

TEST_F(PlaybackTest, StartStopStartBuildsEverythingAnew) {
    ASSERT_TRUE(StartPlayback(Choices()));
    ReleasePlayback();
    EXPECT_TRUE(AliveObjects().empty());
    const Calls firstTeardown = {"source.Stop()",    "source3D.Release()", "source.Release()",
                                 "listener.Release()", "primary.Release()", "device.Release()"};
    EXPECT_EQ(Teardown(), firstTeardown);

    fake.clip[0] ^= 0x5A;  // the second start must copy the clip again
    fake.calls.clear();
    ASSERT_TRUE(StartPlayback(Choices()));
    EXPECT_EQ(fake.objects.size(), 10u);
    EXPECT_EQ(AliveObjects().size(), 5u);
    EXPECT_EQ(CallsStartingWith("DirectSoundCreate").size(), 1u);
    EXPECT_EQ(CallsStartingWith("LoadResource").size(), 1u);
    EXPECT_EQ(fake.playedContent, fake.clip);
    ReleasePlayback();
    EXPECT_TRUE(AliveObjects().empty());
}

TEST_F(PlaybackTest, ReleaseWithNothingHeldDoesNothing) {
    ReleasePlayback();
    ReleasePlayback();
    EXPECT_TRUE(fake.calls.empty());
}

TEST(FormatMessageCode, ReplacesTheCodeAndFitsTheBuffer) {
    const struct {
        const char* format;
        uint32_t code;
        size_t size;
        const char* expected;
    } cases[] = {
        {"a (0x%X)", 0x80004005u, 64, "a (0x80004005)"},
        {"a (0x%X)", 0u, 64, "a (0x0)"},
        {"a (0x%X)", 0xABCu, 64, "a (0xABC)"},
        {"100%% (0x%X)", 1u, 64, "100% (0x1)"},
        {"no code", 7u, 64, "no code"},
        {"a (0x%X)", 0x80004005u, 8, "a (0x80"},
        {"abc", 0u, 1, ""},
        {"trailing %", 0u, 64, "trailing %"},
    };
    for (const auto& c : cases) {
        char buffer[64];
        std::memset(buffer, '#', sizeof buffer);
        FormatMessageCode(buffer, c.size, c.format, c.code);
        EXPECT_STREQ(buffer, c.expected) << c.format << " in " << c.size;
    }
}

}  // namespace
