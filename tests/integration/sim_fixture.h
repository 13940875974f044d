// The program's link through its real binding: the simulated Corvane.dll
// loaded by LoadHidLibrary from the simulator's drive-C root, the device
// notifications and the communication thread, steered through the
// simulator's control functions.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/corvane_dlg.h"
#include "sim/sim_client.h"
#include "support/headless_host.h"
#include "support/link_fixture.h"

class SimLink : public ::testing::Test {
 protected:
  void SetUp() override {
    ::setenv("CORVANE_DRIVE_C", CORVANE_SIM_DRIVE_C, 1);
    const std::string path = std::string(CORVANE_SIM_DRIVE_C) + "/Windows/Corvane.dll";
    m_library = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(m_library, nullptr) << ::dlerror();
    std::string missing;
    ASSERT_TRUE(sim.load(m_library, &missing)) << missing;
    sim.CorvaneSim_Reset();
    sim.CorvaneSim_SetReportInterval(0);
    sim.CorvaneSim_SetEscRestartTime(0, 50);
    sim.CorvaneSim_SetBoxRestartTimes(20, 100);

    dlg = std::make_unique<CCorvaneDlg>(host);
    dlg->m_linkPauseForTests = [](int) {};
    ASSERT_TRUE(dlg->LoadHidLibrary());
    dlg->LoadDefaultSettings();
  }

  void TearDown() override {
    if (dlg) dlg->OnDestroy();
    dlg.reset();
    if (m_library != nullptr) ::dlclose(m_library);
  }

  // Registers for device events and opens the box, as start-up does.
  void Connect() {
    dlg->RegisterHidNotification();
    dlg->ConnectDevice();
  }
  // Waits until the status line has shown id after what earlier calls found.
  bool WaitStatus(int id) { return WaitShown(host, id, m_shown); }
  bool WaitIdle() {
    return WaitFor(host, [&] { return dlg->LinkIdle(); });
  }
  // Connects and waits for the first contact's settings read.
  void ConnectAndRead() {
    Connect();
    ASSERT_TRUE(WaitStatus(20));
    ASSERT_TRUE(WaitIdle());
  }

  std::vector<std::uint8_t> SimSettings(std::uint32_t box = 0) {
    std::vector<std::uint8_t> bytes(kSettingsSize);
    sim.CorvaneSim_GetEscSettings(box, bytes.data(), kSettingsSize);
    return bytes;
  }
  void SetSimSettings(const std::vector<std::uint8_t>& bytes, std::uint32_t box = 0) {
    sim.CorvaneSim_SetEscSettings(box, bytes.data(), kSettingsSize);
  }
  std::vector<std::uint8_t> Image() {
    const SettingsImage image = dlg->SettingsSnapshot();
    std::vector<std::uint8_t> bytes(sizeof image);
    std::memcpy(bytes.data(), &image, sizeof image);
    return bytes;
  }
  void SetIdentity(int device, const char* model, std::uint16_t word, std::uint16_t version) {
    CorvaneSimIdentity id{};
    std::memcpy(id.model, model, std::min<std::size_t>(std::strlen(model), sizeof id.model));
    id.identityWord = word;
    id.firmwareVersion = version;
    id.hardwareVersion = 0x10;
    sim.CorvaneSim_SetIdentity(0, device, &id);
  }
  std::uint64_t Counter(int counter) { return sim.CorvaneSim_GetCounter(0, counter); }

  HeadlessHost host;
  std::unique_ptr<CCorvaneDlg> dlg;
  corvane::sim::SimClient sim;

 private:
  void* m_library = nullptr;
  std::size_t m_shown = 0;
};
