// HTTP GET through the system's proxy settings (http_proxy and friends):
// open a URL, read the reply's status code, then its body piece by piece.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>

namespace platform {

class HttpResponse {
 public:
  virtual ~HttpResponse() = default;
  // The reply's status code.
  virtual int status() const = 0;
  // Copies up to size bytes of the body into buffer: the number copied, 0 at
  // the end of the body, -1 when the transfer broke off there.
  virtual long read(char* buffer, std::size_t size) = 0;
};

// Sends the GET; nothing when the URL cannot be opened (bad URL, no
// connection, no reply). A transfer ends early, as one that broke off, once
// *cancel turns true.
std::unique_ptr<HttpResponse> OpenUrl(const std::string& url, const std::atomic<bool>* cancel = nullptr);

}  // namespace platform
