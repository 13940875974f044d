// Corvane.dll, simulated: the HID library's functions and the simulator's
// control functions over one bus that lives as long as the library is loaded.
// Only the functions declared in the two headers below are exported.

#include <algorithm>
#include <cstring>
#include <string>

#pragma GCC visibility push(default)
#include "hidlib/hid_device.h"
#include "sim/sim_control.h"
#pragma GCC visibility pop

#include "sim/sim_bus.h"

using corvane::sim::Bus;
using corvane::sim::SimBox;

namespace {

Bus& bus() {
  static Bus instance;
  return instance;
}

std::uint64_t handleOf(CvHidDevice device) {
  return reinterpret_cast<std::uintptr_t>(device);
}

CvHidStatus copyString(const std::string& s, char* buffer, std::uint32_t size) {
  if (buffer == nullptr || size == 0) return CV_HID_BAD_ARGUMENT;
  if (s.size() >= size) {
    buffer[0] = '\0';
    return CV_HID_BAD_ARGUMENT;
  }
  std::memcpy(buffer, s.c_str(), s.size() + 1);
  return CV_HID_OK;
}

// USB string descriptor indexes: 1 vendor, 2 product, 3 serial number.
int kindOfStringIndex(std::uint32_t stringIndex) {
  switch (stringIndex) {
    case 1:
      return CV_HID_STRING_VENDOR;
    case 2:
      return CV_HID_STRING_PRODUCT;
    case 3:
      return CV_HID_STRING_SERIAL;
    default:
      return 0;
  }
}

constexpr std::uint16_t kReleaseNumber = 0x0100;

int result(bool ok) {
  return ok ? 0 : -1;
}

bool validDevice(int device) {
  return device == CORVANE_SIM_BOX || device == CORVANE_SIM_ESC;
}

corvane::sim::Identity fromC(const CorvaneSimIdentity& c) {
  corvane::sim::Identity id;
  std::copy(std::begin(c.model), std::end(c.model), id.model.begin());
  id.identityWord = c.identityWord;
  id.firmwareVersion = c.firmwareVersion;
  id.hardwareVersion = c.hardwareVersion;
  return id;
}

CorvaneSimIdentity toC(const corvane::sim::Identity& id) {
  CorvaneSimIdentity c{};
  std::copy(id.model.begin(), id.model.end(), std::begin(c.model));
  c.identityWord = id.identityWord;
  c.firmwareVersion = id.firmwareVersion;
  c.hardwareVersion = id.hardwareVersion;
  return c;
}

}  // namespace

// ---------------------------------------------------------------------------
// The HID library

