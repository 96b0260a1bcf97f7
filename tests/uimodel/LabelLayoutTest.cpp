// Label sizing, placement and DPI arithmetic of the window framework.
#include "model/DpiScale.h"
#include "model/LabelLayout.h"
#include "model/Placement.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaly {
namespace {

// 7 pixels per character; the height grows with the length too, so a test can tell which line's
// height was used.
TextExtent FakeMeasure(std::wstring_view line) {
  return {7 * static_cast<int>(line.size()), 10 + static_cast<int>(line.size())};
}

TEST(LabelLayout, SplitsAtCarriageReturns) {
  struct Case {
    const char* name;
    std::wstring text;
    std::vector<std::wstring> want;
  } cases[] = {
      {"one line", L"Ready", {L"Ready"}},
      {"trailing CR adds no line", L"ab\rcdef\r", {L"ab", L"cdef"}},
      {"CR LF is one break", L"ab\r\ncd", {L"ab", L"cd"}},
      {"LF alone is text", L"ab\ncd", {L"ab\ncd"}},
      {"empty text has no line", L"", {}},
      {"a lone CR is one empty line", L"\r", {L""}},
      {"empty line between", L"a\r\rb", {L"a", L"", L"b"}},
  };
  for (const Case& c : cases) {
    std::vector<std::wstring> got;
    for (std::wstring_view line : SplitLabelLines(c.text)) got.emplace_back(line);
    EXPECT_EQ(got, c.want) << c.name;
  }
}

TEST(LabelLayout, SizeIsWidestLineTimesLineCount) {
  struct Case {
    const char* name;
    std::wstring text;
    LabelWidths widths;
    int wantWidth;
    int wantHeight;
  } cases[] = {
      // Two lines ending in CR: twice the height of the wider line (4 characters: 14 high).
      {"two lines, trailing CR", L"ab\rcdef\r", {}, 28, 2 * 14},
      {"wider line first", L"abcdef\rab", {}, 42, 2 * 16},
      {"equal widths take the first", L"abc\rxyz", {}, 21, 2 * 13},
      {"one line", L"Ready", {}, 35, 15},
      {"empty", L"", {}, 0, 0},
      {"forced width wins", L"ab\rcdef", {100, 200}, 200, 2 * 14},
      {"fixed width without forced", L"ab\rcdef", {100, -1}, 100, 2 * 14},
      {"zero widths count as unset", L"ab\rcdef", {0, 0}, 28, 2 * 14},
      // A set width narrower than the text: the control wraps at spaces, the label grows to match.
      // "aa bb cc" is 8 characters (18 high); 40 pixels hold "aa bb" (35).
      {"narrow fixed width wraps", L"aa bb cc", {40, -1}, 40, 2 * 18},
      {"wrapping per line", L"aa bb cc\rx", {40, -1}, 40, 3 * 18},
      {"a word wider than the label has its own row", L"aaaaaaaa bb", {20, -1}, 20, 2 * 21},
  };
  for (const Case& c : cases) {
    const TextExtent got = LayoutLabel(c.text, FakeMeasure, c.widths);
    EXPECT_EQ(got.width, c.wantWidth) << c.name;
    EXPECT_EQ(got.height, c.wantHeight) << c.name;
  }
}

TEST(LabelLayout, WrappedRowsBreakAtSpaces) {
  struct Case {
    const char* name;
    std::wstring line;
    int width;
    int want;
  } cases[] = {
      {"fits", L"aa bb", 35, 1},
      {"unset width", L"aa bb cc dd", -1, 1},
      {"two rows", L"aa bb cc", 40, 2},
      {"one word per row", L"aa bb cc", 20, 3},
      {"spaces at a break vanish", L"aa    bb", 20, 2},
      {"long words alone", L"aaaaaa bbbbbb c", 14, 3},
      {"no space to break at", L"abcdefghij", 14, 1},
  };
  for (const Case& c : cases) EXPECT_EQ(WrappedRows(c.line, c.width, FakeMeasure), c.want) << c.name;
}

TEST(Placement, CentresInParentWithIntegerHalves) {
  struct Case {
    int parentWidth, parentHeight, width, height;
    int wantX, wantY;
  } cases[] = {
      {800, 600, 200, 100, 300, 250},
      {801, 601, 201, 101, 300, 250},  // each half is truncated on its own
      {100, 100, 300, 200, -100, -50},  // larger than its parent: starts left of and above it
  };
  for (const Case& c : cases) {
    const Point got = CentreInParent(c.parentWidth, c.parentHeight, c.width, c.height);
    EXPECT_EQ(got.x, c.wantX) << c.parentWidth << "x" << c.parentHeight;
    EXPECT_EQ(got.y, c.wantY) << c.parentWidth << "x" << c.parentHeight;
  }
}

TEST(DpiScale, KeepsDesignedPixelsAt96AndRoundsElsewhere) {
  struct Case {
    int dpi;
    int pixels;
    int want;
  } cases[] = {
      {96, 13, 13},   {96, 150, 150}, {96, -1, -1},  {96, 0, 0},
      {144, 13, 20},  // 19.5 rounds away from zero
      {144, 30, 45},  {144, -3, -5},  {120, 13, 16},  // 16.25
      {192, 82, 164}, {0, 50, 50},    // a failed query means 96
      {-5, 50, 50},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DpiScale(c.dpi).Scale(c.pixels), c.want) << c.dpi << " dpi, " << c.pixels << " px";
  }
  // Every value survives a round trip at 96 and at 144 for the framework's sizes.
  for (int pixels : {1, 13, 20, 30, 50, 80, 220}) {
    EXPECT_EQ(DpiScale(96).Unscale(DpiScale(96).Scale(pixels)), pixels);
    EXPECT_EQ(DpiScale(144).Unscale(DpiScale(144).Scale(pixels)), pixels);
  }
}

}  // namespace
}  // namespace tessaly
