#include "Settings.h"

#include "DebugLog.h"
#include "TextConvert.h"

#include <cstring>
#include <cwctype>

namespace tessaly {
namespace {

// HKLM key of the older product: its language module and its password.
constexpr const wchar_t* kLegacyOptionKey = L"SOFTWARE\\MvParental\\Option";
constexpr const wchar_t* kAresKey = L"Software\\Ares";
constexpr const wchar_t* kUninstallKey = L"SOFTWARE\\Microsoft\\windows\\currentversion\\uninstall";

// Value names.
constexpr const wchar_t* kLanguageValue = L"Language";
constexpr const wchar_t* kLanguageModuleValue = L"lang";
constexpr const wchar_t* kLegacyLoginValue = L"lgon";
constexpr const wchar_t* kLastCheckDateValue = L"LastCheck_Date";
constexpr const wchar_t* kLastCheckTimeValue = L"LastCheck_Time";
constexpr const wchar_t* kDontShowWelcomeValue = L"DontShowWelcome";
constexpr const wchar_t* kPasswordValue = L"Password";
constexpr const wchar_t* kQuestionValue = L"PQuestion";
constexpr const wchar_t* kAnswerValue = L"PQNanswer";
constexpr const wchar_t* kAresDownloadValue = L"Download.Folder";
constexpr const wchar_t* kUninstallValue = L"uninstallstring";

// Byte sizes of the buffers the readers use; a value with its terminator that does not fit is
// not read. Zero: no limit.
constexpr size_t kLanguageBytes = 256;
constexpr size_t kLastCheckBytes = 64;
constexpr size_t kSizeLimitBytes = 128;
constexpr size_t kLoginBytes = 512;
constexpr size_t kNoLimit = 0;

// A "Language" or "lang" value this short is not a name.
constexpr size_t kShortestName = 4;

constexpr wchar_t kBlockPrefix[] = L"Block:";

wchar_t LowerAscii(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + (L'a' - L'A')) : c; }

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::towlower(static_cast<wint_t>(a[i])) != std::towlower(static_cast<wint_t>(b[i]))) return false;
  }
  return true;
}

// A registry text ends at its first zero, as a reader's zero-filled buffer shows it.
std::wstring UpToZero(const std::wstring& text) { return text.substr(0, text.find(L'\0')); }

SettingsValue TextValue(const std::wstring& text) {
  SettingsValue value;
  value.type = SettingsType::String;
  value.text = text;
  return value;
}

}  // namespace

const wchar_t* SizeSettingName(SizeSetting which) {
  switch (which) {
    case SizeSetting::MinMusic: return L"SETTINGS_MINMUSICFILESIZE";
    case SizeSetting::MaxMusic: return L"SETTINGS_MAXMUSICFILESIZE";
    case SizeSetting::MinVideo: return L"SETTINGS_MINVIDEOFILESIZE";
    case SizeSetting::MaxVideo: return L"SETTINGS_MAXVIDEOFILESIZE";
  }
  return L"";
}

// ---- plumbing -----------------------------------------------------------------------------------

std::optional<std::wstring> Settings::ReadText(SettingsRoot root, const wchar_t* key, const std::wstring& name,
                                               size_t byteLimit) const {
  std::optional<std::wstring> text = reader_->GetText(root, key, name);
  if (!text) return std::nullopt;
  std::wstring value = UpToZero(*text);
  if (byteLimit != kNoLimit && (text->size() + 1) * sizeof(uint16_t) > byteLimit) return std::nullopt;
  return value;
}

bool Settings::WriteText(const wchar_t* key, const std::wstring& name, const std::wstring& text) {
  if (!writer_) return false;
  const bool written = writer_->Set(SettingsRoot::CurrentUser, key, name, TextValue(text));
  if (!written) DebugPrint(L"Settings: could not store %s\r\n", name);
  return written;
}

// Login values: UTF-16LE bytes without terminator, read through a zero-filled buffer.
std::optional<std::wstring> Settings::ReadBinaryText(const wchar_t* name) const {
  std::optional<SettingsValue> value = reader_->Get(SettingsRoot::CurrentUser, kProgramSettingsKey, name);
  if (!value) return std::nullopt;
  std::wstring text;
  if (value->type == SettingsType::Binary) {
    if (value->bytes.size() > kLoginBytes) return std::nullopt;
    for (size_t i = 0; i + 1 < value->bytes.size(); i += 2) {
      text.push_back(static_cast<wchar_t>(value->bytes[i] | (value->bytes[i + 1] << 8)));
    }
  } else if (value->type == SettingsType::String || value->type == SettingsType::ExpandString) {
    if ((value->text.size() + 1) * sizeof(uint16_t) > kLoginBytes) return std::nullopt;
    text = value->text;
  } else {
    return std::nullopt;
  }
  return UpToZero(text);
}

