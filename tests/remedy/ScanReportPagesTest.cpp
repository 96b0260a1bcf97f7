// The printed report's pages: page count, line budget, repeated headers, wrapped paths, the lists
// that run on into each other and the geometry of a page.
#include "Paths.h"
#include "ScanRecords.h"
#include "ScanReportPages.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tessaly {
namespace {

const std::wstring kRule(65, L'=');
const std::wstring kRoot = std::wstring(L"C:") + kPathSeparator;  // as FullPath gives it
const ScanReportTexts kTexts{L"Tessaly", L"P2P Applications", L"Music files", L"Video files", L"Image files"};

// Results as the scan run keeps them; counts are set apart from the lists so that they can differ.
struct Results {
  MvLinkedList properties;
  MvLinkedList p2p, music, video, images;
  std::shared_ptr<ScanFolder> root = ScanFolder::MakeRoot(L"C:");
  std::vector<std::unique_ptr<ScanFile>> files;

  void Fill(MvLinkedList& list, int count, const std::wstring& stem, size_t nameLength = 0) {
    for (int i = 0; i < count; ++i) {
      files.push_back(std::make_unique<ScanFile>());
      std::wstring name = stem + std::to_wstring(i);
      if (name.size() < nameLength) name.append(nameLength - name.size(), L'x');
      files.back()->folder = root.get();
      files.back()->name = name;
      list.Add(nullptr, files.back().get());
    }
  }
  void Publish(uint32_t p2pCount, uint32_t musicCount, uint32_t videoCount, uint32_t imageCount) {
    properties.Add(L"ScanP2pFileList", &p2p);
    properties.Add(L"ScanMusicFileList", &music);
    properties.Add(L"ScanVideoFileList", &video);
    properties.Add(L"ScanImageFileList", &images);
    properties.Add(L"ScanP2pFilesFound", NumberValue(p2pCount));
    properties.Add(L"ScanMusicFilesFound", NumberValue(musicCount));
    properties.Add(L"ScanVideoFilesFound", NumberValue(videoCount));
    properties.Add(L"ScanImageFilesFound", NumberValue(imageCount));
  }
  void PublishCounted() { Publish(p2p.count, music.count, video.count, images.count); }
};

// A letter-size page at 600 dpi with quarter-inch margins.
constexpr PageMetrics kPage{150, 150, 5100, 6600};
constexpr int32_t kCharWidth = 40;

// A fixed-pitch model of DrawTextW's word wrap: as many lines as the text needs at kCharWidth per
// character, each one body line high.
int32_t FixedPitchHeight(const std::wstring& text, const ReportBox& box) {
  int32_t body = 0, title = 0;
  ReportFontHeights(kPage, body, title);
  const auto perLine = static_cast<size_t>((box.right - box.left) / kCharWidth);
  const auto lines = static_cast<int32_t>(text.empty() ? 1 : (text.size() + perLine - 1) / perLine);
  return lines * body;
}

ReportLayout Layout(const Results& r) {
  SystemTime t;
  t.year = 2010; t.month = 11; t.day = 2; t.hour = 9; t.minute = 5;
  return LayoutScanReport(BuildScanReport(r.properties, kTexts), kPage, kTexts.title, t, FixedPitchHeight);
}

// The texts of a page without title and footer.
std::vector<std::wstring> Body(const ReportPage& page) {
  std::vector<std::wstring> texts;
  for (size_t i = 1; i + 1 < page.texts.size(); ++i) texts.push_back(page.texts[i].text);
  return texts;
}

std::vector<std::wstring> Header(const std::wstring& text) { return {kRule, text, kRule}; }

TEST(ScanReportPages, PageCountCountsP2pMusicAndVideoOnly) {
  struct {
    uint32_t p2p, music, video;
    int32_t pages;
  } cases[] = {
      {0, 0, 0, 1},  {51, 0, 0, 1}, {52, 0, 0, 2},   {100, 0, 0, 2},
      {20, 20, 12, 2}, {0, 0, 115, 2}, {0, 0, 116, 3}, {4000000000u, 0, 0, 62500001},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReportPageCount(c.p2p, c.music, c.video), c.pages) << c.p2p << " " << c.music << " " << c.video;
  }
  Results r;
  r.Fill(r.images, 300, L"photo");
  r.Publish(0, 0, 0, 300);
  EXPECT_EQ(BuildScanReport(r.properties, kTexts).pages, 1);
}

