// The modal dialog built from a template, run by a Windows dialog procedure:
// its controls send WM_COMMAND and WM_HSCROLL/WM_VSCROLL to the procedure,
// Escape and closing the window ask it for IDCANCEL, and only EndDialog
// closes it. The program opens one at a time.
#pragma once

#include <QDialog>
#include <memory>
#include <vector>

#include "platform/linux/window/window_handle.h"
#include "resources/dialog_template.h"

class DialogWindow : public QDialog {
public:
    DialogWindow(const DialogTemplate& dialogTemplate, DLGPROC procedure);
    ~DialogWindow() override;

    DialogWindow(const DialogWindow&) = delete;
    DialogWindow& operator=(const DialogWindow&) = delete;

    // Creates the controls; false when the template names a class this
    // layer cannot build, so the dialog cannot be created.
    bool Build();

    // Sends WM_INITDIALOG, runs the modal loop unless the procedure ended
    // the dialog already, and returns the result given to EndDialog.
    INT_PTR Run(LPARAM initParam);

    HWND Control(int controlId);
    HWND WindowOfWidget(const QWidget* widget);
    void End(INT_PTR result);

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    INT_PTR SendToProcedure(UINT message, WPARAM wParam, LPARAM lParam);
    HWND FirstTabStop();
    bool HandleKey(const QKeyEvent& key);
    void Command(int controlId, HWND control);
    void ConnectNotifications(HWND__& control);
    void PlaceOnScreen();

    const DialogTemplate& template_;
    DLGPROC procedure_;
    HWND__ self_;
    std::vector<std::unique_ptr<HWND__>> controls_;
    bool ended_ = false;
    INT_PTR result_ = -1;
};

// The dialog behind a dialog handle.
DialogWindow& DialogOf(HWND dialog);

// The control or dialog holding widget (or one of its inner widgets) while
// the dialog is open; null for any other widget.
HWND FindWindowOfWidget(const QWidget* widget);
