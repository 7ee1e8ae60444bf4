#include "playback/dialog_window.h"

HWND dialogWindow = nullptr;
