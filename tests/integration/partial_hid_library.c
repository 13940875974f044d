/* A HID library that lacks most of its functions, for the binding's tests. */
#include "hidlib/hid_device.h"

uint32_t HidDevice_GetNumHidDevices(uint16_t vendorId, uint16_t productId) {
  (void)vendorId;
  (void)productId;
  return 1;
}

CvHidStatus HidDevice_Open(CvHidDevice* device, uint32_t index, uint16_t vendorId, uint16_t productId,
                           uint32_t inputReportBuffers) {
  (void)device;
  (void)index;
  (void)vendorId;
  (void)productId;
  (void)inputReportBuffers;
  return CV_HID_NO_DEVICE;
}
