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
#include "MvZXml.h"
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

// Why an input file cannot be used, in words; empty when it is a regular file.
std::wstring FileProblem(const std::wstring& path) {
  std::error_code error;
#ifdef _WIN32
  const std::filesystem::file_status status = std::filesystem::status(std::filesystem::path(path), error);
#else
  const std::filesystem::file_status status = std::filesystem::status(std::filesystem::path(WideToNative(path)), error);
#endif
  switch (status.type()) {
    case std::filesystem::file_type::regular: return {};
    case std::filesystem::file_type::not_found: return L"does not exist";
    case std::filesystem::file_type::directory: return L"is a folder, not a file";
    case std::filesystem::file_type::unknown:
    case std::filesystem::file_type::none: return L"cannot be examined";
    default: return L"is not a regular file (a FIFO, device or socket)";
  }
}

// "cannot read the configuration file X" with the reason when there is one to give.
int FailToRead(const wchar_t* what, const std::wstring& path) {
  const std::wstring problem = FileProblem(path);
  return Fail(std::wstring(L"cannot read the ") + what + L" " + path + (problem.empty() ? L"" : L": it " + problem));
}

// Line and column (from 1) of an offset in a document.
std::wstring Where(std::wstring_view document, size_t offset) {
  offset = std::min(offset, document.size());
  size_t line = 1, column = 1;
  for (size_t i = 0; i < offset; ++i) {
    if (document[i] == L'\n') {
      ++line;
      column = 1;
    } else {
      ++column;
    }
  }
  return FormatPrintf(L"line %d, column %d", static_cast<int>(line), static_cast<int>(column));
}

// Why a table loaded nothing from `document`: what the parser met and where, when it broke.
std::wstring XmlProblem(const MvZXml& parsed, std::wstring_view document) {
  if (parsed.Error().empty()) return L"it holds none of the expected elements";
  return L"it is not well-formed XML: " + parsed.Error() + L" at " + Where(document, parsed.ErrorOffset());
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
  const std::wstring wanted = filter.empty() ? L"all" : filter;
  for (const FilterChoice& choice : kFilterChoices) {
    if (wanted == choice.shortName) return GetString(false, choice.id, LanguageTable());
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
    if (!WriteOut(CliUsage()) || !FlushOut()) return Fail(L"cannot write the standard output");
    return 0;
  }

  // Language texts.
  const std::wstring languagePath = Beside(options.languagePath, L"LanguageResource.xml");
  auto languageBytes = FileProblem(languagePath).empty() ? ReadWholeFile(languagePath) : std::nullopt;
  if (!languageBytes) return FailToRead(L"language resource", languagePath);
  StringTable& language = LanguageTable();
  const std::wstring languageDocument = DecodeDocument(*languageBytes);
  LoadLanguageXMLData(language, languageDocument);
  if (language.languages.count == 0) {
    return Fail(L"no languages in the language resource " + languagePath + L": " +
                XmlProblem(language.document, languageDocument));
  }
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
  const auto configBytes = FileProblem(configPath).empty() ? ReadWholeFile(configPath) : std::nullopt;
  if (!configBytes) return FailToRead(L"configuration file", configPath);
  StringTable& configuration = ConfigurationTable();
  LoadConfigurationFile(configPath, configuration);
  if (!configuration.FindString(L"Neutral-SETTINGS_MUSICFILETYPES")) {
    return Fail(L"the configuration file " + configPath + L" holds no settings (a UTF-16 configuration document is "
                L"expected): " + XmlProblem(configuration.document, Utf16LeDocument(*configBytes)));
  }
  const ConfigLookup config = [&configuration](const std::wstring& key) {
    const wchar_t* value = configuration.FindString(L"Neutral-" + key);
    return value ? std::wstring(value) : std::wstring();
  };

  // Signatures.
  const std::wstring signaturePath = Beside(options.signaturesPath, L"PCBKDP.DAT");
  SignatureDatabase signatures;
  if (!FileProblem(signaturePath).empty() || !LoadArchive(signaturePath, signatures)) {
    return FailToRead(L"signature file", signaturePath);
  }
  if (signatures.signatures.count == 0) {
    // Scanning without a single signature would find no P2P program and look like a clean result.
    return Fail(L"the signature file " + signaturePath + L" holds no signatures (empty, cut off or not a signature file)");
  }

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
  MediaSettings media = LoadMediaSettings(config, store);
  if (options.extendedTypes) media.extendedTypes = true;
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
  // Wakes at the end at once; the interval only paces the progress line and the Ctrl-C check.
  while (!run.WaitFor(std::chrono::milliseconds(100))) {
    if (interrupted) run.Stop();
    if (progress) ShowProgress(run, start);
  }
  if (progress) WriteErr(L"\r\x1b[K");

  const bool lost = run.LostResults();
  const bool completed = !run.WasStopped() && !lost;
  const ScanReport report = BuildScanReport(run, &mappings);
  std::wstring summary = FormatSummary(run, report, text, options.listAll, StdoutIsTerminal());
  if (run.WasStopped()) summary += L"(" + text(L"IDS_STOPSCAN") + L")\n";
  const bool written = WriteOut(summary) && FlushOut();

  int status = lost ? 3 : completed ? 0 : 2;
  if (lost) {
    WriteErr(L"tessaly-scan: the scan is incomplete: some folders or files could not be handled (out of "
             L"memory or handles, or a failure while handling a file); see the debug log\n");
  }
  if (!written) status = Fail(L"cannot write the standard output");
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
