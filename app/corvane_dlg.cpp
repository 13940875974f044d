#include "app/corvane_dlg.h"

#include <cstring>

CCorvaneDlg::CCorvaneDlg(platform::DialogHost& host) : m_host(host) {
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

CCorvaneDlg::~CCorvaneDlg() { OnDestroy(); }

void CCorvaneDlg::OnDestroy() {
  m_hDevNotify.reset();
  // The thread stops before the device it uses is closed, and the device is
  // closed before the library goes.
  StopCommThread();
  if (m_hHidLibrary != nullptr && m_hidApi.HidDevice_IsOpened(m_hHidDevice)) {
    m_hidApi.HidDevice_Close(m_hHidDevice);
  }
  m_hHidDevice = nullptr;
  if (m_hHidLibrary != nullptr) {
    platform::FreeLibraryFile(m_hHidLibrary);
    m_hHidLibrary = nullptr;
  }
}

SettingsImage CCorvaneDlg::SettingsSnapshot() const {
  std::lock_guard lock(m_settingsMutex);
  return m_settings;
}
