// The simulated USB bus: program boxes that can be plugged in and out, open
// handles with their input report queues, the pacing of a full-speed interrupt
// endpoint, and a notifier thread that tells a listener about arrivals and
// removals. Every public member is thread-safe; one mutex guards all state.
//
// Threads: the bus starts one thread of its own, the notifier, the first time
// it has something to deliver or to do later (a box returning after its
// firmware update, a box leaving once its 'P' was read). The listener is called
// only on that thread and never while the bus holds its lock; the destructor
// stops and joins it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "hidlib/hid_device.h"
#include "sim/sim_box.h"

namespace corvane::sim {

// Bus-side counters of one box (the device's own are in BoxCounters).
struct BusCounters {
  std::uint64_t inputReportsQueued = 0;   // input reports the box sent
  std::uint64_t inputReportsRead = 0;     // input reports handed to a reader
  std::uint64_t inputReportsDropped = 0;  // lost to a full input buffer or a flush
  std::uint64_t openHandles = 0;          // handles open on the box now
};

class Bus {
 public:
  using PlugListener = void (*)(int arrived, const char* path, void* context);

  static constexpr std::uint32_t kMaxBoxes = 16;
  static constexpr std::uint32_t kMaxReportRequest = 32;
  static constexpr std::uint32_t kDefaultInputTimeoutMs = 10;
  static constexpr std::uint32_t kDefaultOutputTimeoutMs = 500;

  Bus();
  ~Bus();
  Bus(const Bus&) = delete;
  Bus& operator=(const Bus&) = delete;

  // Library side. Handles are non-zero numbers that are never reused.
  std::uint32_t deviceCount(std::uint16_t vendorId, std::uint16_t productId);
  CvHidStatus deviceString(std::uint32_t index, std::uint16_t vendorId, std::uint16_t productId, int kind,
                           std::string& out);
  CvHidStatus open(std::uint32_t index, std::uint16_t vendorId, std::uint16_t productId,
                   std::uint32_t inputBuffers, std::uint64_t& handle);
  CvHidStatus close(std::uint64_t handle);
  bool isOpen(std::uint64_t handle);
  CvHidStatus handleString(std::uint64_t handle, int kind, std::string& out);
  // Writes one output report; takes one report interval.
  CvHidStatus write(std::uint64_t handle, const std::uint8_t* report, std::size_t size);
  // Waits until `count` input reports are there or the input time-out passed;
  // CV_HID_OK with all of them, CV_HID_TIMED_OUT with fewer (bytes is a multiple
  // of the report length).
  CvHidStatus read(std::uint64_t handle, std::uint8_t* buffer, std::size_t size, std::uint32_t count,
                   std::uint32_t& bytes);
  bool flush(std::uint64_t handle);
  bool cancel(std::uint64_t handle);  // ends a waiting read now
  bool timeouts(std::uint64_t handle, std::uint32_t& inputMs, std::uint32_t& outputMs);
  bool setTimeouts(std::uint64_t handle, std::uint32_t inputMs, std::uint32_t outputMs);

  // Control side.
  void reset();
  void setReportInterval(std::chrono::microseconds interval);
  // Reply frames go out in reports of at most maxBytes data bytes; with
  // `varied`, every second frame's first report carries half of that.
  bool setReportSplit(std::uint32_t maxBytes, bool varied);
  bool setBoxCount(std::uint32_t count);
  std::uint32_t boxCount();
  bool boxPath(std::uint32_t box, std::string& out);
  void setBoxRestartTimes(std::chrono::milliseconds leaveDelay, std::chrono::milliseconds returnDelay);
  // A box whose 'P' nobody reads leaves this long after sending it anyway.
  void setBoxLeaveFallback(std::chrono::milliseconds fallback);
  bool unplug(std::uint32_t box);
  bool plugIn(std::uint32_t box);
  bool setStall(std::uint32_t box, bool stalled);
  bool counters(std::uint32_t box, BoxCounters& device, BusCounters& bus);

