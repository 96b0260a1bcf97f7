// Where the help-file tests find the built help files and their sources.
#pragma once

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>

namespace tessaly::test {

// A build or source path as the test program can open it (under Wine the Unix root is drive Z).
inline std::filesystem::path TestPath(std::string path) {
#ifdef _WIN32
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  path = "Z:" + path;
#endif
  return std::filesystem::path(path);
}

// The folder the help files are built into (beside the program).
inline std::filesystem::path HelpFolder() { return TestPath(TESSALY_HELP_DIR); }
inline std::filesystem::path HelpFilePath(const std::string& name) { return HelpFolder() / name; }
inline std::filesystem::path SourcePath(const std::string& relative) {
  return TestPath(std::string(TESSALY_SOURCE_DIR) + "/" + relative);
}

inline std::optional<std::string> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

}  // namespace tessaly::test
