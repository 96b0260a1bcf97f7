#include "StringTable.h"

#include "DebugLog.h"
#include "FileBytes.h"
#include "MvFault.h"
#include "SystemInfo.h"
#include "Utf16Text.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tessaly {
namespace {

constexpr const wchar_t* kCompanyElement = L"MorvaneSoftware";
constexpr const wchar_t* kResourceElement = L"Resource";
constexpr const wchar_t* kNeutral = L"Neutral";

// Content conventions: "<br>" and the four characters \r\n stand for a line break.
std::wstring ConvertLineBreaks(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  constexpr std::wstring_view kBreak = L"<br>", kEscapedBreak = L"\\r\\n";
  for (size_t i = 0; i < text.size();) {
    const wchar_t c = text[i];
    if ((c == L'<' || c == L'\\') && (text.substr(i, 4) == kBreak || text.substr(i, 4) == kEscapedBreak)) {
      out += L"\r\n";
      i += 4;
    } else {
      out += text[i++];
    }
  }
  return out;
}

const wchar_t* LanguageDisplayName(const StringTable& table, const std::wstring& code) {
  LanguageRecord* language = table.FindLanguage(code);
  return language ? language->name.c_str() : code.c_str();
}

void ReadLanguages(StringTable& table) {
  MvZXml& xml = table.document;
  if (!xml.EnterElement()) return;
  while (xml.FindElement(L"Language")) {
    std::wstring code = xml.AttributeValue(L"LangCode");
    std::wstring name = xml.ElementText();
    if (code.size() > 1 && name.size() > 1) {
      LanguageRecord* language = table.AddLanguage(std::move(code), std::move(name));
      if (language && !table.currentLanguage) table.currentLanguage = language;
    }
  }
  xml.LeaveElement();
}

void ReadStrings(StringTable& table) {
  MvZXml& xml = table.document;
  while (xml.FindElement(L"String")) {
    std::wstring lang = xml.AttributeValue(L"Lang");
    std::wstring sid = xml.AttributeValue(L"SID");
    std::wstring options = xml.AttributeValue(L"Options");
    std::wstring text = xml.ElementText();
    if (text.compare(0, 5, L"TODO:") == 0) {
      table.error.Report(L"Needs translation in %s(%s): SID(%s)", LanguageDisplayName(table, lang), lang, sid);
      text.erase(0, 5);
    }
    std::wstring value;
    if (text.empty() || text == L" ") {
      value = kMissingXmlValue;
    } else if (options.find(L"NoCrLfConvert") != std::wstring::npos) {
      value = std::move(text);
    } else {
      value = ConvertLineBreaks(text);
    }
    table.AddString(lang + L"-" + sid, value);
  }
}

// Moves the cursor onto the "Resource" element: company, then program element, then resource.
// Returns how many of the three were found.
int FindResource(StringTable& table) {
  MvZXml& xml = table.document;
  xml.ResetCursor();
  if (!xml.FindElement(kCompanyElement) || !xml.EnterElement()) return 0;
  if (!xml.FindElement(table.programNamespace.c_str()) || !xml.EnterElement()) return 1;
  if (!xml.FindElement(kResourceElement)) return 2;
  return 3;
}

}  // namespace

// ---- the table ----------------------------------------------------------------------------

class StringTableLock {
 public:
  static std::recursive_mutex& Of(const StringTable& table) { return table.lock_; }
};

const wchar_t* StringTable::AddString(const std::wstring& key, std::wstring_view value) {
  std::lock_guard guard(lock_);
  auto copy = std::make_unique<wchar_t[]>(value.size() + 1);
  std::wmemcpy(copy.get(), value.data(), value.size());
  copy[value.size()] = L'\0';
  const wchar_t* stored = copy.get();
  if (!strings.Add(key.c_str(), copy.get(), true)) return nullptr;
  texts_.push_back(std::move(copy));
  index_.emplace(key, stored);  // keeps the first value of a key
  return stored;
}

const wchar_t* StringTable::FindString(const std::wstring& key) const {
  std::lock_guard guard(lock_);
  auto found = index_.find(key);
  return found == index_.end() ? nullptr : found->second;
}

LanguageRecord* StringTable::AddLanguage(std::wstring code, std::wstring name) {
  std::lock_guard guard(lock_);
  auto record = std::make_unique<LanguageRecord>(LanguageRecord{std::move(code), std::move(name)});
  if (!languages.Add(record->code.c_str(), record.get(), true)) return nullptr;
  languageRecords_.push_back(std::move(record));
  return languageRecords_.back().get();
}

