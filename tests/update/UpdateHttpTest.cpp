// The updater over WinINet against update_server.py on 127.0.0.1 (started by run_with_server.py,
// which passes its address in the environment).
#include "MvUpdater.h"

#include "LogCapture.h"
#include "Sha256.h"
#include "TempTree.h"
#include "TextConvert.h"
#include "UpdateProgress.h"
#include "UpdaterCommand.h"
#include "UpdaterRecorder.h"

#include "UpdateTestFiles.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tessaly {
namespace {

namespace fs = std::filesystem;
using test::Content;
using test::FolderNames;
using test::ReadBytes;
using test::WriteBytes;
using test::UpdaterRecorder;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

struct Entry {
  std::string fileName;
  std::string date = "07-30-2009";
  std::string time = "00:00:00";
  size_t size = 0;
  std::string path;  // below the server's base address
  std::string extra;
};

class UpdateHttp : public testing::Test {
 protected:
  void SetUp() override {
    base = Environment("TESSALY_TEST_HTTP_BASE");
    root = fs::path(Environment("TESSALY_TEST_HTTP_ROOT"));
    ASSERT_FALSE(base.empty()) << "run through run_with_server.py";
    static std::atomic<int> counter{0};
    caseFolder = "case-" + std::to_string(counter++);
    Make(base + caseFolder + "/update.xml");
  }

  void Make(const std::string& checkUrl) {
    recorder.reset();
    updater.reset();
    UpdaterOptions options;
    options.programFolder = program.RootText() + L"\\";
    options.http.timeoutMilliseconds = 2000;
    updater = std::make_unique<MvUpdater>(Utf8ToWide(checkUrl), options);
    recorder = std::make_unique<UpdaterRecorder>(*updater);
  }

  // Writes a file that the server serves below this case's folder; returns its address.
  std::string Serve(const std::string& name, const std::string& bytes) {
    WriteBytes(root / caseFolder / name, bytes);
    return base + caseFolder + "/" + name;
  }

  void Publish(const std::vector<Entry>& entries) {
    std::string files;
    for (const Entry& e : entries) {
      files += "<File Date=\"" + e.date + "\" Time=\"" + e.time + "\" Build=\"1.3.1.171\" FileName=\"" + e.fileName +
               "\" Size=\"" + std::to_string(e.size) + "\"" + e.extra + ">" + base + e.path + "</File>\r\n";
    }
    Serve("update.xml", "<?xml version=\"1.0\"?>\r\n<MorvaneSoftware><Tessaly><Updater>\r\n" + files +
                            "</Updater></Tessaly></MorvaneSoftware>\r\n");
  }

  size_t CheckAgainstBuildStamp() {
    updater->StartCheck(L"Jul 29 2009", L"11:17:39");
    EXPECT_EQ(recorder->WaitForResult(), L"CHECK_COMPLETED");
    return updater->UpdatesAvailable();
  }

  std::wstring Download() {
    updater->StartDownload();
    return recorder->WaitForResult();
  }

  fs::path Updated() const { return program.root() / "UpdatedFiles"; }

  std::string base;
  fs::path root;
  std::string caseFolder;
  test::TempTree program;
  std::unique_ptr<MvUpdater> updater;
  std::unique_ptr<UpdaterRecorder> recorder;
};

TEST_F(UpdateHttp, NoNewerFileAndTheCheckAddress) {
  Publish({{.fileName = "Tessaly.exe", .date = "07-29-2009", .time = "11:17:39", .size = 1, .path = "x"}});
  EXPECT_EQ(CheckAgainstBuildStamp(), 0u);
  std::string requests = ReadBytes(root / "requests.log");
  EXPECT_NE(requests.find("/" + caseFolder + "/update.xml?PV=1.3.1.170&NT=TRUE\n"), std::string::npos) << requests;
}

TEST_F(UpdateHttp, DatesOfBothFormsAndOddMonths) {
  Publish({
      {.fileName = "same.txt", .date = "07-29-2009", .time = "11:17:39", .size = 1, .path = "x"},
      {.fileName = "later.txt", .date = "07-29-2009", .time = "11:17:40", .size = 1, .path = "x"},
      {.fileName = "month13.txt", .date = "13-01-2009", .time = "00:00:00", .size = 1, .path = "x"},
      {.fileName = "month00.txt", .date = "00-01-2010", .time = "23:59:59", .size = 1, .path = "x"},
      {.fileName = "compiler.txt", .date = "Jul 29 2009", .time = "11:17:39", .size = 1, .path = "x"},
  });
  ASSERT_EQ(CheckAgainstBuildStamp(), 2u);
  std::vector<UpdateFile> files = updater->AvailableFiles();
  EXPECT_EQ(files[0].fileName, L"later.txt");
  EXPECT_EQ(files[1].fileName, L"month13.txt");
}

TEST_F(UpdateHttp, ThreeFilesDownloadWithProgressReaching1000) {
  std::string a = Content(150000, 'a'), b = Content(8192 * 3, 'b'), c = Content(77, 'c');
  Publish({{.fileName = "Tessaly.exe", .size = a.size(), .path = caseFolder + "/a"},
           {.fileName = "Updater.exe", .size = b.size(), .path = caseFolder + "/b"},
           {.fileName = "LanguageFile.xml", .size = c.size(), .path = caseFolder + "/c"}});
  Serve("a", a);
  Serve("b", b);
  Serve("c", c);
  ASSERT_EQ(CheckAgainstBuildStamp(), 3u);
  uint64_t expected = 0;
  for (const UpdateFile& file : updater->AvailableFiles()) expected += file.size;
  uint64_t before = recorder->ChunkBytes();

  EXPECT_EQ(Download(), L"DOWNLOAD_COMPLETED");
  EXPECT_EQ(ProgressPosition(recorder->ChunkBytes() - before, expected), 1000u);
  EXPECT_LE(recorder->LargestChunk(), kDownloadChunk);
  EXPECT_EQ(recorder->FilesCompleted(), 3u);
  EXPECT_EQ(ReadBytes(Updated() / "Tessaly.exe"), a);
  EXPECT_EQ(ReadBytes(Updated() / "Updater.exe"), b);
  EXPECT_EQ(ReadBytes(Updated() / "LanguageFile.xml"), c);
}

TEST_F(UpdateHttp, FaultyTransfersMoveNothing) {
  std::string a = Content(40000, 'a');
  Serve("a", a);
  struct Case {
    const char* name;
    std::string path;
    size_t manifestSize;
  } cases[] = {
      {"fewer bytes than Content-Length", "short/" + caseFolder + "/a", a.size()},
      {"more bytes than the manifest, no Content-Length", "nolength/" + caseFolder + "/a", a.size() - 1000},
      {"server stalls", "stall/" + caseFolder + "/a", a.size()},
      {"status 404", caseFolder + "/missing", a.size()},
  };
  for (const auto& c : cases) {
    fs::remove_all(Updated());
    Publish({{.fileName = "a.bin", .size = c.manifestSize, .path = c.path}});
    ASSERT_EQ(CheckAgainstBuildStamp(), 1u) << c.name;
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(Download(), L"DOWNLOAD_FAILED") << c.name;
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30)) << c.name;
    std::vector<std::string> names = FolderNames(Updated());
    ASSERT_EQ(names.size(), 1u) << c.name;
    EXPECT_TRUE(IsTemporaryDownloadName(Utf8ToWide(names[0]))) << c.name << ": " << names[0];
  }
  EXPECT_EQ(recorder->FilesCompleted(), 0u);
}

