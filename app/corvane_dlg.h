// The main dialog: the program's one window and the owner of all shared
// state — the device link, the settings image, identities and upgrade lists.
// Its member functions live in files by concern: link/ (device link and
// settings), app/ (window, frame, texts), dialogs/ and upgrade/.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/ui_tile.h"
#include "dialogs/page_seting.h"
#include "dialogs/page_status.h"
#include "dialogs/page_up.h"
#include "dialogs/status_record.h"
#include "link/device_identity.h"
#include "link/hid_device_api.h"
#include "link/link_types.h"
#include "link/settings_image.h"
#include "platform/app_icon.h"
#include "platform/device_notification.h"
#include "platform/dialog_events.h"
#include "platform/dialog_host.h"
#include "platform/library.h"
#include "upgrade/upgrade_list.h"

// Controls of the main window's template.
inline constexpr int IDC_PROGRESS = 1000;
inline constexpr int IDC_POINTER_READOUT = 1140;
inline constexpr int IDC_FIRMWARE_NOTE_RIGHT = 1141;
inline constexpr int IDC_FIRMWARE_NOTE_LEFT = 1142;
inline constexpr int IDC_APPLY = 1003;
inline constexpr int IDC_LOAD_FROM_PC = 1023;
inline constexpr int IDC_ESC_DEFAULT = 1026;
inline constexpr int IDC_STATUS_LINE = 1027;
inline constexpr int IDC_ESC_READ = 1033;
inline constexpr int IDC_SAVE_TO_PC = 1125;

// Bits of m_nUpgradeFlags.
inline constexpr int kUpgradeEscQueried = 0x01;
inline constexpr int kUpgradeEscOfferDone = 0x02;
inline constexpr int kUpgradeBoxQueried = 0x10;
inline constexpr int kUpgradeBoxOfferDone = 0x20;
inline constexpr int kUpgradeCheckRunning = 0x80;

// Custom messages and system-menu commands.
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;
inline constexpr unsigned IDM_LANGUAGE = 0x271B;
inline constexpr unsigned SC_MOVE = platform::kSysCommandMove;
inline constexpr unsigned SC_CLOSE = platform::kSysCommandClose;

// Window timers.
inline constexpr int TIMER_FIRST_PAINT = 0;
inline constexpr int TIMER_UI_TICK = 2;

// The window's client area.
inline constexpr int kClientWidth = 965;
inline constexpr int kClientHeight = 578;

class CCorvaneDlg : public platform::DialogEvents {
 public:
  explicit CCorvaneDlg(platform::DialogHost& host);
  ~CCorvaneDlg() override;
  CCorvaneDlg(const CCorvaneDlg&) = delete;
  CCorvaneDlg& operator=(const CCorvaneDlg&) = delete;

  // ---- settings image (link/default_settings.cpp) ----
  void LoadDefaultSettings();
  // The same, for a caller that holds m_settingsMutex.
  void LoadDefaultSettingsLocked();
  void LoadDefaultProfile();
  // A copy of the image, taken under its lock.
  SettingsImage SettingsSnapshot() const;
  // Runs edit(image) under the image's lock; keep it short.
  template <class Edit>
  void EditSettings(Edit edit) {
    std::lock_guard lock(m_settingsMutex);
    edit(m_settings);
  }

  // ---- HID library binding and device connection (link/hid_connection.cpp) ----
  bool LoadHidLibrary();
  void RegisterHidNotification();
  bool ConnectDevice();
  bool OnDeviceChange(unsigned eventType, const platform::DeviceChangeRecord* record);

  // ---- lifecycle (app/dialog_lifecycle.cpp) ----
  // Sets the window up: the HID library, language, title, factory defaults,
  // texts, the box, timers and the picture table. False without the library.
  bool OnInitDialog() override;
  // Stops every thread and releases the device link and the library.
  void OnDestroy() override;
  void OnCancel() override;
  // Ends the dialog as its close box does.
  void OnOK();
  // The icon shown while the window is dragged minimised.
  platform::IconHandle OnQueryDragIcon() const { return m_hIcon; }

  // ---- HID reports and reply parsers (link/hid_reports.cpp, link/reply_parsers.cpp) ----
  bool SendBytes(const std::uint8_t* bytes, int count);
  void ReceiveReports();

  // ---- communication thread and command frames (link/comm_thread.cpp) ----
  static int CommThreadProc(CCorvaneDlg* dlg);
  bool SendCommand();
  // Starts the thread of a new connection; the previous one must have been stopped.
  void StartCommThread();
  // Clears the run flag, wakes any pause and joins the thread.
  void StopCommThread();

