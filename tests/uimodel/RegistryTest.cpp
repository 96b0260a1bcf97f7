// The control registry, group matching and command identifiers.
#include "model/ControlRegistry.h"
#include "model/IdCodes.h"

#include "LogCapture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaly {
namespace {

int g_button, g_list, g_other;

TEST(ControlRegistry, FindsOnlyTheWholeKeyOfItsKind) {
  MvLinkedList registry;
  registry.Add(RegistryKey(kTagButton, L"IDC_BTN_VIEW_MAINMENU").c_str(), &g_button);
  registry.Add(RegistryKey(kTagListView, L"IDC_LISTVIEW_P2P").c_str(), &g_list);
  EXPECT_EQ(RegistryKey(kTagToolBar, L"IDC_MAINTOOLBAR"), L"[TOOLBAR]IDC_MAINTOOLBAR");

  struct Case {
    const wchar_t* tag;
    const wchar_t* name;
    void* want;
  } cases[] = {
      {kTagButton, L"IDC_BTN_VIEW_MAINMENU", &g_button},
      {kTagListView, L"IDC_LISTVIEW_P2P", &g_list},
      {kTagButton, L"IDC_LISTVIEW_P2P", nullptr},       // right name, wrong kind
      {kTagButton, L"idc_btn_view_mainmenu", nullptr},  // case-sensitive
      {kTagButton, L"IDC_BTN_VIEW", nullptr},           // a prefix is not the name
      {kTagButton, L"IDC_BTN_VIEW_MAINMENUX", nullptr},
  };
  for (const Case& c : cases) EXPECT_EQ(FindRegistered(registry, c.tag, c.name), c.want) << c.tag << c.name;
}

TEST(ControlRegistry, WalkStopsAtAnEntryWithoutValue) {
  MvLinkedList registry;
  registry.Add(L"[BUTTON]A", &g_button);
  registry.Add(L"[BUTTON]B", nullptr);
  registry.Add(L"[BUTTON]C", &g_other);
  std::vector<std::wstring> seen;
  WalkRegistry(registry, [&](const MvListEntry& entry) {
    seen.emplace_back(entry.Name());
    return true;
  });
  EXPECT_EQ(seen, std::vector<std::wstring>{L"[BUTTON]A"});
}

TEST(ControlRegistry, GroupsTouchOnlyTheirKinds) {
  struct Case {
    const wchar_t* tag;
    bool want;
  } cases[] = {
      {kTagButton, true},     {kTagChildWindow, true}, {kTagListView, true},  {kTagTabControl, true},
      {kTagLabel, true},      {kTagToolBar, false},    {kTagStatusBar, false}, {kTagComboBox, false},
      {kTagAnimation, false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsGroupShowable(RegistryKey(c.tag, L"X")), c.want) << c.tag;
}

TEST(ControlRegistry, GroupNamesMatchByCaseSensitivePrefix) {
  MvLinkedList groups;
  groups.Add(L"GROUP_LISTVIEW_SHAREDMEDIA[0]", nullptr);
  groups.Add(L"GROUP_OTHER", nullptr);
  struct Case {
    const wchar_t* group;
    bool want;
  } cases[] = {
      {L"GROUP_LISTVIEW_SHAREDMEDIA", true},  // covers its pages
      {L"GROUP_LISTVIEW_SHAREDMEDIA[0]", true},
      {L"GROUP_LISTVIEW_SHAREDMEDIA[1]", false},
      {L"group_listview_sharedmedia", false},
      {L"GROUP_OTHER", true},
      {L"GROUP_OTHERS", false},  // longer than every name
      {L"GROUP_LISTVIEW_P2P", false},
  };
  for (const Case& c : cases) EXPECT_EQ(InGroup(groups, c.group), c.want) << c.group;
}

TEST(ControlRegistry, FirstGroupNameOrTheMissingText) {
  MvLinkedList groups;
  EXPECT_STREQ(FirstGroupName(groups), L"{Group Index Not Found}");
  groups.Add(L"GROUP_PANEL_TOPIC", nullptr);
  groups.Add(L"GROUP_SECOND", nullptr);
  EXPECT_STREQ(FirstGroupName(groups), L"GROUP_PANEL_TOPIC");
}

TEST(IdCodes, HandsOutNumbersFrom5002AndKeepsThem) {
  test::LogCapture log;
  MvLinkedList idCodes;
  int32_t counter = kIdCodeCounterStart;
  EXPECT_EQ(UniqueIdCode(idCodes, counter, L"IDC_RESCAN"), 5002);
  EXPECT_EQ(UniqueIdCode(idCodes, counter, L"IDC_STOP"), 5003);
  EXPECT_EQ(UniqueIdCode(idCodes, counter, L"IDC_PAUSE"), 5004);
  EXPECT_EQ(UniqueIdCode(idCodes, counter, L"IDC_RESCAN"), 5002);
  EXPECT_EQ(UniqueIdCode(idCodes, counter, L"idc_rescan"), 5005);  // names are exact
  EXPECT_EQ(counter, 5005);
  EXPECT_EQ(UniqueIdCode(idCodes, counter, nullptr), 0);
  EXPECT_EQ(UniqueIdCode(idCodes, counter, L""), 0);
  EXPECT_EQ(counter, 5005);
  EXPECT_EQ(log.Count(L"5002=GetUniqueIdCode(IDC_RESCAN)\r\n"), 2u);
  EXPECT_EQ(log.Count(L"5004=GetUniqueIdCode(IDC_PAUSE)\r\n"), 1u);

  struct Case {
    int32_t number;
    const wchar_t* want;
  } cases[] = {
      {5003, L"IDC_STOP"}, {5005, L"idc_rescan"}, {0, L"{IdCodeNotFound}"}, {4999, L"{IdCodeNotFound}"},
      {-1, L"{IdCodeNotFound}"},
  };
  for (const Case& c : cases) EXPECT_STREQ(IdCodeName(idCodes, c.number), c.want) << c.number;
}

}  // namespace
}  // namespace tessaly
