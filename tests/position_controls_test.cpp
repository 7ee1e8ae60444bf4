#include <string>
#include <vector>

#include "app/position_controls.h"
#include "resources/resource_ids.h"
#include "tests/program_test.h"

namespace {

class PositionTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        MainDialogProc(FakeDialog(), WM_INITDIALOG, 0, 0);
    }

    static void MoveTo(int slider, int raw) {
        fake.controls[slider].position = raw;
        const UINT message = slider == IDC_SLIDER_X ? WM_HSCROLL : WM_VSCROLL;
        MainDialogProc(FakeDialog(), message, 0, 0);
    }

    static std::string TextOf(int control) { return fake.controls[control].text; }
};

TEST_F(PositionTest, TrackbarsRunFromMinusToPlusTwoThousandAndStartCentred) {
    for (int slider : {IDC_SLIDER_X, IDC_SLIDER_Y, IDC_SLIDER_Z}) {
        EXPECT_EQ(fake.controls[slider].rangeMin, -2000);
        EXPECT_EQ(fake.controls[slider].rangeMax, 2000);
        EXPECT_EQ(fake.controls[slider].position, 0);
    }
    EXPECT_EQ(TextOf(IDC_VALUE_X), "X= 00.00");
    EXPECT_EQ(TextOf(IDC_VALUE_Y), "Y= 00.00");
    EXPECT_EQ(TextOf(IDC_VALUE_Z), "Z= 00.00");
}

TEST_F(PositionTest, CentreIsTakenFromTheRangeReadBack) {
    // A trackbar that kept another range is centred on what it reports.
    fake.controls[IDC_SLIDER_X].rangeMin = -2000;
    InitPositionSlider(IDC_SLIDER_X, -1.0f, 3.0f);
    EXPECT_EQ(fake.controls[IDC_SLIDER_X].rangeMin, -1000);
    EXPECT_EQ(fake.controls[IDC_SLIDER_X].rangeMax, 3000);
    EXPECT_EQ(fake.controls[IDC_SLIDER_X].position, 1000);
    InitPositionSlider(IDC_SLIDER_X, -1.0f, 0.0015f);
    EXPECT_EQ(fake.controls[IDC_SLIDER_X].position, -499);  // (-1000 + 1) / 2 truncates
}

TEST_F(PositionTest, ReadoutsRoundExactHalvesAwayFromZero) {
    const struct {
        int raw;
        const char* x;      // X shows the raw position as it is
        const char* yAndZ;  // vertical trackbars show it negated
    } cases[] = {
        {0, " 00.00", " 00.00"},
        {-2000, "-02.00", " 02.00"},
        {2000, " 02.00", "-02.00"},
        {1500, " 01.50", "-01.50"},
        {1, " 00.00", "-00.00"},
        {-1, "-00.00", " 00.00"},
        {5, " 00.00", "-00.00"},
        {45, " 00.05", "-00.05"},
        {-45, "-00.05", " 00.05"},
        {125, " 00.13", "-00.13"},
        {375, " 00.38", "-00.38"},
        {625, " 00.63", "-00.63"},
        {1125, " 01.13", "-01.13"},
        {1625, " 01.63", "-01.63"},
        {-125, "-00.13", " 00.13"},
        {-375, "-00.38", " 00.38"},
        {-625, "-00.63", " 00.63"},
        {-1125, "-01.13", " 01.13"},
        {-1625, "-01.63", " 01.63"},
        {15, " 00.01", "-00.01"},
        {994, " 00.99", "-00.99"},
        {995, " 01.00", "-01.00"},
        {1999, " 02.00", "-02.00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.raw);
        MoveTo(IDC_SLIDER_X, c.raw);
        MoveTo(IDC_SLIDER_Y, c.raw);
        MoveTo(IDC_SLIDER_Z, c.raw);
        EXPECT_EQ(TextOf(IDC_VALUE_X), std::string("X=") + c.x);
        EXPECT_EQ(TextOf(IDC_VALUE_Y), std::string("Y=") + c.yAndZ);
        EXPECT_EQ(TextOf(IDC_VALUE_Z), std::string("Z=") + c.yAndZ);
    }
}

TEST_F(PositionTest, OneMoveWhilePlayingSendsOnePositionWithAllAxes) {
    fake.controls[IDC_SLIDER_X].position = 1500;
    fake.controls[IDC_SLIDER_Y].position = -250;
    MainDialogProc(FakeDialog(), WM_COMMAND, IDC_START, 0);
    ASSERT_TRUE(playing);
    fake.calls.clear();

    MoveTo(IDC_SLIDER_Z, 2000);

    EXPECT_EQ(fake.calls,
              (std::vector<std::string>{"source3D.SetPosition(1.500, 0.250, -2.000, 0)"}));
    EXPECT_EQ(TextOf(IDC_VALUE_X), "X= 01.50");
    EXPECT_EQ(TextOf(IDC_VALUE_Y), "Y= 00.25");
    EXPECT_EQ(TextOf(IDC_VALUE_Z), "Z=-02.00");
    MainDialogProc(FakeDialog(), WM_COMMAND, IDC_START, 0);
}

TEST_F(PositionTest, MovesWhileIdleOnlyChangeReadoutsUntilTheNextStart) {
    fake.calls.clear();
    MoveTo(IDC_SLIDER_X, -1000);
    MoveTo(IDC_SLIDER_Y, -2000);
    EXPECT_TRUE(fake.calls.empty());
    EXPECT_EQ(TextOf(IDC_VALUE_X), "X=-01.00");
    EXPECT_EQ(TextOf(IDC_VALUE_Y), "Y= 02.00");

    MainDialogProc(FakeDialog(), WM_COMMAND, IDC_START, 0);
    EXPECT_EQ(CallsStartingWith("source3D.SetPosition"),
              (std::vector<std::string>{"source3D.SetPosition(-1.000, 2.000, 0.000, 0)"}));
    MainDialogProc(FakeDialog(), WM_COMMAND, IDC_START, 0);
}

TEST(FormatReadout, KeepsTheMinusOfANegativeZeroAndFitsTheBuffer) {
    char text[32];
    FormatReadout(text, sizeof text, 'X', -0.0f);
    EXPECT_STREQ(text, "X=-00.00");
    FormatReadout(text, sizeof text, 'Z', 12.345f);
    EXPECT_STREQ(text, "Z= 12.35");
    FormatReadout(text, 5, 'X', 1.0f);
    EXPECT_STREQ(text, "X= 0");
}

}  // namespace