LanguageRecord* StringTable::FindLanguage(std::wstring_view code) const {
  std::lock_guard guard(lock_);
  std::wstring key(code);
  MvListEntry* entry = languages.Find(key.c_str(), true, true);
  return entry ? static_cast<LanguageRecord*>(entry->value) : nullptr;
}

ControlBinding* StringTable::AddBinding(const std::wstring& name, ControlBinding binding) {
  std::lock_guard guard(lock_);
  MvListEntry* existing = localisedControls.Find(name.c_str(), true, true);
  if (existing && existing->value) return static_cast<ControlBinding*>(existing->value);
  auto record = std::make_unique<ControlBinding>(std::move(binding));
  if (!localisedControls.Add(name.c_str(), record.get(), true)) return nullptr;
  bindings_.push_back(std::move(record));
  return bindings_.back().get();
}

const wchar_t* StringTable::KeepText(std::wstring_view text) {
  std::lock_guard guard(lock_);
  auto copy = std::make_unique<wchar_t[]>(text.size() + 1);
  std::wmemcpy(copy.get(), text.data(), text.size());
  copy[text.size()] = L'\0';
  texts_.push_back(std::move(copy));
  return texts_.back().get();
}

StringTable& LanguageTable() {
  static StringTable* table = new StringTable;
  return *table;
}

StringTable& ConfigurationTable() {
  static StringTable* table = new StringTable;
  return *table;
}

namespace {
// Creates both tables during static initialisation, before anything in main can ask for them.
[[maybe_unused]] const bool kTablesCreated = (LanguageTable(), ConfigurationTable(), true);
}  // namespace

// ---- loading ------------------------------------------------------------------------------

bool LoadLanguageXMLData(StringTable& table, std::wstring_view xml) {
  std::lock_guard guard(StringTableLock::Of(table));
  try {
    DebugPrint(L"LoadLanguageXMLData(): Loading LangData, PNS(%s), SelectedLanguage(%s)\r\n", L"Tessaly", L"");
    if (!table.document.Parse(xml)) {
      table.error.Report(L"LoadLanguages: ERROR: could not parse XML Data");
      return false;
    }
    MvZXml& doc = table.document;
    doc.ResetCursor();
    if (!doc.FindElement(kCompanyElement)) {
      // Names the Resource tag on purpose: one message stands for every level that can be missing.
      table.error.Report(L"LoadLanguages: ERROR: could not find the [%s] tag in XML file", kResourceElement);
      return false;
    }
    doc.EnterElement();
    DebugPrint(L"LoadLanguageXMLData(): Entering Company Namespace\r\n");
    table.programNamespace = L"Tessaly";
    if (!doc.FindElement(table.programNamespace.c_str())) return false;
    doc.EnterElement();
    DebugPrint(L"LoadLanguageXMLData(): Entering Program Namespace\r\n");
    if (!doc.FindElement(kResourceElement)) return false;
    doc.EnterElement();
    if (doc.FindElement(L"AvailableLanguages")) ReadLanguages(table);
    ReadStrings(table);
    doc.ResetCursor();
  } catch (...) {
    table.error.Report(L"LoadLanguageXMLData(): Exception(%s)", ExceptionCodeName(CurrentFaultCode()));
  }
  return false;
}

bool LoadConfigurationFile(const std::wstring& path) { return LoadConfigurationFile(path, ConfigurationTable()); }

bool LoadConfigurationFile(const std::wstring& path, StringTable& table) {
  try {
    std::optional<std::string> bytes = ReadWholeFile(path);
    if (!bytes) return true;
    LoadLanguageXMLData(table, Utf16LeDocument(*bytes));
  } catch (...) {
    table.error.Report(L"LoadConfigurationFile(): Exception(%s)", ExceptionCodeName(CurrentFaultCode()));
  }
  return true;
}

// ---- lookups ------------------------------------------------------------------------------

const wchar_t* GetString(bool neutral, const wchar_t* id, StringTable* table) {
  return table ? GetString(neutral, id, *table) : kStringNotFound;
}

const wchar_t* GetString(bool neutral, const wchar_t* id, StringTable& table) {
  if (!id) id = L"";
  std::unique_lock guard(StringTableLock::Of(table));
  if (!neutral && !table.currentLanguage) return kLanguageNotSet;
  std::wstring key = neutral ? std::wstring(kNeutral) : table.currentLanguage->code;
  key += L'-';
  key += id;
  if (const wchar_t* value = table.FindString(key)) {
    guard.unlock();
    return std::wcscmp(value, L"  ") == 0 ? L"" : value;
  }
  try {
    if (table.currentLanguage) {
      table.error.Report(L"GetString: Missing XML String(%s), Lang(%s)", id, table.currentLanguage->code);
    } else {
      table.error.Report(L"GetString: Missing XML String(%s), Lang(N/A)", id);
    }
    for (const MvListEntry& entry : table.languages) {
      auto* language = static_cast<LanguageRecord*>(entry.value);
      AddOrReplaceStringElement(language->code.c_str(), id, table, L" ");
    }
  } catch (...) {
    table.error.Report(L"GetString(): Exception(%s)", ExceptionCodeName(CurrentFaultCode()));
  }
  return kStringNotFound;
}

