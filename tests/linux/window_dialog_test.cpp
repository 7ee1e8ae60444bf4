// The dialog built from the program's real template, run by a dialog
// procedure of the test's own that records what reaches it.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <cstring>
#include <string>
#include <vector>

#include "platform/linux/window/windows_1251.h"
#include "platform/win32_decls.h"
#include "platform/window_text.h"
#include "resources/dialog_template.h"
#include "resources/resource_ids.h"
#include "tests/linux/window_test_support.h"

namespace {

struct Message {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

HWND dialog = nullptr;
std::vector<Message> received;

INT_PTR CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        dialog = window;
        return TRUE;
    }
    received.push_back({message, wParam, lParam});
    return FALSE;
}

INT_PTR RunMain(const std::function<void()>& script) {
    received.clear();
    return RunDialogWith(
        [] {
            return DialogBoxParamW(nullptr, MAKEINTRESOURCEW(IDD_MAIN), nullptr, RecordingProc, 0);
        },
        script);
}

// The messages of one kind the procedure received since the last take.
std::vector<Message> Take(UINT message) {
    std::vector<Message> found;
    for (const Message& m : received) {
        if (m.message == message) {
            found.push_back(m);
        }
    }
    received.clear();
    return found;
}

int FocusedId() { return GetFocus() != nullptr ? GetFocus()->controlId : 0; }

std::string Text(int id, int size = 300) {
    char text[300];
    const int length = GetWindowText1251(GetDlgItem(dialog, id), text, size);
    EXPECT_EQ(static_cast<size_t>(length), std::strlen(text));
    return text;
}

// Every control of the template as its widget, with its style and text;
// every control where the template's dialog units put it.
TEST(Dialog, BuildsTheTemplateControlsWithTheirClassesTextsAndStyles) {
    const std::pair<const char*, const char*> widgetClasses[] = {{"COMBOBOX", "QComboBox"},
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
        EXPECT_EQ(static_cast<uint32_t>(GetWindowLongA(dialog, GWL_STYLE)) & ~WS_VISIBLE,
                  mainDialog.style);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        EXPECT_LE((window->frameGeometry().center() - screen.center()).manhattanLength(), 2);
        // Dialog units follow the font: a quarter of the average width of A..Z
        // and a..z, rounded to whole pixels as Windows does, an eighth of its height.
        const QFontMetrics metrics(window->font());
        const double unitX = qRound(metrics.horizontalAdvance(
                                        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") /
                                    52.0) /
                             4.0;
        const double unitY = metrics.height() / 8.0;
        EXPECT_EQ(window->width(), qRound(mainDialog.rect.width * unitX));
        EXPECT_NEAR(window->height(), mainDialog.rect.height * unitY, 1);
        const QList<QWidget*> widgets =
            window->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        ASSERT_EQ(widgets.size(), mainDialog.controlCount);
        for (int i = 0; i < mainDialog.controlCount; ++i) {
            const ControlTemplate& control = mainDialog.controls[i];
            SCOPED_TRACE(control.text);
            QWidget* widget = widgets[i];
            for (const auto& entry : widgetClasses) {
                EXPECT_TRUE(QString(control.className).compare(entry.first, Qt::CaseInsensitive) !=
                                0 ||
                            widget->inherits(entry.second));
            }
            const QRect at = widget->geometry();
            EXPECT_NEAR(at.x(), control.rect.x * unitX, 1);
            EXPECT_NEAR(at.y(), control.rect.y * unitY, 1);
            EXPECT_NEAR(at.width(), control.rect.width * unitX, 1);
            if (auto* combo =
                    qobject_cast<QComboBox*>(widget)) {  // its height holds the drop-down list
                EXPECT_EQ(combo->isEditable(), control.id == IDC_ANGLE);
                continue;
            }
            EXPECT_NEAR(at.height(), control.rect.height * unitY, 1);
            if (control.id == -1) {
                continue;
            }
            EXPECT_EQ(
                static_cast<uint32_t>(GetWindowLongA(GetDlgItem(dialog, control.id), GWL_STYLE)),
                control.style);
            char expected[64];
            ToWindows1251(QString::fromUtf8(control.text), expected, sizeof expected);
            EXPECT_EQ(Text(control.id), expected);
        }
        EXPECT_EQ(Text(IDC_VALUE_X, 2), "X") << "at most size - 1 characters, terminated";
    });
}

