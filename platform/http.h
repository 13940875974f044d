// HTTP GET through the system's proxy settings (http_proxy and friends):
// open a URL, read the reply's status code, then its body piece by piece as
// it arrives. Only http and https are spoken, redirects included.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>

namespace platform {

// What one transfer may take. Tests lower them.
struct HttpLimits {
  // Reaching the server.
  long connectSeconds = 15;
  // A transfer during which nothing arrives for this long breaks off.
  long stallSeconds = 15;
  // The whole transfer, however slowly it trickles in.
  long transferSeconds = 120;
  // A longer body breaks off at this size. Version lists are a few
  // kilobytes; firmware images ask for their own.
  std::size_t maxBodyBytes = 1024 * 1024;
  // Redirects followed; one more is refused.
  long maxRedirects = 5;
};

class HttpResponse {
 public:
  virtual ~HttpResponse() = default;
  // The reply's status code.
  virtual int status() const = 0;
  // Copies up to size bytes of the body into buffer, waiting for them to
  // arrive: the number copied, 0 at the end of the body, -1 when the
  // transfer broke off there (network error, stall, limit, cancel).
  virtual long read(char* buffer, std::size_t size) = 0;
};

// Sends the GET and returns once the final reply's status is known; nothing
// when the URL cannot be opened (bad URL, another protocol, too many
// redirects, no connection, no reply, cancelled). The transfer ends within a
// fraction of a second once *cancel turns true; it goes on in read().
std::unique_ptr<HttpResponse> OpenUrl(const std::string& url, const std::atomic<bool>* cancel = nullptr,
                                      const HttpLimits& limits = {});

}  // namespace platform
