// Firmware images from a file or from the server: the header check, the
// version guard, the hand-off to the link, and programming through it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "support/link_fixture.h"
#include "upgrade/loopback_server.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

std::string Text(const Bytes& bytes) {
  return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// The head of a 200 reply that promises a body of this length.
std::string HeadOf(std::size_t length) {
  return "HTTP/1.1 200 X\r\nContent-Length: " + std::to_string(length) + "\r\nConnection: close\r\n\r\n";
}

Bytes Body(int size) {
  Bytes body(size);
  for (int i = 0; i < size; ++i)
    body[i] = static_cast<std::uint8_t>(i * 5 + 1);
  return body;
}

class FirmwareLoading : public LinkTest {
 protected:
  void SetUp() override {
    LinkTest::SetUp();
    // Named for this process: other test runs on the machine use the same folder.
    file = std::filesystem::temp_directory_path() /
           ("corvane-fw-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
  }
  void TearDown() override {
    std::filesystem::remove(file);
    LinkTest::TearDown();
  }
  void WriteImage(const Bytes& image) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));
    dlg->m_strFirmwarePath = file.string();
  }
  void SetEscFirmware(std::uint16_t version) {
    std::lock_guard lock(dlg->m_settingsMutex);
    dlg->m_escId.firmwareVersion = version;
  }
  void OfferFromServer(UpgradeList& list, std::uint16_t version, const std::string& url) {
    list.count = 1;
    list.version[0] = version;
    list.url[0] = url;
  }
  bool Queued(std::uint8_t channel) {
    return dlg->m_bJobQueued && dlg->m_nPendingOp == 'p' && dlg->m_nChannel == channel &&
           dlg->m_frames[0].txCommand == 0x0F;
  }

  std::filesystem::path file;
};

TEST_F(FirmwareLoading, LocalImageIsCheckedAndHandedToTheLink) {
  const Bytes body = Body(300);
  Bytes image = FirmwareImage("ESC", 0x1234, body);
  image.resize(image.size() + 50, 0xEE);  // bytes after the body are not programmed
  WriteImage(image);
  dlg->LoadEscFirmware(0, 1);
  EXPECT_TRUE(host.MessageBoxes().empty());
  ASSERT_TRUE(Queued(kChannelEsc));
  EXPECT_EQ(dlg->m_nFwAddress, 0x1234);
  EXPECT_EQ(dlg->m_nFwLength, 300);
  EXPECT_TRUE(std::equal(body.begin(), body.end(), dlg->m_fwBuffer.begin()));
  EXPECT_EQ(host.ProgressBar().high, 332);
}

TEST_F(FirmwareLoading, HeaderMustNameTheDeviceAndSumToZero) {
  WriteImage(FirmwareImage("BOX", 0x1000, Body(10)));
  dlg->LoadEscFirmware(0, 1);
  EXPECT_FALSE(dlg->m_bJobQueued);
  dlg->LoadBoxFirmware(0, 1);
  EXPECT_TRUE(Queued(kChannelBox));

  dlg->m_bJobQueued = 0;
  WriteImage(FirmwareImage("ESC", 0x1000, Body(10), 1));  // sums to 1
  dlg->LoadEscFirmware(0, 1);
  EXPECT_FALSE(dlg->m_bJobQueued);
  EXPECT_EQ(host.MessageBoxes(), (std::vector<std::string>{"程序文件错误", "程序文件错误"}));
}

TEST_F(FirmwareLoading, ShortOrMissingLocalFilesAreRefused) {
  dlg->m_strFirmwarePath.clear();
  dlg->LoadEscFirmware(0, 1);
  dlg->m_strFirmwarePath = (file.string() + "-missing");
  dlg->LoadEscFirmware(0, 1);
  WriteImage({});
  dlg->LoadEscFirmware(0, 1);
  Bytes cut = FirmwareImage("ESC", 0x1000, Body(100));
  cut.resize(80);  // the header promises more body than the file has
  WriteImage(cut);
  dlg->LoadEscFirmware(0, 1);
  // Only a regular file is read, at once: a device gives what it holds, a
  // FIFO would hang the window, also through a link.
  const std::string fifo = file.string() + "-fifo", link = file.string() + "-link";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  std::filesystem::create_symlink(fifo, link);
  for (const std::string& path : {std::string("/dev/zero"), link, fifo}) {
    dlg->m_strFirmwarePath = path;
    dlg->LoadEscFirmware(0, 1);
  }
  std::filesystem::remove(link);
  std::filesystem::remove(fifo);
  EXPECT_FALSE(dlg->m_bJobQueued);
  EXPECT_EQ(host.MessageBoxes(),
            (std::vector<std::string>{"Can't find file!", "Can't open file!", "No data!", "程序文件错误",
                                      "Can't open file!", "Can't open file!", "Can't open file!"}));

  // A body of length 0 is a program job of length 0.
  WriteImage(FirmwareImage("ESC", 0x1000, {}));
  dlg->LoadEscFirmware(0, 1);
  EXPECT_TRUE(Queued(kChannelEsc));
  EXPECT_EQ(dlg->m_nFwLength, 0);
}

