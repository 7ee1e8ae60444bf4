#include "app/position_controls.h"
#include "playback/choices.h"
#include "playback/device_table.h"
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
TEST(DialogTest, OpensWithItsDefaults) {
    Reset();
    fake.devices.push_back({"Основной", -1});
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(Logged({"Init", "Dialog", "MessageBox", "EnableWindow", "DirectSound", "EndDialog"}),
              (Texts{"InitCommonControls", "DialogBoxParamW(101, none)", "DirectSoundEnumerateA()",
                     "EndDialog(dialog, 0)"}));
    EXPECT_EQ(Control(IDC_DEVICE).items, (Texts{"Динамики", "Основной"}));
    const std::pair<int, const char*> shown[] = {
        {IDC_DEVICE, "Динамики"}, {IDC_VIRTUALIZATION, "Полная"}, {IDC_SPEAKERS, "Наушники"},
        {IDC_ANGLE, "10"},        {IDC_VALUE_X, "X= 00.00"},      {IDC_VALUE_Y, "Y= 00.00"},
        {IDC_VALUE_Z, "Z= 00.00"}};
    for (const auto& [id, text] : shown)
        EXPECT_EQ(Control(id).text, text) << id;
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
        {"DirectSoundCreate(000000A1)", nullptr, disable + enable + refocus, false},
        {"", slider, disable + started, true},
    };
    Send(WM_INITDIALOG);
    for (const auto& press : presses) {
        fake.log.clear();
        fake.failCall = press.failing;
        fake.focus = press.focus;
        EXPECT_EQ(Press(IDC_START), FALSE);
        EXPECT_EQ(Logged({"EnableWindow", "SetWindowText", "UpdateWindow", "WM_NEXTDLGCTL",
                          "DirectSoundCreate", "device.Release"}),
                  press.expected);
        EXPECT_EQ(fake.focus, press.focus == slider ? slider : button);
        fake.log.clear();
        EXPECT_EQ(Press(IDOK) | Press(IDC_DEVICE) | Send(0x0200 /* mouse move */), FALSE);
        EXPECT_EQ(Press(IDCANCEL), !press.playing);
        EXPECT_EQ(fake.log, press.playing ? Texts{} : Texts{"EndDialog(dialog, 0)"});
    }
}

// Presses the button with these selections and this angle text. Item 0 of
// the device list has an identifier of 0 and item 1 none (the default
// device); one device more than the table holds is offered.
void StartWith(int device, int algorithm, int speakers, const char* angle) {
    Reset();
    fake.devices = {{"a", 0}, {"b", -1}};
    for (int64_t i = 2; i <= MAX_DEVICES; ++i)
        fake.devices.push_back({"c", i});
    Send(WM_INITDIALOG);
    Control(IDC_DEVICE).selection = device;
    Control(IDC_VIRTUALIZATION).selection = algorithm;
    Control(IDC_SPEAKERS).selection = speakers;
    Control(IDC_ANGLE).text = angle;
    Press(IDC_START);
}

// Item i of a list shows entry i of its table and starts the device with
// that entry's value; only stereo speakers take the angle, from the box's
// text. Item i of the device list opens the device listed i-th; a selection
// past the table (none when no device is listed) opens nothing.
TEST(DialogTest, ChoicesReachTheDevice) {
    for (int i = 0; i < ALGORITHM_CHOICE_COUNT; ++i) {
        StartWith(0, i, 0, "");
        EXPECT_EQ(Control(IDC_VIRTUALIZATION).items.at(i), AlgorithmChoices[i].text);
        const unsigned guid = AlgorithmChoices[i].algorithm->Data1;
        EXPECT_EQ(Logged({Format("device.CreateSoundBuffer(alg=%08X", guid)}).size(), 1u) << i;
    }
    EXPECT_EQ(Control(IDC_ANGLE).items, Texts(std::begin(AngleChoices), std::end(AngleChoices)));
    for (int i = 0; i < SPEAKER_CHOICE_COUNT; ++i) {
        for (const char* angle : AngleChoices) {
            StartWith(0, 0, i, angle);
            EXPECT_EQ(Control(IDC_SPEAKERS).items.at(i), SpeakerChoices[i].text);
            const unsigned config = SpeakerChoices[i].configuration;
            const unsigned value =
                config == DSSPEAKER_STEREO ? std::stoul(angle) << 16 | config : config;
            EXPECT_EQ(Logged({"device.SetSpeakerConfig"}),
                      Texts{Format("device.SetSpeakerConfig(0x%08X)", value)});
        }
    }
    const std::pair<int, const char*> devices[] = {
        {0, "00000000"}, {1, "default"}, {31, "0000001F"}, {32, nullptr}, {-1, nullptr}};
    for (const auto& [index, opened] : devices) {
        StartWith(index, 0, 0, "");
        EXPECT_EQ(Logged({"DirectSoundCreate", "MessageBox"}),
                  opened ? Texts{Format("DirectSoundCreate(%s)", opened)}
                         : Texts{Box("Нет устройств вывода звука")});
        EXPECT_EQ(playing, opened != nullptr) << index;
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
