#include "hidlib/text.h"

#include <gtest/gtest.h>

namespace corvane::hidlib {
namespace {

TEST(TextTest, WideStringsBecomeUtf8) {
  EXPECT_EQ(wideToUtf8(nullptr), "");
  EXPECT_EQ(wideToUtf8(L"Box"), "Box");
  const wchar_t mixed[] = {L'a', 0xE9, 0x20AC, 0x1F697, 0};
  EXPECT_EQ(wideToUtf8(mixed), "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x9A\x97");
  // Surrogates and values past U+10FFFF are no characters.
  const wchar_t invalid[] = {0xD800, static_cast<wchar_t>(0x110000), static_cast<wchar_t>(-1), 0};
  EXPECT_EQ(wideToUtf8(invalid), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");

  const std::wstring unterminated(kMaxStackStringChars + 10, L'x');
  EXPECT_EQ(wideToUtf8(unterminated.c_str()).size(), kMaxStackStringChars);
}

}  // namespace
}  // namespace corvane::hidlib
