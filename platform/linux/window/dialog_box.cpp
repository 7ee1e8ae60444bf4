// The dialog functions of the window system, on DialogWindow. Handles are
// the ones the dialog gave out, as the program only ever passes those.
#include "platform/win32_decls.h"

#include <QApplication>

#include "platform/linux/window/application.h"
#include "platform/linux/window/controls.h"
#include "platform/linux/window/dialog_window.h"

void InitCommonControls() {
    // Every control class exists once the QApplication does.
}

// The program's one dialog has no owner.
INT_PTR DialogBoxParamW(HINSTANCE /*instance*/, LPCWSTR templateName, HWND /*owner*/,
                        DLGPROC dialogProc, LPARAM initParam) {
    const DialogTemplate* found =
        FindDialogTemplate(static_cast<int>(reinterpret_cast<uintptr_t>(templateName)));
    if (found == nullptr) {
        return -1;
    }
    EnsureApplication();
    DialogWindow dialog(*found, dialogProc);
    return dialog.Build() ? dialog.Run(initParam) : -1;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    DialogOf(dialog).End(result);
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int controlId) { return DialogOf(dialog).Control(controlId); }

LRESULT SendDlgItemMessageA(HWND dialog, int controlId, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    return SendControlMessage(*GetDlgItem(dialog, controlId), message, wParam, lParam);
}

// The one message the program sends the dialog itself: WM_NEXTDLGCTL naming
// the control to focus (lParam TRUE).
LRESULT SendMessageA(HWND /*window*/, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NEXTDLGCTL && lParam != FALSE) {
        reinterpret_cast<HWND>(wParam)->widget->setFocus(Qt::OtherFocusReason);
    }
    return 0;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    const BOOL wasDisabled = window->widget->isEnabled() ? FALSE : TRUE;
    QWidget* focus = QApplication::focusWidget();
    if (enable == FALSE && focus != nullptr && window->widget->isAncestorOf(focus)) {
        // A disabled window loses the focus to nobody, as on Windows; Qt
        // would hand it to the next control.
        focus->clearFocus();
    }
    window->widget->setEnabled(enable != FALSE);
    return wasDisabled;
}

BOOL UpdateWindow(HWND window) {
    window->widget->repaint();
    return TRUE;
}

// The template's style bits; the program reads TBS_VERT from them.
LONG GetWindowLongA(HWND window, int /*index: GWL_STYLE*/) {
    return static_cast<LONG>(window->style);
}

HWND GetFocus() { return FindWindowOfWidget(QApplication::focusWidget()); }

BOOL IsChild(HWND parent, HWND window) {
    return parent != window && parent->widget->isAncestorOf(window->widget) ? TRUE : FALSE;
}
