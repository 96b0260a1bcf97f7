// The per-file cost of the P2P test with a signature file of 200 records: the size pre-test that
// every found file pays, and the full match that a file of a listed size pays (head and middle
// reads). Prints nanoseconds per file, best of three.
//
// usage: signature-bench [SCRATCH_DIR]
#include "P2pSignature.h"
#include "ScanRecords.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <vector>

using namespace tessaly;
namespace fs = std::filesystem;

namespace {

template <typename Body>
double BestNanosPer(size_t count, Body body) {
  double best = 1e300;
  for (int round = 0; round < 3; ++round) {
    const auto start = std::chrono::steady_clock::now();
    body();
    const std::chrono::duration<double, std::nano> spent = std::chrono::steady_clock::now() - start;
    best = std::min(best, spent.count() / static_cast<double>(count));
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path scratch = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path() / "tessaly-signature-bench";
  fs::create_directories(scratch);
  std::mt19937 random(42);

  // 200 signatures of sizes between 100 KB and 20 MB; the last one is of a real file below.
  SignatureDatabase database;
  for (int i = 0; i < 199; ++i) {
    database.Add(std::make_unique<P2pSignature>(P2pSignature{
        static_cast<int32_t>(100000 + random() % 20000000), 1, 2, 3, 4, L"Client"}));
  }
  const fs::path exe = scratch / "client.exe";
  {
    std::vector<char> bytes(300000);
    for (auto& b : bytes) b = static_cast<char>(random());
    bytes[0] = 'M';
    bytes[1] = 'Z';
    std::ofstream(exe, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  FileHandle handle = FileHandle::OpenForRead(exe.wstring());
  const SignatureSums sums = *ComputeSignatureSums(handle, 300000);
  handle.Close();
  database.Add(std::make_unique<P2pSignature>(P2pSignature{300000, sums.headSum, sums.middleSum, sums.headerSum, 4,
                                                           L"Real"}));

  // The pre-test over a million file sizes, as the scan sees them.
  std::vector<uint64_t> sizes(1000000);
  for (auto& size : sizes) size = random() % 50000000;
  size_t candidates = 0;
  const double preTest = BestNanosPer(sizes.size(), [&] {
    candidates = 0;
    for (uint64_t size : sizes) candidates += database.HasSizeLow32(size) ? 1 : 0;
  });

  // The full match of a file whose size is listed.
  auto folder = ScanFolder::MakeRoot(scratch.wstring());
  ScanFile file;
  file.folder = folder.get();
  file.name = L"client.exe";
  file.size = 300000;
  constexpr size_t kMatches = 2000;
  size_t matched = 0;
  const double match = BestNanosPer(kMatches, [&] {
    matched = 0;
    for (size_t i = 0; i < kMatches; ++i) matched += MatchSignature(file, database) ? 1 : 0;
  });

  std::printf("signatures: %u\n", database.signatures.count);
  std::printf("size pre-test: %.1f ns per file (%zu candidates in %zu sizes)\n", preTest, candidates, sizes.size());
  std::printf("full match of a listed size: %.0f ns per file (%zu of %zu matched)\n", match, matched, kMatches);
  fs::remove(exe);
  return matched == kMatches ? 0 : 1;
}
