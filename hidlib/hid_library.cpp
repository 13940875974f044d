#include "hidlib/hid_library.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <optional>
#include <set>
#include <string_view>

#include "hidlib/text.h"

namespace corvane::hidlib {

struct HidLibrary::OpenDevice {
  OpenDevice(DeviceInfo info, ReportLengths lengths, std::unique_ptr<Port> port)
      : info(std::move(info)), lengths(lengths), nativeHandle(port->nativeHandle()), port(std::move(port)) {}

  // Fixed at open, read without a lock.
  const DeviceInfo info;
  const ReportLengths lengths;
  const intptr_t nativeHandle;

  std::atomic<uint32_t> inputTimeoutMs{kDefaultInputTimeoutMs};
  std::atomic<uint32_t> outputTimeoutMs{kDefaultOutputTimeoutMs};
  std::atomic<bool> closed{false};
  std::atomic<uint32_t> cancelCount{0};

  // Every call on the port holds this; the port is closed when the last
  // holder of this record lets it go.
  std::mutex portMutex;
  const std::unique_ptr<Port> port;
};

namespace {

// The largest report the library passes to or takes from the stack.
constexpr uint32_t kMaxTransferBytes = kMaxReportBodyBytes + 1;

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Orders paths so that runs of digits compare by their value.
bool pathBefore(std::string_view a, std::string_view b) {
  size_t i = 0;
  size_t j = 0;
  while (i < a.size() && j < b.size()) {
    if (isDigit(a[i]) && isDigit(b[j])) {
      size_t iEnd = i;
      size_t jEnd = j;
      while (iEnd < a.size() && isDigit(a[iEnd]))
        ++iEnd;
      while (jEnd < b.size() && isDigit(b[jEnd]))
        ++jEnd;
      std::string_view x = a.substr(i, iEnd - i);
      std::string_view y = b.substr(j, jEnd - j);
      while (x.size() > 1 && x.front() == '0')
        x.remove_prefix(1);
      while (y.size() > 1 && y.front() == '0')
        y.remove_prefix(1);
      if (x.size() != y.size()) return x.size() < y.size();
      if (x != y) return x < y;
      i = iEnd;
      j = jEnd;
      continue;
    }
    if (a[i] != b[j]) return a[i] < b[j];
    ++i;
    ++j;
  }
  return a.size() - i < b.size() - j;
}

bool validKind(uint8_t kind) {
  return kind >= CV_HID_STRING_VENDOR && kind <= CV_HID_STRING_SERIAL;
}

const std::optional<std::string>* optionalString(const DeviceInfo& info, uint8_t kind) {
  switch (kind) {
    case CV_HID_STRING_VENDOR:
      return &info.manufacturer;
    case CV_HID_STRING_PRODUCT:
      return &info.product;
    case CV_HID_STRING_SERIAL:
      return &info.serialNumber;
    default:
      return nullptr;
  }
}

// Puts the string of this kind into the caller's buffer; the kind is valid
// and the buffer usable. A string the device does not have leaves the buffer
// empty and answers CV_HID_UNSUPPORTED.
CvHidStatus answerString(const DeviceInfo& info, uint8_t kind, char* buffer, uint32_t bufferSize) {
  if (kind == CV_HID_STRING_PATH) {
    copyToBuffer(info.path, buffer, bufferSize);
    return CV_HID_OK;
  }
  const std::optional<std::string>& text = *optionalString(info, kind);
  copyToBuffer(text ? *text : std::string_view{}, buffer, bufferSize);
  return text ? CV_HID_OK : CV_HID_UNSUPPORTED;
}

CvHidStatus answerIndexedString(Port& port, uint32_t stringIndex, char* buffer, uint32_t bufferSize) {
  const std::optional<std::string> text =
      stringIndex > INT_MAX ? std::nullopt : port.indexedString(static_cast<int>(stringIndex));
  copyToBuffer(text ? *text : std::string_view{}, buffer, bufferSize);
  return text ? CV_HID_OK : CV_HID_UNSUPPORTED;
}

void setIfGiven(uint16_t* out, uint16_t value) {
  if (out != nullptr) *out = value;
}

// Whole milliseconds until the time left has passed, at most INT_MAX.
int millisecondsCeil(std::chrono::nanoseconds left) {
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return static_cast<int>(std::clamp<int64_t>(ms, 0, INT_MAX));
}

}  // namespace

HidLibrary::HidLibrary(std::unique_ptr<Backend> backend) : backend_(std::move(backend)) {}

HidLibrary::~HidLibrary() {
  std::lock_guard lock(registryMutex_);
  for (auto& [handle, device] : registry_)
    device->closed = true;
  registry_.clear();
}

std::vector<DeviceInfo> HidLibrary::devices(uint16_t vendorId, uint16_t productId) {
  std::vector<DeviceInfo> listed;
  {
    std::lock_guard lock(backendMutex_);
    listed = backend_->enumerate(vendorId, productId);
  }
  // A device with several top-level collections is listed once per
  // collection, under the same path: keep the first entry of each path.
  std::vector<DeviceInfo> found;
  std::set<std::string> seen;
  for (DeviceInfo& info : listed) {
    if (info.path.empty() || !seen.insert(info.path).second) continue;
    found.push_back(std::move(info));
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const DeviceInfo& a, const DeviceInfo& b) { return pathBefore(a.path, b.path); });
  return found;
}

