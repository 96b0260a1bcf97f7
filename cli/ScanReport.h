// What tessaly-scan prints and writes about a finished (or stopped) scan run.
#pragma once

#include "ScanRun.h"

#include <functional>
#include <string>
#include <vector>

namespace tessaly {

// One identified P2P program with the folders its client shares and the found files in them.
struct ProgramReport {
  ScanFile* program = nullptr;
  const P2pSignature* signature = nullptr;
  bool blocked = false;
  std::vector<std::wstring> sharedFolders;
  std::vector<ScanFile*> sharedMedia;   // music and video
  std::vector<ScanFile*> sharedImages;
  std::vector<ScanFile*> sharedOther;   // P2P program files
};

struct ScanReport {
  std::vector<ProgramReport> programs;
  std::vector<ScanFile*> mediaElsewhere;   // music and video in no shared folder
  std::vector<ScanFile*> imagesElsewhere;
};

using TextLookup = std::function<std::wstring(const wchar_t* id)>;

// Collects the report from the run's lists; paths within a group are sorted.
ScanReport BuildScanReport(ScanRun& run, const SharedFolderMappings* mappings);

// The summary in the chosen language; with listAll every found file follows, by category.
// With `visibleNames` (the output is a terminal) names are shown in their TerminalText form.
std::wstring FormatSummary(ScanRun& run, const ScanReport& report, const TextLookup& text, bool listAll,
                           bool visibleNames = false);

// All results as JSON (UTF-8); the layout is described in the README.
std::string FormatJson(ScanRun& run, const ScanReport& report, const std::vector<std::wstring>& searchPaths,
                       const std::wstring& filter, bool completed);

}  // namespace tessaly
