#include "platform/linux/window/dialog_units.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QString>
#include <QStringList>

namespace {

// Sans-serif faces close to the old Windows dialog font in width, nearest
// first; the generic sans-serif family is the last resort.
const char* const SUBSTITUTE_FAMILIES[] = {"Microsoft Sans Serif", "Liberation Sans", "Arial",
                                           "Nimbus Sans"};

// Windows averages the widths of these letters for the dialog base unit.
const char* const AVERAGED_LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// a * b / c rounded half away from zero, as Windows' MulDiv does.
int MulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

}  // namespace

QFont DialogFont(const char* family, int pointSize) {
    const QStringList installed = QFontDatabase::families();
    QString chosen;
    if (installed.contains(QString::fromUtf8(family), Qt::CaseInsensitive)) {
        chosen = QString::fromUtf8(family);
    }
    for (const char* substitute : SUBSTITUTE_FAMILIES) {
        if (chosen.isEmpty() && installed.contains(QString::fromLatin1(substitute))) {
            chosen = QString::fromLatin1(substitute);
        }
    }
    QFont font(chosen.isEmpty() ? QStringLiteral("Sans Serif") : chosen);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(pointSize);
    return font;
}

DialogBaseUnits BaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(QString::fromLatin1(AVERAGED_LETTERS));
    return {(letters / 26 + 1) / 2, metrics.height()};
}

QRect DialogRectToPixels(const DialogRect& rect, DialogBaseUnits units) {
    return QRect(MulDiv(rect.x, units.averageWidth, 4), MulDiv(rect.y, units.height, 8),
                 MulDiv(rect.width, units.averageWidth, 4),
                 MulDiv(rect.height, units.height, 8));
}
