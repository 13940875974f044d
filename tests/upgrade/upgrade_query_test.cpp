// The upgrade server's query URL and the reading of its reply, against a
// small HTTP server on the loopback interface.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/upgrade_server.h"
#include "upgrade/loopback_server.h"
#include "upgrade/upgrade_list.h"

namespace {

// One entry of a reply as the server writes it.
std::string Entry(const std::string& id, const std::string& version, const std::string& memo,
                  const std::string& url) {
  return "{\"id\":\"" + id + "\",\"version\":\"" + version + "\",\"memo\":{" + memo +
         "},\"checksum\":\"AB12\",\"download_url\":\"" + url + "\"}";
}

UpgradeList ListWithOneEntry() {
  UpgradeList list;
  list.count = 1;
  list.version[0] = 0x0100;
  list.versionText[0] = "1.00";
  list.url[0] = "http://old";
  return list;
}

TEST(UpgradeQueryUrl, HexDigitsOfTheIdentityInDeviceOrder) {
  DeviceIdentity id{};
  std::memcpy(id.modelName, "ESC12", 5);
  id.identityWord = 3;
  id.firmwareVersion = 0x0105;
  id.unused14 = 0x77;
  id.checkByte = 0x12;
  const std::string url = BuildUpgradeQueryUrl(id);
  const std::string query = url.substr(url.find("/?SN=") + 5);
  ASSERT_EQ(query.size(), 32u);
  // The two words back to big-endian; bytes 14 and 15 as held.
  EXPECT_EQ(query, "45534331320000000003000105007712");
  EXPECT_EQ(url.substr(0, 7), "http://");

  // Firmware 3.02 gets byte 14 zeroed and a fresh check byte.
  id.firmwareVersion = 0x0302;
  const std::string q302 = BuildUpgradeQueryUrl(id).substr(url.find("/?SN=") + 5);
  EXPECT_EQ(q302.substr(22, 4), "0302");
  EXPECT_EQ(q302.substr(28, 2), "00");
  unsigned sum = 0;
  for (int i = 0; i < 32; i += 2)
    sum += std::stoul(q302.substr(i, 2), nullptr, 16);
  EXPECT_EQ(sum % 256, 0u);
}

TEST(UpgradeQueryUrl, ServerAddressFromTheEnvironmentOrTheBuild) {
  UpgradeServerOverride server(nullptr);
  struct Case {
    const char* set;
    const char* address;
  } cases[] = {
      {nullptr, "http://built.in"}, {"", "http://built.in"}, {"http://127.0.0.1:9", "http://127.0.0.1:9"}};
  for (const Case& c : cases) {
    server.Set(c.set);
    EXPECT_EQ(platform::UpgradeServerAddress("http://built.in"), c.address) << (c.set ? c.set : "unset");
  }
  // Both kinds of query URL begin with it.
  EXPECT_EQ(DefaultQueryUrl("00"), "http://127.0.0.1:9/?SN=00");
  EXPECT_EQ(BuildUpgradeQueryUrl(DeviceIdentity{}).rfind("http://127.0.0.1:9/?SN=", 0), 0u);
}

TEST(UpgradeReply, VersionTexts) {
  struct Case {
    const char* text;
    std::uint16_t version;
    const char* shown;
  } cases[] = {{"1.5", 0x0105, "1.05"},    {"1.50", 0x0132, "1.50"}, {"10.12", 0x0A0C, "10.12"},
               {"2", 0, "0.00"},           {".5", 0x0005, "0.05"},   {"1234.5", 0x0005, "0.05"},
               {"1.2345", 0x0100, "1.00"}, {"3.", 0x0300, "3.00"}};
  for (const Case& c : cases) {
    UpgradeList list;
    list.versionText[0] = c.text;
    ParseVersionEntry(list);
    EXPECT_EQ(list.version[0], c.version) << c.text;
    EXPECT_EQ(list.versionText[0], c.shown) << c.text;
  }
}

TEST(UpgradeReply, EntriesAreCutByTheirKeys) {
  UpgradeList list;
  ReadUpgradeReply(list, "[" + Entry("7", "1.8", "\"en\":\"fixes\"", "http:\\/\\/host\\/a.bin") + "," +
                             Entry("8", "2.1", "", "http://host/b.bin") + "]");
  ASSERT_EQ(list.count, 2);
  EXPECT_EQ(list.version[0], 0x0108);
  EXPECT_EQ(list.memo[0], "\"en\":\"fixes\"");
  EXPECT_EQ(list.url[0], "http://host/a.bin");  // escaped slashes made plain
  EXPECT_EQ(list.versionText[1], "2.01");
  EXPECT_EQ(list.url[1], "http://host/b.bin");

  // A memo without a checksum member after it is empty.
  UpgradeList noChecksum;
  ReadUpgradeReply(noChecksum,
                   "{\"id\":\"1\",\"version\":\"1.1\",\"memo\":{x},\"size\":\"9\",\"download_url\":\"u\"}");
  ASSERT_EQ(noChecksum.count, 1);
  EXPECT_EQ(noChecksum.memo[0], "");

  // Key 1 at the very first character counts as absent.
  UpgradeList atStart;
  ReadUpgradeReply(atStart, Entry("1", "1.1", "", "u").substr(1));
  EXPECT_EQ(atStart.count, 0);

  // A broken second entry ends the reading; the first stays.
  UpgradeList broken;
  ReadUpgradeReply(broken, Entry("1", "1.1", "", "u") + "{\"id\":\"2\",\"memo\":{");
  EXPECT_EQ(broken.count, 1);
}

TEST(UpgradeReply, EachKeyIsSoughtAfterThePreviousOneWithinItsEntry) {
  const std::string noChecksum =
      "{\"id\":\"1\",\"version\":\"1.1\",\"memo\":{x},\"size\":\"9\",\"download_url\":\"http://one\"}";
  const std::string noUrl = "{\"id\":\"1\",\"version\":\"1.1\",\"memo\":{x},\"checksum\":\"0\"}";
  const std::string noMemo = "{\"id\":\"1\",\"version\":\"1.1\",\"download_url\":\"http://one\"}";
  struct Case {
    const char* what;
    std::string reply;
    std::vector<std::string> memos, urls;
  } cases[] = {
      // The memo holds the text of the address key and of the end key after it.
      {"memo holding the later keys",
       "[" + Entry("1", "1.1", "\"en\":\"a\",\"download_url\":\"}", "http://one") + "," +
           Entry("2", "1.2", "", "http://two") + "]",
       {"\"en\":\"a\",\"download_url\":\"}", ""},
       {"http://one", "http://two"}},
      // The checksum of the next entry does not end this entry's memo.
      {"entry without a checksum, then one with it",
       "[" + noChecksum + "," + Entry("2", "1.2", "y", "http://two") + "]",
       {"", "y"},
       {"http://one", "http://two"}},
      // An entry lacking a key takes nothing from the next one: the reading stops there.
      {"entry without an address", "[" + noUrl + "," + Entry("2", "1.2", "y", "http://two") + "]", {}, {}},
      {"entry without a memo", "[" + noMemo + "," + Entry("2", "1.2", "y", "http://two") + "]", {}, {}},
      // Members whose names end in "id" belong to their entry.
      {"members named uuid and pid",
       "[{\"id\":\"1\",\"uuid\":\"u\",\"version\":\"1.1\",\"memo\":{a},\"checksum\":\"0\",\"pid\":\"7\","
       "\"download_url\":\"http://one\"}," +
           Entry("2", "1.2", "", "http://two") + "]",
       {"a", ""},
       {"http://one", "http://two"}},
      {"members named uuid and pid before the id",
       "[{\"uuid\":\"u\",\"pid\":\"7\",\"id\":\"1\",\"version\":\"1.1\",\"memo\":{a},\"checksum\":\"0\","
       "\"download_url\":\"http://one\"}," +
           Entry("2", "1.2", "", "http://two") + "]",
       {"a", ""},
       {"http://one", "http://two"}},
      {"good entry, then one without an address",
       "[" + Entry("1", "1.1", "a", "http://one") + "," + noUrl + "," + Entry("3", "1.3", "", "http://3") +
           "]",
       {"a"},
       {"http://one"}},
  };
  for (const Case& c : cases) {
    UpgradeList list;
    ReadUpgradeReply(list, c.reply);
    ASSERT_EQ(list.count, c.urls.size()) << c.what;
    for (std::size_t i = 0; i < c.urls.size(); ++i) {
      EXPECT_EQ(list.memo[i], c.memos[i]) << c.what << ", entry " << i;
      EXPECT_EQ(list.url[i], c.urls[i]) << c.what << ", entry " << i;
    }
  }
}

TEST(UpgradeReply, NoMoreThanAHundredEntries) {
  std::string reply = "[";
  for (int i = 0; i < 120; ++i)
    reply += Entry(std::to_string(i), "1." + std::to_string(i % 100), "", "u") + ",";
  UpgradeList list;
  ReadUpgradeReply(list, reply);
  EXPECT_EQ(list.count, kMaxUpgradeEntries);
  EXPECT_EQ(list.versionText[99], "1.99");
}

TEST(UpgradeServer, GoodReplyReplacesOrAppends) {
  LoopbackServer server(200, "[" + Entry("1", "1.7", "", "http://a") + "]");
  UpgradeList list = ListWithOneEntry();
  list.queryUrl = server.Url();
  QueryUpgradeServer(list, false);
  ASSERT_EQ(list.count, 2);
  EXPECT_EQ(list.url[0], "http://old");
  EXPECT_EQ(list.version[1], 0x0107);

  QueryUpgradeServer(list, true);
  ASSERT_EQ(list.count, 1);
  EXPECT_EQ(list.url[0], "http://a");
  EXPECT_EQ(server.Requests(), 2);
  EXPECT_EQ(list.queryFailed, 0);
}

TEST(UpgradeServer, FailuresLeaveTheListAlone) {
  LoopbackServer notFound(404, "[" + Entry("1", "1.7", "", "http://a") + "]");
  UpgradeList list = ListWithOneEntry();
  list.queryUrl = notFound.Url();
  QueryUpgradeServer(list, true);
  EXPECT_EQ(list.count, 1);
  EXPECT_EQ(list.url[0], "http://old");
  EXPECT_EQ(list.queryFailed, 0);

  // Nobody listens: the URL does not open.
  LoopbackPort closed;  // bound, never listening
  list.queryUrl = closed.Url();
  QueryUpgradeServer(list, true);
  EXPECT_EQ(list.count, 1);
  EXPECT_EQ(list.queryFailed, 1);

  // A good reply without a complete entry empties the list when it resets.
  LoopbackServer empty(200, "[]");
  list.queryUrl = empty.Url();
  QueryUpgradeServer(list, true);
  EXPECT_EQ(list.count, 0);
}

TEST(UpgradeServer, AZeroByteEndsItsPieceOfTheBody) {
  // The first piece of 1024 bytes ends at its zero byte, so the entry after
  // it in that piece is lost; the next piece is read on.
  std::string body =
      Entry("1", "1.1", "", "http://first") + std::string(1, '\0') + Entry("2", "1.2", "", "http://lost");
  body.resize(1024, ' ');
  body += Entry("3", "1.3", "", "http://third");
  LoopbackServer server(200, body);
  UpgradeList list;
  list.queryUrl = server.Url();
  QueryUpgradeServer(list, true);
  ASSERT_EQ(list.count, 2);
  EXPECT_EQ(list.url[0], "http://first");
  EXPECT_EQ(list.url[1], "http://third");
}

}  // namespace
