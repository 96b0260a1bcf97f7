// What the four result views show and decide, as plain data: the six lists with their columns,
// groups and labels, the two tab controls, the left-panel and topic buttons, which groups each
// view action shows and hides, the placements, sorting, the deletion count, the command states of
// a scan and the topic panel's scrolling. The window code builds and drives its controls from these.
#pragma once

#include "model/DpiScale.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaly {

// --- Lists ---------------------------------------------------------------------------------------

struct ColumnSpec {
  const wchar_t* textId;
  float widthFactor;  // of the list's width, single precision, truncated
};

// List-view extended styles (the values of commctrl.h).
inline constexpr uint32_t kLvsExSubItemImages = 0x00000002;
inline constexpr uint32_t kLvsExCheckBoxes = 0x00000004;
inline constexpr uint32_t kLvsExFullRowSelect = 0x00000020;
inline constexpr uint32_t kLvsExFlatScrollBars = 0x00000100;
inline constexpr uint32_t kLvsExInfoTip = 0x00000400;
inline constexpr uint32_t kLvsExLabelTip = 0x00004000;
inline constexpr uint32_t kLvsExDoubleBuffer = 0x00010000;

struct ListViewSpec {
  const wchar_t* name;
  const wchar_t* group;  // its first group; its view labels join it
  std::vector<ColumnSpec> columns;
  uint32_t extendedStyles;
  bool p2p;               // the P2P list: program icons, block/delete columns; else a media list
  const wchar_t* tab;     // the tab control above a media list; null for the P2P list
  const wchar_t* headlineId;
  const wchar_t* bodyId;
};

// The six lists in creation order: P2P, the three shared-folder lists, the two other-folder lists.
const std::vector<ListViewSpec>& ListViewSpecs();
const ListViewSpec* FindListViewSpec(std::wstring_view name);

inline int32_t ColumnWidth(int32_t listWidth, float factor) {
  return static_cast<int32_t>(static_cast<float>(listWidth) * factor);
}

struct TabControlSpec {
  const wchar_t* name;
  const wchar_t* childrenGroup;  // page i is childrenGroup + "[i]"
  std::vector<const wchar_t*> tabTextIds;
};

const std::vector<TabControlSpec>& TabControlSpecs();
// "%s[%d]".
std::wstring TabPageGroup(std::wstring_view childrenGroup, int index);

// --- Buttons -------------------------------------------------------------------------------------

enum class ResultView { P2p, SharedFiles, OtherFiles, MainMenu };

struct LeftButtonSpec {
  const wchar_t* name;
  int bitmap;
  int disabledBitmap;
  const wchar_t* labelId;
  bool enabledAtStart;
  ResultView view;
};

// Top to bottom.
const std::vector<LeftButtonSpec>& LeftButtonSpecs();
const wchar_t* LeftButtonFor(ResultView view);

enum class TopicClick { ShowP2pAndScan, SharedViewAndScan, OtherViewAndScan, OpenFaq };

struct TopicButtonSpec {
  const wchar_t* name;
  const wchar_t* headlineId;
  const wchar_t* subheadlineId;  // null: none
  const wchar_t* bodyId;
  const wchar_t* iconLabelId;
  int bitmap;
  TopicClick click;
};

const std::vector<TopicButtonSpec>& TopicButtonSpecs();

// --- View actions --------------------------------------------------------------------------------

struct GroupStep {
  const wchar_t* group;
  bool show;
};

struct ViewSteps {
  std::vector<GroupStep> groups;               // in order
  bool hideTopicPanel = false;                 // the panel itself, with its show event
  std::vector<const wchar_t*> deleteCandidates;  // "Delete Selected" follows the first visible
  const wchar_t* resetTab = nullptr;           // its tab 0 is selected
};

const ViewSteps& StepsFor(ResultView view);

// The left-panel marks after a view action, whoever chose the view (its own left button, a topic
// button or a menu command): the view's own button "true", the other three "false", so the panel
// always shows which view is up.
struct SelectionMark {
  const wchar_t* button;
  bool selected;
};
std::vector<SelectionMark> SelectionMarks(ResultView view);

// --- Placements ----------------------------------------------------------------------------------

struct Box {
  int32_t x = 0, y = 0, width = 0, height = 0;
  bool operator==(const Box&) const = default;
};

