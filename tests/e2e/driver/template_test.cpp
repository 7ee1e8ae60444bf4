// The dialog as its template lays it out: caption, controls, styles,
// positions, tab order, first focus, the lists and their defaults.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "alsa_output.h"
#include "screen.h"
#include "sound3d_app.h"

namespace e2e {
namespace {

struct ControlTemplate {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    int x, y, width, height;  // dialog units
};

// Template order.  The readouts show the origin from the start, so that is
// their text.
const ControlTemplate kControls[] = {
    {kVirtualization, L"ComboBox", L"", 0x50210003, 75, 55, 60, 90},
    {-1, L"Static", L"Виртуализация", 0x50020000, 5, 60, 63, 8},
    {kDevice, L"ComboBox", L"", 0x50210003, 65, 5, 130, 89},
    {-1, L"Static", L"Устройство", 0x50020000, 5, 10, 53, 8},
    {kStartStop, L"Button", L"Старт", 0x50010000, 160, 55, 35, 14},
    {kSliderX, L"msctls_trackbar32", L"Slider1", 0x50010018, 15, 86, 100, 15},
    {kSliderY, L"msctls_trackbar32", L"Slider2", 0x5001001A, 55, 110, 15, 75},
    {kSliderZ, L"msctls_trackbar32", L"Slider3", 0x5001001A, 131, 80, 15, 105},
    {-1, L"Static", L"X", 0x50020000, 5, 90, 8, 8},
    {-1, L"Static", L"Y", 0x50020000, 41, 145, 8, 8},
    {-1, L"Static", L"Z", 0x50020000, 121, 130, 8, 8},
    {kReadoutX, L"Static", L"X= 00.00", 0x50020000, 160, 95, 35, 8},
    {kReadoutY, L"Static", L"Y= 00.00", 0x50020000, 160, 110, 35, 8},
    {kReadoutZ, L"Static", L"Z= 00.00", 0x50020000, 160, 125, 35, 8},
    {-1, L"Static", L"Излучатели", 0x50020000, 5, 35, 40, 8},
    {kSpeakers, L"ComboBox", L"", 0x50210003, 65, 30, 70, 110},
    {-1, L"Static", L"Угол", 0x50020000, 145, 35, 18, 8},
    {kAngle, L"ComboBox", L"", 0x50210002, 165, 30, 30, 65},
};

const int kTabOrder[] = {kVirtualization, kDevice,  kStartStop, kSliderX,
                         kSliderY,        kSliderZ, kSpeakers,  kAngle};

// The dialog manager maps each coordinate and size of the template the way
// MapDialogRect does, so controls must agree to the pixel.  Rounded sums
// (a centre, a drop-down height less its field) may be off by a pixel or two.
const int kExact = 0;
const int kRounded = 2;

bool IsComboBox(const ControlTemplate& control) {
    return std::wstring(control.className) == L"ComboBox";
}

RECT ClientRectOf(HWND control, HWND dialog) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

::testing::AssertionResult Near(const char* what, long actual, long expected,
                                int tolerance = kExact) {
    if (std::labs(actual - expected) <= tolerance) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << what << " is " << actual << " px, the template gives "
                                         << expected << " px";
}

// The control that has the focus, for a combo box with an edit field the
// box itself.
HWND FocusedControl(const Sound3d& app) {
    HWND focus = app.Focus();
    HWND parent = focus != nullptr ? GetParent(focus) : nullptr;
    return parent != nullptr && parent != app.Dialog() && ClassName(parent) == L"ComboBox"
               ? parent
               : focus;
}

struct List {
    int id;
    std::vector<std::wstring> items;
    int selected;
};

// The devices are what Wine lists for the capture output.
const List kLists[] = {
    {kVirtualization, {L"Нет", L"Частичная", L"Полная"}, 2},
    {kDevice, {L"Primary Sound Driver", L"Out: default"}, 0},
    {kSpeakers,
     {L"Наушники", L"Моно", L"Квадроколонки", L"Стереоколонки", L"Система Surround",
      L"Система 5point1"},
     0},
    {kAngle, {L"5", L"10", L"20", L"180"}, 1},
};

void ExpectListsAndDefaults(const Sound3d& app) {
    for (const List& list : kLists) {
        SCOPED_TRACE(::testing::Message() << "list " << list.id);
        const std::vector<std::wstring> items = app.ListTexts(list.id);
        ASSERT_EQ(items.size(), list.items.size());
        for (size_t i = 0; i < items.size(); ++i) {
            EXPECT_TEXT(items[i], list.items[i]);
        }
        EXPECT_EQ(app.Selection(list.id), list.selected);
        EXPECT_TEXT(ControlText(app.Item(list.id)), list.items[list.selected]);
    }
}

// One program for the cases that only look.
class DialogTemplate : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(CaptureTo(TempFile("template.wav")));
        app_ = new Sound3d;
        launched_ = app_->Launch();
        ASSERT_TRUE(twin_.Create(35, 14));
    }
    static void TearDownTestSuite() {
        delete app_;
        app_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(launched_); }

