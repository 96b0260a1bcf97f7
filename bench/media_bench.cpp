// Media benchmark: the scan worker bare and with the full classification subscribed, and the ZIP
// and RAR listings against bare loops over the same archives (best of several, warm cache).
//   media-bench TREE [rar|walk]   (as made by make_media_tree.py: TREE/files, TREE/zips, TREE/rars)
// With "rar" only the RAR listing runs, with "walk" only the classified walk, repeatedly: profile
// targets.
#include "ArchiveListing.h"
#include "FileRecognition.h"
#include "MappedFile.h"
#include "MvScan.h"
#include "RarBlockList.h"
#include "ScanEvents.h"
#include "TextConvert.h"

#include <unzip.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {
namespace fs = std::filesystem;
using namespace tessaly;

struct Counters {
  uint64_t files = 0;
  uint64_t examined = 0;
  uint64_t media = 0;
  uint64_t members = 0;
};

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double BestRate(uint64_t& count, const std::function<void()>& work, int runs = 3) {
  double best = 0;
  for (int i = 0; i < runs; ++i) {
    count = 0;
    const double s = Seconds(work);
    best = std::max(best, count / s);
  }
  return best;
}

MediaSettings BenchSettings() {
  MediaSettings settings;
  settings.soundExtensions = ParseExtensionList(L".mp3;.wma;.ogg;.wav");
  settings.videoExtensions = ParseExtensionList(L".avi;.mpg;.wmv;.mkv");
  settings.imageExtensions = ParseExtensionList(L".jpg;.gif;.bmp");
  settings.minSoundSize = 1;
  settings.maxSoundSize = 20;
  settings.minVideoSize = 5;
  settings.maxVideoSize = 700;
  return settings;
}

void Walk(const std::string& root, Counters& counters, bool classify) {
  static const MediaSettings settings = BenchSettings();
  MvScan scan;
  scan.keepTree = false;
  struct Context {
    Counters* counters;
    bool classify;
    MvScan* scan;
  } context{&counters, classify, &scan};
  scan.events.AddBinaryEventProc(kNewFileFoundEvent, [](void* d, void* c) {
    auto* ctx = static_cast<Context*>(c);
    auto* file = static_cast<ScanFile*>(d);
    ++ctx->counters->files;
    if (!ctx->classify) return 0;
    const Classification result = ClassifyFile(file->name, file->size, settings, {}, [&](uint8_t* buffer, size_t n) {
      return file->OpenReader() ? file->Read(buffer, n) : size_t{0};
    });
    ctx->counters->examined += result.contentExamined;
    ctx->counters->media += result.category != MediaCategory::None;
    ListArchive(*ctx->scan, *file, result.archive);
    return 0;
  }, &context);
  scan.AddRootFolder(ScanFolder::MakeRoot(NativeToWide(root)));
  scan.Start();
  scan.Join();
}

std::vector<std::string> FilesOf(const std::string& folder, const char* ext) {
  std::vector<std::string> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == ext) files.push_back(entry.path().string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// What any listing must do at least: open, walk the central directory, read each entry.
uint64_t BareZipLoop(const std::vector<std::string>& zips) {
  uint64_t members = 0;
  for (const std::string& path : zips) {
    unzFile zip = unzOpen64(path.c_str());
    if (!zip) continue;
    for (int r = unzGoToFirstFile(zip); r == UNZ_OK; r = unzGoToNextFile(zip)) {
      unz_file_info64 info;
      char name[256];
      if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) == UNZ_OK) ++members;
    }
    unzClose(zip);
  }
  return members;
}

// The bare block walk: marker, main header, then header sizes and packed sizes to the end.
uint64_t BareRarLoop(const std::vector<std::string>& rars) {
  uint64_t members = 0;
  for (const std::string& path : rars) {
    const MappedFile mapped = MappedFile::Open(NativeToWide(path));
    if (mapped.status() != MappedFile::Status::Ok || mapped.size() < 20) continue;
    const uint8_t* p = mapped.data();
    uint64_t cursor = 7 + (p[12] | (p[13] << 8));
    while (cursor + 32 <= mapped.size()) {
      const uint8_t* b = p + cursor;
      const uint32_t headerSize = b[5] | (b[6] << 8);
      uint32_t packed = 0;
      std::memcpy(&packed, b + 7, 4);
      if (headerSize < 7) break;
      if (b[2] == 0x74) ++members;
      cursor += headerSize + ((b[3] | (b[4] << 8)) & 0x8000 ? packed : 0);
    }
  }
  return members;
}

uint64_t Vint(const uint8_t* p, uint64_t size, uint64_t& cursor) {
  uint64_t value = 0;
  for (int shift = 0; cursor < size && shift < 64; shift += 7) {
    const uint8_t byte = p[cursor++];
    value |= static_cast<uint64_t>(byte & 0x7F) << shift;
    if (!(byte & 0x80)) break;
  }
  return value;
}

