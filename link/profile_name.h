// Profile names are 8-bit text: shown through the 8-bit code page (Latin-1
// here), stored as the low 8 bits of each UTF-16 unit of the entered text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr int kProfileNameSize = 16;

// The name's bytes up to the first NUL (all 16 when there is none), as UTF-8.
std::string ProfileNameText(const std::uint8_t* name);

// The UTF-16 units of UTF-8 text; malformed bytes count as U+FFFD.
std::u16string Utf16Units(std::string_view utf8);
