// The licence-agreement dialog under Wine: the result of every way out, with and without the
// agreement options, from the templates of Tessres.dll and of the program; the licence text in
// the control; a licence file that cannot be read.
#include "LicenseDialog.h"
#include "LogCapture.h"
#include "SetupDialogResources.h"
#include "SetupDialogSupport.h"
#include "TempTree.h"

#include <richedit.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace tessaly {
namespace {

using namespace test;

enum class Answer { NextAsShown, AgreeThenNext, CloseBox, Escape };

struct Seen {
  bool found = false;
  std::wstring button, agree, disagree;
  bool disagreeChecked = false, agreeVisible = false, disagreeVisible = false, disclaimerVisible = false;
  std::wstring text;  // the rich-edit control's plain text
  bool textSelected = true;  // any of it highlighted
};

// Runs the dialog on this thread while a driver thread records what it shows and answers.
int RunAndAnswer(const LicenseDialogSetup& setup, Answer answer, Seen& seen) {
  const DWORD thread = GetCurrentThreadId();
  std::thread driver([&] {
    HWND dialog = WaitForDialog(thread, Text(L"IDS_LICENSEAGREEMENT"));
    if (!dialog) return;
    seen.found = true;
    seen.button = ItemText(dialog, IDOK);
    seen.agree = ItemText(dialog, IDC_LICENSE_IAGREE);
    seen.disagree = ItemText(dialog, IDC_LICENSE_IDONOTAGREE);
    seen.disagreeChecked = IsDlgButtonChecked(dialog, IDC_LICENSE_IDONOTAGREE) == BST_CHECKED;
    seen.agreeVisible = ItemVisible(dialog, IDC_LICENSE_IAGREE);
    seen.disagreeVisible = ItemVisible(dialog, IDC_LICENSE_IDONOTAGREE);
    seen.disclaimerVisible = ItemVisible(dialog, IDC_LICENSE_DISCLAIMER);
    seen.text = ItemText(dialog, IDC_LICENSE_TEXT);
    CHARRANGE selection{};
    SendDlgItemMessageW(dialog, IDC_LICENSE_TEXT, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    seen.textSelected = selection.cpMin != selection.cpMax;
    switch (answer) {
      case Answer::AgreeThenNext:
        SendMessageW(GetDlgItem(dialog, IDC_LICENSE_IAGREE), BM_CLICK, 0, 0);
        [[fallthrough]];
      case Answer::NextAsShown:
        Click(dialog, IDOK);
        break;
      case Answer::CloseBox:
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        break;
      case Answer::Escape:
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        break;
    }
  });
  const int result = RunLicenseDialog(setup, nullptr);
  driver.join();
  return result;
}

class LicenseDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(SetupLibrary(), nullptr) << "Tessres.dll not found";
    ASSERT_GT(ShippedLanguage().languages.count, 0u);
    SelectLanguage(ShippedLanguage(), L"English(UK)");
    rtf_ = tree_.AddFile("licence.rtf", "{\\rtf1\\ansi Licence {\\b heading} and terms.\\par}").wstring();
  }
  LicenseDialogSetup Setup(HINSTANCE instance, bool hidden) {
    LicenseDialogSetup setup;
    setup.instance = instance;
    setup.language = &ShippedLanguage();
    setup.rtfFile = rtf_;
    setup.hideAgreementOptions = hidden;
    return setup;
  }
  TempTree tree_;
  std::wstring rtf_;
};

TEST_F(LicenseDialogTest, EveryWayOutGivesItsResultFromEitherTemplate) {
  struct Case {
    const char* name;
    bool hidden;
    Answer answer;
    int want;
  } cases[] = {
      {"I Disagree as preselected, Next", false, Answer::NextAsShown, kLicenseNotAgreed},
      {"I Agree, Next", false, Answer::AgreeThenNext, kLicenseAgreed},
      {"close box", false, Answer::CloseBox, kLicenseClosed},
      {"Escape", false, Answer::Escape, kLicenseClosed},
      {"options hidden, OK", true, Answer::NextAsShown, kLicenseNotAgreed},
      {"options hidden, agree clicked anyway, OK", true, Answer::AgreeThenNext, kLicenseNotAgreed},
  };
  struct Module {
    const char* name;
    HINSTANCE instance;
  } modules[] = {{"Tessres.dll", SetupLibrary()}, {"Tessaly.exe resources", GetModuleHandleW(nullptr)}};
  for (const Module& module : modules) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(module.name) + ": " + c.name);
      Seen seen;
      EXPECT_EQ(RunAndAnswer(Setup(module.instance, c.hidden), c.answer, seen), c.want);
      ASSERT_TRUE(seen.found);
      EXPECT_TRUE(seen.disagreeChecked) << "I Disagree is the preselected choice";
      EXPECT_EQ(seen.button, Text(c.hidden ? L"IDS_OK" : L"IDS_NEXT"));
      EXPECT_EQ(seen.agree, Text(L"IDS_IAGREE"));
      EXPECT_EQ(seen.disagree, Text(L"IDS_IDONOTAGREE"));
      EXPECT_EQ(seen.agreeVisible, !c.hidden);
      EXPECT_EQ(seen.disagreeVisible, !c.hidden);
      EXPECT_EQ(seen.disclaimerVisible, !c.hidden);
      EXPECT_NE(seen.text.find(L"Licence heading and terms."), std::wstring::npos) << "the RTF is shown as text";
      EXPECT_FALSE(seen.textSelected) << "the text opens unselected";
    }
  }
}

