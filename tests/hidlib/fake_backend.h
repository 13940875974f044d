// A scripted HID stack for the library's tests: a list of attached devices,
// descriptors by path, a manual clock, and per path a queue of what reads
// deliver. Shared with the test through FakeStack, which outlives the library.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "hidlib/backend.h"

namespace corvane::hidlib::testing {

// What one read call does.
struct ReadStep {
  enum Kind { kReport, kNothing, kError, kOversize };
  Kind kind = kNothing;
  std::vector<uint8_t> bytes;          // kReport: the report as the kernel hands it over
  std::chrono::milliseconds delay{0};  // kReport: time that passes before it comes
  std::function<void()> during;        // run inside the read call, if set
};

inline ReadStep report(std::vector<uint8_t> bytes, std::chrono::milliseconds delay = {}) {
  return {ReadStep::kReport, std::move(bytes), delay, {}};
}

inline ReadStep failing(ReadStep::Kind kind) {
  ReadStep step;
  step.kind = kind;
  return step;
}

struct WriteRecord {
  std::vector<uint8_t> bytes;
};

struct FakeStack {
  std::mutex mutex;
  std::chrono::nanoseconds clock{std::chrono::hours(1)};
  std::vector<DeviceInfo> devices;
  std::set<std::string> unopenable;
  std::map<std::string, std::vector<uint8_t>> descriptors;
  std::map<std::string, std::deque<ReadStep>> reads;
  // Wait asked for by each read, and the buffer length it was given.
  std::vector<int> readWaits;
  std::vector<size_t> readLengths;
  std::vector<WriteRecord> writes;
  // When set, what write returns instead of the full length.
  std::optional<int> writeResult;
  std::chrono::milliseconds writeDuration{0};
  std::optional<int> controlResult;   // likewise for control transfers
  std::vector<uint8_t> controlReply;  // what a get-report transfer delivers
  std::map<int, std::string> indexedStrings;
  std::vector<std::string> opened;
  int openPorts = 0;
  std::pair<uint16_t, uint16_t> lastEnumerated{};

  void advance(std::chrono::milliseconds by) { clock += by; }
};

class FakePort final : public Port {
 public:
  FakePort(std::shared_ptr<FakeStack> stack, std::string path)
      : stack_(std::move(stack)), path_(std::move(path)) {
    std::lock_guard lock(stack_->mutex);
    ++stack_->openPorts;
  }
  ~FakePort() override {
    std::lock_guard lock(stack_->mutex);
    --stack_->openPorts;
  }

  int write(const uint8_t* data, size_t length) override {
    std::lock_guard lock(stack_->mutex);
    stack_->writes.push_back({std::vector<uint8_t>(data, data + length)});
    stack_->advance(stack_->writeDuration);
    return stack_->writeResult.value_or(static_cast<int>(length));
  }

  int read(uint8_t* data, size_t length, int timeoutMs) override {
    ReadStep step;
    {
      std::lock_guard lock(stack_->mutex);
      stack_->readWaits.push_back(timeoutMs);
      stack_->readLengths.push_back(length);
      // The whole buffer given is scribbled on, as a careless kernel might.
      std::memset(data, 0xEE, length);
      auto& queue = stack_->reads[path_];
      if (!queue.empty()) {
        step = std::move(queue.front());
        queue.pop_front();
      }
    }
    if (step.during) step.during();
    std::lock_guard lock(stack_->mutex);
    switch (step.kind) {
      case ReadStep::kReport: {
        stack_->advance(step.delay);
        const size_t n = std::min(length, step.bytes.size());
        std::memcpy(data, step.bytes.data(), n);
        return static_cast<int>(n);
      }
      case ReadStep::kNothing:
        stack_->advance(std::chrono::milliseconds(timeoutMs));
        return 0;
      case ReadStep::kError:
        return -1;
      case ReadStep::kOversize:
        return static_cast<int>(length) + 1;
    }
    return -1;
  }

  int sendFeatureReport(const uint8_t* data, size_t length) override { return send(data, length); }
  int getFeatureReport(uint8_t* data, size_t length) override { return receive(data, length); }
  int getInputReport(uint8_t* data, size_t length) override { return receive(data, length); }

  std::optional<std::string> indexedString(int index) override {
    std::lock_guard lock(stack_->mutex);
    const auto it = stack_->indexedStrings.find(index);
    if (it == stack_->indexedStrings.end()) return std::nullopt;
    return it->second;
  }

  intptr_t nativeHandle() const override { return 42; }

 private:
  int send(const uint8_t* data, size_t length) {
    std::lock_guard lock(stack_->mutex);
    stack_->writes.push_back({std::vector<uint8_t>(data, data + length)});
    return stack_->controlResult.value_or(static_cast<int>(length));
  }
  int receive(uint8_t* data, size_t length) {
    std::lock_guard lock(stack_->mutex);
    const size_t n = std::min(length, stack_->controlReply.size());
    std::memcpy(data, stack_->controlReply.data(), n);
    return stack_->controlResult.value_or(static_cast<int>(n));
  }

  std::shared_ptr<FakeStack> stack_;
  std::string path_;
};

class FakeBackend final : public Backend {
 public:
  explicit FakeBackend(std::shared_ptr<FakeStack> stack) : stack_(std::move(stack)) {}

  std::vector<DeviceInfo> enumerate(uint16_t vendorId, uint16_t productId) override {
    std::lock_guard lock(stack_->mutex);
    stack_->lastEnumerated = {vendorId, productId};
    std::vector<DeviceInfo> found;
    for (const DeviceInfo& info : stack_->devices) {
      if (info.vendorId == vendorId && info.productId == productId) found.push_back(info);
    }
    return found;
  }

  std::unique_ptr<Port> open(const std::string& path) override {
    {
      std::lock_guard lock(stack_->mutex);
      stack_->opened.push_back(path);
      if (stack_->unopenable.contains(path)) return nullptr;
    }
    return std::make_unique<FakePort>(stack_, path);
  }

  std::optional<std::vector<uint8_t>> reportDescriptor(const std::string& path) override {
    std::lock_guard lock(stack_->mutex);
    const auto it = stack_->descriptors.find(path);
    if (it == stack_->descriptors.end()) return std::nullopt;
    return it->second;
  }

  std::chrono::nanoseconds now() override {
    std::lock_guard lock(stack_->mutex);
    return stack_->clock;
  }

 private:
  std::shared_ptr<FakeStack> stack_;
};

}  // namespace corvane::hidlib::testing
