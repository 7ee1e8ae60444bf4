// A trackbar on QSlider: raw positions as the trackbar messages give them,
// the minimum at the top when vertical, the keys of the Windows trackbar,
// and every move by the user reported with the new position.
#pragma once

#include <QSlider>
#include <functional>

class Trackbar : public QSlider {
public:
    using ScrollHandler = std::function<void(int position)>;

    Trackbar(bool vertical, QWidget* parent);

    void SetScrollHandler(ScrollHandler handler);

    // Programmatic changes, which report nothing (as TBM_SETRANGE/SETPOS).
    void SetRangeQuietly(int minimum, int maximum);
    void SetPositionQuietly(int position);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    ScrollHandler handler_;
    bool quiet_ = false;
};