    static Sound3d* app_;
    static ::testing::AssertionResult launched_;
    static TwinDialog twin_;
};

Sound3d* DialogTemplate::app_ = nullptr;
::testing::AssertionResult DialogTemplate::launched_ = ::testing::AssertionFailure();
TwinDialog DialogTemplate::twin_;

TEST_F(DialogTemplate, CaptionClassStyleAndSize) {
    HWND dialog = app_->Dialog();
    EXPECT_TEXT(WindowText(dialog), L"DirectSound 3D");
    EXPECT_TEXT(ClassName(dialog), L"#32770");
    // The dialog manager adds visibility, sibling clipping and the 3D look.
    const DWORD style = static_cast<DWORD>(GetWindowLongW(dialog, GWL_STYLE));
    EXPECT_EQ(style & ~static_cast<DWORD>(WS_VISIBLE | WS_CLIPSIBLINGS | DS_3DLOOK), 0x00CA08C0u)
        << std::hex << style;

    // The same font in a dialog of the driver's gives the same dialog units.
    const SIZE expected = twin_.MapSize(202, 191);
    RECT client;
    GetClientRect(dialog, &client);
    EXPECT_TRUE(Near("client width", client.right, expected.cx));
    EXPECT_TRUE(Near("client height", client.bottom, expected.cy));

    // DS_CENTER: in the middle of the screen.
    RECT window;
    GetWindowRect(dialog, &window);
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_TRUE(Near("horizontal centre", (window.left + window.right) / 2,
                     (work.left + work.right) / 2, kRounded));
    EXPECT_TRUE(Near("vertical centre", (window.top + window.bottom) / 2,
                     (work.top + work.bottom) / 2, kRounded));
}

TEST_F(DialogTemplate, ControlsInTemplateOrder) {
    const std::vector<HWND> children = Children(app_->Dialog());
    ASSERT_EQ(children.size(), sizeof kControls / sizeof kControls[0]);
    // What Wine subtracts from a combo box's height for its drop-down list
    // is the same for all four; see below.
    std::vector<long> comboOffsets;
    for (size_t i = 0; i < children.size(); ++i) {
        const ControlTemplate& expected = kControls[i];
        HWND control = children[i];
        SCOPED_TRACE(::testing::Message() << "control " << i + 1 << " (" << expected.id << ")");
        // Dialog identifiers are 16 bits: -1 reads back as 0xFFFF.
        EXPECT_EQ(GetDlgCtrlID(control) & 0xFFFF, expected.id & 0xFFFF);
        EXPECT_TEXT(ClassName(control), expected.className);
        EXPECT_TEXT(WindowText(control), expected.text);
        DWORD style = static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
        DWORD expectedStyle = expected.style;
        if (IsComboBox(expected)) {
            // Wine's combo box hands WS_VSCROLL on to its list and drops it
            // from its own style; ListsScrollWhenLong checks it there.
            style &= ~static_cast<DWORD>(WS_VSCROLL);
            expectedStyle &= ~static_cast<DWORD>(WS_VSCROLL);
        }
        EXPECT_EQ(style, expectedStyle) << std::hex << "style 0x" << style;

        const POINT place = twin_.MapPoint(expected.x, expected.y);
        const SIZE size = twin_.MapSize(expected.width, expected.height);
        const RECT actual = ClientRectOf(control, app_->Dialog());
        EXPECT_TRUE(Near("left", actual.left, place.x));
        EXPECT_TRUE(Near("top", actual.top, place.y));
        EXPECT_TRUE(Near("width", actual.right - actual.left, size.cx));
        if (!IsComboBox(expected)) {
            EXPECT_TRUE(Near("height", actual.bottom - actual.top, size.cy));
            continue;
        }
        // A combo box's template height is its height when dropped down.
        // Windows reports that as the dropped control rectangle; Wine
        // reports the list part only, without the field above it.
        RECT dropped = {};
        ASSERT_TRUE(SendWithin(control, CB_GETDROPPEDCONTROLRECT, 0,
                               reinterpret_cast<LPARAM>(&dropped)));
        comboOffsets.push_back(size.cy - (dropped.bottom - dropped.top));
    }
    ASSERT_EQ(comboOffsets.size(), 4u);
    const long fieldHeight = [&] {
        RECT field;
        GetWindowRect(app_->Item(kVirtualization), &field);
        return field.bottom - field.top;
    }();
    // The same offset for all four keeps their heights as the template
    // relates them; it can be nothing (Windows) or the field with its
    // borders (Wine).
    for (long offset : comboOffsets) {
        EXPECT_TRUE(Near("offset of a drop-down height", offset, comboOffsets[0], kRounded));
        EXPECT_TRUE(std::labs(offset) <= kRounded || (offset > fieldHeight && offset <= fieldHeight + 6))
            << "drop-down heights off by " << offset << " px; the field is " << fieldHeight
            << " px high";
    }
}