  // ---- reply handlers (link/reply_handlers.cpp) ----
  void HandleEscReply();
  void HandleBoxReply();
  void HandleReplyTimeout();

  // ---- requests from the UI (link/link_requests.cpp) ----
  void OnBnClickedApply();
  void OnBnClickedEscDefault();
  void OnBnClickedEscRead();
  // An ESC Default waits for the link: the window takes no input from the
  // user, opens no dialog and makes no offer meanwhile (UI thread only).
  bool WindowHeld() const;
  void WriteSettingsBlock(std::uint32_t address, const std::uint8_t* data, std::uint32_t length,
                          int progress);
  // True when no job is queued, no reply is awaited, no reply is being
  // handled and the link's own identify is not still to come.
  bool LinkIdle() const;
  // True, with "USB Connection Fail" shown, while no link runs: a request for
  // the device then queues nothing, as no later device may receive it.
  bool NoLinkForRequest();
  // The command byte of the job last queued or sent.
  std::uint8_t JobCommand() const;
  // Queues an identify that runs operation op once the device on the channel
  // has answered; taken only while a link runs and is idle. Returns whether
  // it was.
  // alongside, when given, runs with the job, under the job lock, only when
  // the job is taken.
  bool QueueIdentifyIfIdle(std::uint8_t channel, int op, bool presenceOnly,
                           const std::function<void()>& alongside = {});
  // The timing test command, sent without an identify; taken only while a
  // link runs and is idle. Returns whether it was.
  bool QueueTimingTest();
  // Ends the communication thread's wait for input, so that a job queued
  // from the UI goes out at once.
  void WakeLink();

  // ---- .esc files (link/esc_files.cpp) ----
  void OnBnClickedLoadFromPc();
  void OnBnClickedSaveToPc();

  // ---- upgrade check and offers (upgrade/upgrade_check.cpp) ----
  // One pass of server queries and offers, on a thread of its own.
  static int UpgradeCheckThreadProc(CCorvaneDlg* dlg);
  void OnEscUpgradeAvailable();
  void OnBoxUpgradeAvailable();
  void OnLinkUpgradeAvailable();
  // A copy of a device's offers, taken under their lock.
  UpgradeList Offers(const UpgradeList& list) const;

  // ---- firmware images (upgrade/firmware_loading.cpp) ----
  // Fetch the image of entry index of the device's list from the server (or,
  // with local 1 or an empty list, read m_strFirmwarePath), check its header
  // and hand its body to the link for programming.
  void LoadEscFirmware(int index, int local);
  void LoadBoxFirmware(int index, int local);
  // Saves the link device's image of entry index next to the pictures.
  void DownloadLinkFirmware(int index);
  // An image is being fetched from the server (upgrade/firmware_download.cpp);
  // the window stays live meanwhile, and no other load may start.
  bool DownloadUnderWay() const;

  // ---- texts and language (app/texts/language.cpp) ----
  std::string GetText(int id) const;
  // Sets the status text id and puts its text into the status line.
  void ShowStatus(int id);
  // Puts the texts of the current language on the controls and redraws the frame.
  void ApplyLanguageTexts();
  void OnSysCommand(unsigned commandId) override;

  // ---- timers (app/timers.cpp) ----
  void OnTimer(int timerId) override;

  // ---- frame and pictures (app/frame.cpp) ----
  // A picture of the language folder, straight onto the window.
  void DrawUiImage(const std::string& name, float x, float y, float width, float height);
  // A picture of the language folder (or of the common folder) on a canvas.
  void DrawUiImageTo(bool inLanguageFolder, platform::Canvas& canvas, const std::string& name, float x,
                     float y, float width, float height);
  // Banner and status bar; from another thread it asks the UI thread to draw.
  void DrawFrame();
  void OnPaint() override;
  platform::ControlColors OnCtlColor(int controlId) override;

  // ---- mouse and pages (pages/) ----
  void OnMouseMove(int x, int y) override;
  void OnLButtonDown(int x, int y) override;
  void OnLButtonUp(int x, int y) override;
  // Acts on a click at (x, y) and redraws the current page; (0, 520) only redraws.
  void DispatchClick(int x, int y);
  void DrawHomeHover();
  // Press and drag on the current page's sliders, switches and lists: sets
  // the value under the (clamped) pointer and redraws what changed.
  void TrackPanelPress(int x, int y);
  // The firmware page's Upgrade button of the ESC (or of the box): programs
  // the selected server entry, or a picked image file while the server lists
  // nothing for the device. The buttons stay held from the press until the
  // upgrade it handed to the link ends, or until its load ends without one
  // (pages/upgrade_start.cpp).
  void StartPageUpgrade(bool esc);

