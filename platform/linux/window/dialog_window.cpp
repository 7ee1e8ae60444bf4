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

DialogWindow* openDialog = nullptr;

// The template's frame is fixed in size; its caption may have a system
// menu (with the close button) and a minimize button.
Qt::WindowFlags FlagsOfStyle(uint32_t style) {
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint |
                            Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint;
    if ((style & WS_SYSMENU) != 0) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    if ((style & WS_MINIMIZEBOX) != 0) {
        flags |= Qt::WindowMinimizeButtonHint;
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

}  // namespace

DialogWindow::DialogWindow(const DialogTemplate& dialogTemplate, DLGPROC procedure)
    : QDialog(nullptr, FlagsOfStyle(dialogTemplate.style)),
      template_(dialogTemplate),
      procedure_(procedure),
      self_{this, 0, dialogTemplate.style} {
    openDialog = this;
}

DialogWindow::~DialogWindow() { openDialog = nullptr; }

bool DialogWindow::Build() {
    setWindowTitle(QString::fromUtf8(template_.caption));
    setFont(DialogFont(template_.fontFamily, template_.fontPointSize));
    UseDialogAccessibility();
    const DialogBaseUnits units = BaseUnitsOf(font());
    std::vector<QWidget*> widgets;
    for (int i = 0; i < template_.controlCount; ++i) {
        const ControlTemplate& control = template_.controls[i];
        QWidget* widget = CreateControl(control, this);
        if (widget == nullptr) {
            return false;
        }
        widget->setGeometry(VisibleRect(*widget, DialogRectToPixels(control.rect, units)));
        controls_.push_back(std::make_unique<HWND__>(HWND__{widget, control.id, control.style}));
        ConnectNotifications(*controls_.back());
        widgets.push_back(widget);  // Tab follows the order they are made in
    }
    NameControlsByLabels(widgets);
    setFixedSize(DialogRectToPixels(template_.rect, units).size());
    return true;
}

// Windows centres the whole window (DS_CENTER), frame included.
void DialogWindow::PlaceOnScreen() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect placed(QPoint(), frameGeometry().size());
        placed.moveCenter(screen->availableGeometry().center());
        move(placed.topLeft());
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
        trackbar->SetScrollHandler([this, handle, message](int position) {
            SendToProcedure(message, MAKELONG(TB_THUMBTRACK, position),
                            reinterpret_cast<LPARAM>(handle));
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

HWND DialogWindow::Control(int controlId) {
    for (const auto& control : controls_) {
        if (control->controlId == controlId) {
            return control.get();
        }
    }
    return nullptr;
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

HWND DialogWindow::FirstTabStop() {
    for (const auto& control : controls_) {
        if ((control->style & WS_TABSTOP) != 0) {
            return control.get();
        }
    }
    return nullptr;
}

// Escape asks for IDCANCEL; Enter presses the focused push button and
// otherwise asks for IDOK, which a dialog without an OK button ignores.
bool DialogWindow::HandleKey(const QKeyEvent& key) {
    if ((key.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
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

bool DialogWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && HandleKey(*static_cast<QKeyEvent*>(event))) {
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

DialogWindow& DialogOf(HWND dialog) { return *static_cast<DialogWindow*>(dialog->widget); }

HWND FindWindowOfWidget(const QWidget* widget) {
    return openDialog != nullptr && widget != nullptr ? openDialog->WindowOfWidget(widget)
                                                      : nullptr;
}
