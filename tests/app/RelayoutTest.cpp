// The re-layout arithmetic of the main window.
#include "Relayout.h"

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

TEST(Relayout, GrowingBy100x50) {
  const int32_t dx = 100, dy = 50, width = 1100;
  const Placement before{170, 80, 900, 600};
  struct {
    LayoutRule rule;
    Placement want;
  } cases[] = {
      {LayoutRule::LeftPanel, {0, 80, 900, 650}},      // only taller, and moved to x 0
      {LayoutRule::GrowBoth, {170, 80, 1000, 650}},   // topic panel, list views
      {LayoutRule::GrowWidth, {170, 80, 1000, 600}},  // topic buttons
      {LayoutRule::SearchPath, {170, 80, 363, 600}},
      {LayoutRule::SearchFilter, {368, 80, 731, 600}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ApplyLayoutRule(c.rule, before, width, dx, dy), c.want) << static_cast<int>(c.rule);
  }
}

TEST(Relayout, RulesCoverThePanelsCombosAndListViews) {
  int listViews = 0, needStatusBar = 0;
  for (const LayoutRuleEntry& entry : RelayoutRules()) {
    if (entry.kind == LayoutKind::ListView) {
      ++listViews;
      EXPECT_EQ(entry.rule, LayoutRule::GrowBoth) << std::wstring(entry.name).c_str();
    }
    if (entry.needsStatusBar) ++needStatusBar;
  }
  EXPECT_EQ(listViews, 6);
  EXPECT_EQ(needStatusBar, 6);  // left panel, topic panel and its four buttons
}

TEST(Relayout, TrackerMeasuresAgainstTheCreatedSizeFirst) {
  RelayoutTracker tracker;
  const ClientSize created{1000, 700};
  EXPECT_EQ(tracker.Advance(created, {1100, 750}), (std::pair<int32_t, int32_t>{100, 50}));
  // Later calls measure against the previous call, not the created size.
  EXPECT_EQ(tracker.Advance(created, {1100, 750}), (std::pair<int32_t, int32_t>{0, 0}));
  EXPECT_EQ(tracker.Advance(created, {900, 800}), (std::pair<int32_t, int32_t>{-200, 50}));
}

TEST(Relayout, ComboSpansInSinglePrecision) {
  struct {
    int32_t width;
    int32_t pathWidth;
    std::pair<int32_t, int32_t> filterAtCreation;
    std::pair<int32_t, int32_t> filter;
  } cases[] = {
      {1000, 330, {330, 670}, {335, 665}},
      {1280, 422, {422, 858}, {428, 851}},  // 428.8 and 851.2, each truncated
      {1, 0, {0, 1}, {0, 0}},
      {0, 0, {0, 0}, {0, 0}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SearchPathWidth(c.width), c.pathWidth) << c.width;
    EXPECT_EQ(SearchFilterSpanAtCreation(c.width), c.filterAtCreation) << c.width;
    EXPECT_EQ(SearchFilterSpan(c.width), c.filter) << c.width;
  }
}

TEST(Relayout, StatusBarPartsHalveTheWidth) {
  EXPECT_EQ(StatusBarParts(1001), (std::pair<int32_t, int32_t>{500, 1001}));
  EXPECT_EQ(StatusBarParts(0), (std::pair<int32_t, int32_t>{0, 0}));
}

TEST(Relayout, Centring) {
  EXPECT_EQ(CentreOver(0, 0, 800, 600, 200, 100), (Point{300, 250}));
  EXPECT_EQ(CentreOver(10, 20, 800, 600, 200, 100), (Point{310, 270}));
  EXPECT_EQ(CentreOver(0, 0, 801, 601, 200, 100), (Point{300, 250}));  // 300.5, 250.5 truncated
  EXPECT_EQ(CentreOver(0, 0, 100, 100, 300, 300), (Point{-100, -100}));
}

TEST(Relayout, ClientSizeWhileSizingTakesTheFrameOff) {
  // Window 1016 x 738 around a client of 1000 x 700; dragged to 1216 x 838.
  EXPECT_EQ(ClientSizeWhileSizing({0, 0, 1216, 838}, {0, 0, 1016, 738}, {1000, 700}), (ClientSize{1200, 800}));
}

}  // namespace
}  // namespace tessaly
