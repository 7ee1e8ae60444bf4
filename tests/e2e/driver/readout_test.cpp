// The three trackbars and their readouts: range, scale, the vertical ones
// counting upwards, and the rounding of the readout.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cmath>
#include <string>

#include "alsa_output.h"
#include "sound3d_app.h"

namespace e2e {
namespace {

struct Axis {
    int slider;
    int readout;
    wchar_t name;
    bool vertical;  // top is +2
};

const Axis kAxes[] = {
    {kSliderX, kReadoutX, L'X', false},
    {kSliderY, kReadoutY, L'Y', true},
    {kSliderZ, kReadoutZ, L'Z', true},
};

const Axis& AxisOf(int slider) {
    for (const Axis& axis : kAxes) {
        if (axis.slider == slider) {
            return axis;
        }
    }
    return kAxes[0];
}

// The readout worked out independently of the program: the coordinate is
// the position / 1000 as a float, whose exact binary value decides the
// rounding to hundredths, halves away from zero; printf's "% 06.2f" layout.
std::wstring ExpectedReadout(wchar_t name, int position, bool vertical) {
    const int signedPosition = vertical ? -position : position;
    const float value = static_cast<float>(signedPosition) / 1000.0f;
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(static_cast<double>(value)), &exponent);
    // |value| = mantissa / 2^shift exactly, mantissa below 2^24.
    const int shift = 24 - exponent;
    const auto mantissa = static_cast<uint64_t>(std::ldexp(fraction, 24));
    uint64_t hundredths = 0;
    if (mantissa != 0) {
        const uint64_t scaled = mantissa * 100;
        hundredths = scaled >> shift;
        const uint64_t remainder = scaled - (hundredths << shift);
        if (remainder * 2 >= (uint64_t{1} << shift)) {
            ++hundredths;
        }
    }
    const auto twoDigits = [](uint64_t n) {
        return std::wstring(1, static_cast<wchar_t>(L'0' + n / 10 % 10)) +
               static_cast<wchar_t>(L'0' + n % 10);
    };
    return std::wstring(1, name) + L'=' + (signedPosition < 0 ? L'-' : L' ') +
           twoDigits(hundredths / 100) + L'.' + twoDigits(hundredths % 100);
}

class Readouts : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(CaptureTo(TempFile("readouts.wav")));
        app_ = new Sound3d;
        launched_ = app_->Launch();
    }
    static void TearDownTestSuite() {
        delete app_;
        app_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(launched_);
        for (const Axis& axis : kAxes) {
            app_->DragSlider(axis.slider, 0);
        }
    }

    static Sound3d* app_;
    static ::testing::AssertionResult launched_;
};

Sound3d* Readouts::app_ = nullptr;
::testing::AssertionResult Readouts::launched_ = ::testing::AssertionFailure();

TEST(ReadoutsAtLaunch, TrackbarsRunFromMinusToPlusTwoThousandAndStartAtZero) {
    ASSERT_TRUE(CaptureTo(TempFile("launch.wav")));
    Sound3d fresh;
    ASSERT_TRUE(fresh.Launch());
    for (const Axis& axis : kAxes) {
        SCOPED_TRACE(::testing::Message() << "trackbar " << axis.slider);
        LRESULT minimum = 0;
        LRESULT maximum = 0;
        ASSERT_TRUE(SendWithin(fresh.Item(axis.slider), TBM_GETRANGEMIN, 0, 0, &minimum));
        ASSERT_TRUE(SendWithin(fresh.Item(axis.slider), TBM_GETRANGEMAX, 0, 0, &maximum));
        EXPECT_EQ(minimum, -2000);
        EXPECT_EQ(maximum, 2000);
        EXPECT_EQ(fresh.SliderPosition(axis.slider), 0);
        EXPECT_TEXT(fresh.Text(axis.readout), ExpectedReadout(axis.name, 0, axis.vertical));
    }
}

struct Move {
    int slider;
    int position;
    const wchar_t* readout;
};

