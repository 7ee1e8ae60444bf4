#include "sound3d_app.h"

#include <commctrl.h>

#include "alsa_output.h"
#include "screen.h"

namespace e2e {

const int kChoiceControls[4] = {kDevice, kVirtualization, kSpeakers, kAngle};
const int kSliders[3] = {kSliderX, kSliderY, kSliderZ};

const wchar_t kStartText[] = L"Старт";
const wchar_t kWaitText[] = L"Жди";
const wchar_t kStopText[] = L"Стоп";

namespace {

const wchar_t kDialogCaption[] = L"DirectSound 3D";
const wchar_t kErrorCaption[] = L"Ошибка";
const wchar_t kDialogClass[] = L"#32770";
const DWORD kPollMs = 10;

// sound3d.exe beside the driver unless SOUND3D_EXE names another (a Unix
// path).
std::wstring ProgramPath() {
    const std::string chosen = Environment("SOUND3D_EXE");
    if (!chosen.empty()) {
        return WinePath(chosen);
    }
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self, length);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"sound3d.exe";
}

struct WindowQuery {
    DWORD processId;
    const wchar_t* caption;
    HWND owner;  // nullptr: any
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM param) {
    auto* query = reinterpret_cast<WindowQuery*>(param);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != query->processId || !IsWindowVisible(window) ||
        ClassName(window) != kDialogClass || WindowText(window) != query->caption) {
        return TRUE;
    }
    if (query->owner != nullptr && GetWindow(window, GW_OWNER) != query->owner) {
        return TRUE;
    }
    query->found = window;
    return FALSE;
}

HWND FindTopLevel(DWORD processId, const wchar_t* caption, HWND owner) {
    WindowQuery query = {processId, caption, owner, nullptr};
    EnumWindows(&MatchTopLevel, reinterpret_cast<LPARAM>(&query));
    return query.found;
}

DWORD WINAPI ClickOnThread(void* button) {
    DWORD_PTR result = 0;
    // A start may block in the device; the test's own limits apply first.
    SendMessageTimeoutW(static_cast<HWND>(button), BM_CLICK, 0, 0, SMTO_NORMAL, 120000, &result);
    return 0;
}

// Key message parameters as the keyboard driver fills them in.
LPARAM KeyData(UINT virtualKey, bool up, bool alt) {
    LPARAM data = 1 | (static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16);
    if (alt) {
        data |= LPARAM{1} << 29;
    }
    if (up) {
        data |= (LPARAM{1} << 30) | (LPARAM{1} << 31);
    }
    return data;
}

}  // namespace

std::wstring WindowText(HWND window) {
    wchar_t text[512];
    const int length = GetWindowTextW(window, text, 512);
    return std::wstring(text, length > 0 ? length : 0);
}

std::wstring ClassName(HWND window) {
    wchar_t name[256];
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? length : 0);
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

std::string Narrow(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string narrow(size > 0 ? size : 0, '\0');
    if (size > 0) {
        WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &narrow[0],
                            size, nullptr, nullptr);
    }
    return narrow;
}

::testing::AssertionResult TextEq(const char* actualExpression, const char* expectedExpression,
                                  const std::wstring& actual, const std::wstring& expected) {
    if (actual == expected) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << actualExpression << " is \"" << Narrow(actual)
                                         << "\", expected " << expectedExpression << " = \""
                                         << Narrow(expected) << "\"";
}

bool SendWithin(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result,
                UINT timeoutMs) {
    DWORD_PTR value = 0;
    const bool done =
        SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &value) != 0;
    if (result != nullptr) {
        *result = static_cast<LRESULT>(value);
    }
    return done;
}

std::wstring ControlText(HWND control) {
    wchar_t text[512] = {};
    LRESULT length = 0;
    if (!SendWithin(control, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), &length)) {
        return L"<no answer>";
    }
    return std::wstring(text, length > 0 ? static_cast<size_t>(length) : 0);
}

