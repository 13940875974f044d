// The operation state machine: what each reply of the ESC and of the box,
// and each missing reply, does next. Runs on the communication thread.
#include <cstring>

#include "app/corvane_dlg.h"

namespace {

// Passes before the thread identifies the devices again after programming,
// and between identify retries while a reprogrammed ESC restarts.
constexpr int kIdentifyAfterProgram = 300;
constexpr int kIdentifyRetryPasses = 200;
constexpr int kIdentifyRetriesAfterProgram = 2;
// Pause before a reset image is written back to the ESC.
constexpr int kResetWriteBackPauseMs = 2000;
constexpr int kIdentityOffset = 5;  // in an identify reply

}  // namespace

void CCorvaneDlg::HandleEscReply() {
  m_nPressCountdown = 5;  // the pressed look lasts while the ESC answers

  switch (m_frames[0].rxKind) {
    case kCmdIdentify:
      HandleEscIdentify();
      break;
    case 'A':
      HandleReadComplete();
      break;
    case 'N':
      m_bBusy = 0;
      if (m_bTailPending) {
        m_bTailPending = 0;
        WriteSettingsBlock(kTailAddress, m_tailSnapshot, kTailSize, 9);
        break;
      }
      [[fallthrough]];
    case 'S':
      m_bBusy = 0;
      ShowStatus(19);  // "Data Sending Success"
      {
        // A profile picked while the write ran did not reach the ESC with the
        // tail it got: the flag stays, and the next save writes the whole image.
        std::lock_guard lock(m_settingsMutex);
        if (std::memcmp(m_tailSnapshot, m_settings.bytes() + kTailOffset, kTailSize) == 0)
          m_bProfileChanged = 0;
      }
      m_nPendingOp = 0;
      break;
    case 'P':
      m_bBusy = 0;
      ShowStatus(18);  // "Program Update Success"
      m_bEscIdentityAwaited = 1;
      m_nIdentifyCountdown = kIdentifyAfterProgram;
      m_bIdentifySent = 0;
      m_nIdentifyRetries = kIdentifyRetriesAfterProgram;
      break;
    case 'Y':
      m_bAck = 1;
      break;
    case 'T':
      m_bBusy = 0;
      break;
    case 'C':
      m_bBusy = 0;
      m_bEscConnected = 1;
      break;
    case 'E':
      HandleStatusRecord();
      break;
    default:
      break;
  }
}

void CCorvaneDlg::HandleEscIdentify() {
  m_bBusy = 0;
  // The ESC answers: the identify retries given for a program's restart are
  // over, and a later time-out is an ordinary one.
  m_nIdentifyRetries = 0;
  // The presence mark belongs to this reply alone: whatever identify comes
  // next (a reset write-back, the read after a timing test) runs its operation.
  const bool presenceOnly = m_bPresenceOnly;
  m_bPresenceOnly = 0;

  // A presence poll of an ESC already known: it only confirms the ESC.
  if (presenceOnly && m_bEscPresent) {
    m_bEscConnected = 1;
    DrawFrame();
    return;
  }

  const std::uint16_t identityWord = TakeIdentity(m_escId, m_rxEsc.data());
  m_bEscIdentityAwaited = 0;
  if (identityWord != 0 && identityWord != 0xFFFF) {
    RefuseIdentity();
    return;
  }

  m_bEscPresent = 1;
  m_bEscConnected = 1;
  DrawFrame();
  m_nChannel = kChannelEsc;

  switch (m_nPendingOp) {
    case kCmdWriteImage: {
      {
        std::lock_guard lock(m_settingsMutex);
        std::memcpy(m_fwBuffer.data(), m_settings.bytes(), kSettingsSize);
        std::memcpy(m_tailSnapshot, m_settings.bytes() + kTailOffset, kTailSize);
      }
      QueueJob(kCmdWriteImage, kSettingsAddress, kSettingsSize, m_fwBuffer.data());
      m_bShowProgress = 1;
      ShowStatus(25);  // "Data Sending..."
      m_nPendingOp = 0;
      break;
    }
    case kCmdWriteBlock: {
      // The selected profile, then the tail as it is now.
      SettingProfile profile;
      std::uint8_t k;
      {
        std::lock_guard lock(m_settingsMutex);
        k = m_settings.selectedProfile;
        if (k < kProfileCount) profile = m_settings.profiles[k];
        std::memcpy(m_tailSnapshot, m_settings.bytes() + kTailOffset, kTailSize);
      }
      if (k < kProfileCount) {
        WriteSettingsBlock(kSettingsAddress + kProfileSize * k,
                           reinterpret_cast<const std::uint8_t*>(&profile), kProfileSize, 1);
        m_bTailPending = 1;
      }
      m_nPendingOp = 0;
      break;
    }
    case kCmdProgram:
      m_nWaitTicks = 0;
      QueueJob(kCmdProgram, m_nFwAddress, m_nFwLength, m_fwBuffer.data());
      ShowStatus(26);  // "Update ESC Program..."
      m_bShowProgress = 1;
      m_nPendingOp = 0;
      break;
    default:  // 'a', and any identify without an operation, reads the settings
      m_nWaitTicks = 0;
      QueueJob(kCmdRead, kSettingsAddress, kSettingsReadLength, nullptr);
      m_nPendingOp = 0;
      break;
  }
}