std::shared_ptr<HidLibrary::OpenDevice> HidLibrary::find(CvHidDevice device) const {
  if (device == nullptr) return nullptr;
  std::lock_guard lock(registryMutex_);
  const auto it = registry_.find(reinterpret_cast<uintptr_t>(device));
  return it == registry_.end() ? nullptr : it->second;
}

uint32_t HidLibrary::numDevices(uint16_t vendorId, uint16_t productId) {
  return static_cast<uint32_t>(devices(vendorId, productId).size());
}

CvHidStatus HidLibrary::hidString(uint32_t index, uint16_t vendorId, uint16_t productId, uint8_t kind,
                                  char* buffer, uint32_t bufferSize) {
  if (buffer == nullptr || bufferSize == 0 || !validKind(kind)) return CV_HID_BAD_ARGUMENT;
  const std::vector<DeviceInfo> found = devices(vendorId, productId);
  if (index >= found.size()) {
    buffer[0] = '\0';
    return CV_HID_NO_DEVICE;
  }
  return answerString(found[index], kind, buffer, bufferSize);
}

CvHidStatus HidLibrary::hidIndexedString(uint32_t index, uint16_t vendorId, uint16_t productId,
                                         uint32_t stringIndex, char* buffer, uint32_t bufferSize) {
  if (buffer == nullptr || bufferSize == 0) return CV_HID_BAD_ARGUMENT;
  buffer[0] = '\0';
  const std::vector<DeviceInfo> found = devices(vendorId, productId);
  if (index >= found.size()) return CV_HID_NO_DEVICE;
  std::unique_ptr<Port> port;
  {
    std::lock_guard lock(backendMutex_);
    port = backend_->open(found[index].path);
  }
  if (!port) return CV_HID_IO_ERROR;
  return answerIndexedString(*port, stringIndex, buffer, bufferSize);
}

CvHidStatus HidLibrary::hidAttributes(uint32_t index, uint16_t vendorId, uint16_t productId,
                                      uint16_t* deviceVendorId, uint16_t* deviceProductId,
                                      uint16_t* releaseNumber) {
  const std::vector<DeviceInfo> found = devices(vendorId, productId);
  if (index >= found.size()) return CV_HID_NO_DEVICE;
  setIfGiven(deviceVendorId, found[index].vendorId);
  setIfGiven(deviceProductId, found[index].productId);
  setIfGiven(releaseNumber, found[index].releaseNumber);
  return CV_HID_OK;
}

