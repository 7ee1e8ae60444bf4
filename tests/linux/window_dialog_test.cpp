// The dialog built from the program's real template, run by a dialog
// procedure of the test's own that records what reaches it.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

#include "platform/linux/window/application.h"
#include "platform/win32_decls.h"
#include "platform/window_text.h"
#include "resources/dialog_template.h"
#include "resources/resource_ids.h"
#include "tests/linux/window_test_support.h"

namespace {

HWND dialog = nullptr;
struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Message> received;

INT_PTR CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        dialog = window;
        return TRUE;
    }
    received.push_back({message, wParam, lParam});
    return FALSE;
}

INT_PTR OpenMain() {
    return DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_MAIN), nullptr, RecordingProc, 0);
}

INT_PTR RunMain(const std::function<void()>& script) {
    received.clear();
    return RunDialogWith(OpenMain, script);
}

// The messages of one kind the procedure received since the last take.
std::vector<Message> Take(UINT message) {
    std::vector<Message> found;
    std::copy_if(received.begin(), received.end(), std::back_inserter(found),
                 [message](const Message& m) { return m.message == message; });
    received.clear();
    return found;
}

// DejaVu Sans at 8 points, the stand-in for MS Sans Serif, has 7 × 13 pixels
// a dialog base unit: the template's 202 × 191 units are 353.5 × 310.4 pixels,
// rounded as Windows rounds them.
TEST(Dialog, IsTheTemplateInItsFontWithItsFrameClassesAndTexts) {
    const char* const widgetClasses[][2] = {{"COMBOBOX", "QComboBox"},
                                            {"STATIC", "QLabel"},
                                            {"BUTTON", "QPushButton"},
                                            {TRACKBAR_CLASSA, "QSlider"}};
    const DialogTemplate& mainDialog = *FindDialogTemplate(IDD_MAIN);
    RunMain([&] {
        QWidget* window = dialog->widget;
        EXPECT_EQ(window->windowTitle(), mainDialog.caption);
        // A caption with its system menu, close and minimize buttons, and no maximize button.
        const Qt::WindowFlags buttons = Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                                        Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint;
        EXPECT_EQ(window->windowFlags() & (buttons | Qt::WindowMaximizeButtonHint), buttons);
        EXPECT_EQ(window->minimumSize(), window->maximumSize()) << "resizable";
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_LE((window->frameGeometry().center() - screen.center()).manhattanLength(), 2);
        EXPECT_EQ(QFontInfo(window->font()).family(), "DejaVu Sans");
        EXPECT_EQ(window->size(), QSize(354, 310));
        EXPECT_EQ(ControlWidget(dialog, IDC_START)->geometry(), QRect(280, 89, 61, 23));
        const QList<QWidget*> widgets =
            window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_EQ(widgets.size(), mainDialog.controlCount);
        for (int i = 0; i < mainDialog.controlCount; ++i) {
            const ControlTemplate& control = mainDialog.controls[i];
            SCOPED_TRACE(control.text);
            for (const auto& entry : widgetClasses) {
                EXPECT_EQ(widgets[i]->inherits(entry[1]),
                          std::string(control.className) == entry[0]);
            }
            if (!widgets[i]->inherits("QSlider")) {  // a trackbar shows no text
                EXPECT_EQ(widgets[i]->property("text").toString(), control.text);
            }
            if (auto* combo = qobject_cast<QComboBox*>(widgets[i])) {
                EXPECT_EQ(combo->isEditable(), control.id == IDC_ANGLE);
            }
        }
    });
}

