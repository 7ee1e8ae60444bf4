#include "platform/linux/window/trackbar.h"

#include <QKeyEvent>

#include "platform/win32_decls.h"

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

int CodeOfAction(int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: return TB_LINEDOWN;
    case QAbstractSlider::SliderSingleStepSub: return TB_LINEUP;
    case QAbstractSlider::SliderPageStepAdd: return TB_PAGEDOWN;
    case QAbstractSlider::SliderPageStepSub: return TB_PAGEUP;
    case QAbstractSlider::SliderToMinimum: return TB_TOP;
    case QAbstractSlider::SliderToMaximum: return TB_BOTTOM;
    default: return TB_THUMBTRACK;
    }
}

}  // namespace

Trackbar::Trackbar(bool vertical, QWidget* parent)
    : QSlider(vertical ? Qt::Vertical : Qt::Horizontal, parent), pendingCode_(TB_THUMBTRACK) {
    // Qt puts a vertical slider's minimum at the bottom; Windows at the top,
    // with Up and the wheel moving toward it.
    setInvertedAppearance(vertical);
    setInvertedControls(vertical);
    SetRangeQuietly(0, DEFAULT_MAXIMUM);
    connect(this, &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnAction(action); });
    connect(this, &QAbstractSlider::valueChanged, this,
            [this](int value) { OnValueChanged(value); });
    connect(this, &QAbstractSlider::sliderReleased, this, [this] {
        if (handler_) {
            handler_(TB_ENDTRACK, value());
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
    const KeyAction* entry = FindKeyAction(*event);
    if (entry == nullptr) {
        QSlider::keyPressEvent(event);
        return;
    }
    triggerAction(entry->action);
}

// As on Windows, letting go of a key ends the move.
void Trackbar::keyReleaseEvent(QKeyEvent* event) {
    if (FindKeyAction(*event) == nullptr || event->isAutoRepeat()) {
        QSlider::keyReleaseEvent(event);
        return;
    }
    if (handler_) {
        handler_(TB_ENDTRACK, value());
    }
}

// Qt announces the action before it moves the value; the move itself is
// reported once the new position can be read.
void Trackbar::OnAction(int action) { pendingCode_ = CodeOfAction(action); }

void Trackbar::OnValueChanged(int value) {
    if (quiet_ || !handler_) {
        return;
    }
    const int code = pendingCode_;
    pendingCode_ = TB_THUMBTRACK;
    handler_(code, value);
}