TEST(ScanReportPages, HundredProgramsGiveTwoPagesEachStartingWithTheSectionHeader) {
  Results r;
  r.Fill(r.p2p, 100, L"client");
  r.PublishCounted();
  const ReportLayout layout = Layout(r);
  ASSERT_EQ(layout.pages.size(), 2u);
  const size_t perPage[] = {60, 40};  // 4 header lines + 60 paths fill the budget of 64
  size_t next = 0;
  for (size_t p = 0; p < 2; ++p) {
    SCOPED_TRACE(p);
    const ReportPage& page = layout.pages[p];
    EXPECT_EQ(page.texts.front().text, L"Tessaly");
    EXPECT_EQ(page.texts.front().font, ReportFont::Title);
    std::vector<std::wstring> want = Header(L"P2P Applications: 100");
    for (size_t i = 0; i < perPage[p]; ++i) want.push_back(kRoot + L"client" + std::to_wstring(next++));
    EXPECT_EQ(Body(page), want);
    EXPECT_EQ(page.pathCount, static_cast<int32_t>(perPage[p]));
    EXPECT_EQ(page.texts.back().text, L"11/02/2010  09:05 - " + std::to_wstring(p + 1) + L"/2");
  }
  EXPECT_EQ(layout.pages[0].budgetUsed, 64);
}

TEST(ScanReportPages, ListsRunOnWithTheirOwnHeadersAndImagesOnlyWhenAlone) {
  Results r;
  r.Fill(r.p2p, 1, L"client");
  r.Fill(r.music, 2, L"song");
  r.Fill(r.video, 1, L"film");
  r.Fill(r.images, 3, L"photo");
  r.PublishCounted();
  ReportLayout layout = Layout(r);
  ASSERT_EQ(layout.pages.size(), 1u);
  std::vector<std::wstring> want = Header(L"P2P Applications: 1");
  want.push_back(kRoot + L"client0");
  for (const auto& line : Header(L"Music files: 2")) want.push_back(line);
  want.push_back(kRoot + L"song0");
  want.push_back(kRoot + L"song1");
  for (const auto& line : Header(L"Video files: 1")) want.push_back(line);
  want.push_back(kRoot + L"film0");
  EXPECT_EQ(Body(layout.pages[0]), want);

  // No P2P programs: the music list comes first. Only images: their own section, one page.
  Results noP2p;
  noP2p.Fill(noP2p.music, 1, L"song");
  noP2p.Fill(noP2p.images, 1, L"photo");
  noP2p.PublishCounted();
  layout = Layout(noP2p);
  ASSERT_EQ(layout.pages.size(), 1u);
  want = Header(L"Music files: 1");
  want.push_back(kRoot + L"song0");
  EXPECT_EQ(Body(layout.pages[0]), want);

  Results imagesOnly;
  imagesOnly.Fill(imagesOnly.images, 2, L"photo");
  imagesOnly.PublishCounted();
  layout = Layout(imagesOnly);
  ASSERT_EQ(layout.pages.size(), 1u);
  want = Header(L"Image files: 2");
  want.push_back(kRoot + L"photo0");
  want.push_back(kRoot + L"photo1");
  EXPECT_EQ(Body(layout.pages[0]), want);
}

TEST(ScanReportPages, NothingFoundPrintsNoPage) {
  Results r;
  r.PublishCounted();
  EXPECT_TRUE(Layout(r).pages.empty());
  MvLinkedList missing;
  EXPECT_TRUE(LayoutScanReport(BuildScanReport(missing, kTexts), kPage, L"T", {}, FixedPitchHeight).pages.empty());
}

