#include "support/scripted_devices.h"

#include <algorithm>
#include <cstring>

#include "link/settings_image.h"

namespace {

std::uint8_t Sum(const std::uint8_t* bytes, std::size_t n) {
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i < n; ++i)
    sum = static_cast<std::uint8_t>(sum + bytes[i]);
  return sum;
}

}  // namespace

ScriptedDevices::ScriptedDevices(FakeHid& hid) : m_hid(hid), m_memory(kSettingsReadLength, 0) {
  m_hid.SetResponder([this](const std::vector<std::uint8_t>& report) { OnReport(report); });
}

ScriptedDevices::~ScriptedDevices() {
  m_hid.SetResponder(nullptr);
}

DeviceIdentity ScriptedDevices::Identity(const char* model, std::uint16_t identityWord,
                                         std::uint16_t firmware) {
  DeviceIdentity id{};
  std::memcpy(id.modelName, model, std::min(std::strlen(model), sizeof id.modelName));
  id.identityWord = identityWord;
  id.firmwareVersion = firmware;
  id.hardwareVersion = 1;
  id.checkByte = 0;
  id.checkByte = static_cast<std::uint8_t>(-Sum(id.bytes(), 16));
  return id;
}

std::vector<std::uint8_t> ScriptedDevices::IdentifyReply(const DeviceIdentity& identity) {
  std::vector<std::uint8_t> f = {0x0F, 0x14, 'W', 0x00, 0x00};
  f.resize(5 + sizeof identity);
  std::memcpy(&f[5], &identity, sizeof identity);
  std::swap(f[5 + 8], f[5 + 9]);  // words big-endian on the wire
  std::swap(f[5 + 11], f[5 + 12]);
  f.push_back(Sum(f.data() + 2, 19));
  f.push_back(0xFF);
  f.push_back(0xFF);
  return f;
}

std::vector<std::uint8_t> ScriptedDevices::HeaderFrame(std::uint8_t kind, int address, int length) {
  std::vector<std::uint8_t> f = {kind, static_cast<std::uint8_t>(address >> 8),
                                 static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(length >> 8),
                                 static_cast<std::uint8_t>(length)};
  f.push_back(static_cast<std::uint8_t>(-Sum(f.data(), f.size())));
  return f;
}

std::vector<std::uint8_t> ScriptedDevices::ReadReply(int address, const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> f = HeaderFrame('A', address, static_cast<int>(data.size()));
  f.insert(f.end(), data.begin(), data.end());
  f.push_back(static_cast<std::uint8_t>(-Sum(data.data(), data.size())));
  return f;
}

void ScriptedDevices::SetEscMemory(const std::vector<std::uint8_t>& memory) {
  std::lock_guard lock(m_mutex);
  m_memory = memory;
  m_memory.resize(kSettingsReadLength, 0);
}

std::vector<std::uint8_t> ScriptedDevices::EscMemory() const {
  std::lock_guard lock(m_mutex);
  return m_memory;
}

std::vector<ReceivedCommand> ScriptedDevices::Commands() const {
  std::lock_guard lock(m_mutex);
  return m_commands;
}

void ScriptedDevices::ClearCommands() {
  std::lock_guard lock(m_mutex);
  m_commands.clear();
}

void ScriptedDevices::HoldAtCommand(std::size_t index) {
  std::lock_guard lock(m_mutex);
  m_holdAt = index;
}

bool ScriptedDevices::Held() const {
  std::lock_guard lock(m_mutex);
  return m_held;
}

void ScriptedDevices::Release() {
  std::lock_guard lock(m_mutex);
  m_holdAt.reset();
  m_held = false;
  m_holdChanged.notify_all();
}

void ScriptedDevices::OnReport(const std::vector<std::uint8_t>& report) {
  if (report.size() < 3 || report[0] != 0x02 || report[1] > 1) return;
  const std::size_t n = std::min<std::size_t>(report[2], report.size() - 3);
  std::unique_lock lock(m_mutex);
  for (std::size_t i = 0; i < n; ++i)
    OnByte(report[1], report[3 + i]);
  if (m_holdAt && m_commands.size() > *m_holdAt) {
    m_holdAt.reset();
    m_held = true;
    m_holdChanged.wait(lock, [this] { return !m_held; });
  }
}

