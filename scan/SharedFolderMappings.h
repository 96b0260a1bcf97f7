// Which finder learns the shared folders of which identified P2P program, and which uninstall text
// belongs to it: both come from configuration text of "name=value" lines.
#pragma once

#include "MvLinkedList.h"
#include "P2pFinders.h"

#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace tessaly {

// The used lines of a mapping text, in order. Lines are separated by CR and/or LF; a line counts
// only when it holds "=" followed by at least two characters; blanks before the name are skipped,
// the name runs to the first "=" (its trailing blanks kept) and the value is the rest.
std::vector<std::pair<std::wstring, std::wstring>> ParseMappingText(const std::wstring& text);

class SharedFolderMappings {
 public:
  explicit SharedFolderMappings(const std::wstring& sharedFolderMappingText,
                                const std::wstring& uninstallerMappingText = {}, FinderContext context = {});
  SharedFolderMappings(const SharedFolderMappings&) = delete;
  SharedFolderMappings& operator=(const SharedFolderMappings&) = delete;

  // The finder name for a signature name (exact case), or null. The first line of a name wins.
  const wchar_t* FinderNameFor(const std::wstring& signatureName) const;
  // The finder of that name, ignoring case, or null.
  FinderFunction FinderNamed(const std::wstring& finderName) const;
  // The uninstall text for a signature name (case ignored), or null.
  const wchar_t* UninstallTextFor(const std::wstring& signatureName) const;

  MvLinkedList finders;          // finder name -> const FinderEntry*
  MvLinkedList sharedFolderMap;  // signature name -> const wchar_t* finder name
  MvLinkedList uninstallerMap;   // signature name -> const wchar_t* uninstall text
  FinderContext context;

 private:
  std::deque<std::wstring> texts_;  // the values the two maps point at
};

// Asks the mapped finder for the shared folders of one identified program. True with the
// finder's list in folders; false (and logged) when no finder is mapped or it found nothing.
bool FindSharedFolders(const SharedFolderMappings& mappings, const std::wstring& signatureName,
                       const std::wstring& programFolder, const std::wstring& programFileName,
                       std::wstring& folders);

}  // namespace tessaly
