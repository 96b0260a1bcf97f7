// The security-settings dialog under Wine: its texts and suggested question, the messages of
// Next in the order of the checks, what reaches the store, and every way out.
#include "SecuritySettingsDialog.h"
#include "SetupDialogResources.h"
#include "SetupDialogSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>
#include <vector>

namespace tessaly {
namespace {

using namespace test;

struct Entries {
  const wchar_t* password;
  const wchar_t* again;
  const wchar_t* question;  // null: keep what the dialog shows
  const wchar_t* answer;
};

void Enter(HWND dialog, const Entries& entries) {
  SetDlgItemTextW(dialog, IDC_SECURITY_PASSWORD, entries.password);
  SetDlgItemTextW(dialog, IDC_SECURITY_PASSWORDAGAIN, entries.again);
  if (entries.question) SetDlgItemTextW(dialog, IDC_SECURITY_QUESTION, entries.question);
  SetDlgItemTextW(dialog, IDC_SECURITY_ANSWER, entries.answer);
}

class SecuritySettingsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(SetupLibrary(), nullptr) << "Tessres.dll not found";
    SelectLanguage(ShippedLanguage(), L"English(UK)");
  }
  int Run(bool storeSucceeds = true) {
    return RunSecuritySettingsDialog(SetupLibrary(), ShippedLanguage(),
                                     [this, storeSucceeds](const SecuritySettings& s) {
                                       stored_.push_back(s);
                                       return storeSucceeds;
                                     });
  }
  std::vector<SecuritySettings> stored_;
};

TEST_F(SecuritySettingsDialogTest, NextNamesTheFirstBrokenRuleUntilTheEntriesAreStored) {
  // Each refused attempt shows one message box owned by the dialog, which stays open.
  struct Attempt {
    Entries entries;
    const wchar_t* message;
  } attempts[] = {
      {{L"five5", L"other", nullptr, L"x"}, L"IDS_ERRORPASSWORDMUSTBEATLEAST6"},
      {{L"Secret", L"secret", nullptr, L"x"}, L"IDS_ERRORPASSWORDDOESNOTMATCH"},
      {{L"secret", L"secret", L"", L"x"}, L"IDS_ERRORYOUMUSTCHOOSEANANSWER"},
      {{L"secret", L"secret", L"?", L"Casablanca"}, L"IDS_ERRORYOUMUSTCHOOSEAQUESTION"},
  };
  const DWORD thread = GetCurrentThreadId();
  std::vector<std::wstring> shown;
  std::vector<bool> boxOwnedByDialog;
  std::wstring caption, question, labels[5], buttons[2];
  bool dialogFound = false;
  std::thread driver([&] {
    HWND dialog = WaitForDialog(thread, Text(L"IDS_SECURITYSETTINGS"));
    if (!dialog) return;
    dialogFound = true;
    question = ItemText(dialog, IDC_SECURITY_QUESTION);
    const int labelIds[] = {IDC_SECURITY_EXPLANATION, IDC_SECURITY_NEWPASSWORDLABEL, IDC_SECURITY_AGAINLABEL,
                            IDC_SECURITY_QUESTIONLABEL, IDC_SECURITY_ANSWERLABEL};
    for (int i = 0; i < 5; ++i) labels[i] = ItemText(dialog, labelIds[i]);
    buttons[0] = ItemText(dialog, IDC_SECURITY_NEXT);
    buttons[1] = ItemText(dialog, IDC_SECURITY_CANCEL);
    for (const Attempt& attempt : attempts) {
      Enter(dialog, attempt.entries);
      Click(dialog, IDC_SECURITY_NEXT);
      HWND box = WaitForDialog(thread, Text(L"IDS_ERROR"), dialog);
      if (!box) {
        shown.push_back(L"(no message)");
        continue;
      }
      shown.push_back(MessageBoxText(box));
      boxOwnedByDialog.push_back(GetWindow(box, GW_OWNER) == dialog);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      WaitUntilGone(box);
    }
    // The suggested question may be kept unchanged.
    Enter(dialog, {L"secret", L"secret", nullptr, L"Up"});
    SetDlgItemTextW(dialog, IDC_SECURITY_QUESTION, question.c_str());
    Click(dialog, IDC_SECURITY_NEXT);
  });
  EXPECT_EQ(Run(), kSecuritySettingsStored);
  driver.join();
  ASSERT_TRUE(dialogFound);

  EXPECT_EQ(question, Text(L"IDS_WHATISYOURFAVORITEMOVIE"));
  const wchar_t* labelTexts[] = {L"IDS_NEWPASSWORDDISCLAIMER", L"IDS_ENTERNEWPASSWORD", L"IDS_REENTERPASSWORD",
                                 L"IDS_CHOOSEQUESTION", L"IDS_CHOOSEANSWER"};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(labels[i], Text(labelTexts[i])) << i;
  EXPECT_EQ(buttons[0], Text(L"IDS_NEXT"));
  EXPECT_EQ(buttons[1], Text(L"IDS_CANCEL"));

  ASSERT_EQ(shown.size(), std::size(attempts));
  for (size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(shown[i], Text(attempts[i].message)) << "attempt " << i;
  for (bool owned : boxOwnedByDialog) EXPECT_TRUE(owned);
  ASSERT_EQ(stored_.size(), 1u) << "only the accepted entries are stored";
  EXPECT_EQ(stored_[0].password, L"secret");
  EXPECT_EQ(stored_[0].question, L"What is your favorite movie?");
  EXPECT_EQ(stored_[0].answer, L"Up");
}

TEST_F(SecuritySettingsDialogTest, CancelTheCloseBoxAndAFailedStoreEndWithoutGoingOn) {
  struct Case {
    const char* name;
    bool validEntries;
    int command;  // a button, or 0 for the close box
    bool storeSucceeds;
    int want;
    size_t storeCalls;
  } cases[] = {
      {"Cancel with valid entries", true, IDC_SECURITY_CANCEL, true, kSecuritySettingsCancelled, 0},
      {"Escape", true, IDCANCEL, true, kSecuritySettingsCancelled, 0},
      {"close box with valid entries", true, 0, true, kSecuritySettingsCancelled, 0},
      {"Next, the store fails", true, IDC_SECURITY_NEXT, false, kSecuritySettingsCancelled, 1},
      {"Next, the store succeeds", true, IDC_SECURITY_NEXT, true, kSecuritySettingsStored, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    stored_.clear();
    const DWORD thread = GetCurrentThreadId();
    bool found = false;
    std::thread driver([&] {
      HWND dialog = WaitForDialog(thread, Text(L"IDS_SECURITYSETTINGS"));
      if (!dialog) return;
      found = true;
      if (c.validEntries) Enter(dialog, {L"password1", L"password1", L"Pet?", L"Rex"});
      if (c.command == 0) {
        PostMessageW(dialog, WM_CLOSE, 0, 0);
      } else {
        Click(dialog, c.command);
      }
    });
    EXPECT_EQ(Run(c.storeSucceeds), c.want);
    driver.join();
    EXPECT_TRUE(found);
    EXPECT_EQ(stored_.size(), c.storeCalls);
  }
}

}  // namespace
}  // namespace tessaly