TEST(ScanReportPages, WrappedPathsCountAgainstTheBudget) {
  // Each path wraps to three lines of the 80-unit body font; against the line height of 87.3 that
  // is 2.75, so each path costs 1 + 2: after the 4 header lines 20 paths fit (4 + 19 * 3 = 61 <= 63
  // lets the 20th in).
  Results r;
  int32_t body = 0, title = 0;
  ReportFontHeights(kPage, body, title);
  const size_t width = static_cast<size_t>((kPage.width - 2 * kPage.offsetX) * 0.9 / kCharWidth);
  r.Fill(r.p2p, 40, L"deep", width * 2 + 5);
  r.PublishCounted();
  const ReportLayout layout = Layout(r);
  ASSERT_EQ(layout.pages.size(), 1u);  // 40 counted: one page, the rest is not printed
  EXPECT_EQ(layout.pages[0].pathCount, 20);
  EXPECT_EQ(layout.pages[0].budgetUsed, 64);
  // The path after a wrapped one starts below all of its lines.
  const ReportText& first = layout.pages[0].texts[4];
  const ReportText& second = layout.pages[0].texts[5];
  EXPECT_TRUE(first.wrap);
  EXPECT_GE(second.box.top - first.box.top, 3 * body);
}

TEST(ScanReportPages, CountsDecideThePagesNotTheLists) {
  // Fewer counted than listed: printing stops after the counted pages.
  Results more;
  more.Fill(more.p2p, 200, L"client");
  more.Publish(10, 0, 0, 0);
  ReportLayout layout = Layout(more);
  ASSERT_EQ(layout.pages.size(), 1u);
  EXPECT_EQ(layout.pages[0].pathCount, 60);
  EXPECT_EQ(layout.pages[0].texts.back().text, L"11/02/2010  09:05 - 1/1");
  // More counted than listed: the pages without files are not printed, the footer keeps the count.
  Results fewer;
  fewer.Fill(fewer.music, 5, L"song");
  fewer.Publish(0, 200, 0, 0);
  layout = Layout(fewer);
  ASSERT_EQ(layout.pages.size(), 1u);
  EXPECT_EQ(layout.pages[0].texts.back().text, L"11/02/2010  09:05 - 1/4");
  EXPECT_EQ(Body(layout.pages[0])[1], L"Music files: 200");
}

TEST(ScanReportPages, PageGeometryFollowsTheMarginsAndFonts) {
  // Worked by hand for a page of 5100 x 6600 with offsets 100: usable 6400, body font 81
  // (6400 * 0.85 * 0.015), title 204; the first line at 435 (6400 * 0.015f * 3.5 + 100 falls just
  // under 436), line height 5965 * 0.015f = 89.47; indents of 4900 * 0.05 = 245.
  constexpr PageMetrics page{100, 100, 5100, 6600};
  Results r;
  r.Fill(r.video, 1, L"film");
  r.PublishCounted();
  const ReportLayout layout = LayoutScanReport(BuildScanReport(r.properties, kTexts), page, L"T", {},
                                               [](const std::wstring&, const ReportBox&) { return 81; });
  EXPECT_EQ(layout.bodyFontHeight, 81);
  EXPECT_EQ(layout.titleFontHeight, 204);
  ASSERT_EQ(layout.pages.size(), 1u);
  const std::vector<ReportText>& t = layout.pages[0].texts;
  ASSERT_EQ(t.size(), 6u);
  EXPECT_EQ(t[0].box, (ReportBox{100, 100, 5000, 6500}));  // title
  EXPECT_EQ(t[1].box, (ReportBox{345, 435, 4754, 6500}));  // rule
  EXPECT_EQ(t[2].box.top, 524);                            // header: + 89.47
  EXPECT_EQ(t[3].box.top, 617);                            // rule: + 89.47 * 1.05
  EXPECT_EQ(t[4].box.top, 795);                            // path: + 89.47 * 2
  EXPECT_TRUE(t[4].wrap);
  EXPECT_EQ(t[5].box, (ReportBox{100, 6321, 5000, 6500}));  // footer: 6500 - 5965 * 0.03
}

}  // namespace
}  // namespace tessaly
