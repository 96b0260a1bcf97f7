// No HTTP client of the system outside Windows: the updater reports the failure like a missing
// network.
#include "HttpClient.h"

#include "MvError.h"

#include <cerrno>

namespace tessaly {

std::unique_ptr<HttpClient> SystemHttpClient(const HttpClientOptions& options, MvError& error) {
  errno = ENOSYS;
  error.Report(L"SystemHttpClient(): no HTTP client on this platform");
  return nullptr;
}

}  // namespace tessaly