TEST(Dialog, FocusStartsOnTheFirstTabStopAndTabFollowsTemplateOrder) {
    RunMain([&] {
        for (int id : {IDC_VIRTUALIZATION, IDC_DEVICE, IDC_START, IDC_SLIDER_X, IDC_SLIDER_Y,
                       IDC_SLIDER_Z, IDC_SPEAKERS, IDC_ANGLE, IDC_VIRTUALIZATION}) {
            EXPECT_EQ(GetFocus()->controlId, id);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_START)),
                     TRUE);
        EXPECT_EQ(GetFocus()->controlId, IDC_START);
        EXPECT_TRUE(IsChild(dialog, GetFocus()));
        EXPECT_FALSE(IsChild(GetFocus(), dialog));
    });
}

// Records the texts a button was painted with.
struct PaintRecorder : QObject {
    QStringList painted;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted << watched->property("text").toString();
        }
        return false;
    }
};

// The button on a click, Space or Enter; Enter elsewhere asks for IDOK,
// Escape and closing for IDCANCEL; none of them closes the dialog.
TEST(Dialog, ClicksAndKeysBecomeCommandsAndOnlyEndDialogCloses) {
    EXPECT_EQ(RunMain([] {
                  QWidget* button = ControlWidget(dialog, IDC_START);
                  QWidget* list = ControlWidget(dialog, IDC_SPEAKERS);
                  HWND buttonWindow = GetDlgItem(dialog, IDC_START);
                  const struct {
                      QWidget* target;
                      int key;         // none: a click on the button, closing the dialog
                      WPARAM command;  // BN_CLICKED, 0, in the high word
                      HWND from;
                  } presses[] = {{button, 0, IDC_START, buttonWindow},
                                 {button, Qt::Key_Space, IDC_START, buttonWindow},
                                 {button, Qt::Key_Return, IDC_START, buttonWindow},
                                 {list, Qt::Key_Return, IDOK, nullptr},
                                 {list, Qt::Key_Escape, IDCANCEL, nullptr},
                                 {dialog->widget, 0, IDCANCEL, nullptr}};
                  for (const auto& p : presses) {
                      p.target->setFocus();
                      if (p.key != 0) {
                          QTest::keyClick(p.target, static_cast<Qt::Key>(p.key));
                      } else if (p.target == button) {
                          QTest::mouseClick(button, Qt::LeftButton);
                      } else {
                          p.target->close();
                      }
                      const auto commands = Take(WM_COMMAND);
                      ASSERT_EQ(commands.size(), 1u) << p.command;
                      EXPECT_EQ(commands[0].wParam, p.command);
                      EXPECT_EQ(commands[0].lParam, reinterpret_cast<LPARAM>(p.from));
                      EXPECT_TRUE(dialog->widget->isVisible());
                  }
                  // Disabling the focused button leaves the focus nowhere, as on Windows.
                  button->setFocus();
                  EnableWindow(buttonWindow, FALSE);
                  EXPECT_EQ(GetFocus(), nullptr);
                  EXPECT_FALSE(button->isEnabled());
                  // UpdateWindow paints a new text before the event loop runs again.
                  PaintRecorder recorder;
                  button->installEventFilter(&recorder);
                  SetWindowText1251(buttonWindow, "\xC6\xE4\xE8");  // "Жди"
                  UpdateWindow(dialog);
                  button->removeEventFilter(&recorder);
                  EXPECT_TRUE(recorder.painted.contains(QString::fromUtf8("Жди")));
                  // An empty list has no selection to give: the program relies on it.
                  SendDlgItemMessageA(dialog, IDC_DEVICE, CB_SETCURSEL, 0, 0);
                  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_DEVICE, CB_GETCURSEL, 0, 0), CB_ERR);
                  EXPECT_TRUE(EndDialog(dialog, 3));
              }),
              3);
}