bool StartProcess(std::wstring commandLine, PROCESS_INFORMATION* process) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    return CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, process) != FALSE;
}

::testing::AssertionResult AskDriver(const std::wstring& arguments, DWORD* answer) {
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    PROCESS_INFORMATION process = {};
    if (!StartProcess(L"\"" + std::wstring(self, length) + L"\" " + arguments, &process)) {
        return ::testing::AssertionFailure() << "cannot start the driver: " << GetLastError();
    }
    const bool ended = WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0;
    if (!ended) {
        TerminateProcess(process.hProcess, 1);
    }
    GetExitCodeProcess(process.hProcess, answer);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!ended) {
        return ::testing::AssertionFailure() << "the driver did not answer " << Narrow(arguments);
    }
    return ::testing::AssertionSuccess();
}

MessageBoxInfo ReadMessageBox(HWND box) {
    MessageBoxInfo info;
    info.window = box;
    info.caption = WindowText(box);
    for (HWND child : Children(box)) {
        if (!IsWindowVisible(child)) {
            continue;
        }
        const std::wstring kind = ClassName(child);
        if (_wcsicmp(kind.c_str(), L"Static") == 0 && (GetDlgCtrlID(child) & 0xFFFF) == 0xFFFF) {
            info.text = WindowText(child);
        } else if (_wcsicmp(kind.c_str(), L"Button") == 0) {
            info.buttons.push_back(WindowText(child));
        }
    }
    return info;
}

