// The simulated bus: enumeration, handles, input report queues, splitting,
// unplugging and returning, and use from several threads. Pacing is off.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "sim/sim_bus.h"
#include "sim_test_util.h"

namespace corvane::sim {
namespace {

using testing::Bytes;
using testing::fixed;
using testing::headerCommand;
using testing::outputReport;
using testing::PlugRecorder;
using testing::withChecksum;

struct Report {
  std::uint8_t channel;
  Bytes data;
};

using Event = PlugRecorder::Event;

class BusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    bus.setReportInterval(std::chrono::microseconds(0));
    bus.setBoxRestartTimes(std::chrono::milliseconds(0), std::chrono::milliseconds(0));
  }

  // When this returns the recorder is no longer called.
  void TearDown() override { bus.setPlugListener(nullptr, nullptr); }

  void listen() { bus.setPlugListener(&PlugRecorder::listener, &recorder); }

  std::uint64_t open(std::uint32_t index = 0, std::uint32_t buffers = 512) {
    std::uint64_t h = 0;
    EXPECT_EQ(bus.open(index, kVendorId, kProductId, buffers, h), CV_HID_OK);
    bus.setTimeouts(h, 0, 500);  // reads return at once with what is there
    return h;
  }

  CvHidStatus write(std::uint64_t h, std::uint8_t channel, const Bytes& data) {
    const Bytes r = outputReport(channel, data);
    return bus.write(h, r.data(), r.size());
  }

  void writeDataPhase(std::uint64_t h, std::uint8_t channel, const Bytes& bytes) {
    for (std::uint8_t b : bytes)
      ASSERT_EQ(write(h, channel, {b}), CV_HID_OK);
  }

  // Every report readable now.
  std::vector<Report> readAll(std::uint64_t h) {
    std::vector<Report> out;
    Bytes buffer(Bus::kMaxReportRequest * kReportLength);
    for (;;) {
      std::uint32_t bytes = 0;
      const auto status = bus.read(h, buffer.data(), buffer.size(), Bus::kMaxReportRequest, bytes);
      EXPECT_TRUE(status == CV_HID_OK || status == CV_HID_TIMED_OUT) << int{status};
      EXPECT_EQ(bytes % kReportLength, 0u);
      for (std::size_t off = 0; off < bytes; off += kReportLength) {
        const std::uint8_t* r = &buffer[off];
        EXPECT_EQ(r[0], kInputReportId);
        out.push_back(Report{r[1], Bytes(r + 3, r + 3 + r[2])});
      }
      if (status != CV_HID_OK) return out;
    }
  }

  static Bytes stream(const std::vector<Report>& reports, std::uint8_t channel) {
    Bytes s;
    for (const auto& r : reports)
      if (r.channel == channel) s.insert(s.end(), r.data.begin(), r.data.end());
    return s;
  }

  PlugRecorder recorder;
  Bus bus;
};

TEST_F(BusTest, EnumeratesAndOpensBoxesByIndex) {
  EXPECT_EQ(bus.deviceCount(kVendorId, kProductId), 1u);
  ASSERT_TRUE(bus.setBoxCount(3));
  EXPECT_EQ(bus.deviceCount(kVendorId, kProductId), 3u);
  EXPECT_EQ(bus.deviceCount(kVendorId, 0x1234), 0u);

  std::string path;
  EXPECT_EQ(bus.deviceString(1, kVendorId, kProductId, CV_HID_STRING_PATH, path), CV_HID_OK);
  EXPECT_EQ(path, "/dev/hidraw-sim1");
  EXPECT_EQ(bus.deviceString(3, kVendorId, kProductId, CV_HID_STRING_PATH, path), CV_HID_NO_DEVICE);
  std::uint64_t h = 0;
  EXPECT_EQ(bus.open(3, kVendorId, kProductId, 512, h), CV_HID_NO_DEVICE);
  EXPECT_EQ(bus.open(0, 0x1111, kProductId, 512, h), CV_HID_NO_DEVICE);

  // Indexes count the boxes plugged in.
  ASSERT_TRUE(bus.unplug(1));
  EXPECT_EQ(bus.deviceCount(kVendorId, kProductId), 2u);
  h = open(1);
  EXPECT_EQ(bus.handleString(h, CV_HID_STRING_PATH, path), CV_HID_OK);
  EXPECT_EQ(path, "/dev/hidraw-sim2");

  EXPECT_EQ(bus.close(h), CV_HID_OK);
  EXPECT_FALSE(bus.isOpen(h));
  EXPECT_EQ(bus.close(h), CV_HID_NOT_OPEN);
  EXPECT_EQ(write(h, kChannelBox, fixed(kIdentifyCommand)), CV_HID_NOT_OPEN);
}