TEST_F(Readouts, DraggingShowsTheCoordinate) {
    const Move moves[] = {
        {kSliderX, 125, L"X= 00.13"},   {kSliderX, -125, L"X=-00.13"},
        {kSliderX, 375, L"X= 00.38"},   {kSliderX, -375, L"X=-00.38"},
        {kSliderX, 625, L"X= 00.63"},   {kSliderX, -625, L"X=-00.63"},
        {kSliderX, 1125, L"X= 01.13"},  {kSliderX, -1125, L"X=-01.13"},
        {kSliderX, 1625, L"X= 01.63"},  {kSliderX, -1625, L"X=-01.63"},
        {kSliderX, 5, L"X= 00.00"},     {kSliderX, -5, L"X=-00.00"},
        {kSliderX, 45, L"X= 00.05"},    {kSliderX, -45, L"X=-00.05"},
        {kSliderX, 2000, L"X= 02.00"},  {kSliderX, -2000, L"X=-02.00"},
        {kSliderX, 0, L"X= 00.00"},     {kSliderX, 1999, L"X= 02.00"},
        {kSliderY, 1, L"Y=-00.00"},     {kSliderY, -1, L"Y= 00.00"},
        {kSliderY, -2000, L"Y= 02.00"}, {kSliderY, 2000, L"Y=-02.00"},
        {kSliderY, 625, L"Y=-00.63"},   {kSliderY, -1125, L"Y= 01.13"},
        {kSliderZ, -1625, L"Z= 01.63"}, {kSliderZ, 375, L"Z=-00.38"},
        {kSliderZ, 2000, L"Z=-02.00"},  {kSliderZ, -45, L"Z= 00.05"},
    };
    for (const Move& move : moves) {
        SCOPED_TRACE(::testing::Message() << "trackbar " << move.slider << " at " << move.position);
        app_->DragSlider(move.slider, move.position);
        EXPECT_EQ(app_->SliderPosition(move.slider), move.position);
        EXPECT_TEXT(app_->Text(AxisOf(move.slider).readout), move.readout);
        for (const Axis& other : kAxes) {
            if (other.slider != move.slider) {
                EXPECT_TEXT(app_->Text(other.readout),
                            ExpectedReadout(other.name, app_->SliderPosition(other.slider),
                                            other.vertical));
            }
        }
    }
}

// Hundredths are decided at positions ending in 5: every one of them, on
// each axis, against the reference.
TEST_F(Readouts, EveryHalfwayPositionRounds) {
    for (const Axis& axis : kAxes) {
        for (int position = -1995; position <= 1995; position += 10) {
            app_->SetSlider(axis.slider, position);
            const std::wstring expected = ExpectedReadout(axis.name, position, axis.vertical);
            const std::wstring shown = app_->Text(axis.readout);
            if (shown != expected) {
                ADD_FAILURE() << "trackbar " << axis.slider << " at " << position << ": \""
                              << Narrow(shown) << "\", expected \"" << Narrow(expected) << "\"";
            }
        }
        app_->DragSlider(axis.slider, 0);
    }
}

TEST_F(Readouts, AnyScrollNotificationRereadsAllThree) {
    HWND dialog = app_->Dialog();
    const int positions[3] = {1125, -625, 45};
    for (int i = 0; i < 3; ++i) {
        // Moved without telling the dialog: the readouts stay.
        ASSERT_TRUE(SendWithin(app_->Item(kAxes[i].slider), TBM_SETPOS, TRUE, positions[i]));
    }
    for (const Axis& axis : kAxes) {
        EXPECT_TEXT(app_->Text(axis.readout), ExpectedReadout(axis.name, 0, axis.vertical));
    }
    // One notification with arguments that name neither a trackbar nor a
    // position.
    ASSERT_TRUE(SendWithin(dialog, WM_VSCROLL, MAKEWPARAM(SB_LINEUP, 0), 0));
    for (int i = 0; i < 3; ++i) {
        EXPECT_TEXT(app_->Text(kAxes[i].readout),
                    ExpectedReadout(kAxes[i].name, positions[i], kAxes[i].vertical));
    }
    ASSERT_TRUE(SendWithin(app_->Item(kSliderZ), TBM_SETPOS, TRUE, -2000));
    ASSERT_TRUE(SendWithin(dialog, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0),
                           reinterpret_cast<LPARAM>(app_->Item(kSliderX))));
    EXPECT_TEXT(app_->Text(kReadoutZ), L"Z= 02.00");
}

// The trackbar's own keyboard handling notifies the dialog as a drag does.
TEST_F(Readouts, KeysOnATrackbarMoveTheCoordinate) {
    struct Key {
        int slider;
        UINT key;
        const wchar_t* readout;
    };
    const Key keys[] = {
        {kSliderX, VK_END, L"X= 02.00"},   {kSliderX, VK_HOME, L"X=-02.00"},
        {kSliderX, VK_RIGHT, L"X=-02.00"},  // one step of 1/1000
        {kSliderY, VK_HOME, L"Y= 02.00"},  {kSliderY, VK_END, L"Y=-02.00"},
        {kSliderZ, VK_HOME, L"Z= 02.00"},
    };
    for (const Key& key : keys) {
        SCOPED_TRACE(::testing::Message() << "trackbar " << key.slider << ", key " << key.key);
        ASSERT_TRUE(SendWithin(app_->Dialog(), WM_NEXTDLGCTL,
                               reinterpret_cast<WPARAM>(app_->Item(key.slider)), TRUE));
        app_->PostKey(key.key);
        ASSERT_TRUE(app_->Sync());
        EXPECT_TEXT(app_->Text(AxisOf(key.slider).readout), key.readout);
    }
    EXPECT_EQ(app_->SliderPosition(kSliderX), -1999);
}

}  // namespace
}  // namespace e2e