std::uint16_t CCorvaneDlg::TakeIdentity(DeviceIdentity& identity, const std::uint8_t* reply) {
  std::lock_guard lock(m_settingsMutex);
  identity = DeviceIdentity::FromWire(reply + kIdentityOffset);
  return identity.identityWord;
}

// A device whose identity word is not accepted: the operation ends.
void CCorvaneDlg::RefuseIdentity() {
  m_bPresenceOnly = 0;
  m_bEscConnected = 0;
  DrawFrame();
  m_nPendingOp = 0;
  ShowFailure(22);  // "Connection Fail"
}

void CCorvaneDlg::ShowFailure(int id) {
  ShowStatus(id);
  FreeUpgradePage();
}

void CCorvaneDlg::HandleReadComplete() {
  // Only a data phase that passed its check and holds the whole image counts;
  // anything else is left to the reply time-out.
  if (!m_bEscDataPhase || m_nEscFrameLen < static_cast<int>(kSettingsSize)) return;

  m_bBusy = 0;
  DeviceIdentity escId;
  std::uint8_t selected;
  {
    std::lock_guard lock(m_settingsMutex);
    m_strModelName = m_escId.ModelName();
    escId = m_escId;
  }
  {
    std::lock_guard lock(m_upgradeMutex);
    m_escOffers.queryUrl = BuildUpgradeQueryUrl(escId);
  }
  ShowStatus(20);  // "Get Data from ESC Success"
  {
    std::lock_guard lock(m_settingsMutex);
    std::memcpy(m_settings.bytes(), m_rxEsc.data(), kSettingsSize);
    selected = m_settings.selectedProfile;
  }

  if (selected >= kProfileCount) {
    // The ESC asks for a reset: reset all profiles and write the image back.
    EditSettings([](SettingsImage& s) { s.selectedProfile = 10; });
    LoadDefaultSettings();
    PauseLink(kResetWriteBackPauseMs);
    QueueIdentify(kChannelEsc, kCmdWriteImage);
  } else {
    LoadDefaultProfile();
    m_bFromFile = 0;
    m_bProfileChanged = 0;
    m_nPendingOp = 0;
  }

  if (!(m_nUpgradeFlags & kUpgradeEscQueried)) m_nUpgradeFlags &= ~kUpgradeEscOfferDone;
  StartUpgradeCheck();
}

void CCorvaneDlg::HandleStatusRecord() {
  m_bBusy = 0;
  if (!m_bStatusReady) {
    std::uint8_t* record = reinterpret_cast<std::uint8_t*>(&m_status);
    std::memcpy(record, m_rxEsc.data(), sizeof m_status);
    for (int word = 0; word < 10; ++word)
      std::swap(record[2 * word], record[2 * word + 1]);
    m_bStatusReady = 1;
  }
  if (!m_bLinkRunning || !m_bEscConnected) {
    SetLinkRunning(true);
    m_bEscConnected = 1;
    DrawFrame();
    ShowStatus(21);  // "ESC Connected"
  }
}