TEST_F(BusTest, IdentifyRoundTripAndVariedSplitting) {
  const auto h = open();
  ASSERT_EQ(write(h, kChannelBox, fixed(kIdentifyCommand)), CV_HID_OK);
  auto reports = readAll(h);
  ASSERT_EQ(reports.size(), 1u);  // the first reply goes whole
  EXPECT_EQ(reports[0].channel, kChannelBox);
  EXPECT_EQ(reports[0].data, identifyReply(Identity::make("BOX01", 0, 0x0100, 0x10)));

  ASSERT_EQ(write(h, kChannelEsc, fixed(kIdentifyCommand)), CV_HID_OK);
  reports = readAll(h);
  ASSERT_EQ(reports.size(), 2u);  // the second comes as 12 + 12
  EXPECT_EQ(reports[0].data.size(), 12u);
  EXPECT_EQ(reports[1].data.size(), 12u);
  EXPECT_EQ(stream(reports, kChannelEsc), identifyReply(Identity::make("ESC12", 0, 0x0105, 0x10)));
}

TEST_F(BusTest, LongRepliesAreCutIntoReportsOfTheSetSize) {
  const auto h = open();
  const auto settings = factorySettings();
  Bytes data(settings.begin(), settings.end());
  const auto live = restingLiveBytes();
  data.insert(data.end(), live.begin(), live.end());

  ASSERT_TRUE(bus.setReportSplit(58, false));
  ASSERT_EQ(write(h, kChannelEsc, headerCommand('a', 0x5E00, 2485)), CV_HID_OK);
  auto reports = readAll(h);
  ASSERT_EQ(reports.size(), 43u);  // 2492 bytes
  for (std::size_t i = 0; i + 1 < reports.size(); ++i)
    EXPECT_EQ(reports[i].data.size(), 58u);
  EXPECT_EQ(stream(reports, kChannelEsc), readReply(0x5E00, data));

  ASSERT_TRUE(bus.setReportSplit(5, false));
  ASSERT_EQ(write(h, kChannelEsc, fixed(kIdentifyCommand)), CV_HID_OK);
  reports = readAll(h);
  ASSERT_EQ(reports.size(), 5u);
  EXPECT_EQ(reports.back().data.size(), 4u);
  EXPECT_FALSE(bus.setReportSplit(0, false));
  EXPECT_FALSE(bus.setReportSplit(63, false));
}

TEST_F(BusTest, ReadWaitsForTheCountOrReturnsWhatArrived) {
  const auto h = open();
  ASSERT_TRUE(bus.setReportSplit(5, false));
  Bytes buffer(32 * kReportLength);
  std::uint32_t bytes = 99;

  ASSERT_EQ(write(h, kChannelEsc, fixed(kIdentifyCommand)), CV_HID_OK);
  EXPECT_EQ(bus.read(h, buffer.data(), buffer.size(), 5, bytes), CV_HID_OK);
  EXPECT_EQ(bytes, 5 * kReportLength);

  ASSERT_EQ(write(h, kChannelEsc, fixed(kIdentifyCommand)), CV_HID_OK);
  EXPECT_EQ(bus.read(h, buffer.data(), buffer.size(), 32, bytes), CV_HID_TIMED_OUT);
  EXPECT_EQ(bytes, 5 * kReportLength);
  EXPECT_EQ(bus.read(h, buffer.data(), buffer.size(), 32, bytes), CV_HID_TIMED_OUT);
  EXPECT_EQ(bytes, 0u);

  BoxCounters device;
  BusCounters counts;
  ASSERT_TRUE(bus.counters(0, device, counts));
  EXPECT_EQ(counts.inputReportsQueued, 10u);
  EXPECT_EQ(counts.inputReportsRead, 10u);
  EXPECT_EQ(device.outputReports, 2u);
  EXPECT_EQ(counts.openHandles, 1u);
}

