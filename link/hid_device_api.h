// The table of the HID library's entry points, in the order the library is
// bound. The program calls the box only through these pointers.
#pragma once

#include "hidlib/hid_device.h"

struct HidDeviceApi {
#define CORVANE_HID_ENTRY(name) decltype(&::name) name = nullptr;
  CV_HID_DEVICE_FUNCTIONS(CORVANE_HID_ENTRY)
#undef CORVANE_HID_ENTRY
};

// Number of entry points in the table.
inline constexpr int kHidDeviceApiEntries = 27;
static_assert(sizeof(HidDeviceApi) == kHidDeviceApiEntries * sizeof(void*));
