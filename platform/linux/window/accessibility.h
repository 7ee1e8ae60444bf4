// What a screen reader gets from the dialog: lists and trackbars named by the
// label to their left, trackbars valued in the coordinates their readouts show.
#pragma once

#include <QWidget>
#include <vector>

// Names each list and trackbar after the nearest label to its left on the
// same row ("Устройство", "X"), and makes that label its buddy.
void NameControlsByLabels(const std::vector<QWidget*>& controls);

// Makes Qt describe the dialog's lists and trackbars with this layer's
// accessible interfaces; once per process is enough.
void UseDialogAccessibility();
