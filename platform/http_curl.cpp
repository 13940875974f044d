// HTTP on libcurl's multi interface, driven by the reader: opening a URL runs
// the transfer until the final reply's headers are in, and each read runs it
// on until body bytes are there. Between runs the transfer waits on its
// socket in short slices, so that a cancel is seen promptly.
#include <curl/curl.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string_view>

#include "platform/http.h"

namespace platform {

namespace {

// Longest wait on the socket before the cancel flag is looked at again.
constexpr int kPollSliceMs = 50;
// Below this many bytes a second for the stall time, a transfer has stalled.
constexpr long kStallBytesPerSecond = 1;
constexpr const char* kProtocols = "http,https";

void InitCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    const char a = text[i] >= 'A' && text[i] <= 'Z' ? static_cast<char>(text[i] - 'A' + 'a') : text[i];
    if (a != prefix[i]) return false;
  }
  return true;
}

class CurlResponse final : public HttpResponse {
 public:
  CurlResponse(const std::atomic<bool>* cancel, std::size_t maxBody) : m_cancel(cancel), m_maxBody(maxBody) {}

  ~CurlResponse() override {
    if (m_multi != nullptr && m_easy != nullptr) curl_multi_remove_handle(m_multi, m_easy);
    if (m_easy != nullptr) curl_easy_cleanup(m_easy);
    if (m_multi != nullptr) curl_multi_cleanup(m_multi);
  }

  CurlResponse(const CurlResponse&) = delete;
  CurlResponse& operator=(const CurlResponse&) = delete;

  bool Start(const std::string& url, const HttpLimits& limits) {
    m_easy = curl_easy_init();
    m_multi = curl_multi_init();
    if (m_easy == nullptr || m_multi == nullptr) return false;
    curl_easy_setopt(m_easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(m_easy, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(m_easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(m_easy, CURLOPT_PROTOCOLS_STR, kProtocols);
    curl_easy_setopt(m_easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(m_easy, CURLOPT_REDIR_PROTOCOLS_STR, kProtocols);
    curl_easy_setopt(m_easy, CURLOPT_MAXREDIRS, limits.maxRedirects);
    curl_easy_setopt(m_easy, CURLOPT_CONNECTTIMEOUT, limits.connectSeconds);
    curl_easy_setopt(m_easy, CURLOPT_TIMEOUT, limits.transferSeconds);
    curl_easy_setopt(m_easy, CURLOPT_LOW_SPEED_LIMIT, kStallBytesPerSecond);
    curl_easy_setopt(m_easy, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds);
    curl_easy_setopt(m_easy, CURLOPT_HEADERFUNCTION, &CurlResponse::Header);
    curl_easy_setopt(m_easy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(m_easy, CURLOPT_WRITEFUNCTION, &CurlResponse::Collect);
    curl_easy_setopt(m_easy, CURLOPT_WRITEDATA, this);
    return curl_multi_add_handle(m_multi, m_easy) == CURLM_OK;
  }

  // Runs the transfer until the final reply's status is known. False when
  // there is none: the URL could not be opened.
  bool AwaitStatus() {
    Drive([this] { return m_headersDone || m_received > 0; });
    if (!m_headersDone && m_received == 0 && m_result != CURLE_OK) return false;
    long status = 0;
    curl_easy_getinfo(m_easy, CURLINFO_RESPONSE_CODE, &status);
    m_status = static_cast<int>(status);
    return m_status != 0;
  }

  int status() const override { return m_status; }

  long read(char* buffer, std::size_t size) override {
    Drive([this] { return m_position < m_pending.size(); });
    if (m_position == m_pending.size()) return m_result == CURLE_OK ? 0 : -1;
    const std::size_t n = std::min(size, m_pending.size() - m_position);
    std::memcpy(buffer, m_pending.data() + m_position, n);
    m_position += n;
    if (m_position == m_pending.size()) {
      m_pending.clear();
      m_position = 0;
    }
    return static_cast<long>(n);
  }

 private:
  bool Cancelled() const { return m_cancel != nullptr && m_cancel->load(); }

  // Runs the transfer until ready() holds or the transfer has ended.
  template <class Ready>
  void Drive(Ready ready) {
    while (!m_finished && !ready()) {
      if (Cancelled()) {
        End(CURLE_ABORTED_BY_CALLBACK);
        return;
      }
      int running = 0;
      if (curl_multi_perform(m_multi, &running) != CURLM_OK) {
        End(CURLE_RECV_ERROR);
        return;
      }
      int queued = 0;
      while (CURLMsg* message = curl_multi_info_read(m_multi, &queued)) {
        if (message->msg == CURLMSG_DONE) End(message->data.result);
      }
      if (m_finished || ready()) return;
      curl_multi_poll(m_multi, nullptr, 0, kPollSliceMs, nullptr);
    }
  }

  void End(CURLcode result) {
    m_finished = true;
    m_result = result;
  }

  // One header line of any reply, redirects included. A block of headers
  // ends with an empty line; the block of a redirect that will be followed
  // is not the final reply.
  static std::size_t Header(char* data, std::size_t size, std::size_t count, void* user) {
    auto* self = static_cast<CurlResponse*>(user);
    const std::size_t bytes = size * count;
    const std::string_view line(data, bytes);
    if (StartsWithNoCase(line, "http/")) {
      self->m_redirecting = false;
    } else if (StartsWithNoCase(line, "location:")) {
      self->m_redirecting = true;
    } else if (line == "\r\n" || line == "\n") {
      long status = 0;
      curl_easy_getinfo(self->m_easy, CURLINFO_RESPONSE_CODE, &status);
      const bool followed = status / 100 == 3 && self->m_redirecting;
      if (status >= 200 && !followed) self->m_headersDone = true;
    }
    return bytes;
  }

  static std::size_t Collect(char* data, std::size_t size, std::size_t count, void* user) {
    auto* self = static_cast<CurlResponse*>(user);
    const std::size_t bytes = size * count;
    // What fits under the cap is still handed out; past it the transfer breaks off.
    const std::size_t taken = std::min(bytes, self->m_maxBody - self->m_received);
    self->m_received += taken;
    self->m_pending.append(data, taken);
    return taken == bytes ? bytes : 0;
  }

  const std::atomic<bool>* m_cancel;
  const std::size_t m_maxBody;
  CURL* m_easy = nullptr;
  CURLM* m_multi = nullptr;
  bool m_finished = false;
  CURLcode m_result = CURLE_OK;
  bool m_redirecting = false;
  bool m_headersDone = false;
  int m_status = 0;
  // Body bytes that arrived and have not been read yet.
  std::string m_pending;
  std::size_t m_position = 0;
  std::size_t m_received = 0;
};

}  // namespace

std::unique_ptr<HttpResponse> OpenUrl(const std::string& url, const std::atomic<bool>* cancel,
                                      const HttpLimits& limits) {
  if (cancel != nullptr && *cancel) return nullptr;
  InitCurlOnce();
  auto response = std::make_unique<CurlResponse>(cancel, limits.maxBodyBytes);
  if (!response->Start(url, limits) || !response->AwaitStatus()) return nullptr;
  return response;
}

}  // namespace platform
