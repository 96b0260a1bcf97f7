#include "SharedFolderMappings.h"

#include "DebugLog.h"

namespace tessaly {

std::vector<std::pair<std::wstring, std::wstring>> ParseMappingText(const std::wstring& text) {
  std::vector<std::pair<std::wstring, std::wstring>> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    const std::wstring line = text.substr(start, end - start);
    start = end + 1;
    const size_t equals = line.find(L'=');
    if (equals == std::wstring::npos || line.size() - equals - 1 < 2) continue;
    size_t nameStart = 0;
    while (nameStart < equals && (line[nameStart] == L' ' || line[nameStart] == L'\t')) ++nameStart;
    lines.emplace_back(line.substr(nameStart, equals - nameStart), line.substr(equals + 1));
  }
  return lines;
}

SharedFolderMappings::SharedFolderMappings(const std::wstring& sharedFolderMappingText,
                                           const std::wstring& uninstallerMappingText, FinderContext context)
    : context(context) {
  for (const FinderEntry& entry : FinderTable()) {
    finders.Add(entry.name, const_cast<FinderEntry*>(&entry));
  }
  for (const auto& [name, value] : ParseMappingText(sharedFolderMappingText)) {
    texts_.push_back(value);
    sharedFolderMap.Add(name.c_str(), texts_.back().data());
  }
  for (const auto& [name, value] : ParseMappingText(uninstallerMappingText)) {
    texts_.push_back(value);
    uninstallerMap.Add(name.c_str(), texts_.back().data());
  }
}

const wchar_t* SharedFolderMappings::FinderNameFor(const std::wstring& signatureName) const {
  const MvListEntry* entry = sharedFolderMap.Find(signatureName.c_str(), true, true);
  return entry ? static_cast<const wchar_t*>(entry->value) : nullptr;
}

FinderFunction SharedFolderMappings::FinderNamed(const std::wstring& finderName) const {
  const MvListEntry* entry = finders.Find(finderName.c_str(), true, false);
  return entry ? static_cast<const FinderEntry*>(entry->value)->function : nullptr;
}

const wchar_t* SharedFolderMappings::UninstallTextFor(const std::wstring& signatureName) const {
  const MvListEntry* entry = uninstallerMap.Find(signatureName.c_str(), true, false);
  return entry ? static_cast<const wchar_t*>(entry->value) : nullptr;
}

bool FindSharedFolders(const SharedFolderMappings& mappings, const std::wstring& signatureName,
                       const std::wstring& programFolder, const std::wstring& programFileName,
                       std::wstring& folders) {
  DebugPrint(L"Searching for P2PName: %s, Path=%s%s\r\n", signatureName, programFolder, programFileName);
  const wchar_t* finderName = mappings.FinderNameFor(signatureName);
  if (!finderName) return false;
  DebugPrint(L"Found P2PName: %s: %s\r\n", signatureName, finderName);
  FinderFunction finder = mappings.FinderNamed(finderName);
  if (!finder) return false;
  const std::wstring result = finder(mappings.context, programFolder, programFileName);
  if (result.size() <= 5 || result[0] == L'{') {
    DebugPrint(L"Shared P2P Folder Error: %s: %s\r\n", signatureName, result);
    return false;
  }
  DebugPrint(L"Shared P2P Folder: %s: %s\r\n", signatureName, result);
  folders = result;
  return true;
}

}  // namespace tessaly
