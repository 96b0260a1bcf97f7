#include "TempTree.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <system_error>

namespace tessaly::test {
namespace fs = std::filesystem;

TempTree::TempTree() {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  root_ = fs::temp_directory_path() / ("tessaly-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  fs::create_directories(root_);
}

TempTree::~TempTree() {
  std::error_code ignored;
#ifdef _WIN32
  fs::remove_all(L"\\\\?\\" + root_.wstring(), ignored);  // trees deeper than MAX_PATH too
#endif
  fs::remove_all(root_, ignored);
}

std::wstring TempTree::RootText() const { return root_.wstring(); }

fs::path TempTree::AddFile(const fs::path& relative, std::string_view content) {
  fs::path path = root_ / relative;
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  return path;
}

fs::path TempTree::AddFileOfSize(const fs::path& relative, uint64_t size) {
  fs::path path = AddFile(relative);
  fs::resize_file(path, size);
  return path;
}

fs::path TempTree::AddFolder(const fs::path& relative) {
  fs::path path = root_ / relative;
  fs::create_directories(path);
  return path;
}

}  // namespace tessaly::test
