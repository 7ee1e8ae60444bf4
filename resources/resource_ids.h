// Identifiers of the icon, the dialog, its controls and the embedded clip, shared by the
// code and the resource script (so plain #defines only).
#pragma once

#define IDR_ICON 100
#define IDD_MAIN 101
#define IDR_CLIP 107

#define IDC_VIRTUALIZATION 1027
#define IDC_DEVICE 1029
#define IDC_START 1030
#define IDC_SLIDER_X 1031
#define IDC_SLIDER_Y 1032
#define IDC_SLIDER_Z 1033
#define IDC_VALUE_X 1034
#define IDC_VALUE_Y 1035
#define IDC_VALUE_Z 1036
#define IDC_SPEAKERS 1037
#define IDC_ANGLE 1038
