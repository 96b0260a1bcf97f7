// The finder table and the finders that read text settings and registry values. Paths in the
// program folder are written with backslashes and turned into the platform's separators.
#include "P2pFinders.h"

#include "DebugLog.h"
#include "FileHandle.h"
#include "IniFile.h"
#include "FileBytes.h"
#include "P2pText.h"
#include "TextConvert.h"

#include <new>

namespace tessaly {
namespace {

// Settings files of P2P clients are a few kilobytes; a larger file is not read.
constexpr uint64_t kLargestSettingsFile = 16u << 20;
constexpr uint64_t kLargestLimewireProps = 1u << 20;

void AddFolder(std::wstring& list, const std::wstring& folder) {
  if (folder.empty()) return;
  list += folder;
  list += L';';
}

std::optional<std::vector<std::wstring>> ReadAnsiLines(const std::wstring& path) {
  auto bytes = ReadWholeFile(path, kLargestSettingsFile);
  if (!bytes) return {};
  std::vector<std::wstring> lines;
  for (const auto& line : SplitAnsiLines(*bytes)) lines.push_back(AnsiToWide(line));
  return lines;
}

// The text after the first "=", up to the first CR or LF.
std::wstring AfterEquals(const std::wstring& line) {
  const size_t equals = line.find(L'=');
  if (equals == std::wstring::npos) return {};
  std::wstring value = line.substr(equals + 1);
  return value.substr(0, value.find_first_of(L"\r\n"));
}

// A key is skipped when it equals skipPrefix or a leading part of it, ignoring case.
bool IsLeadingPartOf(const std::wstring& key, const std::wstring& prefix) {
  return key.size() <= prefix.size() && StartsWithNoCase(prefix, key);
}

void AddIniValue(std::wstring& list, const std::wstring& raw, const std::wstring& cut) {
  std::wstring value = ToLower(raw);
  if (!cut.empty()) value = value.substr(0, value.find(cut));
  DropTrailingBackslash(value);
  AddFolder(list, value);
}

std::wstring ExpandedPath(const FinderContext& context, const wchar_t* text) {
  return LocalPath(context.environment->Expand(text));
}

// The finders that read an INI section share one shape; their failure texts name them.
std::wstring IniSectionFinder(const std::wstring& path, const wchar_t* section, const wchar_t* skipPrefix,
                              const wchar_t* cut, const wchar_t* failure) {
  try {
    return ListOrEmpty(ReadIniSection(path, section, skipPrefix, cut));
  } catch (const std::bad_alloc&) {
    return failure;
  }
}

}  // namespace

// --- Common readers -----------------------------------------------------------------------------

std::wstring ReadLineList(const std::wstring& path) {
  DebugPrint(L"Found SharedSettingsFileName: %s\r\n", path);
  auto bytes = ReadWholeFile(path, kLargestSettingsFile);
  if (!bytes) return {};
  const std::wstring text = DecodeSettingsText(*bytes);
  const std::wstring separator = text.find(L"\r\n") != std::wstring::npos ? L"\r\n" : L"\n";
  std::wstring list;
  for (size_t start = 0; start <= text.size();) {
    size_t end = text.find(separator, start);
    if (end == std::wstring::npos) end = text.size();
    AddFolder(list, text.substr(start, end - start));
    start = end + separator.size();
  }
  DebugPrint(L"Found SharedSettings value: %s\r\n", list);
  return list;
}

std::wstring ReadLocalContent(const FinderContext& context, const std::wstring& keyPath) {
  std::wstring list;
  for (const auto& [name, value] : Settings(*context.settings).ClientValues(keyPath.c_str())) {
    if (value.type != SettingsType::String) continue;
    // The client reads names into 255 characters and data into 255 bytes; a value that does not
    // fit is not one the client wrote for this list.
    if (name.size() >= 255 || (value.text.size() + 1) * 2 > 255) continue;
    if (name.size() <= 3) continue;
    if (EqualsNoCase(name, L"DownloadDir")) {
      AddFolder(list, value.text);
    } else if (StartsWithNoCase(name, L"dir") && value.text.size() > 7) {
      // The first seven characters are a prefix of the client's own ("012345:").
      std::wstring folder = value.text.substr(7);
      DropTrailingBackslash(folder);
      AddFolder(list, folder);
    }
  }
  return list;
}

std::wstring ReadIniSection(const std::wstring& path, const std::wstring& section, const std::wstring& skipPrefix,
                            const std::wstring& cut) {
  std::wstring list;
  for (const auto& key : IniSectionKeys(path, section)) {
    if (IsLeadingPartOf(key, skipPrefix)) continue;
    AddIniValue(list, IniValue(path, section, key), cut);
  }
  return list;
}

// --- Registry finders ---------------------------------------------------------------------------

std::wstring FindKazaa_3_0(const FinderContext& context, const std::wstring&, const std::wstring&) {
  return ReadLocalContent(context, kKazaaLocalContentKey) +
         context.environment->Expand(L";%PROGRAMFILES%\\Kazaa\\My Shared Folder");
}

std::wstring Grokster_2_6(const FinderContext& context, const std::wstring&, const std::wstring&) {
  return ReadLocalContent(context, kGroksterLocalContentKey);
}

std::wstring FindImesh(const FinderContext& context, const std::wstring&, const std::wstring&) {
  return ReadLocalContent(context, kImeshLocalContentKey);
}

std::wstring FindImesh5(const FinderContext& context, const std::wstring&, const std::wstring&) {
  return ReadLocalContent(context, kImesh5LocalContentKey) + L";" +
         ReadLocalContent(context, kImeshGeneralKey) + L";";
}

// --- Line scans of settings files ---------------------------------------------------------------

std::wstring FindManolito(const FinderContext&, const std::wstring& folder, const std::wstring&) {
  try {
    std::wstring list;
    for (const auto& line : ReadAnsiLines(ProgramPath(folder, L"Settings.ini")).value_or(std::vector<std::wstring>{})) {
      if (line.size() >= 11 && StartsWithNoCase(line, L"Folder") && line[6] == L'0') {
        AddFolder(list, AfterEquals(line));
      } else if (line.size() > 17 && StartsWith(line, L"DownloadFolder")) {
        AddFolder(list, AfterEquals(line));
      }
    }
    return ListOrEmpty(list);
  } catch (const std::bad_alloc&) {
    return L"{FindManolito Failed: 1}";
  }
}

std::wstring FindGnucleus(const FinderContext&, const std::wstring& folder, const std::wstring&) {
  try {
    std::wstring list;
    for (const auto& line : ReadAnsiLines(ProgramPath(folder, L"GnuConfig.ini")).value_or(std::vector<std::wstring>{})) {
      if (line.size() > 6 && StartsWithNoCase(line, L"Dir") && line[3] == L'0') AddFolder(list, AfterEquals(line));
    }
    return ListOrEmpty(list);
  } catch (const std::bad_alloc&) {
    return L"{FindGnucleus Failed: 1}";
  }
}

std::wstring FindMorpheus(const FinderContext&, const std::wstring& folder, const std::wstring&) {
  auto bytes = ReadWholeFile(ProgramPath(folder, L"MorphConfig.ini"), kLargestSettingsFile);
  if (!bytes) return {};
  const std::wstring text = AnsiToWide(*bytes);
  std::wstring list;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find_first_of(L"\r\n", start);
    if (end == std::wstring::npos) end = text.size();
    const std::wstring line = text.substr(start, end - start);
    start = end + 1;
    for (const wchar_t* key : {L"DownloadPath=", L"ReplyFilePath="}) {
      const std::wstring_view name(key);
      if (!StartsWithNoCase(line, name)) continue;
      const std::wstring value = line.substr(name.size());
      if (value.size() > 3) AddFolder(list, value);
    }
  }
  return ListOrEmpty(list);
}

