#include "app/position_controls.h"
#include "resources/resource_ids.h"
#include "tests/fake.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState);

namespace {

FakeControl& Control(int id) { return fake.controls[id]; }

void MoveTo(int slider, int position) {
    Control(slider).position = position;
    Send(slider == IDC_SLIDER_X ? WM_HSCROLL : WM_VSCROLL);
}

using DialogTest = ProgramTest;

// The fake closes the dialog as soon as it is open, unless the program did.
TEST_F(DialogTest, OpensWithTheListsAndTheirDefaults) {
    fake.devices.push_back({false, GUID{}, "Основной"});
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(Logged({"Init", "Dialog", "MessageBox", "EnableWindow", "DirectSound", "EndDialog"}),
              (Texts{"InitCommonControls", "DialogBoxParamW(101, no owner)", "EndDialog(dialog, 0)"}));
    EXPECT_EQ(Control(IDC_DEVICE).items, (Texts{"Динамики", "Основной"}));
    EXPECT_EQ(Control(IDC_DEVICE).selection, 0);
    EXPECT_EQ(Control(IDC_VIRTUALIZATION).items, (Texts{"Нет", "Частичная", "Полная"}));
    EXPECT_EQ(Control(IDC_VIRTUALIZATION).text, "Полная");
    EXPECT_EQ(Control(IDC_SPEAKERS).items, (Texts{"Наушники", "Моно", "Квадроколонки",
                                                  "Стереоколонки", "Система Surround",
                                                  "Система 5point1"}));
    EXPECT_EQ(Control(IDC_SPEAKERS).text, "Наушники");
    EXPECT_EQ(Control(IDC_ANGLE).items, (Texts{"5", "10", "20", "180"}));
    EXPECT_EQ(Control(IDC_ANGLE).text, "10");
    for (int axis = 0; axis < 3; ++axis) {
        const FakeControl& slider = Control(IDC_SLIDER_X + axis);
        EXPECT_EQ(Texts({std::to_string(slider.low), std::to_string(slider.high), std::to_string(slider.position)}),
                  (Texts{"-2000", "2000", "0"}));
        EXPECT_EQ(Control(IDC_VALUE_X + axis).text, std::string(1, "XYZ"[axis]) + "= 00.00");
    }
    // Devices that cannot be listed end the program with 1.
    Reset();
    fake.enumerateResult = static_cast<HRESULT>(0x88780078);
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 1);
    EXPECT_EQ(Logged({"MessageBox", "EndDialog"}),
              (Texts{Box("Ошибка получения списка устройств (0x88780078)"), "EndDialog(dialog, 1)"}));
    EXPECT_TRUE(Control(IDC_VIRTUALIZATION).items.empty());
}

// The button shows "Жди" and the choices are disabled until a start ends,
// failed or not; focus lost with the disabled button goes back to it, and
// focus elsewhere stays where the user put it.
TEST_F(DialogTest, ButtonGoesThroughItsStates) {
    const Texts disable = {"EnableWindow(1030, 0)",    "EnableWindow(1029, 0)",
                           "EnableWindow(1027, 0)",    "EnableWindow(1037, 0)",
                           "EnableWindow(1038, 0)",    "SetWindowText(1030, Жди)",
                           "UpdateWindow(dialog)",     "DirectSoundCreate(000000A1)"};
    const Texts enable = {"EnableWindow(1029, 1)", "EnableWindow(1027, 1)",
                          "EnableWindow(1037, 1)", "EnableWindow(1038, 1)",
                          "SetWindowText(1030, Старт)", "EnableWindow(1030, 1)"};
    const Texts stop = {"EnableWindow(1030, 0)", "device.Release()"};
    const Texts started = {"SetWindowText(1030, Стоп)", "EnableWindow(1030, 1)"};
    const Texts refocus = {"WM_NEXTDLGCTL(1030)"};
    const Texts failure = {Box("Ошибка установки формата первичного буфера (0x8878000A)"),
                           "device.Release()"};
    const HWND button = ControlWindow(IDC_START), slider = ControlWindow(IDC_SLIDER_Z);
    const HWND outside = reinterpret_cast<HWND>(0x42);  // another program's window
    const struct {
        const char* failing;
        HWND focus;
        Texts expected;
    } presses[] = {
        {"", button, disable + started + refocus},
        {"", outside, stop + enable + refocus},
        {"primary.SetFormat", nullptr, disable + failure + enable + refocus},
        {"", slider, disable + started},
        {"", slider, stop + enable},
    };
    Send(WM_INITDIALOG);
    for (const auto& press : presses) {
        fake.log.clear();
        fake.failName = press.failing;
        fake.focus = press.focus;
        EXPECT_EQ(Press(IDC_START), FALSE);
        EXPECT_EQ(Logged({"EnableWindow", "SetWindowText", "UpdateWindow", "WM_NEXTDLGCTL",
                          "DirectSoundCreate", "MessageBox", "device.Release"}),
                  press.expected);
        EXPECT_EQ(playing, Alive().size() == 5);
        EXPECT_EQ(fake.focus, press.focus == slider ? slider : button);
    }
}