TEST(Dialog, FocusStartsOnTheFirstTabStopAndTabFollowsTemplateOrder) {
    RunMain([&] {
        for (int id : {IDC_VIRTUALIZATION, IDC_DEVICE, IDC_START, IDC_SLIDER_X, IDC_SLIDER_Y,
                       IDC_SLIDER_Z, IDC_SPEAKERS, IDC_ANGLE, IDC_VIRTUALIZATION}) {
            EXPECT_EQ(FocusedId(), id);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        // WM_NEXTDLGCTL: a given control.
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_START)),
                     TRUE);
        EXPECT_EQ(FocusedId(), IDC_START);
        EXPECT_TRUE(IsChild(dialog, GetFocus()));
        EXPECT_FALSE(IsChild(GetFocus(), dialog));
    });
}

// Records the texts a button was painted with.
struct PaintRecorder : QObject {
    QStringList painted;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            painted << static_cast<QPushButton*>(watched)->text();
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
                      std::function<void()> press;
                      WPARAM command;  // BN_CLICKED, 0, in the high word
                      HWND from;
                  } presses[] = {
                      {[&] { QTest::mouseClick(button, Qt::LeftButton); }, IDC_START, buttonWindow},
                      {[&] {
                           button->setFocus();
                           QTest::keyClick(button, Qt::Key_Space);
                       },
                       IDC_START, buttonWindow},
                      {[&] {
                           button->setFocus();
                           QTest::keyClick(button, Qt::Key_Return);
                       },
                       IDC_START, buttonWindow},
                      {[&] {
                           list->setFocus();
                           QTest::keyClick(list, Qt::Key_Return);
                       },
                       IDOK, nullptr},
                      {[&] { QTest::keyClick(list, Qt::Key_Escape); }, IDCANCEL, nullptr},
                      {[&] { QTest::keyClick(dialog->widget, Qt::Key_Escape); }, IDCANCEL, nullptr},
                      {[&] { dialog->widget->close(); }, IDCANCEL, nullptr},
                  };
                  for (const auto& p : presses) {
                      p.press();
                      const auto commands = Take(WM_COMMAND);
                      ASSERT_EQ(commands.size(), 1u) << p.command;
                      EXPECT_EQ(commands[0].wParam, p.command);
                      EXPECT_EQ(commands[0].lParam, reinterpret_cast<LPARAM>(p.from));
                      EXPECT_TRUE(dialog->widget->isVisible());
                  }
                  // Disabling the focused button leaves the focus nowhere, as on Windows.
                  button->setFocus();
                  EXPECT_FALSE(EnableWindow(buttonWindow, FALSE));
                  EXPECT_EQ(GetFocus(), nullptr);
                  EXPECT_NE(GetWindowLongA(buttonWindow, GWL_STYLE) & WS_DISABLED, 0);
                  // UpdateWindow paints a new text before the event loop runs again.
                  PaintRecorder recorder;
                  button->installEventFilter(&recorder);
                  SetWindowText1251(buttonWindow, "\xC6\xE4\xE8");  // "Жди"
                  UpdateWindow(dialog);
                  button->removeEventFilter(&recorder);
                  EXPECT_TRUE(recorder.painted.contains(QString::fromUtf8("Жди")));
                  // An empty device list has no selection to open: the program relies on it.
                  SendDlgItemMessageA(dialog, IDC_DEVICE, CB_SETCURSEL, 0, 0);
                  EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_DEVICE, CB_GETCURSEL, 0, 0), -1);
                  EXPECT_TRUE(EndDialog(dialog, 3));
              }),
              3);
}

