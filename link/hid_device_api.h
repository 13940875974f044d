// The table of the HID library's entry points, in the order the library is
// bound. The program calls the box only through these pointers.
#pragma once

#include "hidlib/hid_device.h"

struct HidDeviceApi {
  decltype(&::HidDevice_GetNumHidDevices) HidDevice_GetNumHidDevices = nullptr;
  decltype(&::HidDevice_GetHidString) HidDevice_GetHidString = nullptr;
  decltype(&::HidDevice_GetHidIndexedString) HidDevice_GetHidIndexedString = nullptr;
  decltype(&::HidDevice_GetHidAttributes) HidDevice_GetHidAttributes = nullptr;
  decltype(&::HidDevice_GetHidGuid) HidDevice_GetHidGuid = nullptr;
  decltype(&::HidDevice_GetHidLibraryVersion) HidDevice_GetHidLibraryVersion = nullptr;
  decltype(&::HidDevice_Open) HidDevice_Open = nullptr;
  decltype(&::HidDevice_IsOpened) HidDevice_IsOpened = nullptr;
  decltype(&::HidDevice_GetHandle) HidDevice_GetHandle = nullptr;
  decltype(&::HidDevice_GetString) HidDevice_GetString = nullptr;
  decltype(&::HidDevice_GetIndexedString) HidDevice_GetIndexedString = nullptr;
  decltype(&::HidDevice_GetAttributes) HidDevice_GetAttributes = nullptr;
  decltype(&::HidDevice_SetFeatureReport_Control) HidDevice_SetFeatureReport_Control = nullptr;
  decltype(&::HidDevice_GetFeatureReport_Control) HidDevice_GetFeatureReport_Control = nullptr;
  decltype(&::HidDevice_SetOutputReport_Interrupt) HidDevice_SetOutputReport_Interrupt = nullptr;
  decltype(&::HidDevice_GetInputReport_Interrupt) HidDevice_GetInputReport_Interrupt = nullptr;
  decltype(&::HidDevice_SetOutputReport_Control) HidDevice_SetOutputReport_Control = nullptr;
  decltype(&::HidDevice_GetInputReport_Control) HidDevice_GetInputReport_Control = nullptr;
  decltype(&::HidDevice_GetInputReportBufferLength) HidDevice_GetInputReportBufferLength = nullptr;
  decltype(&::HidDevice_GetOutputReportBufferLength) HidDevice_GetOutputReportBufferLength = nullptr;
  decltype(&::HidDevice_GetFeatureReportBufferLength) HidDevice_GetFeatureReportBufferLength = nullptr;
  decltype(&::HidDevice_GetMaxReportRequest) HidDevice_GetMaxReportRequest = nullptr;
  decltype(&::HidDevice_FlushBuffers) HidDevice_FlushBuffers = nullptr;
  decltype(&::HidDevice_CancelIo) HidDevice_CancelIo = nullptr;
  decltype(&::HidDevice_GetTimeouts) HidDevice_GetTimeouts = nullptr;
  decltype(&::HidDevice_SetTimeouts) HidDevice_SetTimeouts = nullptr;
  decltype(&::HidDevice_Close) HidDevice_Close = nullptr;
};

// Number of entry points in the table.
inline constexpr int kHidDeviceApiEntries = 27;
static_assert(sizeof(HidDeviceApi) == kHidDeviceApiEntries * sizeof(void*));
