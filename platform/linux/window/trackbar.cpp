#include "platform/linux/window/trackbar.h"

#include <QKeyEvent>

namespace {

// A new trackbar's range and page size on Windows.
const int DEFAULT_MAXIMUM = 100;
const int PAGES_PER_RANGE = 5;
// An arrow press moves a four-hundredth of the range: on the program's
// 4,000 positions (-2.00 to +2.00) that is 0.01, the smallest change its
// readouts show. Windows moves one position, which they would not show.
const int LINES_PER_RANGE = 400;

// The Windows trackbar's keys, the same whichever way it lies: toward the
// minimum (left, or the top when vertical) or toward the maximum.
struct KeyAction {
    int key;
    QAbstractSlider::SliderAction action;
};
const KeyAction KEY_ACTIONS[] = {
    {Qt::Key_Left, QAbstractSlider::SliderSingleStepSub},
    {Qt::Key_Up, QAbstractSlider::SliderSingleStepSub},
    {Qt::Key_Right, QAbstractSlider::SliderSingleStepAdd},
    {Qt::Key_Down, QAbstractSlider::SliderSingleStepAdd},
    {Qt::Key_PageUp, QAbstractSlider::SliderPageStepSub},
    {Qt::Key_PageDown, QAbstractSlider::SliderPageStepAdd},
    {Qt::Key_Home, QAbstractSlider::SliderToMinimum},
    {Qt::Key_End, QAbstractSlider::SliderToMaximum},
};

const KeyAction* FindKeyAction(const QKeyEvent& event) {
    if ((event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier) {
        return nullptr;
    }
    for (const KeyAction& entry : KEY_ACTIONS) {
        if (entry.key == event.key()) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace

Trackbar::Trackbar(bool vertical, QWidget* parent)
    : QSlider(vertical ? Qt::Vertical : Qt::Horizontal, parent) {
    // Qt puts a vertical slider's minimum at the bottom; Windows at the top,
    // with Up and the wheel moving toward it.
    setInvertedAppearance(vertical);
    setInvertedControls(vertical);
    SetRangeQuietly(0, DEFAULT_MAXIMUM);
    connect(this, &QAbstractSlider::valueChanged, this, [this](int value) {
        if (!quiet_ && handler_) {
            handler_(value);
        }
    });
}

void Trackbar::SetScrollHandler(ScrollHandler handler) { handler_ = std::move(handler); }

void Trackbar::SetRangeQuietly(int minimum, int maximum) {
    quiet_ = true;
    setRange(minimum, maximum);
    setSingleStep(std::max(1, (maximum - minimum) / LINES_PER_RANGE));
    setPageStep(std::max(1, (maximum - minimum) / PAGES_PER_RANGE));
    quiet_ = false;
}

void Trackbar::SetPositionQuietly(int position) {
    quiet_ = true;
    setValue(position);
    quiet_ = false;
}

void Trackbar::keyPressEvent(QKeyEvent* event) {
    if (const KeyAction* entry = FindKeyAction(*event)) {
        triggerAction(entry->action);
    } else {
        QSlider::keyPressEvent(event);
    }
}
