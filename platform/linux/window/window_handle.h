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

// The window behind a handle while its dialog is open; null for any other
// handle, so stale or foreign handles are harmless as on Windows.
HWND__* FindWindowRecord(HWND window);

// The control or dialog holding widget (or one of its inner widgets).
HWND FindWindowOfWidget(const QWidget* widget);
