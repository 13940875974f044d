// The layout of a firmware image and the texts of its checks: a 32-byte
// header (big-endian target address and body length, device tag, zero byte
// sum) and the body.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

inline constexpr std::size_t kImageHeaderSize = 32;
inline constexpr std::size_t kImageTagOffset = 8;
// Message box texts and caption of the image checks.
inline constexpr const char* kImageNoticeCaption = "提示";
inline constexpr const char* kBadImage = "程序文件错误";

// The header's target address and body length; image holds the header.
inline int ImageAddress(const std::vector<std::uint8_t>& image) {
  return image[0] * 256 + image[1];
}
inline int ImageBodyLength(const std::vector<std::uint8_t>& image) {
  return image[2] * 256 + image[3];
}
// The progress bar's range over a whole image, cut to 16 bits.
inline int ImageProgressEnd(const std::vector<std::uint8_t>& image) {
  return (ImageBodyLength(image) + static_cast<int>(kImageHeaderSize)) & 0xFFFF;
}
