// String tables: every user-visible text is looked up by string ID ("IDS_...") in the language
// table, every configurable value by key ("SETTINGS_...", pseudo-language "Neutral") in the
// configuration table. A table is loaded from one XML document:
//
//   <MorvaneSoftware><Tessaly><Resource>
//     <AvailableLanguages><Language LangCode="UK">English(UK)</Language>...</AvailableLanguages>
//     <String SID="IDS_PROGRAMTITLE" Lang="UK">Tessaly</String>...
//   </Resource></Tessaly></MorvaneSoftware>
//
// A lookup that misses appends a placeholder String element (one space) for every listed
// language to the table's document, so that the language document written out by
// WriteLanguageFile gives translators every ID the program asked for.
#pragma once

#include "MvError.h"
#include "MvLinkedList.h"
#include "MvZXml.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tessaly {

struct LanguageRecord {
  std::wstring code;  // "UK"
  std::wstring name;  // "English(UK)"
};

// A control (or, with a negative control ID, the window itself) whose text comes from a string ID.
struct ControlBinding {
  void* window = nullptr;
  int32_t controlId = 0;
  std::wstring stringId;
};

class StringTable {
 public:
  StringTable() = default;
  StringTable(const StringTable&) = delete;
  StringTable& operator=(const StringTable&) = delete;

  MvError error;
  MvZXml document;
  // Named "code-ID" (UK-IDS_PROGRAMTITLE, Neutral-SETTINGS_UPDATEURL); values are texts owned by
  // the table, never freed or replaced while it lives.
  MvLinkedList strings;
  bool modified = false;
  LanguageRecord* currentLanguage = nullptr;
  // Named "%04x-%04x" from window handle and control ID; values are ControlBinding.
  MvLinkedList localisedControls;
  std::wstring programNamespace = L"Tessaly";
  // Named by language code, in document order; values are LanguageRecord.
  MvLinkedList languages;

  // Each member call holds the table's lock; so do the loading, lookup and writing functions
  // below, for the whole of their work.

  // Stores a value under key; the first value of a key is the one lookups see.
  const wchar_t* AddString(const std::wstring& key, std::wstring_view value);
  // The first value stored under key (whole, case-sensitive), or null.
  const wchar_t* FindString(const std::wstring& key) const;
  LanguageRecord* AddLanguage(std::wstring code, std::wstring name);
  LanguageRecord* FindLanguage(std::wstring_view code) const;
  ControlBinding* AddBinding(const std::wstring& name, ControlBinding binding);
  // A copy of text owned by the table (menu item data).
  const wchar_t* KeepText(std::wstring_view text);

 private:
  friend class StringTableLock;  // the functions of StringTable.cpp that work on the whole table

  // Guards lookups and the placeholders they add. Recursive: a lookup that misses adds its
  // placeholders while holding it.
  mutable std::recursive_mutex lock_;
  std::vector<std::unique_ptr<wchar_t[]>> texts_;
  std::unordered_map<std::wstring, const wchar_t*> index_;
  std::vector<std::unique_ptr<LanguageRecord>> languageRecords_;
  std::vector<std::unique_ptr<ControlBinding>> bindings_;
};

// The two tables of the program. They are created on first use, which static initialisation
// of this library forces before main runs, and are never destroyed: the texts they hand out stay
// valid for the whole life of the process.
StringTable& LanguageTable();
StringTable& ConfigurationTable();

// In-band failure values.
inline constexpr const wchar_t* kStringNotFound = L"{String Not Found}";
inline constexpr const wchar_t* kLanguageNotSet = L"{String Not Found - Language not set}";
inline constexpr const wchar_t* kMissingXmlValue = L"{Missing XML Value}";

// Parses xml into the table's document and fills its languages and strings. Always returns
// false, kept so on purpose: callers judge success by the lists, never by the result.
bool LoadLanguageXMLData(StringTable& table, std::wstring_view xml);
// Reads the UTF-16 configuration file into the configuration table (or the given table). A
// missing file leaves the table empty. Returns true whatever happened, on purpose: a missing or
// broken configuration shows as missing keys, which every caller already handles.
bool LoadConfigurationFile(const std::wstring& path);
bool LoadConfigurationFile(const std::wstring& path, StringTable& table);

// The text for id: with neutral, key "Neutral-id", otherwise currentLanguage.code + "-" + id.
// The result belongs to the table and stays valid for the life of the process.
const wchar_t* GetString(bool neutral, const wchar_t* id, StringTable& table);
const wchar_t* GetString(bool neutral, const wchar_t* id, StringTable* table);

// Makes the first language with this display name current; 1, or 0 when there is none.
int SelectLanguage(const wchar_t* displayName);
int SelectLanguage(StringTable& table, const wchar_t* displayName);

// Appends <String SID="id" Lang="code">value</String> to the document unless the pair exists.
void AddOrReplaceStringElement(const wchar_t* code, const wchar_t* id, StringTable& table, const wchar_t* value);

// Writes the language document to folder + "LanguageFile.xml" when placeholders were added.
// True when the file was written.
bool WriteLanguageFile(const std::wstring& folder);
bool WriteLanguageFile(const std::wstring& folder, StringTable& table);

// "1.00KB"-style size text: decimal thresholds, binary divisors, localised unit. The text lives
// in a buffer of this thread that the next call overwrites.
const wchar_t* FormatByteSize(double size, StringTable& table);
const wchar_t* FormatByteSize(double size);

}  // namespace tessaly
