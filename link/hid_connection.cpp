// Binding the HID library, finding and opening the program box, and
// following it being unplugged and plugged in.
#include <strings.h>

#include "app/corvane_dlg.h"
#include "platform/drive_c.h"

namespace {

constexpr std::uint16_t kBoxVendorId = 0x10C4;
constexpr std::uint16_t kBoxProductId = 0x8468;
constexpr std::uint32_t kPathBufferSize = 260;
constexpr std::uint32_t kInputReportBuffers = 512;
constexpr std::uint32_t kInputTimeoutMs = 10;
constexpr std::uint32_t kOutputTimeoutMs = 500;

// Resolves one entry of the table; false when the library lacks it.
template <class Pointer>
bool Bind(platform::LibraryHandle library, const char* name, Pointer& entry) {
  entry = reinterpret_cast<Pointer>(platform::FindSymbol(library, name));
  return entry != nullptr;
}

}  // namespace

bool CCorvaneDlg::LoadHidLibrary() {
  if (m_hHidLibrary == nullptr) {
    // The Windows folder is the system folder's parent.
    std::string folder = platform::SystemDirectory();
    const std::size_t cut = folder.rfind('\\');
    folder = cut == std::string::npos ? std::string() : folder.substr(0, cut);
    m_hHidLibrary = platform::LoadLibraryFile(folder + "\\Corvane.dll");
  }

  HidDeviceApi api;
  bool complete = m_hHidLibrary != nullptr;
#define CORVANE_BIND(name) complete = complete && Bind(m_hHidLibrary, #name, api.name);
  CV_HID_DEVICE_FUNCTIONS(CORVANE_BIND)
#undef CORVANE_BIND

  // A library without all of its functions is no use: treat it as missing.
  if (!complete) {
    platform::FreeLibraryFile(m_hHidLibrary);
    m_hHidLibrary = nullptr;
    m_host.messageBox("Please run as administrator at the first time", platform::MessageBoxKind::Plain);
    return false;
  }
  m_hidApi = api;
  return true;
}

void CCorvaneDlg::RegisterHidNotification() {
  m_hDevNotify = platform::RegisterDeviceNotification(
      m_host, m_hHidLibrary, [this](unsigned eventType, const platform::DeviceChangeRecord& record) {
        OnDeviceChange(eventType, &record);
      });
}

bool CCorvaneDlg::ConnectDevice() {
  if (m_hidApi.HidDevice_IsOpened(m_hHidDevice)) return true;

  // The thread of an earlier connection ends before anything else happens,
  // and a handle left behind by it is closed.
  StopCommThread();
  const bool requestCutShort = EndWorkOfStoppedLink();
  if (m_hHidDevice != nullptr) {
    m_hidApi.HidDevice_Close(m_hHidDevice);
    m_hHidDevice = nullptr;
  }
  m_bEscConnected = 0;
  m_bBusy = 0;
  m_bTailPending = 0;
  // A frame cut off by the last connection is not continued by the next.
  ResetParsers();
  DrawFrame();

  const std::uint32_t count = m_hidApi.HidDevice_GetNumHidDevices(kBoxVendorId, kBoxProductId);
  char path[kPathBufferSize];
  std::uint32_t index = 0;
  while (index < count &&
         m_hidApi.HidDevice_GetHidString(index, kBoxVendorId, kBoxProductId, CV_HID_STRING_PATH, path,
                                         kPathBufferSize) != CV_HID_OK) {
    ++index;
  }

  CvHidDevice device = nullptr;
  if (index < count && m_hidApi.HidDevice_Open(&device, index, kBoxVendorId, kBoxProductId,
                                               kInputReportBuffers) == CV_HID_OK) {
    m_hHidDevice = device;
    m_hidApi.HidDevice_SetTimeouts(device, kInputTimeoutMs, kOutputTimeoutMs);
    m_bEscPresent = 0;
    m_bBoxPresent = 0;
    m_bIdentifySent = 0;
    // The status is shown before the thread starts, whose replies may
    // replace it at once.
    ShowStatus(28);     // "USB Connected"
    StartCommThread();  // sets the run flag
    DrawFrame();
    return true;
  }

  m_hHidDevice = nullptr;
  DrawFrame();
  // While a reprogrammed box restarts, its absence is expected.
  if (!m_bBoxRestarting && !requestCutShort) ShowStatus(27);  // "USB Connection Fail"
  m_host.enableControl(IDC_LOAD_FROM_PC, true);
  return false;
}

bool CCorvaneDlg::EndWorkOfStoppedLink() {
  // The thread has stopped. A job it did not take would wait for whatever
  // device comes next and reach it; a reply it awaited will not come. A
  // presence poll ends without a word, and so does the identify of a
  // reprogrammed box that leaves to restart.
  bool cutShort;
  {
    std::lock_guard lock(m_jobMutex);
    cutShort = (m_bJobQueued || m_bBusy) && !m_bPresenceOnly && !m_bBoxRestarting;
    m_bJobQueued = 0;
    m_nPendingOp = 0;
    m_bPresenceOnly = 0;
  }
  // A reprogrammed device is no longer awaited, and the identify retries of
  // its restart are over.
  m_bEscIdentityAwaited = 0;
  m_bBoxIdentityAwaited = 0;
  m_nIdentifyRetries = 0;
  FreeUpgradePage();
  if (WindowHeld()) {
    // The reset stands in memory, as it does when no link is there at all.
    HoldWindow(false);
    ResetForEscDefault();
    cutShort = true;
  }
  if (cutShort) ShowStatus(27);  // "USB Connection Fail"
  return cutShort;
}

bool CCorvaneDlg::OnDeviceChange(unsigned eventType, const platform::DeviceChangeRecord* record) {
  if (eventType != platform::kDeviceArrival && eventType != platform::kDeviceRemoveComplete) return true;
  if (record == nullptr || record->deviceType != platform::kDeviceTypeInterface) return true;

  if (eventType == platform::kDeviceRemoveComplete && m_hHidDevice != nullptr) {
    char path[kPathBufferSize] = {};
    const bool known =
        m_hidApi.HidDevice_GetString(m_hHidDevice, CV_HID_STRING_PATH, path, kPathBufferSize) == CV_HID_OK;
    path[kPathBufferSize - 1] = '\0';
    if (known && ::strcasecmp(path, record->name.c_str()) == 0) {
      // The open box is gone: stop the link before its device is closed.
      StopCommThread();
      m_hidApi.HidDevice_Close(m_hHidDevice);
      m_hHidDevice = nullptr;
    }
  }
  ConnectDevice();
  return true;
}
