// The updater's logic against a fake HTTP client: the check, the comparison, the download into
// "UpdatedFiles" and the faults of a server.
#include "MvUpdater.h"

#include "FakeHttpClient.h"
#include "LogCapture.h"
#include "Paths.h"
#include "Sha256.h"
#include "TempTree.h"
#include "TextConvert.h"
#include "UpdaterCommand.h"
#include "UpdaterRecorder.h"

#include "UpdateTestFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using test::Content;
using test::FolderNames;
using test::ReadBytes;
using test::FakeHttpClient;
using test::FakeReply;
using test::UpdaterRecorder;

constexpr const char* kCheckUrl = "http://updates.test/tessaly/update.xml";
constexpr const char* kCheckAddress = "http://updates.test/tessaly/update.xml?PV=1.3.1.170&NT=TRUE";

std::string ManifestWith(const std::string& files) {
  return "<?xml version=\"1.0\"?>\r\n<MorvaneSoftware><Tessaly><Updater>\r\n" + files +
         "</Updater></Tessaly></MorvaneSoftware>\r\n";
}

std::string FileEntry(const std::string& name, size_t size, const std::string& url, const std::string& extra = "") {
  return "<File Date=\"07-30-2009\" Time=\"00:00:00\" Build=\"1.3.1.171\" FileName=\"" + name + "\" Size=\"" +
         std::to_string(size) + "\"" + extra + ">" + url + "</File>\r\n";
}

class UpdaterFixture : public testing::Test {
 protected:
  UpdaterFixture() {
    client = std::make_shared<FakeHttpClient>();
    UpdaterOptions options;
    options.programFolder = tree.RootText() + kPathSeparator;
    options.productVersion = L"1.3.1.170";
    options.overrideWindowsVersion = true;
    options.client = client;
    updater = std::make_unique<MvUpdater>(L"http://updates.test/tessaly/update.xml", options);
    recorder = std::make_unique<UpdaterRecorder>(*updater);
  }

  fs::path Updated() const { return tree.root() / "UpdatedFiles"; }

  // Check against the build stamp of the release and compare.
  size_t CheckAndCompare() {
    updater->StartCheck(L"Jul 29 2009", L"11:17:39");
    EXPECT_EQ(recorder->WaitForResult(), L"CHECK_COMPLETED");
    return updater->UpdatesAvailable();
  }

  std::wstring Download() {
    updater->StartDownload();
    return recorder->WaitForResult();
  }

  test::TempTree tree;
  std::shared_ptr<FakeHttpClient> client;
  std::unique_ptr<MvUpdater> updater;
  std::unique_ptr<UpdaterRecorder> recorder;
};

TEST_F(UpdaterFixture, CheckRequestsTheAddressWithVersionAndKeepsTheManifest) {
  client->Serve(kCheckAddress, {.body = ManifestWith("")});
  test::LogCapture log;
  updater->StartCheck(L"07-29-2009", L"11:17:39");
  EXPECT_EQ(recorder->WaitForResult(), L"CHECK_COMPLETED");
  EXPECT_EQ(client->Requests(), std::vector<std::string>{kCheckAddress});
  EXPECT_EQ(updater->ManifestText(), AnsiToWide(ManifestWith("")));
  EXPECT_EQ(log.CountContaining(L"UrlBuffer output:\r\n<?xml"), 1u);
  EXPECT_EQ(updater->UpdatesAvailable(), 0u);
}

TEST_F(UpdaterFixture, ManifestStopsAtTheFirstZeroByte) {
  std::string body = ManifestWith(FileEntry("a.txt", 1, "http://f/a"));
  client->Serve(kCheckAddress, {.body = body + std::string(1, '\0') + ManifestWith(FileEntry("b.txt", 1, "http://f/b"))});
  EXPECT_EQ(CheckAndCompare(), 1u);
  EXPECT_EQ(updater->AvailableFiles()[0].fileName, L"a.txt");
}

