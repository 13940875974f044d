// The library's mapping of its operations onto the HID stack, against a
// scripted stack.
#include "hidlib/hid_library.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "fake_backend.h"

namespace corvane::hidlib {
namespace {

using std::chrono::milliseconds;
using testing::FakeBackend;
using testing::FakeStack;
using testing::ReadStep;

constexpr uint16_t kVid = 0x10C4;
constexpr uint16_t kPid = 0x8468;
constexpr size_t kL = 65;  // the box's report length with its id byte
constexpr uint8_t kCanary = 0xA5;

// A vendor-defined device: input report 1 and output report 2, 64 bytes each.
std::vector<uint8_t> boxDescriptor() {
  return {0x06, 0x00, 0xFF,        // usage page (vendor)
          0x09, 0x01, 0xA1, 0x01,  // usage, collection (application)
          0x85, 0x01, 0x09, 0x01, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40,
          0x81, 0x02, 0x85, 0x02, 0x09, 0x01, 0x75, 0x08, 0x95, 0x40, 0x91, 0x02, 0xC0};
}

// The same without report ids and with 8-byte reports.
std::vector<uint8_t> unnumberedDescriptor() {
  return {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95,
          0x08, 0x09, 0x01, 0x81, 0x02, 0x09, 0x01, 0x91, 0x02, 0xC0};
}

std::vector<uint8_t> inputReport(uint8_t tag, size_t length = kL) {
  std::vector<uint8_t> bytes(length);
  bytes[0] = 0x01;
  for (size_t i = 1; i < length; ++i)
    bytes[i] = static_cast<uint8_t>(tag + i);
  return bytes;
}

class HidLibraryTest : public ::testing::Test {
 protected:
  void attach(const std::string& path, std::optional<std::vector<uint8_t>> descriptor = boxDescriptor(),
              uint16_t vid = kVid, uint16_t pid = kPid) {
    DeviceInfo info;
    info.path = path;
    info.vendorId = vid;
    info.productId = pid;
    info.releaseNumber = 0x0102;
    info.manufacturer = "Maker";
    info.product = "Program box";
    stack->devices.push_back(info);
    if (descriptor) stack->descriptors[path] = *descriptor;
  }

  CvHidDevice openAt(uint32_t index) {
    CvHidDevice device = nullptr;
    EXPECT_EQ(lib.open(&device, index, kVid, kPid, 512), CV_HID_OK);
    return device;
  }

  // Attaches and opens one box with the program's time-outs.
  CvHidDevice openBox(std::optional<std::vector<uint8_t>> descriptor = boxDescriptor()) {
    attach("/dev/hidraw0", std::move(descriptor));
    CvHidDevice device = openAt(0);
    lib.setTimeouts(device, 10, 500);
    return device;
  }

  void queue(ReadStep step) { stack->reads["/dev/hidraw0"].push_back(std::move(step)); }