  // ---- page drawers (pages/), UI thread only; each draws its page whole ----
  void DrawGeneralPage();
  void DrawThrottlePage();
  void DrawBrakePage();
  void DrawTimingPage();
  void DrawDashboardPage();
  void DrawUpgradePage();
  // Runs edit on the image and its selected profile under the settings lock;
  // false (nothing run) while the profile index is outside 0..9.
  bool EditSelectedProfile(const std::function<void(SettingsImage&, SettingProfile&)>& edit);
  // A copy of the selected profile; false while its index is outside 0..9.
  bool SelectedProfile(SettingProfile& profile) const;

  // ---- the curve editor on the selected profile's curves (pages/curve_editing.cpp) ----
  void EditThrottleCurve();
  void EditBrakeCurve();

  // ---- value dialogs of the throttle page and the dashboard (pages/value_dialogs.cpp) ----
  void EditDeadBand();
  void EditGearRatio();
  void EditWheelDiameter();
  void EditPoles();

  // ================= members =================
  platform::DialogHost& m_host;

  // Main window (UI thread unless atomic).
  platform::IconHandle m_hIcon = nullptr;  // the application's icon
  std::atomic<std::uint8_t> m_nPage{0};
  UiTile m_tiles[kTileCount] = {};
  std::uint8_t m_nHoverTile = 0;
  // The home picture has been drawn by the first-paint timer.
  bool m_bHomeDrawn = false;
  std::uint8_t m_nDragState = 0;
  std::uint8_t m_nListRequest = 0;
  std::uint8_t m_nOpenList = 0;
  std::uint8_t m_nLastProfile = 0;
  std::uint8_t m_nTempUnit = 0;
  std::uint8_t m_bFwListOpen = 0;
  std::uint8_t m_nEscFirstRow = 0, m_nBoxFirstRow = 0;
  std::uint8_t m_nEscFwSel = 0, m_nBoxFwSel = 0;
  std::uint8_t m_bCutoffOff = 0;
  int m_nGearRatio = 0;
  int m_nWheelDiameter = 0;
  int m_nPoles = 0;
  float m_fDeadBandHandleY = 0;
  float m_fNeutralHandleY = 0;
  UiRect m_rcDrag = {};
  UiRect m_rcPrevious = {};
  std::string m_strFirmwarePath;

  // Language and display state the link sets.
  std::atomic<int> m_nLanguage{0};
  std::atomic<int> m_nStatusTextId{8};
  std::atomic<int> m_nClickBlock{5};
  std::atomic<std::uint8_t> m_nPressCountdown{20};
  std::atomic<std::uint8_t> m_nProgress{0};
  std::atomic<std::uint8_t> m_bRedrawPage{0};
  std::atomic<std::uint8_t> m_bUpgradeStarted{0};
  // The upgrade the firmware page started has been handed to the link and
  // holds it: its own end (its failure, its device given up, the link
  // stopping or the settings read after it) frees the page, nothing else.
  std::atomic<std::uint8_t> m_bUpgradeOnLink{0};
  std::atomic<int> m_nReadBackCountdown{0};

  // HID library and device.
  platform::LibraryHandle m_hHidLibrary = nullptr;
  std::unique_ptr<platform::DeviceNotification> m_hDevNotify;
  HidDeviceApi m_hidApi;
  std::atomic<CvHidDevice> m_hHidDevice{nullptr};
  std::thread m_hCommThread;

