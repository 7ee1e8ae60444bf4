#include "playback/device_list.h"

#include "playback/device_table.h"
#include "playback/dialog_window.h"
#include "resources/resource_ids.h"

HRESULT ListOutputDevices() { return DirectSoundEnumerateA(OnDeviceEnumerated, nullptr); }

BOOL CALLBACK OnDeviceEnumerated(LPGUID identifier, LPCSTR description, LPCSTR /*module*/,
                                 LPVOID /*context*/) {
    if (deviceTable.deviceCount >= MAX_DEVICES) {
        return FALSE;
    }
    DeviceEntry& entry = deviceTable.entries[deviceTable.deviceCount];
    entry.hasIdentifier = identifier != nullptr;
    entry.identifier = identifier != nullptr ? *identifier : GUID{};
    ++deviceTable.deviceCount;
    // The description is in the system's code page, as the platform gave
    // it, so it goes to the list through the narrow entry point unchanged.
    SendDlgItemMessageA(dialogWindow, IDC_DEVICE, CB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(description));
    return TRUE;
}
