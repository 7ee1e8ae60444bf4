#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "tests/program_test.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState);

namespace {

using Texts = std::vector<std::string>;

const int CHOICES[] = {IDC_DEVICE, IDC_VIRTUALIZATION, IDC_SPEAKERS, IDC_ANGLE};
const int SLIDERS[] = {IDC_SLIDER_X, IDC_SLIDER_Y, IDC_SLIDER_Z};

class MainDialogTest : public ProgramTest {
protected:
    static INT_PTR Send(UINT message, WPARAM wParam = 0) {
        return MainDialogProc(FakeDialog(), message, wParam, 0);
    }
    static INT_PTR Open() { return Send(WM_INITDIALOG); }
    static INT_PTR Press(int control) { return Send(WM_COMMAND, static_cast<WPARAM>(control)); }

    static FakeControl& Button() { return fake.controls[IDC_START]; }

    // The state of the controls as a user sees it.
    static void ExpectControls(const char* buttonText, bool choicesEnabled) {
        EXPECT_EQ(Button().text, buttonText);
        EXPECT_TRUE(Button().enabled);
        for (int control : CHOICES) {
            EXPECT_EQ(fake.controls[control].enabled, choicesEnabled) << control;
        }
        for (int slider : SLIDERS) {
            EXPECT_TRUE(fake.controls[slider].enabled) << slider;
        }
    }
};

TEST_F(MainDialogTest, OpensWithTheListsAndTheirDefaults) {
    fake.devices = {{true, MakeGuid(1), "Динамики"}, {false, GUID{}, "Основной"}};
    EXPECT_EQ(Open(), TRUE);
    EXPECT_EQ(dialogWindow, FakeDialog());

    EXPECT_EQ(fake.controls[IDC_DEVICE].items, (Texts{"Динамики", "Основной"}));
    EXPECT_EQ(fake.controls[IDC_DEVICE].selection, 0);
    EXPECT_EQ(fake.controls[IDC_VIRTUALIZATION].items, (Texts{"Нет", "Частичная", "Полная"}));
    EXPECT_EQ(fake.controls[IDC_VIRTUALIZATION].text, "Полная");
    const Texts speakers = {"Наушники",      "Моно",             "Квадроколонки",
                            "Стереоколонки", "Система Surround", "Система 5point1"};
    EXPECT_EQ(fake.controls[IDC_SPEAKERS].items, speakers);
    EXPECT_EQ(fake.controls[IDC_SPEAKERS].text, "Наушники");
    EXPECT_EQ(fake.controls[IDC_ANGLE].items, (Texts{"5", "10", "20", "180"}));
    EXPECT_EQ(fake.controls[IDC_ANGLE].text, "10");
    ExpectControls("Старт", true);
    EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(MainDialogTest, FailedDeviceListEndsTheDialogWithOne) {
    fake.enumerateResult = static_cast<HRESULT>(0x88780078);
    EXPECT_EQ(Open(), FALSE);
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, "Ошибка получения списка устройств (0x88780078)");
    EXPECT_TRUE(fake.dialogEnded);
    EXPECT_EQ(fake.dialogResult, 1);
    EXPECT_TRUE(fake.controls[IDC_VIRTUALIZATION].items.empty());
}

TEST_F(MainDialogTest, WinMainReturnsTheDialogResult) {
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), -1);  // never ended: no dialog
    EXPECT_EQ(fake.windowCalls[0], "InitCommonControls");
    EXPECT_EQ(fake.windowCalls[1], "DialogBoxParamW(101, no owner)");

    SetUp();
    fake.whileDialogOpen = [] { Press(IDCANCEL); };
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 0);

    SetUp();
    fake.enumerateResult = static_cast<HRESULT>(0x80004005);
    EXPECT_EQ(WinMain(nullptr, nullptr, nullptr, 0), 1);
}

TEST_F(MainDialogTest, ButtonStartsAndStopsThroughItsStates) {
    Open();
    fake.windowCalls.clear();
    EXPECT_EQ(Press(IDC_START), FALSE);
    const Texts starting = {
        "EnableWindow(1030, 0)",     "EnableWindow(1029, 0)", "EnableWindow(1027, 0)",
        "EnableWindow(1037, 0)",     "EnableWindow(1038, 0)", "SetWindowText(1030, Жди)",
        "UpdateWindow(dialog)",      "SetWindowText(1030, Стоп)", "EnableWindow(1030, 1)",
        "WM_NEXTDLGCTL(1030)",  // nothing had the focus
    };
    EXPECT_EQ(fake.windowCalls, starting);
    EXPECT_TRUE(playing);
    ExpectControls("Стоп", false);
    EXPECT_EQ(AliveObjects().size(), 5u);

    fake.windowCalls.clear();
    Press(IDC_START);
    const Texts stopping = {
        "EnableWindow(1030, 0)", "EnableWindow(1029, 1)",     "EnableWindow(1027, 1)",
        "EnableWindow(1037, 1)", "EnableWindow(1038, 1)",     "SetWindowText(1030, Старт)",
        "EnableWindow(1030, 1)", "WM_NEXTDLGCTL(1030)",
    };
    EXPECT_EQ(fake.windowCalls, stopping);
    EXPECT_FALSE(playing);
    ExpectControls("Старт", true);
    EXPECT_TRUE(AliveObjects().empty());
}