// Signed ranges; the Windows trackbar's keys and a click toward the left
// end, or the top of a vertical trackbar, each report one move, as no
// TBM_SETPOS does. What AT-SPI does not carry (the ScreenReader test reads
// the rest): the accessible value as text, the coordinate the readout shows.
TEST(Dialog, TrackbarsKeepSignedRangesReportEveryUserMoveAndReadAsTheirReadouts) {
    const struct {
        Qt::Key key;  // none: a click near the minimum's end
        int position;
    } moves[] = {{Qt::Key_Left, -10},   {Qt::Key_Up, -10},      {Qt::Key_Right, 10},
                 {Qt::Key_Down, 10},    {Qt::Key_PageUp, -800}, {Qt::Key_PageDown, 800},
                 {Qt::Key_Home, -2000}, {Qt::Key_End, 2000},    {Qt::Key_unknown, -800}};
    RunMain([&] {
        for (int id : {IDC_SLIDER_X, IDC_SLIDER_Z}) {
            auto* slider = qobject_cast<QSlider*>(ControlWidget(dialog, id));
            const bool vertical = slider->orientation() == Qt::Vertical;
            SendDlgItemMessageA(dialog, id, TBM_SETRANGE, TRUE, MAKELPARAM(-2000, 2000));
            EXPECT_EQ(SendDlgItemMessageA(dialog, id, TBM_GETRANGEMIN, 0, 0), -2000);
            EXPECT_EQ(SendDlgItemMessageA(dialog, id, TBM_GETRANGEMAX, 0, 0), 2000);
            slider->setFocus();
            for (const auto& m : moves) {
                SCOPED_TRACE(testing::Message() << id << " key " << m.key);
                SendDlgItemMessageA(dialog, id, TBM_SETPOS, TRUE, 0);
                if (m.key != Qt::Key_unknown) {
                    QTest::keyClick(slider, m.key);
                } else {
                    const QPoint middle = slider->rect().center();
                    QTest::mouseClick(slider, Qt::LeftButton, {},
                                      vertical ? QPoint(middle.x(), 2) : QPoint(2, middle.y()));
                }
                EXPECT_EQ(SendDlgItemMessageA(dialog, id, TBM_GETPOS, 0, 0), m.position);
                const auto messages = Take(vertical ? WM_VSCROLL : WM_HSCROLL);
                ASSERT_EQ(messages.size(), 1u);
                EXPECT_EQ(messages[0].lParam, reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
            }
            SendDlgItemMessageA(dialog, id, TBM_SETPOS, TRUE, -800);
            EXPECT_EQ(QAccessible::queryAccessibleInterface(slider)
                          ->text(QAccessible::Value)
                          .toStdString(),
                      vertical ? "0.80" : "-0.80");
        }
    });
}

TEST(Dialog, TheErrorBoxIsModalOverTheDialogWithCaptionTextIconAndOneOk) {
    RunMain([] {
        bool inspected = false;
        QTimer::singleShot(0, [&] {  // runs inside the box's own loop
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            inspected = true;
            EXPECT_EQ(box->windowTitle(), QString::fromUtf8("Ошибка"));
            EXPECT_EQ(box->text(), QString::fromUtf8("Нет звука (0x88780078)"));
            EXPECT_EQ(box->icon(), QMessageBox::Critical);
            EXPECT_EQ(box->parentWidget(), dialog->widget);
            ASSERT_EQ(box->buttons(), QList<QAbstractButton*>{box->button(QMessageBox::Ok)});
            box->button(QMessageBox::Ok)->click();
        });
        MessageBox1251(dialog, "\xCD\xE5\xF2 \xE7\xE2\xF3\xEA\xE0 (0x88780078)",
                       "\xCE\xF8\xE8\xE1\xEA\xE0", MB_ICONERROR);
        EXPECT_TRUE(inspected);
    });
}

// In a child started afresh, without the tests' QApplication.
TEST(ApplicationDeathTest, WithoutADisplayOneLineNamesTheCauseAndTheExitCodeIs255) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT((unsetenv("DISPLAY"), setenv("QT_QPA_PLATFORM", "xcb", 1), EnsureApplication()),
                testing::ExitedWithCode(255),
                "^sound3d: cannot show the dialog: no usable display \\(could not connect to "
                "display\\)\n$");
}

}  // namespace
