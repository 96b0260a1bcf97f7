// HTTP GET for the updater: WinINet on Windows. Elsewhere there is no system client, and the
// updater's logic is driven by test clients through the same interface.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tessaly {

class MvError;

class HttpResponse {
 public:
  virtual ~HttpResponse() = default;
  // The status code, or nothing when it cannot be queried.
  virtual std::optional<uint32_t> StatusCode() = 0;
  // The Content-Length header as sent, or nothing when there is none.
  virtual std::optional<std::string> ContentLength() = 0;
  // Up to size bytes; 0 at the end of the body, -1 when the read failed (the error is set for
  // MvError::GetLastError).
  virtual int64_t Read(void* buffer, uint32_t size) = 0;
};

class HttpClient {
 public:
  virtual ~HttpClient() = default;
  // Sends the request and receives the headers; null on failure (the error is set for
  // MvError::GetLastError).
  virtual std::unique_ptr<HttpResponse> Open(const std::string& ansiUrl) = 0;
};

struct HttpClientOptions {
  std::string agent = "MvUpdater Agent";
  // Connect, send and receive time-outs; a stalled server fails the request after this.
  uint32_t timeoutMilliseconds = 30000;
};

// The client of this platform; null when it cannot be opened (reported through error).
std::unique_ptr<HttpClient> SystemHttpClient(const HttpClientOptions& options, MvError& error);

}  // namespace tessaly
