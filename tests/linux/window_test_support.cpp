#include "tests/linux/window_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QAbstractButton>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

const int MESSAGE_BOX_POLL_MILLISECONDS = 10;
const int MESSAGE_BOX_TRIES = 1000;
const int MAX_OPEN_WINDOWS = 16;

void AnswerWhenShown(const std::shared_ptr<std::function<void(QMessageBox&)>>& inspect, int tries) {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) {
        if (tries == 0) {
            ADD_FAILURE() << "no message box was shown";
            return;
        }
        QTimer::singleShot(MESSAGE_BOX_POLL_MILLISECONDS,
                           [inspect, tries] { AnswerWhenShown(inspect, tries - 1); });
        return;
    }
    (*inspect)(*box);
    if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
        ok->click();
    } else {
        box->done(0);
    }
}

}  // namespace

INT_PTR RunDialogWith(const std::function<INT_PTR()>& open, const std::function<void()>& script,
                      int watchdogSeconds) {
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] {
        ADD_FAILURE() << "the dialog was still open when the watchdog fired";
        EndEverything(LEFT_OPEN);
    });
    watchdog.start(watchdogSeconds * 1000);
    QTimer step;
    step.setSingleShot(true);
    QObject::connect(&step, &QTimer::timeout, [&script] {
        // Keys go to the focused control only once the window is active.
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        }
        script();
        EndEverything(LEFT_OPEN);
    });
    step.start(0);
    return open();
}

void AnswerNextMessageBox(std::function<void(QMessageBox&)> inspect) {
    auto shared = std::make_shared<std::function<void(QMessageBox&)>>(std::move(inspect));
    QTimer::singleShot(0, [shared] { AnswerWhenShown(shared, MESSAGE_BOX_TRIES); });
}

void EndEverything(INT_PTR result) {
    for (int i = 0; i < MAX_OPEN_WINDOWS; ++i) {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            box->done(0);
        } else if (HWND dialog = FindWindowOfWidget(modal)) {
            EndDialog(dialog, result);
        } else {
            modal->hide();
        }
    }
}

QWidget* ControlWidget(HWND dialog, int controlId) {
    HWND control = GetDlgItem(dialog, controlId);
    return control != nullptr ? control->widget : nullptr;
}

void ProcessEvents(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, milliseconds);
    } while (timer.elapsed() < milliseconds);
}
