// The one door to the operating system. On Windows this is the SDK itself;
// elsewhere the same names are declared here and implemented by whatever is
// linked in (the scripted fake in the unit tests).
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <mmsystem.h>
#include <commctrl.h>
#include <dsound.h>
#else
#include "platform/win32_decls.h"
#endif

#include "platform/window_text.h"