int SelectLanguage(const wchar_t* displayName) { return SelectLanguage(LanguageTable(), displayName); }

int SelectLanguage(StringTable& table, const wchar_t* displayName) {
  if (!displayName) return 0;
  std::lock_guard guard(StringTableLock::Of(table));
  for (const MvListEntry& entry : table.languages) {
    auto* language = static_cast<LanguageRecord*>(entry.value);
    if (language->name == displayName) {
      table.currentLanguage = language;
      return 1;
    }
  }
  return 0;
}

// ---- placeholders and the language file ---------------------------------------------------

void AddOrReplaceStringElement(const wchar_t* code, const wchar_t* id, StringTable& table, const wchar_t* value) {
  if (!code) code = L"";
  if (!id) id = L"";
  if (!value) value = L"";
  std::lock_guard guard(StringTableLock::Of(table));
  DebugPrint(L"AddOrReplaceStringElement(): LangCode(%s), StringID(%s), XmlValue(%s), ProgramNamespace(%s)\r\n",
             code, id, value, table.programNamespace);
  MvZXml& doc = table.document;
  if (!doc.HasElement()) {
    table.error.Report(L"AddOrReplaceStringElement: ERROR: XML is not well formed");
    return;
  }
  if (FindResource(table) != 3) {
    table.error.Report(L"AddOrReplaceStringElement: ERROR: could not find the [%s] tag in XML file", kResourceElement);
    doc.ResetCursor();
    return;
  }
  doc.EnterElement();
  while (doc.FindElement(L"String")) {
    if (doc.AttributeValue(L"Lang") == code && doc.AttributeValue(L"SID") == id) {
      doc.ResetCursor();
      return;
    }
  }
  doc.LeaveElement();  // back on "Resource", the last String as the child to append after
  if (doc.AppendChildElement(L"String", value)) {
    table.modified = true;
    uint32_t added = doc.ChildIndex();
    doc.SetAttributeValue(added, L"SID", id);
    doc.SetAttributeValue(added, L"Lang", code);
  }
  doc.ResetCursor();
}

bool WriteLanguageFile(const std::wstring& folder) { return WriteLanguageFile(folder, LanguageTable()); }

bool WriteLanguageFile(const std::wstring& folder, StringTable& table) {
  std::lock_guard guard(StringTableLock::Of(table));
  if (!table.modified || !table.document.HasElement()) return false;
  try {
    if (!WriteWholeFile(folder + L"LanguageFile.xml", WideToUtf16Le(table.document.Document()))) return false;
  } catch (...) {
    table.error.Report(L"WriteLanguageFile(): Exception(%s)", ExceptionCodeName(CurrentFaultCode()));
    return false;
  }
  table.modified = false;
  return true;
}

// ---- byte sizes ---------------------------------------------------------------------------

const wchar_t* FormatByteSize(double size) { return FormatByteSize(size, LanguageTable()); }

const wchar_t* FormatByteSize(double size, StringTable& table) {
  thread_local std::array<wchar_t, 256> buffer;
  std::wstring text;
  if (size >= 1e12) {
    text = FormatPrintf(L"%.2f%s", size / 1099511627776.0, GetString(false, L"IDS_TB", table));
  } else if (size >= 1e9) {
    text = FormatPrintf(L"%.2f%s", size / 1073741824.0, GetString(false, L"IDS_GB", table));
  } else if (size >= 1e6) {
    text = FormatPrintf(L"%.2f%s", size / 1048576.0, GetString(false, L"IDS_MB", table));
  } else if (size >= 1000) {
    text = FormatPrintf(L"%.2f%s", size / 1024.0, GetString(false, L"IDS_KB", table));
  } else if (size > 0) {
    text = FormatPrintf(L"%.0f%s", size, GetString(false, L"IDS_BYTES", table));
  } else {
    text = FormatPrintf(L"0%s", GetString(false, L"IDS_BYTES", table));
  }
  size_t length = std::min(text.size(), buffer.size() - 1);
  std::wmemcpy(buffer.data(), text.data(), length);
  buffer[length] = L'\0';
  return buffer.data();
}

}  // namespace tessaly