TEST_F(BusTest, BadArgumentsAreRefused) {
  const auto h = open();
  Bytes buffer(33 * kReportLength);
  std::uint32_t bytes = 0;
  EXPECT_EQ(bus.read(h, buffer.data(), buffer.size(), 0, bytes), CV_HID_BAD_ARGUMENT);
  EXPECT_EQ(bus.read(h, buffer.data(), buffer.size(), 33, bytes), CV_HID_BAD_ARGUMENT);
  EXPECT_EQ(bus.read(h, buffer.data(), 2 * kReportLength - 1, 2, bytes), CV_HID_BAD_ARGUMENT);
  EXPECT_EQ(bus.read(h, nullptr, buffer.size(), 1, bytes), CV_HID_BAD_ARGUMENT);
  EXPECT_EQ(bus.read(h + 1000, buffer.data(), buffer.size(), 1, bytes), CV_HID_NOT_OPEN);

  const Bytes r = outputReport(kChannelBox, fixed(kIdentifyCommand));
  EXPECT_EQ(bus.write(h, r.data(), 64), CV_HID_BAD_ARGUMENT);
  EXPECT_EQ(bus.write(h, nullptr, 65), CV_HID_BAD_ARGUMENT);
  std::string s;
  EXPECT_EQ(bus.handleString(h, 9, s), CV_HID_BAD_ARGUMENT);
}

TEST_F(BusTest, FullInputBufferKeepsTheNewestReportsAndFlushEmptiesIt) {
  ASSERT_TRUE(bus.setReportSplit(5, false));
  const auto h = open(0, 2);
  ASSERT_EQ(write(h, kChannelEsc, fixed(kIdentifyCommand)), CV_HID_OK);
  const auto reports = readAll(h);
  ASSERT_EQ(reports.size(), 2u);
  const Bytes reply = identifyReply(Identity::make("ESC12", 0, 0x0105, 0x10));
  EXPECT_EQ(stream(reports, kChannelEsc), Bytes(reply.begin() + 15, reply.end()));

  ASSERT_EQ(write(h, kChannelEsc, fixed(kIdentifyCommand)), CV_HID_OK);
  EXPECT_TRUE(bus.flush(h));
  EXPECT_TRUE(readAll(h).empty());
  BoxCounters device;
  BusCounters counts;
  ASSERT_TRUE(bus.counters(0, device, counts));
  EXPECT_EQ(counts.inputReportsDropped, 3u + 5u);
}

TEST_F(BusTest, UnpluggedBoxFailsIoKeepsItsPathAndComesBackAsNew) {
  listen();
  const auto h = open();
  ASSERT_EQ(write(h, kChannelBox, fixed(kIdentifyCommand)), CV_HID_OK);

  ASSERT_TRUE(bus.unplug(0));
  EXPECT_FALSE(bus.unplug(0));
  EXPECT_EQ(bus.deviceCount(kVendorId, kProductId), 0u);
  EXPECT_EQ(write(h, kChannelBox, fixed(kIdentifyCommand)), CV_HID_IO_ERROR);
  Bytes buffer(kReportLength);
  std::uint32_t bytes = 0;
  EXPECT_EQ(bus.read(h, buffer.data(), buffer.size(), 1, bytes), CV_HID_IO_ERROR);
  EXPECT_EQ(bytes, 0u);
  // The host still finds the path of its open handle to compare with the removal.
  EXPECT_TRUE(bus.isOpen(h));
  std::string path;
  EXPECT_EQ(bus.handleString(h, CV_HID_STRING_PATH, path), CV_HID_OK);
  EXPECT_EQ(path, "/dev/hidraw-sim0");

  ASSERT_TRUE(bus.plugIn(0));
  EXPECT_EQ(recorder.waitFor(2),
            (std::vector<Event>{{false, "/dev/hidraw-sim0"}, {true, "/dev/hidraw-sim0"}}));
  EXPECT_EQ(write(h, kChannelBox, fixed(kIdentifyCommand)), CV_HID_IO_ERROR);  // an old handle stays dead
  const auto fresh = open();
  ASSERT_EQ(write(fresh, kChannelBox, fixed(kIdentifyCommand)), CV_HID_OK);
  EXPECT_EQ(readAll(fresh).size(), 1u);
  EXPECT_EQ(bus.close(h), CV_HID_OK);
}