TEST_F(UpdaterFixture, FailedChecks) {
  std::string manifest = ManifestWith("");
  struct Case {
    const char* name;
    FakeReply reply;
  } cases[] = {
      {"connection refused", {.openFails = true}},
      {"status 404", {.status = 404, .body = manifest}},
      {"status 500", {.status = 500, .body = manifest}},
      {"empty body", {.body = ""}},
      {"Content-Length beyond the buffer", {.body = manifest, .contentLength = "70000"}},
      {"more than the buffer without Content-Length", {.body = std::string(70000, ' '), .contentLength = "-"}},
      {"fewer bytes than Content-Length", {.body = manifest, .contentLength = std::to_string(manifest.size() + 10)}},
      {"read fails (server stalls)", {.body = manifest, .failReadAfter = 10}},
  };
  for (const auto& c : cases) {
    client->Serve(kCheckAddress, c.reply);
    updater->StartCheck(L"07-29-2009", L"11:17:39");
    EXPECT_EQ(recorder->WaitForResult(), L"CHECK_FAILED") << c.name;
    EXPECT_TRUE(updater->ManifestText().empty()) << c.name;
  }
  // A manifest of exactly the buffer's size still counts.
  client->Serve(kCheckAddress, {.body = manifest + std::string(kManifestCapacity - manifest.size(), ' '), .contentLength = "-"});
  updater->StartCheck(L"07-29-2009", L"11:17:39");
  EXPECT_EQ(recorder->WaitForResult(), L"CHECK_COMPLETED");
}

TEST_F(UpdaterFixture, ThreeFilesDownloadWithProgressIntoUpdatedFiles) {
  std::string a = Content(20000, 'a'), b = Content(8192, 'b'), c = Content(1, 'c');
  client->Serve(kCheckAddress, {.body = ManifestWith(FileEntry("Tessaly.exe", a.size(), "http://f/a") +
                                                     FileEntry("Updater.exe", b.size(), "http://f/b") +
                                                     FileEntry("LanguageFile.xml", c.size(), "http://f/c"))});
  client->Serve("http://f/a", {.body = a, .readLimit = 100000});
  client->Serve("http://f/b", {.body = b});
  client->Serve("http://f/c", {.body = c});
  ASSERT_EQ(CheckAndCompare(), 3u);
  uint64_t manifestBytes = recorder->ChunkBytes();  // the check's chunks are reported too

  EXPECT_EQ(Download(), L"DOWNLOAD_COMPLETED");
  EXPECT_EQ(recorder->FilesCompleted(), 3u);
  EXPECT_EQ(recorder->ChunkBytes() - manifestBytes, a.size() + b.size() + c.size());
  EXPECT_LE(recorder->LargestChunk(), kDownloadChunk) << "reads never exceed 8 KiB";
  EXPECT_EQ(FolderNames(Updated()), (std::vector<std::string>{"LanguageFile.xml", "Tessaly.exe", "Updater.exe"}));
  EXPECT_EQ(ReadBytes(Updated() / "Tessaly.exe"), a);
  EXPECT_EQ(ReadBytes(Updated() / "Updater.exe"), b);
  EXPECT_EQ(ReadBytes(Updated() / "LanguageFile.xml"), c);
}

TEST_F(UpdaterFixture, ServerSizeWinsOverTheManifest) {
  std::string a = Content(5000, 'x');
  client->Serve(kCheckAddress, {.body = ManifestWith(FileEntry("a.bin", 4000, "http://f/a"))});
  client->Serve("http://f/a", {.body = a});
  ASSERT_EQ(CheckAndCompare(), 1u);
  test::LogCapture log;
  EXPECT_EQ(Download(), L"DOWNLOAD_COMPLETED");
  EXPECT_EQ(ReadBytes(Updated() / "a.bin"), a);
  EXPECT_EQ(log.Count(L"DownloadAvailableFiles(): Updating Filesize from(4000) to (5000)\r\n"), 1u);
}

TEST_F(UpdaterFixture, IncompleteDownloadsLeaveTheTemporaryFileAndMoveNothing) {
  std::string a = Content(5000, 'x');
  struct Case {
    const char* name;
    FakeReply reply;
    size_t manifestSize;
  } cases[] = {
      {"server closes early", {.body = a.substr(0, 3000), .contentLength = "5000"}, 5000},
      {"no length, fewer bytes than the manifest", {.body = a.substr(0, 3000), .contentLength = "-"}, 5000},
      {"no length, more bytes than the manifest", {.body = a, .contentLength = "-"}, 4000},
      {"read fails midway", {.body = a, .failReadAfter = 3000}, 5000},
  };
  for (const auto& c : cases) {
    fs::remove_all(Updated());
    client->Serve(kCheckAddress, {.body = ManifestWith(FileEntry("a.bin", c.manifestSize, "http://f/a"))});
    client->Serve("http://f/a", c.reply);
    ASSERT_EQ(CheckAndCompare(), 1u) << c.name;
    EXPECT_EQ(Download(), L"DOWNLOAD_FAILED") << c.name;
    std::vector<std::string> names = FolderNames(Updated());
    ASSERT_EQ(names.size(), 1u) << c.name;
    EXPECT_TRUE(IsTemporaryDownloadName(std::wstring(names[0].begin(), names[0].end()))) << c.name << ": " << names[0];
  }
  EXPECT_EQ(recorder->FilesCompleted(), 0u);
}

