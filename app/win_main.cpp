#include "app/main_dialog.h"
#include "resources/resource_ids.h"

// Returns the dialog's result as the exit code: 0 after a normal close, 1
// when the devices could not be listed, -1 when the dialog could not open.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previous*/, LPSTR /*commandLine*/,
                   int /*showState*/) {
    InitCommonControls();  // registers the trackbar class
    // The Unicode dialog keeps the template's UTF-16 texts as they are; the
    // narrow one would squeeze them through the ANSI code page and show
    // question marks wherever that is not 1251.
    return static_cast<int>(
        DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_MAIN), nullptr, MainDialogProc, 0));
}