  std::shared_ptr<FakeStack> stack = std::make_shared<FakeStack>();
  HidLibrary lib{std::make_unique<FakeBackend>(stack)};
};

// --- Finding devices -------------------------------------------------------

TEST_F(HidLibraryTest, IndexesDevicesInPathOrderWithEachPathOnce) {
  attach("/dev/hidraw10");
  attach("/dev/hidraw2");
  attach("/dev/hidraw2");  // a second top-level collection of the same node
  attach("/dev/hidraw3", boxDescriptor(), kVid, 0x1234);

  EXPECT_EQ(lib.numDevices(kVid, kPid), 2u);
  EXPECT_EQ(stack->lastEnumerated, std::make_pair(kVid, kPid));

  char path[260];
  ASSERT_EQ(lib.hidString(0, kVid, kPid, CV_HID_STRING_PATH, path, sizeof path), CV_HID_OK);
  EXPECT_STREQ(path, "/dev/hidraw2");
  ASSERT_EQ(lib.hidString(1, kVid, kPid, CV_HID_STRING_PATH, path, sizeof path), CV_HID_OK);
  EXPECT_STREQ(path, "/dev/hidraw10");
  EXPECT_EQ(lib.hidString(2, kVid, kPid, CV_HID_STRING_PATH, path, sizeof path), CV_HID_NO_DEVICE);
  EXPECT_STREQ(path, "");

  CvHidDevice device = openAt(1);
  EXPECT_EQ(stack->opened.back(), "/dev/hidraw10");
  ASSERT_EQ(lib.deviceString(device, CV_HID_STRING_PATH, path, sizeof path), CV_HID_OK);
  EXPECT_STREQ(path, "/dev/hidraw10");
}

TEST_F(HidLibraryTest, NoDeviceAttached) {
  EXPECT_EQ(lib.numDevices(kVid, kPid), 0u);
  CvHidDevice device = reinterpret_cast<CvHidDevice>(0x1);  // must stay as it is
  EXPECT_EQ(lib.open(&device, 0, kVid, kPid, 512), CV_HID_NO_DEVICE);
  EXPECT_EQ(device, reinterpret_cast<CvHidDevice>(0x1));
  uint16_t vid = 0;
  EXPECT_EQ(lib.hidAttributes(0, kVid, kPid, &vid, nullptr, nullptr), CV_HID_NO_DEVICE);
}

TEST_F(HidLibraryTest, OpenFailureLeavesTheHandleAlone) {
  attach("/dev/hidraw0");
  stack->unopenable.insert("/dev/hidraw0");
  CvHidDevice device = nullptr;
  EXPECT_NE(lib.open(&device, 0, kVid, kPid, 512), CV_HID_OK);
  EXPECT_EQ(device, nullptr);
  EXPECT_EQ(lib.open(nullptr, 0, kVid, kPid, 512), CV_HID_BAD_ARGUMENT);
}

TEST_F(HidLibraryTest, StringsAttributesAndTheirAbsence) {
  attach("/dev/hidraw0");
  char text[64];
  ASSERT_EQ(lib.hidString(0, kVid, kPid, CV_HID_STRING_VENDOR, text, sizeof text), CV_HID_OK);
  EXPECT_STREQ(text, "Maker");
  ASSERT_EQ(lib.hidString(0, kVid, kPid, CV_HID_STRING_PRODUCT, text, sizeof text), CV_HID_OK);
  EXPECT_STREQ(text, "Program box");
  EXPECT_EQ(lib.hidString(0, kVid, kPid, CV_HID_STRING_SERIAL, text, sizeof text), CV_HID_UNSUPPORTED);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(lib.hidString(0, kVid, kPid, 0, text, sizeof text), CV_HID_BAD_ARGUMENT);
  EXPECT_EQ(lib.hidString(0, kVid, kPid, 5, text, sizeof text), CV_HID_BAD_ARGUMENT);
  EXPECT_EQ(lib.hidString(0, kVid, kPid, CV_HID_STRING_PATH, nullptr, 10), CV_HID_BAD_ARGUMENT);
  EXPECT_EQ(lib.hidString(0, kVid, kPid, CV_HID_STRING_PATH, text, 0), CV_HID_BAD_ARGUMENT);

  uint16_t vid = 0, pid = 0, release = 0;
  ASSERT_EQ(lib.hidAttributes(0, kVid, kPid, &vid, &pid, &release), CV_HID_OK);
  EXPECT_EQ(vid, kVid);
  EXPECT_EQ(pid, kPid);
  EXPECT_EQ(release, 0x0102);

  // Indexed strings need the device open for a moment.
  stack->indexedStrings[2] = "Box";
  ASSERT_EQ(lib.hidIndexedString(0, kVid, kPid, 2, text, sizeof text), CV_HID_OK);
  EXPECT_STREQ(text, "Box");
  EXPECT_EQ(lib.hidIndexedString(0, kVid, kPid, 3, text, sizeof text), CV_HID_UNSUPPORTED);
  EXPECT_EQ(stack->openPorts, 0);

  CvHidDevice device = openAt(0);
  ASSERT_EQ(lib.deviceIndexedString(device, 2, text, sizeof text), CV_HID_OK);
  EXPECT_STREQ(text, "Box");
  ASSERT_EQ(lib.deviceAttributes(device, &vid, &pid, &release), CV_HID_OK);
  EXPECT_EQ(release, 0x0102);
  EXPECT_EQ(lib.nativeHandle(device), 42);
}

TEST_F(HidLibraryTest, StringsAreCutToTheBufferAndTerminated) {
  attach("/dev/hidraw0");
  stack->devices[0].product = "Box \xE2\x82\xAC";  // ends in a three-byte character

  char text[9];
  std::memset(text, kCanary, sizeof text);
  ASSERT_EQ(lib.hidString(0, kVid, kPid, CV_HID_STRING_PATH, text, 8), CV_HID_OK);
  EXPECT_STREQ(text, "/dev/hi");
  EXPECT_EQ(static_cast<uint8_t>(text[8]), kCanary);

  // Room for "Box " and two bytes of the character: the character is left out.
  ASSERT_EQ(lib.hidString(0, kVid, kPid, CV_HID_STRING_PRODUCT, text, 7), CV_HID_OK);
  EXPECT_STREQ(text, "Box ");
  ASSERT_EQ(lib.hidString(0, kVid, kPid, CV_HID_STRING_PRODUCT, text, 8), CV_HID_OK);
  EXPECT_STREQ(text, "Box \xE2\x82\xAC");

  ASSERT_EQ(lib.hidString(0, kVid, kPid, CV_HID_STRING_PATH, text, 1), CV_HID_OK);
  EXPECT_STREQ(text, "");
}

// --- Report lengths --------------------------------------------------------

TEST_F(HidLibraryTest, ReportLengthsComeFromTheDescriptorOrTheFallback) {
  attach("/dev/hidraw0");
  attach("/dev/hidraw1", std::nullopt);
  attach("/dev/hidraw2", std::vector<uint8_t>{0x85, 0x02, 0x75});  // cut short
  attach("/dev/hidraw3", unnumberedDescriptor());

  CvHidDevice box = openAt(0);
  EXPECT_EQ(lib.inputReportLength(box), 65);
  EXPECT_EQ(lib.outputReportLength(box), 65);
  EXPECT_EQ(lib.featureReportLength(box), 0);
  EXPECT_EQ(lib.maxReportRequest(box), HidLibrary::kMaxReportRequest);

  for (uint32_t index : {1u, 2u}) {
    CvHidDevice device = openAt(index);
    EXPECT_EQ(lib.inputReportLength(device), 65);
    EXPECT_EQ(lib.outputReportLength(device), 65);
    EXPECT_EQ(lib.featureReportLength(device), 65);
  }

  CvHidDevice plain = openAt(3);
  EXPECT_EQ(lib.inputReportLength(plain), 9);
  EXPECT_EQ(lib.outputReportLength(plain), 9);
}

// --- Reading input reports -------------------------------------------------

TEST_F(HidLibraryTest, ReadsAllRequestedReportsBackToBack) {
  CvHidDevice device = openBox();
  queue(testing::report(inputReport(0x10)));
  queue(testing::report(inputReport(0x20, 20)));  // short: the slot's tail is zeroed
  queue(testing::report(inputReport(0x30)));

  std::vector<uint8_t> buffer(3 * kL + 8, kCanary);
  uint32_t returned = 99;
  ASSERT_EQ(lib.readInputReports(device, buffer.data(), 3 * kL, 3, &returned), CV_HID_OK);
  EXPECT_EQ(returned, 3 * kL);

  const auto slot = [&](size_t i) {
    return std::vector<uint8_t>(buffer.begin() + i * kL, buffer.begin() + (i + 1) * kL);
  };
  EXPECT_EQ(slot(0), inputReport(0x10));
  std::vector<uint8_t> shortReport = inputReport(0x20, 20);
  shortReport.resize(kL, 0);
  EXPECT_EQ(slot(1), shortReport);
  EXPECT_EQ(slot(2), inputReport(0x30));
  for (size_t i = 3 * kL; i < buffer.size(); ++i)
    EXPECT_EQ(buffer[i], kCanary) << "byte " << i;
  for (size_t length : stack->readLengths)
    EXPECT_EQ(length, kL);
}

TEST_F(HidLibraryTest, TimeOutKeepsWhatArrivedAndTouchesNoFurtherSlot) {
  CvHidDevice device = openBox();
  queue(testing::report(inputReport(0x10), milliseconds(3)));
  queue(testing::report(inputReport(0x20), milliseconds(4)));

  std::vector<uint8_t> buffer(4 * kL, kCanary);
  uint32_t returned = 0;
  ASSERT_EQ(lib.readInputReports(device, buffer.data(), buffer.size(), 4, &returned), CV_HID_TIMED_OUT);
  EXPECT_EQ(returned, 2 * kL);
  EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + kL), inputReport(0x10));
  // The third read scribbled on its slot; the fourth slot was never handed out.
  for (size_t i = 3 * kL; i < buffer.size(); ++i)
    EXPECT_EQ(buffer[i], kCanary);

