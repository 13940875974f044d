// The system's default locale as a Windows-style locale id, taken from
// LC_ALL or LANG (e.g. zh_CN -> 0x0804, de_CH -> 0x0807, ja_JP -> 0x0411).
#pragma once

namespace platform {

unsigned SystemDefaultLocaleId();

// The id of a POSIX locale name such as "de_DE.UTF-8"; 0x0409 (English,
// United States) for names it does not know.
unsigned LocaleIdFromName(const char* name);

}  // namespace platform
