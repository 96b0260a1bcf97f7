// The printed scan report as pages of positioned texts: which lists are printed, which line goes
// on which page, the line budget, the page count. Portable; the printer code only measures the
// wrapped paths and draws what this gives.
#pragma once

#include "Clock.h"
#include "MvLinkedList.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tessaly {

struct ScanReportTexts {
  std::wstring title;            // IDS_PROGRAMTITLE
  std::wstring p2pApplications;  // IDS_P2PAPPLICATIONS
  std::wstring musicFiles;       // IDS_MUSICFILES
  std::wstring videoFiles;       // IDS_VIDEOFILES
  std::wstring imageFiles;       // IDS_IMAGEFILES
};

// One result list as it is printed: its section header ("P2P Applications: 3") and its paths.
struct ReportSection {
  std::wstring header;
  std::vector<std::wstring> paths;
};

struct ScanReport {
  int32_t pages = 0;  // (P + M + V + 12) / 64 + 1, images not counted
  // In print order: from the first non-empty of P2P, music, video on through the rest of those
  // three; the image list only when it is the only one with files.
  std::vector<ReportSection> sections;
};

// The report of the results kept on `properties` (the main window's "ScanP2pFileList",
// "ScanP2pFilesFound", ...). A missing count is 0; missing lists and entries without a record
// are skipped.
ScanReport BuildScanReport(const MvLinkedList& properties, const ScanReportTexts& texts);

int32_t ReportPageCount(uint32_t p2p, uint32_t music, uint32_t video);

// Device units of the printer's page (GetDeviceCaps PHYSICALOFFSETX/Y, PHYSICALWIDTH/HEIGHT).
struct PageMetrics {
  int32_t offsetX = 0;
  int32_t offsetY = 0;
  int32_t width = 0;
  int32_t height = 0;
};

struct ReportBox {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const ReportBox&) const = default;
};

enum class ReportFont { Title, Body };

struct ReportText {
  std::wstring text;
  ReportBox box;
  ReportFont font = ReportFont::Body;
  bool wrap = false;  // word-wrapped (the paths); else one centred line
};

struct ReportPage {
  std::vector<ReportText> texts;  // in drawing order: title, headers and paths, footer
  int32_t pathCount = 0;
  int32_t budgetUsed = 0;  // lines + extra lines when the page ended
};

struct ReportLayout {
  int32_t bodyFontHeight = 0;
  int32_t titleFontHeight = 0;
  std::vector<ReportPage> pages;  // never more than ScanReport::pages
};

// A page takes files while lines + extra <= this.
inline constexpr int32_t kReportLineBudget = 63;

// The height the body font needs for text word-wrapped into box.
using MeasureReportText = std::function<int32_t(const std::wstring& text, const ReportBox& box)>;

// Both font heights for a page.
void ReportFontHeights(const PageMetrics& page, int32_t& body, int32_t& title);

ReportLayout LayoutScanReport(const ScanReport& report, const PageMetrics& page, const std::wstring& title,
                              const SystemTime& now, const MeasureReportText& measure);

}  // namespace tessaly