TEST_F(LicenseDialogTest, ShowsTheWholeLicenceOfTheLanguageAndDeletesItsFileAfterwards) {
  // The licence is longer than one piece the control asks for: all of it arrives, in order.
  const std::wstring path = tree_.RootText() + L"\\Tessres.dll.license";
  struct Case {
    const char* language;
    const wchar_t* first;
    const wchar_t* last;
  } cases[] = {{"English(UK)", L"TESSALY END-USER LICENCE AGREEMENT", L"All rights reserved."},
               {"German", L"ENDBENUTZER-LIZENZVEREINBARUNG", L"Alle Rechte vorbehalten."}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.language);
    ASSERT_EQ(SelectLanguage(ShippedLanguage(), AnsiToWide(c.language).c_str()), 1);
    LicenseDialogSetup setup = Setup(SetupLibrary(), false);
    setup.rtfFile = path;
    Seen seen;
    const DWORD thread = GetCurrentThreadId();
    bool fileExisted = false;
    std::thread driver([&] {
      HWND dialog = WaitForDialog(thread, Text(L"IDS_LICENSEAGREEMENT"));
      if (!dialog) return;
      seen.found = true;
      fileExisted = std::filesystem::exists(path);
      seen.text = ItemText(dialog, IDC_LICENSE_TEXT);
      Click(dialog, IDOK);
    });
    EXPECT_EQ(ShowLicenseAgreement(setup, nullptr, LicenseFileUse::Installation), kLicenseNotAgreed);
    driver.join();
    ASSERT_TRUE(seen.found);
    EXPECT_TRUE(fileExisted) << "the file is there while the dialog runs";
    EXPECT_FALSE(std::filesystem::exists(path)) << "and gone afterwards";
    EXPECT_EQ(seen.text.find(L"\\rtf1"), std::wstring::npos) << "shown as formatted text, not as RTF source";
    const size_t first = seen.text.find(c.first);
    const size_t last = seen.text.find(c.last);
    ASSERT_NE(first, std::wstring::npos);
    ASSERT_NE(last, std::wstring::npos);
    EXPECT_LT(first, last);
  }
  SelectLanguage(ShippedLanguage(), L"English(UK)");
}

TEST_F(LicenseDialogTest, AnUnreadableLicenceLeavesTheTextEmptyButTheDialogWorks) {
  LogCapture log;
  LicenseDialogSetup setup = Setup(SetupLibrary(), false);
  setup.rtfFile = tree_.RootText() + L"\\missing.rtf";
  Seen seen;
  EXPECT_EQ(RunAndAnswer(setup, Answer::AgreeThenNext, seen), kLicenseAgreed);
  ASSERT_TRUE(seen.found);
  EXPECT_EQ(seen.text, L"");
  EXPECT_EQ(log.CountContaining(L"Failed to Open RTF File(" + setup.rtfFile + L")"), 1u);
}

TEST_F(LicenseDialogTest, ALicenceFileThatCannotBeWrittenIsNeverShownNorAgreed) {
  LogCapture log;
  LicenseDialogSetup setup = Setup(SetupLibrary(), false);
  setup.rtfFile = tree_.RootText() + L"\\no such folder\\Tessres.dll.license";
  EXPECT_EQ(ShowLicenseAgreement(setup, nullptr, LicenseFileUse::Installation), kLicenseNotShown);
  EXPECT_EQ(FindThreadDialog(GetCurrentThreadId()), nullptr);
  EXPECT_EQ(log.CountContaining(L"CreateFileW(" + setup.rtfFile + L")"), 1u);
}

}  // namespace
}  // namespace tessaly