::testing::AssertionResult LooksLikeErrorBox(HWND box) {
    const MessageBoxInfo info = ReadMessageBox(box);
    if (info.caption != kErrorCaption) {
        return ::testing::AssertionFailure() << "caption \"" << Narrow(info.caption) << "\"";
    }
    if (info.buttons.size() != 1 || GetDlgItem(box, IDOK) == nullptr ||
        !IsWindowVisible(GetDlgItem(box, IDOK))) {
        return ::testing::AssertionFailure() << info.buttons.size() << " buttons, OK "
                                             << (GetDlgItem(box, IDOK) != nullptr ? "" : "not ")
                                             << "among them";
    }
    HWND icon = nullptr;
    for (HWND child : Children(box)) {
        if (IsWindowVisible(child) && ClassName(child) == L"Static" &&
            (GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            icon = child;
        }
    }
    if (icon == nullptr) {
        return ::testing::AssertionFailure() << "no icon";
    }
    // The icon as the system draws IDI_ERROR, over the box's own background
    // as found in the icon's corner.
    RECT area;
    GetWindowRect(icon, &area);
    Image shown;
    Image expected;
    for (int waited = 0; waited < 3000; waited += 50) {
        if (!CaptureScreen(area, &shown) ||
            !DrawIconImage(LoadIconW(nullptr, IDI_ERROR), shown.width, shown.At(0, 0), &expected)) {
            return ::testing::AssertionFailure() << "cannot read the screen";
        }
        if (DifferingPixels(shown, expected) == 0) {
            return ::testing::AssertionSuccess();
        }
        Sleep(50);
    }
    return ::testing::AssertionFailure() << "the icon is not the error icon ("
                                         << DifferingPixels(shown, expected) << " pixels differ)";
}

Sound3d::~Sound3d() {
    if (Running()) {
        TerminateProcess(process_.hProcess, 255);
        WaitForSingleObject(process_.hProcess, 10000);
    }
    EndClickThread();
    if (process_.hProcess != nullptr) {
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
}

::testing::AssertionResult Sound3d::Launch() {
    const std::wstring path = ProgramPath();
    if (!StartProcess(L"\"" + path + L"\"", &process_)) {
        return ::testing::AssertionFailure()
               << "cannot start " << Narrow(path) << ": error " << GetLastError();
    }
    for (DWORD waited = 0; waited < 20000; waited += kPollMs) {
        dialog_ = FindDialog();
        if (dialog_ != nullptr) {
            threadId_ = GetWindowThreadProcessId(dialog_, nullptr);
            return ::testing::AssertionSuccess();
        }
        if (!Running()) {
            DWORD code = 0;
            GetExitCodeProcess(process_.hProcess, &code);
            return ::testing::AssertionFailure() << "sound3d.exe ended with " << code
                                                 << " before its dialog showed";
        }
        Sleep(kPollMs);
    }
    return ::testing::AssertionFailure() << "no dialog captioned \"DirectSound 3D\" within 20 s";
}

HWND Sound3d::FindDialog() const {
    return FindTopLevel(process_.dwProcessId, kDialogCaption, nullptr);
}

bool Sound3d::Running() const {
    return process_.hProcess != nullptr &&
           WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

::testing::AssertionResult Sound3d::ExitsWith(DWORD expectedCode, DWORD timeoutMs) {
    if (WaitForSingleObject(process_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        return ::testing::AssertionFailure() << "still running after " << timeoutMs << " ms";
    }
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    if (code != expectedCode) {
        return ::testing::AssertionFailure() << "exit code " << code << ", expected "
                                             << expectedCode;
    }
    return ::testing::AssertionSuccess();
}

HWND Sound3d::Focus() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(threadId_, &info) ? info.hwndFocus : nullptr;
}

void Sound3d::EndClickThread() {
    if (clickThread_ != nullptr) {
        WaitForSingleObject(clickThread_, 5000);
        CloseHandle(clickThread_);
        clickThread_ = nullptr;
    }
}

// The click is sent from a thread of the driver's, which the send blocks
// until the handler returns: that tells when the click is done, also when
// it opened a modal error box meanwhile.
::testing::AssertionResult Sound3d::BeginClick() {
    if (clickThread_ != nullptr) {
        return ::testing::AssertionFailure() << "a click is still being handled";
    }
    clickThread_ = CreateThread(nullptr, 0, &ClickOnThread, Item(kStartStop), 0, nullptr);
    if (clickThread_ == nullptr) {
        return ::testing::AssertionFailure() << "CreateThread failed";
    }
    return ::testing::AssertionSuccess();
}

bool Sound3d::ClickPending() const {
    return clickThread_ != nullptr && WaitForSingleObject(clickThread_, 0) == WAIT_TIMEOUT;
}

::testing::AssertionResult Sound3d::Click(HWND* box, DWORD timeoutMs) {
    if (box != nullptr) {
        *box = nullptr;
    }
    ::testing::AssertionResult begun = BeginClick();
    if (!begun) {
        return begun;
    }
    for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
        if (WaitForSingleObject(clickThread_, kPollMs) == WAIT_OBJECT_0) {
            EndClickThread();
            return ::testing::AssertionSuccess();
        }
        if (HWND open = FindErrorBox()) {
            if (box != nullptr) {
                *box = open;
                return ::testing::AssertionSuccess();
            }
            return ::testing::AssertionFailure()
                   << "error box: \"" << Narrow(ReadMessageBox(open).text) << "\"";
        }
        if (!Running()) {
            return ::testing::AssertionFailure() << "sound3d.exe ended during the click";
        }
    }
    return ::testing::AssertionFailure() << "the click was not handled within " << timeoutMs
                                         << " ms; button reads \""
                                         << Narrow(Text(kStartStop)) << "\"";
}

::testing::AssertionResult Sound3d::FinishClick(DWORD timeoutMs) {
    if (clickThread_ == nullptr) {
        return ::testing::AssertionSuccess();
    }
    if (WaitForSingleObject(clickThread_, timeoutMs) != WAIT_OBJECT_0) {
        return ::testing::AssertionFailure() << "click still being handled after " << timeoutMs
                                             << " ms";
    }
    EndClickThread();
    return ::testing::AssertionSuccess();
}

HWND Sound3d::FindErrorBox() const {
    return FindTopLevel(process_.dwProcessId, kErrorCaption, dialog_);
}

HWND Sound3d::WaitForErrorBox(DWORD timeoutMs) const {
    for (DWORD waited = 0;; waited += kPollMs) {
        if (HWND box = FindErrorBox()) {
            return box;
        }
        if (waited >= timeoutMs) {
            return nullptr;
        }
        Sleep(kPollMs);
    }
}

::testing::AssertionResult Sound3d::Dismiss(HWND box) {
    HWND ok = GetDlgItem(box, IDOK);
    if (ok == nullptr) {
        return ::testing::AssertionFailure() << "the box has no OK button";
    }
    PostMessageW(ok, BM_CLICK, 0, 0);
    for (DWORD waited = 0; IsWindow(box); waited += kPollMs) {
        if (waited >= 10000) {
            return ::testing::AssertionFailure() << "the box stayed open after OK";
        }
        Sleep(kPollMs);
    }
    return FinishClick();
}

// The button's text, an enabled button, the choices locked or not, and the
// trackbars always enabled.
::testing::AssertionResult Sound3d::HasState(const wchar_t* buttonText,
                                             bool choicesEnabled) const {
    if (Text(kStartStop) != buttonText) {
        return ::testing::AssertionFailure() << "button reads \"" << Narrow(Text(kStartStop))
                                             << "\"";
    }
    if (!Enabled(kStartStop)) {
        return ::testing::AssertionFailure() << "button disabled";
    }
    for (int id : kChoiceControls) {
        if (Enabled(id) != choicesEnabled) {
            return ::testing::AssertionFailure()
                   << "choice " << id << (choicesEnabled ? " disabled" : " enabled");
        }
    }
    for (int id : kSliders) {
        if (!Enabled(id)) {
            return ::testing::AssertionFailure() << "trackbar " << id << " disabled";
        }
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult Sound3d::IsIdle() const {
    return HasState(kStartText, true);
}

::testing::AssertionResult Sound3d::IsPlaying() const {
    return HasState(kStopText, false);
}

::testing::AssertionResult Sound3d::Start() {
    HWND box = nullptr;
    ::testing::AssertionResult clicked = Click(&box);
    if (!clicked) {
        return clicked;
    }
    if (box != nullptr) {
        const std::wstring text = ReadMessageBox(box).text;
        Dismiss(box);
        return ::testing::AssertionFailure() << "start failed: \"" << Narrow(text) << "\"";
    }
    return IsPlaying();
}

::testing::AssertionResult Sound3d::Stop() {
    ::testing::AssertionResult clicked = Click();
    if (!clicked) {
        return clicked;
    }
    return IsIdle();
}

::testing::AssertionResult Sound3d::StartFails(std::wstring* message) {
    HWND box = nullptr;
    ::testing::AssertionResult clicked = Click(&box);
    if (!clicked) {
        return clicked;
    }
    if (box == nullptr) {
        return ::testing::AssertionFailure() << "no error box; button reads \""
                                             << Narrow(Text(kStartStop)) << "\"";
    }
    *message = ReadMessageBox(box).text;
    return Dismiss(box);
}

namespace {

UINT ScrollMessage(int slider) {
    return slider == kSliderX ? WM_HSCROLL : WM_VSCROLL;
}

}  // namespace

void Sound3d::DragSlider(int id, int position) {
    HWND slider = Item(id);
    const auto trackbar = reinterpret_cast<LPARAM>(slider);
    const auto thumb = static_cast<WORD>(static_cast<short>(position));
    SendWithin(slider, TBM_SETPOS, TRUE, position);
    SendWithin(dialog_, ScrollMessage(id), MAKEWPARAM(TB_THUMBTRACK, thumb), trackbar);
    SendWithin(dialog_, ScrollMessage(id), MAKEWPARAM(TB_THUMBPOSITION, thumb), trackbar);
    SendWithin(dialog_, ScrollMessage(id), MAKEWPARAM(TB_ENDTRACK, 0), trackbar);
}

void Sound3d::SetSlider(int id, int position) {
    HWND slider = Item(id);
    const auto thumb = static_cast<WORD>(static_cast<short>(position));
    SendWithin(slider, TBM_SETPOS, TRUE, position);
    SendWithin(dialog_, ScrollMessage(id), MAKEWPARAM(TB_THUMBPOSITION, thumb),
               reinterpret_cast<LPARAM>(slider));
}

int Sound3d::SliderPosition(int id) const {
    LRESULT position = 0;
    SendWithin(Item(id), TBM_GETPOS, 0, 0, &position);
    return static_cast<int>(position);
}

bool Sound3d::Select(int id, int index) {
    LRESULT result = CB_ERR;
    return SendWithin(Item(id), CB_SETCURSEL, index, 0, &result) && result == index;
}

int Sound3d::Selection(int id) const {
    LRESULT result = CB_ERR;
    SendWithin(Item(id), CB_GETCURSEL, 0, 0, &result);
    return static_cast<int>(result);
}

std::vector<std::wstring> Sound3d::ListTexts(int id) const {
    std::vector<std::wstring> texts;
    LRESULT count = 0;
    if (!SendWithin(Item(id), CB_GETCOUNT, 0, 0, &count)) {
        return texts;
    }
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = 0;
        SendWithin(Item(id), CB_GETLBTEXTLEN, i, 0, &length);
        std::wstring text(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
        LRESULT copied = 0;
        SendWithin(Item(id), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&text[0]), &copied);
        text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
        texts.push_back(text);
    }
    return texts;
}

bool Sound3d::SetAngleText(const std::wstring& text) {
    LRESULT result = FALSE;
    return SendWithin(Item(kAngle), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                      &result) &&
           result != FALSE && ControlText(Item(kAngle)) == text;
}

void Sound3d::PostKey(UINT virtualKey, bool alt) {
    HWND target = Focus();
    if (target == nullptr) {
        target = dialog_;
    }
    const UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    const UINT up = alt ? WM_SYSKEYUP : WM_KEYUP;
    PostMessageW(target, down, virtualKey, KeyData(virtualKey, false, alt));
    PostMessageW(target, up, virtualKey, KeyData(virtualKey, true, alt));
}

void Sound3d::PostChar(wchar_t c) {
    HWND target = Focus();
    PostMessageW(target != nullptr ? target : dialog_, WM_CHAR, c, KeyData(0, false, false));
}

// Posted messages are handled in order, so once a marker posted now is
// stored, all keys posted before it went through the message loop.  The
// marker is item data of the virtualization list, which nothing else uses.
::testing::AssertionResult Sound3d::Sync(DWORD timeoutMs) {
    const LRESULT cookie = ++syncCookie_ + 0x5E0000;
    HWND list = Item(kVirtualization);
    if (!PostMessageW(list, CB_SETITEMDATA, 0, cookie)) {
        return ::testing::AssertionFailure() << "the dialog is gone";
    }
    for (DWORD waited = 0; waited < timeoutMs; waited += kPollMs) {
        LRESULT data = 0;
        if (SendWithin(list, CB_GETITEMDATA, 0, 0, &data, kPollMs) && data == cookie) {
            return ::testing::AssertionSuccess();
        }
        if (!IsWindow(list)) {
            return ::testing::AssertionFailure() << "the dialog is gone";
        }
        Sleep(kPollMs);
    }
    return ::testing::AssertionFailure() << "posted messages not handled within " << timeoutMs
                                         << " ms";
}

::testing::AssertionResult Sound3d::Settle() {
    for (int round = 0; round < 3; ++round) {
        ::testing::AssertionResult synced = Sync();
        if (!synced) {
            return synced;
        }
    }
    return ::testing::AssertionSuccess();
}

}  // namespace e2e
