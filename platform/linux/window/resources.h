// The program's module: its instance handle and embedded resources.
#pragma once

#include "platform/win32_decls.h"

HINSTANCE ProgramInstance();
