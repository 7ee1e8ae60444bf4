// The program's one dialog: choices, the Start/Stop button and the
// position trackbars.
#pragma once

#include "platform/platform.h"

// True while a playback started by the button runs.
extern bool playing;

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The Start/Stop button: starts when idle, stops while playing.
void OnStartStop();
