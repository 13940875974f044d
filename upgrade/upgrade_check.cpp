// The upgrade check: once per run and device, ask the upgrade server for the
// firmware it offers, then offer the newest version to the user (the ESC
// first, then the box). The asking runs on a thread of its own; the offers
// run on the UI thread, and the thread waits for each to be answered.
#include <chrono>
#include <cstring>
#include <memory>

#include "app/corvane_dlg.h"
#include "dialogs/page_msg.h"

namespace {

// The ESC is asked with its identity word as this, then as 0.
constexpr std::uint16_t kEscQueryWord = 3;
constexpr auto kIdlePoll = std::chrono::milliseconds(1000);

}  // namespace

int FindNewerVersion(const UpgradeList& list, const DeviceIdentity& device) {
  if (list.count == 0) return -1;
  const std::uint16_t running = device.firmwareVersion;
  std::uint16_t best = running;
  int index = -1;
  for (int i = 0; i < list.count; ++i) {
    if (list.version[i] > best) {
      best = list.version[i];
      index = i;
    }
  }
  return best > running ? index : -1;
}

UpgradeList CCorvaneDlg::Offers(const UpgradeList& list) const {
  std::lock_guard lock(m_upgradeMutex);
  return list;
}

int CCorvaneDlg::UpgradeCheckThreadProc(CCorvaneDlg* dlg) {
  DeviceIdentity escId, boxId;
  std::uint8_t escUpgradeBytes[8];
  {
    std::lock_guard lock(dlg->m_settingsMutex);
    escId = dlg->m_escId;
    boxId = dlg->m_boxId;
    std::memcpy(escUpgradeBytes, dlg->m_settings.escUpgradeBytes, sizeof escUpgradeBytes);
  }
  const std::atomic<bool>* stop = &dlg->m_bStopUpgradeCheck;

  // Each list is filled as a copy and put in place whole.
  if (!(dlg->m_nUpgradeFlags & kUpgradeEscQueried) && dlg->m_bEscPresent && escId.identityWord == 0 &&
      dlg->Offers(dlg->m_escOffers).count == 0) {
    UpgradeList offers = dlg->Offers(dlg->m_escOffers);
    DeviceIdentity asked = escId;
    asked.identityWord = kEscQueryWord;
    offers.queryUrl = BuildUpgradeQueryUrl(asked);
    QueryUpgradeServer(offers, true, stop);
    asked.identityWord = 0;
    offers.queryUrl = BuildUpgradeQueryUrl(asked);
    QueryUpgradeServer(offers, false, stop);
    std::memcpy(offers.deviceBytes, escUpgradeBytes, sizeof offers.deviceBytes);
    {
      std::lock_guard lock(dlg->m_upgradeMutex);
      dlg->m_escOffers = std::move(offers);
    }
    dlg->m_nUpgradeFlags |= kUpgradeEscQueried;
  }
  if (!(dlg->m_nUpgradeFlags & kUpgradeBoxQueried) && dlg->m_bBoxPresent && boxId.identityWord == 0 &&
      dlg->Offers(dlg->m_boxOffers).count == 0) {
    UpgradeList offers = dlg->Offers(dlg->m_boxOffers);
    offers.queryUrl = BuildUpgradeQueryUrl(boxId);
    QueryUpgradeServer(offers, true, stop);
    std::memcpy(offers.deviceBytes, dlg->m_boxExtraBytes, sizeof offers.deviceBytes);
    {
      std::lock_guard lock(dlg->m_upgradeMutex);
      dlg->m_boxOffers = std::move(offers);
    }
    dlg->m_nUpgradeFlags |= kUpgradeBoxQueried;
  }

  // An offer that the UI thread cannot make yet (an image being fetched or
  // programmed, its device not yet answering after a program) is tried again
  // after the next wait for an idle link. One that can no longer be made in
  // this check (its device or the link gone, or closing) is left undone for
  // a later check. Returns whether the offer was made.
  const auto makeOffer = [dlg](void (CCorvaneDlg::*offer)(), bool esc) {
    while (dlg->WaitForIdleLinkToOffer()) {
      switch (dlg->RunOfferOnUiThread(offer, esc)) {
        case OfferChance::Now:
          return true;
        case OfferChance::Never:
          return false;
        case OfferChance::Later:
          break;
      }
    }
    return false;
  };
  if (!(dlg->m_nUpgradeFlags & kUpgradeEscOfferDone)) {
    dlg->m_nUpgradeFlags |= kUpgradeEscOfferDone;
    if (dlg->Offers(dlg->m_escOffers).count > 0) {
      // The ESC's offer leads on to the box's by itself.
      if (makeOffer(&CCorvaneDlg::OnEscUpgradeAvailable, true)) {
        dlg->m_nUpgradeFlags &= ~kUpgradeCheckRunning;
        return 0;
      }
      dlg->m_nUpgradeFlags &= ~kUpgradeEscOfferDone;
    }
  }
  if (!(dlg->m_nUpgradeFlags & kUpgradeBoxOfferDone)) {
    dlg->m_nUpgradeFlags |= kUpgradeBoxOfferDone;
    if (dlg->Offers(dlg->m_boxOffers).count > 0 && !makeOffer(&CCorvaneDlg::OnBoxUpgradeAvailable, false))
      dlg->m_nUpgradeFlags &= ~kUpgradeBoxOfferDone;
  }
  dlg->m_nUpgradeFlags &= ~kUpgradeCheckRunning;
  return 0;
}

