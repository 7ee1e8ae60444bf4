// The program's module: its instance handle and embedded resources.
#pragma once

#include "platform/win32_decls.h"

// Names up to this value are numeric identifiers (MAKEINTRESOURCE), above
// it pointers to strings.
const uintptr_t LAST_INTEGER_RESOURCE = 0xFFFF;

HINSTANCE ProgramInstance();
