#include "sim/sim_bus.h"

#include <algorithm>
#include <cstring>

namespace corvane::sim {

namespace {

constexpr std::size_t kMinInputBuffers = 2;
constexpr std::size_t kMaxInputBuffers = 512;

}  // namespace

Bus::Bus() {
  restoreDefaults();
}

Bus::~Bus() {
  std::thread notifier;
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    notifier = std::move(notifier_);
  }
  notifierCv_.notify_all();
  inputCv_.notify_all();
  if (notifier.joinable()) notifier.join();
}

// ---------------------------------------------------------------------------
// Boxes

void Bus::createBox(std::uint32_t index) {
  while (boxes_.size() <= index) {
    auto slot = std::make_unique<BoxSlot>();
    slot->index = static_cast<std::uint32_t>(boxes_.size());
    slot->path = "/dev/hidraw-sim" + std::to_string(slot->index);
    boxes_.push_back(std::move(slot));
  }
  BoxSlot& slot = *boxes_[index];
  slot.box = SimBox();
  slot.counters = {};
  slot.exists = true;
}

void Bus::attach(BoxSlot& slot) {
  slot.attached = true;
  ++slot.generation;
  slot.nextWriteFree = {};
  slot.lastReady = {};
  slot.frameCount = 0;
  slot.leavePending = false;
  ++slot.returnToken;  // a return still scheduled is no longer wanted
  notify(true, slot.path);
}

void Bus::detach(BoxSlot& slot) {
  slot.attached = false;
  ++slot.generation;  // handles opened before are dead from now on
  for (Handle* h : slot.handles)
    h->queue.clear();
  slot.box.powerCycle();
  slot.leavePending = false;
  ++slot.leaveToken;
  inputCv_.notify_all();
  notify(false, slot.path);
}

Bus::BoxSlot* Bus::attachedAt(std::uint32_t index) {
  for (auto& slot : boxes_) {
    if (!slot->exists || !slot->attached) continue;
    if (index == 0) return slot.get();
    --index;
  }
  return nullptr;
}

void Bus::restoreDefaults() {
  interval_ = std::chrono::microseconds{1000};
  maxReportBytes_ = kMaxOutputData;
  variedSplit_ = true;
  leaveDelay_ = std::chrono::milliseconds{100};
  returnDelay_ = std::chrono::milliseconds{1500};
  leaveFallback_ = std::chrono::milliseconds{1000};
  events_.clear();

  for (std::size_t i = 1; i < boxes_.size(); ++i) {
    BoxSlot& slot = *boxes_[i];
    if (slot.attached) detach(slot);
    slot.exists = false;
  }
  const bool fresh = boxes_.empty() || !boxes_[0]->exists;
  createBox(0);
  BoxSlot& slot = *boxes_[0];
  for (Handle* h : slot.handles)
    h->queue.clear();
  slot.lastReady = {};
  slot.nextWriteFree = {};
  slot.frameCount = 0;
  slot.leavePending = false;
  ++slot.leaveToken;
  if (fresh || !slot.attached) attach(slot);
  inputCv_.notify_all();
}

void Bus::reset() {
  std::lock_guard lock(mutex_);
  restoreDefaults();
}

bool Bus::setBoxCount(std::uint32_t count) {
  std::lock_guard lock(mutex_);
  if (count > kMaxBoxes) return false;
  for (std::uint32_t i = count; i < boxes_.size(); ++i) {
    BoxSlot& slot = *boxes_[i];
    if (slot.attached) detach(slot);
    slot.exists = false;
  }
  for (std::uint32_t i = 0; i < count; ++i) {
    if (i < boxes_.size() && boxes_[i]->exists) continue;
    createBox(i);
    attach(*boxes_[i]);
  }
  return true;
}

std::uint32_t Bus::boxCount() {
  std::lock_guard lock(mutex_);
  return static_cast<std::uint32_t>(
      std::count_if(boxes_.begin(), boxes_.end(), [](const auto& s) { return s->exists; }));
}

