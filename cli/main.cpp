// tessaly-scan: the whole scan from the command line. Finds P2P programs, the folders they share
// and the music, video and images inside and outside those folders; prints a summary in the
// chosen language and writes the scan log and a JSON result file on request.
#include "CliOptions.h"
#include "FileBytes.h"
#include "Console.h"
#include "FileRecognition.h"
#include "MvDiskScan.h"
#include "Paths.h"
#include "ScanLog.h"
#include "ScanReport.h"
#include "ScanRun.h"
#include "SettingsStore.h"
#include "StringTable.h"
#include "SystemInfo.h"
#include "TextConvert.h"
#include "Utf16Text.h"
#include "TextFile.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace tessaly {
namespace {

std::atomic<bool> interrupted{false};
void OnInterrupt() { interrupted = true; }

int Fail(const std::wstring& message) {
  WriteErr(L"tessaly-scan: " + message + L"\n");
  return 1;
}

std::wstring Beside(const std::wstring& given, const wchar_t* fileName) {
  return given.empty() ? std::wstring(ModuleFolder()) + fileName : given;
}

// The language resource is UTF-16 (with or without byte-order mark) or UTF-8.
std::wstring DecodeDocument(const std::string& bytes) {
  const ByteOrderMark mark = SniffByteOrderMark(bytes);
  const std::string_view text = std::string_view(bytes).substr(ByteOrderMarkLength(mark));
  if (mark == ByteOrderMark::Utf16Le) return Utf16LeBytesToWide(text);
  if (bytes.size() >= 2 && bytes[0] == '<' && bytes[1] == '\0') return Utf16LeBytesToWide(bytes);
  if (mark == ByteOrderMark::Utf8) return Utf8ToWide(text);
  return Utf8ToWide(bytes);
}

std::wstring FilterText(const std::wstring& filter) {
  struct Short {
    const wchar_t* name;
    const wchar_t* id;
  } names[] = {
      {L"all", L"IDS_SEARCHFORMUSICVIDEOSOFTWARE"}, {L"media", L"IDS_SEARCHFORMUSICVIDEOFILES"},
      {L"software", L"IDS_SEARCHFORFILESHARINGSOFTWARE"}, {L"images", L"IDS_SEARCHFORIMAGEFILES"},
      {L"video", L"IDS_SEARCHFORVIDEOFILES"}, {L"music", L"IDS_SEARCHFORMUSICFILES"},
  };
  const std::wstring wanted = filter.empty() ? L"all" : filter;
  for (const Short& s : names) {
    if (wanted == s.name) return GetString(false, s.id, LanguageTable());
  }
  return filter;
}

// A search path as the walk wants it: absolute, without trailing separators (a root keeps its own).
std::optional<std::wstring> NormalisePath(const std::wstring& given, std::wstring& problem) {
  std::error_code error;
#ifdef _WIN32
  std::filesystem::path path(given);
#else
  std::filesystem::path path(WideToNative(given));
#endif
  path = std::filesystem::absolute(path, error);
  if (error || !std::filesystem::is_directory(path, error)) {
    problem = L"not a folder: " + given;
    return std::nullopt;
  }
#ifdef _WIN32
  std::wstring text = path.lexically_normal().wstring();
#else
  std::wstring text = NativeToWide(path.lexically_normal().string());
#endif
  while (text.size() > 1 && text.back() == kPathSeparator && !(text.size() == 3 && text[1] == L':')) text.pop_back();
  return text;
}

std::wstring Elapsed(std::chrono::steady_clock::time_point start) {
  auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
  return FormatPrintf(L"%02d:%02d", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
}

void ShowProgress(ScanRun& run, std::chrono::steady_clock::time_point start) {
  std::wstring line = FormatPrintf(L"%u files | P2P %u | music %u | video %u | images %u | %s | ",
                                   run.FilesChecked(), run.P2pCount(), run.MusicCount(), run.VideoCount(),
                                   run.ImageCount(), Elapsed(start));
  std::wstring path = run.CurrentPath();
  constexpr size_t kWidth = 110;
  if (line.size() + path.size() > kWidth) {
    size_t keep = kWidth > line.size() + 3 ? kWidth - line.size() - 3 : 0;
    path = L"..." + path.substr(path.size() - std::min(path.size(), keep));
  }
  WriteErr(L"\r" + line + path + L"\x1b[K");
}

int Run(const std::vector<std::wstring>& args) {
  std::wstring problem;
  auto parsed = ParseCliOptions(args, problem);
  if (!parsed) return Fail(problem);
  const CliOptions& options = *parsed;
  if (options.help) {
    WriteOut(CliUsage());
    return 0;
  }

  // Language texts.
  const std::wstring languagePath = Beside(options.languagePath, L"LanguageResource.xml");
  auto languageBytes = ReadWholeFile(languagePath);
  if (!languageBytes) return Fail(L"cannot read the language resource " + languagePath);
  StringTable& language = LanguageTable();
  LoadLanguageXMLData(language, DecodeDocument(*languageBytes));
  if (language.languages.count == 0) return Fail(L"no languages in the language resource " + languagePath);
  LanguageRecord* chosen = language.FindLanguage(options.languageCode);
  if (!chosen) {
    std::wstring codes;
    for (const MvListEntry& e : language.languages) codes += L" " + std::wstring(e.Name());
    return Fail(L"unknown language " + options.languageCode + L" (the resource has:" + codes + L")");
  }
  SelectLanguage(language, chosen->name.c_str());
  const TextLookup text = [&language](const wchar_t* id) { return std::wstring(GetString(false, id, language)); };

  // Configuration.
  const std::wstring configPath = Beside(options.configPath, L"ConfigurationFile.xml");
  if (!ReadWholeFile(configPath)) return Fail(L"cannot read the configuration file " + configPath);
  StringTable& configuration = ConfigurationTable();
  LoadConfigurationFile(configPath, configuration);
  if (!configuration.FindString(L"Neutral-SETTINGS_MUSICFILETYPES")) {
    return Fail(L"the configuration file " + configPath + L" holds no settings (not a UTF-16 configuration document?)");
  }
  const ConfigLookup config = [&configuration](const std::wstring& key) {
    const wchar_t* value = configuration.FindString(L"Neutral-" + key);
    return value ? std::wstring(value) : std::wstring();
  };

  // Signatures.
  const std::wstring signaturePath = Beside(options.signaturesPath, L"PCBKDP.DAT");
  SignatureDatabase signatures;
  if (!LoadArchive(signaturePath, signatures)) return Fail(L"cannot read the signature file " + signaturePath);

  // Where to look.
  std::vector<std::wstring> searchPaths;
  for (const std::wstring& given : options.paths) {
    auto path = NormalisePath(given, problem);
    if (!path) return Fail(problem);
    searchPaths.push_back(*path);
  }
  VolumeSet computer;
  MvDiskScan volumeScan;
  if (searchPaths.empty()) {
    StartEnumeration(computer, volumeScan);
    volumeScan.Join();
    searchPaths.push_back(text(L"IDS_ALLLOCALDRIVES"));
  }

  SettingsStore& store = SystemSettingsStore();
  const MediaSettings media = LoadMediaSettings(config, store);
  SharedFolderMappings mappings(config(L"SETTINGS_SHAREDFOLDERMAPPINGS"), config(L"SETTINGS_UNINSTALLERMAPPINGS"),
                                FinderContext{&store});
  MvLinkedList properties;
  ScanRun::Setup setup;
  setup.properties = &properties;
  setup.computer = &computer;
  setup.media = &media;
  setup.signatures = &signatures;
  setup.mappings = &mappings;
  setup.settings = &store;
  setup.text = text;
  setup.sizeText = [](uint64_t size) { return std::wstring(FormatByteSize(static_cast<double>(size))); };
  ScanRun run(setup);

  InstallInterruptHandler(OnInterrupt);
  const bool progress = StderrIsTerminal();
  const auto start = std::chrono::steady_clock::now();
  const std::wstring filter = FilterText(options.filter);
  run.StartDiskScan(searchPaths, filter);
  while (run.IsRunning()) {
    if (interrupted) run.Stop();
    if (progress) ShowProgress(run, start);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  run.Wait();
  if (progress) WriteErr(L"\r\x1b[K");

  const bool completed = !run.WasStopped();
  const ScanReport report = BuildScanReport(run, &mappings);
  std::wstring summary = FormatSummary(run, report, text, options.listAll);
  if (!completed) summary += L"(" + text(L"IDS_STOPSCAN") + L")\n";
  WriteOut(summary);
  std::fflush(stdout);

  int status = completed ? 0 : 2;
  if (!options.logPath.empty()) {
    ScanLogTexts logTexts{text(L"IDS_MUSICFILES"), text(L"IDS_VIDEOFILES"), text(L"IDS_P2PAPPLICATIONS")};
    if (!WriteScanLog(options.logPath, properties, logTexts)) status = Fail(L"cannot write the scan log " + options.logPath);
  }
  if (!options.jsonPath.empty()) {
    if (!WriteWholeFile(options.jsonPath, FormatJson(run, report, searchPaths, filter, completed))) {
      status = Fail(L"cannot write the result file " + options.jsonPath);
    }
  }
  return status;
}

}  // namespace
}  // namespace tessaly

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args(argv + 1, argv + argc);
  return tessaly::Run(args);
}
#else
int main(int argc, char** argv) {
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(tessaly::NativeToWide(argv[i]));
  return tessaly::Run(args);
}
#endif
