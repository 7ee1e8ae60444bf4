// What a window handle stands for in this layer: the dialog or one of its
// controls, with the control identifier and style bits its template gave it.
#pragma once

#include <QWidget>

#include "platform/win32_decls.h"

struct HWND__ {
    QWidget* widget;
    int controlId;
    uint32_t style;
};
