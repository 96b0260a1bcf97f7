// The result views as data: sorting with the process-wide column and direction, the deletion
// count, the command states of a scan, the topic panel's scrolling, the placements and tables.
#include "ViewModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

namespace tessaly {
namespace {

TEST(SortStateTest, SameColumnReversesAnotherKeepsTheDirection) {
  SortState state;
  struct {
    int column;
    int direction;  // expected after the click
  } clicks[] = {{0, 1}, {0, -1}, {0, 1}, {0, -1}, {2, -1}, {1, -1}, {1, 1}, {5, 1}, {5, -1}};
  for (size_t i = 0; i < std::size(clicks); ++i) {
    EXPECT_EQ(state.Click(clicks[i].column), clicks[i].direction) << "click " << i;
    EXPECT_EQ(state.Column(), clicks[i].column);
  }
}

// Rows as the list holds them: (text of the sorted column, size; no size: the check-all row).
struct Row {
  std::wstring text;
  std::optional<uint64_t> size;
};

std::vector<std::wstring> Sorted(std::vector<Row> rows, int column, int direction) {
  std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
    return CompareForSort(column, direction, {a.size, a.text}, {b.size, b.text}) < 0;
  });
  std::vector<std::wstring> texts;
  for (const Row& row : rows) texts.push_back(row.text);
  return texts;
}

