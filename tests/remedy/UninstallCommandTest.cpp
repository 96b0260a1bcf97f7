#include "UninstallCommand.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace tessaly {
namespace {

struct SplitCase {
  const wchar_t* command;
  const wchar_t* program;
  const wchar_t* arguments;
  bool ok;
};

class SplitTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitTest, ProgramAndArguments) {
  const SplitCase& c = GetParam();
  UninstallCommand got = SplitUninstallCommand(c.command);
  EXPECT_EQ(got.program, c.program) << "command: " << testing::PrintToString(std::wstring(c.command));
  EXPECT_EQ(got.arguments, c.arguments) << "command: " << testing::PrintToString(std::wstring(c.command));
  EXPECT_EQ(got.ok, c.ok);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, SplitTest,
    testing::Values(
        // Unquoted drive-letter path with spaces: quoted, arguments keep their space.
        SplitCase{LR"(C:\Program Files\X\Uninstall.exe /S)", LR"("C:\Program Files\X\Uninstall.exe")", L" /S", true},
        SplitCase{LR"(C:\Program Files\X\Uninstall.exe)", LR"("C:\Program Files\X\Uninstall.exe")", L"", true},
        SplitCase{LR"(   C:\X\u.exe /S)", LR"("C:\X\u.exe")", L" /S", true},
        // Already quoted: taken through the closing quote.
        SplitCase{LR"("C:\Program Files\X\unins000.exe" /SILENT)", LR"("C:\Program Files\X\unins000.exe")", L" /SILENT", true},
        // No drive letter: up to the first space.
        SplitCase{L"MsiExec.exe /X{1234-5678}", L"MsiExec.exe", L" /X{1234-5678}", true},
        SplitCase{L"rundll32.exe", L"rundll32.exe", L"", true},
        SplitCase{LR"("my setup.exe" /x)", LR"("my setup.exe")", L" /x", true},
        // Quoted and path arguments.
        SplitCase{LR"(C:\X\u.exe "a b" /q)", LR"("C:\X\u.exe")", LR"( "a b" /q)", true},
        SplitCase{LR"(C:\X\u.exe /log=C:\Log Dir\u.txt)", LR"("C:\X\u.exe")", LR"( /log=C:\Log Dir\u.txt)", true},
        SplitCase{LR"(C:\X\u.exe D:\Log Dir\u.txt /q)", LR"("C:\X\u.exe")", LR"( "D:\Log Dir\u.txt" /q)", true},
        SplitCase{LR"(C:\X\u.exe D:\log.txt)", LR"("C:\X\u.exe")", LR"( D:\log.txt)", true},
        SplitCase{LR"(C:\X\u.exe /dir="C:\a b" /q)", LR"("C:\X\u.exe")", LR"( /dir="C:\a b" /q)", true},
        // Unclosed quotes in the arguments: the rest is dropped, the program still runs.
        SplitCase{LR"(C:\X\u.exe /q "open)", LR"("C:\X\u.exe")", L" /q", true},
        SplitCase{LR"(C:\X\u.exe /q /dir="open)", LR"("C:\X\u.exe")", L" /q", true},
        // A path argument without "." cannot be delimited: dropped with the rest.
        SplitCase{LR"(C:\X\u.exe /q D:\nodot dir /r)", LR"("C:\X\u.exe")", L" /q", true},
        // Nothing that can be run.
        SplitCase{L"ab", L"", L"", false},
        SplitCase{L"     ", L"", L"", false},
        SplitCase{LR"(C:\Program Files\X\Uninstall /S)", L"", L"", false},
        SplitCase{LR"("C:\Program Files\X\Uninstall.exe /S)", L"", L"", false},
        SplitCase{LR"("setup.exe /S)", L"", L"", false}));

TEST(UninstallMappings, FindsKeyByWholeNameIgnoringCase) {
  const std::wstring text =
      L"Kazaa=@KazaaLite\r\n"
      L"\t  LimeWire=uninstall.exe\r\n"
      L"Lime=short|long.exe|\r\n"
      L"Empty=a\r\n"
      L"Ares=?Ares";
  struct {
    const wchar_t* name;
    std::optional<std::wstring> key;
  } cases[] = {
      {L"kazaa", L"@KazaaLite"},     {L"LIMEWIRE", L"uninstall.exe"}, {L"Lime", L"short|long.exe|"},
      {L"Ares", L"?Ares"},           {L"Empty", std::nullopt}, {L"Empty=a", std::nullopt},        {L"Kaz", std::nullopt},
      {L"KazaaLite", std::nullopt},  {L"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(FindUninstallerKey(text, c.name), c.key) << testing::PrintToString(std::wstring(c.name));
}

TEST(UninstallMappings, KeyFormsInOrder) {
  EXPECT_EQ(ClassifyUninstallKey(L"@Sub|x?"), UninstallKeyForm::kRegistry);
  EXPECT_EQ(ClassifyUninstallKey(L"?Sub|x"), UninstallKeyForm::kRegistryQuoted);
  EXPECT_EQ(ClassifyUninstallKey(L"a.exe|b.exe|"), UninstallKeyForm::kAlternatives);
  EXPECT_EQ(ClassifyUninstallKey(L"uninst.exe"), UninstallKeyForm::kFile);
  EXPECT_EQ(UninstallSubkeyName(L"@Kazaa Lite"), L"Kazaa Lite");
}

TEST(UninstallMappings, CandidatesEndAtBars) {
  EXPECT_EQ(UninstallCandidates(L"one.exe|two.exe|"), (std::vector<std::wstring>{L"one.exe", L"two.exe"}));
  // Text after the last bar is never tried.
  EXPECT_EQ(UninstallCandidates(L"one.exe|two.exe"), (std::vector<std::wstring>{L"one.exe"}));
  EXPECT_EQ(UninstallCandidates(L"||a.exe|"), (std::vector<std::wstring>{L"a.exe"}));
}

TEST(UninstallMappings, QuotedProgramOfSecondRegistryForm) {
  EXPECT_EQ(QuotedUninstallProgram(LR"("C:\P F\u.exe" /S)"), LR"(C:\P F\u.exe)");
  EXPECT_EQ(QuotedUninstallProgram(LR"(C:\P F\u.exe /S)"), L"");
  EXPECT_EQ(QuotedUninstallProgram(LR"("C:\P F\u.exe /S)"), L"");
  EXPECT_EQ(QuotedUninstallProgram(LR"("" x)"), L"");
}

TEST(BatchRunLine, CannotRunAnythingButTheProgram) {
  struct {
    const wchar_t* program;
    const wchar_t* arguments;
    const wchar_t* line;
  } cases[] = {
      {LR"("C:\Program Files\X\Uninstall.exe")", L" /S", LR"("C:\Program Files\X\Uninstall.exe" /S)"},
      {L"MsiExec.exe", L" /X{1}", LR"("MsiExec.exe" /X{1})"},
      {LR"(C:\A&B\u.exe)", L"", LR"("C:\A&B\u.exe")"},
      {LR"(C:\100%PATH%\u.exe)", L"", LR"("C:\100%%PATH%%\u.exe")"},
      {LR"(C:\x^y\u.exe)", LR"( /S & del C:\x)", LR"("C:\x^y\u.exe" /S ^& del C:\x)"},
      {LR"(C:\u.exe)", LR"( "a&b" %TEMP% (x)|y>z)", LR"("C:\u.exe" "a&b" %%TEMP%% ^(x^)^|y^>z)"},
      {LR"(C:\u.exe)", LR"( "open & x)", LR"("C:\u.exe" "open & x")"},
      {LR"(C:\u.exe)", L" /S\r\ncalc", L""},
      {LR"(C:\a"b.exe)", L"", L""},
      {L"", L" /S", L""},
  };
  for (const auto& c : cases) EXPECT_EQ(BatchRunLine(c.program, c.arguments), c.line) << testing::PrintToString(std::wstring(c.program));
}

TEST(BatchRunLine, SplitRegistryValueGivesQuotedLine) {
  UninstallCommand split = SplitUninstallCommand(LR"(C:\Program Files\X\Uninstall.exe /S)");
  EXPECT_EQ(BatchRunLine(split.program, split.arguments), LR"("C:\Program Files\X\Uninstall.exe" /S)");
}

// A made-up computer: the uninstall entries of the registry and the files that exist.
struct FakeComputer {
  std::map<std::wstring, std::wstring> entries;
  std::set<std::wstring> files;
  std::vector<std::wstring> asked;  // subkeys read
};

TEST(ResolveUninstaller, EachKeyFormRunsOnlyWhatExists) {
  FakeComputer computer;
  computer.entries = {
      {L"Kazaa", LR"(C:\Program Files\X\Uninstall.exe /S)"},
      {L"Quoted", LR"("C:\Program Files\Q\unins000.exe" /SILENT /NORESTART)"},
      {L"QuotedBare", LR"("C:\Q\u.exe")"},
      {L"NoDot", LR"(C:\Program Files\X\Uninstall /S)"},
      {L"Open", LR"("C:\Program Files\X\Uninstall.exe /S)"},
      {L"Blank", L"   "},
  };
  computer.files = {LR"(C:\P2P\second.exe)", LR"(C:\P2P\uninst.exe)", LR"(C:\P2P\both a.exe)", LR"(C:\P2P\both b.exe)"};
  const UninstallStringReader read = [&computer](const std::wstring& subkey) -> std::optional<std::wstring> {
    computer.asked.push_back(subkey);
    auto found = computer.entries.find(subkey);
    if (found == computer.entries.end()) return std::nullopt;
    return found->second;
  };
  const FileExists exists = [&computer](const std::wstring& path) { return computer.files.count(path) > 0; };

  struct {
    const wchar_t* exePath;
    const wchar_t* key;
    const wchar_t* program;  // empty: nothing may be run
    const wchar_t* arguments;
  } cases[] = {
      // "@": the entry's value split; a drive-letter path quoted, its arguments kept.
      {LR"(C:\P2P\kazaa.exe)", L"@Kazaa", LR"("C:\Program Files\X\Uninstall.exe")", L" /S"},
      {LR"(C:\P2P\kazaa.exe)", L"@Missing", L"", L""},
      {LR"(C:\P2P\kazaa.exe)", L"@", L"", L""},
      // Values that cannot be split are not run: no extension, an unclosed quote, blanks.
      {LR"(C:\P2P\kazaa.exe)", L"@NoDot", L"", L""},
      {LR"(C:\P2P\kazaa.exe)", L"@Open", L"", L""},
      {LR"(C:\P2P\kazaa.exe)", L"@Blank", L"", L""},
      // "?": the program between the first quotes, the rest as its arguments.
      {LR"(C:\P2P\kazaa.exe)", L"?Quoted", LR"("C:\Program Files\Q\unins000.exe")", L" /SILENT /NORESTART"},
      {LR"(C:\P2P\kazaa.exe)", L"?QuotedBare", LR"("C:\Q\u.exe")", L""},
      {LR"(C:\P2P\kazaa.exe)", L"?Kazaa", L"", L""},
      // "|": the first existing candidate beside the program; text after the last bar never tried.
      {LR"(C:\P2P\kazaa.exe)", L"first.exe|second.exe|", LR"("C:\P2P\second.exe")", L""},
      {LR"(C:\P2P\kazaa.exe)", L"first.exe|second.exe", L"", L""},
      {LR"(C:\P2P\kazaa.exe)", L"both a.exe|both b.exe|", LR"("C:\P2P\both a.exe")", L""},
      {L"kazaa.exe", L"first.exe|second.exe|", L"", L""},
      // A plain file beside the program.
      {LR"(C:\P2P\kazaa.exe)", L"uninst.exe", LR"("C:\P2P\uninst.exe")", L""},
      {LR"(C:\P2P\kazaa.exe)", L"gone.exe", L"", L""},
      {L"kazaa.exe", L"uninst.exe", L"", L""},
  };
  for (const auto& c : cases) {
    ResolvedUninstaller got = ResolveUninstaller(c.exePath, c.key, read, exists);
    const std::string name = testing::PrintToString(std::wstring(c.key));
    EXPECT_EQ(got.ok, *c.program != L'\0') << name << " " << testing::PrintToString(got.why);
    EXPECT_EQ(got.program, c.program) << name;
    EXPECT_EQ(got.arguments, c.arguments) << name;
    if (!got.ok) EXPECT_FALSE(got.why.empty()) << name;
  }
  // The registry forms read the subkey named by the key without its mark, nothing else.
  EXPECT_EQ(computer.asked.front(), L"Kazaa");
  EXPECT_EQ(std::count(computer.asked.begin(), computer.asked.end(), L"Missing"), 1);
}

TEST(UninstallBatch, NamesAndCounterSkipsTheLastValue) {
  EXPECT_EQ(UninstallBatchPath(LR"(C:\Tessaly\)", 0), LR"(C:\Tessaly\tmpbat0.bat)");
  EXPECT_EQ(NextBatchCounter(0), 1u);
  EXPECT_EQ(NextBatchCounter(0xFFFFFFFDu), 0xFFFFFFFEu);
  EXPECT_EQ(NextBatchCounter(0xFFFFFFFEu), 0u);
}

}  // namespace
}  // namespace tessaly