void HidLibrary::hidClassId(CvHidClassId* classId) {
  // {4D1E55B2-F16F-11CF-88CB-001111000030}, laid out as the class id
  // structure is stored: the first three fields little-endian.
  static constexpr CvHidClassId kHidClass{
      {0xB2, 0x55, 0x1E, 0x4D, 0x6F, 0xF1, 0xCF, 0x11, 0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
  if (classId != nullptr) *classId = kHidClass;
}

CvHidStatus HidLibrary::libraryVersion(uint8_t* major, uint8_t* minor, int32_t* isRelease) {
  if (major == nullptr || minor == nullptr || isRelease == nullptr) return CV_HID_BAD_ARGUMENT;
  *major = kVersionMajor;
  *minor = kVersionMinor;
  *isRelease = 1;
  return CV_HID_OK;
}

CvHidStatus HidLibrary::open(CvHidDevice* device, uint32_t index, uint16_t vendorId, uint16_t productId,
                             uint32_t /*inputReportBuffers: the kernel keeps its own queue*/) {
  if (device == nullptr) return CV_HID_BAD_ARGUMENT;
  std::vector<DeviceInfo> found = devices(vendorId, productId);
  if (index >= found.size()) return CV_HID_NO_DEVICE;
  DeviceInfo& info = found[index];

  std::unique_ptr<Port> port;
  std::optional<std::vector<uint8_t>> descriptor;
  {
    std::lock_guard lock(backendMutex_);
    port = backend_->open(info.path);
    if (port) descriptor = backend_->reportDescriptor(info.path);
  }
  if (!port) return CV_HID_IO_ERROR;

  std::optional<ReportLengths> lengths;
  if (descriptor) lengths = parseReportLengths(*descriptor);
  auto record = std::make_shared<OpenDevice>(std::move(info), lengths.value_or(kFallbackReportLengths),
                                             std::move(port));

  std::lock_guard lock(registryMutex_);
  const uintptr_t handle = nextHandle_++;
  registry_.emplace(handle, std::move(record));
  *device = reinterpret_cast<CvHidDevice>(handle);
  return CV_HID_OK;
}

bool HidLibrary::isOpened(CvHidDevice device) const {
  return find(device) != nullptr;
}

intptr_t HidLibrary::nativeHandle(CvHidDevice device) const {
  const auto open = find(device);
  return open ? open->nativeHandle : 0;
}

CvHidStatus HidLibrary::deviceString(CvHidDevice device, uint8_t kind, char* buffer,
                                     uint32_t bufferSize) const {
  const auto open = find(device);
  if (buffer == nullptr || bufferSize == 0 || !validKind(kind)) return CV_HID_BAD_ARGUMENT;
  if (!open) {
    buffer[0] = '\0';
    return CV_HID_NOT_OPEN;
  }
  return answerString(open->info, kind, buffer, bufferSize);
}

CvHidStatus HidLibrary::deviceIndexedString(CvHidDevice device, uint32_t stringIndex, char* buffer,
                                            uint32_t bufferSize) {
  const auto open = find(device);
  if (buffer == nullptr || bufferSize == 0) return CV_HID_BAD_ARGUMENT;
  buffer[0] = '\0';
  if (!open) return CV_HID_NOT_OPEN;
  std::lock_guard lock(open->portMutex);
  return answerIndexedString(*open->port, stringIndex, buffer, bufferSize);
}

CvHidStatus HidLibrary::deviceAttributes(CvHidDevice device, uint16_t* vendorId, uint16_t* productId,
                                         uint16_t* releaseNumber) const {
  const auto open = find(device);
  if (!open) return CV_HID_NOT_OPEN;
  setIfGiven(vendorId, open->info.vendorId);
  setIfGiven(productId, open->info.productId);
  setIfGiven(releaseNumber, open->info.releaseNumber);
  return CV_HID_OK;
}

CvHidStatus HidLibrary::close(CvHidDevice device) {
  std::shared_ptr<OpenDevice> open;
  {
    std::lock_guard lock(registryMutex_);
    const auto it = registry_.find(reinterpret_cast<uintptr_t>(device));
    if (it == registry_.end()) return CV_HID_NOT_OPEN;
    open = std::move(it->second);
    registry_.erase(it);
  }
  // A read on another thread notices this at its next step; the port is
  // closed when the last call using it returns.
  open->closed = true;
  return CV_HID_OK;
}

uint16_t HidLibrary::inputReportLength(CvHidDevice device) const {
  const auto open = find(device);
  return open ? open->lengths.input : 0;
}

uint16_t HidLibrary::outputReportLength(CvHidDevice device) const {
  const auto open = find(device);
  return open ? open->lengths.output : 0;
}

uint16_t HidLibrary::featureReportLength(CvHidDevice device) const {
  const auto open = find(device);
  return open ? open->lengths.feature : 0;
}

uint32_t HidLibrary::maxReportRequest(CvHidDevice device) const {
  return isOpened(device) ? kMaxReportRequest : 0;
}

void HidLibrary::timeouts(CvHidDevice device, uint32_t* inputTimeoutMs, uint32_t* outputTimeoutMs) const {
  const auto open = find(device);
  if (inputTimeoutMs != nullptr) *inputTimeoutMs = open ? open->inputTimeoutMs.load() : 0;
  if (outputTimeoutMs != nullptr) *outputTimeoutMs = open ? open->outputTimeoutMs.load() : 0;
}

void HidLibrary::setTimeouts(CvHidDevice device, uint32_t inputTimeoutMs, uint32_t outputTimeoutMs) {
  if (const auto open = find(device)) {
    open->inputTimeoutMs = inputTimeoutMs;
    open->outputTimeoutMs = outputTimeoutMs;
  }
}

CvHidStatus HidLibrary::writeOutputReport(CvHidDevice device, const uint8_t* report, uint32_t size) {
  const auto start = backend_->now();
  const auto open = find(device);
  if (!open) return CV_HID_NOT_OPEN;
  if (report == nullptr || size == 0 || size > kMaxTransferBytes) return CV_HID_BAD_ARGUMENT;
  const std::chrono::milliseconds limit(open->outputTimeoutMs.load());
  int written;
  {
    std::lock_guard lock(open->portMutex);
    if (open->closed) return CV_HID_NOT_OPEN;
    written = open->port->write(report, size);
  }
  if (written < 0 || static_cast<uint32_t>(written) != size) return CV_HID_IO_ERROR;
  // The kernel's write cannot be cut short; a write that took too long still
  // counts as failed, as a timed-out transfer would.
  if (backend_->now() - start > limit) return CV_HID_TIMED_OUT;
  return CV_HID_OK;
}

CvHidStatus HidLibrary::readInputReports(CvHidDevice device, uint8_t* buffer, uint32_t bufferSize,
                                         uint32_t reportCount, uint32_t* bytesReturned) {
  const auto start = backend_->now();
  uint32_t unused = 0;
  uint32_t& returned = bytesReturned != nullptr ? *bytesReturned : unused;
  returned = 0;
  const auto open = find(device);
  if (!open) return CV_HID_NOT_OPEN;
  const size_t slot = open->lengths.input;
  // Reports of a device without report ids come without the id byte: they go
  // after a 0 in their slot.
  const size_t bodyOffset = open->lengths.numbered ? 0 : 1;
  if (slot <= bodyOffset) return CV_HID_UNSUPPORTED;
  if (buffer == nullptr || reportCount == 0 || reportCount > kMaxReportRequest) return CV_HID_BAD_ARGUMENT;
  if (uint64_t{reportCount} * slot > bufferSize) return CV_HID_BAD_ARGUMENT;

  const auto deadline = start + std::chrono::milliseconds(open->inputTimeoutMs.load());
  const uint32_t cancelMark = open->cancelCount.load();
  const size_t bodySize = slot - bodyOffset;
  uint32_t arrived = 0;
  CvHidStatus status = CV_HID_OK;
  while (arrived < reportCount) {
    if (open->closed) {
      status = CV_HID_NOT_OPEN;
      break;
    }
    // A cancelled read ends like one whose time is up: what has arrived is
    // handed over, not lost.
    if (open->cancelCount.load() != cancelMark) {
      status = CV_HID_TIMED_OUT;
      break;
    }
    // The read waits for the first report only; after it, and once the time
    // is up, it takes just the reports already waiting, so that what arrived
    // reaches the caller at once.
    const auto now = backend_->now();
    const int waitMs =
        arrived == 0 && now < deadline ? std::min(millisecondsCeil(deadline - now), kReadStepMs) : 0;
    uint8_t* report = buffer + size_t{arrived} * slot;
    int received;
    {
      std::lock_guard lock(open->portMutex);
      received = open->port->read(report + bodyOffset, bodySize, waitMs);
    }
    if (received < 0 || static_cast<size_t>(received) > bodySize) {
      status = CV_HID_IO_ERROR;
      break;
    }
    if (received == 0) {
      if (waitMs == 0) {
        status = CV_HID_TIMED_OUT;
        break;
      }
      continue;
    }
    if (bodyOffset != 0) report[0] = 0;
    std::memset(report + bodyOffset + received, 0, bodySize - static_cast<size_t>(received));
    ++arrived;
  }
  returned = static_cast<uint32_t>(arrived * slot);
  return status;
}

bool HidLibrary::flush(CvHidDevice device) {
  const auto open = find(device);
  if (!open) return false;
  std::vector<uint8_t> scratch(std::max<size_t>(open->lengths.input, kFallbackReportLengths.input));
  std::lock_guard lock(open->portMutex);
  for (int i = 0; i < kMaxFlushReports; ++i) {
    const int received = open->port->read(scratch.data(), scratch.size(), 0);
    if (received < 0) return false;
    if (received == 0) return true;
  }
  return true;
}

bool HidLibrary::cancel(CvHidDevice device) {
  const auto open = find(device);
  if (!open) return false;
  ++open->cancelCount;
  return true;
}

CvHidStatus HidLibrary::sendReport(CvHidDevice device, const uint8_t* report, uint32_t size,
                                   int (Port::*send)(const uint8_t*, size_t)) {
  const auto open = find(device);
  if (!open) return CV_HID_NOT_OPEN;
  if (report == nullptr || size == 0 || size > kMaxTransferBytes) return CV_HID_BAD_ARGUMENT;
  int sent;
  {
    std::lock_guard lock(open->portMutex);
    sent = (open->port.get()->*send)(report, size);
  }
  if (sent == Port::kUnsupported) return CV_HID_UNSUPPORTED;
  if (sent < 0 || static_cast<uint32_t>(sent) != size) return CV_HID_IO_ERROR;
  return CV_HID_OK;
}

CvHidStatus HidLibrary::receiveReport(CvHidDevice device, uint8_t* report, uint32_t size,
                                      int (Port::*receive)(uint8_t*, size_t)) {
  const auto open = find(device);
  if (!open) return CV_HID_NOT_OPEN;
  if (report == nullptr || size == 0 || size > kMaxTransferBytes) return CV_HID_BAD_ARGUMENT;
  int received;
  {
    std::lock_guard lock(open->portMutex);
    received = (open->port.get()->*receive)(report, size);
  }
  if (received == Port::kUnsupported) return CV_HID_UNSUPPORTED;
  if (received < 0 || static_cast<uint32_t>(received) > size) return CV_HID_IO_ERROR;
  std::memset(report + received, 0, size - static_cast<uint32_t>(received));
  return CV_HID_OK;
}

CvHidStatus HidLibrary::setFeatureReport(CvHidDevice device, const uint8_t* report, uint32_t size) {
  return sendReport(device, report, size, &Port::sendFeatureReport);
}

CvHidStatus HidLibrary::getFeatureReport(CvHidDevice device, uint8_t* report, uint32_t size) {
  return receiveReport(device, report, size, &Port::getFeatureReport);
}

CvHidStatus HidLibrary::setOutputReportControl(CvHidDevice device, const uint8_t* report, uint32_t size) {
  return sendReport(device, report, size, &Port::sendOutputReport);
}

CvHidStatus HidLibrary::getInputReportControl(CvHidDevice device, uint8_t* report, uint32_t size) {
  return receiveReport(device, report, size, &Port::getInputReport);
}

}  // namespace corvane::hidlib
