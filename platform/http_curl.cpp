// HTTP on libcurl. The transfer runs whole when the URL is opened; the body
// is then handed out in pieces, and a transfer that broke off mid-body ends
// its pieces with an error.
#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <mutex>

#include "platform/http.h"

namespace platform {

namespace {

constexpr long kConnectTimeoutSeconds = 15;
constexpr long kTransferTimeoutSeconds = 120;
// Replies and firmware images are small; a larger body is refused.
constexpr std::size_t kMaxBody = 8 * 1024 * 1024;

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Transfer {
  std::string body;
  bool tooLarge = false;
  const std::atomic<bool>* cancel = nullptr;
};

// Called while the transfer runs: a non-zero result aborts it.
int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* transfer = static_cast<Transfer*>(user);
  return transfer->cancel != nullptr && *transfer->cancel ? 1 : 0;
}

std::size_t Collect(char* data, std::size_t size, std::size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  const std::size_t bytes = size * count;
  if (transfer->body.size() + bytes > kMaxBody) {
    transfer->tooLarge = true;
    return 0;  // stops the transfer
  }
  transfer->body.append(data, bytes);
  return bytes;
}

class CurlResponse final : public HttpResponse {
 public:
  CurlResponse(int status, std::string body, bool complete)
      : m_status(status), m_body(std::move(body)), m_complete(complete) {}

  int status() const override { return m_status; }

  long read(char* buffer, std::size_t size) override {
    if (m_position == m_body.size()) return m_complete ? 0 : -1;
    const std::size_t n = std::min(size, m_body.size() - m_position);
    std::memcpy(buffer, m_body.data() + m_position, n);
    m_position += n;
    return static_cast<long>(n);
  }

 private:
  int m_status;
  std::string m_body;
  bool m_complete;
  std::size_t m_position = 0;
};

}  // namespace

std::unique_ptr<HttpResponse> OpenUrl(const std::string& url, const std::atomic<bool>* cancel) {
  InitCurlOnce();
  CURL* curl = curl_easy_init();
  if (curl == nullptr) return nullptr;
  Transfer transfer;
  transfer.cancel = cancel;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Progress);
  curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT, kTransferTimeoutSeconds);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Collect);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
  const CURLcode result = curl_easy_perform(curl);
  long status = 0;
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  curl_easy_cleanup(curl);

  // No reply at all: the URL could not be opened.
  if (status == 0) return nullptr;
  return std::make_unique<CurlResponse>(static_cast<int>(status), std::move(transfer.body),
                                        result == CURLE_OK && !transfer.tooLarge);
}

}  // namespace platform