bool Bus::boxPath(std::uint32_t box, std::string& out) {
  std::lock_guard lock(mutex_);
  if (box >= boxes_.size() || !boxes_[box]->exists) return false;
  out = boxes_[box]->path;
  return true;
}

bool Bus::unplug(std::uint32_t box) {
  std::lock_guard lock(mutex_);
  if (box >= boxes_.size() || !boxes_[box]->exists || !boxes_[box]->attached) return false;
  detach(*boxes_[box]);
  return true;
}

bool Bus::plugIn(std::uint32_t box) {
  std::lock_guard lock(mutex_);
  if (box >= boxes_.size() || !boxes_[box]->exists || boxes_[box]->attached) return false;
  attach(*boxes_[box]);
  return true;
}

bool Bus::setStall(std::uint32_t box, bool stalled) {
  std::lock_guard lock(mutex_);
  if (box >= boxes_.size() || !boxes_[box]->exists) return false;
  BoxSlot& slot = *boxes_[box];
  slot.box.setStalled(stalled);
  if (stalled) {
    // A stalled box stops sending: what it had not sent yet is gone.
    const auto now = Clock::now();
    for (Handle* h : slot.handles) {
      auto& q = h->queue;
      q.erase(std::find_if(q.begin(), q.end(), [&](const InputReport& r) { return r.ready > now; }), q.end());
    }
    slot.lastReady = std::min(slot.lastReady, now);
  }
  return true;
}

bool Bus::counters(std::uint32_t box, BoxCounters& device, BusCounters& bus) {
  std::lock_guard lock(mutex_);
  if (box >= boxes_.size() || !boxes_[box]->exists) return false;
  device = boxes_[box]->box.counters;
  bus = boxes_[box]->counters;
  bus.openHandles = boxes_[box]->handles.size();
  return true;
}

void Bus::setReportInterval(std::chrono::microseconds interval) {
  std::lock_guard lock(mutex_);
  interval_ = std::max(interval, std::chrono::microseconds{0});
}

bool Bus::setReportSplit(std::uint32_t maxBytes, bool varied) {
  if (maxBytes < 1 || maxBytes > kMaxInputData) return false;
  std::lock_guard lock(mutex_);
  maxReportBytes_ = maxBytes;
  variedSplit_ = varied;
  return true;
}

void Bus::setBoxRestartTimes(std::chrono::milliseconds leaveDelay, std::chrono::milliseconds returnDelay) {
  std::lock_guard lock(mutex_);
  leaveDelay_ = leaveDelay;
  returnDelay_ = returnDelay;
}

void Bus::setBoxLeaveFallback(std::chrono::milliseconds fallback) {
  std::lock_guard lock(mutex_);
  leaveFallback_ = fallback;
}

// ---------------------------------------------------------------------------
// Enumeration and handles

namespace {

bool stringOf(const std::string& path, std::uint32_t index, int kind, std::string& out) {
  switch (kind) {
    case CV_HID_STRING_VENDOR:
      out = "Corvane";
      return true;
    case CV_HID_STRING_PRODUCT:
      out = "Program Box (simulated)";
      return true;
    case CV_HID_STRING_PATH:
      out = path;
      return true;
    case CV_HID_STRING_SERIAL:
      out = "SIM" + std::to_string(1000 + index);
      return true;
    default:
      return false;
  }
}

}  // namespace

std::uint32_t Bus::deviceCount(std::uint16_t vendorId, std::uint16_t productId) {
  if (vendorId != kVendorId || productId != kProductId) return 0;
  std::lock_guard lock(mutex_);
  return static_cast<std::uint32_t>(
      std::count_if(boxes_.begin(), boxes_.end(), [](const auto& s) { return s->exists && s->attached; }));
}

CvHidStatus Bus::deviceString(std::uint32_t index, std::uint16_t vendorId, std::uint16_t productId, int kind,
                              std::string& out) {
  if (vendorId != kVendorId || productId != kProductId) return CV_HID_NO_DEVICE;
  std::lock_guard lock(mutex_);
  const BoxSlot* slot = attachedAt(index);
  if (slot == nullptr) return CV_HID_NO_DEVICE;
  return stringOf(slot->path, slot->index, kind, out) ? CV_HID_OK : CV_HID_BAD_ARGUMENT;
}

