// The main dialog's window, remembered when the dialog opens.
#pragma once

#include "platform/platform.h"

// Owner of every error box and the window the sound device cooperates with.
extern HWND dialogWindow;
