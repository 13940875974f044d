// The 16-byte identity a device reports in its identify reply.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#pragma pack(push, 1)
struct DeviceIdentity {
  char modelName[6];              // 0: ASCII, NUL-terminated when shorter than 6
  std::uint8_t unused6[2];        // 6
  std::uint16_t identityWord;     // 8: acceptance word, host order after receipt
  std::uint8_t unused10;          // 10
  std::uint16_t firmwareVersion;  // 11: high byte major, low byte minor, host order after receipt
  std::uint8_t hardwareVersion;   // 13
  std::uint8_t unused14;          // 14
  std::uint8_t checkByte;         // 15: makes the 16 bytes sum to 0

  std::uint8_t* bytes() { return reinterpret_cast<std::uint8_t*>(this); }
  const std::uint8_t* bytes() const { return reinterpret_cast<const std::uint8_t*>(this); }

  // The identity as received: 16 bytes whose two words are big-endian.
  static DeviceIdentity FromWire(const std::uint8_t* wire) {
    DeviceIdentity id;
    std::memcpy(id.bytes(), wire, sizeof id);
    std::swap(id.bytes()[8], id.bytes()[9]);
    std::swap(id.bytes()[11], id.bytes()[12]);
    return id;
  }

  // The model name up to its first NUL, at most 6 characters.
  std::string ModelName() const { return std::string(modelName, strnlen(modelName, sizeof modelName)); }
};
#pragma pack(pop)

static_assert(sizeof(DeviceIdentity) == 16);
