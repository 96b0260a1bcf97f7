// The four result views of the main window: the left panel with its view buttons, the topic panel
// (the main menu), the six result lists with their tab controls and labels, and what they do on
// the user-interface thread: switching views, sorting, the check-all row, opening a file, "Delete
// Selected" and the custom painting. What they show and decide comes from ViewModel.h.
#pragma once

#include "StringTable.h"
#include "ViewModel.h"
#include "WinHandles.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tessaly {

class MvButton;
class MvChildWindow;
class MvControl;
class MvListView;
struct ScanFile;

inline constexpr const wchar_t* kCurrentListProperty = L"CurrentlyShownListView";
inline constexpr int kDeleteSelectedMenuItem = 1032;

class ScanViews {
 public:
  struct Setup {
    HINSTANCE instance = nullptr;
    StringTable* language = nullptr;
    DpiScale dpi;
    HFONT uiFont = nullptr;               // the main window's, not owned
    std::function<void()> startScan;      // StartDiskScan with the combo boxes' choice
    std::function<void()> openFaq;        // as the command "IDS_FAQS"
    // A click in a cell of the P2P list whose row carries a record (column 3 blocks, 4 uninstalls).
    std::function<void(MvListView& list, int row, int column)> p2pCellClicked;
  };

  explicit ScanViews(Setup setup);
  ~ScanViews();
  ScanViews(const ScanViews&) = delete;
  ScanViews& operator=(const ScanViews&) = delete;

  // Builds every panel, button, list, tab control and label in the main window; the main menu is
  // shown.
  void Build(const ViewFrame& frame);

  // The four view actions.
  void Show(ResultView view);
  // "Delete Selected" (toolbar button and menu item 1032) follows the selection of a visible list.
  bool UpdateDeleteSelected(MvListView* list);
  int CountSelectedForDeletion(const MvListView& list) const;
  // "IDS_SELECTALL" / "IDS_UNSELECTALL" on the list shown last.
  void SelectAll(bool checked);

  // Empties the six lists; each media list gets its check-all row again.
  void ClearLists();
  // The P2P list's image list (the program icons), owned here.
  HIMAGELIST ProgramIcons() const { return programIcons_.get(); }
  std::wstring Text(const wchar_t* id) const;

 private:
  struct Click {
    ScanViews* views;
    bool topic;  // a topic button, else a left-panel button
    TopicClick topicClick;
    ResultView view;
  };

  MvButton* AddPanelButton(MvChildWindow* panel, const Box& at, const wchar_t* name,
                           int32_t (*painter)(void*, void*), Click click);
  void SetTextProperty(MvButton& button, const wchar_t* property, const wchar_t* id);
  void BuildLeftPanel(const ViewPlacements& p);
  void BuildTopicPanel(const ViewPlacements& p);
  void BuildLists(const ViewPlacements& p);
  void BuildTabs(const ViewPlacements& p);
  void BuildLabels(const ListViewSpec& spec, const Box& list, int32_t labelTop);
  HBITMAP LoadBitmapResource(int resource);
  void OnTopicClick(TopicClick click);

  static void OnButtonClicked(const wchar_t* text, void* context);
  static int32_t OnTabChanging(void* data, void* context);
  static int32_t OnTabChanged(void* data, void* context);
  static int32_t OnListShown(void* data, void* context);
  static int32_t OnColumnClick(void* data, void* context);
  static int32_t OnCheckAllClick(void* data, void* context);
  static int32_t OnP2pClick(void* data, void* context);
  static int32_t OnOpen(void* data, void* context);
  static int32_t OnTopicScroll(void* data, void* context);
  static int32_t PaintP2pList(void* data, void* context);
  static int32_t PaintMediaList(void* data, void* context);
  static int32_t PaintLeftButton(void* data, void* context);
  static int32_t PaintTopicButton(void* data, void* context);

  Setup setup_;
  std::vector<win::UniqueBitmap> bitmaps_;
  win::UniqueImageList programIcons_;
  std::vector<std::unique_ptr<Click>> clicks_;
  std::deque<std::wstring> texts_;  // what the buttons' text properties point at
  MvChildWindow* topicPanel_ = nullptr;
  MvListView* p2pList_ = nullptr;  // the wrapper is the main window's and outlives this
};

// Removes every row of list whose file's "BelongingP2pProgramFile" is programFile.
void RemoveBelongingItems(MvListView& list, const ScanFile* programFile);

// Whether a flag property of a record is set: "true" (kTrue) or a non-zero number; "false" and
// 0 are not.
bool RecordFlag(const ScanFile* file, const wchar_t* property);

}  // namespace tessaly
