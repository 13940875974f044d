// Report lengths from a HID report descriptor.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace corvane::hidlib {

// The longest report of each kind in bytes, with the report id byte counted
// (as 0 when the device does not number its reports); 0 when the device has
// no report of that kind.
struct ReportLengths {
  uint16_t input = 0;
  uint16_t output = 0;
  uint16_t feature = 0;
  // Whether the device numbers its reports, so that the kernel hands input
  // reports over with the id as their first byte.
  bool numbered = true;

  friend bool operator==(const ReportLengths&, const ReportLengths&) = default;
};

// The largest report body, in bytes, that the kernel passes through.
inline constexpr uint32_t kMaxReportBodyBytes = 16384;

// Used when the descriptor cannot be read or makes no sense: 64-byte reports
// after a report id, the common shape of full-speed vendor devices.
inline constexpr ReportLengths kFallbackReportLengths{65, 65, 65, true};

// Walks the descriptor's items and adds up each report's fields. Nothing when
// the descriptor is empty, cut short or inconsistent (a report id of 0, a pop
// without a push, a report longer than kMaxReportBodyBytes).
std::optional<ReportLengths> parseReportLengths(std::span<const uint8_t> descriptor);

}  // namespace corvane::hidlib
