#include "ExtendedRecognition.h"
#include "FileRecognition.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

namespace tessaly {
namespace {

using namespace std::string_literals;

std::string Utf8(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// An ASF header object: its GUID's first bytes, then `count` at offset 24.
std::string Asf(char count) {
  std::string h = "\x30\x26\xB2\x75\x8E\x66\xCF\x11\xA6\xD9\x00\xAA\x00\x62\xCE\x6C"s;  // GUID
  h += std::string(8, '\x10');  // object size
  h += count;
  return h;
}

TEST(RecogniseHeader, TheSixteenTestsInOrder) {
  struct {
    const char* name;
    std::string bytes;  // the start of the file
    int32_t category;   // 0: not recognised
    int32_t kind;
  } cases[] = {
      {"ID3 tag", "ID3\x03\x00\x00\x00\x00\x0F\x76"s, 4, 5},
      {"ID3 alone, rest zero-filled", "ID3", 4, 5},
      {"Ogg", "OggS\x00\x02"s, 4, 6},
      {"RIFF WAVE", "RIFF\x24\x08\x00\x00WAVEfmt "s, 4, 7},
      {"RIFF AVI counts as audio", "RIFF\x00\x10\x00\x00" "AVI LIST"s, 4, 7},
      {"three bytes RIF are enough", "RIFX", 4, 7},
      {"MPEG-1 program stream", "\x00\x00\x01\xBA\x21\x00\x01"s, 2, 4},
      {"MPEG-2 program stream is not matched", "\x00\x00\x01\xBA\x44\x00"s, 0, 0},
      {"Matroska", "\x1A\x45\xDF\xA3\x93\x42\x82\x88"s, 2, 13},
      {"EBML with another size byte", "\x1A\x45\xDF\xA3\x01\x00"s, 0, 0},
      {"ASF count 07 is audio", Asf('\x07'), 4, 8},
      {"ASF count 05 is video", Asf('\x05'), 2, 9},
      {"ASF cut before byte 24 is video", Asf('\x07').substr(0, 20), 2, 9},
      {"RealMedia", ".RMF\x00\x00\x00\x12"s, 4, 12},
      {"MPEG-4 audio, 32-byte first box", "\x00\x00\x00\x20" "ftypM4A \x00\x00\x00\x00"s, 4, 10},
      {"MPEG-4 audio, 28-byte first box", "\x00\x00\x00\x1C" "ftypM4A \x00\x00\x00\x00"s, 0, 0},
      {"MPEG-4 video brand", "\x00\x00\x00\x20" "ftypisom"s, 0, 0},
      {"executable", "MZ\x90\x00\x03"s, 8, 11},
      {"JPEG", "\xFF\xD8\xFF\xE0\x00\x10JFIF"s, 1, 1},
      {"bitmap", "BM\x36\x00\x0C\x00"s, 1, 17},
      {"PNG", "\x89PNG\r\n\x1A\n"s, 1, 14},
      {"GIF89a", "GIF89a", 1, 2},
      {"GIF87a", "GIF87a", 1, 2},
      {"GIF86 is not a GIF", "GIF86a", 0, 0},
      {"RAR", "Rar!\x1A\x07\x00"s, 16, 15},
      {"newer RAR is still a RAR header", "Rar!\x1A\x07\x01\x00"s, 16, 15},
      {"ZIP", "PK\x03\x04\x14\x00"s, 16, 16},
      {"one byte P", "P", 0, 0},
      {"text", "Hello, world", 0, 0},
      {"all zero", std::string(512, '\0'), 0, 0},
  };
  for (const auto& c : cases) {
    HeaderKind got{99, 99};
    const bool recognised =
        RecogniseHeader(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size(), got);
    EXPECT_EQ(recognised, c.category != 0) << c.name;
    EXPECT_EQ(got.category, c.category) << c.name;
    EXPECT_EQ(got.kind, c.kind) << c.name;
  }
}

// Two MPEG-1 layer III frames at 128 kbit/s and 44.1 kHz (417 bytes each), no tag before them.
std::string Mp3Frames(bool secondValid) {
  std::string frames = "\xFF\xFB\x90\x64"s + std::string(413, '\x55');
  frames += secondValid ? "\xFF\xFB\x90\x64"s : "\x00\x00\x00\x00"s;
  return frames + std::string(91, '\x55');
}

// With the extended tests on, classic matches keep their order and answers, except that a RIFF
// file is told by its form type; the new tests only answer where no classic one matched.
TEST(RecogniseHeader, ExtendedTestsWhenAsked) {
  struct {
    const char* name;
    std::string bytes;
    HeaderKind classic;
    HeaderKind extended;
  } cases[] = {
      {"RIFF WAVE", "RIFF\x24\x08\x00\x00WAVEfmt "s, {4, 7}, {4, kKindRiffWave}},
      {"RIFF AVI", "RIFF\x00\x10\x00\x00" "AVI LIST"s, {4, 7}, {2, kKindRiffAvi}},
      {"RIFF WebP", "RIFF\x00\x10\x00\x00WEBPVP8 "s, {4, 7}, {1, kKindRiffWebp}},
      {"RIFF MIDI", "RIFF\x00\x10\x00\x00RMIDdata"s, {4, 7}, {4, kKindRiffMidi}},
      {"another RIFF form keeps the classic answer", "RIFF\x00\x10\x00\x00" "ACONanih"s, {4, 7}, {4, 7}},
      {"RIFX keeps the classic answer", "RIFX\x00\x10\x00\x00WAVE"s, {4, 7}, {4, 7}},
      {"MPEG-1 program stream stays classic", "\x00\x00\x01\xBA\x21\x00\x01"s, {2, 4}, {2, 4}},
      {"MPEG-2 program stream", "\x00\x00\x01\xBA\x44\x00\x04\x00"s, {0, 0}, {2, kKindMpeg2ProgramStream}},
      {"classic Matroska stays classic", "\x1A\x45\xDF\xA3\x93\x42\x82\x88matroska"s, {2, 13}, {2, 13}},
      {"WebM by its doctype", "\x1A\x45\xDF\xA3\x01\x00\x00\x00\x00\x00\x00\x1F\x42\x86\x81\x01\x42\xF7\x81\x01"
                              "\x42\xF2\x81\x04\x42\xF3\x81\x08\x42\x82\x84webm"s, {0, 0}, {2, kKindWebm}},
      {"Matroska by its doctype", "\x1A\x45\xDF\xA3\xA3\x42\x86\x81\x01\x42\x82\x88matroska"s, {0, 0}, {2, kKindMatroskaDocType}},
      {"EBML of another doctype", "\x1A\x45\xDF\xA3\xA3\x42\x86\x81\x01\x42\x82\x84mdoc"s, {0, 0}, {0, 0}},
      {"MP3 frames without ID3", Mp3Frames(true), {0, 0}, {4, kKindMp3Frames}},
      {"one frame header and no second one", Mp3Frames(false), {0, 0}, {0, 0}},
      {"a frame header with a reserved bit rate", "\xFF\xFB\xF0\x64"s + std::string(508, 'x'), {0, 0}, {0, 0}},
      {"JPEG stays classic", "\xFF\xD8\xFF\xE0\x00\x10JFIF"s, {1, 1}, {1, 1}},
      {"FLAC", "fLaC\x00\x00\x00\x22"s, {0, 0}, {4, kKindFlac}},
      {"MP4 video brand", "\x00\x00\x00\x18" "ftypmp42\x00\x00\x00\x00mp42isom"s, {0, 0}, {2, kKindMp4Video}},
      {"M4A in a 28-byte box", "\x00\x00\x00\x1C" "ftypM4A \x00\x00\x00\x00M4A mp42isom"s, {0, 0}, {4, kKindMp4Audio}},
      {"classic M4A stays classic", "\x00\x00\x00\x20" "ftypM4A \x00\x00\x00\x00"s, {4, 10}, {4, 10}},
      {"HEIC", "\x00\x00\x00\x18" "ftypheic\x00\x00\x00\x00mif1heic"s, {0, 0}, {1, kKindHeif}},
      {"a mif1 image with AVIF among its brands", "\x00\x00\x00\x20" "ftypmif1\x00\x00\x00\x00" "avifmif1miafMA1B"s, {0, 0}, {1, kKindHeif}},
      {"AVIF", "\x00\x00\x00\x1C" "ftypavif\x00\x00\x00\x00" "avifmif1miaf"s, {0, 0}, {1, kKindAvif}},
      {"QuickTime brand", "\x00\x00\x00\x14" "ftypqt  \x00\x00\x00\x00qt  "s, {0, 0}, {2, kKindQuickTime}},
      {"QuickTime without ftyp", "\x00\x00\x00\x08wide\x00\x10\x00\x00mdat"s, {0, 0}, {2, kKindQuickTime}},
      {"an unknown brand", "\x00\x00\x00\x14" "ftypxyzw\x00\x00\x00\x00xyzw"s, {0, 0}, {0, 0}},
      {"MIDI", "MThd\x00\x00\x00\x06\x00\x01\x00\x02"s, {0, 0}, {4, kKindMidi}},
      {"TIFF, little-endian", "II*\x00\x08\x00\x00\x00"s, {0, 0}, {1, kKindTiff}},
      {"TIFF, big-endian", "MM\x00*\x00\x00\x00\x08"s, {0, 0}, {1, kKindTiff}},
      {"text", "Hello, world", {0, 0}, {0, 0}},
  };
  for (const auto& c : cases) {
    for (bool extended : {false, true}) {
      const HeaderKind want = extended ? c.extended : c.classic;
      HeaderKind got{99, 99};
      const bool recognised =
          RecogniseHeader(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size(), got, extended);
      EXPECT_EQ(recognised, want.category != 0) << c.name << (extended ? " (extended)" : "");
      EXPECT_EQ(got.category, want.category) << c.name << (extended ? " (extended)" : "");
      EXPECT_EQ(got.kind, want.kind) << c.name << (extended ? " (extended)" : "");
    }
  }
}

TEST(RecogniseHeader, NothingReadIsNotRecognised) {
  const uint8_t jpeg[] = {0xFF, 0xD8};
  HeaderKind got{1, 1};
  EXPECT_FALSE(RecogniseHeader(jpeg, 0, got));
  EXPECT_EQ(got.category, 0);
  EXPECT_FALSE(RecogniseHeader(nullptr, 10, got));
}

TEST(HasExtension, SuffixFromTheLastDotIgnoringCase) {
  const std::wstring longSuffix = L"." + std::wstring(40, L'x');  // longer than the lowered copy
  const ExtensionList list = ParseExtensionList(L".mp3;.gz;.;.\u00F6gg;" + longSuffix);
  struct {
    const wchar_t* name;
    bool want;
  } cases[] = {
      {L"SONG.MP3", true},       {L"song.mp3", true},   {L"archive.tar.gz", true},
      {L"song.mp3.txt", false},  {L"README", false},    {L"trailing.", true},
      {L".mp3", true},           {L"song.mp", false},   {L"songmp3", false},
      {L"Lied.\u00F6GG", true},  {L"Lied.OGG", false},
  };
  for (const auto& c : cases) EXPECT_EQ(HasExtension(c.name, list), c.want) << Utf8(c.name);
  EXPECT_TRUE(HasExtension(L"f." + std::wstring(40, L'X'), list));
  EXPECT_FALSE(HasExtension(L"f." + std::wstring(39, L'X') + L"Y", list));

  EXPECT_FALSE(HasExtension(L"archive.tar.gz", ParseExtensionList(L".tar.gz")));
  EXPECT_FALSE(HasExtension(L"song.mp3", std::nullopt));
  EXPECT_FALSE(HasExtension(L"README", ParseExtensionList(L";;")));  // no token: no empty match
}

TEST(ParseExtensionList, EmptyTokensAreSkipped) {
  EXPECT_EQ(ParseExtensionList(L";.mp3;;.ogg;"), (std::vector<std::wstring>{L".mp3", L".ogg"}));
  EXPECT_EQ(ParseExtensionList(L".wav"), (std::vector<std::wstring>{L".wav"}));
  EXPECT_FALSE(ParseExtensionList(L"").has_value());
  EXPECT_FALSE(ParseExtensionList(L";;;").has_value());
}

TEST(ParseDecimal, ReadsAsWtoiDoes) {
  struct {
    const wchar_t* text;
    int32_t want;
  } cases[] = {
      {L"20", 20},     {L"  7abc", 7}, {L"-3", -3},         {L"+4", 4},
      {L"", 0},        {L"abc", 0},    {L"99999999999", INT32_MAX},
      {L"-99999999999", INT32_MIN},    {L"\t12", 12},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseDecimal(c.text), c.want) << Utf8(c.text);
}

TEST(LoadMediaSettings, RegistryValueFirstThenConfiguration) {
  const std::map<std::wstring, std::wstring> config = {
      {kMusicTypesKey, L".mp3;.wma"},   {kVideoTypesKey, L";;"},          {kImageTypesKey, L".jpg"},
      {kMinMusicSizeKey, L"1"},         {kMaxMusicSizeKey, L"20"},        {kMinVideoSizeKey, L"5"},
  };
  auto lookup = [&](const std::wstring& key) {
    auto found = config.find(key);
    return found == config.end() ? std::wstring() : found->second;
  };
  MemorySettingsStore store;
  auto setText = [&](const wchar_t* name, std::wstring text) {
    SettingsValue value;
    value.text = std::move(text);
    store.Set(SettingsRoot::CurrentUser, kProgramSettingsKey, name, value);
  };
  setText(kMinMusicSizeKey, L"3");              // a user value wins
  setText(kMaxMusicSizeKey, L"0");              // below 1: the configuration's value
  setText(kMinVideoSizeKey, std::wstring(70, L'9'));  // too long for the value buffer: missing
  SettingsValue dword;
  dword.type = SettingsType::Dword;
  dword.number = 50;
  store.Set(SettingsRoot::CurrentUser, kProgramSettingsKey, kMaxVideoSizeKey, dword);  // not a string

  const MediaSettings s = LoadMediaSettings(lookup, store);
  EXPECT_EQ(s.soundExtensions, (std::vector<std::wstring>{L".mp3", L".wma"}));
  EXPECT_FALSE(s.videoExtensions.has_value());
  EXPECT_EQ(s.imageExtensions, (std::vector<std::wstring>{L".jpg"}));
  EXPECT_EQ(s.minSoundSize, 3);
  EXPECT_EQ(s.maxSoundSize, 20);
  EXPECT_EQ(s.minVideoSize, 5);
  EXPECT_EQ(s.maxVideoSize, 0);  // neither source has it

  setText(kMinMusicSizeKey, L"-8");
  EXPECT_EQ(LoadMediaSettings(lookup, store).minSoundSize, 1);

  EXPECT_FALSE(s.extendedTypes);
  for (const wchar_t* text : {L"1", L"0", L"yes", L""}) {
    auto withSwitch = [&](const std::wstring& key) { return key == kExtendedTypesKey ? std::wstring(text) : lookup(key); };
    EXPECT_EQ(LoadMediaSettings(withSwitch, store).extendedTypes, std::wstring(text) == L"1") << Utf8(text);
  }
}

// Renamed files that only the extended tests tell right.
TEST(ClassifyFile, ExtendedTypesDecideRenamedFiles) {
  MediaSettings settings;
  settings.minSoundSize = 1;
  settings.maxSoundSize = 20;
  settings.minVideoSize = 1;
  settings.maxVideoSize = 700;
  struct {
    const char* name;
    std::string header;
    MediaCategory classic;
    MediaCategory extended;
  } cases[] = {
      {"WebP picture", "RIFF\x00\x10\x00\x00WEBPVP8 "s, MediaCategory::Music, MediaCategory::Image},
      {"AVI film", "RIFF\x00\x10\x00\x00" "AVI LIST"s, MediaCategory::Music, MediaCategory::Video},
      {"FLAC song", "fLaC\x00\x00\x00\x22"s, MediaCategory::None, MediaCategory::Music},
      {"WebM film", "\x1A\x45\xDF\xA3\xA3\x42\x82\x84webm"s, MediaCategory::None, MediaCategory::Video},
  };
  for (const auto& c : cases) {
    for (bool extended : {false, true}) {
      settings.extendedTypes = extended;
      const Classification got = ClassifyFile(L"renamed.dat", 2 << 20, settings, SearchSwitches{}, [&](uint8_t* buffer, size_t capacity) {
        const size_t count = std::min(capacity, c.header.size());
        std::copy_n(c.header.data(), count, buffer);
        return count;
      });
      EXPECT_EQ(got.category, extended ? c.extended : c.classic) << c.name << (extended ? " (extended)" : "");
    }
  }
}

constexpr uint64_t MiB = uint64_t{1} << 20;
constexpr uint64_t GiB = uint64_t{1} << 30;

TEST(ClassifyFile, ExtensionSizeAndHeaderDecide) {
  MediaSettings settings;
  settings.soundExtensions = ParseExtensionList(L".mp3;.wma");
  settings.videoExtensions = ParseExtensionList(L".avi;.mpg");
  settings.imageExtensions = ParseExtensionList(L".jpg");
  settings.minSoundSize = 1;
  settings.maxSoundSize = 20;
  settings.minVideoSize = 5;
  settings.maxVideoSize = 700;

  const SearchSwitches all;
  const SearchSwitches none{false, false, false, false};
  const SearchSwitches noMusic{true, false, true, true};
  const SearchSwitches noImages{true, true, true, false};
  const std::string jpeg = "\xFF\xD8\xFF\xE0"s;
  const std::string noFile;  // the reader finds nothing (vanished, unreadable)

  struct {
    const char* name;
    const wchar_t* fileName;
    uint64_t size;
    SearchSwitches switches;
    std::optional<std::string> content;  // nullopt: the reader must not be called
    MediaCategory category;
    bool examined;
    ArchiveKind archive;
  } cases[] = {
      {"music by extension", L"SONG.MP3", 3 * MiB, all, std::nullopt, MediaCategory::Music, false, ArchiveKind::None},
      {"exact minimum is not music", L"a.mp3", 1 * MiB, all, std::nullopt, MediaCategory::None, false, ArchiveKind::None},
      {"one byte above the minimum", L"a.mp3", 1 * MiB + 1, all, std::nullopt, MediaCategory::Music, false, ArchiveKind::None},
      {"exact maximum is not music", L"a.mp3", 20 * MiB, all, std::nullopt, MediaCategory::None, false, ArchiveKind::None},
      {"4 GiB + 3 MiB is above the maximum", L"a.mp3", 4 * GiB + 3 * MiB, all, std::nullopt, MediaCategory::None, false, ArchiveKind::None},
      {"music switch off: not looked at further", L"a.mp3", 3 * MiB, noMusic, std::nullopt, MediaCategory::None, false, ArchiveKind::None},
      {"video by extension", L"film.AVI", 100 * MiB, all, std::nullopt, MediaCategory::Video, false, ArchiveKind::None},
      {"small video is nothing", L"film.avi", 3 * MiB, all, std::nullopt, MediaCategory::None, false, ArchiveKind::None},
      {"image by extension, no size limit", L"p.jpg", 10, all, std::nullopt, MediaCategory::Image, false, ArchiveKind::None},
      {"images switch off", L"p.jpg", 10, noImages, std::nullopt, MediaCategory::None, false, ArchiveKind::None},
      {"JPEG photo.dat below both minimums is never opened", L"photo.dat", 100 * 1024, all, std::nullopt, MediaCategory::None, false, ArchiveKind::None},
      {"JPEG photo.dat above the sound minimum", L"photo.dat", 2 * MiB, all, jpeg, MediaCategory::Image, true, ArchiveKind::None},
      {"exact sound minimum, below video minimum: not opened", L"x.dat", 1 * MiB, all, std::nullopt, MediaCategory::None, false, ArchiveKind::None},
      {"no dot, ID3 header", L"README", 3 * MiB, all, "ID3\x03"s, MediaCategory::Music, true, ArchiveKind::None},
      {"RIFF AVI by header is music", L"clip.bin", 3 * MiB, all, "RIFF\0\0\0\0AVI "s, MediaCategory::Music, true, ArchiveKind::None},
      {"ASF audio", L"t.bin", 3 * MiB, all, Asf('\x07'), MediaCategory::Music, true, ArchiveKind::None},
      {"ASF video", L"t.bin", 10 * MiB, all, Asf('\x02'), MediaCategory::Video, true, ArchiveKind::None},
      {"ASF video below the video minimum", L"t.bin", 3 * MiB, all, Asf('\x02'), MediaCategory::None, true, ArchiveKind::None},
      {"MPEG-4 audio with a 28-byte box", L"t.bin", 3 * MiB, all, "\0\0\0\x1C" "ftypM4A "s, MediaCategory::None, true, ArchiveKind::None},
      {"RAR is listed whatever the switches", L"d.bin", 2 * MiB, none, "Rar!\x1A\x07\x00"s, MediaCategory::None, true, ArchiveKind::Rar},
      {"ZIP is listed", L"d.bin", 2 * MiB, all, "PK\x03\x04"s, MediaCategory::None, true, ArchiveKind::Zip},
      {"executable yields nothing", L"p.exe", 2 * MiB, all, "MZ"s, MediaCategory::None, true, ArchiveKind::None},
      {"unreadable file", L"gone.bin", 2 * MiB, all, noFile, MediaCategory::None, true, ArchiveKind::None},
      {"image header with images off", L"p.dat", 2 * MiB, noImages, jpeg, MediaCategory::None, true, ArchiveKind::None},
  };
  for (const auto& c : cases) {
    int calls = 0;
    HeaderReader reader = [&](uint8_t* buffer, size_t capacity) -> size_t {
      ++calls;
      if (!c.content) return 0;
      const size_t n = std::min(capacity, c.content->size());
      std::copy_n(c.content->data(), n, buffer);
      return n;
    };
    const Classification got = ClassifyFile(c.fileName, c.size, settings, c.switches, reader);
    EXPECT_EQ(got.category, c.category) << c.name;
    EXPECT_EQ(got.contentExamined, c.examined) << c.name;
    EXPECT_EQ(got.archive, c.archive) << c.name;
    EXPECT_EQ(calls, c.examined ? 1 : 0) << c.name;
  }
}

TEST(ClassifyFile, UnsetSettingsOpenEveryNonEmptyFile) {
  // No lists and limits of 0: nothing matches by name, and every non-empty file is above the
  // (zero) minimum, so its header decides; a music header is still not music below a 0 maximum.
  const MediaSettings settings;
  int calls = 0;
  HeaderReader reader = [&](uint8_t* buffer, size_t) -> size_t {
    ++calls;
    buffer[0] = 0xFF;
    buffer[1] = 0xD8;
    return 2;
  };
  EXPECT_EQ(ClassifyFile(L"a.mp3", 0, settings, {}, reader).contentExamined, false);
  const Classification got = ClassifyFile(L"a.mp3", 1, settings, {}, reader);
  EXPECT_TRUE(got.contentExamined);
  EXPECT_EQ(got.category, MediaCategory::Image);
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace tessaly
