#include "support/fake_hid.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

FakeHid* g_current = nullptr;
std::uint8_t g_deviceTag;  // its address is the fake device's handle

}  // namespace

// Static entries of the table; each forwards to the current fake.
struct FakeHidEntry {
  static uint32_t NumDevices(uint16_t, uint16_t) { return 1; }
  static CvHidStatus HidString(uint32_t index, uint16_t, uint16_t, uint8_t, char* buffer, uint32_t size) {
    if (index != 0 || size == 0) return CV_HID_NO_DEVICE;
    std::snprintf(buffer, size, "/dev/hidraw-fake0");
    return CV_HID_OK;
  }
  static CvHidStatus HidIndexedString(uint32_t, uint16_t, uint16_t, uint32_t, char*, uint32_t) {
    return CV_HID_UNSUPPORTED;
  }
  static CvHidStatus HidAttributes(uint32_t, uint16_t, uint16_t, uint16_t* v, uint16_t* p, uint16_t* r) {
    *v = 0x10C4;
    *p = 0x8468;
    *r = 0x0100;
    return CV_HID_OK;
  }
  static void HidGuid(CvHidClassId* id) { std::memset(id->bytes, 0x11, sizeof id->bytes); }
  static CvHidStatus LibraryVersion(uint8_t* major, uint8_t* minor, int32_t* release) {
    *major = 1;
    *minor = 0;
    *release = 1;
    return CV_HID_OK;
  }
  static CvHidStatus Open(CvHidDevice* device, uint32_t, uint16_t, uint16_t, uint32_t) {
    *device = FakeHid::Device();
    return CV_HID_OK;
  }
  static int32_t IsOpened(CvHidDevice device) { return device == FakeHid::Device(); }
  static intptr_t Handle(CvHidDevice) { return 0; }
  static CvHidStatus String(CvHidDevice, uint8_t, char* buffer, uint32_t size) {
    return HidString(0, 0, 0, 3, buffer, size);
  }
  static CvHidStatus IndexedString(CvHidDevice, uint32_t, char*, uint32_t) { return CV_HID_UNSUPPORTED; }
  static CvHidStatus Attributes(CvHidDevice, uint16_t* v, uint16_t* p, uint16_t* r) {
    return HidAttributes(0, 0, 0, v, p, r);
  }
  static CvHidStatus SetReport(CvHidDevice, const uint8_t*, uint32_t) { return CV_HID_UNSUPPORTED; }
  static CvHidStatus GetReport(CvHidDevice, uint8_t*, uint32_t) { return CV_HID_UNSUPPORTED; }
  static CvHidStatus WriteInterrupt(CvHidDevice, const uint8_t* report, uint32_t size) {
    return g_current->Write(report, size);
  }
  static CvHidStatus ReadInterrupt(CvHidDevice, uint8_t* buffer, uint32_t size, uint32_t count,
                                   uint32_t* got) {
    return g_current->Read(buffer, size, count, got);
  }
  static uint16_t ReportLength(CvHidDevice) { return g_current->ReportLength(); }
  static uint32_t MaxReports(CvHidDevice) { return g_current->MaxReports(); }
  static int32_t Flush(CvHidDevice) { return 1; }
  static void GetTimeouts(CvHidDevice, uint32_t* in, uint32_t* out) {
    *in = 10;
    *out = 500;
  }
  static void SetTimeouts(CvHidDevice, uint32_t, uint32_t) {}
  static CvHidStatus Close(CvHidDevice) { return CV_HID_OK; }
};

FakeHid::FakeHid() {
  g_current = this;
}
FakeHid::~FakeHid() {
  g_current = nullptr;
}

CvHidDevice FakeHid::Device() {
  return &g_deviceTag;
}

HidDeviceApi FakeHid::Api() {
  HidDeviceApi api;
  api.HidDevice_GetNumHidDevices = &FakeHidEntry::NumDevices;
  api.HidDevice_GetHidString = &FakeHidEntry::HidString;
  api.HidDevice_GetHidIndexedString = &FakeHidEntry::HidIndexedString;
  api.HidDevice_GetHidAttributes = &FakeHidEntry::HidAttributes;
  api.HidDevice_GetHidGuid = &FakeHidEntry::HidGuid;
  api.HidDevice_GetHidLibraryVersion = &FakeHidEntry::LibraryVersion;
  api.HidDevice_Open = &FakeHidEntry::Open;
  api.HidDevice_IsOpened = &FakeHidEntry::IsOpened;
  api.HidDevice_GetHandle = &FakeHidEntry::Handle;
  api.HidDevice_GetString = &FakeHidEntry::String;
  api.HidDevice_GetIndexedString = &FakeHidEntry::IndexedString;
  api.HidDevice_GetAttributes = &FakeHidEntry::Attributes;
  api.HidDevice_SetFeatureReport_Control = &FakeHidEntry::SetReport;
  api.HidDevice_GetFeatureReport_Control = &FakeHidEntry::GetReport;
  api.HidDevice_SetOutputReport_Interrupt = &FakeHidEntry::WriteInterrupt;
  api.HidDevice_GetInputReport_Interrupt = &FakeHidEntry::ReadInterrupt;
  api.HidDevice_SetOutputReport_Control = &FakeHidEntry::SetReport;
  api.HidDevice_GetInputReport_Control = &FakeHidEntry::GetReport;
  api.HidDevice_GetInputReportBufferLength = &FakeHidEntry::ReportLength;
  api.HidDevice_GetOutputReportBufferLength = &FakeHidEntry::ReportLength;
  api.HidDevice_GetFeatureReportBufferLength = &FakeHidEntry::ReportLength;
  api.HidDevice_GetMaxReportRequest = &FakeHidEntry::MaxReports;
  api.HidDevice_FlushBuffers = &FakeHidEntry::Flush;
  api.HidDevice_CancelIo = &FakeHidEntry::Flush;
  api.HidDevice_GetTimeouts = &FakeHidEntry::GetTimeouts;
  api.HidDevice_SetTimeouts = &FakeHidEntry::SetTimeouts;
  api.HidDevice_Close = &FakeHidEntry::Close;
  return api;
}

