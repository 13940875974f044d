// The upgrade server's offers for one kind of device, and the query URL that
// asks for them.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "link/device_identity.h"

inline constexpr int kMaxUpgradeEntries = 100;

struct UpgradeList {
  std::uint8_t count = 0;                          // entries 0..count-1 are valid
  std::uint16_t version[kMaxUpgradeEntries] = {};  // high byte major, low byte minor
  std::string versionText[kMaxUpgradeEntries];     // "%d.%02d"
  std::string memo[kMaxUpgradeEntries];
  std::string url[kMaxUpgradeEntries];
  std::string queryUrl;
  std::uint8_t queryFailed = 0;
  std::uint8_t deviceBytes[8] = {};
};

// Stored identities of the default query URLs, used until a device has
// reported its own.
inline constexpr const char* kDefaultEscQueryId = "45534331320000000001050100000061";
inline constexpr const char* kDefaultBoxQueryId = "424F5831300000000001000100000089";
inline constexpr const char* kDefaultLinkQueryId = "51525431300000000001010000000019";

// "<server>/?SN=" (the server's base address as platform::UpgradeServerAddress
// gives it) and the 32 upper-case hex digits of the identity, with its
// two words back in device (big-endian) order.
std::string BuildUpgradeQueryUrl(DeviceIdentity identity);

// The query URL of a stored 32-digit identity.
std::string DefaultQueryUrl(const char* storedId);

// Asks the server at list.queryUrl for its offers and reads them into the
// list: with reset a good reply replaces the entries, else they are appended.
// A URL that cannot be opened sets queryFailed; any other failure leaves the
// list as it was. Blocks for the network exchange.
void QueryUpgradeServer(UpgradeList& list, bool reset, const std::atomic<bool>* cancel = nullptr);

// The index of the entry to offer: the first of the highest versions above
// the device's firmware; -1 when none is newer.
int FindNewerVersion(const UpgradeList& list, const DeviceIdentity& device);

// Reads the version text of the entry being read (slot count) into its
// version and rewrites the text as "major.minor" with two minor digits.
void ParseVersionEntry(UpgradeList& list);

// The entries of a reply text: what QueryUpgradeServer does with a body.
void ReadUpgradeReply(UpgradeList& list, std::string text);
