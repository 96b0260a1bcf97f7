// The persistent settings: every registry key and value name that either deliverable reads,
// writes or deletes lives here, behind typed accessors over a SettingsStore (the registry on
// Windows, a file-backed store elsewhere, an in-memory store in tests). No other code names a
// registry path or value.
//
// Reads follow the rules of the registry calls they stand for: a value that cannot be read, or
// that does not fit the buffer its reader uses, counts as absent and the consumer's default
// applies. Writes report success; a failed write is simply not remembered.
#pragma once

#include "SettingsStore.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessaly {

// The program's own key (HKCU) and its subkey of blocked programs. Registry paths ignore case;
// the two spellings of "SOFTWARE" in the program name one key.
inline constexpr const wchar_t* kProgramSettingsKey = L"SOFTWARE\\Morvane Software\\Tessaly";
inline constexpr const wchar_t* kBlockedProgramsKey = L"Software\\Morvane Software\\Tessaly\\Blocked P2p Programs";

// Keys of P2P clients whose values name shared folders (HKCU, read only, every value enumerated).
inline constexpr const wchar_t* kKazaaLocalContentKey = L"software\\kazaa\\localcontent";
inline constexpr const wchar_t* kGroksterLocalContentKey = L"software\\grokster\\localcontent";
inline constexpr const wchar_t* kImeshLocalContentKey = L"software\\imesh\\client\\localcontent";
inline constexpr const wchar_t* kImesh5LocalContentKey = L"software\\imesh\\imesh5\\client\\localcontent";
inline constexpr const wchar_t* kImeshGeneralKey = L"software\\imesh\\general";

// The four size limits of the options dialog; each value name is also the configuration key
// that supplies the default.
enum class SizeSetting { MinMusic, MaxMusic, MinVideo, MaxVideo };
const wchar_t* SizeSettingName(SizeSetting which);
inline constexpr SizeSetting kSizeSettings[] = {SizeSetting::MinMusic, SizeSetting::MaxMusic, SizeSetting::MinVideo,
                                                SizeSetting::MaxVideo};

// One value of the blocked-programs subkey.
struct BlockEntry {
  std::wstring fileName;  // the program's executable name, without folder
  std::wstring data;      // "Block: <signature number>" as the blocking command wrote it
};

// The display name used when nothing else chooses a language.
inline constexpr const wchar_t* kDefaultLanguage = L"English(UK)";

class Settings {
 public:
  explicit Settings(SettingsStore& store) : reader_(&store), writer_(&store) {}
  // Read-only access: every write returns false.
  explicit Settings(const SettingsStore& store) : reader_(&store), writer_(nullptr) {}

  // ---- language -------------------------------------------------------------------------------
  // "Language" (HKCU): the display name the installer stored; a text of 3 characters or fewer
  // counts as absent.
  std::optional<std::wstring> Language() const;
  bool SetLanguage(const std::wstring& displayName);
  // As the installer stores it: the characters without a terminating zero.
  bool SetInstallerLanguage(const std::wstring& displayName);
  // The "Language" text as stored, short or not; nullopt when it cannot be read.
  std::optional<std::wstring> LanguageText() const;
  // "lang" (HKLM "SOFTWARE\MvParental\Option"): the language module of the older product; 3
  // characters or fewer count as absent.
  std::optional<std::wstring> LanguageModule() const;
  // The display name of a language module ("GermanLang.dll" -> "German", case ignored); any
  // other name gives "English(UK)".
  static std::wstring LanguageForModule(std::wstring_view moduleName);
  // The start-up choice: "Language", else the mapped "lang" module, else "English(UK)".
  std::wstring ChooseLanguage() const;

  // ---- update check ---------------------------------------------------------------------------
  // "LastCheck_Date" ("%02d-%02d-%04d": month, day, year) and "LastCheck_Time" ("%02d:%02d:%02d").
  std::optional<std::wstring> LastCheckDate() const;
  std::optional<std::wstring> LastCheckTime() const;
  bool SetLastCheck(const std::wstring& date, const std::wstring& time);

  // ---- welcome dialog -------------------------------------------------------------------------
  // "DontShowWelcome": true when it reads "true" in any letter case.
  bool DontShowWelcome() const;
  bool SetDontShowWelcome(bool dontShow);  // writes "True" or "False"

  // ---- size limits (MB) -----------------------------------------------------------------------
  // The user's value read as _wtoi does, when it is there and at least 1.
  std::optional<int32_t> SizeLimit(SizeSetting which) const;
  // SizeLimit, else the configuration's value (read the same way).
  int32_t SizeLimitOr(SizeSetting which, std::wstring_view configured) const;
  // Stores the text as the user typed it.
  bool SetSizeLimitText(SizeSetting which, const std::wstring& typed);

  // ---- login (REG_BINARY, UTF-16LE without terminator) -----------------------------------------
  std::optional<std::wstring> Password() const;
  bool SetPassword(const std::wstring& password);
  std::optional<std::wstring> PasswordQuestion() const;
  bool SetPasswordQuestion(const std::wstring& question);
  std::optional<std::wstring> PasswordAnswer() const;
  bool SetPasswordAnswer(const std::wstring& answer);
  // "lgon" (HKLM "SOFTWARE\MvParental\Option"): the older product's enciphered password, as the
  // raw bytes of the value.
  std::optional<std::vector<uint8_t>> LegacyLogin() const;

  // ---- blocked programs -----------------------------------------------------------------------
  // Writes "Block: <number>" under the program's file name.
  bool BlockProgram(const std::wstring& fileName, int32_t signatureNumber);
  bool UnblockProgram(const std::wstring& fileName);
  std::optional<std::wstring> BlockValue(const std::wstring& fileName) const;
  // The scan's test: the value is exactly "Block: <number>" for this signature number.
  bool IsBlockedAs(const std::wstring& fileName, int32_t signatureNumber) const;
  // Every text value of the subkey, in the store's order.
  std::vector<BlockEntry> BlockEntries() const;
  // The blocker's test: the data begins with "Block:" in any letter case.
  static bool IsBlockingData(std::wstring_view data);
  static std::wstring BlockData(int32_t signatureNumber);

  // ---- other software (read only) -------------------------------------------------------------
  // The text values of a P2P client's key (one of the k...Key constants above), in order.
  std::vector<std::pair<std::wstring, SettingsValue>> ClientValues(const wchar_t* clientKey) const;
  // Ares: "Download.Folder" of HKCU "Software\Ares", hexadecimal text of ANSI bytes.
  std::optional<std::wstring> AresDownloadFolder() const;
  // "uninstallstring" of HKLM "SOFTWARE\Microsoft\windows\currentversion\uninstall\<program>".
  std::optional<std::wstring> UninstallCommand(const std::wstring& programKey) const;

 private:
  std::optional<std::wstring> ReadText(SettingsRoot root, const wchar_t* key, const std::wstring& name,
                                       size_t byteLimit) const;
  bool WriteText(const wchar_t* key, const std::wstring& name, const std::wstring& text);
  std::optional<std::wstring> ReadBinaryText(const wchar_t* name) const;
  bool WriteBinaryText(const wchar_t* name, const std::wstring& text);

  const SettingsStore* reader_;
  SettingsStore* writer_;
};

}  // namespace tessaly
