// The main window's proportional re-layout as arithmetic: which control grows by how much when the
// client area changes size, where the combo boxes and status-bar parts go, and where a window is
// centred. The window code looks the controls up and applies the placements.
#pragma once

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace tessaly {

struct Placement {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const Placement&) const = default;
};

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const Point&) const = default;
};

struct ClientSize {
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const ClientSize&) const = default;
};

// Right edges of the status bar's two parts: half the width (truncated) and the width.
std::pair<int32_t, int32_t> StatusBarParts(int32_t width);

// Width of the search-path combo box: width x 0.33 in single precision, truncated.
int32_t SearchPathWidth(int32_t width);
// x and width of the search-filter combo box when it is created: right of the search path, to
// the right edge.
std::pair<int32_t, int32_t> SearchFilterSpanAtCreation(int32_t width);
// x and width after a resize: width x 0.335 and width - width x 0.335, single precision,
// truncated.
std::pair<int32_t, int32_t> SearchFilterSpan(int32_t width);

// The size change since the previous re-layout. The first call measures against the size the
// window had when it was created.
class RelayoutTracker {
 public:
  // dx and dy, and remembers next for the next call.
  std::pair<int32_t, int32_t> Advance(ClientSize created, ClientSize next);

 private:
  std::optional<ClientSize> previous_;
};

// Which wrapper a control is found as.
enum class LayoutKind { ChildWindow, TopicButton, ComboBox, ListView };

enum class LayoutRule {
  LeftPanel,     // x 0, height + dy
  GrowBoth,      // width + dx, height + dy
  GrowWidth,     // width + dx
  SearchPath,    // width = SearchPathWidth
  SearchFilter,  // x, width = SearchFilterSpan
};

struct LayoutRuleEntry {
  const wchar_t* name;
  LayoutKind kind;
  LayoutRule rule;
  bool needsStatusBar;  // panels are only re-laid-out when the status bar exists
};

// The controls a re-layout moves, in the order it moves them (the toolbar and status bar place
// themselves and are not listed).
const std::vector<LayoutRuleEntry>& RelayoutRules();

// The new placement of a control under rule, for the new client width and the change dx, dy.
Placement ApplyLayoutRule(LayoutRule rule, const Placement& current, int32_t width, int32_t dx, int32_t dy);

// Top-left corner that centres a child of the given size over an area of width x height whose
// origin is at (originX, originY): computed in floating point, truncated.
Point CentreOver(int32_t originX, int32_t originY, int32_t width, int32_t height, int32_t childWidth,
                 int32_t childHeight);

// Client size the window will have while it is dragged to dragRect: the drag size minus what the
// frame takes now (window size minus client size).
ClientSize ClientSizeWhileSizing(const Placement& dragRect, const Placement& windowRect, const ClientSize& client);

}  // namespace tessaly