void FakeHid::QueueInput(std::uint8_t channel, const std::vector<std::uint8_t>& bytes, int perReport) {
  std::lock_guard lock(m_mutex);
  for (std::size_t at = 0; at < bytes.size(); at += perReport) {
    const std::size_t n = std::min<std::size_t>(perReport, bytes.size() - at);
    std::vector<std::uint8_t> report(m_reportLength, 0);
    report[0] = 0x01;
    report[1] = channel;
    report[2] = static_cast<std::uint8_t>(n);
    std::copy_n(bytes.begin() + at, n, report.begin() + 3);
    m_input.push_back(std::move(report));
  }
}

void FakeHid::QueueRawReport(std::vector<std::uint8_t> report) {
  std::lock_guard lock(m_mutex);
  report.resize(m_reportLength, 0);
  m_input.push_back(std::move(report));
}

std::vector<std::vector<std::uint8_t>> FakeHid::OutputReports() const {
  std::lock_guard lock(m_mutex);
  return m_output;
}

std::vector<std::uint8_t> FakeHid::SentBytes(std::uint8_t channel) const {
  std::lock_guard lock(m_mutex);
  std::vector<std::uint8_t> bytes;
  for (const auto& report : m_output) {
    if (report[1] == channel) bytes.insert(bytes.end(), report.begin() + 3, report.begin() + 3 + report[2]);
  }
  return bytes;
}

void FakeHid::ClearOutput() {
  std::lock_guard lock(m_mutex);
  m_output.clear();
}

int FakeHid::ReadCalls() const {
  std::lock_guard lock(m_mutex);
  return m_readCalls;
}

void FakeHid::SetResponder(std::function<void(const std::vector<std::uint8_t>&)> responder) {
  std::lock_guard lock(m_mutex);
  m_responder = std::move(responder);
}

void FakeHid::SetReportLength(int length) {
  std::lock_guard lock(m_mutex);
  m_reportLength = length;
}

void FakeHid::SetMaxReports(std::uint32_t reports) {
  std::lock_guard lock(m_mutex);
  m_maxReports = reports;
}

void FakeHid::FailWritesAfter(int n) {
  std::lock_guard lock(m_mutex);
  m_failWritesAfter = n;
}

void FakeHid::SetReadFailure(CvHidStatus status) {
  std::lock_guard lock(m_mutex);
  m_readFailure = status;
}

std::uint16_t FakeHid::ReportLength() const {
  std::lock_guard lock(m_mutex);
  return static_cast<std::uint16_t>(m_reportLength);
}

std::uint32_t FakeHid::MaxReports() const {
  std::lock_guard lock(m_mutex);
  return m_maxReports;
}

CvHidStatus FakeHid::Write(const std::uint8_t* report, std::uint32_t size) {
  std::vector<std::uint8_t> copy(report, report + size);
  std::function<void(const std::vector<std::uint8_t>&)> responder;
  {
    std::lock_guard lock(m_mutex);
    if (m_failWritesAfter == 0) return CV_HID_IO_ERROR;
    if (m_failWritesAfter > 0) --m_failWritesAfter;
    m_output.push_back(copy);
    responder = m_responder;
  }
  if (responder) responder(copy);
  return CV_HID_OK;
}

CvHidStatus FakeHid::Read(std::uint8_t* buffer, std::uint32_t size, std::uint32_t count,
                          std::uint32_t* returned) {
  std::lock_guard lock(m_mutex);
  ++m_readCalls;
  *returned = 0;
  if (m_readFailure != CV_HID_OK) return m_readFailure;
  std::uint32_t taken = 0;
  while (taken < count && !m_input.empty() && (taken + 1) * m_reportLength <= size) {
    std::memcpy(buffer + taken * m_reportLength, m_input.front().data(), m_reportLength);
    m_input.pop_front();
    ++taken;
  }
  *returned = taken * m_reportLength;
  return taken == count ? CV_HID_OK : CV_HID_TIMED_OUT;
}
