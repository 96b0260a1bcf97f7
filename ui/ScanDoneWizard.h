// The scan-done wizard (template 132), opened when a scan ends: page 1 sums up what was found,
// page 2 lists the P2P programs found with a check box each, page 3 says that "Finish" starts the
// programs' own uninstallers. "Finish" leaves the checked programs' records, in row order, as
// "UninstallP2pList"; the wizard itself uninstalls nothing.
#pragma once

#include "MvControl.h"
#include "MvListView.h"
#include "StringTable.h"
#include "WinHandles.h"

#include <windows.h>

#include <cstdint>
#include <memory>

namespace tessaly {

// Inputs, set on the wizard before it opens: the four counts (numbers) and the main window's P2P
// list (MvListView*). Output: the programs to uninstall (MvLinkedList* of ScanFile*).
inline constexpr wchar_t kWizardP2pCount[] = L"SCANRESULTS_NUMBEROF_P2P";
inline constexpr wchar_t kWizardMusicCount[] = L"SCANRESULTS_NUMBEROF_MUSIC";
inline constexpr wchar_t kWizardVideoCount[] = L"SCANRESULTS_NUMBEROF_VIDEO";
inline constexpr wchar_t kWizardImageCount[] = L"SCANRESULTS_NUMBEROF_IMAGES";
inline constexpr wchar_t kWizardP2pList[] = L"SCANRESULTS_LISTVIEW_P2P";
inline constexpr wchar_t kUninstallP2pList[] = L"UninstallP2pList";

class ScanDoneWizard : public MvControl {
 public:
  // instance holds template 132.
  ScanDoneWizard(StringTable& strings, HINSTANCE instance);

  // Modal over owner. 0, also when the dialog could not be shown (reported).
  INT_PTR Run(HWND owner);
  // Fills the controls for page 0, 1 or 2.
  void ShowWizardStep(int page);

  int32_t step = 0;

 private:
  static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Message(UINT message, WPARAM wParam);
  void Initialize();
  void ShowSummary();
  void ShowPrograms();
  void ShowConfirmation();
  void SetPageTexts(const wchar_t* captionId, const wchar_t* bodyId);
  void SetNextText(const wchar_t* id);
  void ClearColumns();
  void Finish();
  void End();
  std::wstring Text(const wchar_t* id) const;

  StringTable& strings_;
  HINSTANCE instance_;
  HWND dialog_ = nullptr;
  win::UniqueBrush background_;
  std::unique_ptr<MvListView> resultList_;
  std::unique_ptr<MvLinkedList> uninstallList_;
  MvError error_;
};

}  // namespace tessaly
