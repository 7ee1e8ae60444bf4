#include "platform/linux/window/dialog_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>

#include "platform/linux/window/accessibility.h"
#include "platform/linux/window/controls.h"
#include "platform/linux/window/dialog_units.h"
#include "platform/linux/window/trackbar.h"

namespace {

std::vector<DialogWindow*>& OpenDialogs() {
    static std::vector<DialogWindow*> dialogs;
    return dialogs;
}

Qt::WindowFlags FlagsOfStyle(uint32_t style) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint;
    if ((style & WS_CAPTION) == WS_CAPTION) {
        flags |= Qt::WindowTitleHint;
    }
    if ((style & WS_SYSMENU) != 0) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if ((style & WS_MINIMIZEBOX) != 0) {
        flags |= Qt::WindowMinimizeButtonHint;
    }
    if ((style & WS_MAXIMIZEBOX) != 0) {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    return flags;
}

// A combo box's rectangle includes its drop-down list; the box itself is
// as tall as the style draws it.
QRect VisibleRect(const QWidget& widget, QRect rect) {
    if (qobject_cast<const QComboBox*>(&widget) != nullptr) {
        rect.setHeight(std::min(rect.height(), widget.sizeHint().height()));
    }
    return rect;
}

bool IsPlainKey(const QKeyEvent& key) {
    return (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

}  // namespace

DialogWindow::DialogWindow(const DialogTemplate& dialogTemplate, DLGPROC procedure)
    : QDialog(nullptr, FlagsOfStyle(dialogTemplate.style)),
      template_(dialogTemplate),
      procedure_(procedure),
      self_{this, this, true, 0, dialogTemplate.style} {
    OpenDialogs().push_back(this);
}

DialogWindow::~DialogWindow() {
    auto& dialogs = OpenDialogs();
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), this), dialogs.end());
}

bool DialogWindow::Build() {
    setWindowTitle(QString::fromUtf8(template_.caption));
    setFont(DialogFont(template_.fontFamily, template_.fontPointSize));
    UseDialogAccessibility();
    const DialogBaseUnits units = BaseUnitsOf(font());
    QWidget* previousTabStop = nullptr;
    for (int i = 0; i < template_.controlCount; ++i) {
        const ControlTemplate& control = template_.controls[i];
        QWidget* widget = CreateControl(control, this);
        if (widget == nullptr) {
            return false;
        }
        widget->setGeometry(VisibleRect(*widget, DialogRectToPixels(control.rect, units)));
        widget->setVisible((control.style & WS_VISIBLE) != 0);
        widget->setEnabled((control.style & WS_DISABLED) == 0);
        controls_.push_back(
            std::make_unique<HWND__>(HWND__{widget, this, false, control.id, control.style}));
        ConnectNotifications(*controls_.back());
        if ((control.style & WS_TABSTOP) != 0) {
            if (previousTabStop != nullptr) {
                setTabOrder(previousTabStop, widget);
            }
            previousTabStop = widget;
        }
    }
    std::vector<QWidget*> widgets;
    for (const auto& control : controls_) {
        widgets.push_back(control->widget);
    }
    NameControlsByLabels(widgets);
    setFixedSize(DialogRectToPixels(template_.rect, units).size());
    PlaceOnScreen();
    return true;
}

void DialogWindow::PlaceOnScreen() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if ((template_.style & DS_CENTER) != 0 && screen != nullptr) {
        // Windows centres the whole window, frame included.
        QRect placed(QPoint(), frameGeometry().size());
        placed.moveCenter(screen->availableGeometry().center());
        move(placed.topLeft());
    } else {
        move(DialogRectToPixels(template_.rect, BaseUnitsOf(font())).topLeft());
    }
}

void DialogWindow::ConnectNotifications(HWND__& control) {
    HWND handle = &control;
    if (auto* button = qobject_cast<QPushButton*>(control.widget)) {
        connect(button, &QPushButton::clicked, this,
                [this, handle] { Command(handle->controlId, handle); });
    }
    if (auto* trackbar = dynamic_cast<Trackbar*>(control.widget)) {
        const UINT message = trackbar->orientation() == Qt::Vertical ? WM_VSCROLL : WM_HSCROLL;
        trackbar->SetScrollHandler([this, handle, message](int code, int position) {
            SendToProcedure(message, MAKELONG(code, position), reinterpret_cast<LPARAM>(handle));
        });
    }
    // Escape and Enter reach the dialog before any control can use them.
    control.widget->installEventFilter(this);
    for (QWidget* inner : control.widget->findChildren<QWidget*>()) {
        inner->installEventFilter(this);
    }
}