CvHidStatus Bus::open(std::uint32_t index, std::uint16_t vendorId, std::uint16_t productId,
                      std::uint32_t inputBuffers, std::uint64_t& handle) {
  handle = 0;
  if (vendorId != kVendorId || productId != kProductId) return CV_HID_NO_DEVICE;
  std::lock_guard lock(mutex_);
  BoxSlot* slot = attachedAt(index);
  if (slot == nullptr) return CV_HID_NO_DEVICE;
  auto h = std::make_shared<Handle>();
  h->id = nextHandle_++;
  h->slot = slot;
  h->generation = slot->generation;
  h->capacity = std::clamp<std::size_t>(inputBuffers, kMinInputBuffers, kMaxInputBuffers);
  handles_[h->id] = h;
  slot->handles.push_back(h.get());
  handle = h->id;
  return CV_HID_OK;
}

std::shared_ptr<Bus::Handle> Bus::findHandle(std::uint64_t id) {
  const auto it = handles_.find(id);
  return it == handles_.end() ? nullptr : it->second;
}

bool Bus::live(const Handle& h) const {
  return !h.closed && h.slot->attached && h.slot->generation == h.generation;
}

CvHidStatus Bus::close(std::uint64_t id) {
  std::lock_guard lock(mutex_);
  const auto h = findHandle(id);
  if (!h) return CV_HID_NOT_OPEN;
  h->closed = true;
  handles_.erase(id);
  auto& list = h->slot->handles;
  list.erase(std::remove(list.begin(), list.end(), h.get()), list.end());
  for (const InputReport& r : h->queue)
    discard(*h->slot, r);
  h->queue.clear();
  inputCv_.notify_all();
  return CV_HID_OK;
}

bool Bus::isOpen(std::uint64_t id) {
  std::lock_guard lock(mutex_);
  return findHandle(id) != nullptr;
}

CvHidStatus Bus::handleString(std::uint64_t id, int kind, std::string& out) {
  std::lock_guard lock(mutex_);
  const auto h = findHandle(id);
  if (!h) return CV_HID_NOT_OPEN;
  // Works after the box left too: the host compares the path with the removed device's.
  return stringOf(h->slot->path, h->slot->index, kind, out) ? CV_HID_OK : CV_HID_BAD_ARGUMENT;
}

bool Bus::timeouts(std::uint64_t id, std::uint32_t& inputMs, std::uint32_t& outputMs) {
  std::lock_guard lock(mutex_);
  const auto h = findHandle(id);
  if (!h) return false;
  inputMs = h->inputTimeoutMs;
  outputMs = h->outputTimeoutMs;
  return true;
}

bool Bus::setTimeouts(std::uint64_t id, std::uint32_t inputMs, std::uint32_t outputMs) {
  std::lock_guard lock(mutex_);
  const auto h = findHandle(id);
  if (!h) return false;
  h->inputTimeoutMs = inputMs;
  h->outputTimeoutMs = outputMs;
  return true;
}

// ---------------------------------------------------------------------------
// Reports

CvHidStatus Bus::write(std::uint64_t id, const std::uint8_t* report, std::size_t size) {
  Lock lock(mutex_);
  const auto h = findHandle(id);
  if (!h) return CV_HID_NOT_OPEN;
  if (report == nullptr || size != kReportLength) return CV_HID_BAD_ARGUMENT;
  if (!live(*h)) return CV_HID_IO_ERROR;
  BoxSlot& slot = *h->slot;

  // One report per interval: the write takes the next slot of the endpoint. A
  // write that comes a little late still keeps the endpoint's rhythm.
  const auto now = Clock::now();
  const auto start = now - slot.nextWriteFree < interval_ ? slot.nextWriteFree : now;
  const auto end = start + interval_;
  slot.nextWriteFree = end;

  SimBox::Result result;
  slot.box.takeReport(report, size, start, result);
  for (const OutFrame& frame : result.frames)
    enqueue(slot, frame, end);
  if (result.unplug) detach(slot);
  lock.unlock();

  if (end > now) std::this_thread::sleep_until(end);
  return CV_HID_OK;
}