TEST_F(BusTest, ProgrammedBoxLeavesOnceItsReplyWasReadAndReturnsUpdated) {
  listen();
  ASSERT_TRUE(bus.withBox(0, [](SimBox& b) { b.boxVersionAfterProgram = 0x0200; }));
  bus.setBoxLeaveFallback(std::chrono::hours(1));
  const auto h = open();
  const Bytes body{0x10, 0x20, 0x30, 0x40, 0x50};
  ASSERT_EQ(write(h, kChannelBox, headerCommand('p', 0x2000, 5)), CV_HID_OK);
  EXPECT_EQ(stream(readAll(h), kChannelBox), headerFrame('Y', 0x2000, 5));
  writeDataPhase(h, kChannelBox, withChecksum(body, 1));
  // Still there until the host has its reply.
  EXPECT_EQ(bus.deviceCount(kVendorId, kProductId), 1u);
  EXPECT_TRUE(recorder.events().empty());
  EXPECT_EQ(stream(readAll(h), kChannelBox), headerFrame('P', 0x2000, 5));

  EXPECT_EQ(recorder.waitFor(2),
            (std::vector<Event>{{false, "/dev/hidraw-sim0"}, {true, "/dev/hidraw-sim0"}}));
  EXPECT_EQ(write(h, kChannelBox, fixed(kIdentifyCommand)), CV_HID_IO_ERROR);
  const auto fresh = open();
  ASSERT_EQ(write(fresh, kChannelBox, fixed(kIdentifyCommand)), CV_HID_OK);
  EXPECT_EQ(stream(readAll(fresh), kChannelBox), identifyReply(Identity::make("BOX01", 0, 0x0200, 0x10)));
  Bytes image;
  bus.withBox(0, [&](SimBox& b) { image = b.boxImage.bytes; });
  EXPECT_EQ(image, body);
}

TEST_F(BusTest, ProgrammedBoxLeavesEvenIfNobodyReadsItsReply) {
  listen();
  bus.setBoxLeaveFallback(std::chrono::milliseconds(0));
  const auto h = open();
  ASSERT_EQ(write(h, kChannelBox, headerCommand('p', 0x2000, 1)), CV_HID_OK);
  writeDataPhase(h, kChannelBox, withChecksum({0x77}, 1));
  EXPECT_EQ(recorder.waitFor(2),
            (std::vector<Event>{{false, "/dev/hidraw-sim0"}, {true, "/dev/hidraw-sim0"}}));
}

TEST_F(BusTest, UnplugFaultCutsADataPhaseShort) {
  listen();
  ASSERT_TRUE(bus.withBox(0, [](SimBox& b) { b.unplugAfterDataBytes = 5; }));
  const auto h = open();
  ASSERT_EQ(write(h, kChannelEsc, headerCommand('s', 0x5E00, 2477)), CV_HID_OK);
  writeDataPhase(h, kChannelEsc, Bytes(5, 0xAA));
  EXPECT_EQ(write(h, kChannelEsc, {0xAA}), CV_HID_IO_ERROR);
  EXPECT_EQ(recorder.waitFor(1), (std::vector<Event>{{false, "/dev/hidraw-sim0"}}));
  std::array<std::uint8_t, kSettingsSize> settings{};
  bus.withBox(0, [&](SimBox& b) { settings = b.escSettings; });
  EXPECT_EQ(settings, factorySettings());
}

