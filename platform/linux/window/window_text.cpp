// The program's Windows-1251 texts on the Qt widgets, and its message box.
#include <QMessageBox>
#include <algorithm>

#include "platform/linux/window/application.h"
#include "platform/linux/window/controls.h"
#include "platform/linux/window/windows_1251.h"
#include "platform/win32_decls.h"
#include "platform/window_text.h"

namespace {

// The Windows build reads texts through a buffer of this many characters.
const int TEXT_BUFFER_SIZE = 512;

}  // namespace

void SetWindowText1251(HWND window, const char* text) {
    SetWindowTextOf(window->widget, FromWindows1251(text));
}

int GetWindowText1251(HWND window, char* buffer, int size) {
    return ToWindows1251(WindowText(window->widget), buffer, std::min(size, TEXT_BUFFER_SIZE));
}

void AddComboString1251(HWND dialog, int controlId, const char* text) {
    AddComboItem(GetDlgItem(dialog, controlId)->widget, FromWindows1251(text));
}

// The program's one box is its error box (MB_ICONERROR), over the dialog.
void MessageBox1251(HWND owner, const char* text, const char* caption, UINT type) {
    EnsureApplication();
    QWidget* dialog = owner != nullptr ? owner->widget->window() : nullptr;
    QMessageBox box(type == MB_ICONERROR ? QMessageBox::Critical : QMessageBox::NoIcon,
                    FromWindows1251(caption), FromWindows1251(text), QMessageBox::Ok, dialog);
    box.setTextFormat(Qt::PlainText);
    box.exec();
    // The dialog gets the keyboard back, as on Windows; Qt leaves that to the
    // window manager, which not every platform has.
    if (dialog != nullptr && dialog->isVisible()) {
        dialog->activateWindow();
    }
}
