// Printing the report for real: PrintDlgW answered from a helper thread, the job through Wine's
// spooler to the cups-pdf queue that run_with_cups.py set up. The program writes the pages it
// printed; the runner checks the PDF against them (pdfinfo, pdftotext).
#include "DialogDriver.h"
#include "LogCapture.h"
#include "PrintReport.h"
#include "ScanRecords.h"
#include "SharedProperties.h"
#include "TextConvert.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <memory>
#include <vector>

namespace tessaly {
namespace {

std::wstring Environment(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value ? value : L"";
}

TEST(PrintReport, HundredProgramsPrintOnTwoPagesEachWithTheSectionHeader) {
  const std::wstring skip = Environment(L"TESSALY_PRINT_SKIP");
  if (!skip.empty()) GTEST_SKIP() << "no print server: " << WideToUtf8(skip);
  const std::wstring expected = Environment(L"TESSALY_PRINT_EXPECTED");
  ASSERT_FALSE(expected.empty()) << "run through run_with_cups.py";

  MvLinkedList properties, programs;
  std::shared_ptr<ScanFolder> root = ScanFolder::MakeRoot(L"C:\\Program Files");
  std::vector<std::unique_ptr<ScanFile>> files;
  for (int i = 0; i < 100; ++i) {
    files.push_back(std::make_unique<ScanFile>());
    files.back()->folder = root.get();
    files.back()->name = L"client" + std::to_wstring(i) + L".exe";
    programs.Add(nullptr, files.back().get());
  }
  properties.Add(property::kP2pFileList, &programs);
  properties.Add(property::kP2pFilesFound, NumberValue(100));
  // The title names the job, and so cups-pdf's file: one of this run.
  const std::wstring title = L"TessalyPrint" + std::to_wstring(GetCurrentProcessId());
  const ScanReportTexts texts{title, L"P2P Applications", L"Music files", L"Video files", L"Image files"};

  HWND owner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                               nullptr, nullptr);
  ASSERT_NE(owner, nullptr);
  test::LogCapture log;
  test::DialogDriver driver(GetCurrentThreadId(), {{L"Print", nullptr, IDOK}});
  const PrintOutcome outcome = PrintScanReport(owner, properties, texts);
  EXPECT_EQ(driver.Finish(), 1);
  DestroyWindow(owner);

  if (!outcome.printed) {
    for (const std::wstring& line : log.Lines()) std::cout << WideToUtf8(line);
  }
  ASSERT_TRUE(outcome.printed);
  ASSERT_EQ(outcome.layout.pages.size(), 2u);
  const std::wstring rule(65, L'=');
  int next = 0;
  std::ofstream out(WideToAnsi(expected), std::ios::binary);
  out << "TITLE " << WideToUtf8(title) << "\n";
  for (size_t p = 0; p < 2; ++p) {
    const std::vector<ReportText>& page = outcome.layout.pages[p].texts;
    ASSERT_GE(page.size(), 5u);
    EXPECT_EQ(page[0].text, title);
    EXPECT_EQ(page[1].text, rule);
    EXPECT_EQ(page[2].text, L"P2P Applications: 100");
    EXPECT_EQ(page[3].text, rule);
    const std::wstring footerEnd = L" - " + std::to_wstring(p + 1) + L"/2";
    const std::wstring& footer = page.back().text;
    EXPECT_TRUE(footer.size() > footerEnd.size() && footer.substr(footer.size() - footerEnd.size()) == footerEnd)
        << WideToUtf8(footer);
    out << "PAGE\n";
    for (const ReportText& text : page) {
      if (text.wrap) {
        EXPECT_EQ(text.text, L"C:\\Program Files\\client" + std::to_wstring(next++) + L".exe");
      }
      out << WideToUtf8(text.text) << "\n";
    }
  }
  EXPECT_EQ(next, 100);  // every program on one of the two pages
}

}  // namespace
}  // namespace tessaly