// The bare RAR 5 header walk: sizes, types and data sizes only, no CRC.
uint64_t BareRar5Loop(const std::vector<std::string>& rars) {
  uint64_t members = 0;
  for (const std::string& path : rars) {
    const MappedFile mapped = MappedFile::Open(NativeToWide(path));
    if (mapped.status() != MappedFile::Status::Ok || mapped.size() < 12) continue;
    const uint8_t* p = mapped.data();
    const uint64_t size = mapped.size();
    uint64_t cursor = 8;
    while (cursor + 7 <= size) {
      cursor += 4;
      const uint64_t headerSize = Vint(p, size, cursor);
      const uint64_t header = cursor;
      const uint64_t type = Vint(p, size, cursor);
      const uint64_t flags = Vint(p, size, cursor);
      if (flags & 1) Vint(p, size, cursor);
      const uint64_t data = (flags & 2) ? Vint(p, size, cursor) : 0;
      if (type == 5 || headerSize == 0) break;
      if (type == 2) ++members;
      cursor = header + headerSize + data;
    }
  }
  return members;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: media-bench TREE [rar|walk]\n");
    return 1;
  }
  const std::string tree = argv[1];
  const std::string files = tree + "/files";
  Counters c;
  uint64_t n = 0;

  const auto zips = FilesOf(tree + "/zips", ".zip");
  const auto rars = FilesOf(tree + "/rars", ".rar");
  const auto rar5s = FilesOf(tree + "/rar5s", ".rar");
  auto listAll = [&](const std::vector<std::string>& archives, bool rar) {
    MvScan scan;
    scan.keepTree = false;
    scan.events.AddBinaryEventProc(kNewFileFoundEvent, [](void*, void* c) {
      ++*static_cast<uint64_t*>(c);
      return 0;
    }, &n);
    auto folder = ScanFolder::MakeRoot(NativeToWide(tree));
    for (const std::string& path : archives) {
      if (rar) {
        MvScan::ScanRarFile(NativeToWide(path), scan, folder);
      } else {
        ListZipArchive(scan, folder, NativeToWide(path));
      }
    }
  };

  if (argc == 3 && std::strcmp(argv[2], "rar") == 0) {
    const double s = Seconds([&] {
      for (int i = 0; i < 200; ++i) listAll(rars, true);
    });
    std::printf("rar_listing_members_per_second %.0f\n", n / s);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[2], "walk") == 0) {
    for (int i = 0; i < 10; ++i) Walk(files, c, true);
    std::printf("classified_files %llu\n", (unsigned long long)c.files);
    return 0;
  }
  Walk(files, c, true);  // warm the cache
  // Bare and classified walks alternate, so a slow spell of the machine hits both alike.
  double bare = 0;
  double full = 0;
  Counters classified;
  for (int i = 0; i < 7; ++i) {
    bare = std::max(bare, BestRate(n, [&] { Counters k; Walk(files, k, false); n = k.files; }, 1));
    full = std::max(full, BestRate(n, [&] { classified = {}; Walk(files, classified, true); n = classified.files; }, 1));
  }
  std::printf("walk_files %llu\nwalk_examined %llu\nwalk_media %llu\n", (unsigned long long)classified.files,
              (unsigned long long)classified.examined, (unsigned long long)classified.media);
  std::printf("bare_walk_files_per_second %.0f\nclassified_files_per_second %.0f\nclassification_overhead %.3f\n",
              bare, full, bare / full - 1.0);

  // One pass over the archives takes milliseconds: best of many, so the figures do not depend on
  // one unlucky pass.
  constexpr int kArchiveRuns = 25;
  const double zipListing = BestRate(n, [&] { listAll(zips, false); }, kArchiveRuns);
  const double zipBare = BestRate(n, [&] { n = BareZipLoop(zips); }, kArchiveRuns);
  std::printf("zip_members %llu\nzip_listing_members_per_second %.0f\nzip_bare_loop_members_per_second %.0f\n",
              (unsigned long long)n, zipListing, zipBare);
  const double rarListing = BestRate(n, [&] { listAll(rars, true); }, kArchiveRuns);
  const double rarBare = BestRate(n, [&] { n = BareRarLoop(rars); }, kArchiveRuns);
  std::printf("rar_members %llu\nrar_listing_members_per_second %.0f\nrar_bare_loop_members_per_second %.0f\n",
              (unsigned long long)n, rarListing, rarBare);
  const double rar5Listing = BestRate(n, [&] { listAll(rar5s, true); }, kArchiveRuns);
  const double rar5Bare = BestRate(n, [&] { n = BareRar5Loop(rar5s); }, kArchiveRuns);
  std::printf("rar5_members %llu\nrar5_listing_members_per_second %.0f\nrar5_bare_loop_members_per_second %.0f\n",
              (unsigned long long)n, rar5Listing, rar5Bare);
  return 0;
}
