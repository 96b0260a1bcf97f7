#include "PrintReport.h"

#include "DebugLog.h"
#include "MvError.h"
#include "SharedProperties.h"
#include "WinHandles.h"
#include "Win32Check.h"

#include <commdlg.h>

namespace tessaly {
namespace {

MvError& PrintError() {
  static MvError error;
  return error;
}

RECT ToRect(const ReportBox& box) { return RECT{box.left, box.top, box.right, box.bottom}; }

// The global blocks PrintDlgW hands back with the device context.
struct GlobalBlock {
  HGLOBAL block = nullptr;
  ~GlobalBlock() {
    if (block) GlobalFree(block);
  }
};

}  // namespace

PrintOutcome PrintScanReportOn(HDC dc, const MvLinkedList& properties, const ScanReportTexts& texts,
                               const SystemTime& now) {
  PrintOutcome outcome;
  const ScanReport report = BuildScanReport(properties, texts);
  if (report.sections.empty()) return outcome;

  PageMetrics page;
  page.offsetX = GetDeviceCaps(dc, PHYSICALOFFSETX);
  page.offsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
  page.width = GetDeviceCaps(dc, PHYSICALWIDTH);
  page.height = GetDeviceCaps(dc, PHYSICALHEIGHT);
  int32_t bodyHeight = 0, titleHeight = 0;
  ReportFontHeights(page, bodyHeight, titleHeight);
  win::UniqueFont body(win::CheckedHandle(PrintError(), CreateFontW(bodyHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, L"Tahoma"),
                                          L"CreateFontW", L"Tahoma body"));
  win::UniqueFont title(win::CheckedHandle(PrintError(), CreateFontW(titleHeight, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, L"Tahoma"),
                                           L"CreateFontW", L"Tahoma title"));
  {
    win::ScopedSelectObject measuring(dc, body.get());
    outcome.layout = LayoutScanReport(report, page, texts.title, now, [dc](const std::wstring& text, const ReportBox& box) {
      RECT rect = ToRect(box);
      return static_cast<int32_t>(DrawTextW(dc, text.c_str(), -1, &rect, DT_WORDBREAK | DT_CALCRECT));
    });
  }

  // Named after the program: some spoolers drop a job without a name.
  DOCINFOW document{};
  document.cbSize = sizeof document;
  document.lpszDocName = texts.title.c_str();
  if (StartDocW(dc, &document) <= 0) {
    win::CheckWin32(PrintError(), false, L"StartDocW", texts.title);
    return outcome;
  }
  SetTextColor(dc, RGB(0, 0, 0));
  for (const ReportPage& sheet : outcome.layout.pages) {
    if (!win::CheckWin32(PrintError(), StartPage(dc) > 0, L"StartPage")) break;
    for (const ReportText& text : sheet.texts) {
      win::ScopedSelectObject font(dc, text.font == ReportFont::Title ? title.get() : body.get());
      RECT rect = ToRect(text.box);
      DrawTextW(dc, text.text.c_str(), -1, &rect, text.wrap ? DT_WORDBREAK : DT_CENTER);
    }
    if (!win::CheckWin32(PrintError(), EndPage(dc) > 0, L"EndPage")) break;
  }
  outcome.printed = win::CheckWin32(PrintError(), EndDoc(dc) > 0, L"EndDoc");
  DebugPrint(L"PrintScanReport(), %d of %d pages\r\n", static_cast<int>(outcome.layout.pages.size()), report.pages);
  return outcome;
}

PrintOutcome PrintScanReport(HWND owner, const MvLinkedList& properties, const ScanReportTexts& texts) {
  PRINTDLGW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_HIDEPRINTTOFILE;
  dialog.nMinPage = 1;
  const int32_t pages = ReportPageCount(NumberProperty(properties, property::kP2pFilesFound),
                                        NumberProperty(properties, property::kMusicFilesFound),
                                        NumberProperty(properties, property::kVideoFilesFound));
  // A WORD: a count past it would wrap below the minimum and fail the dialog.
  dialog.nMaxPage = static_cast<WORD>(pages > 0xFFFF ? 0xFFFF : pages);
  dialog.nCopies = 1;
  const BOOL chosen = PrintDlgW(&dialog);
  GlobalBlock mode{dialog.hDevMode}, names{dialog.hDevNames};
  win::UniqueMemoryDc printer(dialog.hDC);  // DeleteDC, as for any other device context
  if (!chosen || !printer) {
    const DWORD error = CommDlgExtendedError();
    if (error != 0) PrintError().Report(L"PrintDlgW failed: %lu", static_cast<unsigned long>(error));
    return {};
  }
  return PrintScanReportOn(printer.get(), properties, texts, LocalTimeNow());
}

}  // namespace tessaly
