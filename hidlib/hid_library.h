// The HID device library's logic: device lookup by vendor and product id,
// open devices behind opaque handles, report transfers with time-outs. The
// exported C functions forward here one to one; the HID stack is reached only
// through a Backend.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "hidlib/backend.h"
#include "hidlib/hid_device.h"
#include "hidlib/report_descriptor.h"

namespace corvane::hidlib {

class HidLibrary {
 public:
  // The largest number of input reports that one read may ask for.
  static constexpr uint32_t kMaxReportRequest = 32;
  // Time-outs of a device until they are set.
  static constexpr uint32_t kDefaultInputTimeoutMs = 1000;
  static constexpr uint32_t kDefaultOutputTimeoutMs = 1000;
  // A read waits at most this long in one step, so that Close or CancelIo on
  // another thread ends it soon.
  static constexpr int kReadStepMs = 50;
  // At most this many queued reports are dropped by one flush.
  static constexpr int kMaxFlushReports = 1024;
  static constexpr uint8_t kVersionMajor = 1;
  static constexpr uint8_t kVersionMinor = 0;

  explicit HidLibrary(std::unique_ptr<Backend> backend);
  ~HidLibrary();
  HidLibrary(const HidLibrary&) = delete;
  HidLibrary& operator=(const HidLibrary&) = delete;

  // Attached devices. Index i names the i-th device with these ids in order
  // of their paths (hidraw2 before hidraw10), each path once.
  uint32_t numDevices(uint16_t vendorId, uint16_t productId);
  CvHidStatus hidString(uint32_t index, uint16_t vendorId, uint16_t productId, uint8_t kind, char* buffer,
                        uint32_t bufferSize);
  CvHidStatus hidIndexedString(uint32_t index, uint16_t vendorId, uint16_t productId, uint32_t stringIndex,
                               char* buffer, uint32_t bufferSize);
  CvHidStatus hidAttributes(uint32_t index, uint16_t vendorId, uint16_t productId, uint16_t* deviceVendorId,
                            uint16_t* deviceProductId, uint16_t* releaseNumber);
  static void hidClassId(CvHidClassId* classId);
  static CvHidStatus libraryVersion(uint8_t* major, uint8_t* minor, int32_t* isRelease);

  // Open devices. A handle that is not open (never was, or closed) is
  // answered with CV_HID_NOT_OPEN, 0 or false; it is never dereferenced.
  CvHidStatus open(CvHidDevice* device, uint32_t index, uint16_t vendorId, uint16_t productId,
                   uint32_t inputReportBuffers);
  bool isOpened(CvHidDevice device) const;
  intptr_t nativeHandle(CvHidDevice device) const;
  CvHidStatus deviceString(CvHidDevice device, uint8_t kind, char* buffer, uint32_t bufferSize) const;
  CvHidStatus deviceIndexedString(CvHidDevice device, uint32_t stringIndex, char* buffer,
                                  uint32_t bufferSize);
  CvHidStatus deviceAttributes(CvHidDevice device, uint16_t* vendorId, uint16_t* productId,
                               uint16_t* releaseNumber) const;
  CvHidStatus close(CvHidDevice device);

  // Report lengths in bytes, the report id byte included; 0 for a handle
  // that is not open.
  uint16_t inputReportLength(CvHidDevice device) const;
  uint16_t outputReportLength(CvHidDevice device) const;
  uint16_t featureReportLength(CvHidDevice device) const;
  uint32_t maxReportRequest(CvHidDevice device) const;

  void timeouts(CvHidDevice device, uint32_t* inputTimeoutMs, uint32_t* outputTimeoutMs) const;
  void setTimeouts(CvHidDevice device, uint32_t inputTimeoutMs, uint32_t outputTimeoutMs);

  // Writes one output report on the interrupt pipe: CV_HID_OK when all of it
  // was written within the output time-out.
  CvHidStatus writeOutputReport(CvHidDevice device, const uint8_t* report, uint32_t size);
  // Reads up to reportCount input reports into slots of the input report
  // length, back to back, until all arrived or the input time-out (from the
  // start of the call) passed: CV_HID_OK, or CV_HID_TIMED_OUT with the slots
  // that were filled. bytesReturned is always the filled slots' size.
  CvHidStatus readInputReports(CvHidDevice device, uint8_t* buffer, uint32_t bufferSize, uint32_t reportCount,
                               uint32_t* bytesReturned);
  // Drops the input reports that are waiting; true when that worked.
  bool flush(CvHidDevice device);
  // Makes a read in progress on another thread stop at its next step.
  bool cancel(CvHidDevice device);

  // Control-pipe transfers; byte 0 of report is the report id.
  CvHidStatus setFeatureReport(CvHidDevice device, const uint8_t* report, uint32_t size);
  CvHidStatus getFeatureReport(CvHidDevice device, uint8_t* report, uint32_t size);
  CvHidStatus setOutputReportControl(CvHidDevice device, const uint8_t* report, uint32_t size);
  CvHidStatus getInputReportControl(CvHidDevice device, uint8_t* report, uint32_t size);

 private:
  struct OpenDevice;

  std::shared_ptr<OpenDevice> find(CvHidDevice device) const;
  // The attached devices with these ids, in index order.
  std::vector<DeviceInfo> devices(uint16_t vendorId, uint16_t productId);
  CvHidStatus sendReport(CvHidDevice device, const uint8_t* report, uint32_t size,
                         int (Port::*send)(const uint8_t*, size_t));
  CvHidStatus receiveReport(CvHidDevice device, uint8_t* report, uint32_t size,
                            int (Port::*receive)(uint8_t*, size_t));

  const std::unique_ptr<Backend> backend_;
  // Serialises the backend's calls that are not tied to an open device.
  std::mutex backendMutex_;
  mutable std::mutex registryMutex_;
  std::map<uintptr_t, std::shared_ptr<OpenDevice>> registry_;
  // Handle values are never used twice, so a stale handle cannot name a
  // device opened later.
  uintptr_t nextHandle_ = 1;
};

}  // namespace corvane::hidlib