// --- XML settings ---------------------------------------------------------------------------------

std::wstring FindDCPlusPlus_0_4_0_3_4(const FinderContext&, const std::wstring& folder, const std::wstring&) {
  auto bytes = ReadWholeFile(ProgramPath(folder, L"dcplusplus.xml"), kLargestSettingsFile);
  if (!bytes) return {};
  const std::wstring text = DecodeSettingsText(*bytes);
  std::wstring list;
  for (const wchar_t* element : {L"DownloadDirectory", L"Directory", L"TempDownloadDirectory"}) {
    const size_t open = text.find(std::wstring(L"<") + element);
    if (open == std::wstring::npos) continue;
    const size_t contentStart = text.find(L'>', open);
    if (contentStart == std::wstring::npos) continue;
    const size_t close = text.find(std::wstring(L"</") + element, contentStart);
    if (close == std::wstring::npos) continue;
    AddFolder(list, text.substr(contentStart + 1, close - contentStart - 1));
  }
  return ListOrEmpty(list);
}

std::wstring FindStrongDC(const FinderContext&, const std::wstring& folder, const std::wstring&) {
  auto bytes = ReadWholeFile(ProgramPath(folder, L"settings\\dcplusplus.xml"), kLargestSettingsFile);
  if (!bytes) return {};
  // The client's reader takes lines of up to 2047 characters; a longer line arrives in pieces.
  constexpr size_t kLinePiece = 2047;
  std::vector<std::wstring> lines;
  for (const auto& whole : SplitAnsiLines(*bytes)) {
    const std::wstring wide = AnsiToWide(whole);
    size_t piece = 0;
    do {
      lines.push_back(ToLower(wide.substr(piece, kLinePiece)));
      piece += kLinePiece;
    } while (piece < wide.size());
  }
  std::wstring list;
  bool inShare = false;
  for (const auto& line : lines) {
    if (!inShare) {
      inShare = line.find(L"<share>") != std::wstring::npos;
      continue;
    }
    if (line.find(L"</share>") != std::wstring::npos) break;
    const size_t close = line.find(L"</directory>");
    if (close == std::wstring::npos || close == 0) continue;
    const size_t contentStart = line.rfind(L'>', close - 1);
    if (contentStart == std::wstring::npos) continue;
    std::wstring value = line.substr(contentStart + 1, close - contentStart - 1);
    DropTrailingBackslash(value);
    AddFolder(list, value);
  }
  return ListOrEmpty(list);
}

