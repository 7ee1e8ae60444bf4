#include "app/position_controls.h"
#include "resources/resource_ids.h"
#include "tests/fake.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState);

namespace {

FakeControl& Control(int id) { return fake.controls[id]; }

Texts operator+(Texts a, const Texts& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The fake closes the dialog as soon as it is open, unless the program did.
TEST(DialogTest, OpensWithTheListsAndTheirDefaults) {
    Reset();
    fake.devices.push_back({"Основной", -1});
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(Logged({"Init", "Dialog", "MessageBox", "EnableWindow", "DirectSound", "EndDialog"}),
              (Texts{"InitCommonControls", "DialogBoxParamW(101, none)", "DirectSoundEnumerateA()",
                     "EndDialog(dialog, 0)"}));
    Texts shown;  // each control's items, then its text after '>'
    for (int id : {IDC_DEVICE, IDC_VIRTUALIZATION, IDC_SPEAKERS, IDC_ANGLE, IDC_VALUE_X,
                   IDC_VALUE_Y, IDC_VALUE_Z})
        shown = shown + Control(id).items + Texts{">" + Control(id).text};
    EXPECT_EQ(shown, (Texts{"Динамики",
                            "Основной",
                            ">Динамики",
                            "Нет",
                            "Частичная",
                            "Полная",
                            ">Полная",
                            "Наушники",
                            "Моно",
                            "Квадроколонки",
                            "Стереоколонки",
                            "Система Surround",
                            "Система 5point1",
                            ">Наушники",
                            "5",
                            "10",
                            "20",
                            "180",
                            ">10",
                            ">X= 00.00",
                            ">Y= 00.00",
                            ">Z= 00.00"}));
    for (int id = IDC_SLIDER_X; id <= IDC_SLIDER_Z; ++id) {
        const FakeControl& c = Control(id);
        EXPECT_EQ(std::make_tuple(c.low, c.position, c.high), std::make_tuple(-2000, 0, 2000));
    }
    // Devices that cannot be listed end the program with 1.
    Reset();
    fake.failCall = "DirectSoundEnumerateA()";
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 1);
    EXPECT_EQ(
        Logged({"MessageBox", "EndDialog"}),
        (Texts{Box("Ошибка получения списка устройств (0x8878000A)"), "EndDialog(dialog, 1)"}));
    EXPECT_TRUE(Control(IDC_VIRTUALIZATION).items.empty());
}

// The button shows "Жди" and the choices are disabled until a start ends,
// failed or not; the dialog closes only when idle. Focus lost with the
// disabled button, or outside the dialog, goes back to the button; focus
// elsewhere in it stays where the user put it.
TEST(DialogTest, ButtonGoesThroughItsStates) {
    Reset();
    const Texts disable = {"EnableWindow(1030, 0)", "EnableWindow(1029, 0)",
                           "EnableWindow(1027, 0)", "EnableWindow(1037, 0)",
                           "EnableWindow(1038, 0)", "SetWindowText(1030, Жди)",
                           "UpdateWindow(dialog)",  "DirectSoundCreate(000000A1)"};
    const Texts enable = {"EnableWindow(1029, 1)",      "EnableWindow(1027, 1)",
                          "EnableWindow(1037, 1)",      "EnableWindow(1038, 1)",
                          "SetWindowText(1030, Старт)", "EnableWindow(1030, 1)"};
    const Texts stop = {"EnableWindow(1030, 0)", "device.Release()"};
    const Texts started = {"SetWindowText(1030, Стоп)", "EnableWindow(1030, 1)"};
    const Texts failed = {Box("Ошибка создания объекта устройства (0x8878000A)")};
    const Texts refocus = {"WM_NEXTDLGCTL(1030)"};
    const HWND button = GetDlgItem(FakeDialog(), IDC_START);
    const HWND slider = GetDlgItem(FakeDialog(), IDC_SLIDER_Z);
    const HWND outside = reinterpret_cast<HWND>(0x42);  // another program's window
    const struct {
        const char* failing;
        HWND focus;
        Texts expected;
        bool playing;
    } presses[] = {
        {"", button, disable + started + refocus, true},
        {"", outside, stop + enable + refocus, false},
        {"DirectSoundCreate(000000A1)", nullptr, disable + failed + enable + refocus, false},
        {"", slider, disable + started, true},
    };
    Send(WM_INITDIALOG);
    for (const auto& press : presses) {
        fake.log.clear();
        fake.failCall = press.failing;
        fake.focus = press.focus;
        EXPECT_EQ(Press(IDC_START), FALSE);
        EXPECT_EQ(Logged({"EnableWindow", "SetWindowText", "UpdateWindow", "WM_NEXTDLGCTL",
                          "DirectSoundCreate", "MessageBox", "device.Release"}),
                  press.expected);
        EXPECT_EQ(fake.focus, press.focus == slider ? slider : button);
        fake.log.clear();
        EXPECT_EQ(Press(IDOK) | Press(IDC_DEVICE) | Send(0x0200 /* mouse move */), FALSE);
        EXPECT_EQ(Press(IDCANCEL), !press.playing);
        EXPECT_EQ(fake.log, press.playing ? Texts{} : Texts{"EndDialog(dialog, 0)"});
    }
}

// Item i of the device list opens entry i, and the angle box is read to its
// 19th character; a selection past the table (none when no device is
// listed) opens nothing.
TEST(DialogTest, ChoicesReachTheDevice) {
    const struct {
        int device, algorithm, speakers;
        const char *angle, *opened, *config, *guid;
    } cases[] = {
        {0, 0, 3, "00000000000000000180", "00000000", "0x00120004", "C241333F"},
        {1, 1, 0, "abc", "default", "0x00000001", "C2413342"},
        {2, 2, 1, "", "00000002", "0x00000002", "C2413340"},
        {0, 2, 2, "", "00000000", "0x00000003", "C2413340"},
        {0, 2, 4, "", "00000000", "0x00000005", "C2413340"},
        {31, 2, 5, "", "0000001F", "0x00000006", "C2413340"},
        {32, 2, 0, "10", nullptr, "", ""},
        {-1, 2, 0, "10", nullptr, "", ""},
    };
    for (const auto& c : cases) {
        Reset();
        fake.devices = {{"a", 0}, {"b", -1}};
        for (int64_t i = 2; i < 33; ++i)
            fake.devices.push_back({"c", i});
        Send(WM_INITDIALOG);
        Control(IDC_DEVICE).selection = c.device;
        Control(IDC_VIRTUALIZATION).selection = c.algorithm;
        Control(IDC_SPEAKERS).selection = c.speakers;
        Control(IDC_ANGLE).text = c.angle;
        Press(IDC_START);
        const std::string algorithm = "device.CreateSoundBuffer(alg=" + std::string(c.guid);
        const Texts opened = {"DirectSoundCreate(" + std::string(c.opened ? c.opened : "") + ")",
                              "device.SetSpeakerConfig(" + std::string(c.config) + ")"};
        EXPECT_EQ(Logged({"DirectSoundCreate", "device.SetSpeakerConfig", "MessageBox"}),
                  c.opened ? opened : Texts{Box("Нет устройств вывода звука")})
            << c.device;
        EXPECT_EQ(Logged({algorithm}).size(), c.opened ? 1u : 0u);
    }
}

// Y and Z are vertical trackbars: their readouts show the position negated.
// A trackbar is centred on the range it reports back.
TEST(DialogTest, TrackbarsMoveTheSource) {
    Reset();
    Send(WM_INITDIALOG);
    Control(IDC_SLIDER_X).position = -1000;
    Control(IDC_SLIDER_Y).position = -2000;
    Send(WM_HSCROLL);
    Press(IDC_START);
    EXPECT_EQ(Logged({"source3D.SetPosition"}),
              Texts{"source3D.SetPosition(-1.000, 2.000, 0.000, 0)"});
    fake.log.clear();
    Control(IDC_SLIDER_Z).position = 2000;
    Send(WM_VSCROLL);
    EXPECT_EQ(fake.log, (Texts{"SetWindowText(1034, X=-01.00)", "SetWindowText(1035, Y= 02.00)",
                               "SetWindowText(1036, Z=-02.00)",
                               "source3D.SetPosition(-1.000, 2.000, -2.000, 0)"}));
    InitPositionSlider(IDC_SLIDER_X, -1.0f, 3.0f);
    EXPECT_EQ(Control(IDC_SLIDER_X).position, 1000);
}

}  // namespace
