// Printing the scan report: the printer dialog, then the pages of ScanReportPages drawn with GDI.
#pragma once

#include "Clock.h"
#include "MvLinkedList.h"
#include "ScanReportPages.h"

#include <windows.h>

namespace tessaly {

struct PrintOutcome {
  bool printed = false;  // a document was started and ended
  ReportLayout layout;   // what went on the pages
};

// Prints the results kept on properties on the printer dc (not taken over): one document, the
// pages of LayoutScanReport for dc's page size, the local time now in every footer. Nothing is
// printed when there are no files to list.
PrintOutcome PrintScanReportOn(HDC dc, const MvLinkedList& properties, const ScanReportTexts& texts,
                               const SystemTime& now);

// "Print Result...": PrintDlgW owned by owner, then the report on the printer chosen. Nothing
// happens when the dialog is cancelled.
PrintOutcome PrintScanReport(HWND owner, const MvLinkedList& properties, const ScanReportTexts& texts);

}  // namespace tessaly