bool Settings::WriteBinaryText(const wchar_t* name, const std::wstring& text) {
  if (!writer_) return false;
  SettingsValue value;
  value.type = SettingsType::Binary;
  for (wchar_t c : text) {
    const auto unit = static_cast<uint16_t>(c);
    value.bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
    value.bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  return writer_->Set(SettingsRoot::CurrentUser, kProgramSettingsKey, name, value);
}

// ---- language -----------------------------------------------------------------------------------

std::optional<std::wstring> Settings::Language() const {
  auto name = LanguageText();
  if (!name || name->size() < kShortestName) return std::nullopt;
  return name;
}

bool Settings::SetLanguage(const std::wstring& displayName) {
  return WriteText(kProgramSettingsKey, kLanguageValue, displayName);
}

bool Settings::SetInstallerLanguage(const std::wstring& displayName) {
  if (!writer_) return false;
  SettingsValue value = TextValue(displayName);
  value.terminated = false;
  return writer_->Set(SettingsRoot::CurrentUser, kProgramSettingsKey, kLanguageValue, value);
}

std::optional<std::wstring> Settings::LanguageText() const {
  return ReadText(SettingsRoot::CurrentUser, kProgramSettingsKey, kLanguageValue, kLanguageBytes);
}

std::optional<std::wstring> Settings::LanguageModule() const {
  auto name = ReadText(SettingsRoot::LocalMachine, kLegacyOptionKey, kLanguageModuleValue, kNoLimit);
  if (!name || name->size() < kShortestName) return std::nullopt;
  return name;
}

std::wstring Settings::LanguageForModule(std::wstring_view moduleName) {
  static constexpr struct {
    const wchar_t* module;
    const wchar_t* language;
  } kModules[] = {
      {L"DanishLang.dll", L"Danish"},   {L"DutchLang.dll", L"Dutch"},     {L"FinnishLang.dll", L"Finnish"},
      {L"GermanLang.dll", L"German"},   {L"ItalianLang.dll", L"Italian"}, {L"PolishLang.dll", L"Polish"},
      {L"SpanishLang.dll", L"Spanish"}, {L"SwedishLang.dll", L"Swedish"}, {L"USLang.dll", L"English(US)"},
  };
  for (const auto& row : kModules) {
    if (EqualsNoCase(moduleName, row.module)) return row.language;
  }
  return kDefaultLanguage;
}

std::wstring Settings::ChooseLanguage() const {
  if (auto name = Language()) return *name;
  if (auto module = LanguageModule()) return LanguageForModule(*module);
  return kDefaultLanguage;
}

// ---- update check and welcome -------------------------------------------------------------------

std::optional<std::wstring> Settings::LastCheckDate() const {
  return ReadText(SettingsRoot::CurrentUser, kProgramSettingsKey, kLastCheckDateValue, kLastCheckBytes);
}

std::optional<std::wstring> Settings::LastCheckTime() const {
  return ReadText(SettingsRoot::CurrentUser, kProgramSettingsKey, kLastCheckTimeValue, kLastCheckBytes);
}

bool Settings::SetLastCheck(const std::wstring& date, const std::wstring& time) {
  const bool dateWritten = WriteText(kProgramSettingsKey, kLastCheckDateValue, date);
  const bool timeWritten = WriteText(kProgramSettingsKey, kLastCheckTimeValue, time);
  return dateWritten && timeWritten;
}

bool Settings::DontShowWelcome() const {
  auto value = ReadText(SettingsRoot::CurrentUser, kProgramSettingsKey, kDontShowWelcomeValue, kNoLimit);
  return value && EqualsNoCase(*value, L"true");
}

bool Settings::SetDontShowWelcome(bool dontShow) {
  return WriteText(kProgramSettingsKey, kDontShowWelcomeValue, dontShow ? L"True" : L"False");
}

// ---- size limits --------------------------------------------------------------------------------

std::optional<int32_t> Settings::SizeLimit(SizeSetting which) const {
  auto text = ReadText(SettingsRoot::CurrentUser, kProgramSettingsKey, SizeSettingName(which), kSizeLimitBytes);
  if (!text) return std::nullopt;
  const int32_t value = ParseDecimal(*text);
  if (value < 1) return std::nullopt;
  return value;
}

int32_t Settings::SizeLimitOr(SizeSetting which, std::wstring_view configured) const {
  return SizeLimit(which).value_or(ParseDecimal(configured));
}

bool Settings::SetSizeLimitText(SizeSetting which, const std::wstring& typed) {
  return WriteText(kProgramSettingsKey, SizeSettingName(which), typed);
}

// ---- login --------------------------------------------------------------------------------------

std::optional<std::wstring> Settings::Password() const { return ReadBinaryText(kPasswordValue); }
bool Settings::SetPassword(const std::wstring& password) { return WriteBinaryText(kPasswordValue, password); }
std::optional<std::wstring> Settings::PasswordQuestion() const { return ReadBinaryText(kQuestionValue); }
bool Settings::SetPasswordQuestion(const std::wstring& question) { return WriteBinaryText(kQuestionValue, question); }
std::optional<std::wstring> Settings::PasswordAnswer() const { return ReadBinaryText(kAnswerValue); }
bool Settings::SetPasswordAnswer(const std::wstring& answer) { return WriteBinaryText(kAnswerValue, answer); }

std::optional<std::vector<uint8_t>> Settings::LegacyLogin() const {
  std::optional<SettingsValue> value = reader_->Get(SettingsRoot::LocalMachine, kLegacyOptionKey, kLegacyLoginValue);
  if (!value) return std::nullopt;
  std::vector<uint8_t> bytes;
  switch (value->type) {
    case SettingsType::Binary:
      bytes = value->bytes;
      break;
    case SettingsType::Dword:
      for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(value->number >> shift));
      break;
    default:  // text types: the stored UTF-16LE bytes with their terminator
      for (wchar_t c : value->text + L'\0') {
        bytes.push_back(static_cast<uint8_t>(static_cast<uint16_t>(c) & 0xFF));
        bytes.push_back(static_cast<uint8_t>(static_cast<uint16_t>(c) >> 8));
      }
      break;
  }
  return bytes;
}

