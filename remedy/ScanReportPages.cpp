#include "ScanReportPages.h"

#include "DebugLog.h"
#include "ScanRecords.h"
#include "SharedProperties.h"

namespace tessaly {
namespace {

// The layout constants are single-precision values, computed in double precision.
constexpr double kBodyShare = static_cast<double>(0.85f);
constexpr double kLineShare = static_cast<double>(0.015f);
constexpr double kTitleScale = static_cast<double>(2.5f);
constexpr double kTitleLines = static_cast<double>(3.5f);
constexpr double kIndent = static_cast<double>(0.05f);
constexpr double kWrapped = static_cast<double>(1.05f);
constexpr double kHeaderGap = static_cast<double>(2.0f);
constexpr double kPathGap = static_cast<double>(1.09f);
constexpr double kFooterShare = static_cast<double>(0.03f);

const std::wstring kRule(65, L'=');

int32_t Truncate(double value) { return static_cast<int32_t>(value); }

ReportSection SectionOf(const MvLinkedList& properties, const wchar_t* list, const wchar_t* count,
                        const std::wstring& title) {
  ReportSection section;
  section.header = FormatPrintf(L"%s: %d", title, static_cast<int>(NumberProperty(properties, count)));
  if (const MvLinkedList* files = ListProperty(properties, list)) {
    for (const MvListEntry& node : *files) {
      const auto* file = static_cast<const ScanFile*>(node.value);
      if (file) section.paths.push_back(FullPath(file->folder) + file->name);
    }
  }
  return section;
}

}  // namespace

int32_t ReportPageCount(uint32_t p2p, uint32_t music, uint32_t video) {
  return static_cast<int32_t>((static_cast<int64_t>(p2p) + music + video + 12) / 64 + 1);
}

ScanReport BuildScanReport(const MvLinkedList& properties, const ScanReportTexts& texts) {
  ScanReport report;
  report.pages = ReportPageCount(NumberProperty(properties, property::kP2pFilesFound),
                                 NumberProperty(properties, property::kMusicFilesFound),
                                 NumberProperty(properties, property::kVideoFilesFound));
  std::vector<ReportSection> chain;
  chain.push_back(SectionOf(properties, property::kP2pFileList, property::kP2pFilesFound, texts.p2pApplications));
  chain.push_back(SectionOf(properties, property::kMusicFileList, property::kMusicFilesFound, texts.musicFiles));
  chain.push_back(SectionOf(properties, property::kVideoFileList, property::kVideoFilesFound, texts.videoFiles));
  size_t first = 0;
  while (first < chain.size() && chain[first].paths.empty()) ++first;
  if (first < chain.size()) {
    for (size_t i = first; i < chain.size(); ++i) {
      if (!chain[i].paths.empty()) report.sections.push_back(std::move(chain[i]));
    }
    return report;
  }
  ReportSection images = SectionOf(properties, property::kImageFileList, property::kImageFilesFound, texts.imageFiles);
  if (!images.paths.empty()) report.sections.push_back(std::move(images));
  return report;
}

void ReportFontHeights(const PageMetrics& page, int32_t& body, int32_t& title) {
  const double usable = page.height - 2.0 * page.offsetY;
  const double height = usable * kBodyShare * kLineShare;
  body = Truncate(height);
  title = Truncate(height * kTitleScale);
}

ReportLayout LayoutScanReport(const ScanReport& report, const PageMetrics& page, const std::wstring& title,
                              const SystemTime& now, const MeasureReportText& measure) {
  ReportLayout layout;
  ReportFontHeights(page, layout.bodyFontHeight, layout.titleFontHeight);
  const int32_t right = page.width - page.offsetX;
  const int32_t bottom = page.height - page.offsetY;
  const double textWidth = right - page.offsetX;
  const double fullUsable = page.height - 2.0 * page.offsetY;
  const int32_t top = Truncate(fullUsable * kLineShare * kTitleLines + page.offsetY);
  const double usable = fullUsable - top;
  const double line = usable * kLineShare;
  const int32_t left = Truncate(page.offsetX + textWidth * kIndent);
  const int32_t textRight = Truncate(right - textWidth * kIndent);

  size_t section = 0, file = 0;
  while (static_cast<int32_t>(layout.pages.size()) < report.pages && section < report.sections.size()) {
    ReportPage& out = layout.pages.emplace_back();
    out.texts.push_back({title, {page.offsetX, page.offsetY, right, bottom}, ReportFont::Title, false});
    int32_t y = top, lines = 0, extra = 0;
    while (section < report.sections.size() && lines + extra <= kReportLineBudget) {
      const ReportSection& list = report.sections[section];
      if (file == 0 || lines == 0) {
        out.texts.push_back({kRule, {left, y, textRight, bottom}, ReportFont::Body, false});
        y = Truncate(line + y);
        out.texts.push_back({list.header, {left, y, textRight, bottom}, ReportFont::Body, false});
        y = Truncate(line * kWrapped + y);
        out.texts.push_back({kRule, {left, y, textRight, bottom}, ReportFont::Body, false});
        extra += 4;
        y = Truncate(line * kHeaderGap + y);
      }
      const ReportBox box{left, y, textRight, bottom};
      const int32_t used = measure(list.paths[file], box);
      out.texts.push_back({list.paths[file], box, ReportFont::Body, true});
      if (line > 0 && used / line > kWrapped) extra += Truncate(used / line);
      ++lines;
      y = Truncate(used * kPathGap + y);
      ++out.pathCount;
      // At the end of a list the next section follows on the same page (BuildScanReport only
      // chains the lists that run on into each other).
      if (++file == list.paths.size()) {
        file = 0;
        ++section;
      }
    }
    out.budgetUsed = lines + extra;
    const std::wstring footer =
        FormatPrintf(L"%02d/%02d/%04d  %02d:%02d - %d/%d", now.month, now.day, now.year, now.hour, now.minute,
                     static_cast<int>(layout.pages.size()), report.pages);
    out.texts.push_back({footer, {page.offsetX, Truncate(bottom - usable * kFooterShare), right, bottom},
                         ReportFont::Body, false});
  }
  return layout;
}

}  // namespace tessaly