INT_PTR DialogWindow::Run(LPARAM initParam) {
    HWND first = FirstTabStop();
    const INT_PTR focusDefault =
        SendToProcedure(WM_INITDIALOG, reinterpret_cast<WPARAM>(first), initParam);
    if (ended_) {
        return result_;
    }
    if (focusDefault != FALSE && first != nullptr) {
        first->widget->setFocus(Qt::TabFocusReason);
    } else if (focusWidget() == nullptr) {
        // Keep Qt from focusing the first control on its own: the
        // procedure chose to leave the focus where it is.
        setFocus(Qt::OtherFocusReason);
    }
    exec();
    return ended_ ? result_ : -1;
}

HWND DialogWindow::Handle() { return &self_; }

HWND DialogWindow::Control(int controlId) {
    for (const auto& control : controls_) {
        if (control->controlId == controlId) {
            return control.get();
        }
    }
    return nullptr;
}

bool DialogWindow::Owns(HWND window) const {
    return window == &self_ ||
           std::any_of(controls_.begin(), controls_.end(),
                       [window](const auto& control) { return control.get() == window; });
}

HWND DialogWindow::WindowOfWidget(const QWidget* widget) {
    for (const auto& control : controls_) {
        if (control->widget->isAncestorOf(widget)) {  // a widget is its own ancestor too
            return control.get();
        }
    }
    return widget == this ? &self_ : nullptr;
}

INT_PTR DialogWindow::SendToProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
    return procedure_(&self_, message, wParam, lParam);
}

void DialogWindow::End(INT_PTR result) {
    result_ = result;
    ended_ = true;
    if (isVisible()) {
        done(0);
    }
}

// The program only ever names the control to focus (lParam TRUE).
void DialogWindow::MoveFocus(WPARAM wParam, LPARAM lParam) {
    HWND target = reinterpret_cast<HWND>(wParam);
    if (lParam != FALSE && Owns(target)) {
        target->widget->setFocus(Qt::OtherFocusReason);
    }
}

HWND DialogWindow::FirstTabStop() {
    for (const auto& control : controls_) {
        if ((control->style & WS_TABSTOP) != 0 && !control->widget->isHidden() &&
            control->widget->isEnabled()) {
            return control.get();
        }
    }
    return nullptr;
}

// Escape asks for IDCANCEL; Enter presses the focused push button and
// otherwise asks for IDOK, which a dialog without an OK button ignores.
bool DialogWindow::HandleKey(const QKeyEvent& key) {
    if (!IsPlainKey(key)) {
        return false;
    }
    if (key.key() == Qt::Key_Escape) {
        Command(IDCANCEL, nullptr);
        return true;
    }
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
        HWND focus = WindowOfWidget(QApplication::focusWidget());
        if (focus != nullptr && qobject_cast<QPushButton*>(focus->widget) != nullptr) {
            Command(focus->controlId, focus);
        } else {
            Command(IDOK, nullptr);
        }
        return true;
    }
    return false;
}

void DialogWindow::Command(int controlId, HWND control) {
    SendToProcedure(WM_COMMAND,
                    static_cast<WPARAM>(static_cast<DWORD>(MAKELONG(controlId, BN_CLICKED))),
                    reinterpret_cast<LPARAM>(control));
}

void DialogWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The frame's size is known once the window exists.
    if (!event->spontaneous()) {
        PlaceOnScreen();
    }
}

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    if (!HandleKey(*event)) {
        QDialog::keyPressEvent(event);
    }
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
        return;
    }
    event->ignore();
    Command(IDCANCEL, nullptr);
}

void DialogWindow::reject() {
    if (!ended_) {
        Command(IDCANCEL, nullptr);
    }
}

bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && HandleKey(*static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

HWND__* FindWindowRecord(HWND window) {
    for (DialogWindow* dialog : OpenDialogs()) {
        if (dialog->Owns(window)) {
            return window;
        }
    }
    return nullptr;
}

HWND FindWindowOfWidget(const QWidget* widget) {
    if (widget == nullptr) {
        return nullptr;
    }
    for (DialogWindow* dialog : OpenDialogs()) {
        if (HWND window = dialog->WindowOfWidget(widget)) {
            return window;
        }
    }
    return nullptr;
}
