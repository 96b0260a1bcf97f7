// The binary and special settings formats of the finders. Every parser works on the file's bytes
// and never reads past them: a length that runs past the end ends the parse, and every loop moves
// forward by at least one record header, so no count or length can make it run on.
#include "LittleEndian.h"
#include "P2pFinders.h"
#include "P2pText.h"
#include "TextConvert.h"
#include "Utf16Text.h"

#include <cctype>

namespace tessaly {
namespace {

// Stored text ends at its first zero, as a C string would.
std::string_view UpToZero(std::string_view text) { return text.substr(0, text.find('\0')); }

std::wstring Utf16UpToZero(std::string_view bytes) {
  std::wstring text = Utf16LeBytesToWide(bytes);
  return text.substr(0, text.find(L'\0'));
}

void AddFolder(std::wstring& list, const std::wstring& folder) {
  if (folder.empty()) return;
  list += folder;
  list += L';';
}

// Halves every doubled backslash.
std::string ReduceBackslashes(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    out.push_back(text[i]);
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') ++i;
  }
  return out;
}

}  // namespace

std::wstring ListOrEmpty(std::wstring list) { return list.size() < 3 ? std::wstring() : list; }

std::wstring ParseLibraryDat(std::string_view bytes) {
  std::wstring list;
  if (bytes.size() < 12) return list;
  const int64_t limit = static_cast<int64_t>(ReadLe32(bytes, 8)) - static_cast<int64_t>(ReadLe32(bytes, 4));
  size_t offset = 12;
  for (int64_t total = 0; total < limit; ) {
    if (bytes.size() - offset < 4) break;
    const uint32_t length = ReadLe32(bytes, offset);
    offset += 4;
    if (length > bytes.size() - offset) break;
    std::wstring folder = Utf16UpToZero(bytes.substr(offset, length));
    DropTrailingBackslash(folder);
    AddFolder(list, folder);
    offset += length;
    total += static_cast<int64_t>(length) + 5;
  }
  return list;
}

std::wstring ScanContentDirectories(std::string_view bytes) {
  std::wstring list;
  for (size_t i = 7; i + 3 < bytes.size(); ++i) {
    if (!std::isalpha(static_cast<unsigned char>(bytes[i])) || bytes[i + 1] != ':' || bytes[i + 2] != '\\') continue;
    // The byte six places before the path holds its stored length.
    const size_t length = static_cast<uint8_t>(bytes[i - 6]);
    if (length >= 520) continue;
    std::string copy(UpToZero(bytes.substr(i, length)));
    // A path kept in a CDATA section ends at its "]]>", which stands for the closing backslash.
    if (size_t end = copy.find("]]>"); end != std::string::npos) copy = copy.substr(0, end) + "\\";
    AddFolder(list, AnsiToWide(copy));
  }
  return list;
}

std::wstring ParseShareDat(std::string_view bytes) {
  std::wstring list;
  size_t offset = 0;
  while (bytes.size() - offset >= 2) {
    const uint16_t length = ReadLe16(bytes, offset);
    offset += 2;
    if (length > bytes.size() - offset) break;
    const std::wstring folder = Utf16UpToZero(bytes.substr(offset, length));
    offset += length;
    if (folder.empty()) continue;
    list += L';';
    list += folder;
  }
  return list;
}

std::wstring ParseSharedCfg(std::string_view bytes, size_t startOffset) {
  std::wstring list;
  if (bytes.size() <= startOffset + 4) return list;
  const uint32_t count = ReadLe32(bytes, startOffset);
  size_t offset = startOffset + 4;
  for (uint32_t index = 0; index < count; ++index) {
    if (bytes.size() - offset < 4) break;
    const uint32_t length = ReadLe32(bytes, offset);
    offset += 4;
    // A path of 260 bytes or more is no path the client could have stored: the file is damaged
    // here, and nothing after it can be trusted.
    if (length >= 260 || length > bytes.size() - offset) break;
    std::wstring folder = AnsiToWide(UpToZero(bytes.substr(offset, length)));
    offset += length;
    DropTrailingBackslash(folder);
    AddFolder(list, folder);
  }
  return list;
}

std::wstring ParseLimewireProps(std::string_view bytes) {
  static constexpr std::string_view kKeys[] = {"DIRECTORY_FOR_SAVING_FILES", "DIRECTORIES_TO_SEARCH_FOR_FILES"};
  std::string collected;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = bytes.substr(start, end - start);
    start = end + 1;
    size_t keyLength = 0;
    for (std::string_view key : kKeys) {
      if (StartsWithNoCase(AnsiToWide(line.substr(0, key.size())), AnsiToWide(key))) keyLength = key.size();
    }
    if (keyLength == 0) continue;
    size_t valueStart = keyLength;
    while (valueStart < line.size() && (line[valueStart] == ' ' || line[valueStart] == '=')) ++valueStart;
    std::string_view rest = line.substr(valueStart);
    for (;;) {
      const size_t semicolon = rest.find(';');
      const std::string_view item = rest.substr(0, semicolon);
      if (item.size() >= 6 && item.substr(1, 4) == "\\:\\\\") {
        // C\:\\Shared\\ -> C:\Shared\ : the escape before ":" goes, doubled backslashes halve.
        collected += item[0];
        collected += ':';
        collected += ReduceBackslashes(item.substr(3));
        collected += ';';
      } else if (!item.empty() && item.size() < 6) {
        collected += ReduceBackslashes(item);
        collected += ';';
      }
      if (semicolon == std::string_view::npos) break;
      rest = rest.substr(semicolon + 1);
    }
  }
  return AnsiToWide(collected);
}

}  // namespace tessaly
