// The one QApplication of the program, created when the first window needs it.
#pragma once

// Creates the QApplication unless one exists. Without a display it writes
// one line to standard error and ends the process with 255, the exit code
// of a dialog that cannot be created.
void EnsureApplication();

// Destroys the QApplication this layer created, if any.
void ShutDownApplication();
