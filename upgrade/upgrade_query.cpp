// The upgrade server's reply: a text of entries, each with an id, a version,
// release notes and a download address, cut out by fixed key texts.
#include <cstdio>
#include <string_view>

#include "platform/http.h"
#include "upgrade/upgrade_list.h"

namespace {

// The key texts, in the order they are sought.
constexpr std::string_view kIdKey = "id\":\"";
constexpr std::string_view kVersionKey = "\",\"version\":\"";
constexpr std::string_view kMemoKey = "\",\"memo\":{";
constexpr std::string_view kChecksumKey = "},\"checksum\":";
constexpr std::string_view kUrlKey = "\",\"download_url\":\"";
constexpr std::string_view kEndKey = "\"}";

constexpr std::size_t kReadPiece = 1024;
constexpr int kHttpOk = 200;

// Where a key first stands in the text; a key that is absent, or that stands
// at the very start, counts as not found.
std::size_t Find(const std::string& text, std::string_view key, std::size_t from = 0) {
  const std::size_t at = text.find(key, from);
  return at == 0 ? std::string::npos : at;
}

// Both keys found, the second after the first.
bool InOrder(std::size_t first, std::size_t second) {
  return first != std::string::npos && second != std::string::npos && second > first;
}

// 1 to 3 characters read as a decimal number, each counting as its code
// minus '0', modulo 256; anything else gives 0.
int ShortNumber(std::string_view digits) {
  if (digits.empty() || digits.size() > 3) return 0;
  int value = 0;
  for (char c : digits)
    value = (value * 10 + (static_cast<unsigned char>(c) - '0')) & 0xFF;
  return value;
}

}  // namespace

void ParseVersionEntry(UpgradeList& list) {
  std::string& text = list.versionText[list.count];
  const std::size_t dot = text.find('.');
  int major = 0, minor = 0;
  if (dot != std::string::npos) {
    major = ShortNumber(std::string_view(text).substr(0, dot));
    minor = ShortNumber(std::string_view(text).substr(dot + 1));
  }
  list.version[list.count] = static_cast<std::uint16_t>(major * 256 + minor);
  char formatted[16];
  std::snprintf(formatted, sizeof formatted, "%d.%02d", major, minor);
  text = formatted;
}

void ReadUpgradeReply(UpgradeList& list, std::string text) {
  // A list holds 100 entries; the rest of a longer reply is not read.
  while (list.count < kMaxUpgradeEntries) {
    const std::size_t id = Find(text, kIdKey);
    const std::size_t version = Find(text, kVersionKey);
    if (!InOrder(id, version)) return;
    const std::size_t memo = Find(text, kMemoKey);
    if (!InOrder(version, memo)) return;
    const int slot = list.count;
    list.versionText[slot] = text.substr(version + kVersionKey.size(), memo - version - kVersionKey.size());
    ParseVersionEntry(list);

    const std::size_t url = Find(text, kUrlKey);
    if (!InOrder(memo, url)) return;
    // The notes are the memo object's inside, up to its checksum member.
    const std::string notes = text.substr(memo + kMemoKey.size(), url - memo - kMemoKey.size());
    const std::size_t checksum = notes.find(kChecksumKey);
    list.memo[slot] = checksum == std::string::npos ? std::string() : notes.substr(0, checksum);

    const std::size_t end = text.find(kEndKey, url);
    if (end == std::string::npos) return;
    std::string address = text.substr(url + kUrlKey.size(), end - url - kUrlKey.size());
    std::erase(address, '\\');
    list.url[slot] = address;

    text.erase(0, end + kEndKey.size());
    ++list.count;
  }
}

void QueryUpgradeServer(UpgradeList& list, bool reset, const std::atomic<bool>* cancel) {
  const std::unique_ptr<platform::HttpResponse> response = platform::OpenUrl(list.queryUrl, cancel);
  if (!response) {
    list.queryFailed = 1;
    return;
  }
  if (response->status() != kHttpOk) return;

  // The body in pieces; each piece counts up to its first zero byte. A body
  // that breaks off is a failed query.
  std::string text;
  char piece[kReadPiece + 1];
  for (;;) {
    const long got = response->read(piece, kReadPiece);
    if (got < 0) return;
    if (got == 0) break;
    piece[got] = '\0';
    text.append(piece);
  }
  if (reset) list.count = 0;
  ReadUpgradeReply(list, std::move(text));
}
