// The main window's tables checked against each other and the combo-box contents.
#include "MainWindowModel.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tessaly {
namespace {

std::wstring Bracketed(const wchar_t* id) { return std::wstring(L"<") + id + L">"; }

TEST(MainWindowModel, EveryToolbarMenuAndTrayEntryHasACommand) {
  for (const ToolbarEntry& entry : ToolbarEntries()) {
    if (entry.IsSeparator()) continue;
    EXPECT_NE(CommandFor(entry.name), MainCommand::None) << std::wstring(entry.name).c_str();
  }
  for (const MenuEntry& menu : MainMenuEntries()) {
    for (const MenuItemEntry& item : menu.items) {
      if (!item.stringId) continue;
      EXPECT_NE(CommandFor(item.stringId), MainCommand::None) << std::wstring(item.stringId).c_str();
    }
  }
  for (const TrayMenuItem& item : TrayMenuItems(false)) {
    EXPECT_NE(CommandFor(item.stringId), MainCommand::None) << std::wstring(item.stringId).c_str();
  }
}

TEST(MainWindowModel, MenuCommandsRunFrom1023WithoutGaps) {
  int expected = 1023;
  std::set<int> greyed;
  for (const MenuEntry& menu : MainMenuEntries()) {
    for (const MenuItemEntry& item : menu.items) {
      if (!item.stringId) continue;
      EXPECT_EQ(item.command, expected) << std::wstring(item.stringId).c_str();
      ++expected;
      if (item.greyed) greyed.insert(item.command);
    }
  }
  EXPECT_EQ(expected, 1044);
  EXPECT_EQ(greyed, (std::set<int>{1023, 1024, 1028, 1029, 1030, 1031, 1033, 1034, 1035, 1036}));
}

TEST(MainWindowModel, ToolbarAndMenuNameTheSameActions) {
  // A toolbar button and the menu item beside it do the same.
  struct {
    const wchar_t* button;
    const wchar_t* menuItem;
  } pairs[] = {
      {L"IDC_RESCAN", L"IDS_STARTSCAN"},       {L"IDC_STOP", L"IDS_STOPSCAN"},
      {L"IDC_PAUSE", L"IDS_PAUSESCAN"},        {L"IDC_DELETESELECTED", L"IDS_DELETESELECTED"},
      {L"IDC_SAVERESULT", L"IDS_SAVERESULT"},  {L"IDC_PRINTRESULT", L"IDS_PRINTRESULT"},
      {L"IDC_HELP", L"IDS_TSYUSERGUIDE"},      {L"IDC_FAQ", L"IDS_FAQS"},
  };
  for (const auto& p : pairs) {
    EXPECT_EQ(CommandFor(p.button), CommandFor(p.menuItem)) << std::wstring(p.button).c_str();
  }
}

TEST(MainWindowModel, CommandNamesCompareExactly) {
  struct {
    const wchar_t* name;
    MainCommand want;
  } cases[] = {
      {L"IDS_EXIT", MainCommand::Exit},
      {L"ids_exit", MainCommand::None},
      {L"IDS_EXIT ", MainCommand::None},
      {L"IDS_EXI", MainCommand::None},
      {L"{IdCodeNotFound}", MainCommand::None},
      {L"", MainCommand::None},
      {L"IDS_FAQ", MainCommand::None},  // the toolbar's text ID, not a command
      {L"IDS_HELP", MainCommand::None},  // the menu's own caption
      {L"IDC_FAQ", MainCommand::Faqs},
      {L"IDS_OPENPROGRAM", MainCommand::OpenProgram},
      {L"IDS_CLOSEANDRUN", MainCommand::CloseAndRun},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CommandFor(c.name), c.want) << std::wstring(c.name).c_str();
  }
}

