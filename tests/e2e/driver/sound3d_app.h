// sound3d.exe started as a separate process and worked only through window
// messages, the way a user's clicks and keys reach it.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace e2e {

// The dialog's controls.
enum ControlId : int {
    kVirtualization = 1027,
    kDevice = 1029,
    kStartStop = 1030,
    kSliderX = 1031,
    kSliderY = 1032,
    kSliderZ = 1033,
    kReadoutX = 1034,
    kReadoutY = 1035,
    kReadoutZ = 1036,
    kSpeakers = 1037,
    kAngle = 1038,
};

// What a user chooses from before a start.
extern const int kChoiceControls[4];
extern const int kSliders[3];

extern const wchar_t kStartText[];
extern const wchar_t kWaitText[];
extern const wchar_t kStopText[];

// Speaker list entries, in list order.
enum Speakers : int {
    kHeadphones,
    kMono,
    kQuad,
    kStereo,
    kSurround,
    kFivePointOne,
};

// Virtualization list entries, in list order.
enum Virtualization : int { kNoVirtualization, kLightHrtf, kFullHrtf };

std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);
// Direct children in Z order, which for a dialog is template order.
std::vector<HWND> Children(HWND parent);
std::string Narrow(const std::wstring& text);
// A control's text through WM_GETTEXT: for the editable combo box, whose
// text lives in its edit field.
std::wstring ControlText(HWND control);

bool StartProcess(std::wstring commandLine, PROCESS_INFORMATION* process);
// Runs the driver itself with these arguments (see main.cpp) and gives its
// exit code.
::testing::AssertionResult AskDriver(const std::wstring& arguments, DWORD* answer);

// Wide texts compare as read (UTF-16); a failure prints them as UTF-8.
::testing::AssertionResult TextEq(const char* actualExpression, const char* expectedExpression,
                                  const std::wstring& actual, const std::wstring& expected);
#define EXPECT_TEXT(actual, expected) EXPECT_PRED_FORMAT2(::e2e::TextEq, actual, expected)
#define ASSERT_TEXT(actual, expected) ASSERT_PRED_FORMAT2(::e2e::TextEq, actual, expected)

// Sends a message with a time limit, so a test fails rather than hangs.
bool SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result = nullptr,
                UINT timeoutMs = 10000);

// A message box open on the dialog.
struct MessageBoxInfo {
    HWND window = nullptr;
    std::wstring caption;
    std::wstring text;
    std::vector<std::wstring> buttons;  // visible push buttons
};
MessageBoxInfo ReadMessageBox(HWND box);
// Captioned "Ошибка", an OK button alone, and the error icon on screen.
::testing::AssertionResult LooksLikeErrorBox(HWND box);

class Sound3d {
public:
    Sound3d() = default;
    Sound3d(const Sound3d&) = delete;
    Sound3d& operator=(const Sound3d&) = delete;
    // Ends a program the test left running: it must not outlive the case.
    ~Sound3d();

    // Starts the program and waits for its dialog.
    ::testing::AssertionResult Launch();


    HWND Dialog() const { return dialog_; }
    DWORD ProcessId() const { return process_.dwProcessId; }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    DWORD ThreadId() const { return threadId_; }
    bool Running() const;
    bool DialogExists() const { return IsWindow(dialog_) != FALSE; }
    ::testing::AssertionResult ExitsWith(DWORD expectedCode, DWORD timeoutMs = 10000);

    std::wstring Text(int id) const { return WindowText(Item(id)); }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    // The control with keyboard focus in the program's GUI thread.
    HWND Focus() const;

    // Clicks the button as the mouse does and waits until the click has
    // been handled, or an error box it opened is up (then *box is set and
    // the click finishes once the box is dismissed, see FinishClick).
    ::testing::AssertionResult Click(HWND* box = nullptr, DWORD timeoutMs = 30000);
    // Clicks and returns at once: for watching a start under way.
    ::testing::AssertionResult BeginClick();
    bool ClickPending() const;
    // Waits for a click in progress to be handled completely.
    ::testing::AssertionResult FinishClick(DWORD timeoutMs = 30000);
    // The error box the dialog has open, if any.
    HWND FindErrorBox() const;
    HWND WaitForErrorBox(DWORD timeoutMs) const;
    // Presses the box's OK button and waits until it is gone.
    ::testing::AssertionResult Dismiss(HWND box);

    // A successful start ("Стоп") and stop ("Старт").
    ::testing::AssertionResult Start();
    ::testing::AssertionResult Stop();
    // A start that fails: returns the error box's text and dismisses it.
    ::testing::AssertionResult StartFails(std::wstring* message);

    // The button and the four choices as a user finds them.
    ::testing::AssertionResult IsIdle() const;
    ::testing::AssertionResult IsPlaying() const;

    // What a drag of the thumb sends: the new position, then the dialog is
    // notified of the track, the final position and the end of the drag.
    void DragSlider(int id, int position);
    // The short form: the new position and one notification of it.
    void SetSlider(int id, int position);
    int SliderPosition(int id) const;

    bool Select(int id, int index);
    int Selection(int id) const;
    std::vector<std::wstring> ListTexts(int id) const;
    bool SetAngleText(const std::wstring& text);

    // Keys as the keyboard delivers them: to the focused control, through
    // the dialog's message loop.  Sync waits until everything posted so far
    // has been handled.
    void PostKey(UINT virtualKey, bool alt = false);
    void PostChar(wchar_t c);
    ::testing::AssertionResult Sync(DWORD timeoutMs = 10000);
    // Sync, repeated for what handling posts in turn: a close box posts
    // SC_CLOSE, which sends WM_CLOSE, which posts IDCANCEL.
    ::testing::AssertionResult Settle();

private:
    ::testing::AssertionResult HasState(const wchar_t* buttonText, bool choicesEnabled) const;
    HWND FindDialog() const;
    void EndClickThread();

    PROCESS_INFORMATION process_ = {};
    DWORD threadId_ = 0;
    HWND dialog_ = nullptr;
    HANDLE clickThread_ = nullptr;
    LRESULT syncCookie_ = 0;
};

}  // namespace e2e
