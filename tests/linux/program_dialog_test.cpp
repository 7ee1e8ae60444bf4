// The whole program on the real window and sound layers, with SDL's dummy
// audio driver (or a failing disk driver) in place of a sound card.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QApplication>
#include <QEvent>
#include <QPushButton>
#include <QSlider>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "playback/error_box.h"
#include "resources/resource_ids.h"
#include "tests/linux/program_driver.h"
#include "tests/linux/window_test_support.h"

namespace {

const int CHOICE_CONTROLS[] = {IDC_DEVICE, IDC_VIRTUALIZATION, IDC_SPEAKERS, IDC_ANGLE};
const int TRACKBARS[] = {IDC_SLIDER_X, IDC_SLIDER_Y, IDC_SLIDER_Z};

// Records what the button showed each time it was painted.
class PaintRecorder : public QObject {
public:
    std::vector<std::pair<QString, bool>> painted;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            auto* button = static_cast<QPushButton*>(watched);
            painted.emplace_back(button->text(), button->isEnabled());
        }
        return false;
    }
};

class Program : public ::testing::Test {
protected:
    void SetUp() override { ResetProgram(); }
    void TearDown() override { ResetProgram(); }

    static void ExpectChoicesEnabled(bool enabled) {
        for (int id : CHOICE_CONTROLS) {
            EXPECT_EQ(ControlEnabled(id), enabled) << id;
        }
        for (int id : TRACKBARS) {
            EXPECT_TRUE(ControlEnabled(id)) << id;
        }
    }
};

TEST_F(Program, OpensWithTheDefaultChoicesAndTheZeroPosition) {
    const int exitCode = RunProgram([] {
        EXPECT_EQ(SendDlgItemMessageA(dialogWindow, IDC_DEVICE, CB_GETCURSEL, 0, 0), 0);
        EXPECT_FALSE(ControlText(IDC_DEVICE).isEmpty());
        const struct {
            int id;
            const char* text;
        } shown[] = {
            {IDC_VIRTUALIZATION, "Полная"}, {IDC_SPEAKERS, "Наушники"}, {IDC_ANGLE, "10"},
            {IDC_START, "Старт"},           {IDC_VALUE_X, "X= 00.00"},  {IDC_VALUE_Y, "Y= 00.00"},
            {IDC_VALUE_Z, "Z= 00.00"},
        };
        for (const auto& control : shown) {
            EXPECT_EQ(ControlText(control.id), QString::fromUtf8(control.text));
        }
        EXPECT_EQ(GetFocus(), GetDlgItem(dialogWindow, IDC_VIRTUALIZATION));
        ExpectChoicesEnabled(true);
        PressKey(Qt::Key_Escape);
    });
    EXPECT_EQ(exitCode, 0);
}

TEST_F(Program, StartsAndStopsWithItsStatesAndClosesOnlyWhenIdle) {
    const int exitCode = RunProgram([] {
        PaintRecorder recorder;
        ControlWidget(dialogWindow, IDC_START)->installEventFilter(&recorder);
        Click(IDC_START);
        ControlWidget(dialogWindow, IDC_START)->removeEventFilter(&recorder);

        // "Жди" was on screen, disabled, while the start blocked the dialog.
        const std::pair<QString, bool> waiting(QString::fromUtf8("Жди"), false);
        EXPECT_NE(std::find(recorder.painted.begin(), recorder.painted.end(), waiting),
                  recorder.painted.end());
        ASSERT_TRUE(playing);
        EXPECT_EQ(ControlText(IDC_START), QString::fromUtf8("Стоп"));
        EXPECT_TRUE(ControlEnabled(IDC_START));
        ExpectChoicesEnabled(false);

        // The trackbars still move the source.
        auto* y = qobject_cast<QSlider*>(ControlWidget(dialogWindow, IDC_SLIDER_Y));
        y->setFocus();
        PressKey(Qt::Key_Home);
        EXPECT_EQ(ControlText(IDC_VALUE_Y), "Y= 02.00");

        const std::function<void()> closes[] = {
            [] { PressKey(Qt::Key_Escape); },
            [] { dialogWindow->widget->close(); },  // the close button, Alt+F4
        };
        for (const auto& close : closes) {
            close();
            EXPECT_TRUE(DialogOpen()) << "closed while playing";
        }

        // Enter on the focused button stops: the focus came back to it.
        SendMessageA(dialogWindow, WM_NEXTDLGCTL,
                     reinterpret_cast<WPARAM>(GetDlgItem(dialogWindow, IDC_START)), TRUE);
        PressKey(Qt::Key_Return);
        EXPECT_FALSE(playing);
        EXPECT_EQ(ControlText(IDC_START), QString::fromUtf8("Старт"));
        EXPECT_EQ(GetFocus(), GetDlgItem(dialogWindow, IDC_START));
        ExpectChoicesEnabled(true);
        dialogWindow->widget->close();
    });
    EXPECT_EQ(exitCode, 0);
}

TEST_F(Program, ExitsWith255AndOneLineWithoutADisplay) {
    char errors[] = "/tmp/sound3d-no-display-XXXXXX";
    const int file = mkstemp(errors);
    ASSERT_GE(file, 0);
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb '" +
                                std::string(SOUND3D_PROGRAM_PATH) + "' 2>" + errors;
    const int status = std::system(command.c_str());
    std::ifstream stream(errors);
    std::vector<std::string> lines;
    for (std::string line; std::getline(stream, line);) {
        lines.push_back(line);
    }
    std::remove(errors);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 255);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("sound3d: ", 0), 0u) << lines[0];
}

// Run with SDL's disk driver writing into a directory that does not exist,
// so the device cannot be opened.
TEST(ProgramNoDevice, ShowsTheDeviceErrorAndStaysIdleAndUsable) {
    if (std::getenv("SDL_DISKAUDIOFILE") == nullptr) {
        GTEST_SKIP() << "needs SDL_AUDIODRIVER=disk and SDL_DISKAUDIOFILE in a missing directory";
    }
    ResetProgram();
    const int exitCode = RunProgram([] {
        bool shown = false;
        AnswerNextMessageBox([&](QMessageBox& box) {
            shown = true;
            EXPECT_EQ(box.windowTitle(), QString::fromUtf8("Ошибка"));
            EXPECT_TRUE(box.text().startsWith(QString::fromUtf8(
                "Ошибка создания объекта устройства (0x")))
                << box.text().toStdString();
            EXPECT_EQ(box.icon(), QMessageBox::Critical);
            EXPECT_EQ(ControlText(IDC_START), QString::fromUtf8("Жди"));
        });
        Click(IDC_START);
        EXPECT_TRUE(shown);
        EXPECT_FALSE(playing);
        EXPECT_EQ(ControlText(IDC_START), QString::fromUtf8("Старт"));
        EXPECT_TRUE(ControlEnabled(IDC_START));
        for (int id : CHOICE_CONTROLS) {
            EXPECT_TRUE(ControlEnabled(id)) << id;
        }
        PressKey(Qt::Key_Escape);
    });
    EXPECT_EQ(exitCode, 0);
    ResetProgram();
}

}  // namespace
