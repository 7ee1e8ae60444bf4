#include "tests/linux/window_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace {

const int MAX_OPEN_WINDOWS = 16;

// Ends every open message box and dialog; a dialog so ended returns -1.
void EndEverything() {
    for (int i = 0; i < MAX_OPEN_WINDOWS; ++i) {
        if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            modal->done(0);
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

std::string CloseMessageBox() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
        return std::string();
    }
    box->done(0);
    return box->text().toStdString();
}

QWidget* ControlWidget(HWND dialog, int controlId) { return GetDlgItem(dialog, controlId)->widget; }
