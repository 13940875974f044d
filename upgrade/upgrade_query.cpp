// The upgrade server's reply: a text of entries, each with an id, a version,
// release notes and a download address, cut out by fixed key texts.
#include <cstdio>
#include <string_view>

#include "platform/http.h"
#include "upgrade/upgrade_list.h"

namespace {

// The key texts, in the order they are sought. The id key has its opening
// quote, so that members named "uuid" or "pid" are never taken for it.
constexpr std::string_view kIdKey = "\"id\":\"";
constexpr std::string_view kVersionKey = "\",\"version\":\"";
constexpr std::string_view kMemoKey = "\",\"memo\":{";
constexpr std::string_view kChecksumKey = "},\"checksum\":";
constexpr std::string_view kUrlKey = "\",\"download_url\":\"";
constexpr std::string_view kEndKey = "\"}";

constexpr std::size_t kReadPiece = 1024;
constexpr int kHttpOk = 200;

// Where a key first stands in the text; a key that is absent, or that stands
// at the very start, counts as not found.
std::size_t Find(std::string_view text, std::string_view key) {
  const std::size_t at = text.find(key);
  return at == 0 ? std::string::npos : at;
}

// Where a key first stands after the end of the key found at `previous`, so
// that no key is ever found inside the one before it.
std::size_t FindAfter(std::string_view text, std::string_view key, std::size_t previous,
                      std::string_view previousKey) {
  return text.find(key, previous + previousKey.size());
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
  constexpr std::size_t npos = std::string::npos;
  // A list holds 100 entries; the rest of a longer reply is not read.
  while (list.count < kMaxUpgradeEntries) {
    const std::size_t id = Find(text, kIdKey);
    if (id == npos) return;
    // An entry's other keys count only before the next entry begins: one
    // that lacks a key ends the reading rather than borrow the next one's.
    const std::string_view entry =
        std::string_view(text).substr(0, std::string_view(text).find(kIdKey, id + kIdKey.size()));
    const std::size_t version = FindAfter(entry, kVersionKey, id, kIdKey);
    if (version == npos) return;
    const std::size_t memo = FindAfter(entry, kMemoKey, version, kVersionKey);
    if (memo == npos) return;
    const int slot = list.count;
    const std::size_t versionText = version + kVersionKey.size();
    list.versionText[slot] = entry.substr(versionText, memo - versionText);
    ParseVersionEntry(list);

    // The notes are the memo object's inside, up to its checksum member.
    const std::size_t notes = memo + kMemoKey.size();
    const std::size_t checksum = FindAfter(entry, kChecksumKey, memo, kMemoKey);
    list.memo[slot] = checksum == npos ? std::string() : std::string(entry.substr(notes, checksum - notes));

    const std::size_t url = checksum == npos ? FindAfter(entry, kUrlKey, memo, kMemoKey)
                                             : FindAfter(entry, kUrlKey, checksum, kChecksumKey);
    if (url == npos) return;
    const std::size_t end = FindAfter(entry, kEndKey, url, kUrlKey);
    if (end == npos) return;
    const std::size_t address = url + kUrlKey.size();
    std::string written(entry.substr(address, end - address));
    std::erase(written, '\\');
    list.url[slot] = written;

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
