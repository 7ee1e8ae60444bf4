// The window-system side of the fake: one dialog with its controls.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>

#include "resources/resource_ids.h"
#include "tests/fake_platform.h"

FakePlatform fake;

namespace {

const uintptr_t DIALOG_HANDLE = 0x1000;
const uintptr_t CONTROL_HANDLE_BASE = 0x100000;

const LONG COMBO_LIST_STYLE = 0x50210003;
const LONG COMBO_EDIT_STYLE = 0x50210002;
const LONG STATIC_STYLE = 0x50020000;
const LONG BUTTON_STYLE = 0x50010000;
const LONG HORIZONTAL_TRACKBAR_STYLE = 0x50010018;
const LONG VERTICAL_TRACKBAR_STYLE = 0x5001001A;

int ControlId(HWND window) {
    const auto handle = reinterpret_cast<uintptr_t>(window);
    if (handle <= CONTROL_HANDLE_BASE) {
        return -1;
    }
    const int id = static_cast<int>(handle - CONTROL_HANDLE_BASE);
    return fake.controls.count(id) != 0 ? id : -1;
}

FakeControl* Control(int id) {
    auto found = fake.controls.find(id);
    return found == fake.controls.end() ? nullptr : &found->second;
}

std::vector<BYTE> ReadClipFile() {
    std::ifstream file(SOUND3D_CLIP_PATH, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

int Clamp(int value, int low, int high) {
    return value < low ? low : value > high ? high : value;
}

LRESULT ComboMessage(FakeControl& control, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case CB_ADDSTRING:
        control.items.emplace_back(reinterpret_cast<const char*>(lParam));
        return static_cast<LRESULT>(control.items.size() - 1);
    case CB_SETCURSEL: {
        const auto index = static_cast<int>(wParam);
        if (index < 0 || index >= static_cast<int>(control.items.size())) {
            control.selection = -1;
            return -1;
        }
        control.selection = index;
        control.text = control.items[static_cast<size_t>(index)];
        return index;
    }
    case CB_GETCURSEL:
        return control.selection;
    default:
        return 0;
    }
}

LRESULT TrackbarMessage(FakeControl& control, UINT message, LPARAM lParam) {
    switch (message) {
    case TBM_SETRANGE:
        control.rangeMin = static_cast<int16_t>(lParam & 0xFFFF);
        control.rangeMax = static_cast<int16_t>((lParam >> 16) & 0xFFFF);
        control.position = Clamp(control.position, control.rangeMin, control.rangeMax);
        return 0;
    case TBM_GETRANGEMIN:
        return control.rangeMin;
    case TBM_GETRANGEMAX:
        return control.rangeMax;
    case TBM_SETPOS:
        control.position = Clamp(static_cast<int>(lParam), control.rangeMin, control.rangeMax);
        return 0;
    case TBM_GETPOS:
        return control.position;
    default:
        return 0;
    }
}

}  // namespace

HWND FakeDialog() {
    return reinterpret_cast<HWND>(DIALOG_HANDLE);
}

HWND FakeControlWindow(int controlId) {
    return reinterpret_cast<HWND>(CONTROL_HANDLE_BASE + static_cast<uintptr_t>(controlId));
}

std::vector<std::string> CallsStartingWith(const std::string& prefix) {
    std::vector<std::string> found;
    for (const std::string& call : fake.calls) {
        if (call.compare(0, prefix.size(), prefix) == 0) {
            found.push_back(call);
        }
    }
    return found;
}

void ResetFake() {
    fake = FakePlatform();
    fake.clip = ReadClipFile();
    fake.devices = {{true, MakeGuid(0xA1), "Первое устройство"}};
    const struct {
        int id;
        LONG style;
    } controls[] = {
        {IDC_VIRTUALIZATION, COMBO_LIST_STYLE}, {IDC_DEVICE, COMBO_LIST_STYLE},
        {IDC_START, BUTTON_STYLE},              {IDC_SLIDER_X, HORIZONTAL_TRACKBAR_STYLE},
        {IDC_SLIDER_Y, VERTICAL_TRACKBAR_STYLE}, {IDC_SLIDER_Z, VERTICAL_TRACKBAR_STYLE},
        {IDC_VALUE_X, STATIC_STYLE},            {IDC_VALUE_Y, STATIC_STYLE},
        {IDC_VALUE_Z, STATIC_STYLE},            {IDC_SPEAKERS, COMBO_LIST_STYLE},
        {IDC_ANGLE, COMBO_EDIT_STYLE},
    };
    for (const auto& control : controls) {
        fake.controls[control.id].style = control.style;
    }
    fake.controls[IDC_START].text = "Старт";
    fake.controls[IDC_VALUE_X].text = "X=";
    fake.controls[IDC_VALUE_Y].text = "Y=";
    fake.controls[IDC_VALUE_Z].text = "Z=";
}

void InitCommonControls() {
    fake.windowCalls.push_back("InitCommonControls");
}

INT_PTR DialogBoxParamW(HINSTANCE, LPCWSTR templateName, HWND owner, DLGPROC dialogProc, LPARAM) {
    fake.windowCalls.push_back("DialogBoxParamW(" +
                               std::to_string(reinterpret_cast<uintptr_t>(templateName)) +
                               (owner == nullptr ? ", no owner)" : ", owner)"));
    dialogProc(FakeDialog(), WM_INITDIALOG, 0, 0);
    if (!fake.dialogEnded && fake.whileDialogOpen) {
        fake.whileDialogOpen();
    }
    return fake.dialogEnded ? fake.dialogResult : -1;
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    if (dialog != FakeDialog()) {
        return FALSE;
    }
    fake.dialogEnded = true;
    fake.dialogResult = result;
    return TRUE;
}

HWND GetDlgItem(HWND dialog, int controlId) {
    return dialog == FakeDialog() && Control(controlId) != nullptr ? FakeControlWindow(controlId)
                                                                   : nullptr;
}

LRESULT SendDlgItemMessageA(HWND dialog, int controlId, UINT message, WPARAM wParam,
                            LPARAM lParam) {
    FakeControl* control = dialog == FakeDialog() ? Control(controlId) : nullptr;
    if (control == nullptr) {
        return 0;
    }
    if (message >= CB_ADDSTRING && message <= CB_SETCURSEL) {
        return ComboMessage(*control, message, wParam, lParam);
    }
    return TrackbarMessage(*control, message, lParam);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window == FakeDialog() && message == WM_NEXTDLGCTL && lParam != 0) {
        fake.focus = reinterpret_cast<HWND>(wParam);
        fake.windowCalls.push_back("WM_NEXTDLGCTL(" +
                                   std::to_string(ControlId(fake.focus)) + ")");
    }
    return 0;
}

