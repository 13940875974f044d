// Saving and loading .esc files.
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "support/link_fixture.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class EscFiles : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    dir = fs::temp_directory_path() / ("corvane-files-" + std::to_string(::getpid()) + "-" +
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir);
    fs::create_directories(dir);
  }
  void TearDown() override {
    fs::permissions(dir, fs::perms::owner_all);
    fs::remove_all(dir);
    LinkTest::TearDown();
  }
  static void WriteFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  static Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }
  // A file holding a recognisable image with the given selected profile.
  static Bytes FileWithImage(std::uint8_t selected, std::uint8_t first = 0x0A) {
    Bytes file(2478);
    file[0] = first;
    for (int i = 1; i < 2478; ++i)
      file[i] = static_cast<std::uint8_t>(i * 7);
    file[1 + 2420] = selected;
    return file;
  }
  void Load(const fs::path& path) {
    host.QueueFileChoice(path.string());
    dlg->OnBnClickedLoadFromPc();
  }
  void Save(const fs::path& path) {
    host.QueueFileChoice(path.string());
    dlg->OnBnClickedSaveToPc();
  }

  fs::path dir;
};

TEST_F(EscFiles, SaveThenLoadGivesBackTheSameImage) {
  dlg->EditSettings([](SettingsImage& s) {
    for (int i = 0; i < 2477; ++i)
      s.bytes()[i] = static_cast<std::uint8_t>(i * 13);
    s.selectedProfile = 6;
  });
  const Bytes saved = ImageBytes();
  Save(dir / "a.esc");
  const Bytes file = ReadFile(dir / "a.esc");
  ASSERT_EQ(file.size(), 2478u);
  EXPECT_EQ(file[0], 0x0A);
  EXPECT_EQ(Bytes(file.begin() + 1, file.end()), saved);

  dlg->LoadDefaultSettings();  // change the image in memory
  ASSERT_NE(ImageBytes(), saved);
  Load(dir / "a.esc");
  EXPECT_EQ(ImageBytes(), saved);
  EXPECT_TRUE(dlg->m_bFromFile);
  EXPECT_EQ(host.ControlEnabled(IDC_SAVE_TO_PC), true);
  EXPECT_EQ(0, std::memcmp(&dlg->m_refProfile, &DefaultProfileTable[6], sizeof(SettingProfile)));
  EXPECT_TRUE(host.MessageBoxes().empty());

  // Both dialogs look for .esc files; the save dialog asks before overwriting.
  const auto dialogs = host.FileDialogs();
  ASSERT_EQ(dialogs.size(), 2u);
  EXPECT_EQ(dialogs[0].defaultExtension, "esc");
  EXPECT_EQ(dialogs[0].filterPattern, "*.esc");
  EXPECT_TRUE(dialogs[0].confirmOverwrite);
  EXPECT_FALSE(dialogs[1].confirmOverwrite);
}

TEST_F(EscFiles, FirstByteIsNotChecked) {
  WriteFile(dir / "b.esc", FileWithImage(2, 0x55));
  Load(dir / "b.esc");
  EXPECT_TRUE(host.MessageBoxes().empty());
  EXPECT_EQ(dlg->SettingsSnapshot().selectedProfile, 2);
}

TEST_F(EscFiles, BadFilesLeaveTheImageUnchanged) {
  const Bytes good = FileWithImage(1);
  struct Case {
    const char* name;
    Bytes content;
  } cases[] = {
      {"short.esc", Bytes(good.begin() + 1, good.end())},  // the image without its leading byte
      {"long.esc",
       [&] {
         Bytes b = good;
         b.push_back(0);
         return b;
       }()},
      {"empty.esc", {}},
      {"profile10.esc", FileWithImage(10)},
      {"profile255.esc", FileWithImage(255)},
  };
  const Bytes before = ImageBytes();
  for (const Case& c : cases) {
    WriteFile(dir / c.name, c.content);
    Load(dir / c.name);
    EXPECT_EQ(ImageBytes(), before) << c.name;
    EXPECT_FALSE(dlg->m_bFromFile) << c.name;
  }
  EXPECT_EQ(host.MessageBoxes(), std::vector<std::string>(std::size(cases), "file Err!"));
}

TEST_F(EscFiles, MissingFileAndCancelledDialogs) {
  const Bytes before = ImageBytes();
  Load(dir / "missing.esc");
  EXPECT_EQ(host.MessageBoxes(), std::vector<std::string>{"Can't open file!"});

  host.QueueFileChoice(std::nullopt);
  dlg->OnBnClickedLoadFromPc();
  host.QueueFileChoice(std::nullopt);
  dlg->OnBnClickedSaveToPc();
  EXPECT_EQ(host.MessageBoxes().size(), 1u);
  EXPECT_EQ(ImageBytes(), before);
  EXPECT_TRUE(fs::is_empty(dir));
}

TEST_F(EscFiles, SaveReplacesAnExistingFileWhole) {
  WriteFile(dir / "c.esc", Bytes(5000, 0xEE));
  Save(dir / "c.esc");
  const Bytes file = ReadFile(dir / "c.esc");
  EXPECT_EQ(file.size(), 2478u);
  EXPECT_EQ(Bytes(file.begin() + 1, file.end()), ImageBytes());
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(EscFiles, FailedSaveSaysSoAndLeavesNothingBehind) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  WriteFile(dir / "keep.esc", Bytes(100, 0x11));
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  Save(dir / "keep.esc");
  Save(dir / "new.esc");
  fs::permissions(dir, fs::perms::owner_all);
  EXPECT_EQ(host.MessageBoxes(), (std::vector<std::string>{"Can't open file!", "Can't open file!"}));
  EXPECT_EQ(ReadFile(dir / "keep.esc"), Bytes(100, 0x11));
  EXPECT_FALSE(fs::exists(dir / "new.esc"));
}

TEST_F(EscFiles, SaveThatCannotCreateOrReplaceSaysSoAndCleansUp) {
  WriteFile(dir / "plain", Bytes(3, 1));
  fs::create_directories(dir / "folder.esc" / "inside");
  Save(dir / "no-such-folder" / "d.esc");
  Save(dir / "plain" / "d.esc");  // a file where a folder should be
  Save(dir / "folder.esc");       // written, but cannot replace a folder
  EXPECT_EQ(host.MessageBoxes(), std::vector<std::string>(3, "Can't open file!"));
  EXPECT_TRUE(fs::is_directory(dir / "folder.esc" / "inside"));
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

}  // namespace
