#include "hidlib/report_descriptor.h"

#include <algorithm>
#include <array>
#include <vector>

namespace corvane::hidlib {
namespace {

constexpr uint8_t kLongItemPrefix = 0xFE;
constexpr uint64_t kMaxReportBits = uint64_t{kMaxReportBodyBytes} * 8;
constexpr size_t kMaxPushDepth = 16;

enum ItemType : uint8_t { kMain = 0, kGlobal = 1, kLocal = 2 };

enum MainTag : uint8_t { kInput = 0x8, kOutput = 0x9, kFeature = 0xB };

enum GlobalTag : uint8_t { kReportSize = 0x7, kReportId = 0x8, kReportCount = 0x9, kPush = 0xA, kPop = 0xB };

// The global state that shapes the fields of the following main items.
struct Globals {
  uint32_t reportSize = 0;
  uint32_t reportCount = 0;
  uint8_t reportId = 0;
};

uint16_t lengthFromBits(uint64_t bits) {
  if (bits == 0) return 0;
  return static_cast<uint16_t>((bits + 7) / 8 + 1);
}

}  // namespace

std::optional<ReportLengths> parseReportLengths(std::span<const uint8_t> descriptor) {
  if (descriptor.empty()) return std::nullopt;

  // Bits per report id, for input, output and feature reports.
  std::array<std::array<uint64_t, 256>, 3> bits{};
  std::vector<Globals> stack;
  Globals globals;
  bool numbered = false;

  size_t pos = 0;
  const size_t end = descriptor.size();
  while (pos < end) {
    const uint8_t prefix = descriptor[pos];
    if (prefix == kLongItemPrefix) {
      // Long items carry no report layout; only their size matters.
      if (end - pos < 3) return std::nullopt;
      const size_t dataSize = descriptor[pos + 1];
      if (end - pos - 3 < dataSize) return std::nullopt;
      pos += 3 + dataSize;
      continue;
    }

    const size_t dataSize = (prefix & 0x3) == 3 ? 4 : (prefix & 0x3);
    if (end - pos - 1 < dataSize) return std::nullopt;
    uint32_t value = 0;
    for (size_t i = 0; i < dataSize; ++i)
      value |= uint32_t{descriptor[pos + 1 + i]} << (8 * i);
    const uint8_t type = (prefix >> 2) & 0x3;
    const uint8_t tag = prefix >> 4;
    pos += 1 + dataSize;

    if (type == kGlobal) {
      switch (tag) {
        case kReportSize:
          if (value > kMaxReportBits) return std::nullopt;
          globals.reportSize = value;
          break;
        case kReportCount:
          if (value > kMaxReportBits) return std::nullopt;
          globals.reportCount = value;
          break;
        case kReportId:
          if (value == 0 || value > 255) return std::nullopt;
          globals.reportId = static_cast<uint8_t>(value);
          numbered = true;
          break;
        case kPush:
          if (stack.size() >= kMaxPushDepth) return std::nullopt;
          stack.push_back(globals);
          break;
        case kPop:
          if (stack.empty()) return std::nullopt;
          globals = stack.back();
          stack.pop_back();
          break;
        default:
          break;
      }
    } else if (type == kMain && (tag == kInput || tag == kOutput || tag == kFeature)) {
      const size_t kind = tag == kInput ? 0 : tag == kOutput ? 1 : 2;
      uint64_t& total = bits[kind][globals.reportId];
      total += uint64_t{globals.reportSize} * globals.reportCount;
      if (total > kMaxReportBits) return std::nullopt;
    }
  }

  std::array<uint64_t, 3> longest{};
  for (size_t kind = 0; kind < 3; ++kind) {
    for (uint64_t b : bits[kind])
      longest[kind] = std::max(longest[kind], b);
  }
  ReportLengths lengths;
  lengths.input = lengthFromBits(longest[0]);
  lengths.output = lengthFromBits(longest[1]);
  lengths.feature = lengthFromBits(longest[2]);
  lengths.numbered = numbered;
  return lengths;
}

}  // namespace corvane::hidlib
