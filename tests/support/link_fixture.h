// A main dialog on a headless host and the fake HID library, for link tests.
// Direct tests call the link's functions on the test thread with the run
// flag set; threaded tests start the real communication thread.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/corvane_dlg.h"
#include "support/fake_hid.h"
#include "support/headless_host.h"
#include "support/scripted_devices.h"

// Polls until the condition holds or a generous limit passes (a guard against
// a hung test, not a timing check: a slow operation on a loaded machine still
// ends well within it). Pumps the host's UI tasks meanwhile.
bool WaitFor(HeadlessHost& host, const std::function<bool()>& condition,
             std::chrono::milliseconds limit = std::chrono::minutes(2));

// Waits until the status line has shown the English text of id at entry
// `from` of its history or later, and moves `from` just past it. The history
// is a record: a text replaced at once is found all the same, and successive
// calls prove the order the texts came in.
bool WaitShown(HeadlessHost& host, int id, std::size_t& from);

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs the communication thread on the fake device.
  void StartLink();
  // The long pauses the link took, in milliseconds.
  std::vector<int> Pauses();
  // The text id of the status line and the texts it showed.
  int StatusId() const { return dlg->m_nStatusTextId; }
  // Waits until the status line has shown id after what earlier calls found.
  bool WaitStatus(int id) { return WaitShown(host, id, m_shown); }
  // The image as bytes.
  std::vector<std::uint8_t> ImageBytes() const;
  // Waits until no request is pending and no reply awaited.
  bool WaitIdle();

  HeadlessHost host;
  FakeHid hid;
  ScriptedDevices devices{hid};
  std::unique_ptr<CCorvaneDlg> dlg;

 private:
  std::mutex m_pauseMutex;
  std::vector<int> m_pauses;
  std::size_t m_shown = 0;
};

// The English texts of the ids, as the status line shows them.
std::vector<std::string> EnglishTexts(std::initializer_list<int> ids);

// A firmware image: a header with address, body length and tag, whose bytes
// sum to sumOffset (0 for a valid one), then the body.
std::vector<std::uint8_t> FirmwareImage(const char* tag, int address, const std::vector<std::uint8_t>& body,
                                        int sumOffset = 0);

// A factory image with profile k selected and a valid calibration, as an
// ESC holds it, followed by 8 live bytes.
std::vector<std::uint8_t> EscMemoryWithProfile(int selected);
