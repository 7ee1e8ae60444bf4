// Dialog units to pixels, as the Windows dialog manager converts them: a
// horizontal unit is a quarter of the font's average character width, a
// vertical unit an eighth of its height.
#pragma once

#include <QFont>
#include <QRect>

#include "resources/dialog_template.h"

struct DialogBaseUnits {
    int averageWidth;  // pixels per four horizontal units
    int height;        // pixels per eight vertical units
};

// The nearest installed match of the template's font at its point size.
QFont DialogFont(const char* family, int pointSize);

DialogBaseUnits BaseUnitsOf(const QFont& font);

QRect DialogRectToPixels(const DialogRect& rect, DialogBaseUnits units);