bool CCorvaneDlg::WaitForIdleLinkToOffer() {
  std::unique_lock lock(m_upgradeWaitMutex);
  do {
    if (m_upgradeWake.wait_for(lock, kIdlePoll, [this] { return m_bStopUpgradeCheck.load(); })) return false;
    // Nothing queued, no reply awaited, and no image on its way to the link.
  } while (!LinkIdle() || DownloadUnderWay());
  return true;
}

CCorvaneDlg::OfferChance CCorvaneDlg::UpgradeOfferChance(bool esc) const {
  // Nothing can be programmed without a box.
  if (m_bStopUpgradeCheck || !m_bLinkRunning) return OfferChance::Never;
  // An image fetched or programmed: its load would refuse the user's yes (the
  // offer may even run inside a download's live loop). The firmware page's
  // press still loading its own image (its file picker open): a yes would
  // pass for the page's upgrade and leave the image picked unused. An ESC
  // Default holds the window.
  if (ProgramUnderWay() || DownloadUnderWay() || m_bPageUpgradeLoading || WindowHeld())
    return OfferChance::Later;
  // A reprogrammed device has not yet answered with its new version; the
  // other device's offer does not wait for it.
  if (esc ? m_bEscIdentityAwaited : m_bBoxIdentityAwaited) return OfferChance::Later;
  // A device that no longer answers takes no image.
  if (!(esc ? m_bEscPresent : m_bBoxPresent)) return OfferChance::Never;
  return OfferChance::Now;
}

CCorvaneDlg::OfferChance CCorvaneDlg::RunOfferOnUiThread(void (CCorvaneDlg::*offer)(), bool esc) {
  // The UI thread makes the offer if it can, and answers which it was.
  // Closing wakes the wait too.
  struct Answer {
    bool given = false;  // under m_upgradeWaitMutex
    OfferChance chance = OfferChance::Never;
  };
  auto answer = std::make_shared<Answer>();
  m_host.post([this, offer, esc, answer] {
    const OfferChance chance = UpgradeOfferChance(esc);
    if (chance == OfferChance::Now) (this->*offer)();
    std::lock_guard lock(m_upgradeWaitMutex);
    answer->given = true;
    answer->chance = chance;
    m_upgradeWake.notify_all();
  });
  std::unique_lock lock(m_upgradeWaitMutex);
  m_upgradeWake.wait(lock, [&] { return answer->given || m_bStopUpgradeCheck.load(); });
  return answer->given ? answer->chance : OfferChance::Never;
}

void CCorvaneDlg::StopUpgradeCheck() {
  {
    std::lock_guard lock(m_upgradeWaitMutex);
    m_bStopUpgradeCheck = true;
  }
  m_upgradeWake.notify_all();
}

void CCorvaneDlg::OnEscUpgradeAvailable() {
  DeviceIdentity escId;
  {
    std::lock_guard lock(m_settingsMutex);
    escId = m_escId;
  }
  const int index = FindNewerVersion(Offers(m_escOffers), escId);
  if (index >= 0) {
    CPageMsg offer(*this);
    offer.m_strMsg = GetText(113);  // "New ESC firmware available. ..."
    if (offer.DoModal() == platform::kIdOk) {
      LoadEscFirmware(index, 0);
      return;  // the box is offered in a later pass
    }
  }
  // A box that cannot take its offer now is offered in a later pass.
  if (UpgradeOfferChance(false) == OfferChance::Now) OnBoxUpgradeAvailable();
}

void CCorvaneDlg::OnBoxUpgradeAvailable() {
  DeviceIdentity boxId;
  {
    std::lock_guard lock(m_settingsMutex);
    boxId = m_boxId;
  }
  const int index = FindNewerVersion(Offers(m_boxOffers), boxId);
  if (index >= 0) {
    CPageMsg offer(*this);
    offer.m_strMsg = GetText(114);  // "New Program Box  firmware available. ..."
    if (offer.DoModal() == platform::kIdOk) LoadBoxFirmware(index, 0);
  }
  m_nUpgradeFlags |= kUpgradeBoxOfferDone;
}

void CCorvaneDlg::OnLinkUpgradeAvailable() {
  const int index = FindNewerVersion(Offers(m_linkOffers), m_linkId);
  if (index < 0) return;
  CPageMsg offer(*this);
  offer.m_strMsg = GetText(116);  // "New Corvane firmware available. ..."
  if (offer.DoModal() == platform::kIdOk) DownloadLinkFirmware(index);
}