// --- Line lists -----------------------------------------------------------------------------------

std::wstring FindEmule(const FinderContext&, const std::wstring& folder, const std::wstring&) {
  return ReadLineList(ProgramPath(folder, L"config\\shareddir.dat"));
}

std::wstring FindOneMX(const FinderContext&, const std::wstring& folder, const std::wstring&) {
  return ReadLineList(ProgramPath(folder, L"shareddir.dat"));
}

std::wstring FindFileSharePro(const FinderContext&, const std::wstring& folder, const std::wstring&) {
  return ReadLineList(ProgramPath(folder, L"dir.cfg"));
}

std::wstring FindWarez(const FinderContext&, const std::wstring& folder, const std::wstring&) {
  std::wstring list = ReadLineList(ProgramPath(folder, L"data\\shared folders.txt"));
  const std::wstring shared = folder + L"My Shared Folder";
  if (PathExists(shared)) list += L";" + shared;
  return ListOrEmpty(list);
}

std::wstring FindAres(const FinderContext& context, const std::wstring& folder, const std::wstring&) {
  std::wstring list;
  for (const std::wstring& path :
       {ProgramPath(folder, L"data\\shared folders.txt"),
        ExpandedPath(context, L"%USERPROFILE%\\Local Settings\\Application Data\\Ares\\data\\shared folders.txt")}) {
    const std::wstring found = ReadLineList(path);
    if (found.size() > 3) list += found + L";";
  }
  // The download folder is stored as hexadecimal text, two digits per byte of ANSI text.
  if (auto hex = Settings(*context.settings).AresDownloadFolder()) {
    auto digit = [](wchar_t c) -> int {
      if (c >= L'0' && c <= L'9') return c - L'0';
      if (c >= L'a' && c <= L'f') return c - L'a' + 10;
      if (c >= L'A' && c <= L'F') return c - L'A' + 10;
      return -1;
    };
    std::string bytes;
    for (size_t i = 0; i + 1 < hex->size(); i += 2) {
      const int high = digit((*hex)[i]);
      const int low = digit((*hex)[i + 1]);
      if (high < 0 || low < 0) break;
      bytes.push_back(static_cast<char>(high * 16 + low));
    }
    AddFolder(list, AnsiToWide(bytes.substr(0, bytes.find('\0'))));
  }
  return ListOrEmpty(list);
}