TEST_F(BusTest, TimingTestArrivesInOrderOnTheEscChannel) {
  const auto h = open();
  bus.withBox(0, [](SimBox& b) { b.testDuration = std::chrono::milliseconds(0); });
  ASSERT_EQ(write(h, kChannelEsc, fixed(kTestCommand)), CV_HID_OK);
  const Bytes s = stream(readAll(h), kChannelEsc);
  ASSERT_EQ(s.size(), 5u * 8u);  // STA, three 'V', END
  EXPECT_EQ(Bytes(s.begin(), s.begin() + 5), (Bytes{'T', 0, 'S', 'T', 'A'}));
  for (int i = 1; i <= 3; ++i)
    EXPECT_EQ(s[8 * i], 'V');
  EXPECT_EQ(Bytes(s.end() - 8, s.end() - 3), (Bytes{'T', 25, 'E', 'N', 'D'}));
}

TEST_F(BusTest, StalledBoxSendsNothingMore) {
  const auto h = open();
  // A test run long enough that its end cannot be due before the stall.
  bus.withBox(0, [](SimBox& b) { b.testDuration = std::chrono::hours(1); });
  ASSERT_EQ(write(h, kChannelEsc, fixed(kTestCommand)), CV_HID_OK);
  ASSERT_TRUE(bus.setStall(0, true));
  ASSERT_EQ(write(h, kChannelBox, fixed(kIdentifyCommand)), CV_HID_OK);
  const auto reports = readAll(h);
  EXPECT_TRUE(stream(reports, kChannelBox).empty());
  const Bytes s = stream(reports, kChannelEsc);
  EXPECT_LE(s.size(), 8u);  // the start report at most

  ASSERT_TRUE(bus.setStall(0, false));
  ASSERT_EQ(write(h, kChannelBox, fixed(kIdentifyCommand)), CV_HID_OK);
  EXPECT_EQ(stream(readAll(h), kChannelBox).size(), 24u);
}

TEST_F(BusTest, ResetRestoresTheDefaultBox) {
  ASSERT_TRUE(bus.setBoxCount(2));
  const auto h = open();
  bus.withBox(0, [](SimBox& b) {
    b.escIdentity.firmwareVersion = 0x0999;
    b.escSettings[0] = 7;
  });
  ASSERT_TRUE(bus.setStall(0, true));
  bus.reset();
  bus.setReportInterval(std::chrono::microseconds(0));
  EXPECT_EQ(bus.boxCount(), 1u);
  EXPECT_TRUE(bus.isOpen(h));  // handles on box 0 stay usable
  ASSERT_EQ(write(h, kChannelEsc, fixed(kIdentifyCommand)), CV_HID_OK);
  EXPECT_EQ(stream(readAll(h), kChannelEsc), identifyReply(Identity::make("ESC12", 0, 0x0105, 0x10)));
  std::array<std::uint8_t, kSettingsSize> settings{};
  bus.withBox(0, [&](SimBox& b) { settings = b.escSettings; });
  EXPECT_EQ(settings, factorySettings());
}

// --- threads ---------------------------------------------------------------

TEST_F(BusTest, CloseWakesABlockedReader) {
  const auto h = open();
  bus.setTimeouts(h, 600000, 500);
  CvHidStatus status = CV_HID_OK;
  std::thread reader([&] {
    Bytes buffer(kReportLength);
    std::uint32_t bytes = 0;
    status = bus.read(h, buffer.data(), buffer.size(), 1, bytes);
  });
  EXPECT_EQ(bus.close(h), CV_HID_OK);
  reader.join();
  EXPECT_EQ(status, CV_HID_NOT_OPEN);
}

TEST_F(BusTest, UnplugWakesABlockedReader) {
  const auto h = open();
  bus.setTimeouts(h, 600000, 500);
  CvHidStatus status = CV_HID_OK;
  std::thread reader([&] {
    Bytes buffer(kReportLength);
    std::uint32_t bytes = 0;
    status = bus.read(h, buffer.data(), buffer.size(), 1, bytes);
  });
  EXPECT_TRUE(bus.unplug(0));
  reader.join();
  EXPECT_EQ(status, CV_HID_IO_ERROR);
}

