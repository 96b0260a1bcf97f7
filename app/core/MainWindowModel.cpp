#include "MainWindowModel.h"

#include "TextList.h"

#include <array>

namespace tessaly {

const std::vector<ToolbarEntry>& ToolbarEntries() {
  static const std::vector<ToolbarEntry> kEntries{
      {L"IDC_RESCAN", L"IDS_RESCAN", 116, 117, false},
      {L"IDC_STOP", L"IDS_STOP", 118, 119, false},
      {L"IDC_PAUSE", L"IDS_PAUSE", 112, 109, false},
      {nullptr, nullptr, 0, 0, false},
      {L"IDC_DELETESELECTED", L"IDS_DELETESELECTED", 115, 115, true},
      {nullptr, nullptr, 0, 0, false},
      {L"IDC_SAVERESULT", L"IDS_SAVERESULT", 114, 114, false},
      {L"IDC_PRINTRESULT", L"IDS_PRINTRESULT", 113, 113, false},
      {L"IDC_HELP", L"IDS_HELP", 111, 111, true},
      {L"IDC_FAQ", L"IDS_FAQ", 110, 110, true},
  };
  return kEntries;
}

const std::vector<MenuEntry>& MainMenuEntries() {
  constexpr MenuItemEntry kSeparator{nullptr, 0, false};
  static const std::vector<MenuEntry> kMenus{
      {L"IDS_FILE",
       {{L"IDS_SAVERESULT", 1023, true}, {L"IDS_PRINTRESULT", 1024, true}, kSeparator,
        {L"IDS_CLOSEANDRUN", 1025, false}, kSeparator, {L"IDS_EXIT", 1026, false}}},
      {L"IDS_SCAN", {{L"IDS_STARTSCAN", 1027, false}, {L"IDS_STOPSCAN", 1028, true}, {L"IDS_PAUSESCAN", 1029, true}}},
      {L"IDS_EDIT",
       {{L"IDS_SELECTALL", 1030, true}, {L"IDS_UNSELECTALL", 1031, true}, kSeparator,
        {L"IDS_DELETESELECTED", 1032, false}}},
      {L"IDS_VIEW",
       {{L"IDS_FILESHARINGSOFTWAREWINDOW", 1033, true}, {L"IDS_ALLFILESINSHAREDFOLDERSWINDOW", 1034, true},
        {L"IDS_MUSICVIDEOIMAGEFILESWINDOW", 1035, true}, {L"IDS_MAINMENUWINDOW", 1036, true}}},
      {L"IDS_TOOLS", {{L"IDS_OPTIONS", 1037, false}, kSeparator, {L"IDS_CHECKFORUPDATES", 1038, false}}},
      {L"IDS_HELP",
       {{L"IDS_INTRODUCTION", 1039, false}, kSeparator, {L"IDS_TSYUSERGUIDE", 1040, false},
        {L"IDS_FAQS", 1041, false}, kSeparator, {L"IDS_LICENSEAGREEMENT", 1042, false}, kSeparator,
        {L"IDS_ABOUT", 1043, false}}},
  };
  return kMenus;
}

ComboItems SearchPathItems(const TextOf& text) {
  ComboItems combo;
  combo.items = {text(L"IDS_BROWSE"), text(L"IDS_ALLLOCALDRIVES")};
  combo.selected = combo.items[1];
  return combo;
}

ComboItems SearchFilterItems(std::wstring_view musicTypes, std::wstring_view videoTypes,
                             std::wstring_view imageTypes, const TextOf& text) {
  std::wstring joined(musicTypes);
  joined.append(L";").append(videoTypes).append(L";").append(imageTypes);
  ComboItems combo;
  combo.items = SplitList(joined, L';');
  for (const wchar_t* id : {L"IDS_SEARCHFORMUSICFILES", L"IDS_SEARCHFORVIDEOFILES", L"IDS_SEARCHFORIMAGEFILES",
                            L"IDS_SEARCHFORFILESHARINGSOFTWARE", L"IDS_SEARCHFORMUSICVIDEOFILES",
                            L"IDS_SEARCHFORMUSICVIDEOSOFTWARE"}) {
    combo.items.push_back(text(id));
  }
  combo.selected = combo.items.back();
  return combo;
}

std::vector<TrayMenuItem> TrayMenuItems(bool windowVisible) {
  return {{L"IDS_OPENPROGRAM", windowVisible}, {L"IDS_EXIT", false}};
}

MainCommand CommandFor(std::wstring_view name) {
  struct Row {
    const wchar_t* names[2];
    MainCommand command;
  };
  // In the order the rows are tested; no name appears twice.
  static constexpr std::array<Row, 22> kRows{{
      {{L"IDS_FILESHARINGSOFTWAREWINDOW"}, MainCommand::ViewFileSharingSoftware},
      {{L"IDS_ALLFILESINSHAREDFOLDERSWINDOW"}, MainCommand::ViewAllFilesInSharedFolders},
      {{L"IDS_MUSICVIDEOIMAGEFILESWINDOW"}, MainCommand::ViewMusicVideoImageFiles},
      {{L"IDS_MAINMENUWINDOW"}, MainCommand::ViewMainMenu},
      {{L"IDS_CHECKFORUPDATES"}, MainCommand::CheckForUpdates},
      {{L"IDS_ABOUT"}, MainCommand::About},
      {{L"IDS_LICENSEAGREEMENT"}, MainCommand::LicenseAgreement},
      {{L"IDS_SELECTALL"}, MainCommand::SelectAll},
      {{L"IDS_UNSELECTALL"}, MainCommand::UnselectAll},
      {{L"IDC_DELETESELECTED", L"IDS_DELETESELECTED"}, MainCommand::DeleteSelected},
      {{L"IDS_OPTIONS"}, MainCommand::Options},
      {{L"IDC_SAVERESULT", L"IDS_SAVERESULT"}, MainCommand::SaveResult},
      {{L"IDC_PRINTRESULT", L"IDS_PRINTRESULT"}, MainCommand::PrintResult},
      {{L"IDC_STOP", L"IDS_STOPSCAN"}, MainCommand::StopScan},
      {{L"IDC_PAUSE", L"IDS_PAUSESCAN"}, MainCommand::PauseScan},
      {{L"IDC_RESCAN", L"IDS_STARTSCAN"}, MainCommand::StartScan},
      {{L"IDS_EXIT"}, MainCommand::Exit},
      {{L"IDS_OPENPROGRAM"}, MainCommand::OpenProgram},
      {{L"IDS_CLOSEANDRUN"}, MainCommand::CloseAndRun},
      {{L"IDS_FAQS", L"IDC_FAQ"}, MainCommand::Faqs},
      {{L"IDS_TSYUSERGUIDE", L"IDC_HELP"}, MainCommand::UserGuide},
      {{L"IDS_INTRODUCTION"}, MainCommand::Introduction},
  }};
  for (const Row& row : kRows) {
    for (const wchar_t* rowName : row.names) {
      if (rowName && name == rowName) return row.command;
    }
  }
  return MainCommand::None;
}

std::wstring HelpViewerParameters(std::wstring_view programFolder, std::wstring_view helpFileText) {
  std::wstring parameters = L"mk:@MSITStore:";
  parameters.append(programFolder).append(helpFileText);
  return parameters;
}

std::wstring HelpFilePath(std::wstring_view programFolder, std::wstring_view helpFileText) {
  std::wstring_view file = helpFileText.substr(0, helpFileText.find(L"::"));
  if (file.substr(0, 2) == L".\\") file.remove_prefix(2);
  return std::wstring(programFolder).append(file);
}

}  // namespace tessaly