// ---- blocked programs ---------------------------------------------------------------------------

std::wstring Settings::BlockData(int32_t signatureNumber) { return FormatPrintf(L"Block: %d", signatureNumber); }

bool Settings::IsBlockingData(std::wstring_view data) {
  constexpr size_t prefix = std::size(kBlockPrefix) - 1;
  if (data.size() < prefix) return false;
  for (size_t i = 0; i < prefix; ++i) {
    if (LowerAscii(data[i]) != LowerAscii(kBlockPrefix[i])) return false;
  }
  return true;
}

bool Settings::BlockProgram(const std::wstring& fileName, int32_t signatureNumber) {
  if (fileName.empty()) return false;  // an empty name would be the key's default value
  return WriteText(kBlockedProgramsKey, fileName, BlockData(signatureNumber));
}

bool Settings::UnblockProgram(const std::wstring& fileName) {
  if (!writer_ || fileName.empty()) return false;
  return writer_->Delete(SettingsRoot::CurrentUser, kBlockedProgramsKey, fileName);
}

std::optional<std::wstring> Settings::BlockValue(const std::wstring& fileName) const {
  if (fileName.empty()) return std::nullopt;
  return ReadText(SettingsRoot::CurrentUser, kBlockedProgramsKey, fileName, kNoLimit);
}

bool Settings::IsBlockedAs(const std::wstring& fileName, int32_t signatureNumber) const {
  auto value = BlockValue(fileName);
  return value && *value == BlockData(signatureNumber);
}

std::vector<BlockEntry> Settings::BlockEntries() const {
  std::vector<BlockEntry> entries;
  for (const auto& [name, value] : reader_->Values(SettingsRoot::CurrentUser, kBlockedProgramsKey)) {
    if (value.type != SettingsType::String && value.type != SettingsType::ExpandString) continue;
    entries.push_back({name, UpToZero(value.text)});
  }
  return entries;
}

// ---- other software -----------------------------------------------------------------------------

std::vector<std::pair<std::wstring, SettingsValue>> Settings::ClientValues(const wchar_t* clientKey) const {
  return reader_->Values(SettingsRoot::CurrentUser, clientKey);
}

std::optional<std::wstring> Settings::AresDownloadFolder() const {
  return ReadText(SettingsRoot::CurrentUser, kAresKey, kAresDownloadValue, kNoLimit);
}

std::optional<std::wstring> Settings::UninstallCommand(const std::wstring& programKey) const {
  // One subkey name: a backslash would reach into another key.
  if (programKey.empty() || programKey.find(L'\\') != std::wstring::npos) return std::nullopt;
  return ReadText(SettingsRoot::LocalMachine, (std::wstring(kUninstallKey) + L"\\" + programKey).c_str(),
                  kUninstallValue, kNoLimit);
}

}  // namespace tessaly