TEST_F(UpdaterFixture, OneFailedFileDoesNotStopTheOthers) {
  std::string b = Content(100, 'b');
  client->Serve(kCheckAddress, {.body = ManifestWith(FileEntry("a.bin", 10, "http://f/missing") +
                                                     FileEntry("b.bin", b.size(), "http://f/b"))});
  client->Serve("http://f/b", {.body = b});
  ASSERT_EQ(CheckAndCompare(), 2u);
  EXPECT_EQ(Download(), L"DOWNLOAD_FAILED");
  EXPECT_EQ(recorder->FilesCompleted(), 1u);
  EXPECT_EQ(ReadBytes(Updated() / "b.bin"), b);
  EXPECT_FALSE(fs::exists(Updated() / "a.bin"));
}

TEST_F(UpdaterFixture, NamesThatLeaveUpdatedFilesAreRefused) {
  std::string good = "good";
  client->Serve(kCheckAddress,
                {.body = ManifestWith(FileEntry("..\\evil.txt", 4, "http://f/evil") + FileEntry("../evil.txt", 4, "http://f/evil") +
                                      FileEntry("C:evil.txt", 4, "http://f/evil") + FileEntry("NUL", 4, "http://f/evil") +
                                      FileEntry("good.txt:evil", 4, "http://f/evil") + FileEntry("..", 4, "http://f/evil") +
                                      FileEntry("good.txt", 4, "http://f/good"))});
  client->Serve("http://f/evil", {.body = "evil"});
  client->Serve("http://f/good", {.body = good});
  test::LogCapture log;
  ASSERT_EQ(CheckAndCompare(), 1u);
  EXPECT_EQ(log.CountContaining(L"UpdatesAvailable(): Refused file name("), 6u);
  EXPECT_EQ(Download(), L"DOWNLOAD_COMPLETED");
  for (const auto& request : client->Requests()) EXPECT_NE(request, "http://f/evil");
  EXPECT_EQ(FolderNames(Updated()), std::vector<std::string>{"good.txt"});
  EXPECT_EQ(FolderNames(tree.root()), std::vector<std::string>{"UpdatedFiles"});
}

TEST_F(UpdaterFixture, DigestDecidesWhetherAFileIsPutInPlace) {
  std::string a = Content(3000, 'a');
  std::wstring digest = DigestHex(Sha256::Of(a.data(), a.size()));
  std::string upper;
  for (wchar_t ch : digest) upper.push_back(static_cast<char>(std::toupper(static_cast<char>(ch))));
  std::string wrong = upper;
  wrong[0] = wrong[0] == '0' ? '1' : '0';
  client->Serve(kCheckAddress, {.body = ManifestWith(FileEntry("good.bin", a.size(), "http://f/a", " SHA256=\"" + upper + "\"") +
                                                     FileEntry("bad.bin", a.size(), "http://f/a", " SHA256=\"" + wrong + "\"") +
                                                     FileEntry("short.bin", a.size(), "http://f/a", " SHA256=\"abc\""))});
  client->Serve("http://f/a", {.body = a});
  ASSERT_EQ(CheckAndCompare(), 3u);
  EXPECT_EQ(Download(), L"DOWNLOAD_FAILED");
  EXPECT_EQ(FolderNames(Updated()), std::vector<std::string>{"good.bin"}) << "mismatching downloads are deleted";
  EXPECT_EQ(recorder->FilesCompleted(), 1u);
}

TEST_F(UpdaterFixture, CancelledTransfersFail) {
  std::string a = Content(100, 'a');
  client->Serve(kCheckAddress, {.body = ManifestWith(FileEntry("a.bin", a.size(), "http://f/a"))});
  client->Serve("http://f/a", {.body = a});
  ASSERT_EQ(CheckAndCompare(), 1u);
  updater->Cancel();
  EXPECT_EQ(Download(), L"DOWNLOAD_FAILED");
  EXPECT_FALSE(fs::exists(Updated() / "a.bin"));
  updater->StartCheck(L"Jul 29 2009", L"11:17:39");
  EXPECT_EQ(recorder->WaitForResult(), L"CHECK_FAILED");
}

TEST_F(UpdaterFixture, LaunchFailureIsReported) {
  test::LogCapture log;
  EXPECT_FALSE(updater->LaunchUpdater(L"Mutex", L"Tessaly.exe"));
  EXPECT_EQ(log.CountContaining(L"LaunchUpdater(): Failed to launch updater("), 1u);
}

}  // namespace
}  // namespace tessaly
