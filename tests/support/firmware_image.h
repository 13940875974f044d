// Firmware image files for tests: a header that names the target address,
// the body length and the device, and sums to 0; then the body.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

// An image of body bytes i * 7 + 3 for the device tag ("ESC" or "BOX").
inline std::vector<std::uint8_t> FirmwareImage(const char* tag, int address, int bodyLength) {
  std::vector<std::uint8_t> image(32 + static_cast<std::size_t>(bodyLength));
  image[0] = static_cast<std::uint8_t>(address >> 8);
  image[1] = static_cast<std::uint8_t>(address);
  image[2] = static_cast<std::uint8_t>(bodyLength >> 8);
  image[3] = static_cast<std::uint8_t>(bodyLength);
  std::memcpy(&image[8], tag, 3);
  std::uint8_t sum = 0;
  for (int i = 0; i < 31; ++i)
    sum = static_cast<std::uint8_t>(sum + image[i]);
  image[31] = static_cast<std::uint8_t>(-sum);
  for (int i = 0; i < bodyLength; ++i)
    image[32 + i] = static_cast<std::uint8_t>(i * 7 + 3);
  return image;
}

inline void WriteBinaryFile(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}
