#include "app/main_dialog.h"
#include "resources/resource_ids.h"

// Returns the dialog's result as the exit code: 0 after a normal close, 1
// when the devices could not be listed, -1 when the dialog could not open.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*showState*/) {
    InitCommonControls();  // registers the trackbar class
    return static_cast<int>(
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_MAIN), nullptr, MainDialogProc, 0));
}
