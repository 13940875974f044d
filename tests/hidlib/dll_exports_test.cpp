// The built library as the program loads it: by path, binding names.
#include <dlfcn.h>
#include <elf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "hidlib/hid_device.h"

namespace {

#define CORVANE_HID_NAME(name) #name,
const std::set<std::string> kEntryPoints{CV_HID_DEVICE_FUNCTIONS(CORVANE_HID_NAME)};
#undef CORVANE_HID_NAME

// The names an ELF64 shared object defines in its dynamic symbol table.
std::set<std::string> definedDynamicSymbols(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<char> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::set<std::string> names;
  const auto fits = [&](uint64_t offset, uint64_t size) {
    return offset <= image.size() && size <= image.size() - offset;
  };
  Elf64_Ehdr header;
  if (!fits(0, sizeof header)) return names;
  std::memcpy(&header, image.data(), sizeof header);
  if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64 ||
      header.e_shentsize != sizeof(Elf64_Shdr) ||
      !fits(header.e_shoff, uint64_t{header.e_shnum} * sizeof(Elf64_Shdr))) {
    return names;
  }
  const auto section = [&](size_t i) {
    Elf64_Shdr s;
    std::memcpy(&s, image.data() + header.e_shoff + i * sizeof s, sizeof s);
    return s;
  };
  for (size_t i = 0; i < header.e_shnum; ++i) {
    const Elf64_Shdr symbols = section(i);
    if (symbols.sh_type != SHT_DYNSYM || symbols.sh_link >= header.e_shnum) continue;
    const Elf64_Shdr strings = section(symbols.sh_link);
    if (!fits(symbols.sh_offset, symbols.sh_size) || !fits(strings.sh_offset, strings.sh_size)) continue;
    for (uint64_t at = 0; at + sizeof(Elf64_Sym) <= symbols.sh_size; at += sizeof(Elf64_Sym)) {
      Elf64_Sym symbol;
      std::memcpy(&symbol, image.data() + symbols.sh_offset + at, sizeof symbol);
      const unsigned bind = ELF64_ST_BIND(symbol.st_info);
      if (symbol.st_shndx == SHN_UNDEF || (bind != STB_GLOBAL && bind != STB_WEAK)) continue;
      if (symbol.st_name >= strings.sh_size) continue;
      const char* name = image.data() + strings.sh_offset + symbol.st_name;
      names.insert(std::string(name, strnlen(name, strings.sh_size - symbol.st_name)));
    }
  }
  return names;
}

class DllTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module = dlopen(CORVANE_HIDLIB_DLL_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
  }
  void TearDown() override {
    if (module != nullptr) dlclose(module);
  }
  template <typename F>
  F* bind(const char* name) {
    return reinterpret_cast<F*>(dlsym(module, name));
  }

  void* module = nullptr;
};

TEST_F(DllTest, ExportsExactlyTheEntryPoints) {
  for (const std::string& name : kEntryPoints)
    EXPECT_NE(dlsym(module, name.c_str()), nullptr) << name;
  EXPECT_EQ(definedDynamicSymbols(CORVANE_HIDLIB_DLL_PATH), kEntryPoints);
}

// No box is attached to the machine the tests run on.
TEST_F(DllTest, FindsNoBoxAndFailsCleanly) {
  const auto count = bind<decltype(HidDevice_GetNumHidDevices)>("HidDevice_GetNumHidDevices");
  const auto getString = bind<decltype(HidDevice_GetHidString)>("HidDevice_GetHidString");
  const auto open = bind<decltype(HidDevice_Open)>("HidDevice_Open");
  const auto isOpened = bind<decltype(HidDevice_IsOpened)>("HidDevice_IsOpened");
  const auto close = bind<decltype(HidDevice_Close)>("HidDevice_Close");
  const auto outputLength =
      bind<decltype(HidDevice_GetOutputReportBufferLength)>("HidDevice_GetOutputReportBufferLength");
  ASSERT_TRUE(count && getString && open && isOpened && close && outputLength);

  EXPECT_EQ(count(0x10C4, 0x8468), 0u);
  char path[260] = "x";
  EXPECT_NE(getString(0, 0x10C4, 0x8468, CV_HID_STRING_PATH, path, sizeof path), CV_HID_OK);
  CvHidDevice device = nullptr;
  EXPECT_NE(open(&device, 0, 0x10C4, 0x8468, 512), CV_HID_OK);
  EXPECT_EQ(device, nullptr);
  EXPECT_EQ(isOpened(nullptr), 0);
  EXPECT_EQ(outputLength(nullptr), 0);
  close(nullptr);
}

}  // namespace