TEST_F(UpdateHttp, FailedChecks) {
  struct Case {
    const char* name;
    std::string url;
  } cases[] = {
      {"status 404", base + caseFolder + "/no-manifest.xml"},
      {"status 500", base + "status/500"},
      {"closed port", "http://127.0.0.1:" + Environment("TESSALY_TEST_CLOSED_PORT") + "/update.xml"},
      {"manifest larger than 64 KiB", base + caseFolder + "/big.xml"},
      {"server stalls", base + "stall/" + caseFolder + "/slow.xml"},
  };
  Serve("big.xml", std::string(70000, ' '));
  Serve("slow.xml", std::string(5000, ' '));
  for (const auto& c : cases) {
    Make(c.url);
    updater->StartCheck(L"Jul 29 2009", L"11:17:39");
    EXPECT_EQ(recorder->WaitForResult(), L"CHECK_FAILED") << c.name;
    EXPECT_EQ(updater->UpdatesAvailable(), 0u) << c.name;
  }
}

TEST_F(UpdateHttp, TraversalNamesAreRefused) {
  std::string path = caseFolder + "/evil";
  Serve("evil", "evil");
  Serve("good", "good");
  Publish({{.fileName = "..\\evil.txt", .size = 4, .path = path},
           {.fileName = "C:\\evil.txt", .size = 4, .path = path},
           {.fileName = "sub/evil.txt", .size = 4, .path = path},
           {.fileName = "CON", .size = 4, .path = path},
           {.fileName = "good.txt:evil", .size = 4, .path = path},
           {.fileName = "good.txt", .size = 4, .path = caseFolder + "/good"}});
  test::LogCapture log;
  ASSERT_EQ(CheckAgainstBuildStamp(), 1u);
  EXPECT_EQ(log.CountContaining(L"Refused file name("), 5u);
  EXPECT_EQ(Download(), L"DOWNLOAD_COMPLETED");
  EXPECT_EQ(FolderNames(program.root()), std::vector<std::string>{"UpdatedFiles"});
  EXPECT_EQ(FolderNames(Updated()), std::vector<std::string>{"good.txt"});
}

TEST_F(UpdateHttp, DigestMismatchDeletesTheDownload) {
  std::string a = Content(10000, 'a');
  std::string digest = WideToUtf8(DigestHex(Sha256::Of(a.data(), a.size())));
  std::string wrong = digest;
  wrong[5] = wrong[5] == 'f' ? '0' : 'f';
  Serve("a", a);
  Publish({{.fileName = "good.bin", .size = a.size(), .path = caseFolder + "/a", .extra = " SHA256=\"" + digest + "\""},
           {.fileName = "bad.bin", .size = a.size(), .path = caseFolder + "/a", .extra = " SHA256=\"" + wrong + "\""}});
  ASSERT_EQ(CheckAgainstBuildStamp(), 2u);
  EXPECT_EQ(Download(), L"DOWNLOAD_FAILED");
  EXPECT_EQ(FolderNames(Updated()), std::vector<std::string>{"good.bin"});
}

TEST_F(UpdateHttp, ReleaseMadeByTheReleaseToolIsAccepted) {
  Make(base + "release/update.xml");
  ASSERT_EQ(CheckAgainstBuildStamp(), 3u);
  for (const UpdateFile& file : updater->AvailableFiles()) EXPECT_EQ(file.sha256.size(), 64u) << WideToUtf8(file.fileName);
  EXPECT_EQ(Download(), L"DOWNLOAD_COMPLETED");
  for (const char* name : {"Tessaly.exe", "LanguageFile.xml", "Updater.exe"}) {
    EXPECT_EQ(ReadBytes(Updated() / name), ReadBytes(root / "release" / name)) << name;
  }
}

}  // namespace
}  // namespace tessaly
