// A scratch folder for a test, removed at the end; files and folders are made by relative path.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tessaly::test {

class TempTree {
 public:
  TempTree();
  ~TempTree();
  TempTree(const TempTree&) = delete;
  TempTree& operator=(const TempTree&) = delete;

  const std::filesystem::path& root() const { return root_; }
  // The root as a scan path (wide text with the platform's separators).
  std::wstring RootText() const;

  std::filesystem::path AddFile(const std::filesystem::path& relative, std::string_view content = {});
  std::filesystem::path AddFileOfSize(const std::filesystem::path& relative, uint64_t size);
  std::filesystem::path AddFolder(const std::filesystem::path& relative);

 private:
  std::filesystem::path root_;
};

}  // namespace tessaly::test
