#include "support/headless_host.h"

#include <algorithm>

HeadlessHost::HeadlessHost() : m_uiThread(std::this_thread::get_id()) {
  for (const platform::SystemMenuItem& item : platform::kStandardSystemMenu)
    m_systemMenu.emplace_back(item.commandId, item.text);
}

bool HeadlessHost::isUiThread() const {
  return std::this_thread::get_id() == m_uiThread;
}

void HeadlessHost::post(std::function<void()> task) {
  {
    std::lock_guard lock(m_mutex);
    m_tasks.push_back(std::move(task));
  }
  m_taskPosted.notify_all();
}

bool HeadlessHost::runWhileLive(const std::function<void(const std::atomic<bool>& closing)>& work) {
  if (m_closing) return false;
  bool returned = false;  // under m_mutex
  std::thread worker([&] {
    work(m_closing);
    {
      std::lock_guard lock(m_mutex);
      returned = true;
    }
    m_taskPosted.notify_all();
  });
  for (;;) {
    Pump();
    std::unique_lock lock(m_mutex);
    m_taskPosted.wait(lock, [&] { return returned || !m_tasks.empty(); });
    if (returned) break;
  }
  worker.join();
  return !m_closing;
}

int HeadlessHost::Pump() {
  int ran = 0;
  for (;;) {
    std::function<void()> task;
    {
      std::lock_guard lock(m_mutex);
      if (m_tasks.empty()) return ran;
      task = std::move(m_tasks.front());
      m_tasks.pop_front();
    }
    task();
    ++ran;
  }
}

bool HeadlessHost::WaitForTask(std::chrono::milliseconds limit) {
  std::unique_lock lock(m_mutex);
  return m_taskPosted.wait_for(lock, limit, [this] { return !m_tasks.empty(); });
}

void HeadlessHost::setControlText(int controlId, const std::string& text) {
  std::lock_guard lock(m_mutex);
  m_texts[controlId] = text;
  if (controlId == 1027) m_statusHistory.push_back(text);
}

void HeadlessHost::enableControl(int controlId, bool enabled) {
  std::lock_guard lock(m_mutex);
  m_enabled[controlId] = enabled;
}

void HeadlessHost::setProgressRange(int low, int high) {
  std::lock_guard lock(m_mutex);
  m_progress.low = low;
  m_progress.high = high;
}

void HeadlessHost::setProgressPos(int pos) {
  std::lock_guard lock(m_mutex);
  m_progress.pos = pos;
  m_progress.maxPos = std::max(m_progress.maxPos, pos);
  ++m_progress.posCalls;
}

void HeadlessHost::messageBox(const std::string& text, platform::MessageBoxKind, const std::string&) {
  std::lock_guard lock(m_mutex);
  m_messageBoxes.push_back(text);
}

template <typename Shown, typename Answer>
Answer HeadlessHost::OpenModal(std::vector<Shown>& shown, const Shown& what, std::deque<Answer>& answers,
                               Answer answer) {
  std::function<void()> whileOpen;
  {
    std::lock_guard lock(m_mutex);
    shown.push_back(what);
    if (!answers.empty()) {
      answer = std::move(answers.front());
      answers.pop_front();
    }
    whileOpen.swap(m_whileOpen);
  }
  if (whileOpen) whileOpen();
  return answer;
}

std::optional<std::string> HeadlessHost::chooseFileToOpen(const platform::FileDialogOptions& options) {
  return OpenModal(m_fileDialogs, options, m_fileChoices, std::optional<std::string>());
}

std::optional<std::string> HeadlessHost::chooseFileToSave(const platform::FileDialogOptions& options) {
  return chooseFileToOpen(options);
}

platform::ModalResult HeadlessHost::runModal(const platform::DialogTemplate& dialog,
                                             const platform::ModalButtonHandler& onButton) {
  const auto press = OpenModal(m_dialogs, dialog, m_buttons,
                               std::pair<int, std::map<int, std::string>>{platform::kIdCancel, {}});
  if (press.first != platform::kIdCancel && !onButton(press.first, press.second)) {
    return {platform::kIdCancel, press.second};  // the dialog refused; the test then closes it
  }
  return {press.first, press.second};
}

int HeadlessHost::runCanvasDialog(const platform::DialogTemplate& dialog, int canvasItemId,
                                  platform::CanvasDialogEvents& events) {
  std::function<void(HeadlessCanvasDialog&)> script;
  {
    std::lock_guard lock(m_mutex);
    m_dialogs.push_back(dialog);
    script = m_canvasScript;
  }
  m_canvasDialog = std::make_unique<HeadlessCanvasDialog>(dialog, canvasItemId, events);
  HeadlessCanvasDialog& run = *m_canvasDialog;
  if (events.OnInitDialog(run)) {
    events.OnPaint();
    if (script) script(run);
    run.Pump();
    if (!run.Ended()) run.Escape();
    run.Pump();
  }
  if (!run.Ended()) {
    ++m_refusedCanvasCloses;
    run.endDialog(platform::kIdCancel);
  }
  events.OnDestroy();
  return run.Result();
}

