#include "FileRecognition.h"

#include "CaseFold.h"
#include "ExtendedRecognition.h"
#include "Settings.h"
#include "TextList.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

namespace tessaly {
namespace {

constexpr int64_t kMebibyte = int64_t{1} << 20;

// One row of the header table: bytes at an offset, plus an optional test of further bytes.
struct HeaderSignature {
  size_t offset;
  std::string_view bytes;
  bool (*more)(const uint8_t* header);
  HeaderKind result;
};

bool AsfAudio(const uint8_t* header) { return header[24] == 0x07; }
bool AsfVideo(const uint8_t* header) { return header[24] != 0x07; }
bool GifVersion(const uint8_t* header) { return header[4] >= '7' && header[4] <= '9'; }

using namespace std::string_view_literals;

// First match wins, in this order.
const std::array<HeaderSignature, 16> kSignatures = {{
    {0, "ID3"sv, nullptr, {kCategoryAudio, kKindMp3Id3}},
    {0, "Ogg"sv, nullptr, {kCategoryAudio, kKindOgg}},
    {0, "RIF"sv, nullptr, {kCategoryAudio, kKindRiff}},  // any RIFF, AVI included
    {0, "\x00\x00\x01\xBA\x21\x00"sv, nullptr, {kCategoryVideo, kKindMpegProgramStream}},
    {0, "\x1A\x45\xDF\xA3\x93\x42"sv, nullptr, {kCategoryVideo, kKindMatroska}},
    {0, "\x30\x26\xB2\x75\x8E"sv, AsfAudio, {kCategoryAudio, kKindWindowsMediaAudio}},
    {0, "\x30\x26\xB2\x75\x8E"sv, AsfVideo, {kCategoryVideo, kKindWindowsMediaVideo}},
    {0, ".RMF"sv, nullptr, {kCategoryAudio, kKindRealMedia}},
    // A first box of exactly 32 bytes (its size's low byte), type "ftyp", brand "M4A ".
    {3, "\x20" "ftypM4A "sv, nullptr, {kCategoryAudio, kKindMpeg4Audio}},
    {0, "MZ"sv, nullptr, {kCategoryExecutable, kKindExecutable}},
    {0, "\xFF\xD8"sv, nullptr, {kCategoryImage, kKindJpeg}},
    {0, "BM"sv, nullptr, {kCategoryImage, kKindBitmap}},
    {0, "\x89PNG"sv, nullptr, {kCategoryImage, kKindPng}},
    {0, "GIF8"sv, GifVersion, {kCategoryImage, kKindGif}},
    {0, "Rar"sv, nullptr, {kCategoryArchive, kKindRar}},
    {0, "PK"sv, nullptr, {kCategoryArchive, kKindZip}},
}};

bool Matches(const HeaderSignature& signature, const uint8_t* header) {
  if (std::memcmp(header + signature.offset, signature.bytes.data(), signature.bytes.size()) != 0) return false;
  return !signature.more || signature.more(header);
}

int32_t LoadLimit(SizeSetting which, const ConfigLookup& config, const SettingsStore& store) {
  return Settings(store).SizeLimitOr(which, config(SizeSettingName(which)));
}

// Limits are 32-bit numbers of mebibytes, so limit * 2^20 always fits in 64 bits; a negative
// limit lies below every size.
bool Above(uint64_t size, int64_t limit) {
  const int64_t bound = limit * kMebibyte;
  return bound < 0 || size > static_cast<uint64_t>(bound);
}

bool Below(uint64_t size, int64_t limit) {
  const int64_t bound = limit * kMebibyte;
  return bound > 0 && size < static_cast<uint64_t>(bound);
}

// Strictly between two limits given in mebibytes; the full 64-bit size is compared.
bool Between(uint64_t size, int64_t minimum, int64_t maximum) { return Above(size, minimum) && Below(size, maximum); }

}  // namespace

ExtensionList ParseExtensionList(const std::wstring& text) {
  std::vector<std::wstring> tokens = SplitList(text);
  if (tokens.empty()) return std::nullopt;
  return tokens;
}

MediaSettings LoadMediaSettings(const ConfigLookup& config, const SettingsStore& store) {
  MediaSettings settings;
  settings.soundExtensions = ParseExtensionList(config(kMusicTypesKey));
  settings.videoExtensions = ParseExtensionList(config(kVideoTypesKey));
  settings.imageExtensions = ParseExtensionList(config(kImageTypesKey));
  settings.minSoundSize = LoadLimit(SizeSetting::MinMusic, config, store);
  settings.maxSoundSize = LoadLimit(SizeSetting::MaxMusic, config, store);
  settings.minVideoSize = LoadLimit(SizeSetting::MinVideo, config, store);
  settings.maxVideoSize = LoadLimit(SizeSetting::MaxVideo, config, store);
  settings.extendedTypes = config(kExtendedTypesKey) == L"1";
  return settings;
}

namespace {

// A file name's suffix from its last dot (empty without one), lowered once so that it can be
// compared with every token of the three lists.
class Suffix {
 public:
  explicit Suffix(std::wstring_view fileName) {
    const size_t dot = fileName.rfind(L'.');
    original_ = dot == std::wstring_view::npos ? std::wstring_view() : fileName.substr(dot);
    lowered_ = original_.size() <= kLoweredCapacity;
    if (lowered_) {
      for (size_t i = 0; i < original_.size(); ++i) buffer_[i] = LowerChar(original_[i]);
    }
  }

