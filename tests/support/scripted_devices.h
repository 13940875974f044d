// A box and an ESC behind it, scripted on top of FakeHid: they decode the
// frames the host sends on each channel and answer as the devices do, with
// knobs for the failures tests need.
#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "link/device_identity.h"
#include "support/fake_hid.h"

// One command frame the devices received, with its data phase if any.
struct ReceivedCommand {
  std::uint8_t channel = 0;
  std::uint8_t command = 0;
  int address = 0;
  int length = 0;
  std::vector<std::uint8_t> data;  // data phase bytes without the checksum
  std::vector<std::uint8_t> checksum;
};

class ScriptedDevices {
 public:
  explicit ScriptedDevices(FakeHid& hid);
  ~ScriptedDevices();

  // Identities in host order, as the program holds them.
  static DeviceIdentity Identity(const char* model, std::uint16_t identityWord, std::uint16_t firmware);
  // An identify reply frame carrying the identity.
  static std::vector<std::uint8_t> IdentifyReply(const DeviceIdentity& identity);
  // A 6-byte header frame with its check byte.
  static std::vector<std::uint8_t> HeaderFrame(std::uint8_t kind, int address, int length);
  // 'A' header, data and check byte.
  static std::vector<std::uint8_t> ReadReply(int address, const std::vector<std::uint8_t>& data);

  struct Script {
    bool boxAnswers = true;
    bool escAnswers = true;
    DeviceIdentity box = Identity("BOX10", 0, 0x0100);
    DeviceIdentity esc = Identity("ESC12", 0, 0x0105);
    bool acknowledge = true;             // 'Y' before a data phase
    bool answerWrites = true;            // 'S', 'N', 'P' after a good data phase
    int writeAnswersLeft = -1;           // how many more of them to send; -1 no limit
    bool escSilentAfterProgram = false;  // the ESC stops answering once programmed
    bool answerReads = true;             // 'A' to an 'a'
    int readDataLength = -1;             // -1: what was asked for
    bool corruptReadSum = false;         // the 'A' data check is one off
    int splitReplies = 58;               // bytes per input report
  };

  // Changes the script; takes effect for the next frame.
  template <class Edit>
  void Update(Edit edit) {
    std::lock_guard lock(m_mutex);
    edit(m_script);
  }

  // Holds the host at a command: the write that completes command `index`
  // (counted as Commands() counts them) does not return until Release(), so
  // the link stays just as it was when it sent that command.
  void HoldAtCommand(std::size_t index);
  bool Held() const;
  // Lets a held write return, and drops a hold not reached yet.
  void Release();

  // The ESC's 2485 readable bytes: the settings image and 8 live bytes.
  void SetEscMemory(const std::vector<std::uint8_t>& memory);
  std::vector<std::uint8_t> EscMemory() const;
  std::vector<ReceivedCommand> Commands() const;
  void ClearCommands();

 private:
  struct ChannelState {
    std::vector<std::uint8_t> pending;  // bytes of a command frame being collected
    bool inData = false;
    ReceivedCommand current;
    std::size_t expected = 0;  // data bytes plus checksum bytes
  };

  void OnReport(const std::vector<std::uint8_t>& report);
  void OnByte(std::uint8_t channel, std::uint8_t b);
  void OnCommand(std::uint8_t channel, ReceivedCommand command);
  void OnDataPhase(std::uint8_t channel, ReceivedCommand command);
  void Reply(std::uint8_t channel, const std::vector<std::uint8_t>& bytes);

  FakeHid& m_hid;
  mutable std::mutex m_mutex;
  Script m_script;
  std::vector<std::uint8_t> m_memory;
  std::vector<ReceivedCommand> m_commands;
  std::array<ChannelState, 2> m_channels;
  std::optional<std::size_t> m_holdAt;
  bool m_held = false;
  std::condition_variable m_holdChanged;
};