void HeadlessHost::WhileCanvasDialogOpen(std::function<void(HeadlessCanvasDialog&)> script) {
  std::lock_guard lock(m_mutex);
  m_canvasScript = std::move(script);
}

std::string HeadlessHost::ControlText(int controlId) const {
  std::lock_guard lock(m_mutex);
  auto it = m_texts.find(controlId);
  return it == m_texts.end() ? std::string() : it->second;
}

std::optional<bool> HeadlessHost::ControlEnabled(int controlId) const {
  std::lock_guard lock(m_mutex);
  auto it = m_enabled.find(controlId);
  if (it == m_enabled.end()) return std::nullopt;
  return it->second;
}

std::vector<std::string> HeadlessHost::MessageBoxes() const {
  std::lock_guard lock(m_mutex);
  return m_messageBoxes;
}

std::vector<platform::DialogTemplate> HeadlessHost::Dialogs() const {
  std::lock_guard lock(m_mutex);
  return m_dialogs;
}

std::vector<platform::FileDialogOptions> HeadlessHost::FileDialogs() const {
  std::lock_guard lock(m_mutex);
  return m_fileDialogs;
}

std::vector<std::string> HeadlessHost::StatusHistory() const {
  std::lock_guard lock(m_mutex);
  return m_statusHistory;
}

HeadlessHost::Progress HeadlessHost::ProgressBar() const {
  std::lock_guard lock(m_mutex);
  return m_progress;
}

void HeadlessHost::QueueFileChoice(std::optional<std::string> path) {
  std::lock_guard lock(m_mutex);
  m_fileChoices.push_back(std::move(path));
}

void HeadlessHost::QueueButton(int buttonId, std::map<int, std::string> edits) {
  std::lock_guard lock(m_mutex);
  m_buttons.emplace_back(buttonId, std::move(edits));
}

void HeadlessHost::paint(const std::function<void(platform::Canvas&)>& draw) {
  draw(m_window);
}

std::unique_ptr<platform::Layer> HeadlessHost::createLayer(int width, int height) {
  return std::make_unique<RecordingLayer>(width, height);
}

void HeadlessHost::setTitle(const std::string& title) {
  std::lock_guard lock(m_mutex);
  m_title = title;
}

void HeadlessHost::setTimer(int timerId, int intervalMs) {
  std::lock_guard lock(m_mutex);
  m_timers[timerId] = intervalMs;
}

void HeadlessHost::killTimer(int timerId) {
  std::lock_guard lock(m_mutex);
  m_timers.erase(timerId);
}

void HeadlessHost::endDialog(int result) {
  std::lock_guard lock(m_mutex);
  m_endResult = result;
  m_closing = true;
}

void HeadlessHost::beginWindowMove() {
  std::lock_guard lock(m_mutex);
  ++m_windowMoves;
}

std::string HeadlessHost::Title() const {
  std::lock_guard lock(m_mutex);
  return m_title;
}

std::map<int, int> HeadlessHost::Timers() const {
  std::lock_guard lock(m_mutex);
  return m_timers;
}

std::optional<int> HeadlessHost::EndResult() const {
  std::lock_guard lock(m_mutex);
  return m_endResult;
}

int HeadlessHost::WindowMoves() const {
  std::lock_guard lock(m_mutex);
  return m_windowMoves;
}

void HeadlessHost::WhileNextDialogOpen(std::function<void()> action) {
  std::lock_guard lock(m_mutex);
  m_whileOpen = std::move(action);
}

void HeadlessHost::setSystemMenuItem(unsigned commandId, const std::string& text) {
  std::lock_guard lock(m_mutex);
  auto item = std::find_if(m_systemMenu.begin(), m_systemMenu.end(),
                           [commandId](const auto& entry) { return entry.first == commandId; });
  if (item == m_systemMenu.end()) {
    m_systemMenu.emplace_back(commandId, text);
  } else {
    item->second = text;
  }
}

void HeadlessHost::showBusy(bool busy) {
  std::lock_guard lock(m_mutex);
  m_busy = busy;
}

bool HeadlessHost::Busy() const {
  std::lock_guard lock(m_mutex);
  return m_busy;
}

std::vector<std::pair<unsigned, std::string>> HeadlessHost::SystemMenu() const {
  std::lock_guard lock(m_mutex);
  return m_systemMenu;
}
