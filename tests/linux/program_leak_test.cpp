// A thousand starts and stops give back everything they take: no widgets,
// no file descriptors and (the executable runs under LeakSanitizer) no
// memory stay behind.
#include <gtest/gtest.h>
#include <dirent.h>

#include <QApplication>

#include "app/main_dialog.h"
#include "resources/resource_ids.h"
#include "tests/linux/program_driver.h"
#include "tests/linux/window_test_support.h"

namespace {

const int CYCLES = 1000;
const int WATCHDOG_SECONDS = 800;

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

TEST(ProgramCycles, AThousandStartsAndStopsLeaveNothingBehind) {
    ResetProgram();
    const int exitCode = RunProgram([] {
        // One cycle first, so that what a first start sets up for good
        // (the audio subsystem, fonts) is not counted.
        Click(IDC_START);
        Click(IDC_START);
        const int widgets = QApplication::allWidgets().size();
        const int descriptors = OpenFileDescriptors();
        int started = 0;
        for (int i = 0; i < CYCLES; ++i) {
            Click(IDC_START);
            started += playing ? 1 : 0;
            Click(IDC_START);
            if (playing) {
                break;
            }
        }
        EXPECT_EQ(started, CYCLES);
        EXPECT_EQ(QApplication::allWidgets().size(), widgets);
        EXPECT_EQ(OpenFileDescriptors(), descriptors);
        PressKey(Qt::Key_Escape);
    }, WATCHDOG_SECONDS);
    EXPECT_EQ(exitCode, 0);
    ResetProgram();
}

}  // namespace
