// The built Corvane.dll loaded the way the program loads it: every entry point
// resolves by name, an identify goes round, and the control functions steer
// the same simulator.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>

#include "hidlib/hid_device.h"
#include "sim/sim_client.h"
#include "sim_test_util.h"

namespace corvane::sim {
namespace {

using testing::Bytes;
using testing::PlugRecorder;

#define CORVANE_HID_NAME(name) #name,
const char* const kHidFunctions[] = {CV_HID_DEVICE_FUNCTIONS(CORVANE_HID_NAME)};
#undef CORVANE_HID_NAME
static_assert(std::size(kHidFunctions) == 27);

class SimDllTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library = dlopen(CORVANE_SIM_DLL, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    std::string missing;
    ASSERT_TRUE(sim.load(library, &missing)) << missing;
    sim.CorvaneSim_Reset();
    sim.CorvaneSim_SetReportInterval(0);
  }

  void TearDown() override {
    if (library == nullptr) return;
    sim.CorvaneSim_SetPlugListener(nullptr, nullptr);
    dlclose(library);
  }

  template <class F>
  F* fn(const char* name) {
    return reinterpret_cast<F*>(dlsym(library, name));
  }

  void* library = nullptr;
  SimClient sim;
  PlugRecorder recorder;
};

TEST_F(SimDllTest, ExportsTheLibraryFunctionsAndNothingOfItsInsides) {
  for (const char* name : kHidFunctions)
    EXPECT_NE(dlsym(library, name), nullptr) << name;
  EXPECT_EQ(dlsym(library, "_ZN7corvane3sim4sum8EPKhm"), nullptr);  // corvane::sim::sum8
}

TEST_F(SimDllTest, IdentifyRoundTripThroughTheLibrary) {
  auto count = fn<decltype(HidDevice_GetNumHidDevices)>("HidDevice_GetNumHidDevices");
  auto hidString = fn<decltype(HidDevice_GetHidString)>("HidDevice_GetHidString");
  auto open = fn<decltype(HidDevice_Open)>("HidDevice_Open");
  auto isOpened = fn<decltype(HidDevice_IsOpened)>("HidDevice_IsOpened");
  auto setTimeouts = fn<decltype(HidDevice_SetTimeouts)>("HidDevice_SetTimeouts");
  auto getTimeouts = fn<decltype(HidDevice_GetTimeouts)>("HidDevice_GetTimeouts");
  auto outLength =
      fn<decltype(HidDevice_GetOutputReportBufferLength)>("HidDevice_GetOutputReportBufferLength");
  auto maxRequest = fn<decltype(HidDevice_GetMaxReportRequest)>("HidDevice_GetMaxReportRequest");
  auto write = fn<decltype(HidDevice_SetOutputReport_Interrupt)>("HidDevice_SetOutputReport_Interrupt");
  auto read = fn<decltype(HidDevice_GetInputReport_Interrupt)>("HidDevice_GetInputReport_Interrupt");
  auto getString = fn<decltype(HidDevice_GetString)>("HidDevice_GetString");
  auto close = fn<decltype(HidDevice_Close)>("HidDevice_Close");

  ASSERT_EQ(count(0x10C4, 0x8468), 1u);
  char path[260];
  ASSERT_EQ(hidString(0, 0x10C4, 0x8468, CV_HID_STRING_PATH, path, sizeof path), CV_HID_OK);
  EXPECT_STREQ(path, "/dev/hidraw-sim0");

  CvHidDevice device = nullptr;
  ASSERT_EQ(open(&device, 0, 0x10C4, 0x8468, 512), CV_HID_OK);
  EXPECT_NE(isOpened(device), 0);
  std::uint32_t in = 0, out = 0;
  getTimeouts(device, &in, &out);
  EXPECT_EQ(in, 10u);
  EXPECT_EQ(out, 500u);
  setTimeouts(device, 1000, 500);
  const std::uint16_t length = outLength(device);
  ASSERT_EQ(length, 65);
  const std::uint32_t k = maxRequest(device);
  ASSERT_GE(k, 2u);

  Bytes report = testing::outputReport(kChannelEsc, testing::fixed(kIdentifyCommand));
  ASSERT_EQ(write(device, report.data(), length), CV_HID_OK);
  // The reply comes in two reports; ask for exactly two.
  Bytes buffer(k * length);
  std::uint32_t bytes = 0;
  ASSERT_EQ(read(device, buffer.data(), static_cast<std::uint32_t>(buffer.size()), 1, &bytes), CV_HID_OK);
  Bytes reply(buffer.begin() + 3, buffer.begin() + 3 + buffer[2]);
  if (reply.size() < 24) {
    ASSERT_EQ(read(device, buffer.data(), static_cast<std::uint32_t>(buffer.size()), 1, &bytes), CV_HID_OK);
    reply.insert(reply.end(), buffer.begin() + 3, buffer.begin() + 3 + buffer[2]);
  }
  EXPECT_EQ(buffer[1], kChannelEsc);
  EXPECT_EQ(reply, identifyReply(Identity::make("ESC12", 0, 0x0105, 0x10)));
  EXPECT_EQ(sim.CorvaneSim_GetCounter(0, CORVANE_SIM_COUNT_OUTPUT_REPORTS), 1u);
  std::uint8_t last[8] = {};
  EXPECT_EQ(sim.CorvaneSim_GetLastCommand(0, 1, last, sizeof last), 7);
  EXPECT_EQ(std::memcmp(last, kIdentifyCommand.data(), 7), 0);

  char openPath[260];
  EXPECT_EQ(getString(device, CV_HID_STRING_PATH, openPath, sizeof openPath), CV_HID_OK);
  EXPECT_STREQ(openPath, path);
  EXPECT_EQ(close(device), CV_HID_OK);
  EXPECT_EQ(isOpened(device), 0);
}

TEST_F(SimDllTest, ControlFunctionsSteerTheSimulatorBehindTheLibrary) {
  auto count = fn<decltype(HidDevice_GetNumHidDevices)>("HidDevice_GetNumHidDevices");
  sim.CorvaneSim_SetPlugListener(&PlugRecorder::listener, &recorder);

  ASSERT_EQ(sim.CorvaneSim_SetBoxCount(2), 0);
  EXPECT_EQ(count(0x10C4, 0x8468), 2u);
  char path[64];
  ASSERT_EQ(sim.CorvaneSim_GetBoxPath(1, path, sizeof path), 0);
  ASSERT_EQ(sim.CorvaneSim_Unplug(0), 0);
  EXPECT_EQ(count(0x10C4, 0x8468), 1u);
  EXPECT_EQ(sim.CorvaneSim_WaitForNotifications(30000), 1);
  EXPECT_EQ(recorder.events(), (std::vector<PlugRecorder::Event>{{true, path}, {false, "/dev/hidraw-sim0"}}));

  CorvaneSimIdentity id{};
  ASSERT_EQ(sim.CorvaneSim_GetIdentity(0, CORVANE_SIM_ESC, &id), 0);
  EXPECT_STREQ(id.model, "ESC12");
  EXPECT_EQ(id.firmwareVersion, 0x0105);
  ASSERT_EQ(sim.CorvaneSim_SetEscModel(0, "ESC08"), 0);
  ASSERT_EQ(sim.CorvaneSim_GetIdentity(0, CORVANE_SIM_ESC, &id), 0);
  EXPECT_STREQ(id.model, "ESC08");

  std::uint8_t settings[2477];
  ASSERT_EQ(sim.CorvaneSim_GetEscSettings(0, settings, sizeof settings), 0);
  settings[2420] = 12;
  ASSERT_EQ(sim.CorvaneSim_SetEscSettings(0, settings, sizeof settings), 0);
  EXPECT_EQ(sim.CorvaneSim_SetEscSettings(0, settings, 2476), -1);
  EXPECT_EQ(sim.CorvaneSim_SetEscSettings(5, settings, sizeof settings), -1);
  EXPECT_EQ(sim.CorvaneSim_GetProgrammedImage(0, CORVANE_SIM_ESC, nullptr, 0, nullptr), -1);
}

}  // namespace
}  // namespace corvane::sim
