// The P2P client finders: one small function per client format that learns which folders the
// client shares, from the client's folder and executable name. A finder returns the folders each
// followed (a few: preceded) by ";", or a failure text in braces; a text of 5 characters or fewer
// counts as a failure too.
#pragma once

#include "Environment.h"
#include "Settings.h"
#include "SettingsStore.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// Where finders read registry-style values and environment variables.
struct FinderContext {
  SettingsStore* settings = &SystemSettingsStore();
  const Environment* environment = &SystemEnvironment();
};

// folder ends in the platform's separator; fileName is the executable's name.
using FinderFunction = std::wstring (*)(const FinderContext& context, const std::wstring& folder,
                                        const std::wstring& fileName);

struct FinderEntry {
  const wchar_t* name;
  FinderFunction function;
};

// Every finder, by the name that the shared-folder mappings use.
const std::vector<FinderEntry>& FinderTable();

// --- Common readers -----------------------------------------------------------------------------

// A text list, one folder a line (UTF-16LE after FF FE, else ANSI). Missing file: empty text.
std::wstring ReadLineList(const std::wstring& path);
// The shared folders in the values of HKEY_CURRENT_USER\keyPath.
std::wstring ReadLocalContent(const FinderContext& context, const std::wstring& keyPath);
// The values of an INI section whose keys do not begin skipPrefix, lower-cased, cut at cut.
std::wstring ReadIniSection(const std::wstring& path, const std::wstring& section, const std::wstring& skipPrefix,
                            const std::wstring& cut = {});

// --- Binary and special formats, over the file's bytes (bounded by them) --------------------------

// BearShare library.dat.
std::wstring ParseLibraryDat(std::string_view bytes);
// BearShare and Shareaza content-directory databases.
std::wstring ScanContentDirectories(std::string_view bytes);
// eDonkey2000 share.dat: each folder preceded by ";".
std::wstring ParseShareDat(std::string_view bytes);
// Soulseek shared.cfg from startOffset (0, or 10 for the later client).
std::wstring ParseSharedCfg(std::string_view bytes, size_t startOffset);
// LimeWire limewire.props: the download and shared folders, unescaped.
std::wstring ParseLimewireProps(std::string_view bytes);

// The result that most list finders give: the list, or empty when under 3 characters.
std::wstring ListOrEmpty(std::wstring list);

// --- The finders ----------------------------------------------------------------------------------

std::wstring FindKazaa_3_0(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring Grokster_2_6(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindImesh(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindImesh5(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindManolito(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindGnucleus(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindDCPlusPlus_0_4_0_3_4(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindStrongDC(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindBearShare(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindShareaza(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindEmule(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindOneMX(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindFileSharePro(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindEdonkey2000(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindWarez(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindAres(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindMorpheus(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindPiolet(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindRockItNet(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindLordOfSearch(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindDCPro(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindXolox(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindTrustyfiles(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindSoulseek(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindSoulseek155222(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);
std::wstring FindLimewire(const FinderContext&, const std::wstring& folder, const std::wstring& fileName);

}  // namespace tessaly