  // Runs f(SimBox&) under the lock; false when there is no such box.
  template <class F>
  bool withBox(std::uint32_t box, F&& f) {
    std::lock_guard lock(mutex_);
    if (box >= boxes_.size() || !boxes_[box]->exists) return false;
    f(boxes_[box]->box);
    return true;
  }

  // Sets the listener for arrivals and removals. When it returns, the previous
  // listener is not running and will not be called again (unless this is
  // called from the listener itself).
  void setPlugListener(PlugListener listener, void* context);
  // Waits until every arrival and removal so far has been delivered.
  bool waitForNotifications(std::chrono::milliseconds timeout);

 private:
  struct InputReport {
    Clock::time_point ready;
    std::array<std::uint8_t, kReportLength> bytes{};
    bool leaveTrigger = false;  // reading it lets the box leave
  };

  struct BoxSlot;

  struct Handle {
    std::uint64_t id = 0;
    BoxSlot* slot = nullptr;
    std::uint64_t generation = 0;  // the plug-in of the box it was opened on
    std::uint32_t inputTimeoutMs = kDefaultInputTimeoutMs;
    std::uint32_t outputTimeoutMs = kDefaultOutputTimeoutMs;
    std::size_t capacity = 512;
    std::deque<InputReport> queue;
    std::uint64_t cancels = 0;
    bool closed = false;
  };

  struct BoxSlot {
    std::uint32_t index = 0;
    std::string path;
    SimBox box;
    bool exists = false;
    bool attached = false;
    std::uint64_t generation = 0;
    Clock::time_point nextWriteFree{};
    Clock::time_point lastReady{};
    std::uint64_t frameCount = 0;
    bool leavePending = false;
    std::uint64_t leaveToken = 0;
    std::uint64_t returnToken = 0;
    BusCounters counters;
    std::vector<Handle*> handles;  // open handles on this box
  };

  struct Event {
    enum class Kind { Leave, Return };
    Clock::time_point at;
    Kind kind;
    std::uint32_t box;
    std::uint64_t token;
  };

  struct Notification {
    bool arrived;
    std::string path;
  };

  using Lock = std::unique_lock<std::mutex>;

  std::shared_ptr<Handle> findHandle(std::uint64_t id);
  bool live(const Handle& h) const;
  BoxSlot* attachedAt(std::uint32_t index);
  void restoreDefaults();
  void createBox(std::uint32_t index);
  void attach(BoxSlot& slot);
  void detach(BoxSlot& slot);
  void enqueue(BoxSlot& slot, const OutFrame& frame, Clock::time_point earliest);
  void discard(BoxSlot& slot, const InputReport& report);
  void scheduleLeave(BoxSlot& slot);
  void schedule(Event event);
  void notify(bool arrived, const std::string& path);
  void ensureNotifier();
  void notifierLoop();
  void runEvent(const Event& event);

  std::mutex mutex_;
  std::condition_variable inputCv_;     // input arrived, handle closed, box left, read cancelled
  std::condition_variable notifierCv_;  // work for the notifier, or a delivery finished

  std::vector<std::unique_ptr<BoxSlot>> boxes_;
  std::map<std::uint64_t, std::shared_ptr<Handle>> handles_;
  std::uint64_t nextHandle_ = 1;

  std::chrono::microseconds interval_{1000};
  std::uint32_t maxReportBytes_ = kMaxOutputData;
  bool variedSplit_ = true;
  std::chrono::milliseconds leaveDelay_{100};
  std::chrono::milliseconds returnDelay_{1500};
  std::chrono::milliseconds leaveFallback_{1000};

  std::vector<Event> events_;
  std::deque<Notification> notifications_;
  PlugListener listener_ = nullptr;
  void* listenerContext_ = nullptr;
  bool delivering_ = false;
  bool stopping_ = false;
  std::thread notifier_;
  std::thread::id notifierId_;
};

}  // namespace corvane::sim