TEST_F(FirmwareLoading, ServerImagesAndTheVersionGuard) {
  LoopbackServer server(
      200,
      std::string(reinterpret_cast<const char*>(FirmwareImage("ESC", 0x800, Body(2000)).data()), 32 + 2000));
  // An ESC at 1.05 takes no server image older than 1.05...
  SetEscFirmware(0x0105);
  OfferFromServer(dlg->m_escOffers, 0x0104, server.Url());
  dlg->LoadEscFirmware(0, 0);
  EXPECT_EQ(host.MessageBoxes(), std::vector<std::string>{"File Err!"});
  EXPECT_FALSE(dlg->m_bJobQueued);
  // ...but one at 1.04 may load 1.00.
  SetEscFirmware(0x0104);
  OfferFromServer(dlg->m_escOffers, 0x0100, server.Url());
  dlg->LoadEscFirmware(0, 0);
  ASSERT_TRUE(Queued(kChannelEsc));
  EXPECT_EQ(dlg->m_nFwLength, 2000);
  EXPECT_EQ(dlg->m_nFwAddress, 0x800);
  EXPECT_EQ(host.StatusHistory().back(), "The program file is downloading from the server...");
  EXPECT_EQ(host.ProgressBar().pos, 2032);
}

TEST_F(FirmwareLoading, ServerFailuresProgramNothing) {
  // A valid image left in the buffer by an earlier load must not be taken
  // for the reply of a server that answered with an error.
  WriteImage(FirmwareImage("ESC", 0x1000, Body(10)));
  dlg->LoadEscFirmware(0, 1);
  dlg->m_bJobQueued = 0;

  LoopbackServer notFound(404, "not here");
  OfferFromServer(dlg->m_escOffers, 0x0200, notFound.Url());
  dlg->LoadEscFirmware(0, 0);
  EXPECT_FALSE(dlg->m_bJobQueued);
  EXPECT_EQ(StatusId(), 111);

  LoopbackPort closed;  // bound, never listening
  OfferFromServer(dlg->m_escOffers, 0x0200, closed.Url());
  dlg->LoadEscFirmware(0, 0);
  EXPECT_FALSE(dlg->m_bJobQueued);
  EXPECT_EQ(StatusId(), 112);

  // With an empty list the local file is used.
  dlg->m_escOffers.count = 0;
  dlg->LoadEscFirmware(0, 0);
  EXPECT_TRUE(Queued(kChannelEsc));
}

TEST_F(FirmwareLoading, ASecondLoadWhileOneIsProgrammedChangesNothing) {
  const Bytes first = Body(300);
  WriteImage(FirmwareImage("ESC", 0x1234, first));
  dlg->LoadEscFirmware(0, 1);
  ASSERT_TRUE(Queued(kChannelEsc));
  // Queued, then sent and awaiting the device's answer: both refuse another image.
  for (bool sent : {false, true}) {
    if (sent) {
      dlg->m_bJobQueued = 0;
      dlg->m_bBusy = 1;
      dlg->m_nPendingOp = 0;
      dlg->m_frames[0].txCommand = 'p';
    }
    WriteImage(FirmwareImage("BOX", 0x0100, Body(50)));
    dlg->LoadBoxFirmware(0, 1);
    EXPECT_EQ(dlg->m_nFwAddress, 0x1234);
    EXPECT_EQ(dlg->m_nFwLength, 300);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), dlg->m_fwBuffer.begin()));
    EXPECT_EQ(dlg->m_nChannel, kChannelEsc);
    EXPECT_TRUE(host.MessageBoxes().empty());
  }
}

