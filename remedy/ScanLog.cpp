#include "ScanLog.h"

#include "CaseFold.h"
#include "DebugLog.h"
#include "ScanRecords.h"
#include "SharedProperties.h"
#include "TextFile.h"


namespace tessaly {
namespace {

const std::wstring kRule(65, L'=');

void AppendPaths(std::wstring& out, const MvLinkedList& properties, const wchar_t* listName) {
  const MvLinkedList* list = ListProperty(properties, listName);
  if (!list) return;
  for (const MvListEntry& node : *list) {
    auto* file = static_cast<ScanFile*>(node.value);
    if (!file) continue;
    out += FullPath(file->folder);
    out += file->name;
    out += L"\r\n";
  }
}

}  // namespace

std::wstring FormatScanLog(const MvLinkedList& properties, const ScanLogTexts& texts, const SystemTime& now) {
  std::wstring out;
  out += L"=================== Scan log ====================================\r\n";
  out += FormatPrintf(L"%02d/%02d/%04d  %02d:%02d\r\n", now.month, now.day, now.year, now.hour, now.minute);
  out += kRule + L"\r\n";
  out += L"\r\n\r\n";
  out += kRule + L"\r\n";
  out += FormatPrintf(L"%s: %d, %s: %d\r\n", texts.musicFiles, NumberProperty(properties, property::kMusicFilesFound),
                      texts.videoFiles, NumberProperty(properties, property::kVideoFilesFound));
  out += kRule + L"\r\n";
  out += L"\r\n";
  AppendPaths(out, properties, property::kMusicFileList);
  AppendPaths(out, properties, property::kVideoFileList);
  out += L"\r\n";
  out += kRule + L"\r\n";
  out += FormatPrintf(L"%s: %d \r\n", texts.p2pApplications, NumberProperty(properties, property::kP2pFilesFound));
  out += kRule + L"\r\n";
  out += L"\r\n";
  AppendPaths(out, properties, property::kP2pFileList);
  out += L"\r\n\r\n";
  out += L"=================== End log ====================================\r\n";
  return out;
}

bool WriteScanLog(const std::wstring& path, const MvLinkedList& properties, const ScanLogTexts& texts) {
  return WriteUtf16LeFile(path, FormatScanLog(properties, texts, LocalTimeNow()));
}

std::wstring ScanLogFileName(const std::wstring& chosen) {
  constexpr size_t kBufferCharacters = 1040;
  if (chosen.size() <= 4) return chosen;
  if (EqualsNoCase(std::wstring_view(chosen).substr(chosen.size() - 4), L".txt")) return chosen;
  std::wstring named = chosen + L".txt";
  if (named.size() > kBufferCharacters - 1) named.resize(kBufferCharacters - 1);
  return named;
}

}  // namespace tessaly
