// Setting the main window up and taking it down.
#include "app/corvane_dlg.h"
#include "app/texts/ui_text_table.h"
#include "platform/locale.h"

namespace {

// The About item's text, the same in every language.
constexpr const char* kAboutMenuText = "About Corvane(&A)...";

}  // namespace

bool CCorvaneDlg::OnInitDialog() {
  // Without the HID library the window stays up but does nothing: no
  // title, only the system menu's own Move and Close, no link, no timers.
  if (!LoadHidLibrary()) return false;

  m_nLanguage = LanguageFromLocale(platform::SystemDefaultLocaleId());
  m_host.setTitle(GetTitleText());
  m_host.setSystemMenuItem(IDM_ABOUTBOX, kAboutMenuText);
  m_host.setSystemMenuItem(IDM_LANGUAGE, GetText(101));
  m_host.setSystemMenuItem(SC_MOVE, GetText(102));
  m_host.setSystemMenuItem(SC_CLOSE, GetText(103));
  // The constructor left the profile index at 10: this is the full reset.
  LoadDefaultSettings();
  m_pageSeting.m_pSettings = &m_settings;
  m_pageSeting.m_pRefProfile = &m_refProfile;
  m_pageUp.m_pSettings = &m_settings;
  m_pageStatus.m_pStatus = &m_status;
  ApplyLanguageTexts();

  m_nPage = 0;
  m_rcDrag = {};
  m_nListRequest = 0;
  m_bUpgradeStarted = 0;
  m_bUpgradeOnLink = 0;
  m_rcPrevious = {};
  m_nDragState = 0;
  m_nOpenList = 0;
  m_nTempUnit = 0;
  m_bFwListOpen = 0;
  m_nLiveTiming = 0;
  m_nProgress = 101;
  m_nGearRatio = 1000;
  m_nWheelDiameter = 60;
  m_nPoles = 2;
  for (int row = 0; row < kTileCount; ++row)
    m_tiles[row] = kPictureTable[row];
  m_bRedrawPage = 0;

  // Last, so that a first settings read that completes at once finds the
  // page state set and is not undone by it.
  RegisterHidNotification();
  ConnectDevice();  // starts the communication thread when the box opens
  m_host.setTimer(TIMER_FIRST_PAINT, 20);
  m_host.setTimer(TIMER_UI_TICK, 200);
  return true;
}

void CCorvaneDlg::OnDestroy() {
  m_hDevNotify.reset();
  // Every thread stops before what it uses goes: the upgrade check gives up
  // its waits and queries, the link thread (which starts upgrade checks) ends,
  // then the check is joined; the device is closed before the library goes.
  StopUpgradeCheck();
  StopCommThread();
  if (m_hUpgradeThread.joinable()) m_hUpgradeThread.join();
  if (m_hHidLibrary != nullptr && m_hidApi.HidDevice_IsOpened(m_hHidDevice)) {
    m_hidApi.HidDevice_Close(m_hHidDevice);
  }
  m_hHidDevice = nullptr;
  if (m_hHidLibrary != nullptr) {
    platform::FreeLibraryFile(m_hHidLibrary);
    m_hHidLibrary = nullptr;
  }
}

void CCorvaneDlg::OnOK() {
  m_host.endDialog(platform::kIdOk);
}

void CCorvaneDlg::OnCancel() {
  // Escape and the window manager's close wait, as every other input does,
  // for an ESC Default to reach the link or be given up.
  if (WindowHeld()) return;
  m_host.endDialog(platform::kIdCancel);
}