void Bus::enqueue(BoxSlot& slot, const OutFrame& frame, Clock::time_point earliest) {
  std::vector<Handle*> targets;
  for (Handle* h : slot.handles)
    if (live(*h)) targets.push_back(h);

  if (frame.leaveAfterRead) {
    slot.leavePending = true;
    ++slot.leaveToken;
  }
  const std::size_t size = frame.bytes.size();
  const bool half = variedSplit_ && size > 0 && slot.frameCount++ % 2 == 1;
  auto t = std::max(earliest + frame.delay, slot.lastReady);
  for (std::size_t pos = 0; pos < size;) {
    std::size_t n = std::min<std::size_t>(maxReportBytes_, size - pos);
    if (half && pos == 0) n = std::max<std::size_t>(1, n / 2);
    InputReport r;
    t += interval_;
    r.ready = t;
    r.bytes[0] = kInputReportId;
    r.bytes[1] = frame.channel;
    r.bytes[2] = static_cast<std::uint8_t>(n);
    std::memcpy(&r.bytes[3], frame.bytes.data() + pos, n);
    pos += n;
    r.leaveTrigger = frame.leaveAfterRead && pos == size;
    for (Handle* h : targets)
      h->queue.push_back(r);
    ++slot.counters.inputReportsQueued;
  }
  slot.lastReady = t;

  if (frame.leaveAfterRead) {
    if (targets.empty() || size == 0) {
      scheduleLeave(slot);  // nobody will read it
    } else {
      schedule(Event{t + leaveFallback_, Event::Kind::Leave, slot.index, slot.leaveToken});
    }
  }
  inputCv_.notify_all();
}

void Bus::discard(BoxSlot& slot, const InputReport& report) {
  ++slot.counters.inputReportsDropped;
  if (report.leaveTrigger) scheduleLeave(slot);
}

CvHidStatus Bus::read(std::uint64_t id, std::uint8_t* buffer, std::size_t size, std::uint32_t count,
                      std::uint32_t& bytes) {
  bytes = 0;
  Lock lock(mutex_);
  const auto h = findHandle(id);
  if (!h) return CV_HID_NOT_OPEN;
  if (buffer == nullptr || count == 0 || count > kMaxReportRequest ||
      size < std::size_t{count} * kReportLength)
    return CV_HID_BAD_ARGUMENT;

  const auto deadline = Clock::now() + std::chrono::milliseconds(h->inputTimeoutMs);
  const std::uint64_t cancels = h->cancels;
  for (;;) {
    if (h->closed) return CV_HID_NOT_OPEN;
    if (!live(*h)) return CV_HID_IO_ERROR;
    auto& q = h->queue;
    const auto now = Clock::now();
    std::size_t ready = 0;
    while (ready < q.size() && q[ready].ready <= now)
      ++ready;
    // The input buffer holds so many reports; older ones are lost.
    for (; ready > h->capacity; --ready) {
      discard(*h->slot, q.front());
      q.pop_front();
    }
    // Like a real read: it waits for the first report, then takes what has
    // arrived by then.
    if (ready > 0 || now >= deadline || h->cancels != cancels || stopping_) {
      const std::size_t n = std::min<std::size_t>(ready, count);
      for (std::size_t i = 0; i < n; ++i) {
        std::memcpy(buffer + i * kReportLength, q.front().bytes.data(), kReportLength);
        if (q.front().leaveTrigger) scheduleLeave(*h->slot);
        q.pop_front();
      }
      h->slot->counters.inputReportsRead += n;
      bytes = static_cast<std::uint32_t>(n * kReportLength);
      return n == count ? CV_HID_OK : CV_HID_TIMED_OUT;
    }
    auto wake = deadline;
    if (ready < q.size()) wake = std::min(wake, q[ready].ready);
    inputCv_.wait_until(lock, wake);
  }
}