// The main window's client size at creation and the heights of the bars above and below.
struct ViewFrame {
  int32_t width = 0;
  int32_t height = 0;
  int32_t toolBar = 0;
  int32_t statusBar = 0;
  int32_t comboRow = 0;
};

struct ViewPlacements {
  Box leftPanel, leftInfoLabel;
  std::vector<Box> leftButtons;  // top to bottom (4)
  Box topicPanel;
  Box topicLogo, topicLabel;
  std::vector<Box> topicButtons;  // 4
  Box p2pList;
  Box tabs;        // both tab controls
  Box mediaList;   // every media list
  int32_t p2pLabelTop = 0;    // y0 of the view labels: the P2P list's top
  int32_t mediaLabelTop = 0;  // and the tab control's top
};

// withInfoLabel / withLogo: whether the left info label and the topic logo could be created
// (without them the buttons move up).
ViewPlacements ComputeViewPlacements(const ViewFrame& frame, const DpiScale& dpi, bool withInfoLabel, bool withLogo);

struct LabelBoxes {
  Box headline;  // position only: the label sizes itself to its text
  Box body;
};
LabelBoxes ViewLabelBoxes(int32_t listX, int32_t listWidth, int32_t labelTop, const DpiScale& dpi);

// --- Sorting -------------------------------------------------------------------------------------

// The last sorted column and the direction, shared by every list of the process.
class SortState {
 public:
  // A click on the same column as last time reverses the direction; another column is
  // remembered with the direction kept. The direction to sort with.
  int Click(int column);
  int Column() const { return column_; }
  int Direction() const { return direction_; }
  void Reset() { column_ = -1, direction_ = 1; }

 private:
  int column_ = -1;
  int direction_ = 1;
};

SortState& ProcessSortState();

// What the comparison needs of one row: its record's size (none for the check-all row) and the
// cell text of the sorted column (columns 0, 1 and 3).
struct SortKey {
  std::optional<uint64_t> size;
  std::wstring_view text;
};

// Whether column's comparison reads cell texts.
inline bool SortsByText(int column) { return column == 0 || column == 1 || column == 3; }
// Negative, 0 or positive, times direction. Columns above 3 (and below 0) compare equal; column 2
// orders by size, a row without a record equal to any other.
int CompareForSort(int column, int direction, const SortKey& a, const SortKey& b);
// Case-insensitive, as wcsicmp.
int CompareNoCase(std::wstring_view a, std::wstring_view b);

// --- Deletion count ------------------------------------------------------------------------------

struct DeletionRow {
  bool hasRecord = false;               // item data present (the check-all row has none)
  std::optional<uintptr_t> p2pDelete;   // the record's "P2pDelete", when it has one
  unsigned stateImage = 0;              // LVIS_STATEIMAGEMASK index
};

int CountSelectedForDeletion(const std::vector<DeletionRow>& rows);

// --- Check-all row -------------------------------------------------------------------------------

enum class CheckAllAction { None, CheckAll, UncheckAll };
CheckAllAction CheckAllActionFor(std::wstring_view clickedText, std::wstring_view checkAllText,
                                 std::wstring_view unselectAllText);

// --- Command states of a scan --------------------------------------------------------------------

struct CommandStates {
  std::vector<std::pair<const wchar_t*, bool>> toolBar;  // button name, enabled
  std::vector<std::pair<int, bool>> menu;                // command, enabled (else greyed)
  std::optional<bool> leftButtons;                       // none: unchanged
  std::optional<bool> comboBoxes;
};

CommandStates ScanStartedStates();
// anyResults: one of the video, image, music or P2P counters is non-zero.
CommandStates ScanFinishedStates(bool anyResults);

// --- Topic panel scrolling -----------------------------------------------------------------------

// Scroll-bar codes (the values of winuser.h).
inline constexpr int kSbLineUp = 0;
inline constexpr int kSbLineDown = 1;
inline constexpr int kSbPageUp = 2;
inline constexpr int kSbPageDown = 3;
inline constexpr int kSbThumbTrack = 5;

struct ScrollMove {
  bool apply = false;  // false: nothing to do
  int position = 0;    // the new scroll position
  int dy = 0;          // how far the content moves (positive: down)
};

// The topic panel's scrolling; lastPosition is the process-wide last position, updated when a
// move applies.
ScrollMove TopicScroll(int code, int position, int minimum, int maximum, int trackPosition, int& lastPosition);
int& TopicScrollLastPosition();

}  // namespace tessaly
