// Lists the sound output devices into the device list and the device table.
#pragma once

#include "platform/platform.h"

// Asks the platform for its output devices; returns its result unchanged.
HRESULT ListOutputDevices();

// Called once per device during the enumeration. Returns FALSE to end it
// once the table is full, so list item i always belongs to entry i.
BOOL CALLBACK OnDeviceEnumerated(LPGUID identifier, LPCSTR description, LPCSTR module,
                                 LPVOID context);
