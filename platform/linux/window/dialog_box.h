// Runs a modal dialog from a template, as DialogBoxParamW does for the
// templates of the resource script.
#pragma once

#include "resources/dialog_template.h"
#include "platform/win32_decls.h"

// Returns the value given to EndDialog, or -1 when the dialog cannot be built.
INT_PTR RunDialogTemplate(const DialogTemplate& dialogTemplate, HWND owner, DLGPROC procedure,
                          LPARAM initParam);