void ScriptedDevices::OnByte(std::uint8_t channel, std::uint8_t b) {
  ChannelState& s = m_channels[channel];
  if (s.inData) {
    if (s.current.data.size() < static_cast<std::size_t>(s.current.length)) {
      s.current.data.push_back(b);
    } else {
      s.current.checksum.push_back(b);
    }
    if (s.current.data.size() + s.current.checksum.size() == s.expected) {
      s.inData = false;
      OnDataPhase(channel, std::move(s.current));
      s.current = {};
    }
    return;
  }
  s.pending.push_back(b);
  const std::uint8_t kind = s.pending[0];
  const bool fixed = kind == 0x0F || kind == 't' || kind == 'c';
  if (s.pending.size() < (fixed ? 7u : 6u)) return;
  ReceivedCommand command;
  command.channel = channel;
  command.command = kind;
  if (!fixed) {
    command.address = s.pending[1] * 256 + s.pending[2];
    command.length = s.pending[3] * 256 + s.pending[4];
  }
  s.pending.clear();
  OnCommand(channel, std::move(command));
}

void ScriptedDevices::OnCommand(std::uint8_t channel, ReceivedCommand command) {
  const bool toEsc = channel == 1;
  switch (command.command) {
    case 0x0F:
      if (toEsc ? m_script.escAnswers : m_script.boxAnswers) {
        Reply(channel, IdentifyReply(toEsc ? m_script.esc : m_script.box));
      }
      break;
    case 'a':
      if (toEsc && m_script.escAnswers && m_script.answerReads) {
        std::vector<std::uint8_t> data(m_memory.begin(), m_memory.end());
        if (m_script.readDataLength >= 0) data.resize(m_script.readDataLength);
        std::vector<std::uint8_t> reply = ReadReply(command.address, data);
        if (m_script.corruptReadSum) reply.back() = static_cast<std::uint8_t>(reply.back() + 1);
        Reply(channel, reply);
      }
      break;
    case 's':
    case 'n':
    case 'p':
      if (command.length > 0 && (!toEsc || m_script.escAnswers)) {
        if (m_script.acknowledge) Reply(channel, HeaderFrame('Y', command.address, command.length));
        const bool fourBytes = command.command == 'p' && toEsc && m_script.esc.firmwareVersion >= 0x0105;
        ChannelState& s = m_channels[channel];
        s.inData = true;
        s.expected = command.length + (fourBytes ? 4 : 1);
        s.current = std::move(command);
        return;
      }
      break;
    default:
      break;
  }
  m_commands.push_back(std::move(command));
}

void ScriptedDevices::OnDataPhase(std::uint8_t channel, ReceivedCommand command) {
  const std::uint8_t sum8 = Sum(command.data.data(), command.data.size());
  const bool good =
      command.checksum.size() == 4 ||
      (command.checksum.size() == 1 && static_cast<std::uint8_t>(sum8 + command.checksum[0]) == 0);
  if (good && command.command != 'p') {
    const int offset = command.address - static_cast<int>(kSettingsAddress);
    if (offset >= 0 && offset + command.data.size() <= kSettingsSize) {
      std::copy(command.data.begin(), command.data.end(), m_memory.begin() + offset);
    }
  }
  if (good && m_script.answerWrites && m_script.writeAnswersLeft != 0) {
    if (m_script.writeAnswersLeft > 0) --m_script.writeAnswersLeft;
    const std::uint8_t done = command.command == 's' ? 'S' : command.command == 'n' ? 'N' : 'P';
    Reply(channel, HeaderFrame(done, command.address, command.length));
    if (done == 'P' && channel == 1 && m_script.escSilentAfterProgram) m_script.escAnswers = false;
  }
  m_commands.push_back(std::move(command));
}

void ScriptedDevices::Reply(std::uint8_t channel, const std::vector<std::uint8_t>& bytes) {
  m_hid.QueueInput(channel, bytes, m_script.splitReplies);
}
