// The whole program (WinMain with the real dialog and both Linux layers) on
// Qt's offscreen platform, with SDL's dummy audio driver in place of a sound
// card. The executable runs under LeakSanitizer: any block lost fails a run.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <iterator>

#include "app/main_dialog.h"
#include "platform/linux/resources.h"
#include "playback/dialog_window.h"
#include "resources/resource_ids.h"
#include "tests/linux/window_test_support.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState);

namespace {

const int CYCLES = 1000;

void Click(int controlId) {
    QTest::mouseClick(ControlWidget(dialogWindow, controlId), Qt::LeftButton);
}

long OpenFileDescriptors() {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
}

// A thousand starts and stops give back everything they take: no widgets,
// no file descriptors and no memory stay behind.
TEST(ProgramCycles, AThousandStartsAndStopsLeaveNothingBehind) {
    char commandLine[] = "";
    const auto program = [&] { return WinMain(ProgramInstance(), nullptr, commandLine, 10); };
    EXPECT_EQ(RunDialogWith(
                  program,
                  [] {
                      // A failed start's error box is closed at once and ends the cycles.
                      QTimer boxes;
                      QObject::connect(&boxes, &QTimer::timeout, [] {
                          const std::string shown = CloseMessageBox();
                          EXPECT_EQ(shown, "");
                      });
                      boxes.start(100);
                      // One cycle first, so that what a first start sets up for good
                      // (the audio subsystem, fonts) is not counted.
                      Click(IDC_START);
                      Click(IDC_START);
                      const int widgets = QApplication::allWidgets().size();
                      const long descriptors = OpenFileDescriptors();
                      int started = 0;
                      for (int i = 0; i < CYCLES && !playing; ++i) {
                          Click(IDC_START);
                          if (!playing) {
                              break;
                          }
                          ++started;
                          Click(IDC_START);
                      }
                      EXPECT_EQ(started, CYCLES);
                      EXPECT_EQ(QApplication::allWidgets().size(), widgets);
                      EXPECT_EQ(OpenFileDescriptors(), descriptors);
                      dialogWindow->widget->close();
                  },
                  800),
              0);
}

}  // namespace
