// The Windows-1251 code page, byte for byte as Windows converts it.
#pragma once

#include <QString>

QString FromWindows1251(const char* text);

// Writes at most size - 1 characters of text and a terminator; characters
// outside the code page become '?'. Returns the length written.
int ToWindows1251(const QString& text, char* buffer, int size);