TEST_F(DialogTest, ClosesOnlyWhenIdleAndIgnoresOtherCommands) {
    Send(WM_INITDIALOG);
    fake.log.clear();
    EXPECT_EQ(Press(IDOK) | Press(IDC_DEVICE) | Send(0x0200 /* mouse move */), FALSE);
    EXPECT_TRUE(fake.log.empty());
    Press(IDC_START);
    EXPECT_EQ(Press(IDCANCEL), FALSE);
    Press(IDC_START);
    EXPECT_EQ(Press(IDCANCEL), TRUE);
    EXPECT_EQ(Logged({"EndDialog"}), Texts{"EndDialog(dialog, 0)"});
}

// Item i of the device list opens entry i, and the angle box is read to its
// 19th character; a selection past the table (none when no device is
// listed) opens nothing.
TEST_F(DialogTest, ChoicesReachTheDevice) {
    const struct {
        int device, algorithm, speakers;
        const char* angle;
        const char* opened;
        const char* algorithmId;
        const char* config;  // none: nothing opened
    } cases[] = {
        {0, 0, 3, "00000000000000000180", "00000000", "C241333F", "0x00120004"},
        {1, 1, 3, " 180", "default", "C2413342", "0x00B40004"},
        {2, 2, 0, "abc", "00000002", "C2413340", "0x00000001"},
        {0, 2, 1, "-5", "00000000", "C2413340", "0x00000002"},
        {0, 2, 2, "999", "00000000", "C2413340", "0x00000003"},
        {0, 2, 4, "20", "00000000", "C2413340", "0x00000005"},
        {31, 2, 5, "x", "0000001F", "C2413340", "0x00000006"},
        {32, 2, 0, "10", "", "", nullptr},
        {-1, 2, 0, "10", "", "", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.device);
        Reset();
        fake.devices = {{true, GUID{}, "a"}, {false, GUID{}, "b"}};
        for (uint32_t i = 2; i < 33; ++i) fake.devices.push_back({true, GUID{i, 0, 0, {}}, "c"});
        Send(WM_INITDIALOG);
        ASSERT_EQ(Control(IDC_DEVICE).items.size(), 32u);  // so that item i is entry i
        Control(IDC_DEVICE).selection = c.device;
        Control(IDC_VIRTUALIZATION).selection = c.algorithm;
        Control(IDC_SPEAKERS).selection = c.speakers;
        Control(IDC_ANGLE).text = c.angle;
        Press(IDC_START);
        const Texts expected =
            c.config == nullptr
                ? Texts{Box("Нет устройств вывода звука")}
                : Texts{"DirectSoundCreate(" + std::string(c.opened) + ")",
                        "device.SetSpeakerConfig(" + std::string(c.config) + ")",
                        "device.CreateSoundBuffer(alg=" + std::string(c.algorithmId)};
        EXPECT_EQ(Logged({"DirectSoundCreate", "device.SetSpeakerConfig", "MessageBox",
                          "device.CreateSoundBuffer(alg=" + std::string(c.algorithmId)}).size(),
                  expected.size());
        for (const std::string& call : expected) EXPECT_EQ(Logged({call}).size(), 1u) << call;
    }
}

// Y and Z are vertical trackbars: their readouts show the position negated.
TEST_F(DialogTest, MovesReachTheSourceOnlyWhilePlaying) {
    Send(WM_INITDIALOG);
    MoveTo(IDC_SLIDER_X, -1000);
    MoveTo(IDC_SLIDER_Y, -2000);
    EXPECT_TRUE(Logged({"source3D"}).empty());
    Press(IDC_START);
    EXPECT_EQ(Logged({"source3D.SetPosition"}),
              Texts{"source3D.SetPosition(-1.000, 2.000, 0.000, 0)"});
    fake.log.clear();
    MoveTo(IDC_SLIDER_Z, 2000);
    EXPECT_EQ(fake.log, (Texts{"SetWindowText(1034, X=-01.00)", "SetWindowText(1035, Y= 02.00)",
                               "SetWindowText(1036, Z=-02.00)",
                               "source3D.SetPosition(-1.000, 2.000, -2.000, 0)"}));
}

TEST_F(DialogTest, TrackbarIsCentredOnTheRangeItReportsBack) {
    InitPositionSlider(IDC_SLIDER_X, -1.0f, 3.0f);
    EXPECT_EQ(Control(IDC_SLIDER_X).low, -1000);
    EXPECT_EQ(Control(IDC_SLIDER_X).high, 3000);
    EXPECT_EQ(Control(IDC_SLIDER_X).position, 1000);
    InitPositionSlider(IDC_SLIDER_X, -1.0f, 0.0015f);
    EXPECT_EQ(Control(IDC_SLIDER_X).position, -499);  // (-1000 + 1) / 2 truncates
}

}  // namespace
