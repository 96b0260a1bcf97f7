// Localisation of a real window, its controls and a real menu bar with a submenu.
#include "Localize.h"

#include "DebugLog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace tessaly {
namespace {

constexpr int kStaticId = 1001;
constexpr int kButtonId = 1002;

const wchar_t* const kDocument =
    L"<MorvaneSoftware><Tessaly><Resource>"
    L"<AvailableLanguages><Language LangCode=\"DK\">Dansk</Language>"
    L"<Language LangCode=\"UK\">English(UK)</Language></AvailableLanguages>"
    L"<String SID=\"IDS_PROGRAMTITLE\" Lang=\"DK\">Tessaly</String>"
    L"<String SID=\"IDS_READY\" Lang=\"DK\">Klar</String>"
    L"<String SID=\"IDS_OK\" Lang=\"DK\">OK</String>"
    L"<String SID=\"IDS_FILE\" Lang=\"DK\">&amp;Filer</String>"
    L"<String SID=\"IDS_SAVERESULT\" Lang=\"DK\">Gem resultat...</String>"
    L"<String SID=\"IDS_SCAN\" Lang=\"DK\">S&amp;kan</String>"
    L"<String SID=\"IDS_STARTSCAN\" Lang=\"DK\">Start skanning</String>"
    L"<String SID=\"IDS_HELP\" Lang=\"DK\">Hj\u00E6lp</String>"
    L"<String SID=\"IDS_READY\" Lang=\"UK\">Ready</String>"
    L"</Resource></Tessaly></MorvaneSoftware>";

std::wstring WindowText(HWND window) {
  wchar_t buffer[256] = {};
  GetWindowTextW(window, buffer, 256);
  return buffer;
}

std::wstring ItemText(HMENU menu, UINT position) {
  wchar_t buffer[256] = {};
  GetMenuStringW(menu, position, buffer, 256, MF_BYPOSITION);
  return buffer;
}

std::wstring ItemData(HMENU menu, UINT position) {
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_DATA;
  if (!GetMenuItemInfoW(menu, position, TRUE, &info) || !info.dwItemData) return L"(none)";
  return reinterpret_cast<const wchar_t*>(info.dwItemData);
}

class Localize : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TessalyLocalizeTest";
    RegisterClassW(&windowClass);  // fails harmlessly when an earlier test registered it
    window_ = CreateWindowExW(0, L"TessalyLocalizeTest", L"IDS_PROGRAMTITLE", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window_, nullptr);
    CreateWindowExW(0, L"STATIC", L"IDS_READY", WS_CHILD | WS_VISIBLE, 10, 10, 200, 20, window_,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStaticId)), GetModuleHandleW(nullptr), nullptr);
    CreateWindowExW(0, L"BUTTON", L"IDS_OK", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 40, 80, 24, window_,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(kButtonId)), GetModuleHandleW(nullptr), nullptr);
    LoadLanguageXMLData(table_, kDocument);
    ASSERT_EQ(table_.currentLanguage->code, L"DK");
  }
  void TearDown() override {
    if (window_) DestroyWindow(window_);
  }

  HWND window_ = nullptr;
  StringTable table_;
};

