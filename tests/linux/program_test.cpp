// The whole program (WinMain with the real dialog and both Linux layers) on
// Qt's offscreen platform, with SDL's dummy audio driver in place of a sound
// card. The executable runs under LeakSanitizer: any block lost fails a run.
#include <gtest/gtest.h>
#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/main_dialog.h"
#include "platform/linux/window/controls.h"
#include "platform/linux/window/resources.h"
#include "playback/device_table.h"
#include "playback/error_box.h"
#include "playback/playback.h"
#include "playback/source_position.h"
#include "resources/resource_ids.h"
#include "tests/linux/window_test_support.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState);

namespace {

const int CYCLES = 1000;

// Runs WinMain with script inside the dialog's loop, from the state a
// process starts in; returns its exit code.
int RunProgram(const std::function<void()>& script, int watchdogSeconds = 60) {
    ReleasePlayback();
    playing = false;
    deviceTable = {};
    sourcePosition = {};
    dialogWindow = nullptr;
    char commandLine[] = "";
    return static_cast<int>(RunDialogWith(
        [&] { return WinMain(ProgramInstance(), nullptr, commandLine, 10); }, script,
        watchdogSeconds));
}

QString ControlText(int controlId) {
    return WindowText(ControlWidget(dialogWindow, controlId));
}

void Click(int controlId) {
    QTest::mouseClick(ControlWidget(dialogWindow, controlId), Qt::LeftButton);
}

TEST(Program, StartsMovesAndStopsTheSoundThroughBothLayers) {
    EXPECT_EQ(RunProgram([] {
        Click(IDC_START);
        ASSERT_TRUE(playing);
        EXPECT_EQ(ControlText(IDC_START), QString::fromUtf8("Стоп"));
        QTest::keyClick(ControlWidget(dialogWindow, IDC_SLIDER_Y), Qt::Key_Home);
        EXPECT_EQ(ControlText(IDC_VALUE_Y), "Y= 02.00");
        Click(IDC_START);
        EXPECT_FALSE(playing);
        EXPECT_EQ(ControlText(IDC_START), QString::fromUtf8("Старт"));
        dialogWindow->widget->close();
    }), 0);
}

int OpenFileDescriptors() {
    int count = 0;
    if (DIR* directory = opendir("/proc/self/fd")) {
        while (readdir(directory) != nullptr) {
            ++count;
        }
        closedir(directory);
    }
    return count;
}

// A thousand starts and stops give back everything they take: no widgets,
// no file descriptors and no memory stay behind.
TEST(ProgramCycles, AThousandStartsAndStopsLeaveNothingBehind) {
    EXPECT_EQ(RunProgram([] {
        // One cycle first, so that what a first start sets up for good
        // (the audio subsystem, fonts) is not counted.
        Click(IDC_START);
        Click(IDC_START);
        const int widgets = QApplication::allWidgets().size();
        const int descriptors = OpenFileDescriptors();
        int started = 0;
        for (int i = 0; i < CYCLES && !playing; ++i) {
            Click(IDC_START);
            started += playing ? 1 : 0;
            Click(IDC_START);
        }
        EXPECT_EQ(started, CYCLES);
        EXPECT_EQ(QApplication::allWidgets().size(), widgets);
        EXPECT_EQ(OpenFileDescriptors(), descriptors);
        dialogWindow->widget->close();
    }, 800), 0);
}

TEST(Program, ExitsWith255AndOneLineNamingTheCauseWithoutADisplay) {
    char errors[] = "/tmp/sound3d-no-display-XXXXXX";
    const int file = mkstemp(errors);
    ASSERT_GE(file, 0);
    close(file);
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
    // The cause is the platform plugin's own first word on it.
    EXPECT_NE(lines[0].find("(could not connect to display"), std::string::npos) << lines[0];
}

}  // namespace
