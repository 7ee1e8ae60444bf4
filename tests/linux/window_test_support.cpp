#include "tests/linux/window_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "platform/linux/window/dialog_window.h"

namespace {

// The result of a dialog the test had to end itself.
const INT_PTR LEFT_OPEN = -77;
const int MAX_OPEN_WINDOWS = 16;

// Ends every open message box and dialog.
void EndEverything() {
    for (int i = 0; i < MAX_OPEN_WINDOWS; ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            box->done(0);
        } else if (HWND dialog = FindWindowOfWidget(modal)) {
            EndDialog(dialog, LEFT_OPEN);
        } else {
            modal->hide();
        }
    }
}

}  // namespace

INT_PTR RunDialogWith(const std::function<INT_PTR()>& open, const std::function<void()>& script,
                      int watchdogSeconds) {
    // Timers owned by this call: they go with it should the dialog end before they fire.
    QObject call;
    QTimer::singleShot(watchdogSeconds * 1000, &call, [] {
        ADD_FAILURE() << "the dialog was still open when the watchdog fired";
        EndEverything();
    });
    QTimer::singleShot(0, &call, [&script] {
        // Keys go to the focused control only once the window is active.
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        }
        script();
        EndEverything();
    });
    return open();
}

QWidget* ControlWidget(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    return control != nullptr ? control->widget : nullptr;
}