extern "C" {

uint32_t HidDevice_GetNumHidDevices(uint16_t vendorId, uint16_t productId) {
  return bus().deviceCount(vendorId, productId);
}

CvHidStatus HidDevice_GetHidString(uint32_t index, uint16_t vendorId, uint16_t productId, uint8_t kind,
                                   char* buffer, uint32_t bufferSize) {
  std::string s;
  const CvHidStatus status = bus().deviceString(index, vendorId, productId, kind, s);
  return status != CV_HID_OK ? status : copyString(s, buffer, bufferSize);
}

CvHidStatus HidDevice_GetHidIndexedString(uint32_t index, uint16_t vendorId, uint16_t productId,
                                          uint32_t stringIndex, char* buffer, uint32_t bufferSize) {
  std::string s;
  const CvHidStatus status =
      bus().deviceString(index, vendorId, productId, kindOfStringIndex(stringIndex), s);
  return status != CV_HID_OK ? status : copyString(s, buffer, bufferSize);
}

CvHidStatus HidDevice_GetHidAttributes(uint32_t index, uint16_t vendorId, uint16_t productId,
                                       uint16_t* deviceVendorId, uint16_t* deviceProductId,
                                       uint16_t* releaseNumber) {
  std::string path;
  const CvHidStatus status = bus().deviceString(index, vendorId, productId, CV_HID_STRING_PATH, path);
  if (status != CV_HID_OK) return status;
  if (deviceVendorId != nullptr) *deviceVendorId = corvane::sim::kVendorId;
  if (deviceProductId != nullptr) *deviceProductId = corvane::sim::kProductId;
  if (releaseNumber != nullptr) *releaseNumber = kReleaseNumber;
  return CV_HID_OK;
}

void HidDevice_GetHidGuid(CvHidClassId* classId) {
  // The HID device-interface class id, in its in-memory layout.
  static const uint8_t kHidClass[16] = {0xB2, 0x55, 0x1E, 0x4D, 0x6F, 0xF1, 0xCF, 0x11,
                                        0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30};
  if (classId != nullptr) std::memcpy(classId->bytes, kHidClass, sizeof kHidClass);
}

CvHidStatus HidDevice_GetHidLibraryVersion(uint8_t* major, uint8_t* minor, int32_t* isRelease) {
  if (major != nullptr) *major = 1;
  if (minor != nullptr) *minor = 0;
  if (isRelease != nullptr) *isRelease = 0;  // a simulator, not a release of the real library
  return CV_HID_OK;
}

CvHidStatus HidDevice_Open(CvHidDevice* device, uint32_t index, uint16_t vendorId, uint16_t productId,
                           uint32_t inputReportBuffers) {
  if (device == nullptr) return CV_HID_BAD_ARGUMENT;
  std::uint64_t handle = 0;
  const CvHidStatus status = bus().open(index, vendorId, productId, inputReportBuffers, handle);
  *device =
      status == CV_HID_OK ? reinterpret_cast<CvHidDevice>(static_cast<std::uintptr_t>(handle)) : nullptr;
  return status;
}

int32_t HidDevice_IsOpened(CvHidDevice device) {
  return device != nullptr && bus().isOpen(handleOf(device));
}

intptr_t HidDevice_GetHandle(CvHidDevice device) {
  return device != nullptr && bus().isOpen(handleOf(device)) ? static_cast<intptr_t>(handleOf(device)) : -1;
}

CvHidStatus HidDevice_GetString(CvHidDevice device, uint8_t kind, char* buffer, uint32_t bufferSize) {
  std::string s;
  const CvHidStatus status = bus().handleString(handleOf(device), kind, s);
  return status != CV_HID_OK ? status : copyString(s, buffer, bufferSize);
}

CvHidStatus HidDevice_GetIndexedString(CvHidDevice device, uint32_t stringIndex, char* buffer,
                                       uint32_t bufferSize) {
  std::string s;
  const CvHidStatus status = bus().handleString(handleOf(device), kindOfStringIndex(stringIndex), s);
  return status != CV_HID_OK ? status : copyString(s, buffer, bufferSize);
}

CvHidStatus HidDevice_GetAttributes(CvHidDevice device, uint16_t* vendorId, uint16_t* productId,
                                    uint16_t* releaseNumber) {
  if (!bus().isOpen(handleOf(device))) return CV_HID_NOT_OPEN;
  if (vendorId != nullptr) *vendorId = corvane::sim::kVendorId;
  if (productId != nullptr) *productId = corvane::sim::kProductId;
  if (releaseNumber != nullptr) *releaseNumber = kReleaseNumber;
  return CV_HID_OK;
}

// The box has no feature reports and answers by its interrupt endpoint only.
CvHidStatus HidDevice_SetFeatureReport_Control(CvHidDevice device, const uint8_t*, uint32_t) {
  return bus().isOpen(handleOf(device)) ? CV_HID_UNSUPPORTED : CV_HID_NOT_OPEN;
}

CvHidStatus HidDevice_GetFeatureReport_Control(CvHidDevice device, uint8_t*, uint32_t) {
  return bus().isOpen(handleOf(device)) ? CV_HID_UNSUPPORTED : CV_HID_NOT_OPEN;
}

CvHidStatus HidDevice_SetOutputReport_Interrupt(CvHidDevice device, const uint8_t* report, uint32_t size) {
  return bus().write(handleOf(device), report, size);
}

CvHidStatus HidDevice_GetInputReport_Interrupt(CvHidDevice device, uint8_t* buffer, uint32_t bufferSize,
                                               uint32_t reportCount, uint32_t* bytesReturned) {
  if (bytesReturned == nullptr) return CV_HID_BAD_ARGUMENT;
  return bus().read(handleOf(device), buffer, bufferSize, reportCount, *bytesReturned);
}

// An output report over the control pipe reaches the box like one over the interrupt pipe.
CvHidStatus HidDevice_SetOutputReport_Control(CvHidDevice device, const uint8_t* report, uint32_t size) {
  return bus().write(handleOf(device), report, size);
}

CvHidStatus HidDevice_GetInputReport_Control(CvHidDevice device, uint8_t*, uint32_t) {
  return bus().isOpen(handleOf(device)) ? CV_HID_UNSUPPORTED : CV_HID_NOT_OPEN;
}

uint16_t HidDevice_GetInputReportBufferLength(CvHidDevice device) {
  return bus().isOpen(handleOf(device)) ? corvane::sim::kReportLength : 0;
}

uint16_t HidDevice_GetOutputReportBufferLength(CvHidDevice device) {
  return bus().isOpen(handleOf(device)) ? corvane::sim::kReportLength : 0;
}

uint16_t HidDevice_GetFeatureReportBufferLength(CvHidDevice) {
  return 0;
}

uint32_t HidDevice_GetMaxReportRequest(CvHidDevice device) {
  return bus().isOpen(handleOf(device)) ? Bus::kMaxReportRequest : 0;
}

int32_t HidDevice_FlushBuffers(CvHidDevice device) {
  return bus().flush(handleOf(device));
}

int32_t HidDevice_CancelIo(CvHidDevice device) {
  return bus().cancel(handleOf(device));
}

void HidDevice_GetTimeouts(CvHidDevice device, uint32_t* inputTimeoutMs, uint32_t* outputTimeoutMs) {
  std::uint32_t in = 0, out = 0;
  bus().timeouts(handleOf(device), in, out);
  if (inputTimeoutMs != nullptr) *inputTimeoutMs = in;
  if (outputTimeoutMs != nullptr) *outputTimeoutMs = out;
}

void HidDevice_SetTimeouts(CvHidDevice device, uint32_t inputTimeoutMs, uint32_t outputTimeoutMs) {
  bus().setTimeouts(handleOf(device), inputTimeoutMs, outputTimeoutMs);
}

CvHidStatus HidDevice_Close(CvHidDevice device) {
  return bus().close(handleOf(device));
}

// ---------------------------------------------------------------------------
// Control functions

void CorvaneSim_Reset(void) {
  bus().reset();
}

void CorvaneSim_SetReportInterval(uint32_t microseconds) {
  bus().setReportInterval(std::chrono::microseconds(microseconds));
}

int CorvaneSim_SetReportSplit(uint32_t maxBytes, int varied) {
  return result(bus().setReportSplit(maxBytes, varied != 0));
}

int CorvaneSim_SetBoxCount(uint32_t count) {
  return result(bus().setBoxCount(count));
}

uint32_t CorvaneSim_GetBoxCount(void) {
  return bus().boxCount();
}

int CorvaneSim_GetBoxPath(uint32_t box, char* buffer, uint32_t size) {
  std::string path;
  if (!bus().boxPath(box, path)) return -1;
  return result(copyString(path, buffer, size) == CV_HID_OK);
}

int CorvaneSim_SetIdentity(uint32_t box, int device, const CorvaneSimIdentity* identity) {
  if (!validDevice(device) || identity == nullptr) return -1;
  const auto id = fromC(*identity);
  return result(bus().withBox(
      box, [&](SimBox& b) { (device == CORVANE_SIM_BOX ? b.boxIdentity : b.escIdentity) = id; }));
}

int CorvaneSim_GetIdentity(uint32_t box, int device, CorvaneSimIdentity* identity) {
  if (!validDevice(device) || identity == nullptr) return -1;
  return result(bus().withBox(
      box, [&](SimBox& b) { *identity = toC(device == CORVANE_SIM_BOX ? b.boxIdentity : b.escIdentity); }));
}

int CorvaneSim_SetEscPresent(uint32_t box, int present) {
  return result(bus().withBox(box, [&](SimBox& b) { b.escPresent = present != 0; }));
}

int CorvaneSim_SetEscModel(uint32_t box, const char* model) {
  if (model == nullptr) return -1;
  const std::string name(model, strnlen(model, 6));
  return result(bus().withBox(box, [&](SimBox& b) { b.escIdentity.setModel(name); }));
}

int CorvaneSim_SetEscSettings(uint32_t box, const uint8_t* bytes, uint32_t size) {
  if (bytes == nullptr || size != corvane::sim::kSettingsSize) return -1;
  return result(bus().withBox(box, [&](SimBox& b) { std::copy_n(bytes, size, b.escSettings.begin()); }));
}

int CorvaneSim_GetEscSettings(uint32_t box, uint8_t* bytes, uint32_t size) {
  if (bytes == nullptr || size != corvane::sim::kSettingsSize) return -1;
  return result(bus().withBox(box, [&](SimBox& b) { std::copy_n(b.escSettings.begin(), size, bytes); }));
}

int CorvaneSim_SetEscLive(uint32_t box, const uint8_t* bytes, uint32_t size) {
  if (bytes == nullptr || size != corvane::sim::kLiveSize) return -1;
  return result(bus().withBox(box, [&](SimBox& b) { std::copy_n(bytes, size, b.escLive.begin()); }));
}

int CorvaneSim_GetEscLive(uint32_t box, uint8_t* bytes, uint32_t size) {
  if (bytes == nullptr || size != corvane::sim::kLiveSize) return -1;
  return result(bus().withBox(box, [&](SimBox& b) { std::copy_n(b.escLive.begin(), size, bytes); }));
}

int32_t CorvaneSim_GetProgrammedImage(uint32_t box, int device, uint8_t* buffer, uint32_t size,
                                      uint32_t* address) {
  if (!validDevice(device)) return -1;
  int32_t length = -1;
  bus().withBox(box, [&](SimBox& b) {
    const auto& image = device == CORVANE_SIM_BOX ? b.boxImage : b.escImage;
    if (!image.present) return;
    length = static_cast<int32_t>(image.bytes.size());
    if (buffer != nullptr)
      std::copy_n(image.bytes.begin(), std::min<std::size_t>(size, image.bytes.size()), buffer);
    if (address != nullptr) *address = image.address;
  });
  return length;
}

int CorvaneSim_SetVersionAfterProgram(uint32_t box, int device, uint16_t version) {
  if (!validDevice(device)) return -1;
  return result(bus().withBox(box, [&](SimBox& b) {
    (device == CORVANE_SIM_BOX ? b.boxVersionAfterProgram : b.escVersionAfterProgram) = version;
  }));
}

int CorvaneSim_SetEscRestartTime(uint32_t box, uint32_t milliseconds) {
  return result(
      bus().withBox(box, [&](SimBox& b) { b.escRestartTime = std::chrono::milliseconds(milliseconds); }));
}

void CorvaneSim_SetBoxRestartTimes(uint32_t leaveDelayMs, uint32_t returnDelayMs) {
  bus().setBoxRestartTimes(std::chrono::milliseconds(leaveDelayMs), std::chrono::milliseconds(returnDelayMs));
}

int CorvaneSim_SetTestRun(uint32_t box, uint32_t durationMs, uint8_t timing) {
  return result(bus().withBox(box, [&](SimBox& b) {
    b.testDuration = std::chrono::milliseconds(durationMs);
    b.testTiming = timing;
  }));
}

int CorvaneSim_DropNextReply(uint32_t box) {
  return result(bus().withBox(box, [](SimBox& b) { b.dropNextReply = true; }));
}

int CorvaneSim_DropNextReplyOfKind(uint32_t box, uint8_t kind) {
  return result(bus().withBox(box, [&](SimBox& b) { b.dropNextReplyOfKind = kind; }));
}

int CorvaneSim_CorruptNextReply(uint32_t box, int part) {
  using corvane::sim::CorruptPart;
  CorruptPart which;
  switch (part) {
    case CORVANE_SIM_CORRUPT_FINAL:
      which = CorruptPart::Final;
      break;
    case CORVANE_SIM_CORRUPT_HEADER:
      which = CorruptPart::Header;
      break;
    case CORVANE_SIM_CORRUPT_READ_DATA:
      which = CorruptPart::ReadData;
      break;
    default:
      return -1;
  }
  return result(bus().withBox(box, [&](SimBox& b) { b.corruptNextReply = which; }));
}

int CorvaneSim_SetStall(uint32_t box, int stalled) {
  return result(bus().setStall(box, stalled != 0));
}

int CorvaneSim_SetRefuseIdentity(uint32_t box, int device, int refuse) {
  if (!validDevice(device)) return -1;
  return result(bus().withBox(box, [&](SimBox& b) {
    (device == CORVANE_SIM_BOX ? b.refuseBoxIdentity : b.refuseEscIdentity) = refuse != 0;
  }));
}

int CorvaneSim_Unplug(uint32_t box) {
  return result(bus().unplug(box));
}

int CorvaneSim_UnplugAfterDataBytes(uint32_t box, uint32_t count) {
  return result(bus().withBox(box, [&](SimBox& b) { b.unplugAfterDataBytes = count; }));
}

int CorvaneSim_LeaveDuringNextRead(uint32_t box) {
  return result(bus().withBox(box, [&](SimBox& b) { b.leaveDuringNextRead = true; }));
}

int CorvaneSim_PlugIn(uint32_t box) {
  return result(bus().plugIn(box));
}

void CorvaneSim_SetPlugListener(CorvaneSimPlugListener listener, void* context) {
  bus().setPlugListener(listener, context);
}

int CorvaneSim_WaitForNotifications(uint32_t timeoutMs) {
  return bus().waitForNotifications(std::chrono::milliseconds(timeoutMs)) ? 1 : 0;
}

uint64_t CorvaneSim_GetCounter(uint32_t box, int counter) {
  corvane::sim::BoxCounters d;
  corvane::sim::BusCounters b;
  if (!bus().counters(box, d, b)) return 0;
  switch (counter) {
    case CORVANE_SIM_COUNT_OUTPUT_REPORTS:
      return d.outputReports;
    case CORVANE_SIM_COUNT_MALFORMED_REPORTS:
      return d.malformedReports;
    case CORVANE_SIM_COUNT_IGNORED_REPORTS:
      return d.ignoredReports;
    case CORVANE_SIM_COUNT_COMMAND_FRAMES:
      return d.commandFrames;
    case CORVANE_SIM_COUNT_REPLY_FRAMES:
      return d.replyFrames;
    case CORVANE_SIM_COUNT_DATA_BYTES:
      return d.dataBytes;
    case CORVANE_SIM_COUNT_PROTOCOL_ERRORS:
      return d.protocolErrors;
    case CORVANE_SIM_COUNT_CHECKSUM_ERRORS:
      return d.checksumErrors;
    case CORVANE_SIM_COUNT_DROPPED_REPLIES:
      return d.droppedReplies;
    case CORVANE_SIM_COUNT_INPUT_QUEUED:
      return b.inputReportsQueued;
    case CORVANE_SIM_COUNT_INPUT_READ:
      return b.inputReportsRead;
    case CORVANE_SIM_COUNT_INPUT_DROPPED:
      return b.inputReportsDropped;
    case CORVANE_SIM_COUNT_OPEN_HANDLES:
      return b.openHandles;
    default:
      return 0;
  }
}

int32_t CorvaneSim_GetLastCommand(uint32_t box, int channel, uint8_t* buffer, uint32_t size) {
  if (channel != 0 && channel != 1) return -1;
  int32_t length = -1;
  bus().withBox(box, [&](SimBox& b) {
    const auto& frame = b.lastCommand[static_cast<std::size_t>(channel)];
    length = static_cast<int32_t>(frame.size());
    if (buffer != nullptr) std::copy_n(frame.begin(), std::min<std::size_t>(size, frame.size()), buffer);
  });
  return length;
}

}  // extern "C"
