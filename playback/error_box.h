// The program's one way of reporting a failure.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/platform.h"
#include "playback/dialog_window.h"

// Writes format into buffer, with each "%X" replaced by code in upper-case
// hexadecimal and "%%" by '%'. The result is always terminated and cut to fit.
void FormatMessageCode(char* buffer, size_t size, const char* format, uint32_t code);

// Shows a modal error box owned by dialogWindow; returns once it is closed.
void ShowError(const char* message);
void ShowError(const char* format, HRESULT code);
