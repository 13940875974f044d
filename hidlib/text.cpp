#include "hidlib/text.h"

#include <wchar.h>
#include <cstring>

namespace corvane::hidlib {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool isScalarValue(uint32_t c) {
  return c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

}  // namespace

std::string wideToUtf8(const wchar_t* text) {
  std::string out;
  if (text == nullptr) return out;
  const size_t length = ::wcsnlen(text, kMaxStackStringChars);
  for (size_t i = 0; i < length; ++i) {
    const auto c = static_cast<uint32_t>(text[i]);
    appendUtf8(out, isScalarValue(c) ? static_cast<char32_t>(c) : kReplacement);
  }
  return out;
}

bool copyToBuffer(std::string_view text, char* buffer, uint32_t size) {
  if (buffer == nullptr || size == 0) return false;
  size_t length = text.size();
  if (length > size - 1) {
    length = size - 1;
    // Step back over the continuation bytes of a sequence that would be cut.
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
      --length;
  }
  if (length > 0) std::memcpy(buffer, text.data(), length);
  buffer[length] = '\0';
  return true;
}

}  // namespace corvane::hidlib
