// Driving a modal dialog from inside its own loop, for the window layer's
// and the whole program's tests.
#pragma once

#include <QMessageBox>
#include <QWidget>
#include <functional>

#include "platform/linux/window/window_handle.h"

// The result of a dialog the test had to end itself.
const INT_PTR LEFT_OPEN = -77;

// Calls open (which runs a modal dialog) with script scheduled inside the
// dialog's loop. Whatever the script leaves open is ended afterwards with
// LEFT_OPEN, and a watchdog fails the test and ends everything should a
// script run past watchdogSeconds; so no test can hang. Returns open's result.
INT_PTR RunDialogWith(const std::function<INT_PTR()>& open, const std::function<void()>& script,
                      int watchdogSeconds = 60);

// Runs inspect on the next message box to open, then presses its OK button.
void AnswerNextMessageBox(std::function<void(QMessageBox&)> inspect);

// Ends every open message box and dialog.
void EndEverything(INT_PTR result);

QWidget* ControlWidget(HWND dialog, int controlId);

// Lets queued events (timers, posted events) run for a moment.
void ProcessEvents(int milliseconds = 20);
