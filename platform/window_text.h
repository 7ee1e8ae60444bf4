// Window text operations. The program keeps its texts in Windows-1251; these
// convert at the boundary so the dialog reads right whatever the system's
// ANSI code page is.
#pragma once

// Sets a window's text from Windows-1251 bytes.
void SetWindowText1251(HWND window, const char* text);

// Reads a window's text as Windows-1251 into buffer (size includes the
// terminator; at most size - 1 characters are kept). Returns the length.
int GetWindowText1251(HWND window, char* buffer, int size);

// Appends a Windows-1251 text to a combo box of the dialog.
void AddComboString1251(HWND dialog, int controlId, const char* text);

// Shows a modal message box with Windows-1251 text and caption.
void MessageBox1251(HWND owner, const char* text, const char* caption, UINT type);
