#include "platform/linux/window/accessibility.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <cmath>
#include <limits>

#include "platform/linux/window/trackbar.h"
#include "platform/trackbar_position.h"

namespace {

bool NeedsLabel(const QWidget* widget) {
    return qobject_cast<const QComboBox*>(widget) != nullptr ||
           dynamic_cast<const Trackbar*>(widget) != nullptr;
}

bool SameRow(const QRect& a, const QRect& b) {
    return a.top() <= b.bottom() && b.top() <= a.bottom();
}

// Qt's own combo box interface names a list by its current item on Linux;
// this one takes the name its label gives and keeps the item as the value.
class ChoiceListAccessible : public QAccessibleWidget {
public:
    explicit ChoiceListAccessible(QComboBox* list)
        : QAccessibleWidget(list, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        // AT-SPI carries no text value, and Qt 6.4 marks no item of the drop-down
        // list selected: the description says the current item.
        if (kind == QAccessible::Value || kind == QAccessible::Description) {
            return List()->isEditable() ? List()->lineEdit()->text() : List()->currentText();
        }
        return QAccessibleWidget::text(kind);
    }
    // The drop-down list comes after the widget's own children (the edit field).
    int childCount() const override { return QAccessibleWidget::childCount() + 1; }
    QAccessibleInterface* child(int index) const override {
        return index == QAccessibleWidget::childCount()
                   ? QAccessible::queryAccessibleInterface(List()->view())
                   : QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child->object() == List()->view() ? QAccessibleWidget::childCount()
                                                 : QAccessibleWidget::indexOfChild(child);
    }
    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << showMenuAction();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction()) {
            List()->showPopup();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

private:
    QComboBox* List() const { return static_cast<QComboBox*>(widget()); }
};

// A trackbar's value is the coordinate its readout shows, to two decimals.
class TrackbarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit TrackbarAccessible(Trackbar* trackbar)
        : QAccessibleWidget(trackbar, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ValueInterface ? static_cast<QAccessibleValueInterface*>(this)
                                                   : QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? QString::number(Coordinate(Bar()->value()), 'f', 2)
                                          : QAccessibleWidget::text(kind);
    }
    QVariant currentValue() const override { return Coordinate(Bar()->value()); }
    void setCurrentValue(const QVariant& value) override {
        Bar()->setValue(static_cast<int>(std::lround(value.toDouble() / Coordinate(1))));
    }
    QVariant minimumValue() const override {
        return std::min(Coordinate(Bar()->minimum()), Coordinate(Bar()->maximum()));
    }
    QVariant maximumValue() const override {
        return std::max(Coordinate(Bar()->minimum()), Coordinate(Bar()->maximum()));
    }
    QVariant minimumStepSize() const override { return std::fabs(Coordinate(Bar()->singleStep())); }

private:
    Trackbar* Bar() const { return static_cast<Trackbar*>(widget()); }
    double Coordinate(int position) const {
        return CoordinateOfPosition(position, Bar()->orientation() == Qt::Vertical);
    }
};

// Every trackbar and list of the program is the dialog's.
QAccessibleInterface* DialogControlInterface(const QString& /*className*/, QObject* object) {
    if (auto* trackbar = dynamic_cast<Trackbar*>(object)) {
        return new TrackbarAccessible(trackbar);
    }
    if (auto* list = qobject_cast<QComboBox*>(object)) {
        return new ChoiceListAccessible(list);
    }
    return nullptr;
}

}  // namespace

void NameControlsByLabels(const std::vector<QWidget*>& controls) {
    for (QWidget* control : controls) {
        auto* label = qobject_cast<QLabel*>(control);
        if (label == nullptr) {
            continue;
        }
        QWidget* nearest = nullptr;
        int nearestGap = std::numeric_limits<int>::max();
        for (QWidget* candidate : controls) {
            const int gap = candidate->geometry().left() - label->geometry().left();
            if (NeedsLabel(candidate) && gap > 0 && gap < nearestGap &&
                SameRow(candidate->geometry(), label->geometry())) {
                nearest = candidate;
                nearestGap = gap;
            }
        }
        if (nearest != nullptr) {
            label->setBuddy(nearest);
            nearest->setAccessibleName(label->text());
        }
    }
}

void UseDialogAccessibility() {
    static bool installed = false;
    if (!installed) {
        // Factories installed later are asked first, so these come before
        // Qt's; controls must be made after, as Qt keeps the first interface.
        QAccessible::installFactory(DialogControlInterface);
        installed = true;
    }
}
