#include "sim/protocol.h"

#include <algorithm>

namespace corvane::sim {

std::uint8_t sum8(const std::uint8_t* bytes, std::size_t n) {
  std::uint8_t sum = 0;
  for (std::size_t i = 0; i < n; ++i)
    sum = static_cast<std::uint8_t>(sum + bytes[i]);
  return sum;
}

std::uint8_t negatedSum8(const std::uint8_t* bytes, std::size_t n) {
  return static_cast<std::uint8_t>(0x100 - sum8(bytes, n));
}

Identity Identity::make(std::string_view model, std::uint16_t identityWord, std::uint16_t firmwareVersion,
                        std::uint8_t hardwareVersion) {
  Identity id;
  id.setModel(model);
  id.identityWord = identityWord;
  id.firmwareVersion = firmwareVersion;
  id.hardwareVersion = hardwareVersion;
  return id;
}

void Identity::setModel(std::string_view name) {
  model.fill('\0');
  std::copy_n(name.begin(), std::min(name.size(), model.size()), model.begin());
}

std::array<std::uint8_t, 16> Identity::wireBytes() const {
  std::array<std::uint8_t, 16> b{};
  for (std::size_t i = 0; i < model.size(); ++i)
    b[i] = static_cast<std::uint8_t>(model[i]);
  b[8] = static_cast<std::uint8_t>(identityWord >> 8);
  b[9] = static_cast<std::uint8_t>(identityWord);
  b[11] = static_cast<std::uint8_t>(firmwareVersion >> 8);
  b[12] = static_cast<std::uint8_t>(firmwareVersion);
  b[13] = hardwareVersion;
  b[15] = negatedSum8(b.data(), 15);
  return b;
}

std::vector<std::uint8_t> identifyReply(const Identity& identity) {
  std::array<std::uint8_t, 24> f{0x0F, 0x14, 0x57, 0x00, 0x00};
  const auto id = identity.wireBytes();
  std::copy(id.begin(), id.end(), f.begin() + 5);
  f[21] = sum8(f.data() + 2, 19);  // bytes 2..20
  f[22] = 0xFF;
  f[23] = 0xFF;
  return {f.begin(), f.end()};
}

std::vector<std::uint8_t> headerFrame(std::uint8_t kind, std::uint16_t address, std::uint16_t length) {
  std::vector<std::uint8_t> f{kind, static_cast<std::uint8_t>(address >> 8),
                              static_cast<std::uint8_t>(address), static_cast<std::uint8_t>(length >> 8),
                              static_cast<std::uint8_t>(length)};
  f.push_back(negatedSum8(f.data(), f.size()));
  return f;
}

std::vector<std::uint8_t> readReply(std::uint16_t address, const std::vector<std::uint8_t>& data) {
  auto f = headerFrame('A', address, static_cast<std::uint16_t>(data.size()));
  if (data.empty()) return f;
  f.insert(f.end(), data.begin(), data.end());
  f.push_back(negatedSum8(data.data(), data.size()));
  return f;
}

std::vector<std::uint8_t> testReport(bool start, std::uint8_t timing, std::uint16_t word) {
  const char* text = start ? "STA" : "END";
  return {'T',
          timing,
          static_cast<std::uint8_t>(text[0]),
          static_cast<std::uint8_t>(text[1]),
          static_cast<std::uint8_t>(text[2]),
          static_cast<std::uint8_t>(word >> 8),
          static_cast<std::uint8_t>(word),
          0x00};
}

std::vector<std::uint8_t> liveFrame(std::uint16_t escTempAdc, std::uint16_t motorTempAdc,
                                    std::uint8_t period) {
  std::vector<std::uint8_t> f{'V',
                              static_cast<std::uint8_t>(escTempAdc >> 8),
                              static_cast<std::uint8_t>(escTempAdc),
                              static_cast<std::uint8_t>(motorTempAdc >> 8),
                              static_cast<std::uint8_t>(motorTempAdc),
                              period,
                              0x00};
  // This check is the plain sum, not its negation.
  f.push_back(sum8(f.data(), f.size()));
  return f;
}

std::vector<std::uint8_t> checkReply() {
  return {'C', 'H', 'E', 'C', 'K', 'O'};
}

void corruptFrame(std::vector<std::uint8_t>& frame, CorruptPart part) {
  if (frame.empty()) return;
  std::size_t at = frame.size() - 1;
  switch (frame[0]) {
    case 0x0F:
      at = frame.size() > 21 ? 21 : at;
      break;
    case 'A':
    case 'S':
    case 'N':
    case 'P':
    case 'Y':
      if (part == CorruptPart::Header && frame.size() > 5) at = 5;
      break;
    case 'T':
      at = frame.size() > 2 ? 2 : at;
      break;
    case 'C':
      at = frame.size() > 1 ? 1 : at;
      break;
    default:
      break;
  }
  frame[at] = static_cast<std::uint8_t>(frame[at] + 1);
}

namespace {

void putLe16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}

void putBe16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 8);
  p[1] = static_cast<std::uint8_t>(v);
}

constexpr std::size_t kProfileSize = 242;
constexpr std::size_t kProfileCount = 10;

// One factory profile. Settings words are little-endian.
std::array<std::uint8_t, kProfileSize> factoryProfile() {
  std::array<std::uint8_t, kProfileSize> p{};
  const std::uint8_t head[] = {0,  0x40, 30,   1,  1,  0x80, 5, 5, 0x41,
                               10, 75,   0x80, 50, 10, 16,   1, 0};  // 0x00..0x10
  std::copy(std::begin(head), std::end(head), p.begin());
  putLe16(&p[0x11], 15000);  // boost start rpm
  putLe16(&p[0x13], 25000);  // boost end rpm
  p[0x15] = 1;               // boost slope linear
  p[0x16] = 1;               // boost throttle constraint
  p[0x17] = 0;               // turbo timing
  p[0x18] = 0;               // turbo activation
  p[0x19] = 10;              // turbo delay
  putLe16(&p[0x1a], 20000);  // turbo rpm
  p[0x1c] = 52;              // turbo engage slope
  p[0x1d] = 32;              // turbo deactive slope
  p[0x20] = 255;             // throttle curve: (0, 0), (255, 255)
  p[0x21] = 255;
  putLe16(&p[0x3e], 2);
  p[0x42] = 255;  // brake curve: (0, 0), (255, 255)
  p[0x43] = 255;
  putLe16(&p[0x60], 2);
  return p;
}

}  // namespace

std::array<std::uint8_t, kSettingsSize> factorySettings() {
  std::array<std::uint8_t, kSettingsSize> s{};
  const auto profile = factoryProfile();
  for (std::size_t k = 0; k < kProfileCount; ++k)
    std::copy(profile.begin(), profile.end(), &s[k * kProfileSize]);
  s[2420] = 0;              // selected profile
  putLe16(&s[2421], 2041);  // throttle low
  putLe16(&s[2423], 3062);  // throttle neutral
  putLe16(&s[2425], 4083);  // throttle high
  putLe16(&s[2427], 164);   // dead band
  std::fill(&s[2429], s.data() + s.size(), 0xFF);
  return s;
}

std::array<std::uint8_t, kLiveSize> restingLiveBytes() {
  std::array<std::uint8_t, kLiveSize> live{};
  putBe16(&live[0], 0);     // rpm period: stopped
  putBe16(&live[2], 3941);  // ESC sensor, about 25 C
  putBe16(&live[4], 1624);  // motor sensor, about 25 C
  return live;
}

}  // namespace corvane::sim
