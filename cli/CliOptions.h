// Command line of tessaly-scan.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tessaly {

struct CliOptions {
  std::vector<std::wstring> paths;  // empty: all local volumes
  std::wstring configPath;          // default: beside the executable
  std::wstring signaturesPath;
  std::wstring languagePath;
  std::wstring languageCode = L"UK";
  std::wstring filter;              // short name, filter text or free text; empty: everything
  bool listAll = false;
  bool extendedTypes = false;       // the extended header tests, whatever the configuration says
  std::wstring logPath;
  std::wstring jsonPath;
  bool help = false;
};

// Parses argv[1..]; on a bad argument returns nothing and sets `problem` to a message naming it.
std::optional<CliOptions> ParseCliOptions(const std::vector<std::wstring>& args, std::wstring& problem);

// The text of --help.
std::wstring CliUsage();

}  // namespace tessaly