void CCorvaneDlg::HandleBoxReply() {
  switch (m_frames[1].rxKind) {
    case kCmdIdentify:
      HandleBoxIdentify();
      break;
    case 'P':
      m_bBusy = 0;
      ShowStatus(108);  // "Program Update Success, ... Reset now, Please Waitting..."
      m_bBoxRestarting = 1;
      m_bBoxIdentityAwaited = 1;
      m_nPendingOp = 0;
      m_nIdentifyCountdown = kIdentifyAfterProgram;
      m_bIdentifySent = 0;
      break;
    case 'Y':
      m_bAck = 1;
      break;
    default:
      break;
  }
}

void CCorvaneDlg::HandleBoxIdentify() {
  m_bBusy = 0;
  m_bBoxPresent = 1;
  const std::uint16_t identityWord = TakeIdentity(m_boxId, m_rxBox.data());
  m_bBoxIdentityAwaited = 0;
  if (identityWord != 0) {
    RefuseIdentity();
    return;
  }
  m_bBoxRestarting = 0;

  switch (m_nPendingOp) {
    case kCmdProgram:
      // The operation stays pending until the box reports it programmed.
      m_nWaitTicks = 0;
      QueueJob(kCmdProgram, m_nFwAddress, m_nFwLength, m_fwBuffer.data());
      ShowStatus(109);  // "Update Box Program..."
      m_bShowProgress = 1;
      break;
    case kCmdRead:
      // Pass the request on to the ESC behind the box.
      QueueIdentify(kChannelEsc, kCmdRead);
      break;
    default:
      break;
  }
}

void CCorvaneDlg::HandleReplyTimeout() {
  m_bBusy = 0;
  const std::uint8_t command = m_frames[0].txCommand;
  // A presence poll ends here, unless the box was silent and the ESC is
  // asked directly next.
  if (m_nChannel != kChannelBox || command != kCmdIdentify) m_bPresenceOnly = 0;

  if (m_nChannel == kChannelBox) {
    if (command == kCmdIdentify) {
      // No box: try the ESC directly. A reprogrammed box is given up.
      m_bBoxPresent = 0;
      m_bBoxIdentityAwaited = 0;
      QueueIdentify(kChannelEsc, kCmdRead);
    } else if (command == kCmdProgram) {
      ShowFailure(24);  // "Fail, Try Again"
    }
    return;
  }

  if (command == kCmdIdentify) {
    m_bEscPresent = 0;
    if (m_nIdentifyRetries > 0) {
      // A reprogrammed ESC may still be restarting: identify again later.
      --m_nIdentifyRetries;
      m_nIdentifyCountdown = kIdentifyRetryPasses;
      m_bIdentifySent = 0;
    } else {
      // Given up: a reprogrammed ESC is no longer awaited.
      m_bEscIdentityAwaited = 0;
      m_bEscConnected = 0;
      DrawFrame();
      ShowFailure(22);  // "Connection Fail"
      StartUpgradeCheck();
    }
  } else if (command == kCmdRead || m_nPendingOp == kCmdRead) {
    ShowFailure(23);  // "Fail to Get Data, Click 'ESC Read' Button Again"
  } else {
    ShowFailure(24);  // "Fail, Try Again"
  }
}

// Starts a check of the upgrade server unless one runs or both offers were
// made in this run.
void CCorvaneDlg::StartUpgradeCheck() {
  const int flags = m_nUpgradeFlags;
  if ((flags & kUpgradeCheckRunning) || ((flags & kUpgradeEscOfferDone) && (flags & kUpgradeBoxOfferDone))) {
    return;
  }
  m_nUpgradeFlags |= kUpgradeCheckRunning;
  // The previous check has cleared its bit as its last step.
  if (m_hUpgradeThread.joinable()) m_hUpgradeThread.join();
  if (m_bStopUpgradeCheck) {
    m_nUpgradeFlags &= ~kUpgradeCheckRunning;
    return;
  }
  m_hUpgradeThread = std::thread(&CCorvaneDlg::UpgradeCheckThreadProc, this);
}