TEST(CompareForSortTest, OrdersByColumn) {
  const std::vector<Row> rows = {{L"beta.mp3", 300}, {L"Alpha.mp3", 5'000'000'000ull}, {L"gamma.mp3", 20}};
  struct {
    const char* name;
    int column;
    int direction;
    std::vector<std::wstring> want;
  } cases[] = {
      {"text ascending, case ignored", 0, 1, {L"Alpha.mp3", L"beta.mp3", L"gamma.mp3"}},
      {"text descending", 1, -1, {L"gamma.mp3", L"beta.mp3", L"Alpha.mp3"}},
      {"column 3 is text", 3, 1, {L"Alpha.mp3", L"beta.mp3", L"gamma.mp3"}},
      // Sizes of 2^32 and more order by the whole size, not by their low 32 bits.
      {"size ascending", 2, 1, {L"gamma.mp3", L"beta.mp3", L"Alpha.mp3"}},
      {"size descending", 2, -1, {L"Alpha.mp3", L"beta.mp3", L"gamma.mp3"}},
      {"column above 3 keeps the order", 4, 1, {L"beta.mp3", L"Alpha.mp3", L"gamma.mp3"}},
      {"column above 3 reversed keeps the order too", 7, -1, {L"beta.mp3", L"Alpha.mp3", L"gamma.mp3"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Sorted(rows, c.column, c.direction), c.want) << c.name;
}

TEST(CompareForSortTest, CheckAllRowSortsByTextButEqualsEveryRowBySize) {
  const SortKey checkAll{std::nullopt, L"Check all items"};
  const SortKey file{uint64_t{10}, L"a.mp3"};
  EXPECT_EQ(CompareForSort(2, 1, checkAll, file), 0);
  EXPECT_EQ(CompareForSort(2, -1, file, checkAll), 0);
  EXPECT_GT(CompareForSort(0, 1, checkAll, file), 0);
  EXPECT_LT(CompareForSort(0, -1, checkAll, file), 0);
}

TEST(CountSelectedForDeletionTest, CountsMarkedRecordsAndCheckedBoxesNeverTheCheckAllRow) {
  struct {
    const char* name;
    std::vector<DeletionRow> rows;
    int want;
  } cases[] = {
      {"empty list", {}, 0},
      {"check-all row checked", {{false, std::nullopt, 2}}, 0},
      {"unchecked files", {{false, std::nullopt, 2}, {true, std::nullopt, 1}, {true, std::nullopt, 1}}, 0},
      {"one checked file", {{false, std::nullopt, 1}, {true, std::nullopt, 1}, {true, std::nullopt, 2}}, 1},
      {"P2P row marked for deletion", {{true, uintptr_t{1}, 1}}, 1},
      {"P2P mark 0 falls back to the state image", {{true, uintptr_t{0}, 1}, {true, uintptr_t{0}, 2}}, 1},
  };
  for (const auto& c : cases) EXPECT_EQ(CountSelectedForDeletion(c.rows), c.want) << c.name;
}

TEST(CommandStatesTest, StartedAndFinishedSwitchStopPauseRescanAndTheMenu) {
  auto menuOf = [](const CommandStates& states) {
    std::map<int, bool> menu(states.menu.begin(), states.menu.end());
    return menu;
  };
  auto toolOf = [](const CommandStates& states) {
    std::map<std::wstring, bool> tools;
    for (auto& [name, on] : states.toolBar) tools[name] = on;
    return tools;
  };
  const CommandStates started = ScanStartedStates();
  EXPECT_EQ(menuOf(started), (std::map<int, bool>{{1027, false}, {1028, true}, {1029, true}, {1032, false},
                                                  {1033, false}, {1034, false}, {1035, false}, {1036, false}}));
  EXPECT_EQ(toolOf(started), (std::map<std::wstring, bool>{{L"IDC_STOP", true}, {L"IDC_PAUSE", true},
                                                          {L"IDC_RESCAN", false}, {L"IDC_PRINTRESULT", false},
                                                          {L"IDC_SAVERESULT", false}, {L"IDC_DELETESELECTED", false}}));
  EXPECT_EQ(started.leftButtons, false);
  EXPECT_EQ(started.comboBoxes, false);

  const CommandStates found = ScanFinishedStates(true);
  EXPECT_EQ(menuOf(found), (std::map<int, bool>{{1023, true}, {1024, true}, {1027, true}, {1028, false},
                                                {1029, false}, {1032, true}, {1033, true}, {1034, true},
                                                {1035, true}, {1036, true}}));
  EXPECT_EQ(toolOf(found), (std::map<std::wstring, bool>{{L"IDC_STOP", false}, {L"IDC_PAUSE", false},
                                                        {L"IDC_RESCAN", true}, {L"IDC_DELETESELECTED", true},
                                                        {L"IDC_PRINTRESULT", true}, {L"IDC_SAVERESULT", true}}));
  const CommandStates nothing = ScanFinishedStates(false);
  EXPECT_EQ(menuOf(nothing), (std::map<int, bool>{{1023, false}, {1024, false}, {1027, true}, {1028, false},
                                                  {1029, false}, {1033, true}, {1034, true}, {1035, true},
                                                  {1036, true}}));
  EXPECT_EQ(toolOf(nothing).count(L"IDC_SAVERESULT"), 0u);  // stays as it was
  EXPECT_EQ(nothing.leftButtons, true);
}

TEST(TopicScrollTest, StepsAndThumbTracking) {
  struct {
    const char* name;
    int code, position, track, last;
    bool apply;
    int newPosition, dy, lastAfter;
  } cases[] = {
      {"thumb track 0 to 100 moves by 20", kSbThumbTrack, 0, 100, 0, true, 20, -20, 20},
      {"thumb track back", kSbThumbTrack, 20, 0, 20, true, 16, 4, 16},
      {"thumb track step truncates", kSbThumbTrack, 0, 4, 0, true, 0, 0, 0},
      {"line down", kSbLineDown, 50, 0, 50, true, 55, -5, 55},
      {"line up", kSbLineUp, 50, 0, 50, true, 45, 5, 45},
      {"page down", kSbPageDown, 50, 0, 50, true, 60, -10, 60},
      {"page up", kSbPageUp, 50, 0, 50, true, 40, 10, 40},
      {"line up below the minimum", kSbLineUp, 3, 0, 3, false, 0, 0, 3},
      {"page down past the maximum", kSbPageDown, 395, 0, 395, false, 0, 0, 395},
      {"line down to the maximum", kSbLineDown, 395, 0, 395, true, 400, -5, 400},
      {"other code", 8, 50, 0, 50, false, 0, 0, 50},
  };
  for (const auto& c : cases) {
    int last = c.last;
    const ScrollMove move = TopicScroll(c.code, c.position, 0, 400, c.track, last);
    EXPECT_EQ(move.apply, c.apply) << c.name;
    if (c.apply) {
      EXPECT_EQ(move.position, c.newPosition) << c.name;
      EXPECT_EQ(move.dy, c.dy) << c.name;
    }
    EXPECT_EQ(last, c.lastAfter) << c.name;
  }
}

TEST(ViewPlacementsTest, DesignedValuesAt96DpiAndListsEndAtTheStatusBar) {
  const ViewFrame frame{1000, 700, 60, 20, 30};
  const ViewPlacements p = ComputeViewPlacements(frame, DpiScale(), true, true);
  EXPECT_EQ(p.leftPanel, (Box{0, 90, 150, 590}));
  EXPECT_EQ(p.leftButtons[0], (Box{10, 200, 130, 80}));
  EXPECT_EQ(p.leftButtons[3], (Box{10, 470, 130, 80}));
  EXPECT_EQ(p.topicPanel, (Box{155, 90, 843, 590}));
  EXPECT_EQ(p.topicButtons[0], (Box{20, 130, 783, 110}));
  EXPECT_EQ(p.topicButtons[3].y, 520);
  EXPECT_EQ(p.tabs, (Box{155, 175, 845, 30}));
  EXPECT_EQ(p.mediaList, (Box{155, 205, 845, 475}));
  EXPECT_EQ(p.p2pList, (Box{155, 175, 845, 505}));
  EXPECT_EQ(p.p2pList.y + p.p2pList.height, frame.height - frame.statusBar);
  EXPECT_EQ(p.mediaList.y + p.mediaList.height, frame.height - frame.statusBar);

  const ViewPlacements bare = ComputeViewPlacements(frame, DpiScale(), false, false);
  EXPECT_EQ(bare.leftButtons[1].y, 100);
  EXPECT_EQ(bare.topicButtons[0], (Box{10, 10, 813, 110}));

  const LabelBoxes labels = ViewLabelBoxes(p.tabs.x, p.tabs.width, p.mediaLabelTop, DpiScale());
  EXPECT_EQ(labels.headline.x, 160);
  EXPECT_EQ(labels.headline.y, 93);
  EXPECT_EQ(labels.body, (Box{160, 115, 830, 57}));
}

TEST(ViewTablesTest, EveryMediaListIsAPageOfItsTabAndEachViewMarksItsOwnButton) {
  std::set<std::wstring> pages;
  for (const TabControlSpec& tab : TabControlSpecs()) {
    for (size_t i = 0; i < tab.tabTextIds.size(); ++i) pages.insert(TabPageGroup(tab.childrenGroup, static_cast<int>(i)));
  }
  std::set<std::wstring> listGroups;
  for (const ListViewSpec& list : ListViewSpecs()) {
    if (!list.p2p) listGroups.insert(list.group);
    int factorSum = 0;
    for (const ColumnSpec& column : list.columns) factorSum += ColumnWidth(1000, column.widthFactor);
    EXPECT_LE(factorSum, 1000) << "columns wider than the list";
  }
  EXPECT_EQ(pages, listGroups);
  EXPECT_EQ(ColumnWidth(999, 0.35f), 349);

  for (ResultView view : {ResultView::P2p, ResultView::SharedFiles, ResultView::OtherFiles, ResultView::MainMenu}) {
    int selected = 0;
    for (const SelectionMark& mark : SelectionMarks(view)) {
      if (mark.selected) {
        ++selected;
        EXPECT_STREQ(mark.button, LeftButtonFor(view));
      }
    }
    EXPECT_EQ(selected, 1);
  }
}

}  // namespace
}  // namespace tessaly