  // Only the first report is waited for; after it the read takes what is
  // already waiting and returns as soon as nothing more is.
  EXPECT_EQ(stack->readWaits, (std::vector<int>{10, 0, 0}));
}

TEST_F(HidLibraryTest, TimeOutWithNothingAndReportsAlreadyWaiting) {
  CvHidDevice device = openBox();
  std::vector<uint8_t> buffer(4 * kL);
  uint32_t returned = 99;
  EXPECT_EQ(lib.readInputReports(device, buffer.data(), buffer.size(), 4, &returned), CV_HID_TIMED_OUT);
  EXPECT_EQ(returned, 0u);

  // With no time to wait, reports that are already queued are still taken.
  lib.setTimeouts(device, 0, 500);
  stack->readWaits.clear();
  queue(testing::report(inputReport(1)));
  queue(testing::report(inputReport(2)));
  EXPECT_EQ(lib.readInputReports(device, buffer.data(), buffer.size(), 4, &returned), CV_HID_TIMED_OUT);
  EXPECT_EQ(returned, 2 * kL);
  EXPECT_EQ(stack->readWaits, (std::vector<int>{0, 0, 0}));
}

TEST_F(HidLibraryTest, LongTimeOutsWaitInSteps) {
  CvHidDevice device = openBox();
  lib.setTimeouts(device, 120, 500);
  std::vector<uint8_t> buffer(kL);
  uint32_t returned = 0;
  EXPECT_EQ(lib.readInputReports(device, buffer.data(), buffer.size(), 1, &returned), CV_HID_TIMED_OUT);
  EXPECT_EQ(stack->readWaits, (std::vector<int>{50, 50, 20, 0}));
}

