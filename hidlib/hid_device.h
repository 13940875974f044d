/* The HID device library's interface: the functions that Corvane.dll exports
 * with C linkage. The program binds them by name at run time (link/); the real
 * library (hidlib/) and the simulated box (sim/) both implement them. */
#ifndef CORVANE_HIDLIB_HID_DEVICE_H
#define CORVANE_HIDLIB_HID_DEVICE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* An open device; NULL when none is open. */
typedef void* CvHidDevice;

/* Result of most calls. Only 0 and 4 carry a meaning that callers rely on. */
typedef uint8_t CvHidStatus;
#define CV_HID_OK 0x00           /* success */
#define CV_HID_NO_DEVICE 0x01    /* no device at that index */
#define CV_HID_NOT_OPEN 0x02     /* the handle is not an open device */
#define CV_HID_BAD_ARGUMENT 0x03 /* a buffer or size that cannot be used */
#define CV_HID_TIMED_OUT 0x04    /* a read timed out; what arrived is still valid */
#define CV_HID_IO_ERROR 0x05     /* the operating system refused the transfer */
#define CV_HID_UNSUPPORTED 0x06  /* the device or the backend cannot do this */

/* String kinds for the string getters. */
#define CV_HID_STRING_VENDOR 1
#define CV_HID_STRING_PRODUCT 2
#define CV_HID_STRING_PATH 3
#define CV_HID_STRING_SERIAL 4

/* The device-interface class id of HID devices. */
typedef struct CvHidClassId {
  uint8_t bytes[16];
} CvHidClassId;

uint32_t HidDevice_GetNumHidDevices(uint16_t vendorId, uint16_t productId);
CvHidStatus HidDevice_GetHidString(uint32_t index, uint16_t vendorId, uint16_t productId, uint8_t kind,
                                   char* buffer, uint32_t bufferSize);
CvHidStatus HidDevice_GetHidIndexedString(uint32_t index, uint16_t vendorId, uint16_t productId,
                                          uint32_t stringIndex, char* buffer, uint32_t bufferSize);
CvHidStatus HidDevice_GetHidAttributes(uint32_t index, uint16_t vendorId, uint16_t productId,
                                       uint16_t* deviceVendorId, uint16_t* deviceProductId,
                                       uint16_t* releaseNumber);
void HidDevice_GetHidGuid(CvHidClassId* classId);
CvHidStatus HidDevice_GetHidLibraryVersion(uint8_t* major, uint8_t* minor, int32_t* isRelease);
CvHidStatus HidDevice_Open(CvHidDevice* device, uint32_t index, uint16_t vendorId, uint16_t productId,
                           uint32_t inputReportBuffers);
int32_t HidDevice_IsOpened(CvHidDevice device);
intptr_t HidDevice_GetHandle(CvHidDevice device);
CvHidStatus HidDevice_GetString(CvHidDevice device, uint8_t kind, char* buffer, uint32_t bufferSize);
CvHidStatus HidDevice_GetIndexedString(CvHidDevice device, uint32_t stringIndex, char* buffer,
                                       uint32_t bufferSize);
CvHidStatus HidDevice_GetAttributes(CvHidDevice device, uint16_t* vendorId, uint16_t* productId,
                                    uint16_t* releaseNumber);
CvHidStatus HidDevice_SetFeatureReport_Control(CvHidDevice device, const uint8_t* report, uint32_t size);
CvHidStatus HidDevice_GetFeatureReport_Control(CvHidDevice device, uint8_t* report, uint32_t size);
CvHidStatus HidDevice_SetOutputReport_Interrupt(CvHidDevice device, const uint8_t* report, uint32_t size);
CvHidStatus HidDevice_GetInputReport_Interrupt(CvHidDevice device, uint8_t* buffer, uint32_t bufferSize,
                                               uint32_t reportCount, uint32_t* bytesReturned);
CvHidStatus HidDevice_SetOutputReport_Control(CvHidDevice device, const uint8_t* report, uint32_t size);
CvHidStatus HidDevice_GetInputReport_Control(CvHidDevice device, uint8_t* report, uint32_t size);
uint16_t HidDevice_GetInputReportBufferLength(CvHidDevice device);
uint16_t HidDevice_GetOutputReportBufferLength(CvHidDevice device);
uint16_t HidDevice_GetFeatureReportBufferLength(CvHidDevice device);
uint32_t HidDevice_GetMaxReportRequest(CvHidDevice device);
int32_t HidDevice_FlushBuffers(CvHidDevice device);
int32_t HidDevice_CancelIo(CvHidDevice device);
void HidDevice_GetTimeouts(CvHidDevice device, uint32_t* inputTimeoutMs, uint32_t* outputTimeoutMs);
void HidDevice_SetTimeouts(CvHidDevice device, uint32_t inputTimeoutMs, uint32_t outputTimeoutMs);
CvHidStatus HidDevice_Close(CvHidDevice device);

/* The 27 functions in table order, for code that handles each of them:
 * X(name) is expanded once per function. */
#define CV_HID_DEVICE_FUNCTIONS(X)          \
  X(HidDevice_GetNumHidDevices)             \
  X(HidDevice_GetHidString)                 \
  X(HidDevice_GetHidIndexedString)          \
  X(HidDevice_GetHidAttributes)             \
  X(HidDevice_GetHidGuid)                   \
  X(HidDevice_GetHidLibraryVersion)         \
  X(HidDevice_Open)                         \
  X(HidDevice_IsOpened)                     \
  X(HidDevice_GetHandle)                    \
  X(HidDevice_GetString)                    \
  X(HidDevice_GetIndexedString)             \
  X(HidDevice_GetAttributes)                \
  X(HidDevice_SetFeatureReport_Control)     \
  X(HidDevice_GetFeatureReport_Control)     \
  X(HidDevice_SetOutputReport_Interrupt)    \
  X(HidDevice_GetInputReport_Interrupt)     \
  X(HidDevice_SetOutputReport_Control)      \
  X(HidDevice_GetInputReport_Control)       \
  X(HidDevice_GetInputReportBufferLength)   \
  X(HidDevice_GetOutputReportBufferLength)  \
  X(HidDevice_GetFeatureReportBufferLength) \
  X(HidDevice_GetMaxReportRequest)          \
  X(HidDevice_FlushBuffers)                 \
  X(HidDevice_CancelIo)                     \
  X(HidDevice_GetTimeouts)                  \
  X(HidDevice_SetTimeouts)                  \
  X(HidDevice_Close)

#ifdef __cplusplus
}
#endif

#endif
