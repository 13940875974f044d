#include "app/corvane_dlg.h"

#include <cstring>

CCorvaneDlg::CCorvaneDlg(platform::DialogHost& host) : m_host(host), m_hIcon(platform::LoadAppIcon()) {
  // Until the factory defaults are loaded the image asks for a full reset.
  m_settings.selectedProfile = 10;
  std::memset(m_settings.escUpgradeBytes, 0xFF, sizeof m_settings.escUpgradeBytes);

  // The link device's fixed identity: "QRT10", firmware 1.01.
  std::memcpy(m_linkId.modelName, "QRT10", 6);
  m_linkId.identityWord = 0;
  m_linkId.firmwareVersion = 0x0101;

  m_escOffers.queryUrl = DefaultQueryUrl(kDefaultEscQueryId);
  m_boxOffers.queryUrl = DefaultQueryUrl(kDefaultBoxQueryId);
  m_linkOffers.queryUrl = DefaultQueryUrl(kDefaultLinkQueryId);
  std::memset(m_escOffers.deviceBytes, 0xFF, sizeof m_escOffers.deviceBytes);
  std::memset(m_boxOffers.deviceBytes, 0xFF, sizeof m_boxOffers.deviceBytes);
  std::memset(m_boxExtraBytes, 0xFF, sizeof m_boxExtraBytes);

  m_frames[0].rxBuffer = m_rxEsc.data();
  m_frames[1].rxBuffer = m_rxBox.data();
}

// A dialog torn down without its window (tests) still stops its threads.
CCorvaneDlg::~CCorvaneDlg() {
  OnDestroy();
}

SettingsImage CCorvaneDlg::SettingsSnapshot() const {
  std::lock_guard lock(m_settingsMutex);
  return m_settings;
}