TEST_F(HidLibraryTest, ReadFailures) {
  CvHidDevice device = openBox();
  std::vector<uint8_t> buffer(4 * kL + 1, kCanary);
  uint32_t returned = 99;

  // An error after two reports: failure, with the count of what did arrive.
  queue(testing::report(inputReport(1)));
  queue(testing::report(inputReport(2)));
  queue(testing::failing(ReadStep::kError));
  EXPECT_EQ(lib.readInputReports(device, buffer.data(), 4 * kL, 4, &returned), CV_HID_IO_ERROR);
  EXPECT_EQ(returned, 2 * kL);

  // A stack that claims more bytes than the slot holds.
  queue(testing::failing(ReadStep::kOversize));
  EXPECT_EQ(lib.readInputReports(device, buffer.data(), 4 * kL, 4, &returned), CV_HID_IO_ERROR);
  EXPECT_EQ(returned, 0u);
  EXPECT_EQ(buffer[4 * kL], kCanary);

  // Requests that cannot be served reach no read at all.
  const size_t readsBefore = stack->readWaits.size();
  std::fill(buffer.begin(), buffer.end(), kCanary);
  EXPECT_EQ(lib.readInputReports(device, buffer.data(), 4 * kL - 1, 4, &returned), CV_HID_BAD_ARGUMENT);
  EXPECT_EQ(returned, 0u);
  EXPECT_EQ(lib.readInputReports(device, buffer.data(), 4 * kL, 0, &returned), CV_HID_BAD_ARGUMENT);
  EXPECT_EQ(lib.readInputReports(device, nullptr, 4 * kL, 4, &returned), CV_HID_BAD_ARGUMENT);
  const uint32_t tooMany = HidLibrary::kMaxReportRequest + 1;
  std::vector<uint8_t> big(tooMany * kL);
  EXPECT_EQ(lib.readInputReports(device, big.data(), big.size(), tooMany, &returned), CV_HID_BAD_ARGUMENT);
  EXPECT_EQ(stack->readWaits.size(), readsBefore);
  for (uint8_t b : buffer)
    EXPECT_EQ(b, kCanary);
}

