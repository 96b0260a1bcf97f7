#include "HttpClient.h"

#include "MvError.h"
#include "UniqueHandle.h"
#include "Win32Check.h"

#include <windows.h>
#include <wininet.h>

#include <cstdlib>

namespace tessaly {
namespace {

constexpr DWORD kTimeoutOptions[] = {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                                     INTERNET_OPTION_RECEIVE_TIMEOUT};

void SetTimeouts(HINTERNET handle, DWORD timeout) {
  for (DWORD option : kTimeoutOptions) InternetSetOptionA(handle, option, &timeout, sizeof timeout);
}

struct InternetTraits {
  using Type = HINTERNET;
  static Type Invalid() { return nullptr; }
  static void Close(Type h) { InternetCloseHandle(h); }
};
using UniqueInternet = UniqueHandle<InternetTraits>;

class WinInetResponse final : public HttpResponse {
 public:
  explicit WinInetResponse(UniqueInternet request) : request_(std::move(request)) {}

  std::optional<uint32_t> StatusCode() override {
    std::optional<std::string> text = Query(HTTP_QUERY_STATUS_CODE);
    if (!text || text->empty()) return std::nullopt;
    return static_cast<uint32_t>(std::strtoul(text->c_str(), nullptr, 10));
  }

  std::optional<std::string> ContentLength() override { return Query(HTTP_QUERY_CONTENT_LENGTH); }

  int64_t Read(void* buffer, uint32_t size) override {
    DWORD read = 0;
    if (!InternetReadFile(request_.get(), buffer, size, &read)) return -1;
    return read;
  }

 private:
  std::optional<std::string> Query(DWORD what) {
    char buffer[64] = {};
    DWORD length = sizeof buffer;
    if (!HttpQueryInfoA(request_.get(), what, buffer, &length, nullptr)) return std::nullopt;
    return std::string(buffer, length < sizeof buffer ? length : sizeof buffer - 1);
  }

  UniqueInternet request_;
};

class WinInetClient final : public HttpClient {
 public:
  WinInetClient(UniqueInternet internet, DWORD timeout) : internet_(std::move(internet)), timeout_(timeout) {}

  std::unique_ptr<HttpResponse> Open(const std::string& ansiUrl) override {
    // Always from the server: a cached manifest would hide a newer release.
    UniqueInternet request(InternetOpenUrlA(internet_.get(), ansiUrl.c_str(), nullptr, 0,
                                            INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                                INTERNET_FLAG_PRAGMA_NOCACHE,
                                            0));
    if (!request) return nullptr;
    // The body's reads take their time-out from the request handle.
    SetTimeouts(request.get(), timeout_);
    return std::make_unique<WinInetResponse>(std::move(request));
  }

 private:
  UniqueInternet internet_;
  DWORD timeout_;
};

}  // namespace

std::unique_ptr<HttpClient> SystemHttpClient(const HttpClientOptions& options, MvError& error) {
  UniqueInternet internet(
      InternetOpenA(options.agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!win::CheckWin32(error, internet.valid(), L"InternetOpenA")) return nullptr;
  DWORD timeout = options.timeoutMilliseconds;
  for (DWORD option : kTimeoutOptions) {
    win::CheckWin32(error, InternetSetOptionA(internet.get(), option, &timeout, sizeof timeout), L"InternetSetOptionA",
                    FormatPrintf(L"option %lu", static_cast<unsigned long>(option)));
  }
  return std::make_unique<WinInetClient>(std::move(internet), timeout);
}

}  // namespace tessaly
