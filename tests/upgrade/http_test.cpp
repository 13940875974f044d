// HTTP against loopback servers: the protocols and redirects it takes, the
// stall abort, the body cap, and a cancel that ends a stalled transfer.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>

#include "platform/http.h"
#include "upgrade/loopback_server.h"

namespace {

using Clock = std::chrono::steady_clock;

// Well below the stall time of the default limits, far above a prompt end:
// a guard that tells the two apart, not a measure of speed.
constexpr auto kPromptGuard = std::chrono::seconds(5);

// The body read whole; nothing when the transfer broke off.
std::optional<std::string> ReadAll(platform::HttpResponse& response) {
  std::string body;
  char piece[100];
  for (long got; (got = response.read(piece, sizeof piece)) != 0;) {
    if (got < 0) return std::nullopt;
    body.append(piece, static_cast<std::size_t>(got));
  }
  return body;
}

// "/hop/N" redirects to "/hop/N-1"; "/hop/0" is the reply; "/to?X" sends X
// as the Location.
ScriptedServer::Reply Hops(const std::string& path) {
  if (path.rfind("/to?", 0) == 0) return {HttpReply(302, "", "Location: " + path.substr(4) + "\r\n")};
  const int hops = std::stoi(path.substr(5));
  if (hops == 0) return {HttpReply(200, "arrived")};
  return {HttpReply(302, "moved", "Location: /hop/" + std::to_string(hops - 1) + "\r\n")};
}

TEST(Http, OnlyHttpAndAFewRedirects) {
  ScriptedServer server(Hops);
  const std::string base = server.Base();
  const struct {
    std::string url;
    bool opens;
  } cases[] = {
      {base + "/hop/0", true},
      {base + "/hop/5", true},
      {base + "/hop/6", false},
      {base + "/to?ftp://127.0.0.1:9/image.bin", false},
      {base + "/to?file:///etc/hostname", false},
      {base + "/to?" + base + "/hop/1", true},
      {"file:///etc/hostname", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.url);
    const auto response = platform::OpenUrl(c.url);
    ASSERT_EQ(response != nullptr, c.opens);
    if (!c.opens) continue;
    EXPECT_EQ(response->status(), 200);
    EXPECT_EQ(ReadAll(*response), "arrived");
  }
}

TEST(Http, BodiesUpToTheCap) {
  platform::HttpLimits limits;
  limits.maxBodyBytes = 5000;
  for (std::size_t size : {0, 4999, 5000, 5001, 200000}) {
    SCOPED_TRACE(size);
    LoopbackServer server(200, std::string(size, 'b'));
    const auto response = platform::OpenUrl(server.Url(), nullptr, limits);
    ASSERT_NE(response, nullptr);
    const auto body = ReadAll(*response);
    if (size <= limits.maxBodyBytes) {
      EXPECT_EQ(body, std::string(size, 'b'));
    } else {
      EXPECT_EQ(body, std::nullopt);
    }
  }
}

TEST(Http, AStalledTransferBreaksOff) {
  platform::HttpLimits limits;
  limits.stallSeconds = 1;
  const std::string head = "HTTP/1.1 200 X\r\nContent-Length: 1000\r\n\r\n";
  // Silent after the request; silent after part of the body.
  for (const std::string& sent : {std::string(), head + std::string(300, 'b')}) {
    SCOPED_TRACE(sent.size());
    ScriptedServer server([&](const std::string&) { return ScriptedServer::Reply{sent, true}; });
    const auto started = Clock::now();
    const auto response = platform::OpenUrl(server.Url(), nullptr, limits);
    if (sent.empty()) {
      EXPECT_EQ(response, nullptr);
    } else {
      ASSERT_NE(response, nullptr);
      EXPECT_EQ(response->status(), 200);
      EXPECT_EQ(ReadAll(*response), std::nullopt);
    }
    // Ended by the stall, long before the limit on the whole transfer.
    EXPECT_LT(Clock::now() - started, std::chrono::seconds(limits.transferSeconds / 2));
  }
}

TEST(Http, ACancelEndsAStalledTransferPromptly) {
  std::atomic<bool> cancel{false};
  std::atomic<Clock::time_point> cancelled{};
  const auto cancelNow = [&] {
    cancelled = Clock::now();
    cancel = true;
  };
  // Silent after the request: the server's thread cancels the opening.
  {
    ScriptedServer server([&](const std::string&) { return ScriptedServer::Reply{"", true, cancelNow}; });
    EXPECT_EQ(platform::OpenUrl(server.Url(), &cancel), nullptr);
    EXPECT_LT(Clock::now() - cancelled.load(), kPromptGuard);
    // A cancelled flag opens nothing.
    EXPECT_EQ(platform::OpenUrl(server.Url(), &cancel), nullptr);
  }
  // Silent after part of the body: another thread cancels the reading.
  cancel = false;
  ScriptedServer server([&](const std::string&) {
    return ScriptedServer::Reply{"HTTP/1.1 200 X\r\nContent-Length: 1000\r\n\r\n" + std::string(300, 'b'),
                                 true};
  });
  const auto response = platform::OpenUrl(server.Url(), &cancel);
  ASSERT_NE(response, nullptr);
  std::thread canceller(cancelNow);
  EXPECT_EQ(ReadAll(*response), std::nullopt);
  canceller.join();
  EXPECT_LT(Clock::now() - cancelled.load(), kPromptGuard);
}

}  // namespace