// --- INI sections -------------------------------------------------------------------------------

std::wstring FindPiolet(const FinderContext&, const std::wstring& folder, const std::wstring&) {
  try {
    const std::wstring path = ProgramPath(folder, L"settings.ini");
    std::wstring list;
    for (const auto& key : IniSectionKeys(path, L"SharedFolders")) {
      if (!IsLeadingPartOf(key, L"Folder")) {
        AddIniValue(list, IniValue(path, L"SharedFolders", key), {});
      } else if (!IsLeadingPartOf(key, L"DownloadFolder")) {
        AddIniValue(list, IniValue(path, L"General", key), {});
      }
    }
    for (const auto& line : ReadAnsiLines(path).value_or(std::vector<std::wstring>{})) {
      if (line.size() >= 9 && StartsWith(line, L"Folder") && line[7] == L'=') {
        AddFolder(list, line.substr(8));
      } else if (line.size() >= 16 && StartsWith(line, L"DownloadFolder=")) {
        AddFolder(list, line.substr(15));
      }
    }
    return ListOrEmpty(list);
  } catch (const std::bad_alloc&) {
    return L"{FindPiolet Failed: Could not allocate memory}";
  }
}

std::wstring FindRockItNet(const FinderContext&, const std::wstring& folder, const std::wstring&) {
  return IniSectionFinder(ProgramPath(folder, L"Settings.ini"), L"SharedFolders", L"Folder", L"",
                          L"{FindRockItNet Failed: Could not allocate memory}");
}

std::wstring FindLordOfSearch(const FinderContext&, const std::wstring& folder, const std::wstring&) {
  return IniSectionFinder(ProgramPath(folder, L"dcpro.config"), L"Share", L"Dir", L", recursive",
                          L"{FindLordOfSearch Failed: Could not allocate memory}");
}

std::wstring FindDCPro(const FinderContext&, const std::wstring& folder, const std::wstring&) {
  return IniSectionFinder(ProgramPath(folder, L"dcpro.config"), L"Shared Folders", L"F", L"",
                          L"{FindDCPro Failed: Could not allocate memory}");
}

std::wstring FindXolox(const FinderContext&, const std::wstring& folder, const std::wstring&) {
  return IniSectionFinder(ProgramPath(folder, L"XoloxConfig.ini"), L"Share", L"Dir", L", recursive",
                          L"{FindXolox Failed: Could not allocate memory}");
}

std::wstring FindTrustyfiles(const FinderContext&, const std::wstring& folder, const std::wstring&) {
  try {
    std::wstring list = ReadIniSection(ProgramPath(folder, L"TrustyFiles.ini"), L"Shares", L"Folder", L", folders");
    const auto lines = ReadAnsiLines(ProgramPath(folder, L"data\\MyFolders.dat"));
    for (const auto& line : lines.value_or(std::vector<std::wstring>{})) {
      if (line.size() > 8 && StartsWithNoCase(line, L"Item") && line[5] == L'=') {
        std::wstring value = line.substr(6);
        AddFolder(list, value.substr(0, value.find(L", Recursive")));
      }
    }
    return ListOrEmpty(list);
  } catch (const std::bad_alloc&) {
    return L"{FindTrustyfiles Failed: Could not allocate memory}";
  }
}

// --- Binary settings files ------------------------------------------------------------------------

std::wstring FindBearShare(const FinderContext& context, const std::wstring& folder, const std::wstring&) {
  if (auto library = ReadWholeFile(ProgramPath(folder, L"db\\library.dat"), kLargestSettingsFile)) {
    return ListOrEmpty(ParseLibraryDat(*library));
  }
  std::wstring path = ProgramPath(folder, L"db\\library.db");
  if (!PathExists(path)) path = ExpandedPath(context, L"%APPDATA%\\BearShare\\Data\\DataBase\\DataDir\\ContentDirs.db");
  auto bytes = ReadWholeFile(path, kLargestSettingsFile);
  return bytes ? ListOrEmpty(ScanContentDirectories(*bytes)) : std::wstring();
}