TEST_F(Localize, ControlsAndTheWindowItself) {
  struct {
    const char* name;
    const wchar_t* id;
    int control;  // negative: the window itself
    std::wstring want;
  } cases[] = {
      {"static", L"IDS_READY", kStaticId, L"Klar"},
      {"button", L"IDS_OK", kButtonId, L"OK"},
      {"window caption", L"IDS_PROGRAMTITLE", -1, L"Tessaly"},
      {"missing ID", L"IDS_NOT_THERE", kButtonId, L"{String Not Found}"},
  };
  for (const auto& c : cases) {
    EXPECT_TRUE(LocalizeControl(c.id, table_, window_, c.control)) << c.name;
    HWND target = c.control < 0 ? window_ : GetDlgItem(window_, c.control);
    EXPECT_EQ(WindowText(target), c.want) << c.name;
  }
  // One binding per window and control, named by the two numbers; the first one stays.
  EXPECT_EQ(table_.localisedControls.count, 3u);
  const std::wstring name = FormatPrintf(L"%04x-%04x", static_cast<unsigned>(reinterpret_cast<uintptr_t>(window_)),
                                         static_cast<unsigned>(kButtonId));
  MvListEntry* entry = table_.localisedControls.Find(name.c_str());
  ASSERT_NE(entry, nullptr);
  auto* binding = static_cast<ControlBinding*>(entry->value);
  EXPECT_EQ(binding->window, window_);
  EXPECT_EQ(binding->controlId, kButtonId);
  EXPECT_EQ(binding->stringId, L"IDS_OK");
  EXPECT_NE(table_.localisedControls.Find(FormatPrintf(L"%04x-%04x",
                                                       static_cast<unsigned>(reinterpret_cast<uintptr_t>(window_)),
                                                       static_cast<unsigned>(-1)).c_str()),
            nullptr);
  // The missing ID left placeholders for the translators.
  EXPECT_TRUE(table_.modified);

  ASSERT_EQ(SelectLanguage(table_, L"English(UK)"), 1);
  EXPECT_TRUE(LocalizeControl(L"IDS_READY", table_, window_, kStaticId));
  EXPECT_EQ(WindowText(GetDlgItem(window_, kStaticId)), L"Ready");
}

TEST_F(Localize, MenuBarWithSubmenu) {
  HMENU bar = CreateMenu();
  HMENU file = CreatePopupMenu();
  HMENU scan = CreatePopupMenu();
  AppendMenuW(scan, MF_STRING, 101, L"IDS_STARTSCAN");
  AppendMenuW(file, MF_STRING, 100, L"IDS_SAVERESULT");
  AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(file, MF_POPUP, reinterpret_cast<UINT_PTR>(scan), L"IDS_SCAN");
  AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"IDS_FILE");
  AppendMenuW(bar, MF_STRING, 102, L"IDS_HELP");
  ASSERT_TRUE(SetMenu(window_, bar));

  LocalizeMenu(table_, window_);  // no menu given: the window's own

  struct {
    const char* name;
    HMENU menu;
    UINT position;
    std::wstring text;
    std::wstring data;
  } cases[] = {
      {"bar popup", bar, 0, L"&Filer", L"IDS_FILE"},
      {"bar item", bar, 1, L"Hj\u00E6lp", L"IDS_HELP"},
      {"popup item", file, 0, L"Gem resultat...", L"IDS_SAVERESULT"},
      {"separator untouched", file, 1, L"", L"(none)"},
      {"submenu", file, 2, L"S&kan", L"IDS_SCAN"},
      {"submenu item", scan, 0, L"Start skanning", L"IDS_STARTSCAN"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ItemText(c.menu, c.position), c.text) << c.name;
    EXPECT_EQ(ItemData(c.menu, c.position), c.data) << c.name;
  }
  // The submenu is still attached and the commands keep their IDs.
  EXPECT_EQ(GetSubMenu(file, 2), scan);
  EXPECT_EQ(GetMenuItemID(scan, 0), 101u);
  EXPECT_FALSE(table_.modified);
}

TEST_F(Localize, GivenMenuAndMissingIds) {
  HMENU popup = CreatePopupMenu();
  AppendMenuW(popup, MF_STRING, 200, L"IDS_SAVERESULT");
  AppendMenuW(popup, MF_STRING, 201, L"IDS_NO_SUCH_TEXT");
  LocalizeMenu(table_, window_, popup);
  EXPECT_EQ(ItemText(popup, 0), L"Gem resultat...");
  EXPECT_EQ(ItemText(popup, 1), L"{String Not Found}");
  EXPECT_EQ(ItemData(popup, 1), L"IDS_NO_SUCH_TEXT");
  EXPECT_TRUE(table_.modified);
  DestroyMenu(popup);
}

}  // namespace
}  // namespace tessaly
