// The dialog functions of the window system, on DialogWindow.
#include "platform/win32_decls.h"

#include <QApplication>

#include "platform/linux/resources.h"
#include "platform/linux/window/application.h"
#include "platform/linux/window/controls.h"
#include "platform/linux/window/dialog_window.h"

namespace {

const INT_PTR DIALOG_FAILED = -1;

}  // namespace

void InitCommonControls() {
    // Every control class exists once the QApplication does.
}

// The program's one dialog has no owner.
INT_PTR DialogBoxParamW(HINSTANCE /*instance*/, LPCWSTR templateName, HWND /*owner*/,
                        DLGPROC dialogProc, LPARAM initParam) {
    const auto name = reinterpret_cast<uintptr_t>(templateName);
    const DialogTemplate* found =
        name <= LAST_INTEGER_RESOURCE ? FindDialogTemplate(static_cast<int>(name)) : nullptr;
    if (found == nullptr || dialogProc == nullptr) {
        return DIALOG_FAILED;
    }
    EnsureApplication();
    DialogWindow dialog(*found, dialogProc);
    return dialog.Build() ? dialog.Run(initParam) : DIALOG_FAILED;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    HWND__* window = FindWindowRecord(dialog);
    if (window == nullptr || !window->isDialog) {
        return FALSE;
    }
    window->dialog->End(result);
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int controlId) {
    HWND__* window = FindWindowRecord(dialog);
    return window != nullptr && window->isDialog ? window->dialog->Control(controlId) : nullptr;
}

LRESULT SendDlgItemMessageA(HWND dialog, int controlId, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    return SendMessageA(GetDlgItem(dialog, controlId), message, wParam, lParam);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND__* target = FindWindowRecord(window);
    if (target == nullptr) {
        return 0;
    }
    if (!target->isDialog) {
        return SendControlMessage(*target, message, wParam, lParam);
    }
    // As the default dialog procedure: the dialog's own procedure first.
    const INT_PTR handled = target->dialog->SendToProcedure(message, wParam, lParam);
    if (handled == FALSE && message == WM_NEXTDLGCTL) {
        target->dialog->MoveFocus(wParam, lParam);
    }
    return handled;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    HWND__* target = FindWindowRecord(window);
    if (target == nullptr) {
        return FALSE;
    }
    const BOOL wasDisabled = target->widget->isEnabled() ? FALSE : TRUE;
    QWidget* focus = QApplication::focusWidget();
    if (enable == FALSE && focus != nullptr &&
        (focus == target->widget || target->widget->isAncestorOf(focus))) {
        // A disabled window loses the focus to nobody, as on Windows; Qt
        // would hand it to the next control.
        focus->clearFocus();
    }
    target->widget->setEnabled(enable != FALSE);
    return wasDisabled;
}

BOOL UpdateWindow(HWND window) {
    HWND__* target = FindWindowRecord(window);
    if (target == nullptr) {
        return FALSE;
    }
    target->widget->repaint();
    return TRUE;
}

LONG GetWindowLongA(HWND window, int index) {
    HWND__* target = FindWindowRecord(window);
    if (target == nullptr) {
        return 0;
    }
    if (index != GWL_STYLE) {
        return 0;
    }
    uint32_t style = target->style & ~(WS_VISIBLE | WS_DISABLED);
    style |= target->widget->isVisible() || (!target->isDialog && !target->widget->isHidden())
                 ? WS_VISIBLE
                 : 0;
    style |= target->widget->isEnabled() ? 0 : WS_DISABLED;
    return static_cast<LONG>(style);
}

HWND GetFocus() { return FindWindowOfWidget(QApplication::focusWidget()); }

BOOL IsChild(HWND parent, HWND window) {
    HWND__* parentWindow = FindWindowRecord(parent);
    HWND__* child = FindWindowRecord(window);
    return parentWindow != nullptr && child != nullptr && parentWindow->isDialog &&
                   !child->isDialog && child->dialog == parentWindow->dialog
               ? TRUE
               : FALSE;
}