std::wstring FindShareaza(const FinderContext& context, const std::wstring& folder, const std::wstring&) {
  std::wstring path = ProgramPath(folder, L"db\\library.db");
  if (!PathExists(path)) path = ExpandedPath(context, L"%APPDATA%\\Shareaza\\Data\\DataBase\\DataDir\\ContentDirs.db");
  auto bytes = ReadWholeFile(path, kLargestSettingsFile);
  return bytes ? ListOrEmpty(ScanContentDirectories(*bytes)) : std::wstring();
}

std::wstring FindEdonkey2000(const FinderContext&, const std::wstring& folder, const std::wstring&) {
  auto bytes = ReadWholeFile(ProgramPath(folder, L"share.dat"), kLargestSettingsFile);
  if (!bytes) return L"{FindEdonkey2000 failed to open file}";
  return ListOrEmpty(ParseShareDat(*bytes));
}

std::wstring FindSoulseek(const FinderContext&, const std::wstring& folder, const std::wstring&) {
  auto bytes = ReadWholeFile(ProgramPath(folder, L"shared.cfg"), kLargestSettingsFile);
  return bytes ? ListOrEmpty(ParseSharedCfg(*bytes, 0)) : std::wstring();
}

std::wstring FindSoulseek155222(const FinderContext&, const std::wstring& folder, const std::wstring&) {
  std::wstring path = ProgramPath(folder, L"TrustyFiles.ini");
  if (!PathExists(path)) path = ProgramPath(folder, L"shared.cfg");
  auto bytes = ReadWholeFile(path, kLargestSettingsFile);
  return bytes ? ListOrEmpty(ParseSharedCfg(*bytes, 10)) : std::wstring();
}

std::wstring FindLimewire(const FinderContext& context, const std::wstring&, const std::wstring&) {
  std::wstring path = ExpandedPath(context, L"%USERPROFILE%\\.limewire\\limewire.props");
  if (!PathExists(path)) path = ExpandedPath(context, L"%APPDATA%\\Limewire\\limewire.props");
  FileHandle file = FileHandle::OpenForRead(path);
  if (!file.IsOpen()) return L"{LimeWire Failed: 1}";
  const int64_t size = file.Size();
  if (size < 0) return L"{LimeWire Failed: 4}";
  if (static_cast<uint64_t>(size) > kLargestLimewireProps) return L"{LimeWire Failed: 2}";
  std::string bytes;
  try {
    bytes.resize(static_cast<size_t>(size));
  } catch (const std::bad_alloc&) {
    return L"{LimeWire Failed: 3}";
  }
  if (file.Read(bytes.data(), bytes.size()) != bytes.size()) return L"{LimeWire Failed: 4}";
  return ListOrEmpty(ParseLimewireProps(bytes));
}

// --- The table ------------------------------------------------------------------------------------

const std::vector<FinderEntry>& FinderTable() {
  static const std::vector<FinderEntry> table = {
      {L"FindKazaa_3_0", FindKazaa_3_0},
      {L"Grokster_2_6", Grokster_2_6},
      {L"FindImesh", FindImesh},
      {L"FindImesh5", FindImesh5},
      {L"FindManolito", FindManolito},
      {L"FindBlubster", FindManolito},
      {L"FindGnucleus", FindGnucleus},
      {L"FindDCPlusPlus_0_4_0_3_4", FindDCPlusPlus_0_4_0_3_4},
      {L"FindStrongDC", FindStrongDC},
      {L"FindBearShare", FindBearShare},
      {L"FindShareaza", FindShareaza},
      {L"FindEmule", FindEmule},
      {L"FindOneMX", FindOneMX},
      {L"FindFileSharePro", FindFileSharePro},
      {L"FindEdonkey2000", FindEdonkey2000},
      {L"FindWarez", FindWarez},
      {L"FindAres", FindAres},
      {L"FindMorpheus", FindMorpheus},
      {L"FindPiolet", FindPiolet},
      {L"FindRockItNet", FindRockItNet},
      {L"FindLordOfSearch", FindLordOfSearch},
      {L"FindDCPro", FindDCPro},
      {L"FindXolox", FindXolox},
      {L"FindTrustyfiles", FindTrustyfiles},
      {L"FindSoulseek", FindSoulseek},
      {L"FindSoulseek155222", FindSoulseek155222},
      {L"FindLimewire", FindLimewire},
  };
  return table;
}

}  // namespace tessaly