// Signed ranges; a click toward the left end, or the top of a vertical
// trackbar, lowers the position and is reported, as no TBM_SETPOS is.
TEST(Dialog, TrackbarsKeepSignedRangesAndReportEveryUserMove) {
    RunMain([&] {
        for (int id : {IDC_SLIDER_X, IDC_SLIDER_Y}) {
            SCOPED_TRACE(id);
            auto* slider = qobject_cast<QSlider*>(ControlWidget(dialog, id));
            const bool vertical = slider->orientation() == Qt::Vertical;
            SendDlgItemMessageA(dialog, id, TBM_SETRANGE, TRUE, MAKELPARAM(-2000, 2000));
            EXPECT_EQ(SendDlgItemMessageA(dialog, id, TBM_GETRANGEMIN, 0, 0), -2000);
            EXPECT_EQ(SendDlgItemMessageA(dialog, id, TBM_GETRANGEMAX, 0, 0), 2000);
            SendDlgItemMessageA(dialog, id, TBM_SETPOS, TRUE, 0);
            const QPoint middle = slider->rect().center();
            QTest::mouseClick(slider, Qt::LeftButton, {},
                              vertical ? QPoint(middle.x(), 2) : QPoint(2, middle.y()));
            EXPECT_LT(SendDlgItemMessageA(dialog, id, TBM_GETPOS, 0, 0), 0);
            const auto messages = Take(vertical ? WM_VSCROLL : WM_HSCROLL);
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_EQ(LOWORD(messages[0].wParam), TB_PAGEUP);
            EXPECT_EQ(messages[0].lParam, reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
        }
    });
}

// The Windows trackbar's keys, alike on both orientations in positions: the
// minimum is the left end, or the top, where the program reads +2.0.
TEST(Dialog, TrackbarKeysMoveAsOnWindowsAndEndTheMoveWhenReleased) {
    const struct {
        Qt::Key key;
        int position, code;
    } keys[] = {{Qt::Key_Left, -10, 0},   {Qt::Key_Up, -10, 0},      {Qt::Key_Right, 10, 1},
                {Qt::Key_Down, 10, 1},    {Qt::Key_PageUp, -800, 2}, {Qt::Key_PageDown, 800, 3},
                {Qt::Key_Home, -2000, 6}, {Qt::Key_End, 2000, 7}};
    RunMain([&] {
        for (int id : {IDC_SLIDER_X, IDC_SLIDER_Z}) {
            QWidget* slider = ControlWidget(dialog, id);
            const UINT scroll = id == IDC_SLIDER_X ? WM_HSCROLL : WM_VSCROLL;
            SendDlgItemMessageA(dialog, id, TBM_SETRANGE, TRUE, MAKELPARAM(-2000, 2000));
            slider->setFocus();
            for (const auto& k : keys) {
                SCOPED_TRACE(testing::Message() << id << " key " << k.key);
                SendDlgItemMessageA(dialog, id, TBM_SETPOS, TRUE, 0);
                QTest::keyClick(slider, k.key);
                EXPECT_EQ(SendDlgItemMessageA(dialog, id, TBM_GETPOS, 0, 0), k.position);
                const auto messages = Take(scroll);
                ASSERT_EQ(messages.size(), 2u);
                EXPECT_EQ(LOWORD(messages[0].wParam), k.code);
                EXPECT_EQ(LOWORD(messages[1].wParam), 8) << "TB_ENDTRACK";
            }
        }
    });
}

// A trackbar's accessible value is the coordinate its readout shows, with
// its sign, and a screen reader's move of it is the user's. (Names, the
// lists' items, ranges and steps are read over AT-SPI by the ScreenReader test.)
TEST(Dialog, ScreenReadersGetTheReadoutsCoordinates) {
    RunMain([&] {
        for (int id : {IDC_SLIDER_X, IDC_SLIDER_Y}) {
            SendDlgItemMessageA(dialog, id, TBM_SETRANGE, TRUE, MAKELPARAM(-2000, 2000));
            SendDlgItemMessageA(dialog, id, TBM_SETPOS, TRUE, -800);
            QAccessibleValueInterface* value =
                QAccessible::queryAccessibleInterface(ControlWidget(dialog, id))->valueInterface();
            ASSERT_NE(value, nullptr);
            EXPECT_FLOAT_EQ(value->currentValue().toFloat(), id == IDC_SLIDER_X ? -0.8f : 0.8f);
            value->setCurrentValue(1.5);
            EXPECT_EQ(SendDlgItemMessageA(dialog, id, TBM_GETPOS, 0, 0),
                      id == IDC_SLIDER_X ? 1500 : -1500);
            EXPECT_EQ(Take(id == IDC_SLIDER_X ? WM_HSCROLL : WM_VSCROLL).size(), 1u)
                << "the user's move";
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
        EXPECT_TRUE(dialog->widget->isVisible());
    });
}

}  // namespace
