// Binding the HID library by name from the Windows folder of the drive-C root.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/corvane_dlg.h"
#include "support/headless_host.h"

namespace {

class HidBinding : public ::testing::Test {
 protected:
  void TearDown() override { ::setenv("CORVANE_DRIVE_C", CORVANE_SIM_DRIVE_C, 1); }

  // Loads the library of a drive-C root; what the user was told.
  bool Load(const std::string& root) {
    ::setenv("CORVANE_DRIVE_C", root.c_str(), 1);
    CCorvaneDlg dlg(host);
    const bool loaded = dlg.LoadHidLibrary();
    if (loaded) {
      EXPECT_NE(dlg.m_hHidLibrary, nullptr);
      EXPECT_NE(dlg.m_hidApi.HidDevice_Close, nullptr);
    } else {
      EXPECT_EQ(dlg.m_hHidLibrary, nullptr);
    }
    return loaded;
  }

  HeadlessHost host;
};

TEST_F(HidBinding, LoadsTheLibraryOfTheWindowsFolder) {
  EXPECT_TRUE(Load(CORVANE_SIM_DRIVE_C));
  EXPECT_TRUE(host.MessageBoxes().empty());
}

TEST_F(HidBinding, MissingOrIncompleteLibraryIsReported) {
  const auto empty = std::filesystem::temp_directory_path() / "corvane-empty-drive-c";
  std::filesystem::create_directories(empty);
  EXPECT_FALSE(Load(empty.string()));
  EXPECT_FALSE(Load(CORVANE_PARTIAL_DRIVE_C));
  EXPECT_EQ(host.MessageBoxes(),
            std::vector<std::string>(2, "Please run as administrator at the first time"));
}

}  // namespace