TEST_F(FirmwareLoading, AShortDownloadLeavesTheLastHandOffAsItWas) {
  WriteImage(FirmwareImage("ESC", 0x1234, Body(300)));
  dlg->LoadEscFirmware(0, 1);
  dlg->m_bJobQueued = 0;
  dlg->m_nPendingOp = 0;
  LoopbackServer shortReply(200, "\x12\x34\x01");  // fewer bytes than a header
  OfferFromServer(dlg->m_escOffers, 0x0200, shortReply.Url());
  dlg->LoadEscFirmware(0, 0);
  EXPECT_FALSE(dlg->m_bJobQueued);
  EXPECT_EQ(dlg->m_nFwAddress, 0x1234);
  EXPECT_EQ(dlg->m_nFwLength, 300);
  EXPECT_EQ(host.MessageBoxes(), std::vector<std::string>{"程序文件错误"});
}

TEST_F(FirmwareLoading, OnlyAWholeImageFromTheServerIsProgrammed) {
  const std::string image = Text(FirmwareImage("ESC", 0x800, Body(2000)));
  const struct {
    const char* what;
    std::string reply;
    int status;
    bool fileError;
  } cases[] = {
      {"breaks off mid-body", HeadOf(image.size()) + image.substr(0, 1000), 112, false},
      {"shorter than its header says", HttpReply(200, image.substr(0, 1000)), 110, true},
      {"larger than the buffer", HttpReply(200, image + std::string(kFwBufferSize, 'x')), 110, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScriptedServer server([&](const std::string&) { return ScriptedServer::Reply{c.reply}; });
    OfferFromServer(dlg->m_escOffers, 0x0200, server.Url());
    const std::size_t boxes = host.MessageBoxes().size();
    dlg->LoadEscFirmware(0, 0);
    EXPECT_FALSE(dlg->m_bJobQueued);
    EXPECT_EQ(StatusId(), c.status);
    const auto shown = host.MessageBoxes();
    EXPECT_EQ(shown.size(), boxes + (c.fileError ? 1 : 0));
    if (c.fileError) {
      EXPECT_EQ(shown.back(), "程序文件错误");
    }
  }
}

TEST_F(FirmwareLoading, ClosingTheWindowDuringADownloadProgramsNothing) {
  WriteImage(FirmwareImage("BOX", 0x0100, Body(50)));
  const std::string image = Text(FirmwareImage("ESC", 0x800, Body(2000)));
  // Part of the image, then the server holds. Once the window shows it, the
  // user tries another load and closes the window.
  ScriptedServer server([&](const std::string&) {
    return ScriptedServer::Reply{
        HeadOf(image.size()) + image.substr(0, 1000), true, [&] {
          const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(1);
          while (host.ProgressBar().pos < 1000 && std::chrono::steady_clock::now() < guard)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
          host.post([&] {
            EXPECT_TRUE(dlg->DownloadUnderWay());
            dlg->LoadBoxFirmware(0, 1);
            dlg->OnCancel();
          });
        }};
  });
  OfferFromServer(dlg->m_escOffers, 0x0200, server.Url());
  dlg->LoadEscFirmware(0, 0);
  EXPECT_EQ(host.EndResult(), platform::kIdCancel);
  EXPECT_FALSE(dlg->m_bJobQueued);
  EXPECT_FALSE(dlg->DownloadUnderWay());
  EXPECT_TRUE(host.MessageBoxes().empty());
  EXPECT_EQ(StatusId(), 110);  // nothing said after the close
  EXPECT_EQ(host.ProgressBar().high, 2032);
}

TEST_F(FirmwareLoading, NoBoxNoProgramming) {
  WriteImage(FirmwareImage("ESC", 0x1000, Body(10)));
  // With a request left from before the box went, and with none: nothing is
  // queued to the stopped link.
  for (std::uint8_t left : {1, 0}) {
    dlg->m_bLinkRunning = 0;
    dlg->m_bJobQueued = left;
    dlg->LoadEscFirmware(0, 1);
    EXPECT_EQ(StatusId(), 27);
    EXPECT_NE(dlg->m_nPendingOp, 'p');
    EXPECT_EQ(dlg->m_bJobQueued, left);
  }
  // Once the box is back, the firmware page's press goes through and holds it.
  dlg->m_bLinkRunning = 1;
  host.QueueFileChoice(file.string());
  dlg->StartPageUpgrade(true);
  EXPECT_TRUE(Queued(kChannelEsc));
  EXPECT_TRUE(dlg->m_bUpgradeStarted);

  // The box goes before the link has taken that job: it is dropped, said so,
  // and the firmware page is free again.
  dlg->m_hidApi.HidDevice_GetNumHidDevices = [](std::uint16_t, std::uint16_t) -> std::uint32_t { return 0; };
  const platform::DeviceChangeRecord gone{platform::kDeviceTypeInterface, "/dev/hidraw-fake0"};
  dlg->OnDeviceChange(platform::kDeviceRemoveComplete, &gone);
  EXPECT_FALSE(dlg->m_bJobQueued);
  EXPECT_EQ(dlg->m_nPendingOp, 0);
  EXPECT_EQ(dlg->m_bUpgradeStarted, 0);
  EXPECT_EQ(host.StatusHistory().back(), EnglishTexts({27}).front());
}

TEST_F(FirmwareLoading, ProgramsTheEscThroughTheLink) {
  dlg->m_bLinkRunning = 0;
  devices.SetEscMemory(EscMemoryWithProfile(1));
  StartLink();
  ASSERT_TRUE(WaitFor(host, [&] { return StatusId() == 20 && dlg->LinkIdle(); }));
  devices.ClearCommands();
  const Bytes body = Body(1500);
  WriteImage(FirmwareImage("ESC", 0x0400, body));
  dlg->LoadEscFirmware(0, 1);
  ASSERT_TRUE(WaitStatus(18));
  // The ESC's identify and the program; the identify after its restart may follow.
  const auto commands = devices.Commands();
  ASSERT_GE(commands.size(), 2u);
  EXPECT_EQ(commands[0].command, 0x0F);
  EXPECT_EQ(commands[0].channel, kChannelEsc);
  EXPECT_EQ(commands[1].command, 'p');
  EXPECT_EQ(commands[1].address, 0x0400);
  EXPECT_EQ(commands[1].data, body);
}

TEST_F(FirmwareLoading, UpgradePagePicksALocalImage) {
  const auto root =
      std::filesystem::temp_directory_path() / ("corvane-page-up-" + std::to_string(::getpid()));
  std::filesystem::create_directories(root);
  ::setenv("CORVANE_DRIVE_C", root.c_str(), 1);
  WriteImage(FirmwareImage("BOX", 0x0200, Body(20)));
  dlg->m_strFirmwarePath.clear();

  host.QueueFileChoice(std::nullopt);  // cancelled: nothing happens
  dlg->m_pageUp.OnBnClickedLocalBox();
  dlg->m_pageUp.OnBnClickedUpgradeEsc();  // no version selected
  EXPECT_FALSE(dlg->m_bJobQueued);
  EXPECT_TRUE(dlg->m_strFirmwarePath.empty());

  host.QueueFileChoice(file.string());
  dlg->m_pageUp.OnBnClickedLocalBox();
  EXPECT_TRUE(Queued(kChannelBox));
  EXPECT_EQ(dlg->m_pageUp.m_strBoxFile, file.string());
  EXPECT_EQ(dlg->m_strFirmwarePath, file.string());
  std::ifstream ini(root / "Information.ini");
  const std::string written((std::istreambuf_iterator<char>(ini)), {});
  EXPECT_NE(written.find("binbox=" + file.string()), std::string::npos);
  EXPECT_EQ(host.FileDialogs().back().filterPattern, "*.bin");

  // Each pick sets its key in the [Information] section and leaves the rest.
  const std::string p = file.string();
  const struct {
    bool esc;
    std::string before, after;
  } cases[] = {
      {false, "[Information]\nbinbox=old\n", "[Information]\nbinbox=" + p + "\n"},
      {true, "[Other]\nbin=keep\n\n[ information ]\nBIN = old\nk=v\n",
       "[Other]\nbin=keep\n\n[ information ]\nBIN=" + p + "\nk=v\n"},
      {true, "; note\n[INFORMATION]\nbinbox=x\n\n[Next]\nk=v",
       "; note\n[INFORMATION]\nbinbox=x\nbin=" + p + "\n\n[Next]\nk=v\n"},
      {true, "[Other]\nk=v\n", "[Other]\nk=v\n[Information]\nbin=" + p + "\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before);
    std::ofstream(root / "Information.ini", std::ios::trunc) << c.before;
    host.QueueFileChoice(p);
    if (c.esc) {
      dlg->m_pageUp.OnBnClickedLocalEsc();
    } else {
      dlg->m_pageUp.OnBnClickedLocalBox();
    }
    std::ifstream after(root / "Information.ini");
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(after)), {}), c.after);
  }
  std::filesystem::remove_all(root);
}

}  // namespace
