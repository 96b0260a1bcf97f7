// The program's login dialog (its template 101) as a real modal dialog under Wine, over the
// in-memory settings store: what is accepted, what each refusal says, the answer mode.
#include "GuiTestSupport.h"
#include "LoginDialog.h"
#include "LoginDriver.h"
#include "PasswordStore.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace tessaly {
namespace {

using test::LoginDriver;

struct Attempt {
  bool answer;         // typed into the answer field (after "Forgot Password") or the password field
  std::wstring text;
  const wchar_t* error;  // the error box's text, or null when the entry is accepted
};

INT_PTR RunDriven(MemorySettingsStore& settings, const std::vector<Attempt>& attempts, std::vector<std::wstring>& errors,
                  bool cancelAtEnd) {
  LoginContext login;
  login.language = &test::ShippedLanguage();
  login.settings = &settings;
  LoginDriver driver(GetCurrentThreadId(), [&](LoginDriver& d) {
    for (const Attempt& attempt : attempts) {
      if (attempt.answer && d.Visible(IDC_LOGIN_PASSWORD)) d.Click(IDC_LOGIN_FORGOT);
      d.Type(attempt.answer ? IDC_LOGIN_ANSWER : IDC_LOGIN_PASSWORD, attempt.text);
      d.Click(IDOK);
      if (attempt.error) d.AnswerError();
    }
    if (cancelAtEnd) d.Click(IDCANCEL);
  });
  const INT_PTR result = RunLoginDialog(GetModuleHandleW(nullptr), nullptr, login);
  driver.Finish();
  EXPECT_TRUE(driver.Found());
  errors = driver.Errors();
  return result;
}

TEST(LoginDialog, AcceptsAndRefusesAsTheStoreSays) {
  const std::wstring longest(256, L'x');
  struct {
    const char* name;
    std::optional<std::wstring> password;
    std::vector<Attempt> attempts;
    INT_PTR result;
  } cases[] = {
      {"exact password", L"Secret1", {{false, L"Secret1", nullptr}}, kLoginAccepted},
      {"case differs, then right", L"Secret1",
       {{false, L"secret1", L"Invalid Password"}, {false, L"SECRET1", L"Invalid Password"}, {false, L"Secret1", nullptr}},
       kLoginAccepted},
      {"empty entry", L"Secret1", {{false, L"", L"Invalid Password"}}, kLoginCancelled},
      {"nothing stored", std::nullopt,
       {{false, L"Secret1", L"Password Missing"}, {false, L"", L"Invalid Password"}}, kLoginCancelled},
      {"256 characters read whole", longest, {{false, longest, nullptr}}, kLoginAccepted},
      {"longer entries cut at 256", longest, {{false, longest + L"yz", nullptr}}, kLoginAccepted},
      {"255 of 256 refused", longest, {{false, longest.substr(1), L"Invalid Password"}}, kLoginCancelled},
  };
  for (const auto& c : cases) {
    MemorySettingsStore settings;
    if (c.password) StorePassword(settings, *c.password);
    std::vector<std::wstring> expectedErrors;
    for (const Attempt& a : c.attempts) {
      if (a.error) expectedErrors.push_back(a.error);
    }
    std::vector<std::wstring> errors;
    const bool refusedToTheEnd = c.result == kLoginCancelled;
    EXPECT_EQ(RunDriven(settings, c.attempts, errors, refusedToTheEnd), c.result) << c.name;
    EXPECT_EQ(errors, expectedErrors) << c.name;
  }
}

TEST(LoginDialog, ForgotPasswordAsksForTheAnswer) {
  MemorySettingsStore settings;
  StorePassword(settings, L"Secret1");
  StoreQuestion(settings, L"Favourite film?");
  StoreAnswer(settings, L"Casablanca");
  LoginContext login;
  login.language = &test::ShippedLanguage();
  login.settings = &settings;
  struct Seen {
    bool answerHidden, passwordShown, questionShown, passwordHidden;
    std::wstring question, questionLabel;
  } seen{};
  LoginDriver driver(GetCurrentThreadId(), [&](LoginDriver& d) {
    seen.answerHidden = !d.Visible(IDC_LOGIN_ANSWER) && !d.Visible(IDC_LOGIN_QUESTION);
    seen.passwordShown = d.Visible(IDC_LOGIN_PASSWORD);
    SendMessageW(GetDlgItem(d.Login(), IDC_LOGIN_FORGOT), BM_CLICK, 0, 0);
    seen.questionShown = d.Visible(IDC_LOGIN_ANSWER) && d.Visible(IDC_LOGIN_QUESTION);
    seen.passwordHidden = !d.Visible(IDC_LOGIN_PASSWORD) && !d.Visible(IDC_LOGIN_PASSWORDLABEL);
    seen.question = d.Text(IDC_LOGIN_QUESTION);
    seen.questionLabel = d.Text(IDC_LOGIN_QUESTIONLABEL);
    // The password is no longer what counts.
    d.Type(IDC_LOGIN_PASSWORD, L"Secret1");
    for (const wchar_t* wrong : {L"", L"casablanca", L"Secret1"}) {
      d.Type(IDC_LOGIN_ANSWER, wrong);
      d.Click(IDOK);
      d.AnswerError();
    }
    d.Type(IDC_LOGIN_ANSWER, L"Casablanca");
    d.Click(IDOK);
  });
  EXPECT_EQ(RunLoginDialog(GetModuleHandleW(nullptr), nullptr, login), kLoginAccepted);
  driver.Finish();
  EXPECT_TRUE(seen.answerHidden);
  EXPECT_TRUE(seen.passwordShown);
  EXPECT_TRUE(seen.questionShown);
  EXPECT_TRUE(seen.passwordHidden);
  EXPECT_EQ(seen.question, L"Favourite film?");
  EXPECT_EQ(seen.questionLabel, L"Password question:");
  EXPECT_EQ(driver.Errors(), (std::vector<std::wstring>(3, L"Wrong Answer")));
  EXPECT_TRUE(login.answerMode);
}

TEST(LoginDialog, TextsAndClosing) {
  MemorySettingsStore settings;
  StorePassword(settings, L"Secret1");
  LoginContext login;
  login.language = &test::ShippedLanguage();
  login.settings = &settings;
  std::wstring label, forgot, ok, cancel, version;
  LoginDriver driver(GetCurrentThreadId(), [&](LoginDriver& d) {
    label = d.Text(IDC_LOGIN_PASSWORDLABEL);
    forgot = d.Text(IDC_LOGIN_FORGOT);
    ok = d.Text(IDOK);
    cancel = d.Text(IDCANCEL);
    version = d.Text(IDC_LOGIN_VERSION);
    d.Close();  // the close box
  });
  EXPECT_EQ(RunLoginDialog(GetModuleHandleW(nullptr), nullptr, login), kLoginCancelled);
  driver.Finish();
  EXPECT_EQ(label, L"Login");
  EXPECT_EQ(forgot, L"Forgot Password");
  EXPECT_EQ(ok, GetString(false, L"IDS_OK", test::ShippedLanguage()));
  EXPECT_EQ(cancel, GetString(false, L"IDS_CANCEL", test::ShippedLanguage()));
  EXPECT_FALSE(version.empty()) << "the program's ProductVersion";
  EXPECT_FALSE(login.answerMode);
}

}  // namespace
}  // namespace tessaly
