// Driving a modal dialog from inside its own loop, for the window layer's
// and the whole program's tests.
#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "platform/linux/window/window_handle.h"

// Calls open (which runs a modal dialog) with script scheduled inside the
// dialog's loop. Whatever the script leaves open is ended afterwards, and a
// watchdog fails the test and ends everything should a script run past
// watchdogSeconds; so no test can hang. Returns open's result.
INT_PTR RunDialogWith(const std::function<INT_PTR()>& open, const std::function<void()>& script,
                      int watchdogSeconds = 60);

QWidget* ControlWidget(HWND dialog, int controlId);

// Closes the message box on screen, if one is, and gives its text (UTF-8).
std::string CloseMessageBox();
