// The wire format of the program box and the ESC as the simulator speaks it:
// report layout, command frames, reply frames and their check bytes, device
// identities and the ESC's factory settings block.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace corvane::sim {

inline constexpr std::uint16_t kVendorId = 0x10C4;
inline constexpr std::uint16_t kProductId = 0x8468;

// Reports: report id, channel, count, data. Both directions are 65 bytes long.
inline constexpr std::size_t kReportLength = 65;
inline constexpr std::uint8_t kOutputReportId = 0x02;
inline constexpr std::uint8_t kInputReportId = 0x01;
inline constexpr std::size_t kMaxOutputData = 58;
inline constexpr std::size_t kMaxInputData = kReportLength - 3;  // 62

inline constexpr std::uint8_t kChannelBox = 0;
inline constexpr std::uint8_t kChannelEsc = 1;

// The ESC's settings block and the live bytes that follow it in a read.
inline constexpr std::uint32_t kSettingsAddress = 0x5E00;
inline constexpr std::size_t kSettingsSize = 2477;
inline constexpr std::size_t kLiveSize = 8;
inline constexpr std::uint32_t kLiveAddress = kSettingsAddress + kSettingsSize;  // 0x67AD

// Fixed command frames.
inline constexpr std::array<std::uint8_t, 7> kIdentifyCommand{0x0F, 0x03, 0x57, 0x00, 0x57, 0xFF, 0xFF};
inline constexpr std::array<std::uint8_t, 7> kTestCommand{'t', 'i', 'm', 'i', 'n', 'g', 0x78};
inline constexpr std::array<std::uint8_t, 7> kCheckCommand{'c', 'h', 'e', 'c', 'k', '0', 0xD2};

// Header commands (6 bytes: command, address, length, check).
inline constexpr std::uint8_t kCmdRead = 'a';
inline constexpr std::uint8_t kCmdWriteImage = 's';
inline constexpr std::uint8_t kCmdWriteBlock = 'n';
inline constexpr std::uint8_t kCmdProgram = 'p';

// Firmware version from which the ESC expects a 4-byte program checksum.
inline constexpr std::uint16_t kLongChecksumVersion = 0x0105;

// 8-bit sum of n bytes.
std::uint8_t sum8(const std::uint8_t* bytes, std::size_t n);
// The byte that makes n bytes and itself sum to 0 modulo 256.
std::uint8_t negatedSum8(const std::uint8_t* bytes, std::size_t n);

// A device identity. On the wire it is 16 bytes: model name (6), two unused,
// identity word, one unused, firmware version, hardware version, one unused and
// a check byte that makes the 16 bytes sum to 0. Words go big-endian.
struct Identity {
  std::array<char, 6> model{};
  std::uint16_t identityWord = 0;
  std::uint16_t firmwareVersion = 0;  // high byte major, low byte minor: 0x0105 = 1.05
  std::uint8_t hardwareVersion = 0;   // two BCD digits: 0x10 = 1.0

  static Identity make(std::string_view model, std::uint16_t identityWord, std::uint16_t firmwareVersion,
                       std::uint8_t hardwareVersion);
  void setModel(std::string_view name);
  std::array<std::uint8_t, 16> wireBytes() const;
};

// Reply frames.
std::vector<std::uint8_t> identifyReply(const Identity& identity);  // 24 bytes
std::vector<std::uint8_t> headerFrame(std::uint8_t kind, std::uint16_t address, std::uint16_t length);
// 'A' header, then the data and their check byte when there are any.
std::vector<std::uint8_t> readReply(std::uint16_t address, const std::vector<std::uint8_t>& data);
// 'T' report of the timing test: "STA" at its start, "END" at its end.
std::vector<std::uint8_t> testReport(bool start, std::uint8_t timing, std::uint16_t word);
// 'V' live values during the timing test.
std::vector<std::uint8_t> liveFrame(std::uint16_t escTempAdc, std::uint16_t motorTempAdc,
                                    std::uint8_t period);
std::vector<std::uint8_t> checkReply();  // 'C' "HECKO"

// Which check of a reply frame a fault spoils.
enum class CorruptPart {
  Final,     // the last check: the data sum of an 'A' frame with data, else the frame's only check
  Header,    // the header's check (the identify reply's check byte for an identify reply)
  ReadData,  // the data sum of the next 'A' frame with data; other replies pass until then
};
// Spoils one check of a reply frame so that the host's parser drops it. Frames
// without a check byte ('T', 'C') get a wrong letter in their text instead.
void corruptFrame(std::vector<std::uint8_t>& frame, CorruptPart part);

// Factory settings block: ten identical factory profiles, profile 0 selected,
// throttle calibration 2041 / 3062 / 4083, dead band 164, reserved tail 0xFF.
std::array<std::uint8_t, kSettingsSize> factorySettings();
// Live bytes of a stopped motor at about 25 degrees C: period word 0, ESC and
// motor temperature sensor words, two spare bytes; words big-endian.
std::array<std::uint8_t, kLiveSize> restingLiveBytes();

}  // namespace corvane::sim
