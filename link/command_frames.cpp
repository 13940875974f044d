#include "link/command_frames.h"

#include "link/link_types.h"

namespace {

// 0F, the count 03 of the bytes before FF FF, 'W', 00, their sum 57, FF FF.
constexpr std::uint8_t kIdentifyFrame[] = {0x0F, 0x03, 0x57, 0x00, 0x57, 0xFF, 0xFF};
constexpr std::uint8_t kTestFrame[] = {'t', 'i', 'm', 'i', 'n', 'g', 0x78};
constexpr std::uint8_t kCheckFrame[] = {'c', 'h', 'e', 'c', 'k', '0', 0xD2};

}  // namespace

bool IsFixedFrame(std::uint8_t command) {
  return command == kCmdIdentify || command == kCmdTest || command == kCmdCheck;
}

std::vector<std::uint8_t> BuildCommandFrame(std::uint8_t command, std::int32_t address, std::int32_t length) {
  switch (command) {
    case kCmdIdentify:
      return {std::begin(kIdentifyFrame), std::end(kIdentifyFrame)};
    case kCmdTest:
      return {std::begin(kTestFrame), std::end(kTestFrame)};
    case kCmdCheck:
      return {std::begin(kCheckFrame), std::end(kCheckFrame)};
    default:
      break;
  }
  std::vector<std::uint8_t> frame = {
      command,
      static_cast<std::uint8_t>(address >> 8),
      static_cast<std::uint8_t>(address),
      static_cast<std::uint8_t>(length >> 8),
      static_cast<std::uint8_t>(length),
  };
  std::uint8_t sum = 0;
  for (std::uint8_t b : frame)
    sum = static_cast<std::uint8_t>(sum + b);
  frame.push_back(static_cast<std::uint8_t>(-sum));
  return frame;
}

std::vector<std::uint8_t> DataPhaseChecksum(const std::uint8_t* data, std::int32_t length, bool fourBytes) {
  std::uint8_t sum8 = 0;
  std::uint32_t sum32 = 0;
  for (std::int32_t i = 0; i < length; ++i) {
    sum8 = static_cast<std::uint8_t>(sum8 + data[i]);
    sum32 += data[i];
  }
  if (fourBytes) {
    return {static_cast<std::uint8_t>(sum32 >> 24), static_cast<std::uint8_t>(sum32 >> 16),
            static_cast<std::uint8_t>(sum32 >> 8), static_cast<std::uint8_t>(sum32)};
  }
  return {static_cast<std::uint8_t>(-sum8)};
}
