// The full scan over a tree: the scan run with classification, archive listing, the P2P test
// against a signature file of N records and shared-folder matching. Prints files/s, peak memory
// and the number of kept results.
#include "FileRecognition.h"
#include "P2pSignature.h"
#include "ScanRun.h"
#include "SettingsStore.h"
#include "SharedFolderMappings.h"
#include "StringTable.h"
#include "TextConvert.h"

#include "PeakMemory.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>

int main(int argc, char** argv) {
  using namespace tessaly;
  if (argc < 3) {
    std::fprintf(stderr, "usage: scan-full TREE CONFIGURATION.xml [SIGNATURES=200]\n");
    return 1;
  }
  const int signatureCount = argc > 3 ? std::atoi(argv[3]) : 200;
  StringTable& configuration = ConfigurationTable();
  LoadConfigurationFile(NativeToWide(argv[2]), configuration);
  const ConfigLookup config = [&configuration](const std::wstring& key) {
    const wchar_t* value = configuration.FindString(L"Neutral-" + key);
    return value ? std::wstring(value) : std::wstring();
  };
  MemorySettingsStore store;
  const MediaSettings media = LoadMediaSettings(config, store);

  // Signatures of made-up programs, with sizes spread like executables'.
  SignatureDatabase signatures;
  std::mt19937 random(2009);
  for (int i = 0; i < signatureCount; ++i) {
    auto signature = std::make_unique<P2pSignature>();
    signature->fileSize = static_cast<int32_t>(20000 + random() % 5000000);
    signature->headSum = static_cast<int32_t>(random() % 100000);
    signature->middleSum = static_cast<int32_t>(random() % 100000);
    signature->headerSum = static_cast<int32_t>(random() % 100000);
    signature->name = L"Client " + std::to_wstring(i);
    signatures.Add(std::move(signature));
  }
  SharedFolderMappings mappings(config(L"SETTINGS_SHAREDFOLDERMAPPINGS"), config(L"SETTINGS_UNINSTALLERMAPPINGS"),
                                FinderContext{&store});
  MvLinkedList properties;
  ScanRun::Setup setup;
  setup.properties = &properties;
  setup.media = &media;
  setup.signatures = &signatures;
  setup.mappings = &mappings;
  setup.settings = &store;
  setup.text = [](const wchar_t* id) {
    return std::wstring(id) == L"IDS_SEARCHFORMUSICVIDEOSOFTWARE" ? std::wstring(L"all") : std::wstring(id);
  };
  ScanRun run(setup);
  const auto start = std::chrono::steady_clock::now();
  run.StartDiskScan(NativeToWide(argv[1]), L"all");
  run.Wait();
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const unsigned kept = run.P2pCount() + run.MusicCount() + run.VideoCount() + run.ImageCount();
  std::printf("files %u\nseconds %.3f\nfiles_per_second %.0f\nkept_results %u\ncontent_checked %u\npeak_rss_kib %ld\n",
              run.FilesChecked(), seconds, run.FilesChecked() / seconds, kept, run.FilesBinaryChecked(),
              tessaly::bench::PeakResidentKiB());
  return 0;
}
