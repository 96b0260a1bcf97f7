// The welcome dialog: the start-up switch, the check box that stores it, and the quick links that
// scroll their heading to the top in every language of the resource.
#include "DialogDriver.h"
#include "GuiTestSupport.h"

#include "SettingsStore.h"
#include "Startup.h"
#include "WelcomeDialog.h"

#include <windows.h>
#include <commdlg.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <optional>

namespace tessaly {
namespace {

constexpr wchar_t kOwnKey[] = L"SOFTWARE\\Morvane Software\\Tessaly";
constexpr int kText = 1011;
constexpr int kDontShow = 1012;

class WelcomeDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(test::ShippedLanguage().languages.count, 0u) << "Tessres.dll not found";
    PrepareRichEdit();
  }
  void TearDown() override { SelectLanguage(test::ShippedLanguage(), L"English(UK)"); }

  // As the program does at start-up: the rich edit of the template needs its library.
  static void PrepareRichEdit() {
    PrepareControls();
    ASSERT_NE(GetModuleHandleW(L"riched20.dll"), nullptr);
  }

  std::wstring Text(const wchar_t* id) { return GetString(false, id, test::ShippedLanguage()); }

  void StoreSwitch(std::optional<std::wstring> text) {
    if (!text) {
      settings_.Delete(SettingsRoot::CurrentUser, kOwnKey, L"DontShowWelcome");
      return;
    }
    SettingsValue value;
    value.text = *text;
    settings_.Set(SettingsRoot::CurrentUser, kOwnKey, L"DontShowWelcome", value);
  }
  std::optional<std::wstring> StoredSwitch() const {
    return settings_.GetText(SettingsRoot::CurrentUser, kOwnKey, L"DontShowWelcome");
  }

  WelcomeRequest Request(bool atStartUp) {
    WelcomeRequest request;
    request.language = &test::ShippedLanguage();
    request.settings = &settings_;
    request.checkRegistryVisibility = atStartUp;
    return request;
  }

  MemorySettingsStore settings_;
};

TEST_F(WelcomeDialogTest, TheSwitchSkipsTheDialogAtStartUpOnly) {
  struct {
    std::optional<std::wstring> stored;
    bool atStartUp;
    bool opens;
    bool boxChecked;
  } cases[] = {
      {L"TRUE", true, false, false},  {L"TRUE", false, true, true},  {L"true", true, false, false},
      {L"False", true, true, false},  {std::nullopt, true, true, false}, {L"yes", true, true, false},
  };
  for (const auto& c : cases) {
    StoreSwitch(c.stored);
    bool checked = false;
    test::DialogDriver driver(GetCurrentThreadId(),
                              {{Text(L"IDS_WELCOMETOTSY"),
                                [&](HWND dialog) { checked = IsDlgButtonChecked(dialog, kDontShow) == BST_CHECKED; },
                                IDOK}});
    const WelcomeRequest request = Request(c.atStartUp);
    EXPECT_EQ(ShowWelcome(nullptr, request), 0);
    const int shown = driver.Stop();
    const std::wstring name = (c.stored ? *c.stored : L"(none)") + (c.atStartUp ? L" at start-up" : L" from the menu");
    EXPECT_EQ(shown, c.opens ? 1 : 0) << WideToUtf8(name);
    if (c.opens) EXPECT_EQ(checked, c.boxChecked) << WideToUtf8(name);
    EXPECT_EQ(StoredSwitch(), c.stored) << "only a click stores the switch: " << WideToUtf8(name);
  }
}

TEST_F(WelcomeDialogTest, EachClickOnTheBoxStoresTheSwitchWhicheverWayTheDialogCloses) {
  struct {
    int clicks;
    int closeWith;  // 0: the close box
    const wchar_t* stored;
  } cases[] = {{1, 0, L"True"}, {2, 0, L"False"}, {3, IDOK, L"True"}, {2, IDOK, L"False"}};
  for (const auto& c : cases) {
    StoreSwitch(std::nullopt);
    test::DialogDriver driver(GetCurrentThreadId(), {{Text(L"IDS_WELCOMETOTSY"),
                                                      [&](HWND dialog) {
                                                        HWND box = GetDlgItem(dialog, kDontShow);
                                                        for (int i = 0; i < c.clicks; ++i) SendMessageW(box, BM_CLICK, 0, 0);
                                                      },
                                                      c.closeWith}});
    ShowWelcome(nullptr, Request(false));
    EXPECT_EQ(driver.Finish(), 1);
    EXPECT_EQ(StoredSwitch(), std::optional<std::wstring>(c.stored)) << c.clicks << " clicks";
  }
}