  // LinkRequest: the job hand-off and the link state.
  std::atomic<std::uint8_t> m_bLinkRunning{0};
  std::atomic<std::uint8_t> m_bJobQueued{0};
  std::atomic<std::uint8_t> m_bBusy{0};
  std::atomic<int> m_nPendingOp{0};
  std::atomic<std::uint8_t> m_nChannel{kChannelEsc};
  std::atomic<int> m_nWaitTicks{0};
  std::atomic<std::uint8_t> m_bShowProgress{0};
  std::atomic<std::uint8_t> m_bAck{0};
  std::atomic<std::uint8_t> m_bLongTransfer{0};
  std::atomic<std::uint8_t> m_bIdentifySent{0};
  std::atomic<int> m_nIdentifyCountdown{0};
  std::atomic<int> m_nIdentifyRetries{0};
  std::atomic<std::uint8_t> m_bPresenceOnly{0};
  std::atomic<std::uint8_t> m_bEscConnected{0};
  std::atomic<std::uint8_t> m_bEscPresent{0};
  std::atomic<std::uint8_t> m_bBoxPresent{0};
  std::atomic<std::uint8_t> m_bBoxRestarting{0};
  // Set when a device reports itself programmed, cleared when it has
  // answered an identify again.
  std::atomic<std::uint8_t> m_bEscIdentityAwaited{0};
  std::atomic<std::uint8_t> m_bBoxIdentityAwaited{0};
  // Set by the communication thread while a reply handler (or the time-out
  // handler) runs, so that no UI request slips in between a handler clearing
  // m_bBusy and queueing its follow-up job.
  std::atomic<std::uint8_t> m_bHandlingReply{0};
  // Guards the send half of m_frames[0] with m_nChannel and m_nPendingOp
  // while a job is written or taken.
  mutable std::mutex m_jobMutex;

  // Settings state.
  std::atomic<std::uint8_t> m_bTailPending{0};
  std::atomic<std::uint8_t> m_bProfileChanged{0};
  std::atomic<std::uint8_t> m_bFromFile{0};
  std::atomic<std::uint8_t> m_bStatusReady{0};

  // Reply parsers (communication thread only).
  ParseState m_nEscParseState = Start;
  ParseState m_nBoxParseState = Start;
  int m_nEscIndex = 0;
  int m_nBoxIndex = 0;
  int m_nEscFrameLen = 0;
  int m_nEscIdlePolls = 0;
  int m_nBoxIdlePolls = 0;
  // Whether the 'A' frame handed to HandleEscReply came with a data phase
  // that passed its check.
  bool m_bEscDataPhase = false;
  FrameSlot m_frames[2];
  std::array<std::uint8_t, kEscRxSize> m_rxEsc{};
  std::array<std::uint8_t, kBoxRxSize> m_rxBox{};
  std::vector<std::uint8_t> m_reportBuffer;  // one input read
  std::vector<std::uint8_t> m_escStaging, m_boxStaging;

  // Data to send: firmware bodies and copies of the image or of a block.
  std::array<std::uint8_t, kFwBufferSize> m_fwBuffer{};
  std::atomic<int> m_nFwAddress{0};
  std::atomic<int> m_nFwLength{0};
  std::atomic<std::uint8_t> m_bDownloading{0};
  // The image tail as it was when a write began: sent after the profile of a
  // profile write, and part of the whole image of an image write.
  std::uint8_t m_tailSnapshot[kTailSize] = {};

  // Live values from the ESC.
  std::atomic<int> m_nRpmPeriod{0};
  std::atomic<int> m_nEscTempAdc{0};
  std::atomic<int> m_nMotorTempAdc{0};
  std::atomic<std::uint8_t> m_nLiveTiming{0};
  StatusRecord m_status{};

  // The settings image, the model name and the device identities: written by
  // the communication thread and the UI thread, always under m_settingsMutex.
  mutable std::mutex m_settingsMutex;
  SettingsImage m_settings{};
  SettingProfile m_refProfile{};
  std::string m_strModelName;
  DeviceIdentity m_escId{};
  DeviceIdentity m_boxId{};
  DeviceIdentity m_linkId{};

  // Upgrade check. The lists are written by the upgrade-check thread and read
  // on the UI thread, both under m_upgradeMutex.
  std::atomic<int> m_nUpgradeFlags{0};
  mutable std::mutex m_upgradeMutex;
  UpgradeList m_escOffers, m_boxOffers, m_linkOffers;
  std::thread m_hUpgradeThread;
  // Page members whose windows are never created: only the settings page's
  // reset prompt and the upgrade page's handlers are used.
  CPageSeting m_pageSeting{*this};
  CPageUp m_pageUp{*this};
  CPageStatus m_pageStatus{*this};
  CFunction m_function;
  // Set at shutdown: the upgrade check gives up its waits and queries.
  std::atomic<bool> m_bStopUpgradeCheck{false};
  std::uint8_t m_boxExtraBytes[8];

  // Replaces the link's long pauses (after a long transfer, a timing test and
  // a reset request) in tests, which record them instead of waiting.
  std::function<void(int ms)> m_linkPauseForTests;

