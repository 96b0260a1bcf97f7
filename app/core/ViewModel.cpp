#include "ViewModel.h"

#include <cwctype>

namespace tessaly {
namespace {

constexpr uint32_t kP2pStyles = kLvsExDoubleBuffer | kLvsExLabelTip | kLvsExInfoTip | kLvsExFlatScrollBars |
                                kLvsExFullRowSelect | kLvsExSubItemImages;
constexpr uint32_t kMediaStyles = kLvsExLabelTip | kLvsExInfoTip | kLvsExFullRowSelect | kLvsExCheckBoxes;

std::vector<ColumnSpec> MediaColumns(const wchar_t* first) {
  return {{first, 0.35f}, {L"IDS_FILEPATH", 0.52f}, {L"IDS_FILESIZE", 0.07f}, {L"IDS_FILETYPE", 0.06f}};
}

const wchar_t* const kLeftButtonNames[] = {L"IDC_BTN_VIEW_FILESHARINGSOFTWARE", L"IDC_BTN_VIEW_ALLFILESINSHAREDFOLDERS",
                                           L"IDC_BTN_VIEW_MUSICVIDEOIMAGEINOTHERFOLDERS", L"IDC_BTN_VIEW_MAINMENU"};

}  // namespace

const std::vector<ListViewSpec>& ListViewSpecs() {
  static const std::vector<ListViewSpec> kLists{
      {L"IDC_LISTVIEW_P2P",
       L"GROUP_LISTVIEW_P2P",
       {{L"IDS_FILESHARINGSOFTWARE", 0.2f},
        {L"IDS_DESCRIPTION", 0.55f},
        {L"IDS_NUMBEROFCOPIESFOUND", 0.13f},
        {L"IDS_BLOCK", 0.06f},
        {L"IDS_DELETE", 0.06f}},
       kP2pStyles,
       true,
       nullptr,
       L"IDS_FILESHARINGSOFTWARE",
       L"IDS_P2P_VIEWDESCRIPTION_BODY"},
      {L"IDC_LISTVIEW_SHAREDMEDIA", L"GROUP_LISTVIEW_SHAREDMEDIA[0]", MediaColumns(L"IDS_MUSICVIDEOINSHAREDFOLDERS"),
       kMediaStyles, false, L"IDS_SHAREDMEDIA_TAB", L"IDS_MUSICVIDEOINSHAREDFOLDERS",
       L"IDS_SHAREDMEDIA_VIEWDESCRIPTION_BODY"},
      {L"IDC_LISTVIEW_SHAREDIMAGES", L"GROUP_LISTVIEW_SHAREDMEDIA[1]", MediaColumns(L"IDS_IMAGEINSHAREDFOLDERS"),
       kMediaStyles, false, L"IDS_SHAREDMEDIA_TAB", L"IDS_IMAGEINSHAREDFOLDERS",
       L"IDS_SHAREDIMAGES_VIEWDESCRIPTION_BODY"},
      {L"IDC_LISTVIEW_SHAREDOTHERFILES", L"GROUP_LISTVIEW_SHAREDMEDIA[2]",
       MediaColumns(L"IDS_OTHERFILESINSHAREDFOLDERS"), kMediaStyles, false, L"IDS_SHAREDMEDIA_TAB",
       L"IDS_OTHERFILESINSHAREDFOLDERS", L"IDS_SHAREDOTHER_VIEWDESCRIPTION_BODY"},
      {L"IDC_LISTVIEW_MUSICANDVIDEOFILESINOTHERFOLDERS", L"GROUP_LISTVIEW_MEDIA[0]",
       MediaColumns(L"IDS_MUSICANDVIDEOFILESINOTHERFOLDERS"), kMediaStyles, false,
       L"IDS_LISTVIEW_MUSICANDVIDEOFILESINOTHERFOLDERS", L"IDS_MUSICANDVIDEOFILESINOTHERFOLDERS",
       L"IDS_OTHERMUSICVIDEOIMAGE_VIEWDESCRIPTION_BODY"},
      {L"IDC_LISTVIEW_IMAGEFILESINOTHERFOLDERS", L"GROUP_LISTVIEW_MEDIA[1]",
       MediaColumns(L"IDS_IMAGEFILESINOTHERFOLDERS"), kMediaStyles, false,
       L"IDS_LISTVIEW_MUSICANDVIDEOFILESINOTHERFOLDERS", L"IDS_IMAGESINOTHERFOLDERS",
       L"IDS_OTHERIMAGES_VIEWDESCRIPTION_BODY"},
  };
  return kLists;
}

const ListViewSpec* FindListViewSpec(std::wstring_view name) {
  for (const ListViewSpec& spec : ListViewSpecs()) {
    if (name == spec.name) return &spec;
  }
  return nullptr;
}

const std::vector<TabControlSpec>& TabControlSpecs() {
  static const std::vector<TabControlSpec> kTabs{
      {L"IDS_SHAREDMEDIA_TAB", L"GROUP_LISTVIEW_SHAREDMEDIA",
       {L"IDS_MUSICANDVIDEOFILES", L"IDS_IMAGEFILES", L"IDS_OTHERFILES"}},
      {L"IDS_LISTVIEW_MUSICANDVIDEOFILESINOTHERFOLDERS", L"GROUP_LISTVIEW_MEDIA",
       {L"IDS_MUSICANDVIDEOFILES", L"IDS_IMAGEFILES"}},
  };
  return kTabs;
}

std::wstring TabPageGroup(std::wstring_view childrenGroup, int index) {
  return std::wstring(childrenGroup) + L"[" + std::to_wstring(index) + L"]";
}

const std::vector<LeftButtonSpec>& LeftButtonSpecs() {
  static const std::vector<LeftButtonSpec> kButtons{
      {kLeftButtonNames[0], 121, 135, L"IDS_FILESHARINGSOFTWARE", false, ResultView::P2p},
      {kLeftButtonNames[1], 123, 133, L"IDS_ALLFILESINSHAREDFOLDERS", false, ResultView::SharedFiles},
      {kLeftButtonNames[2], 122, 134, L"IDS_MUSICVIDEOIMAGEINOTHERFOLDERS", false, ResultView::OtherFiles},
      {kLeftButtonNames[3], 124, 131, L"IDS_MAINMENU", true, ResultView::MainMenu},
  };
  return kButtons;
}

const wchar_t* LeftButtonFor(ResultView view) {
  for (const LeftButtonSpec& spec : LeftButtonSpecs()) {
    if (spec.view == view) return spec.name;
  }
  return nullptr;
}

const std::vector<TopicButtonSpec>& TopicButtonSpecs() {
  static const std::vector<TopicButtonSpec> kButtons{
      {L"IDC_FILESHARINGSOFTWARE", L"IDS_TOPIC_P2PHEADLINE", L"IDS_TOPIC_P2PSUBHEADLINE", L"IDS_TOPIC_P2PBODY",
       L"IDS_SCANNOW", 120, TopicClick::ShowP2pAndScan},
      {L"IDC_ALLFILESINSHAREDFOLDERS", L"IDS_TOPIC_SHAREDHEADLINE", L"IDS_TOPIC_SHAREDSUBHEADLINE",
       L"IDS_TOPIC_SHAREDBODY", L"IDS_SCANNOW", 126, TopicClick::SharedViewAndScan},
      {L"IDC_MUSICVIDEOIMAGEINOTHERFOLDERS", L"IDS_TOPIC_FILESHEADLINE", L"IDS_TOPIC_FILESSUBHEADLINE",
       L"IDS_TOPIC_FILESPBODY", L"IDS_SCANNOW", 125, TopicClick::OtherViewAndScan},
      {L"IDC_FAQS", L"IDS_TOPIC_FAQHEADLINE", nullptr, L"IDS_TOPIC_FAQBODY", L"IDS_SCANNOW", 128,
       TopicClick::OpenFaq},
  };
  return kButtons;
}

const ViewSteps& StepsFor(ResultView view) {
  static const ViewSteps kP2p{{{L"GROUP_PANEL_TOPIC", false},
                               {L"GROUP_LISTVIEW_SHAREDMEDIA", false},
                               {L"GROUP_LISTVIEW_MEDIA", false},
                               {L"GROUP_LISTVIEW_P2P", true}},
                              true,
                              {L"IDC_LISTVIEW_P2P"},
                              nullptr};
  static const ViewSteps kShared{{{L"GROUP_PANEL_TOPIC", false},
                                  {L"GROUP_LISTVIEW_P2P", false},
                                  {L"GROUP_LISTVIEW_MEDIA", false},
                                  {L"GROUP_LISTVIEW_SHAREDMEDIA", true},
                                  {L"GROUP_LISTVIEW_SHAREDMEDIA[0]", true},
                                  {L"GROUP_LISTVIEW_SHAREDMEDIA[1]", false},
                                  {L"GROUP_LISTVIEW_SHAREDMEDIA[2]", false}},
                                 true,
                                 {L"IDC_LISTVIEW_SHAREDMEDIA", L"IDC_LISTVIEW_SHAREDIMAGES",
                                  L"IDC_LISTVIEW_SHAREDOTHERFILES"},
                                 L"IDS_SHAREDMEDIA_TAB"};
  static const ViewSteps kOther{{{L"GROUP_PANEL_TOPIC", false},
                                 {L"GROUP_LISTVIEW_SHAREDMEDIA", false},
                                 {L"GROUP_LISTVIEW_P2P", false},
                                 {L"GROUP_LISTVIEW_MEDIA", true},
                                 {L"GROUP_LISTVIEW_MEDIA[0]", true},
                                 {L"GROUP_LISTVIEW_MEDIA[1]", false}},
                                true,
                                {L"IDC_LISTVIEW_MUSICANDVIDEOFILESINOTHERFOLDERS",
                                 L"IDC_LISTVIEW_IMAGEFILESINOTHERFOLDERS"},
                                L"IDS_LISTVIEW_MUSICANDVIDEOFILESINOTHERFOLDERS"};
  static const ViewSteps kMainMenu{{{L"GROUP_LISTVIEW_SHAREDMEDIA", false},
                                    {L"GROUP_LISTVIEW_P2P", false},
                                    {L"GROUP_LISTVIEW_MEDIA", false},
                                    {L"GROUP_PANEL_TOPIC", true}},
                                   false,
                                   {},
                                   nullptr};
  switch (view) {
    case ResultView::P2p: return kP2p;
    case ResultView::SharedFiles: return kShared;
    case ResultView::OtherFiles: return kOther;
    case ResultView::MainMenu: break;
  }
  return kMainMenu;
}

std::vector<SelectionMark> SelectionMarks(ResultView view) {
  std::vector<SelectionMark> marks;
  const wchar_t* chosen = LeftButtonFor(view);
  for (const wchar_t* name : kLeftButtonNames) marks.push_back({name, std::wstring_view(name) == chosen});
  return marks;
}

ViewPlacements ComputeViewPlacements(const ViewFrame& f, const DpiScale& dpi, bool withInfoLabel, bool withLogo) {
  auto s = [&dpi](int pixels) { return dpi.Scale(pixels); };
  ViewPlacements p;
  const int32_t top = f.toolBar + f.comboRow;
  const int32_t panelHeight = f.height - f.toolBar - f.statusBar - f.comboRow;
  p.leftPanel = {0, top, s(150), panelHeight};
  p.leftInfoLabel = {s(10), s(10), s(130), s(180)};
  for (int i = 0; i < 4; ++i) {
    p.leftButtons.push_back({s(10), (withInfoLabel ? s(200) : s(10)) + i * s(90), s(130), s(80)});
  }
  p.topicPanel = {s(150 + 5), top, f.width - s(157), panelHeight};
  p.topicLogo = {s(10), s(10), 0, 0};
  p.topicLabel = {s(110), s(260), s(100), s(20)};
  const int32_t margin = withLogo ? s(20) : s(10);
  for (int i = 0; i < 4; ++i) {
    p.topicButtons.push_back(
        {margin, (withLogo ? s(130) : s(10)) + i * s(130), p.topicPanel.width - 3 * margin, s(110)});
  }
  const int32_t listX = s(150 + 5);
  const int32_t listY = top + s(85);
  const int32_t listWidth = f.width - s(150) - s(5);
  // The list ends at the status bar, as the media lists do; a height of the whole panel would put
  // its last rows behind the status bar.
  p.p2pList = {listX, listY, listWidth, f.height - f.statusBar - listY};
  p.tabs = {listX, listY, listWidth, s(30)};
  const int32_t mediaY = p.tabs.y + p.tabs.height;
  p.mediaList = {p.tabs.x, mediaY, p.tabs.width, f.height - f.statusBar - p.tabs.height - p.tabs.y};
  p.p2pLabelTop = p.p2pList.y;
  p.mediaLabelTop = p.tabs.y;
  return p;
}

LabelBoxes ViewLabelBoxes(int32_t listX, int32_t listWidth, int32_t labelTop, const DpiScale& dpi) {
  LabelBoxes boxes;
  boxes.headline = {listX + dpi.Scale(5), labelTop - dpi.Scale(82), 0, 0};
  boxes.body = {listX + dpi.Scale(5), labelTop - dpi.Scale(60), listWidth - dpi.Scale(15), dpi.Scale(57)};
  return boxes;
}

int SortState::Click(int column) {
  if (column == column_) {
    direction_ = -direction_;
  } else {
    column_ = column;
  }
  return direction_;
}

SortState& ProcessSortState() {
  static SortState state;
  return state;
}

int CompareNoCase(std::wstring_view a, std::wstring_view b) {
  const size_t common = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < common; ++i) {
    const auto x = static_cast<wint_t>(std::towlower(static_cast<wint_t>(a[i])));
    const auto y = static_cast<wint_t>(std::towlower(static_cast<wint_t>(b[i])));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

int CompareForSort(int column, int direction, const SortKey& a, const SortKey& b) {
  if (column > 3 || column < 0) return 0;
  if (column == 2) {
    if (!a.size || !b.size) return 0;
    // Whole sizes: the low 32 bits as a signed number would put files of 2 GB and more before the
    // smallest ones, and their difference can overflow.
    if (*a.size == *b.size) return 0;
    return (*a.size < *b.size ? -1 : 1) * direction;
  }
  return CompareNoCase(a.text, b.text) * direction;
}

int CountSelectedForDeletion(const std::vector<DeletionRow>& rows) {
  int count = 0;
  for (const DeletionRow& row : rows) {
    if (!row.hasRecord) continue;
    if (row.p2pDelete && *row.p2pDelete != 0) {
      ++count;
    } else if (row.stateImage != 1) {
      ++count;
    }
  }
  return count;
}

CheckAllAction CheckAllActionFor(std::wstring_view clickedText, std::wstring_view checkAllText,
                                 std::wstring_view unselectAllText) {
  if (clickedText == checkAllText) return CheckAllAction::CheckAll;
  if (clickedText == unselectAllText) return CheckAllAction::UncheckAll;
  return CheckAllAction::None;
}

CommandStates ScanStartedStates() {
  CommandStates states;
  states.toolBar = {{L"IDC_STOP", true},         {L"IDC_PAUSE", true},      {L"IDC_RESCAN", false},
                    {L"IDC_PRINTRESULT", false}, {L"IDC_SAVERESULT", false}, {L"IDC_DELETESELECTED", false}};
  states.menu = {{1027, false}, {1032, false}, {1033, false}, {1034, false},
                 {1035, false}, {1036, false}, {1028, true},  {1029, true}};
  states.leftButtons = false;
  states.comboBoxes = false;
  return states;
}

CommandStates ScanFinishedStates(bool anyResults) {
  CommandStates states;
  states.toolBar = {{L"IDC_STOP", false}, {L"IDC_PAUSE", false}, {L"IDC_RESCAN", true}, {L"IDC_DELETESELECTED", true}};
  if (anyResults) {
    states.toolBar.push_back({L"IDC_PRINTRESULT", true});
    states.toolBar.push_back({L"IDC_SAVERESULT", true});
    states.menu = {{1023, true}, {1024, true}, {1032, true}};
  } else {
    states.menu = {{1023, false}, {1024, false}};
  }
  for (int command : {1027, 1033, 1034, 1035, 1036}) states.menu.push_back({command, true});
  states.menu.push_back({1028, false});
  states.menu.push_back({1029, false});
  states.leftButtons = true;
  states.comboBoxes = true;
  return states;
}

ScrollMove TopicScroll(int code, int position, int minimum, int maximum, int trackPosition, int& lastPosition) {
  ScrollMove move;
  auto step = [&](int delta) {
    const int next = position + delta;
    if (delta < 0 ? next < minimum : next > maximum) return;
    move = {true, next, -delta};
  };
  switch (code) {
    case kSbLineUp: step(-5); break;
    case kSbLineDown: step(5); break;
    case kSbPageUp: step(-10); break;
    case kSbPageDown: step(10); break;
    case kSbThumbTrack: {
      const int delta = (trackPosition - lastPosition) / 5;
      move = {true, lastPosition + delta, -delta};
      break;
    }
    default: break;
  }
  if (move.apply) lastPosition = move.position;
  return move;
}

int& TopicScrollLastPosition() {
  static int last = 0;
  return last;
}

}  // namespace tessaly
