// The program's Windows-1251 texts on the Qt widgets, and its message box.
#include <QMessageBox>
#include <algorithm>

#include "platform/linux/window/application.h"
#include "platform/linux/window/controls.h"
#include "platform/linux/window/dialog_window.h"
#include "platform/linux/window/windows_1251.h"
#include "platform/win32_decls.h"
#include "platform/window_text.h"

namespace {

const UINT MB_ICONMASK = 0xF0;
const UINT MB_ICONQUESTION = 0x20;
const UINT MB_ICONWARNING = 0x30;
const UINT MB_ICONINFORMATION = 0x40;

// The Windows build reads texts through a buffer of this many characters.
const int TEXT_BUFFER_SIZE = 512;

QMessageBox::Icon IconOf(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

}  // namespace

void SetWindowText1251(HWND window, const char* text) {
    HWND__* target = FindWindowRecord(window);
    if (target != nullptr) {
        SetWindowTextOf(target->widget, FromWindows1251(text));
    }
}

int GetWindowText1251(HWND window, char* buffer, int size) {
    HWND__* target = FindWindowRecord(window);
    if (size <= 0) {
        return 0;
    }
    if (target == nullptr) {
        buffer[0] = '\0';
        return 0;
    }
    return ToWindows1251(WindowText(target->widget), buffer, std::min(size, TEXT_BUFFER_SIZE));
}

void AddComboString1251(HWND dialog, int controlId, const char* text) {
    HWND__* control = FindWindowRecord(GetDlgItem(dialog, controlId));
    if (control != nullptr) {
        AddComboItem(control->widget, FromWindows1251(text));
    }
}

void MessageBox1251(HWND owner, const char* text, const char* caption, UINT type) {
    EnsureApplication();
    HWND__* ownerWindow = FindWindowRecord(owner);
    QMessageBox box(IconOf(type), FromWindows1251(caption), FromWindows1251(text), QMessageBox::Ok,
                    ownerWindow != nullptr ? ownerWindow->widget->window() : nullptr);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    // The owner gets the keyboard back, as on Windows; Qt leaves that to the
    // window manager, which not every platform has.
    ownerWindow = FindWindowRecord(owner);
    if (ownerWindow != nullptr && ownerWindow->widget->window()->isVisible()) {
        ownerWindow->widget->window()->activateWindow();
    }
}
