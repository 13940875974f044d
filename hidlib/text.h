// Text conversions for the library's 8-bit string buffers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane::hidlib {

// The longest string taken from the HID stack, in characters.
inline constexpr size_t kMaxStackStringChars = 4096;

// UTF-8 of a NUL-terminated wide string, read up to kMaxStackStringChars
// characters; values that are not Unicode scalar values become U+FFFD. An
// empty string for nullptr.
std::string wideToUtf8(const wchar_t* text);

// Copies text into buffer as a NUL-terminated string of at most size - 1
// bytes, cutting before a UTF-8 sequence that would not fit whole. Returns
// false, writing nothing, when buffer is null or size is 0.
bool copyToBuffer(std::string_view text, char* buffer, uint32_t size);

}  // namespace corvane::hidlib
