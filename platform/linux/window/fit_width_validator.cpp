#include "platform/linux/window/fit_width_validator.h"

#include <QFontMetrics>

namespace {

// QLineEdit keeps this many pixels free on either side of its text, and
// one more for the cursor after the last character.
const int LINE_EDIT_SIDE_MARGIN = 2;
const int CURSOR_WIDTH = 1;

}  // namespace

FitWidthValidator::FitWidthValidator(QLineEdit* edit) : QValidator(edit), edit_(edit) {}

QValidator::State FitWidthValidator::validate(QString& input, int& /*position*/) const {
    const int width = edit_->fontMetrics().horizontalAdvance(input);
    return width <= VisibleTextWidth(*edit_) ? Acceptable : Invalid;
}

int VisibleTextWidth(const QLineEdit& edit) {
    const QMargins margins = edit.textMargins();
    return edit.contentsRect().width() - margins.left() - margins.right() -
           2 * LINE_EDIT_SIDE_MARGIN - CURSOR_WIDTH;
}
