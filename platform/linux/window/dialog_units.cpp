#include "platform/linux/window/dialog_units.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QString>

namespace {

// The TrueType successor of the template's font has its metrics. Failing
// that, the system's sans-serif face: DejaVu Sans keeps the old font's
// 13-pixel height at 8 points, where the Helvetica-like faces run taller.
const char* const SUBSTITUTE_FAMILY = "Microsoft Sans Serif";

// Windows averages the widths of these letters for the dialog base unit.
const char* const AVERAGED_LETTERS = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

// a * b / c rounded half away from zero, as Windows' MulDiv does.
int MulDiv(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

// Whether the font system has the family itself rather than a stand-in.
// Qt may name a family with its foundry: "Nimbus Sans [urw]".
bool IsInstalled(const QString& family) {
    const QString resolved = QFontInfo(QFont(family)).family().section(QStringLiteral(" ["), 0, 0);
    return resolved.compare(family, Qt::CaseInsensitive) == 0;
}

}  // namespace

QFont DialogFont(const char* family, int pointSize) {
    QString chosen = QString::fromUtf8(family);
    if (!IsInstalled(chosen)) {
        chosen = QString::fromLatin1(SUBSTITUTE_FAMILY);
    }
    QFont font(IsInstalled(chosen) ? chosen : QStringLiteral("Sans Serif"));
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
                 MulDiv(rect.width, units.averageWidth, 4), MulDiv(rect.height, units.height, 8));
}
