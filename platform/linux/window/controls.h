// The template's control classes as Qt widgets, and the control messages
// and texts the program uses on them.
#pragma once

#include <QString>
#include <QWidget>

#include "platform/linux/window/window_handle.h"
#include "resources/dialog_template.h"

// The widget for a control, or null for a class this layer does not build.
QWidget* CreateControl(const ControlTemplate& control, QWidget* parent);

// A message of the combo box and trackbar families sent to a control.
LRESULT SendControlMessage(HWND__& control, UINT message, WPARAM wParam, LPARAM lParam);

// Appends an item to a combo box; returns its index.
int AddComboItem(QWidget* widget, const QString& text);

// The text of a label, button or combo box, as the program reads and sets them.
QString WindowText(const QWidget* widget);
void SetWindowTextOf(QWidget* widget, const QString& text);