TEST(MainWindowModel, TrayMenuGreysOpenWhileVisible) {
  for (bool visible : {false, true}) {
    auto items = TrayMenuItems(visible);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(std::wstring(items[0].stringId), L"IDS_OPENPROGRAM");
    EXPECT_EQ(items[0].greyed, visible);
    EXPECT_EQ(std::wstring(items[1].stringId), L"IDS_EXIT");
    EXPECT_FALSE(items[1].greyed);
  }
}

TEST(MainWindowModel, SearchPathOffersBrowseAndSelectsAllDrives) {
  ComboItems combo = SearchPathItems(Bracketed);
  EXPECT_EQ(combo.items, (std::vector<std::wstring>{L"<IDS_BROWSE>", L"<IDS_ALLLOCALDRIVES>"}));
  EXPECT_EQ(combo.selected, L"<IDS_ALLLOCALDRIVES>");
}

TEST(MainWindowModel, SearchFilterItems) {
  const std::vector<std::wstring> filters{
      L"<IDS_SEARCHFORMUSICFILES>",          L"<IDS_SEARCHFORVIDEOFILES>",     L"<IDS_SEARCHFORIMAGEFILES>",
      L"<IDS_SEARCHFORFILESHARINGSOFTWARE>", L"<IDS_SEARCHFORMUSICVIDEOFILES>", L"<IDS_SEARCHFORMUSICVIDEOSOFTWARE>"};
  struct {
    const char* name;
    const wchar_t* music;
    const wchar_t* video;
    const wchar_t* image;
    std::vector<std::wstring> extensions;
  } cases[] = {
      {"three lists", L".mp3;.wma", L".avi", L".jpg;.gif", {L".mp3", L".wma", L".avi", L".jpg", L".gif"}},
      {"trailing and doubled separators", L".mp3;", L";;.avi", L".jpg;", {L".mp3", L".avi", L".jpg"}},
      {"empty lists", L"", L"", L"", {}},
      {"missing configuration", L"{String Not Found}", L"", L"", {L"{String Not Found}"}},
  };
  for (const auto& c : cases) {
    ComboItems combo = SearchFilterItems(c.music, c.video, c.image, Bracketed);
    std::vector<std::wstring> want = c.extensions;
    want.insert(want.end(), filters.begin(), filters.end());
    EXPECT_EQ(combo.items, want) << c.name;
    EXPECT_EQ(combo.selected, L"<IDS_SEARCHFORMUSICVIDEOSOFTWARE>") << c.name;
  }
}

TEST(MainWindowModel, HelpViewerParameters) {
  EXPECT_EQ(HelpViewerParameters(L"C:\\Program Files\\Tessaly\\", L".\\UK_Help.chm::/introduction.htm"),
            L"mk:@MSITStore:C:\\Program Files\\Tessaly\\.\\UK_Help.chm::/introduction.htm");
}

TEST(MainWindowModel, HelpFilePathIsTheFilePartOfTheText) {
  struct Case {
    const wchar_t* text;
    const wchar_t* path;
  };
  const Case cases[] = {
      {L".\\UK_Help.chm::/introduction.htm", L"C:\\Tessaly\\UK_Help.chm"},
      {L".\\ES_HELP.chm::/FAQ.htm", L"C:\\Tessaly\\ES_HELP.chm"},
      {L"UK_Help.chm::/FAQ.htm", L"C:\\Tessaly\\UK_Help.chm"},
      {L".\\UK_Help.chm", L"C:\\Tessaly\\UK_Help.chm"},
      // A missing string names no file that exists.
      {L"{String Not Found}", L"C:\\Tessaly\\{String Not Found}"},
      {L"", L"C:\\Tessaly\\"},
  };
  for (const Case& c : cases) EXPECT_EQ(HelpFilePath(L"C:\\Tessaly\\", c.text), c.path) << c.text;
}

TEST(MainWindowModel, StyleHasVisibleOnlyWhenShown) {
  EXPECT_EQ(MainWindowStyle(true), 0x030F0000u);
  EXPECT_EQ(MainWindowStyle(false), 0x130F0000u);
}

}  // namespace
}  // namespace tessaly
