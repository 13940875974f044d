#include "support/link_fixture.h"

#include <cstring>

#include "app/texts/ui_text_table.h"

bool WaitFor(HeadlessHost& host, const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    host.Pump();
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  host.Pump();
  return true;
}

bool WaitShown(HeadlessHost& host, int id, std::size_t& from) {
  const std::string text = UiText(id, kLanguageEnglish);
  std::size_t at = 0;
  const bool shown = WaitFor(host, [&] {
    const std::vector<std::string> history = host.StatusHistory();
    for (at = from; at < history.size(); ++at) {
      if (history[at] == text) return true;
    }
    return false;
  });
  if (shown) from = at + 1;
  return shown;
}

void LinkTest::SetUp() {
  dlg = std::make_unique<CCorvaneDlg>(host);
  dlg->m_hidApi = FakeHid::Api();
  dlg->m_hHidDevice = FakeHid::Device();
  dlg->m_bLinkRunning = 1;
  // Direct tests stand where the link's first identify has been sent.
  dlg->m_bIdentifySent = 1;
  dlg->m_linkPauseForTests = [this](int ms) {
    std::lock_guard lock(m_pauseMutex);
    m_pauses.push_back(ms);
  };
  dlg->LoadDefaultSettings();
}

void LinkTest::TearDown() {
  devices.Release();  // a held thread could not be stopped
  dlg->StopCommThread();
  dlg.reset();
}

void LinkTest::StartLink() {
  dlg->m_bIdentifySent = 0;  // the thread begins with its identify
  dlg->StartCommThread();
}

std::vector<int> LinkTest::Pauses() {
  std::lock_guard lock(m_pauseMutex);
  return m_pauses;
}

std::vector<std::uint8_t> LinkTest::ImageBytes() const {
  const SettingsImage image = dlg->SettingsSnapshot();
  std::vector<std::uint8_t> bytes(sizeof image);
  std::memcpy(bytes.data(), &image, sizeof image);
  return bytes;
}

bool LinkTest::WaitIdle() {
  return WaitFor(host, [this] { return !dlg->m_bJobQueued && !dlg->m_bBusy && !dlg->m_bHandlingReply; });
}

std::vector<std::uint8_t> EscMemoryWithProfile(int selected) {
  SettingsImage image{};
  std::memcpy(image.profiles, DefaultProfileTable, sizeof image.profiles);
  image.selectedProfile = static_cast<std::uint8_t>(selected);
  image.throttleLow = 2100;
  image.throttleNeutral = 3100;
  image.throttleHigh = 4100;
  image.deadBand = 150;
  std::memset(image.reserved2, 0xFF, sizeof image.reserved2);
  // Live bytes: RPM period, ESC and motor temperature words, two spare bytes.
  const std::uint8_t live[8] = {0x12, 0x34, 0x06, 0x66, 0x07, 0x77, 0, 0};
  std::vector<std::uint8_t> memory(sizeof image + sizeof live);
  std::memcpy(memory.data(), &image, sizeof image);
  std::memcpy(memory.data() + sizeof image, live, sizeof live);
  return memory;
}

std::vector<std::uint8_t> FirmwareImage(const char* tag, int address, const std::vector<std::uint8_t>& body,
                                        int sumOffset) {
  std::vector<std::uint8_t> image(32, 0);
  image[0] = static_cast<std::uint8_t>(address >> 8);
  image[1] = static_cast<std::uint8_t>(address);
  image[2] = static_cast<std::uint8_t>(body.size() >> 8);
  image[3] = static_cast<std::uint8_t>(body.size());
  std::memcpy(&image[8], tag, 3);
  std::uint8_t sum = 0;
  for (std::uint8_t b : image)
    sum = static_cast<std::uint8_t>(sum + b);
  image[31] = static_cast<std::uint8_t>(-sum + sumOffset);
  image.resize(32 + body.size());
  if (!body.empty()) std::memcpy(&image[32], body.data(), body.size());
  return image;
}

std::vector<std::string> EnglishTexts(std::initializer_list<int> ids) {
  std::vector<std::string> texts;
  for (int id : ids)
    texts.push_back(UiText(id, kLanguageEnglish));
  return texts;
}
