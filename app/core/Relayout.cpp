#include "Relayout.h"

namespace tessaly {

std::pair<int32_t, int32_t> StatusBarParts(int32_t width) {
  return {static_cast<int32_t>(width * 0.5), width};
}

int32_t SearchPathWidth(int32_t width) {
  return static_cast<int32_t>(static_cast<float>(width) * 0.33f);
}

std::pair<int32_t, int32_t> SearchFilterSpanAtCreation(int32_t width) {
  const int32_t x = SearchPathWidth(width);
  return {x, width - x};
}

std::pair<int32_t, int32_t> SearchFilterSpan(int32_t width) {
  const float scaled = static_cast<float>(width) * 0.335f;
  return {static_cast<int32_t>(scaled), static_cast<int32_t>(static_cast<float>(width) - scaled)};
}

std::pair<int32_t, int32_t> RelayoutTracker::Advance(ClientSize created, ClientSize next) {
  const ClientSize previous = previous_.value_or(created);
  previous_ = next;
  return {next.width - previous.width, next.height - previous.height};
}

const std::vector<LayoutRuleEntry>& RelayoutRules() {
  static const std::vector<LayoutRuleEntry> kRules{
      {L"IDC_LEFTPANEL", LayoutKind::ChildWindow, LayoutRule::LeftPanel, true},
      {L"IDC_PANEL_TOPIC", LayoutKind::ChildWindow, LayoutRule::GrowBoth, true},
      {L"IDC_FILESHARINGSOFTWARE", LayoutKind::TopicButton, LayoutRule::GrowWidth, true},
      {L"IDC_ALLFILESINSHAREDFOLDERS", LayoutKind::TopicButton, LayoutRule::GrowWidth, true},
      {L"IDC_MUSICVIDEOIMAGEINOTHERFOLDERS", LayoutKind::TopicButton, LayoutRule::GrowWidth, true},
      {L"IDC_FAQS", LayoutKind::TopicButton, LayoutRule::GrowWidth, true},
      {L"IDC_CBOX_SEARCHPATH", LayoutKind::ComboBox, LayoutRule::SearchPath, false},
      {L"IDC_CBOX_SEARCHFILTER", LayoutKind::ComboBox, LayoutRule::SearchFilter, false},
      {L"IDC_LISTVIEW_P2P", LayoutKind::ListView, LayoutRule::GrowBoth, false},
      {L"IDC_LISTVIEW_SHAREDMEDIA", LayoutKind::ListView, LayoutRule::GrowBoth, false},
      {L"IDC_LISTVIEW_SHAREDIMAGES", LayoutKind::ListView, LayoutRule::GrowBoth, false},
      {L"IDC_LISTVIEW_SHAREDOTHERFILES", LayoutKind::ListView, LayoutRule::GrowBoth, false},
      {L"IDC_LISTVIEW_MUSICANDVIDEOFILESINOTHERFOLDERS", LayoutKind::ListView, LayoutRule::GrowBoth, false},
      {L"IDC_LISTVIEW_IMAGEFILESINOTHERFOLDERS", LayoutKind::ListView, LayoutRule::GrowBoth, false},
  };
  return kRules;
}

Placement ApplyLayoutRule(LayoutRule rule, const Placement& current, int32_t width, int32_t dx, int32_t dy) {
  Placement next = current;
  switch (rule) {
    case LayoutRule::LeftPanel:
      next.x = 0;
      next.height += dy;
      break;
    case LayoutRule::GrowBoth:
      next.width += dx;
      next.height += dy;
      break;
    case LayoutRule::GrowWidth:
      next.width += dx;
      break;
    case LayoutRule::SearchPath:
      next.width = SearchPathWidth(width);
      break;
    case LayoutRule::SearchFilter: {
      auto [x, spanWidth] = SearchFilterSpan(width);
      next.x = x;
      next.width = spanWidth;
      break;
    }
  }
  return next;
}

Point CentreOver(int32_t originX, int32_t originY, int32_t width, int32_t height, int32_t childWidth,
                 int32_t childHeight) {
  return {static_cast<int32_t>(originX + width * 0.5 - childWidth * 0.5),
          static_cast<int32_t>(originY + height * 0.5 - childHeight * 0.5)};
}

ClientSize ClientSizeWhileSizing(const Placement& dragRect, const Placement& windowRect, const ClientSize& client) {
  return {dragRect.width - (windowRect.width - client.width), dragRect.height - (windowRect.height - client.height)};
}

}  // namespace tessaly
