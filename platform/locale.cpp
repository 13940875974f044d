#include "platform/locale.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace platform {

namespace {

struct LocaleEntry {
  const char* name;  // language, or language_TERRITORY
  unsigned id;
};

// Territories first: the first entry whose name the locale starts with wins.
constexpr LocaleEntry kLocales[] = {
    {"zh_TW", 0x0404}, {"zh_CN", 0x0804}, {"zh_HK", 0x0C04}, {"zh_SG", 0x1004}, {"zh_MO", 0x1404},
    {"zh", 0x0804},    {"ja_JP", 0x0411}, {"ja", 0x0411},    {"de_DE", 0x0407}, {"de_CH", 0x0807},
    {"de_AT", 0x0C07}, {"de_LU", 0x1007}, {"de_LI", 0x1407}, {"de", 0x0407},    {"en_US", 0x0409},
    {"en_GB", 0x0809}, {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"en", 0x0409},    {"fr_FR", 0x040C},
    {"fr", 0x040C},    {"it", 0x0410},    {"es", 0x0C0A},    {"ko", 0x0412},    {"ru", 0x0419},
    {"nl", 0x0413},    {"pt_BR", 0x0416}, {"pt", 0x0816},    {"pl", 0x0415},    {"sv", 0x041D},
};

}  // namespace

unsigned LocaleIdFromName(const char* name) {
  if (name == nullptr) return 0x0409;
  for (const LocaleEntry& entry : kLocales) {
    const std::size_t n = std::strlen(entry.name);
    // "de" must not match "des_XX": the prefix ends the name or the language.
    if (std::strncmp(name, entry.name, n) == 0 &&
        (name[n] == '\0' || name[n] == '_' || name[n] == '.' || name[n] == '@')) {
      return entry.id;
    }
  }
  return 0x0409;
}

unsigned SystemDefaultLocaleId() {
  for (const char* variable : {"LC_ALL", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return LocaleIdFromName(value);
  }
  return 0x0409;
}

}  // namespace platform
