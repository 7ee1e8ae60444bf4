// Refuses any text wider than its line edit's visible area: an edit
// without automatic horizontal scrolling stops taking characters there.
#pragma once

#include <QLineEdit>
#include <QValidator>

class FitWidthValidator : public QValidator {
public:
    explicit FitWidthValidator(QLineEdit* edit);

    State validate(QString& input, int& position) const override;

private:
    const QLineEdit* edit_;
};

// The width the edit can show text in without scrolling it.
int VisibleTextWidth(const QLineEdit& edit);