bool Bus::flush(std::uint64_t id) {
  std::lock_guard lock(mutex_);
  const auto h = findHandle(id);
  if (!h) return false;
  const auto now = Clock::now();
  auto& q = h->queue;
  while (!q.empty() && q.front().ready <= now) {
    discard(*h->slot, q.front());
    q.pop_front();
  }
  return true;
}

bool Bus::cancel(std::uint64_t id) {
  std::lock_guard lock(mutex_);
  const auto h = findHandle(id);
  if (!h) return false;
  ++h->cancels;
  inputCv_.notify_all();
  return true;
}

// ---------------------------------------------------------------------------
// Notifier thread: scheduled departures and returns, listener calls

void Bus::scheduleLeave(BoxSlot& slot) {
  if (!slot.leavePending) return;
  slot.leavePending = false;
  schedule(Event{Clock::now() + leaveDelay_, Event::Kind::Leave, slot.index, slot.leaveToken});
}

void Bus::schedule(Event event) {
  events_.push_back(event);
  ensureNotifier();
  notifierCv_.notify_all();
}

void Bus::notify(bool arrived, const std::string& path) {
  if (listener_ == nullptr) return;
  notifications_.push_back(Notification{arrived, path});
  ensureNotifier();
  notifierCv_.notify_all();
}

void Bus::ensureNotifier() {
  if (notifier_.joinable() || stopping_) return;
  notifier_ = std::thread([this] { notifierLoop(); });
  notifierId_ = notifier_.get_id();
}

void Bus::runEvent(const Event& event) {
  if (event.box >= boxes_.size()) return;
  BoxSlot& slot = *boxes_[event.box];
  if (!slot.exists) return;
  switch (event.kind) {
    case Event::Kind::Leave:
      if (!slot.attached || event.token != slot.leaveToken) return;
      detach(slot);
      schedule(Event{Clock::now() + returnDelay_, Event::Kind::Return, slot.index, slot.returnToken});
      return;
    case Event::Kind::Return:
      if (slot.attached || event.token != slot.returnToken) return;
      attach(slot);
      return;
  }
}

void Bus::notifierLoop() {
  Lock lock(mutex_);
  while (!stopping_) {
    if (!notifications_.empty()) {
      const Notification n = std::move(notifications_.front());
      notifications_.pop_front();
      if (listener_ != nullptr) {
        const PlugListener listener = listener_;
        void* const context = listenerContext_;
        delivering_ = true;
        lock.unlock();
        listener(n.arrived ? 1 : 0, n.path.c_str(), context);
        lock.lock();
        delivering_ = false;
      }
      notifierCv_.notify_all();
      continue;
    }
    const auto now = Clock::now();
    const auto due =
        std::stable_partition(events_.begin(), events_.end(), [&](const Event& e) { return e.at > now; });
    if (due != events_.end()) {
      const std::vector<Event> run(due, events_.end());
      events_.erase(due, events_.end());
      for (const Event& e : run)
        runEvent(e);
      continue;
    }
    if (events_.empty()) {
      notifierCv_.wait(lock);
    } else {
      // A copy: the wait releases the lock, and events_ may grow meanwhile.
      const auto next = std::min_element(events_.begin(), events_.end(),
                                         [](const Event& a, const Event& b) { return a.at < b.at; })->at;
      notifierCv_.wait_until(lock, next);
    }
  }
}

void Bus::setPlugListener(PlugListener listener, void* context) {
  Lock lock(mutex_);
  listener_ = listener;
  listenerContext_ = context;
  if (std::this_thread::get_id() != notifierId_) notifierCv_.wait(lock, [&] { return !delivering_; });
}

bool Bus::waitForNotifications(std::chrono::milliseconds timeout) {
  Lock lock(mutex_);
  if (std::this_thread::get_id() == notifierId_) return notifications_.empty();
  return notifierCv_.wait_for(lock, timeout,
                              [&] { return (notifications_.empty() && !delivering_) || stopping_; });
}

}  // namespace corvane::sim
