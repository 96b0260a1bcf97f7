#include "P2pBlock.h"

#include "DebugLog.h"
#include "P2pSignature.h"
#include "ScanRecords.h"
#include "ScanViews.h"
#include "Settings.h"
#include "SharedProperties.h"
#include "StringTable.h"

#include <string>

namespace tessaly {

bool ToggleP2pBlock(HWND owner, ScanFile& p2pFile, SettingsStore& store, StringTable* language) {
  StringTable& table = language ? *language : LanguageTable();
  auto text = [&table](const wchar_t* id) { return std::wstring(GetString(false, id, table)); };
  Settings settings(store);
  auto mark = [&p2pFile](bool blocked) {
    SetProperty(p2pFile.Properties(), property::kP2pBlocked, const_cast<wchar_t*>(blocked ? kTrue : kFalse));
  };

  if (RecordFlag(&p2pFile, property::kP2pBlocked)) {
    // The blocker would go on ending the program while the value stays: then it stays blocked.
    if (!settings.UnblockProgram(p2pFile.name) && settings.BlockValue(p2pFile.name)) {
      DebugPrint(L"ToggleP2pBlock(), failed to remove the block of %s\r\n", p2pFile.name);
      return false;
    }
    mark(false);
    return true;
  }

  const std::wstring question = text(L"IDS_IFYOUARESUREBLOCKP2P");
  const std::wstring caption = text(L"IDS_BLOCKSOFTWARE");
  if (MessageBoxW(owner, question.c_str(), caption.c_str(), MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return false;
  // Without its signature or a written value nothing would be enforced: it is not shown blocked.
  const P2pSignature* signature = SignatureOf(p2pFile);
  if (!signature) {
    DebugPrint(L"ToggleP2pBlock(), %s has no signature record, not blocked\r\n", p2pFile.name);
    return false;
  }
  if (!settings.BlockProgram(p2pFile.name, signature->middleSum)) {
    DebugPrint(L"ToggleP2pBlock(), failed to write the block of %s\r\n", p2pFile.name);
    return false;
  }
  mark(true);
  const std::wstring done = text(L"IDS_YOUHAVESUCCESSFULLYBLOCKED");
  const std::wstring doneCaption = text(L"IDS_SOFTWAREISBLOCKED");
  MessageBoxW(owner, done.c_str(), doneCaption.c_str(), MB_ICONINFORMATION);
  return true;
}

}  // namespace tessaly
