// A portable reader that answers as the Windows profile API does: lines split at any run of CR/LF
// and trimmed; "[name]" up to the last "]" opens a section (name trimmed); "name = value" splits
// at the first "="; keys before any section belong to a nameless one; only the first section of a
// name is consulted; quotes around a value are removed.
#include "IniFile.h"

#include "FileBytes.h"
#include "P2pText.h"
#include "ProfileApi.h"
#include "TextConvert.h"
#include "Utf16Text.h"

#include <cwctype>

namespace tessaly {
namespace {

// INI files are small; anything past this is not a settings file.
constexpr uint64_t kLargestIniFile = 16u << 20;

bool IsBlank(wchar_t c) { return std::iswspace(static_cast<wint_t>(c)) || c == 0x1A; }

struct IniKey {
  std::wstring name;
  std::optional<std::wstring> value;  // absent for a line without "="
};

struct IniSection {
  std::wstring name;
  std::vector<IniKey> keys;
};

std::wstring DecodeIniText(std::string_view bytes) {
  const ByteOrderMark mark = SniffByteOrderMark(bytes);
  const std::string_view text = bytes.substr(ByteOrderMarkLength(mark));
  switch (mark) {
    case ByteOrderMark::Utf8:
      return Utf8ToWide(text);
    case ByteOrderMark::Utf16Le:
      return Utf16LeBytesToWide(text);
    case ByteOrderMark::Utf16Be: {
      std::string swapped(text);
      for (size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
      return Utf16LeBytesToWide(swapped);
    }
    case ByteOrderMark::None:
      break;
  }
  return AnsiToWide(bytes);
}

std::vector<IniSection> Parse(std::string_view bytes) {
  const std::wstring text = DecodeIniText(bytes);
  std::vector<IniSection> sections(1);  // the nameless section of keys before any header
  size_t position = 0;
  while (position < text.size()) {
    size_t lineEnd = position;
    while (lineEnd < text.size() && text[lineEnd] != L'\n' && text[lineEnd] != L'\r') ++lineEnd;
    size_t next = lineEnd;
    while (next < text.size() && (text[next] == L'\n' || text[next] == L'\r')) ++next;
    size_t start = position;
    size_t end = lineEnd;
    position = next;
    while (start < end && IsBlank(text[start])) ++start;
    while (end > start && IsBlank(text[end - 1])) --end;
    if (start >= end) continue;
    if (text[start] == L'[') {
      size_t close = end - 1;
      while (close > start && text[close] != L']') --close;
      if (close > start) {
        size_t nameStart = start + 1;
        size_t nameEnd = close;
        while (nameStart < nameEnd && IsBlank(text[nameStart])) ++nameStart;
        while (nameEnd > nameStart && IsBlank(text[nameEnd - 1])) --nameEnd;
        sections.push_back({text.substr(nameStart, nameEnd - nameStart), {}});
        continue;
      }
    }
    IniKey key;
    size_t equals = start;
    while (equals < end && text[equals] != L'=') ++equals;
    if (equals < end) {
      size_t nameEnd = equals;
      while (nameEnd > start && IsBlank(text[nameEnd - 1])) --nameEnd;
      key.name = text.substr(start, nameEnd - start);
      size_t valueStart = equals + 1;
      while (valueStart < end && IsBlank(text[valueStart])) ++valueStart;
      key.value = text.substr(valueStart, end - valueStart);
    } else {
      key.name = text.substr(start, end - start);
    }
    auto& keys = sections.back().keys;
    // Runs of nameless entries collapse into one, as the profile API keeps them.
    if (!key.name.empty() || keys.empty() || !keys.back().name.empty()) keys.push_back(std::move(key));
  }
  return sections;
}

std::wstring Trim(const std::wstring& text) {
  size_t start = 0;
  size_t end = text.size();
  while (start < end && IsBlank(text[start])) ++start;
  while (end > start && IsBlank(text[end - 1])) --end;
  return text.substr(start, end - start);
}

}  // namespace

std::vector<std::wstring> PortableIniSectionKeys(std::string_view fileBytes, const std::wstring& section) {
  std::vector<std::wstring> names;
  for (const auto& candidate : Parse(fileBytes)) {
    if (!EqualsNoCase(candidate.name, section)) continue;
    // The answer is a list of zero-terminated names ending in a second zero, in a buffer of
    // kIniKeyListCapacity characters: a name that does not fit is cut, and the list ends there.
    size_t room = kIniKeyListCapacity;
    for (const auto& key : candidate.keys) {
      if (room <= 2) break;
      if (key.name.empty() && !key.value) continue;
      if (!key.name.empty() && key.name[0] == L';') continue;
      if (!key.value) continue;
      // A line "=value" gives an empty name, which reads as the end of the list.
      if (key.name.empty()) break;
      std::wstring name = key.name.substr(0, room - 2);
      room -= name.size() + 1;
      names.push_back(std::move(name));
    }
    break;
  }
  return names;
}

std::wstring PortableIniValue(std::string_view fileBytes, const std::wstring& section, const std::wstring& key) {
  const std::wstring wantedSection = Trim(section);
  const std::wstring wantedKey = Trim(key);
  for (const auto& candidate : Parse(fileBytes)) {
    if (!EqualsNoCase(candidate.name, wantedSection)) continue;
    for (const auto& entry : candidate.keys) {
      if (!EqualsNoCase(entry.name, wantedKey)) continue;
      if (!entry.value) return {};
      std::wstring value = *entry.value;
      bool quoted = value.size() >= 2 && (value[0] == L'"' || value[0] == L'\'') && value.back() == value[0];
      if (quoted) value = value.substr(1);
      if (value.size() > kIniValueCapacity - 1) return value.substr(0, kIniValueCapacity - 1);
      if (quoted) value.pop_back();
      return value;
    }
    return {};  // only the first section of that name counts
  }
  return {};
}

std::vector<std::wstring> IniSectionKeys(const std::wstring& path, const std::wstring& section) {
  if (auto keys = SystemIniSectionKeys(path, section, kIniKeyListCapacity)) return *keys;
  auto bytes = ReadWholeFile(path, kLargestIniFile);
  if (!bytes) return {};
  return PortableIniSectionKeys(*bytes, section);
}

std::wstring IniValue(const std::wstring& path, const std::wstring& section, const std::wstring& key) {
  if (auto value = SystemIniValue(path, section, key, kIniValueCapacity)) return *value;
  auto bytes = ReadWholeFile(path, kLargestIniFile);
  if (!bytes) return {};
  return PortableIniValue(*bytes, section, key);
}

}  // namespace tessaly
