// What the main window shows and does, as plain data: the toolbar and menu tables (and which
// entries start greyed), the combo-box items, the tray menu, the command table and the help-viewer
// arguments. The window code builds its controls from these tables.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// Resource ids of the program.
inline constexpr int kMainMenuResource = 105;
inline constexpr int kProgramIconResource = 108;

// The notification-area icon: its id and the callback message (also what a second instance
// sends, with WM_LBUTTONDBLCLK, to wake the first).
inline constexpr uint32_t kTrayIconId = 1000;
inline constexpr uint32_t kTrayMessage = 2001;

// The main window's style: WS_CLIPCHILDREN | WS_MAXIMIZE | WS_SYSMENU | WS_THICKFRAME |
// WS_MINIMIZEBOX | WS_MAXIMIZEBOX, plus WS_VISIBLE unless it starts hidden.
inline constexpr uint32_t kMainWindowStyle = 0x030F0000;
inline constexpr uint32_t kVisibleStyle = 0x10000000;
inline constexpr uint32_t MainWindowStyle(bool hidden) { return hidden ? kMainWindowStyle : kMainWindowStyle | kVisibleStyle; }

// --- Toolbar ------------------------------------------------------------------------------------

struct ToolbarEntry {
  const wchar_t* name;    // control name, also what GetUniqueIdCode numbers; null: a separator
  const wchar_t* textId;  // string ID of its text
  int bitmap;             // bitmap resources, normal and disabled
  int disabledBitmap;
  bool enabled;           // at start
  bool IsSeparator() const { return name == nullptr; }
};

// The nine entries, in order.
const std::vector<ToolbarEntry>& ToolbarEntries();

// --- Menu ---------------------------------------------------------------------------------------

struct MenuItemEntry {
  const wchar_t* stringId;  // null: a separator
  int command;
  bool greyed;  // at start
};

struct MenuEntry {
  const wchar_t* stringId;
  std::vector<MenuItemEntry> items;
};

// Menu resource 105 as the program expects it: the six menus with their items, in order.
const std::vector<MenuEntry>& MainMenuEntries();

// --- Combo boxes --------------------------------------------------------------------------------

using TextOf = std::function<std::wstring(const wchar_t* stringId)>;

struct ComboItems {
  std::vector<std::wstring> items;
  std::wstring selected;
};

// Search path: "Browse..." and "All local drives", the latter selected. Volumes are added as the
// enumeration finds them.
ComboItems SearchPathItems(const TextOf& text);

// Search filter: every non-empty piece of the three extension lists joined by ";" (so a list
// ending in ";" adds no empty item), then the six filter texts; the last is selected.
ComboItems SearchFilterItems(std::wstring_view musicTypes, std::wstring_view videoTypes,
                             std::wstring_view imageTypes, const TextOf& text);

// --- Tray menu ----------------------------------------------------------------------------------

struct TrayMenuItem {
  const wchar_t* stringId;  // also the name its command number is made from
  bool greyed;
};

// "IDS_OPENPROGRAM" (greyed while the window is visible) and "IDS_EXIT".
std::vector<TrayMenuItem> TrayMenuItems(bool windowVisible);

// --- Commands -----------------------------------------------------------------------------------

enum class MainCommand {
  None,
  ViewFileSharingSoftware,
  ViewAllFilesInSharedFolders,
  ViewMusicVideoImageFiles,
  ViewMainMenu,
  CheckForUpdates,
  About,
  LicenseAgreement,
  SelectAll,
  UnselectAll,
  DeleteSelected,
  Options,
  SaveResult,
  PrintResult,
  StopScan,
  PauseScan,
  StartScan,
  Exit,
  OpenProgram,
  CloseAndRun,
  Faqs,
  UserGuide,
  Introduction,
};

// The action for a command name (a menu item's string ID, a toolbar button's name, a tray item's
// string ID); None for any other name, "{IdCodeNotFound}" included. Names compare exactly.
MainCommand CommandFor(std::wstring_view name);

// Parameters for the HTML Help viewer "hh": "mk:@MSITStore:" + program folder + the help file
// text (".\UK_Help.chm::/introduction.htm").
std::wstring HelpViewerParameters(std::wstring_view programFolder, std::wstring_view helpFileText);

// The file a help file text names, for checking that it is there before the viewer is started:
// program folder + the text up to "::" without a leading ".\" (".\UK_HELP.chm::/FAQ.htm" gives
// folder + "UK_HELP.chm"). A text without "::" is taken whole.
std::wstring HelpFilePath(std::wstring_view programFolder, std::wstring_view helpFileText);

}  // namespace tessaly
