// Runs the whole program (WinMain with the real dialog and sound layer) and
// reads its dialog back through the controls' widgets.
#pragma once

#include <QString>
#include <functional>

#include "platform/win32_decls.h"

// Runs WinMain with script inside the dialog's loop; returns its exit code.
int RunProgram(const std::function<void()>& script, int watchdogSeconds = 60);

// The program's state between runs in one process: idle, nothing listed.
void ResetProgram();

QString ControlText(int controlId);
bool ControlEnabled(int controlId);
// Clicks a control with the mouse, as the user would.
void Click(int controlId);
// Presses a key on the focused widget.
void PressKey(int key);
bool DialogOpen();
