#include "app/main_dialog.h"

#include "app/position_controls.h"
#include "playback/choices.h"
#include "playback/device_list.h"
#include "playback/dialog_window.h"
#include "playback/error_box.h"
#include "playback/playback.h"
#include "resources/resource_ids.h"

bool playing = false;

namespace {

const char* const TEXT_START = "Старт";
const char* const TEXT_WAIT = "Жди";
const char* const TEXT_STOP = "Стоп";
const char* const MSG_DEVICE_LIST = "Ошибка получения списка устройств (0x%X)";

const int CHOICE_CONTROLS[] = {IDC_DEVICE, IDC_VIRTUALIZATION, IDC_SPEAKERS, IDC_ANGLE};
const int SLIDERS[3] = {IDC_SLIDER_X, IDC_SLIDER_Y, IDC_SLIDER_Z};
const int EXIT_NO_DEVICE_LIST = 1;

void EnableChoices(BOOL enable) {
    for (int control : CHOICE_CONTROLS) {
        EnableWindow(GetDlgItem(dialogWindow, control), enable);
    }
}

void FillList(int control, const char* const* texts, int count, int selected) {
    for (int i = 0; i < count; ++i) {
        AddComboString1251(dialogWindow, control, texts[i]);
    }
    SendDlgItemMessageA(dialogWindow, control, CB_SETCURSEL, selected, 0);
}

void FillChoiceLists() {
    const char* algorithms[ALGORITHM_CHOICE_COUNT];
    for (int i = 0; i < ALGORITHM_CHOICE_COUNT; ++i) {
        algorithms[i] = AlgorithmChoices[i].text;
    }
    const char* speakers[SPEAKER_CHOICE_COUNT];
    for (int i = 0; i < SPEAKER_CHOICE_COUNT; ++i) {
        speakers[i] = SpeakerChoices[i].text;
    }
    FillList(IDC_VIRTUALIZATION, algorithms, ALGORITHM_CHOICE_COUNT, DEFAULT_ALGORITHM_INDEX);
    FillList(IDC_SPEAKERS, speakers, SPEAKER_CHOICE_COUNT, DEFAULT_SPEAKER_INDEX);
    FillList(IDC_ANGLE, AngleChoices, ANGLE_CHOICE_COUNT, DEFAULT_ANGLE_INDEX);
}

INT_PTR OnInitDialog(HWND window) {
    dialogWindow = window;
    const HRESULT hr = ListOutputDevices();
    if (FAILED(hr)) {
        ShowError(MSG_DEVICE_LIST, hr);
        EndDialog(window, EXIT_NO_DEVICE_LIST);
        return FALSE;
    }
    SendDlgItemMessageA(dialogWindow, IDC_DEVICE, CB_SETCURSEL, 0, 0);
    FillChoiceLists();
    for (int axis = 0; axis < 3; ++axis) {
        InitPositionSlider(SLIDERS[axis], SLIDER_RANGES[axis].minimum, SLIDER_RANGES[axis].maximum);
    }
    ApplySourcePosition();
    return TRUE;  // focus goes to the first tab stop
}

int SelectedIndex(int control) {
    return static_cast<int>(SendDlgItemMessageA(dialogWindow, control, CB_GETCURSEL, 0, 0));
}

PlaybackChoices ReadChoices() {
    PlaybackChoices choices = {};
    choices.deviceIndex = SelectedIndex(IDC_DEVICE);
    choices.algorithmIndex = SelectedIndex(IDC_VIRTUALIZATION);
    choices.speakerIndex = SelectedIndex(IDC_SPEAKERS);
    GetWindowText1251(GetDlgItem(dialogWindow, IDC_ANGLE), choices.angleText,
                      sizeof choices.angleText);
    return choices;
}

// Disabling the focused button leaves no focus at all; give it back so that
// Enter starts and stops in turn.
void RestoreFocus(HWND button) {
    HWND focus = GetFocus();
    if (focus == nullptr || !IsChild(dialogWindow, focus)) {
        SendMessageA(dialogWindow, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(button), TRUE);
    }
}

// The button shows "Жди" before the repaint, since nothing paints while
// the start blocks.
const char* StartFromIdle(HWND button) {
    EnableChoices(FALSE);
    SetWindowText1251(button, TEXT_WAIT);
    UpdateWindow(dialogWindow);
    if (StartPlayback(ReadChoices())) {
        playing = true;
        return TEXT_STOP;
    }
    EnableChoices(TRUE);
    return TEXT_START;
}

const char* StopPlaying() {
    ReleasePlayback();
    playing = false;
    EnableChoices(TRUE);
    return TEXT_START;
}

INT_PTR OnCommand(int control) {
    switch (control) {
    case IDCANCEL:
        // The dialog closes only when idle, so playback is always released
        // through the button before the program ends.
        if (playing) {
            return FALSE;
        }
        EndDialog(dialogWindow, 0);
        return TRUE;
    case IDC_START: OnStartStop(); return FALSE;
    default: return FALSE;
    }
}

}  // namespace

void OnStartStop() {
    HWND button = GetDlgItem(dialogWindow, IDC_START);
    EnableWindow(button, FALSE);
    const char* newText = playing ? StopPlaying() : StartFromIdle(button);
    SetWindowText1251(button, newText);
    EnableWindow(button, TRUE);
    RestoreFocus(button);
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(window);
    case WM_COMMAND: return OnCommand(LOWORD(wParam));
    case WM_HSCROLL:
    case WM_VSCROLL: OnScroll(); return FALSE;
    default: return FALSE;
    }
}
