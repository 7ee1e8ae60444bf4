#include "tests/linux/program_driver.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "app/main_dialog.h"
#include "platform/linux/window/controls.h"
#include "platform/linux/window/resources.h"
#include "playback/device_table.h"
#include "playback/error_box.h"
#include "playback/playback.h"
#include "playback/source_position.h"
#include "tests/linux/window_test_support.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int showState);

namespace {

const int SW_SHOWDEFAULT = 10;

}  // namespace

int RunProgram(const std::function<void()>& script, int watchdogSeconds) {
    char commandLine[] = "";
    return static_cast<int>(RunDialogWith(
        [&] { return WinMain(ProgramInstance(), nullptr, commandLine, SW_SHOWDEFAULT); }, script,
        watchdogSeconds));
}

void ResetProgram() {
    ReleasePlayback();
    playing = false;
    deviceTable = {};
    sourcePosition = {};
    dialogWindow = nullptr;
}

QString ControlText(int controlId) {
    QWidget* widget = ControlWidget(dialogWindow, controlId);
    return widget != nullptr ? WindowText(widget) : QString();
}

bool ControlEnabled(int controlId) {
    QWidget* widget = ControlWidget(dialogWindow, controlId);
    return widget != nullptr && widget->isEnabled();
}

void Click(int controlId) {
    QTest::mouseClick(ControlWidget(dialogWindow, controlId), Qt::LeftButton);
}

void PressKey(int key) {
    HWND__* dialog = FindWindowRecord(dialogWindow);
    if (dialog == nullptr) {
        ADD_FAILURE() << "no dialog to press a key in";
        return;
    }
    // After an error box the dialog becomes active again only a moment later.
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog->widget));
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : dialog->widget, static_cast<Qt::Key>(key));
}

bool DialogOpen() {
    HWND__* dialog = FindWindowRecord(dialogWindow);
    return dialog != nullptr && dialog->widget->isVisible();
}