TEST_F(HidLibraryTest, ReportsWithoutIdGetAZeroIdByte) {
  CvHidDevice device = openBox(unnumberedDescriptor());
  queue(testing::report({1, 2, 3, 4, 5, 6, 7, 8}));
  std::vector<uint8_t> buffer(9, kCanary);
  uint32_t returned = 0;
  ASSERT_EQ(lib.readInputReports(device, buffer.data(), 9, 1, &returned), CV_HID_OK);
  EXPECT_EQ(returned, 9u);
  EXPECT_EQ(buffer, (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(stack->readLengths, (std::vector<size_t>{8}));
}

TEST_F(HidLibraryTest, CloseOrCancelDuringAReadEndsIt) {
  CvHidDevice device = openBox();
  std::vector<uint8_t> buffer(4 * kL);
  uint32_t returned = 0;

  queue(testing::report(inputReport(1)));
  ReadStep cancelled = testing::report(inputReport(2));
  cancelled.during = [&] { EXPECT_TRUE(lib.cancel(device)); };
  queue(cancelled);
  // What arrived before the cancel is handed over.
  EXPECT_EQ(lib.readInputReports(device, buffer.data(), buffer.size(), 4, &returned), CV_HID_TIMED_OUT);
  EXPECT_EQ(returned, 2 * kL);

  // A later read is not affected by the earlier cancel.
  queue(testing::report(inputReport(3)));
  EXPECT_EQ(lib.readInputReports(device, buffer.data(), buffer.size(), 1, &returned), CV_HID_OK);

  int portsDuringRead = -1;
  ReadStep closing = testing::report(inputReport(4));
  closing.during = [&] {
    EXPECT_EQ(lib.close(device), CV_HID_OK);
    portsDuringRead = stack->openPorts;
  };
  queue(closing);
  EXPECT_EQ(lib.readInputReports(device, buffer.data(), buffer.size(), 4, &returned), CV_HID_NOT_OPEN);
  EXPECT_EQ(returned, kL);
  EXPECT_EQ(portsDuringRead, 1);  // the port outlives the read that uses it
  EXPECT_EQ(stack->openPorts, 0);
}

// --- Writing and other transfers -------------------------------------------

TEST_F(HidLibraryTest, OutputReportWrites) {
  CvHidDevice device = openBox();
  std::vector<uint8_t> report(kL, 0);
  report[0] = 0x02;
  report[1] = 0x01;
  report[2] = 0x01;
  report[3] = 0x0F;

  ASSERT_EQ(lib.writeOutputReport(device, report.data(), kL), CV_HID_OK);
  ASSERT_EQ(stack->writes.size(), 1u);
  EXPECT_EQ(stack->writes[0].bytes, report);

  stack->writeResult = 64;  // partial
  EXPECT_EQ(lib.writeOutputReport(device, report.data(), kL), CV_HID_IO_ERROR);
  stack->writeResult = -1;
  EXPECT_EQ(lib.writeOutputReport(device, report.data(), kL), CV_HID_IO_ERROR);
  stack->writeResult.reset();

  stack->writeDuration = milliseconds(500);
  EXPECT_EQ(lib.writeOutputReport(device, report.data(), kL), CV_HID_OK);
  stack->writeDuration = milliseconds(501);
  EXPECT_EQ(lib.writeOutputReport(device, report.data(), kL), CV_HID_TIMED_OUT);

  EXPECT_EQ(lib.writeOutputReport(device, nullptr, kL), CV_HID_BAD_ARGUMENT);
  EXPECT_EQ(lib.writeOutputReport(device, report.data(), 0), CV_HID_BAD_ARGUMENT);
}

TEST_F(HidLibraryTest, ControlTransfersAndFlush) {
  CvHidDevice device = openBox();
  const std::vector<uint8_t> feature{0x03, 0xAA, 0xBB};
  EXPECT_EQ(lib.setFeatureReport(device, feature.data(), 3), CV_HID_OK);
  EXPECT_EQ(stack->writes.back().bytes, feature);
  stack->controlResult = -1;
  EXPECT_EQ(lib.setFeatureReport(device, feature.data(), 3), CV_HID_IO_ERROR);
  stack->controlResult.reset();

  // What is received lands at the front; the rest of the buffer is zeroed.
  stack->controlReply = {0x03, 0x11};
  std::vector<uint8_t> buffer(4, kCanary);
  ASSERT_EQ(lib.getFeatureReport(device, buffer.data(), 4), CV_HID_OK);
  EXPECT_EQ(buffer, (std::vector<uint8_t>{0x03, 0x11, 0, 0}));
  ASSERT_EQ(lib.getInputReportControl(device, buffer.data(), 4), CV_HID_OK);
  stack->controlResult = 5;  // more than the buffer holds
  EXPECT_EQ(lib.getInputReportControl(device, buffer.data(), 4), CV_HID_IO_ERROR);
  stack->controlResult.reset();

  EXPECT_EQ(lib.setOutputReportControl(device, feature.data(), 3), CV_HID_UNSUPPORTED);

  // Flushing drops what is queued and stops at the first empty look.
  queue(testing::report(inputReport(1)));
  queue(testing::report(inputReport(2)));
  queue(testing::report(inputReport(3)));
  stack->readWaits.clear();
  EXPECT_TRUE(lib.flush(device));
  EXPECT_EQ(stack->readWaits, (std::vector<int>{0, 0, 0, 0}));
  queue(testing::failing(ReadStep::kError));
  EXPECT_FALSE(lib.flush(device));
}

// --- Handles ---------------------------------------------------------------

TEST_F(HidLibraryTest, ClosedAndUnknownHandlesAreHarmless) {
  CvHidDevice device = openBox();
  EXPECT_TRUE(lib.isOpened(device));
  uint32_t in = 0, out = 0;
  lib.timeouts(device, &in, &out);
  EXPECT_EQ(in, 10u);
  EXPECT_EQ(out, 500u);

  EXPECT_EQ(lib.close(device), CV_HID_OK);
  EXPECT_EQ(stack->openPorts, 0);

  CvHidDevice unknown = reinterpret_cast<CvHidDevice>(0xDEAD);
  for (CvHidDevice handle : {device, unknown, static_cast<CvHidDevice>(nullptr)}) {
    SCOPED_TRACE(reinterpret_cast<uintptr_t>(handle));
    EXPECT_FALSE(lib.isOpened(handle));
    EXPECT_EQ(lib.close(handle), CV_HID_NOT_OPEN);
    char path[16] = "unchanged";
    EXPECT_EQ(lib.deviceString(handle, CV_HID_STRING_PATH, path, sizeof path), CV_HID_NOT_OPEN);
    EXPECT_STREQ(path, "");
    EXPECT_EQ(lib.outputReportLength(handle), 0);
    EXPECT_EQ(lib.inputReportLength(handle), 0);
    EXPECT_EQ(lib.maxReportRequest(handle), 0u);
    EXPECT_EQ(lib.nativeHandle(handle), 0);
    lib.setTimeouts(handle, 1, 2);
    lib.timeouts(handle, &in, &out);
    EXPECT_EQ(in, 0u);
    EXPECT_EQ(out, 0u);
    uint8_t report[kL] = {0x02};
    EXPECT_EQ(lib.writeOutputReport(handle, report, kL), CV_HID_NOT_OPEN);
    uint32_t returned = 99;
    EXPECT_EQ(lib.readInputReports(handle, report, kL, 1, &returned), CV_HID_NOT_OPEN);
    EXPECT_EQ(returned, 0u);
    EXPECT_FALSE(lib.flush(handle));
    EXPECT_FALSE(lib.cancel(handle));
  }

  // A device opened later never takes the old handle's value.
  CvHidDevice again = openAt(0);
  EXPECT_NE(again, device);
  EXPECT_FALSE(lib.isOpened(device));
}

TEST_F(HidLibraryTest, DestroyingTheLibraryClosesWhatIsOpen) {
  auto local = std::make_unique<HidLibrary>(std::make_unique<FakeBackend>(stack));
  attach("/dev/hidraw0");
  CvHidDevice device = nullptr;
  ASSERT_EQ(local->open(&device, 0, kVid, kPid, 512), CV_HID_OK);
  EXPECT_EQ(stack->openPorts, 1);
  local.reset();
  EXPECT_EQ(stack->openPorts, 0);
}

// The program's pattern: one thread reads and writes while another asks for
// the path and finally closes the device.
TEST_F(HidLibraryTest, CloseWhileAnotherThreadTransfers) {
  CvHidDevice device = openBox();
  std::atomic<bool> stopped{false};
  std::thread link([&] {
    std::vector<uint8_t> buffer(HidLibrary::kMaxReportRequest * kL);
    std::vector<uint8_t> report(kL, 0);
    report[0] = 0x02;
    while (true) {
      uint32_t returned = 0;
      const CvHidStatus read = lib.readInputReports(device, buffer.data(), buffer.size(),
                                                    HidLibrary::kMaxReportRequest, &returned);
      const CvHidStatus written = lib.writeOutputReport(device, report.data(), kL);
      if (read == CV_HID_NOT_OPEN || written == CV_HID_NOT_OPEN) break;
      EXPECT_EQ(read, CV_HID_TIMED_OUT);
      EXPECT_EQ(written, CV_HID_OK);
    }
    stopped = true;
  });

  char path[260];
  for (int i = 0; i < 200; ++i) {
    EXPECT_EQ(lib.deviceString(device, CV_HID_STRING_PATH, path, sizeof path), CV_HID_OK);
    EXPECT_STREQ(path, "/dev/hidraw0");
    EXPECT_NE(lib.outputReportLength(device), 0);
  }
  EXPECT_EQ(lib.close(device), CV_HID_OK);
  link.join();
  EXPECT_TRUE(stopped);
  EXPECT_EQ(stack->openPorts, 0);
}

}  // namespace
}  // namespace corvane::hidlib
