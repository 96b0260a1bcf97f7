#include "ExtendedRecognition.h"

#include "LittleEndian.h"

#include <array>
#include <cstring>
#include <string_view>

namespace tessaly {
namespace {

using namespace std::string_view_literals;

bool At(const uint8_t* header, size_t offset, std::string_view bytes) {
  return offset + bytes.size() <= kHeaderSize && std::memcmp(header + offset, bytes.data(), bytes.size()) == 0;
}

uint32_t ReadBe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

// An MPEG-2 pack header: the byte after 00 00 01 BA starts with the bits 01 (MPEG-1 has 0010).
bool Mpeg2ProgramStream(const uint8_t* header) { return At(header, 0, "\x00\x00\x01\xBA"sv) && (header[4] & 0xC0) == 0x40; }

// An EBML header whose DocType element (ID 42 82) names "matroska" or "webm".
int32_t EbmlDocType(const uint8_t* header, size_t size) {
  if (!At(header, 0, "\x1A\x45\xDF\xA3"sv)) return kKindNone;
  const size_t end = std::min<size_t>(size, 64);
  for (size_t i = 4; i + 3 < end; ++i) {
    if (header[i] != 0x42 || header[i + 1] != 0x82) continue;
    const uint8_t length = header[i + 2];
    if ((length & 0x80) == 0) continue;  // a one-byte size is all a doctype needs
    const size_t count = length & 0x7F;
    const std::string_view docType(reinterpret_cast<const char*>(header + i + 3),
                                   std::min(count, end > i + 3 ? end - (i + 3) : 0));
    if (docType == "webm"sv) return kKindWebm;
    if (docType == "matroska"sv) return kKindMatroskaDocType;
  }
  return kKindNone;
}

// The length in bytes of the MPEG audio frame whose header is at `p`, or 0 when it is no valid
// header (reserved version, layer, bit-rate or sample-rate codes).
size_t MpegAudioFrameLength(const uint8_t* p) {
  if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return 0;
  const int version = (p[1] >> 3) & 3;  // 0: 2.5, 1: reserved, 2: 2, 3: 1
  const int layer = (p[1] >> 1) & 3;    // 1: III, 2: II, 3: I
  const int bitrateIndex = p[2] >> 4;
  const int rateIndex = (p[2] >> 2) & 3;
  if (version == 1 || layer == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3) return 0;
  static constexpr int kBitrates[2][3][15] = {
      // MPEG-1: layer I, II, III
      {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
       {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
       {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
      // MPEG-2 and 2.5
      {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
       {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};
  static constexpr int kRates[3] = {44100, 48000, 32000};
  const bool mpeg1 = version == 3;
  const int rate = kRates[rateIndex] / (mpeg1 ? 1 : (version == 2 ? 2 : 4));
  const int bitrate = kBitrates[mpeg1 ? 0 : 1][3 - layer][bitrateIndex] * 1000;
  const int padding = (p[2] >> 1) & 1;
  if (layer == 3) return static_cast<size_t>((12 * bitrate / rate + padding) * 4);
  const int perFrame = (layer == 1 && !mpeg1) ? 72 : 144;
  return static_cast<size_t>(perFrame * bitrate / rate + padding);
}

// MP3 (and MP2) without an ID3 tag: a valid frame header at the start and, where the next frame
// starts inside the bytes read, a second one of the same version and layer there.
bool MpegAudioFrames(const uint8_t* header, size_t size) {
  const size_t length = MpegAudioFrameLength(header);
  if (length == 0) return false;
  if (length + 4 > std::min(size, kHeaderSize)) return length + 4 > kHeaderSize && size >= kHeaderSize;
  const uint8_t* next = header + length;
  return MpegAudioFrameLength(next) != 0 && (next[1] & 0x1E) == (header[1] & 0x1E);
}

// The brands of an ISO base media "ftyp" box: the major brand at 8, compatible ones from 16.
int32_t FileTypeBrands(const uint8_t* header, size_t size) {
  if (!At(header, 4, "ftyp"sv)) return kKindNone;
  const uint32_t boxSize = ReadBe32(header);
  const size_t end = std::min<size_t>({boxSize, size, kHeaderSize});
  static constexpr std::array<std::pair<std::string_view, int32_t>, 27> kBrands = {{
      {"M4A "sv, kKindMp4Audio}, {"M4B "sv, kKindMp4Audio}, {"M4P "sv, kKindMp4Audio}, {"F4A "sv, kKindMp4Audio},
      {"F4B "sv, kKindMp4Audio},
      {"heic"sv, kKindHeif}, {"heix"sv, kKindHeif}, {"heim"sv, kKindHeif}, {"heis"sv, kKindHeif},
      {"mif1"sv, kKindHeif}, {"msf1"sv, kKindHeif},
      {"avif"sv, kKindAvif}, {"avis"sv, kKindAvif},
      {"isom"sv, kKindMp4Video}, {"iso2"sv, kKindMp4Video}, {"iso4"sv, kKindMp4Video}, {"iso5"sv, kKindMp4Video},
      {"mp41"sv, kKindMp4Video}, {"mp42"sv, kKindMp4Video}, {"avc1"sv, kKindMp4Video}, {"M4V "sv, kKindMp4Video},
      {"3gp4"sv, kKindMp4Video}, {"3gp5"sv, kKindMp4Video}, {"3g2a"sv, kKindMp4Video}, {"f4v "sv, kKindMp4Video},
      {"dash"sv, kKindMp4Video}, {"qt  "sv, kKindQuickTime},
  }};
  auto brandAt = [&](size_t offset) -> int32_t {
    if (offset + 4 > end) return kKindNone;
    const std::string_view brand(reinterpret_cast<const char*>(header + offset), 4);
    for (const auto& [name, kind] : kBrands) {
      if (brand == name) return kind;
    }
    return kKindNone;
  };
  // An image or audio brand anywhere wins over the generic video brands, which still images and
  // audio files list among their compatible brands too.
  int32_t found = brandAt(8);
  if (found == kKindHeif || found == kKindAvif || found == kKindMp4Audio) return found;
  for (size_t offset = 16; offset + 4 <= end; offset += 4) {
    const int32_t kind = brandAt(offset);
    if (kind == kKindHeif || kind == kKindAvif || kind == kKindMp4Audio) return kind;
    if (found == kKindNone) found = kind;
  }
  return found;
}

int32_t CategoryOf(int32_t kind) {
  switch (kind) {
    case kKindRiffWave:
    case kKindRiffMidi:
    case kKindMp3Frames:
    case kKindFlac:
    case kKindMp4Audio:
    case kKindMidi:
      return kCategoryAudio;
    case kKindRiffAvi:
    case kKindMpeg2ProgramStream:
    case kKindWebm:
    case kKindMatroskaDocType:
    case kKindMp4Video:
    case kKindQuickTime:
      return kCategoryVideo;
    case kKindRiffWebp:
    case kKindTiff:
    case kKindHeif:
    case kKindAvif:
      return kCategoryImage;
    default:
      return kCategoryNone;
  }
}

}  // namespace

void RefineRiffForm(const uint8_t* header, HeaderKind& kind) {
  if (!At(header, 0, "RIFF"sv)) return;
  int32_t refined = kKindNone;
  if (At(header, 8, "WAVE"sv)) refined = kKindRiffWave;
  else if (At(header, 8, "AVI "sv)) refined = kKindRiffAvi;
  else if (At(header, 8, "WEBP"sv)) refined = kKindRiffWebp;
  else if (At(header, 8, "RMID"sv)) refined = kKindRiffMidi;
  if (refined != kKindNone) kind = {CategoryOf(refined), refined};
}

bool RecogniseExtendedHeader(const uint8_t* header, size_t size, HeaderKind& out) {
  int32_t kind = kKindNone;
  if (Mpeg2ProgramStream(header)) kind = kKindMpeg2ProgramStream;
  else if (int32_t ebml = EbmlDocType(header, size)) kind = ebml;
  else if (At(header, 0, "fLaC"sv)) kind = kKindFlac;
  else if (int32_t brands = FileTypeBrands(header, size)) kind = brands;
  else if (At(header, 4, "moov"sv) || At(header, 4, "mdat"sv) || At(header, 4, "wide"sv)) kind = kKindQuickTime;
  else if (At(header, 0, "MThd\x00\x00\x00\x06"sv)) kind = kKindMidi;
  else if (At(header, 0, "II*\x00"sv) || At(header, 0, "MM\x00*"sv)) kind = kKindTiff;
  else if (MpegAudioFrames(header, size)) kind = kKindMp3Frames;
  if (kind == kKindNone) return false;
  out = {CategoryOf(kind), kind};
  return true;
}

}  // namespace tessaly