  bool In(const ExtensionList& list) const {
    if (!list) return false;
    for (const std::wstring& token : *list) {
      if (token.size() != original_.size()) continue;
      if (!lowered_) {
        if (EqualsNoCase(token, original_)) return true;
        continue;
      }
      size_t i = 0;
      while (i < token.size() && LowerChar(token[i]) == buffer_[i]) ++i;
      if (i == token.size()) return true;
    }
    return false;
  }

 private:
  static constexpr size_t kLoweredCapacity = 32;
  std::wstring_view original_;
  std::array<wchar_t, kLoweredCapacity> buffer_;
  bool lowered_ = false;
};

}  // namespace

bool HasExtension(std::wstring_view fileName, const ExtensionList& list) { return Suffix(fileName).In(list); }

bool RecogniseHeader(const uint8_t* bytes, size_t size, HeaderKind& out, bool extended) {
  out = HeaderKind{};
  if (size == 0 || !bytes) return false;
  // The tests look at fixed offsets of a zero-filled 512-byte buffer.
  std::array<uint8_t, kHeaderSize> header{};
  std::memcpy(header.data(), bytes, std::min(size, kHeaderSize));
  for (const HeaderSignature& signature : kSignatures) {
    if (Matches(signature, header.data())) {
      out = signature.result;
      if (extended && out.kind == kKindRiff) RefineRiffForm(header.data(), out);
      return true;
    }
  }
  return extended && RecogniseExtendedHeader(header.data(), size, out);
}

Classification ClassifyFile(std::wstring_view fileName, uint64_t size, const MediaSettings& settings,
                            const SearchSwitches& switches, const HeaderReader& readHeader) {
  Classification result;
  const Suffix suffix(fileName);
  if (suffix.In(settings.soundExtensions)) {
    if (switches.music && Between(size, settings.minSoundSize, settings.maxSoundSize)) {
      result.category = MediaCategory::Music;
    }
    return result;
  }
  if (suffix.In(settings.videoExtensions)) {
    if (switches.video && Between(size, settings.minVideoSize, settings.maxVideoSize)) {
      result.category = MediaCategory::Video;
    }
    return result;
  }
  if (suffix.In(settings.imageExtensions)) {
    if (switches.images) result.category = MediaCategory::Image;
    return result;
  }
  // Small files are not opened: reading every file's header would cost a scan dearly.
  if (!Above(size, settings.minSoundSize) && !Above(size, settings.minVideoSize)) return result;

  result.contentExamined = true;
  std::array<uint8_t, kHeaderSize> header{};
  const size_t read = readHeader ? std::min(readHeader(header.data(), header.size()), header.size()) : 0;
  if (!RecogniseHeader(header.data(), read, result.header, settings.extendedTypes)) return result;

  switch (result.header.category) {
    case kCategoryImage:
      if (switches.images) result.category = MediaCategory::Image;
      break;
    case kCategoryVideo:
      if (switches.video && Between(size, settings.minVideoSize, settings.maxVideoSize)) {
        result.category = MediaCategory::Video;
      }
      break;
    case kCategoryAudio:
      if (switches.music && Between(size, settings.minSoundSize, settings.maxSoundSize)) {
        result.category = MediaCategory::Music;
      }
      break;
    case kCategoryArchive:
      if (result.header.kind == kKindRar) result.archive = ArchiveKind::Rar;
      if (result.header.kind == kKindZip) result.archive = ArchiveKind::Zip;
      break;
    default:
      break;
  }
  return result;
}

}  // namespace tessaly
