// Walks a tree with the scan worker and one subscriber that counts files; prints files/s and the
// peak resident memory. With --no-read-ahead the walk lists every folder itself.
#include "MvScan.h"
#include "ScanEvents.h"

#include <atomic>
#include "PeakMemory.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "TextConvert.h"

namespace {

std::atomic<uint64_t> files{0};

int32_t CountFile(void*, void*) {
  ++files;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool single = argc == 3 && std::string(argv[2]) == "--no-read-ahead";
  if (argc != 2 && !single) {
    std::fprintf(stderr, "usage: scan-walk FOLDER [--no-read-ahead]\n");
    return 1;
  }
  tessaly::MvScan scan;
  scan.keepTree = false;
  scan.readAhead = !single;
  scan.events.AddBinaryEventProc(tessaly::kNewFileFoundEvent, CountFile, nullptr);
  scan.AddRootFolder(tessaly::ScanFolder::MakeRoot(tessaly::NativeToWide(argv[1])));
  const auto start = std::chrono::steady_clock::now();
  scan.Start();
  scan.Join();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("files %llu\nseconds %.3f\nfiles_per_second %.0f\npeak_rss_kib %ld\n",
              static_cast<unsigned long long>(files.load()), seconds, files / seconds, tessaly::bench::PeakResidentKiB());
  return 0;
}
