// An in-process HID library for tests: the HidDeviceApi table routed to one
// FakeHid object, which records the output reports and hands out queued input
// reports. Thread-safe; the communication thread and the test share it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "link/hid_device_api.h"

class FakeHid {
 public:
  FakeHid();
  ~FakeHid();
  FakeHid(const FakeHid&) = delete;
  FakeHid& operator=(const FakeHid&) = delete;

  // A table whose 27 entries all lead to this object.
  static HidDeviceApi Api();
  // The handle the fake's device has.
  static CvHidDevice Device();

  // Queues bytes for the host on a channel, cut into reports of at most
  // perReport bytes.
  void QueueInput(std::uint8_t channel, const std::vector<std::uint8_t>& bytes, int perReport = 58);
  // Queues one raw report as it is (tests of malformed reports).
  void QueueRawReport(std::vector<std::uint8_t> report);

  // Every output report written so far.
  std::vector<std::vector<std::uint8_t>> OutputReports() const;
  // The data bytes the host sent on a channel, in order.
  std::vector<std::uint8_t> SentBytes(std::uint8_t channel) const;
  void ClearOutput();
  int ReadCalls() const;

  // Called with each output report after it was recorded, outside the lock.
  void SetResponder(std::function<void(const std::vector<std::uint8_t>& report)> responder);

  // Knobs.
  void SetReportLength(int length);
  void SetMaxReports(std::uint32_t reports);
  // Output writes fail from the n-th on (0 = the next); -1 never.
  void FailWritesAfter(int n);
  // Every read returns this status and nothing.
  void SetReadFailure(CvHidStatus status);

 private:
  friend struct FakeHidEntry;
  std::uint16_t ReportLength() const;
  std::uint32_t MaxReports() const;
  CvHidStatus Write(const std::uint8_t* report, std::uint32_t size);
  CvHidStatus Read(std::uint8_t* buffer, std::uint32_t size, std::uint32_t count, std::uint32_t* returned);

  mutable std::mutex m_mutex;
  std::deque<std::vector<std::uint8_t>> m_input;
  std::vector<std::vector<std::uint8_t>> m_output;
  std::function<void(const std::vector<std::uint8_t>&)> m_responder;
  int m_reportLength = 65;
  std::uint32_t m_maxReports = 8;
  int m_failWritesAfter = -1;
  CvHidStatus m_readFailure = CV_HID_OK;
  int m_readCalls = 0;
};