TEST_F(MainDialogTest, ChoicesAreReadFromTheControls) {
    fake.devices = {{true, MakeGuid(1), "a"}, {true, MakeGuid(2), "b"}};
    Open();
    fake.controls[IDC_DEVICE].selection = 1;
    fake.controls[IDC_VIRTUALIZATION].selection = 0;
    fake.controls[IDC_SPEAKERS].selection = 3;
    fake.controls[IDC_ANGLE].text = "00000000000000000180";  // 20 characters: 19 are read

    Press(IDC_START);

    EXPECT_EQ(fake.calls[1], "DirectSoundCreate({00000002-1234-5678-0102-030405060708})");
    EXPECT_EQ(CallsStartingWith("device.SetSpeakerConfig"),
              (Texts{"device.SetSpeakerConfig(0x00120004)"}));
    const Texts created = CallsStartingWith("device.CreateSoundBuffer");
    ASSERT_EQ(created.size(), 2u);
    EXPECT_NE(created[1].find("{C241333F-1C1B-11D2-94F5-00C04FC28ACA}"), std::string::npos);
    Press(IDC_START);
}

TEST_F(MainDialogTest, FailedStartShowsWaitThenReturnsToIdle) {
    Open();
    fake.failingOperation = "primary.SetFormat";
    fake.failure = static_cast<HRESULT>(0x88780032);
    std::string textDuringBox;
    bool choicesDisabledDuringBox = true;
    fake.onBox = [&] {
        textDuringBox = Button().text;
        for (int control : CHOICES) {
            choicesDisabledDuringBox &= !fake.controls[control].enabled;
        }
        choicesDisabledDuringBox &= !Button().enabled;
    };

    Press(IDC_START);

    EXPECT_EQ(textDuringBox, "Жди");
    EXPECT_TRUE(choicesDisabledDuringBox);
    EXPECT_FALSE(playing);
    ExpectControls("Старт", true);
    EXPECT_TRUE(AliveObjects().empty());
}

TEST_F(MainDialogTest, BadAngleLeavesTheDialogIdle) {
    Open();
    fake.controls[IDC_SPEAKERS].selection = 3;
    fake.controls[IDC_ANGLE].text = "20x";
    Press(IDC_START);
    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, "Неверный угол стереоколонок");
    ExpectControls("Старт", true);
}

TEST_F(MainDialogTest, ClosingIsRefusedWhilePlaying) {
    Open();
    Press(IDC_START);
    EXPECT_EQ(Press(IDCANCEL), FALSE);
    EXPECT_FALSE(fake.dialogEnded);
    EXPECT_EQ(Press(IDOK), FALSE);
    ExpectControls("Стоп", false);

    Press(IDC_START);
    EXPECT_EQ(Press(IDCANCEL), TRUE);
    EXPECT_TRUE(fake.dialogEnded);
    EXPECT_EQ(fake.dialogResult, 0);
}

TEST_F(MainDialogTest, OtherCommandsAndMessagesDoNothing) {
    Open();
    fake.windowCalls.clear();
    fake.calls.clear();
    EXPECT_EQ(Press(IDOK), FALSE);
    EXPECT_EQ(Press(IDC_DEVICE), FALSE);
    EXPECT_EQ(Send(0x0200 /* mouse move */), FALSE);
    EXPECT_TRUE(fake.windowCalls.empty());
    EXPECT_TRUE(fake.calls.empty());
    EXPECT_FALSE(fake.dialogEnded);
}

TEST_F(MainDialogTest, FocusReturnsToTheButtonSoEnterStartsAndStops) {
    Open();
    fake.focus = FakeControlWindow(IDC_START);
    Press(IDC_START);
    EXPECT_EQ(fake.focus, FakeControlWindow(IDC_START));
    Press(IDC_START);
    EXPECT_EQ(fake.focus, FakeControlWindow(IDC_START));

    // Focus elsewhere in the dialog is left where the user put it.
    fake.focus = FakeControlWindow(IDC_SLIDER_Z);
    Press(IDC_START);
    EXPECT_EQ(fake.focus, FakeControlWindow(IDC_SLIDER_Z));
    Press(IDC_START);
}

TEST_F(MainDialogTest, NoDeviceListedMakesStartReportIt) {
    fake.devices.clear();
    EXPECT_EQ(Open(), TRUE);
    EXPECT_TRUE(fake.controls[IDC_DEVICE].items.empty());
    EXPECT_EQ(fake.controls[IDC_DEVICE].selection, -1);
    fake.calls.clear();

    Press(IDC_START);

    ASSERT_EQ(fake.boxes.size(), 1u);
    EXPECT_EQ(fake.boxes[0].text, "Нет устройств вывода звука");
    EXPECT_TRUE(fake.calls.empty());
    EXPECT_FALSE(playing);
    ExpectControls("Старт", true);
    EXPECT_EQ(Press(IDCANCEL), TRUE);
}

}  // namespace
