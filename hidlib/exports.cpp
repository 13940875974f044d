// The library's exported C functions: each forwards to the one HidLibrary of
// the process, which works over hidapi.

#pragma GCC visibility push(default)
#include "hidlib/hid_device.h"
#pragma GCC visibility pop

#include "hidlib/hid_library.h"
#include "hidlib/hidapi_backend.h"

namespace {

using corvane::hidlib::HidLibrary;

// Made on first use; closes what is still open and releases hidapi when the
// library is unloaded.
HidLibrary& library() {
  static HidLibrary instance(corvane::hidlib::makeHidapiBackend());
  return instance;
}

}  // namespace

extern "C" {

uint32_t HidDevice_GetNumHidDevices(uint16_t vendorId, uint16_t productId) {
  return library().numDevices(vendorId, productId);
}

CvHidStatus HidDevice_GetHidString(uint32_t index, uint16_t vendorId, uint16_t productId, uint8_t kind,
                                   char* buffer, uint32_t bufferSize) {
  return library().hidString(index, vendorId, productId, kind, buffer, bufferSize);
}

CvHidStatus HidDevice_GetHidIndexedString(uint32_t index, uint16_t vendorId, uint16_t productId,
                                          uint32_t stringIndex, char* buffer, uint32_t bufferSize) {
  return library().hidIndexedString(index, vendorId, productId, stringIndex, buffer, bufferSize);
}

CvHidStatus HidDevice_GetHidAttributes(uint32_t index, uint16_t vendorId, uint16_t productId,
                                       uint16_t* deviceVendorId, uint16_t* deviceProductId,
                                       uint16_t* releaseNumber) {
  return library().hidAttributes(index, vendorId, productId, deviceVendorId, deviceProductId, releaseNumber);
}

void HidDevice_GetHidGuid(CvHidClassId* classId) {
  HidLibrary::hidClassId(classId);
}

CvHidStatus HidDevice_GetHidLibraryVersion(uint8_t* major, uint8_t* minor, int32_t* isRelease) {
  return HidLibrary::libraryVersion(major, minor, isRelease);
}

CvHidStatus HidDevice_Open(CvHidDevice* device, uint32_t index, uint16_t vendorId, uint16_t productId,
                           uint32_t inputReportBuffers) {
  return library().open(device, index, vendorId, productId, inputReportBuffers);
}

int32_t HidDevice_IsOpened(CvHidDevice device) {
  return library().isOpened(device) ? 1 : 0;
}

intptr_t HidDevice_GetHandle(CvHidDevice device) {
  return library().nativeHandle(device);
}

CvHidStatus HidDevice_GetString(CvHidDevice device, uint8_t kind, char* buffer, uint32_t bufferSize) {
  return library().deviceString(device, kind, buffer, bufferSize);
}

CvHidStatus HidDevice_GetIndexedString(CvHidDevice device, uint32_t stringIndex, char* buffer,
                                       uint32_t bufferSize) {
  return library().deviceIndexedString(device, stringIndex, buffer, bufferSize);
}

CvHidStatus HidDevice_GetAttributes(CvHidDevice device, uint16_t* vendorId, uint16_t* productId,
                                    uint16_t* releaseNumber) {
  return library().deviceAttributes(device, vendorId, productId, releaseNumber);
}

CvHidStatus HidDevice_SetFeatureReport_Control(CvHidDevice device, const uint8_t* report, uint32_t size) {
  return library().setFeatureReport(device, report, size);
}

CvHidStatus HidDevice_GetFeatureReport_Control(CvHidDevice device, uint8_t* report, uint32_t size) {
  return library().getFeatureReport(device, report, size);
}

CvHidStatus HidDevice_SetOutputReport_Interrupt(CvHidDevice device, const uint8_t* report, uint32_t size) {
  return library().writeOutputReport(device, report, size);
}

CvHidStatus HidDevice_GetInputReport_Interrupt(CvHidDevice device, uint8_t* buffer, uint32_t bufferSize,
                                               uint32_t reportCount, uint32_t* bytesReturned) {
  return library().readInputReports(device, buffer, bufferSize, reportCount, bytesReturned);
}

CvHidStatus HidDevice_SetOutputReport_Control(CvHidDevice device, const uint8_t* report, uint32_t size) {
  return library().setOutputReportControl(device, report, size);
}

CvHidStatus HidDevice_GetInputReport_Control(CvHidDevice device, uint8_t* report, uint32_t size) {
  return library().getInputReportControl(device, report, size);
}

uint16_t HidDevice_GetInputReportBufferLength(CvHidDevice device) {
  return library().inputReportLength(device);
}

uint16_t HidDevice_GetOutputReportBufferLength(CvHidDevice device) {
  return library().outputReportLength(device);
}

uint16_t HidDevice_GetFeatureReportBufferLength(CvHidDevice device) {
  return library().featureReportLength(device);
}

uint32_t HidDevice_GetMaxReportRequest(CvHidDevice device) {
  return library().maxReportRequest(device);
}

int32_t HidDevice_FlushBuffers(CvHidDevice device) {
  return library().flush(device) ? 1 : 0;
}

int32_t HidDevice_CancelIo(CvHidDevice device) {
  return library().cancel(device) ? 1 : 0;
}

void HidDevice_GetTimeouts(CvHidDevice device, uint32_t* inputTimeoutMs, uint32_t* outputTimeoutMs) {
  library().timeouts(device, inputTimeoutMs, outputTimeoutMs);
}

void HidDevice_SetTimeouts(CvHidDevice device, uint32_t inputTimeoutMs, uint32_t outputTimeoutMs) {
  library().setTimeouts(device, inputTimeoutMs, outputTimeoutMs);
}

CvHidStatus HidDevice_Close(CvHidDevice device) {
  return library().close(device);
}

}  // extern "C"