// Where a character of the text lies in the rich edit's client area.
int TopOf(HWND edit, LONG character) {
  POINTL at{};
  SendMessageW(edit, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&at), character);
  return at.y;
}

// Whether the text is scrolled as far down as it goes: one line more moves nothing.
bool AtTheEnd(HWND edit) {
  POINT before{}, after{};
  SendMessageW(edit, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&before));
  SendMessageW(edit, EM_LINESCROLL, 0, 1);
  SendMessageW(edit, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&after));
  SendMessageW(edit, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&before));
  return after.y == before.y;
}

LONG Find(HWND edit, const std::wstring& text) {
  FINDTEXTEXW find{};
  find.chrg = {0, -1};
  find.lpstrText = text.c_str();
  return static_cast<LONG>(SendMessageW(edit, EM_FINDTEXTEXW, FR_DOWN | FR_WHOLEWORD, reinterpret_cast<LPARAM>(&find)));
}

TEST_F(WelcomeDialogTest, ALinkScrollsItsHeadingToTheTopInEveryLanguage) {
  StringTable& table = test::ShippedLanguage();
  ASSERT_EQ(table.languages.count, 11u);
  for (const MvListEntry& entry : table.languages) {
    const auto* language = static_cast<const LanguageRecord*>(entry.value);
    ASSERT_EQ(SelectLanguage(table, language->name.c_str()), 1);
    const std::string where = WideToUtf8(language->code);
    std::vector<std::string> failures;
    int linksTried = 0;
    test::DialogDriver driver(
        GetCurrentThreadId(),
        {{Text(L"IDS_WELCOMETOTSY"),
          [&](HWND dialog) {
            HWND edit = GetDlgItem(dialog, kText);
            if (GetWindowTextLengthW(edit) < 1000) failures.push_back("the welcome text did not arrive");
            RECT client{};
            GetClientRect(edit, &client);
            // The links from the bottom of the column up, so each click has to move the text.
            const auto& links = QuickLinkEntries();
            for (int i = 8; i >= 1; --i) {
              const std::wstring heading = Text(links[i].stringId);
              const LONG at = Find(edit, heading);
              if (at < 0) {
                failures.push_back("no heading " + WideToUtf8(heading));
                continue;
              }
              HWND link = GetDlgItem(dialog, links[i].control);
              wchar_t shown[300] = {};
              GetWindowTextW(link, shown, 300);
              if (heading != shown) failures.push_back("link text " + WideToUtf8(shown));
              SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
              SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
              ++linksTried;
              // On the first visible line: its top within a few pixels of the text's top; a
              // heading near the end can come only as far up as the text's end allows.
              const int top = TopOf(edit, at);
              if (top < -2 || (top > 12 && !AtTheEnd(edit))) {
                failures.push_back(WideToUtf8(heading) + " at y " + std::to_string(top) + " of " +
                                   std::to_string(client.bottom));
              }
            }
          },
          IDOK}});
    ShowWelcome(nullptr, Request(false));
    ASSERT_EQ(driver.Finish(), 1) << where;
    EXPECT_EQ(linksTried, 8) << where;
    for (const std::string& failure : failures) ADD_FAILURE() << where << ": " << failure;
  }
}

TEST_F(WelcomeDialogTest, LinksAreDrawnInBlue) {
  COLORREF colour = 0;
  test::DialogDriver driver(GetCurrentThreadId(),
                            {{Text(L"IDS_WELCOMETOTSY"),
                              [&](HWND dialog) {
                                HWND link = GetDlgItem(dialog, QuickLinkEntries()[1].control);
                                RedrawWindow(link, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
                                Sleep(200);
                                RECT box{};
                                GetClientRect(link, &box);
                                HDC dc = GetDC(link);
                                // The darkest pixel of the text: its colour.
                                int best = 1000;
                                for (int y = 0; y < box.bottom; ++y) {
                                  for (int x = 0; x < box.right; ++x) {
                                    const COLORREF pixel = GetPixel(dc, x, y);
                                    const int sum = GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel);
                                    if (pixel != CLR_INVALID && sum < best) {
                                      best = sum;
                                      colour = pixel;
                                    }
                                  }
                                }
                                ReleaseDC(link, dc);
                              },
                              IDOK}});
  ShowWelcome(nullptr, Request(false));
  ASSERT_EQ(driver.Finish(), 1);
  EXPECT_EQ(colour, RGB(0, 0, 255));
}

}  // namespace
}  // namespace tessaly
