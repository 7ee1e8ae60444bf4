#include "platform/linux/window/controls.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "platform/linux/window/trackbar.h"

namespace {

bool IsClass(const ControlTemplate& control, const char* name) {
    return QString::fromUtf8(control.className).compare(QLatin1String(name), Qt::CaseInsensitive) ==
           0;
}

QWidget* CreateComboBox(const ControlTemplate& control, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    if ((control.style & CBS_DROPDOWNLIST) == CBS_DROPDOWNLIST) {
        return combo;
    }
    combo->setEditable(true);
    // A Windows combo box neither adds typed texts to its list nor
    // completes them.
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    return combo;
}

// The template's static texts are all left-aligned (SS_LEFT).
QWidget* CreateStatic(const ControlTemplate& control, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(control.text), parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QWidget* CreateButton(const ControlTemplate& control, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(control.text), parent);
    // Enter is the dialog's to handle, never a default button's.
    button->setAutoDefault(false);
    return button;
}

QWidget* CreateWidget(const ControlTemplate& control, QWidget* parent) {
    if (IsClass(control, "COMBOBOX")) {
        return CreateComboBox(control, parent);
    }
    if (IsClass(control, "STATIC")) {
        return CreateStatic(control, parent);
    }
    if (IsClass(control, "BUTTON")) {
        return CreateButton(control, parent);
    }
    if (IsClass(control, TRACKBAR_CLASSA)) {
        return new Trackbar((control.style & TBS_VERT) != 0, parent);
    }
    return nullptr;
}

LRESULT ComboMessage(QComboBox& combo, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case CB_ADDSTRING:
        return AddComboItem(&combo, QString::fromUtf8(reinterpret_cast<const char*>(lParam)));
    case CB_SETCURSEL: {
        const auto index = static_cast<int>(wParam);
        if (index < 0 || index >= combo.count()) {
            combo.setCurrentIndex(-1);
            return CB_ERR;
        }
        combo.setCurrentIndex(index);
        return index;
    }
    case CB_GETCURSEL: return combo.currentIndex();
    default: return 0;
    }
}

LRESULT TrackbarMessage(Trackbar& trackbar, UINT message, LPARAM lParam) {
    switch (message) {
    case TBM_GETPOS: return trackbar.value();
    case TBM_GETRANGEMIN: return trackbar.minimum();
    case TBM_GETRANGEMAX: return trackbar.maximum();
    case TBM_SETPOS: trackbar.SetPositionQuietly(static_cast<int>(lParam)); return 0;
    case TBM_SETRANGE:
        // Both halves are signed 16-bit values.
        trackbar.SetRangeQuietly(static_cast<int16_t>(lParam & 0xFFFF),
                                 static_cast<int16_t>((lParam >> 16) & 0xFFFF));
        return 0;
    default: return 0;
    }
}

}  // namespace

QWidget* CreateControl(const ControlTemplate& control, QWidget* parent) {
    QWidget* widget = CreateWidget(control, parent);
    if (widget == nullptr) {
        return nullptr;
    }
    if ((control.style & WS_TABSTOP) != 0) {
        widget->setFocusPolicy(Qt::StrongFocus);
    } else if (widget->focusPolicy() != Qt::NoFocus) {
        widget->setFocusPolicy(Qt::ClickFocus);
    }
    return widget;
}

LRESULT SendControlMessage(HWND__& control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto* combo = qobject_cast<QComboBox*>(control.widget)) {
        return ComboMessage(*combo, message, wParam, lParam);
    }
    if (auto* trackbar = dynamic_cast<Trackbar*>(control.widget)) {
        return TrackbarMessage(*trackbar, message, lParam);
    }
    return 0;
}

int AddComboItem(QWidget* widget, const QString& text) {
    auto* combo = static_cast<QComboBox*>(widget);
    combo->addItem(text);
    return combo->count() - 1;
}

QString WindowText(const QWidget* widget) {
    if (const auto* label = qobject_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        return button->text();
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(widget)) {
        return combo->currentText();  // an editable box's edit text
    }
    return QString();
}

void SetWindowTextOf(QWidget* widget, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        // Qt announces a new text of a label or button to screen readers itself.
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    }
}
