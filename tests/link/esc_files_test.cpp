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

// Whether a folder refuses new files; modes do not stop root.
bool RefusesNewFiles(const fs::path& folder) {
  const fs::path probe = folder / "probe";
  if (!std::ofstream(probe).is_open()) return true;
  fs::remove(probe);
  return false;
}

TEST_F(EscFiles, SaveKeepsModeAndLinksAndWritesInPlaceWhereTheFolderTakesNoNewFile) {
  using P = fs::perms;
  const P none = P::none;
  struct Case {
    const char* name;
    P fileMode;  // of the file there before; none: no file
    bool throughLink, readOnlyFolder;
    bool saved;  // else refused with "Can't open file!" and nothing changed
  } cases[] = {
      {"mode", P::owner_all | P::group_read, false, false, true},
      {"link", P::owner_read | P::owner_write, true, false, true},
      {"in-place", P::owner_read | P::owner_write | P::others_read, false, true, true},
      {"read-only", P::owner_read, false, true, false},
      {"new", none, false, true, false},
  };
  Bytes image = ImageBytes();
  image.insert(image.begin(), 0x0A);
  bool skipped = false;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path folder = dir / c.name;
    const fs::path file = c.throughLink ? folder / "sub" / "real.esc" : folder / "f.esc";
    fs::create_directories(file.parent_path());
    if (c.fileMode != none) {
      WriteFile(file, Bytes(5000, 0xEE));
      fs::permissions(file, c.fileMode);
    }
    if (c.throughLink) fs::create_symlink("sub/real.esc", folder / "link.esc");
    if (c.readOnlyFolder) fs::permissions(folder, P::owner_read | P::owner_exec);
    if (c.readOnlyFolder && !RefusesNewFiles(folder)) {
      fs::permissions(folder, P::owner_all);
      skipped = true;
      continue;
    }
    const std::size_t messages = host.MessageBoxes().size();
    Save(c.throughLink ? folder / "link.esc" : file);
    fs::permissions(folder, P::owner_all);

    const auto boxes = host.MessageBoxes();
    EXPECT_EQ(std::vector<std::string>(boxes.begin() + messages, boxes.end()),
              c.saved ? std::vector<std::string>{} : std::vector<std::string>{"Can't open file!"});
    if (c.saved) {
      EXPECT_EQ(ReadFile(file), image);
      EXPECT_EQ(fs::status(file).permissions(), c.fileMode);
    } else if (c.fileMode != none) {
      EXPECT_EQ(ReadFile(file), Bytes(5000, 0xEE));
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()),
              c.fileMode != none ? 1 : 0);
    EXPECT_EQ(fs::is_symlink(folder / "link.esc"), c.throughLink);
  }
  if (skipped) GTEST_SKIP() << "this user writes into read-only folders";
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
