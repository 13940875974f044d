// The whole upgrade against the local upgrade server: the offers that follow
// a settings read are answered Yes, the images are downloaded and programmed
// into the simulated ESC and box, and the box is back after its restart.
#include <fstream>
#include <iterator>

#include "sim_fixture.h"
#include "support/local_upgrade_server.h"
#include "upgrade/loopback_server.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes FileBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(file), {});
}

TEST_F(SimLink, UpgradesTheEscAndTheBoxFromTheLocalServer) {
  LocalUpgradeServer server(CORVANE_PYTHON, CORVANE_UPGRADE_SERVER_SCRIPT, CORVANE_FIRMWARE_DIR);
  ASSERT_FALSE(server.Base().empty());
  UpgradeServerOverride address(server.Base().c_str());
  host.QueueButton(platform::kIdOk);  // the ESC's offer
  host.QueueButton(platform::kIdOk);  // the box's, after the ESC's restart

  ConnectAndRead();
  // The ESC: downloaded, programmed, restarted and read again; then the box:
  // downloaded, programmed, gone and back, identified and read again.
  for (int id : {110, 26, 18, 20, 110, 109, 108, 20})
    ASSERT_TRUE(WaitStatus(id)) << id;
  ASSERT_TRUE(WaitIdle());
  std::vector<std::string> questions;
  for (const auto& dialog : host.Dialogs())
    questions.push_back(dialog.items[0].text);
  EXPECT_EQ(questions, EnglishTexts({113, 114}));
  EXPECT_TRUE(dlg->m_bBoxPresent && dlg->m_bEscConnected);
  EXPECT_FALSE(dlg->m_bBoxRestarting);

  // Each device holds the body of the newest image the server lists for it.
  const struct {
    int device;
    const char* image;
  } devices[] = {{CORVANE_SIM_ESC, "ESC_1.08.bin"}, {CORVANE_SIM_BOX, "BOX_1.02.bin"}};
  for (const auto& [device, image] : devices) {
    SCOPED_TRACE(image);
    const Bytes file = FileBytes(std::string(CORVANE_FIRMWARE_DIR) + "/" + image);
    ASSERT_GT(file.size(), 32u);
    Bytes programmed(file.size());
    std::uint32_t target = 0;
    const int length =
        sim.CorvaneSim_GetProgrammedImage(0, device, programmed.data(), programmed.size(), &target);
    programmed.resize(static_cast<std::size_t>(std::max(length, 0)));
    EXPECT_EQ(programmed, Bytes(file.begin() + 32, file.end()));
    EXPECT_EQ(target, file[0] * 256u + file[1]);
  }
}

}  // namespace
