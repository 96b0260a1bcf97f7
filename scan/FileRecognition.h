// What a found file is: music, video, an image or an archive, decided from its name's extension,
// its size and its first 512 bytes. Shared by the scan run and the command-line scanner.
#pragma once

#include "Settings.h"
#include "SettingsStore.h"
#include "TextConvert.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// Configuration keys (and registry value names, for the limits).
inline constexpr const wchar_t* kMusicTypesKey = L"SETTINGS_MUSICFILETYPES";
inline constexpr const wchar_t* kVideoTypesKey = L"SETTINGS_VIDEOFILETYPES";
inline constexpr const wchar_t* kImageTypesKey = L"SETTINGS_IMAGEFILETYPES";
inline constexpr const wchar_t* kMinMusicSizeKey = L"SETTINGS_MINMUSICFILESIZE";
inline constexpr const wchar_t* kMaxMusicSizeKey = L"SETTINGS_MAXMUSICFILESIZE";
inline constexpr const wchar_t* kMinVideoSizeKey = L"SETTINGS_MINVIDEOFILESIZE";
inline constexpr const wchar_t* kMaxVideoSizeKey = L"SETTINGS_MAXVIDEOFILESIZE";
// "1" adds the extended header tests after the classic ones; anything else leaves them off.
inline constexpr const wchar_t* kExtendedTypesKey = L"SETTINGS_EXTENDEDFILETYPES";

// Extension tokens as written in the configuration, leading dot included. Unset (nullopt) when
// the configuration gave no token: that category is then never matched by extension.
using ExtensionList = std::optional<std::vector<std::wstring>>;

struct MediaSettings {
  ExtensionList soundExtensions;
  ExtensionList videoExtensions;
  ExtensionList imageExtensions;
  // Limits in mebibytes; applied as limit * 2^20 bytes. Unset limits are 0.
  int32_t minSoundSize = 0;
  int32_t maxSoundSize = 0;
  int32_t minVideoSize = 0;
  int32_t maxVideoSize = 0;
  bool extendedTypes = false;  // the extended header tests (see ExtendedRecognition.h)
};

// Looks a configuration value up by key; "" when it is missing.
using ConfigLookup = std::function<std::wstring(const std::wstring& key)>;

// Splits at ";" (empty tokens are skipped); nullopt when no token is left.
ExtensionList ParseExtensionList(const std::wstring& text);
// The lists from the configuration; each limit from the user's registry value when it is there
// and at least 1, else from the configuration.
MediaSettings LoadMediaSettings(const ConfigLookup& config, const SettingsStore& store);

// True when the name's suffix from its last "." (the empty string without a ".") equals a token
// of the list, ignoring case.
bool HasExtension(std::wstring_view fileName, const ExtensionList& list);

// Header categories and kinds.
enum HeaderCategory : int32_t {
  kCategoryNone = 0,
  kCategoryImage = 1,
  kCategoryVideo = 2,
  kCategoryAudio = 4,
  kCategoryExecutable = 8,
  kCategoryArchive = 16,
};

enum HeaderKindCode : int32_t {
  kKindNone = 0,
  kKindJpeg = 1,
  kKindGif = 2,
  kKindMpegProgramStream = 4,
  kKindMp3Id3 = 5,
  kKindOgg = 6,
  kKindRiff = 7,
  kKindWindowsMediaAudio = 8,
  kKindWindowsMediaVideo = 9,
  kKindMpeg4Audio = 10,
  kKindExecutable = 11,
  kKindRealMedia = 12,
  kKindMatroska = 13,
  kKindPng = 14,
  kKindRar = 15,
  kKindZip = 16,
  kKindBitmap = 17,
};

struct HeaderKind {
  int32_t category = kCategoryNone;
  int32_t kind = kKindNone;
};

// Bytes the header test looks at.
inline constexpr size_t kHeaderSize = 512;

// Tests the first bytes of a file (at most kHeaderSize are looked at; missing bytes count as
// zero). False, and `out` cleared, when nothing matches or `size` is 0. With `extended`, a RIFF
// match is refined by its form type and the extended tests follow when no classic one matched.
bool RecogniseHeader(const uint8_t* bytes, size_t size, HeaderKind& out, bool extended = false);

// The active search filter.
struct SearchSwitches {
  bool software = true;
  bool music = true;
  bool video = true;
  bool images = true;
};

enum class MediaCategory { None, Music, Video, Image };
enum class ArchiveKind { None, Rar, Zip };

struct Classification {
  MediaCategory category = MediaCategory::None;
  HeaderKind header;              // the recognised header, when the content was examined
  bool contentExamined = false;   // counts as binary-checked
  ArchiveKind archive = ArchiveKind::None;  // to be listed, whatever the switches
};

// Reads up to `capacity` bytes from the start of the file into `buffer`; returns the count read,
// 0 when the file cannot be opened or read.
using HeaderReader = std::function<size_t(uint8_t* buffer, size_t capacity)>;

// Classifies one found file. `readHeader` is called only when the content must be examined (no
// extension list matched and the size is above one of the minimums).
Classification ClassifyFile(std::wstring_view fileName, uint64_t size, const MediaSettings& settings,
                            const SearchSwitches& switches, const HeaderReader& readHeader);

}  // namespace tessaly
