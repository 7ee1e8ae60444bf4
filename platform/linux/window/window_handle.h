// What a window handle stands for in this layer: a widget of an open dialog,
// with the control identifier and style bits its template gave it.
#pragma once

#include <QWidget>

#include "platform/win32_decls.h"

class DialogWindow;

struct HWND__ {
    QWidget* widget;
    DialogWindow* dialog;  // the dialog the window belongs to, or is
    bool isDialog;
    int controlId;
    uint32_t style;
};