 private:
  void CommPass();
  bool SendBytesOn(std::uint8_t channel, const std::uint8_t* bytes, int count);
  // Feeds one read's bytes of a stream to its parser.
  void ParseStream(const std::vector<std::uint8_t>& bytes, int& idlePolls, ParseState& state, int& index,
                   void (CCorvaneDlg::*parseByte)(std::uint8_t));
  // Both parsers back between frames, their idle counts at 0; the
  // communication thread must not be running.
  void ResetParsers();
  void ParseEscByte(std::uint8_t b);
  void ParseBoxByte(std::uint8_t b);
  void FinishTestReport();
  // Runs a handler with m_bHandlingReply set.
  template <class Handler>
  void DeliverReply(Handler handler) {
    m_bHandlingReply = 1;
    handler();
    m_bHandlingReply = 0;
  }

  void LoadFirmware(UpgradeList list, int index, int local, bool toEsc);
  bool DownloadFirmwareImage(const std::string& url, std::vector<std::uint8_t>& image);
  bool ReadLocalFirmwareImage(std::vector<std::uint8_t>& image);
  // Waits for an idle link, then puts the body into the transmit buffer and
  // queues the identify that leads to the program command, in one step.
  // Nothing is queued, and the reason is shown, when there is no box or a
  // program is under way.
  void HandOverFirmware(std::uint8_t channel, int address, int length, const std::uint8_t* body);
  // Set while the firmware page's press loads its image: a hand-off made
  // meanwhile is the page's upgrade, and upgrade offers wait (UI thread only).
  bool m_bPageUpgradeLoading = false;
  // A program job is queued, or sent and not yet answered, or answered and
  // the link still counting down to identifying the reprogrammed device.
  bool ProgramUnderWay() const;
  // Program bytes are on their way to a device or their reply is awaited
  // (not the countdown to identifying the device afterwards).
  bool ProgramBeingSent() const;
  // Ends what waited on a link that has stopped: jobs it did not take are
  // dropped, an ESC Default waiting for it resets the image in memory, the
  // upgrade the firmware page handed to it ends (the page is freed) and the
  // devices' awaited identities end. Returns whether a request was cut
  // short; "USB Connection Fail" is shown then.
  bool EndWorkOfStoppedLink();
  // The link's work has ended: when it was the upgrade the firmware page
  // handed over, the page takes input again and the presence poll goes on at
  // its usual pace. From any thread.
  void FreeUpgradePage();
  // Shows the failure text of an operation that has ended; the page's
  // upgrade, when the link held it, has ended with it.
  void ShowFailure(int id);
  void HandleEscIdentify();
  void HandleReadComplete();
  void HandleStatusRecord();
  void HandleBoxIdentify();
  // Stores the identity of an identify reply; returns its identity word.
  std::uint16_t TakeIdentity(DeviceIdentity& identity, const std::uint8_t* reply);
  void RefuseIdentity();
  void StartUpgradeCheck();
  void StopUpgradeCheck();
  // Whether an upgrade offer for the ESC (or the box) can be made now, later,
  // or no more in this check (UI thread).
  enum class OfferChance { Now, Later, Never };
  OfferChance UpgradeOfferChance(bool esc) const;
  // Runs an offer on the UI thread when it can be made, and waits for the
  // answer: whether it was made, may be later, or can no longer be (closing
  // counts as no longer).
  OfferChance RunOfferOnUiThread(void (CCorvaneDlg::*offer)(), bool esc);
  // Waits until the link is idle and no image is being downloaded, a second
  // at a time; false when closing.
  bool WaitForIdleLinkToOffer();
  std::mutex m_upgradeWaitMutex;
  std::condition_variable m_upgradeWake;

  // Job hand-off for the reply handlers on the communication thread, which
  // own the link while they run.
  void QueueJob(std::uint8_t command, std::int32_t address, std::int32_t length, const std::uint8_t* data);
  void QueueIdentify(std::uint8_t channel, int op);
  // Writes an identify job's fields; the caller holds m_jobMutex.
  void FillIdentifyJob(std::uint8_t channel, int op);
  // ESC Default's reset of the image in memory.
  void ResetForEscDefault();
  // The reset of ESC Default with the identify that writes it; false (nothing
  // changed) while the link is not idle. A refused one is retried at each
  // UI tick while m_nEscDefaultWait counts down (UI thread only).
  bool QueueEscDefault();
  void RetryEscDefault();
  // Holds the window for an ESC Default that waits for the link (busy
  // cursor, the ticks left in m_nEscDefaultWait), or lets it go.
  void HoldWindow(bool held);
  int m_nEscDefaultWait = 0;

  // Waits ms milliseconds or until the link stops.
  void PauseLink(int ms);
  void SetLinkRunning(bool running);
  std::mutex m_pauseMutex;
  std::condition_variable m_pauseWake;
};
