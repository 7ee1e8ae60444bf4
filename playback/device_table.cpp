#include "playback/device_table.h"

DeviceTable deviceTable = {};
