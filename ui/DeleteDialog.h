// The delete dialog (template 137): lists the checked rows of a result list view, or one given
// file, under three texts. OK deletes the listed files (never archive members) and removes the
// rows of the files that are really gone; a file that could not be deleted keeps its row and is
// named in the warning. Used by "Delete Selected" and, with one file and other texts, as the
// confirmation of the P2P uninstaller (which deletes nothing).
#pragma once

#include <windows.h>

#include <string>

namespace tessaly {

class MvListView;
class StringTable;
struct ScanFile;

struct DeleteDialogRequest {
  // Already translated; bodyMiddleBold and bodyBottom may be empty.
  std::wstring title;
  std::wstring bodyTop;
  std::wstring bodyMiddleBold;
  std::wstring bodyBottom;
  // The result list whose checked rows are shown and, on OK, deleted; or null.
  MvListView* fileList = nullptr;
  // The single row shown when fileList is null (nothing is deleted then); or null.
  ScanFile* file = nullptr;
  // The dialog's own texts (column headers, warning); null means LanguageTable().
  StringTable* language = nullptr;
  // Holds template 137; null means the program's module.
  HINSTANCE instance = nullptr;
};

// 2 when the user pressed Cancel, 0 when OK was pressed or the dialog was closed otherwise.
int RunDeleteDialog(HWND owner, const DeleteDialogRequest& request);

}  // namespace tessaly