BOOL EnableWindow(HWND window, BOOL enable) {
    FakeControl* control = Control(ControlId(window));
    if (control == nullptr) {
        return FALSE;
    }
    fake.windowCalls.push_back("EnableWindow(" + std::to_string(ControlId(window)) + ", " +
                               std::to_string(enable) + ")");
    const bool wasDisabled = !control->enabled;
    control->enabled = enable != FALSE;
    // As on Windows, a control that is disabled loses the keyboard focus.
    if (!control->enabled && fake.focus == window) {
        fake.focus = nullptr;
    }
    return wasDisabled;
}

BOOL UpdateWindow(HWND window) {
    fake.windowCalls.push_back(window == FakeDialog() ? "UpdateWindow(dialog)" : "UpdateWindow");
    return TRUE;
}

LONG GetWindowLongA(HWND window, int index) {
    FakeControl* control = Control(ControlId(window));
    return control != nullptr && index == GWL_STYLE ? control->style : 0;
}

HWND GetFocus() {
    return fake.focus;
}

BOOL IsChild(HWND parent, HWND window) {
    return parent == FakeDialog() && ControlId(window) != -1;
}

void SetWindowText1251(HWND window, const char* text) {
    FakeControl* control = Control(ControlId(window));
    if (control != nullptr) {
        control->text = text;
        fake.windowCalls.push_back("SetWindowText(" + std::to_string(ControlId(window)) + ", " +
                                   text + ")");
    }
}

int GetWindowText1251(HWND window, char* buffer, int size) {
    FakeControl* control = Control(ControlId(window));
    if (control == nullptr || size <= 0) {
        return 0;
    }
    const size_t length = std::min(control->text.size(), static_cast<size_t>(size - 1));
    std::memcpy(buffer, control->text.data(), length);
    buffer[length] = '\0';
    return static_cast<int>(length);
}

void AddComboString1251(HWND dialog, int controlId, const char* text) {
    SendDlgItemMessageA(dialog, controlId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

void MessageBox1251(HWND owner, const char* text, const char* caption, UINT type) {
    fake.boxes.push_back({owner, text, caption, type, AliveObjects()});
    fake.windowCalls.push_back(std::string("MessageBox(") + text + ")");
    if (fake.onBox) {
        fake.onBox();
    }
}
