#include "P2pUninstall.h"

#include "DeleteDialog.h"
#include "MvListView.h"
#include "ScanViews.h"
#include "Settings.h"
#include "StringTable.h"
#include "UninstallProgressDialog.h"

namespace tessaly {
namespace {

constexpr const wchar_t* kSharedListNames[] = {L"IDC_LISTVIEW_SHAREDMEDIA", L"IDC_LISTVIEW_SHAREDIMAGES",
                                               L"IDC_LISTVIEW_SHAREDOTHERFILES"};

}  // namespace

bool RunP2PUninstall(HWND owner, ScanFile& p2pFile, const P2pUninstallSetup& setup) {
  StringTable& language = setup.language ? *setup.language : LanguageTable();
  auto text = [&language](const wchar_t* id) { return std::wstring(GetString(false, id, language)); };

  DeleteDialogRequest confirmation;
  confirmation.title = text(L"IDS_UNINSTALLFILESHARINGSOFTWARE");
  confirmation.bodyTop = text(L"IDS_DELETEFILEBODYTOPP2P");
  confirmation.file = &p2pFile;
  confirmation.language = &language;
  confirmation.instance = setup.instance;
  // Cancel leaves the program where it is: nothing was uninstalled, so the row stays.
  if (RunDeleteDialog(owner, confirmation) == 2) return false;

  UninstallProgressRequest progress;
  progress.file = &p2pFile;
  progress.mappings = setup.mappings;
  SettingsStore* store = setup.settings;
  progress.uninstallString = [store](const std::wstring& subkey) -> std::optional<std::wstring> {
    if (!store) return std::nullopt;
    return Settings(*store).UninstallCommand(subkey);
  };
  progress.programFolder = setup.programFolder;
  progress.language = &language;
  progress.instance = setup.instance;
  progress.settleMs = setup.settleMs;

  if (RunUninstallProgressDialog(owner, progress) != kUninstallSucceeded) {
    const std::wstring question = text(L"IDS_FILESHARINGHASNOTBEENCOMPLETELYUNINSTALLED");
    const std::wstring caption = text(L"IDS_WARNING");
    if (MessageBoxW(owner, question.c_str(), caption.c_str(), MB_YESNO | MB_ICONEXCLAMATION) != IDYES) return false;
    if (RunUninstallProgressDialog(owner, progress) != kUninstallSucceeded) return false;
  }

  const std::wstring done = text(L"IDS_FILESHARINGHASBEENSUCCESFULLYUNINSTALLED");
  MessageBoxW(owner, done.c_str(), L"", MB_ICONINFORMATION);

  std::vector<MvListView*> lists = setup.sharedLists;
  if (lists.empty()) {
    for (const wchar_t* name : kSharedListNames) lists.push_back(FindListView(name));
  }
  for (MvListView* list : lists) {
    if (list && list->hwnd) RemoveBelongingItems(*list, &p2pFile);
  }
  return true;
}

}  // namespace tessaly
