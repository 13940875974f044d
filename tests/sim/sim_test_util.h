// Helpers shared by the simulator's tests: building output reports and
// command frames as the program does.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "sim/protocol.h"

namespace corvane::sim::testing {

using Bytes = std::vector<std::uint8_t>;

// One 65-byte output report carrying `data` (at most 58 bytes) on a channel.
inline Bytes outputReport(std::uint8_t channel, const Bytes& data) {
  Bytes r(kReportLength, 0);
  r[0] = kOutputReportId;
  r[1] = channel;
  r[2] = static_cast<std::uint8_t>(data.size());
  for (std::size_t i = 0; i < data.size(); ++i)
    r[3 + i] = data[i];
  return r;
}

// A 6-byte header command: command, address, length, check.
inline Bytes headerCommand(std::uint8_t command, std::uint16_t address, std::uint16_t length) {
  Bytes f{command, static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address),
          static_cast<std::uint8_t>(length >> 8), static_cast<std::uint8_t>(length)};
  f.push_back(negatedSum8(f.data(), f.size()));
  return f;
}

inline Bytes fixed(const std::array<std::uint8_t, 7>& frame) {
  return Bytes(frame.begin(), frame.end());
}

// The data of a data phase followed by its checksum: 1 byte (negated 8-bit
// sum) or 4 bytes (32-bit sum, most significant first).
inline Bytes withChecksum(Bytes data, int checksumSize) {
  std::uint32_t sum = 0;
  for (std::uint8_t b : data)
    sum += b;
  if (checksumSize == 4) {
    for (int shift = 24; shift >= 0; shift -= 8)
      data.push_back(static_cast<std::uint8_t>(sum >> shift));
  } else {
    data.push_back(static_cast<std::uint8_t>(0x100 - (sum & 0xFF)));
  }
  return data;
}

// Records arrivals and removals; waits for them by condition, not by time.
class PlugRecorder {
 public:
  struct Event {
    bool arrived;
    std::string path;
    bool operator==(const Event&) const = default;
  };

  static void listener(int arrived, const char* path, void* context) {
    auto* self = static_cast<PlugRecorder*>(context);
    std::lock_guard lock(self->mutex_);
    self->events_.push_back(Event{arrived != 0, path});
    self->cv_.notify_all();
  }

  // Waits until at least n events were recorded (a generous guard keeps a
  // broken simulator from hanging the test run).
  std::vector<Event> waitFor(std::size_t n) {
    std::unique_lock lock(mutex_);
    cv_.wait_for(lock, std::chrono::seconds(30), [&] { return events_.size() >= n; });
    return events_;
  }

  std::vector<Event> events() {
    std::lock_guard lock(mutex_);
    return events_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  std::vector<Event> events_;
};

}  // namespace corvane::sim::testing