TEST_F(DialogTemplate, TabOrderWrapsAround) {
    HWND dialog = app_->Dialog();
    const size_t count = sizeof kTabOrder / sizeof kTabOrder[0];
    for (size_t i = 0; i < count; ++i) {
        const int next = kTabOrder[(i + 1) % count];
        EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(dialog, app_->Item(kTabOrder[i]), FALSE)), next)
            << "after " << kTabOrder[i];
        EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(dialog, app_->Item(next), TRUE)), kTabOrder[i])
            << "before " << next;
    }
}

TEST_F(DialogTemplate, ListsAndTheirDefaults) {
    ExpectListsAndDefaults(*app_);
}

TEST_F(DialogTemplate, ListsScrollWhenLong) {
    // A list shows a scroll bar once it holds more than fits, if the box has
    // WS_VSCROLL.  Runs on a program of its own: it adds to the lists.
    Sound3d app;
    ASSERT_TRUE(app.Launch());
    for (int id : {kVirtualization, kDevice, kSpeakers, kAngle}) {
        SCOPED_TRACE(::testing::Message() << "list " << id);
        HWND combo = app.Item(id);
        for (int i = 0; i < 30; ++i) {
            ASSERT_TRUE(SendWithin(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"filler")));
        }
        ASSERT_TRUE(SendWithin(combo, CB_SHOWDROPDOWN, TRUE, 0));
        HWND list = nullptr;
        for (HWND window = GetTopWindow(nullptr); window != nullptr;
             window = GetWindow(window, GW_HWNDNEXT)) {
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == app.ProcessId() && IsWindowVisible(window) &&
                ClassName(window) == L"ComboLBox") {
                list = window;
            }
        }
        ASSERT_NE(list, nullptr) << "no list dropped down";
        EXPECT_NE(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL, 0);
        ASSERT_TRUE(SendWithin(combo, CB_SHOWDROPDOWN, FALSE, 0));
    }
}

// The program keeps its texts in Windows-1251 but hands them to the
// controls as UTF-16, so they must read the same whatever the ANSI code
// page.  Wine takes the code page from the Unix locale the driver was
// started under, which a child's environment cannot change: run.sh runs this
// case alone under C.UTF-8.
TEST(OtherCodePage, TextsReadTheSame) {
    if (GetACP() == 1251) {
        GTEST_SKIP() << "run.sh runs this under a locale without Cyrillic";
    }
    ASSERT_TRUE(CaptureTo(TempFile("codepage.wav")));
    Sound3d app;
    ASSERT_TRUE(app.Launch());
    EXPECT_TEXT(WindowText(app.Dialog()), L"DirectSound 3D");
    const std::vector<HWND> children = Children(app.Dialog());
    ASSERT_EQ(children.size(), sizeof kControls / sizeof kControls[0]);
    for (size_t i = 0; i < children.size(); ++i) {
        EXPECT_TEXT(WindowText(children[i]), kControls[i].text) << "control " << i + 1;
    }
    ExpectListsAndDefaults(app);
    ASSERT_TRUE(app.Start());  // "Стоп", read as UTF-16
    ASSERT_TRUE(app.Stop());   // "Старт"
    app.PostKey(VK_ESCAPE);
    EXPECT_TRUE(app.ExitsWith(0));
}

TEST(DialogFocus, StartsOnTheVirtualizationListAndTabsInOrder) {
    ASSERT_TRUE(CaptureTo(TempFile("focus.wav")));
    Sound3d app;
    ASSERT_TRUE(app.Launch());
    ASSERT_EQ(GetDlgCtrlID(FocusedControl(app)), kVirtualization);
    // Tab keys through the dialog's message loop, once round.
    const size_t count = sizeof kTabOrder / sizeof kTabOrder[0];
    for (size_t i = 1; i <= count; ++i) {
        app.PostKey(VK_TAB);
        ASSERT_TRUE(app.Sync());
        EXPECT_EQ(GetDlgCtrlID(FocusedControl(app)), kTabOrder[i % count]) << "tab " << i;
    }
}

TEST(DialogAngleBox, TypingStopsWhenTheBoxIsFull) {
    ASSERT_TRUE(CaptureTo(TempFile("typing.wav")));
    Sound3d app;
    ASSERT_TRUE(app.Launch());
    HWND field = GetWindow(app.Item(kAngle), GW_CHILD);
    ASSERT_TEXT(ClassName(field), L"Edit");
    EXPECT_EQ(GetWindowLongW(field, GWL_STYLE) & ES_AUTOHSCROLL, 0);

    ASSERT_TRUE(SendWithin(app.Dialog(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(app.Item(kAngle)),
                           TRUE));
    ASSERT_EQ(app.Focus(), field);
    ASSERT_TRUE(SendWithin(field, EM_SETSEL, 0, -1));
    const std::wstring typed = L"123456789012345678901234567890";
    for (wchar_t c : typed) {
        app.PostChar(c);
    }
    ASSERT_TRUE(app.Sync());
    const std::wstring kept = ControlText(app.Item(kAngle));
    EXPECT_FALSE(kept.empty());
    EXPECT_LT(kept.size(), typed.size());
    EXPECT_TEXT(kept, typed.substr(0, kept.size()));
}

}  // namespace
}  // namespace e2e