TEST_F(BusTest, ListenerMayCallBackIntoTheBus) {
  struct Context {
    Bus* bus;
    std::mutex mutex;
    std::condition_variable cv;
    std::vector<std::uint32_t> counts;
  } context{&bus, {}, {}, {}};
  bus.setPlugListener(
      [](int, const char*, void* p) {
        auto* c = static_cast<Context*>(p);
        const auto n = c->bus->deviceCount(kVendorId, kProductId);
        c->bus->waitForNotifications(std::chrono::milliseconds(0));  // must not wait on itself
        std::lock_guard lock(c->mutex);
        c->counts.push_back(n);
        c->cv.notify_all();
      },
      &context);
  ASSERT_TRUE(bus.unplug(0));
  ASSERT_TRUE(bus.plugIn(0));
  EXPECT_TRUE(bus.waitForNotifications(std::chrono::seconds(30)));
  bus.setPlugListener(nullptr, nullptr);
  EXPECT_EQ(context.counts.size(), 2u);
}

TEST_F(BusTest, ClearingTheListenerWaitsForACallUnderWay) {
  struct Context {
    std::mutex mutex;
    std::condition_variable cv;
    bool entered = false;
    bool go = false;
    bool finished = false;
  } context;
  bus.setPlugListener(
      [](int, const char*, void* p) {
        auto* c = static_cast<Context*>(p);
        std::unique_lock lock(c->mutex);
        c->entered = true;
        c->cv.notify_all();
        c->cv.wait(lock, [&] { return c->go; });
        c->finished = true;
      },
      &context);
  ASSERT_TRUE(bus.unplug(0));
  {
    std::unique_lock lock(context.mutex);
    context.cv.wait(lock, [&] { return context.entered; });
  }
  bool finishedWhenCleared = false;
  std::thread clearer([&] {
    bus.setPlugListener(nullptr, nullptr);
    std::lock_guard lock(context.mutex);
    finishedWhenCleared = context.finished;
  });
  {
    std::lock_guard lock(context.mutex);
    context.go = true;
    context.cv.notify_all();
  }
  clearer.join();
  EXPECT_TRUE(finishedWhenCleared);
}

TEST_F(BusTest, CancelEndsAWaitingRead) {
  const auto h = open();
  bus.setTimeouts(h, 600000, 500);
  std::atomic<bool> done{false};
  CvHidStatus status = CV_HID_OK;
  std::thread reader([&] {
    Bytes buffer(kReportLength);
    std::uint32_t bytes = 0;
    status = bus.read(h, buffer.data(), buffer.size(), 1, bytes);
    done = true;
  });
  // The read may not have started waiting yet; cancel until it returns.
  while (!done) {
    bus.cancel(h);
    std::this_thread::yield();
  }
  reader.join();
  EXPECT_EQ(status, CV_HID_TIMED_OUT);
}

TEST_F(BusTest, ReaderWriterAndQueriesOnSeveralThreads) {
  constexpr int kRounds = 200;
  const auto h = open();
  bus.setTimeouts(h, 10, 500);
  std::atomic<bool> stop{false};
  std::size_t received = 0;
  std::thread reader([&] {
    Bytes buffer(Bus::kMaxReportRequest * kReportLength);
    while (received < kRounds * 24u && !stop) {
      std::uint32_t bytes = 0;
      bus.read(h, buffer.data(), buffer.size(), Bus::kMaxReportRequest, bytes);
      for (std::size_t off = 0; off < bytes; off += kReportLength)
        received += buffer[off + 2];
    }
  });
  std::thread queries([&] {
    while (!stop) {
      std::string path;
      bus.handleString(h, CV_HID_STRING_PATH, path);
      bus.deviceCount(kVendorId, kProductId);
      bus.withBox(0, [](SimBox& b) { b.escLive[7] ^= 1; });
    }
  });
  bool written = true;
  for (int i = 0; i < kRounds && written; ++i)
    written = write(h, kChannelEsc, fixed(kIdentifyCommand)) == CV_HID_OK;
  if (!written) stop = true;
  // The reader stops once it has every reply byte.
  reader.join();
  stop = true;
  queries.join();
  EXPECT_TRUE(written);
  EXPECT_EQ(received, kRounds * 24u);
}

}  // namespace
}  // namespace corvane::sim
