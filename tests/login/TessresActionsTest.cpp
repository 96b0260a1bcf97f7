// What the exports do, run on modules of the test's choosing and watched through the log: the
// licence file around the licence dialog, the dialogs' results, the language of the registry,
// the Unicode-layer runtime, the rich-edit library from an installer database, the pending moves.
#include "AnsiCodePage.h"
#include "CaseFold.h"
#include "GuiTestSupport.h"
#include "LanguageResource.h"
#include "LogCapture.h"
#include "RegistryScope.h"
#include "TempTree.h"
#include "TessresActions.h"
#include "WinHandles.h"

#include <gtest/gtest.h>

#include <msiquery.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace tessaly {
namespace {

using test::RegistryScope;

std::string FileBytes(const std::wstring& path) {
  win::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
  if (!file) return "(missing)";
  std::string bytes(GetFileSize(file.get(), nullptr), '\0');
  DWORD read = 0;
  ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  bytes.resize(read);
  return bytes;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class TessresActions : public ::testing::Test {
 protected:
  void SetUp() override {
    tessres_.reset(LoadLibraryW((test::ProgramFolder() + L"Tessres.dll").c_str()));
    ASSERT_TRUE(tessres_);
  }
  win::UniqueModule tessres_;
  RegistryScope language_{SettingsRoot::CurrentUser, test::kOwnKey, L"Language", RegistryScope::Text(L"English(UK)")};
};

TEST_F(TessresActions, LicenceFileLivesOnlyWhileTheLicenceDialogRuns) {
  struct {
    const char* name;
    INT_PTR licence, security;
    UINT result;
    bool securityRuns;
  } cases[] = {
      {"agreed and set", 0, 0, kActionContinue, true},
      {"not agreed", 5, 0, kActionUserExit, false},
      {"licence closed", 1602, 0, kActionUserExit, false},
      {"security cancelled", 0, 5, kActionUserExit, true},
  };
  const std::wstring rtfPath = test::ProgramFolder() + L"Tessres.dll.license";
  for (const auto& c : cases) {
    StringTable table;
    std::wstring seenPath;
    std::string seenBytes;
    bool securityRan = false, licenceGoneBeforeSecurity = false;
    SetupDialogs dialogs{
        [&](const std::wstring& path) {
          seenPath = path;
          seenBytes = FileBytes(path);
          return c.licence;
        },
        [&] {
          securityRan = true;
          licenceGoneBeforeSecurity = !Exists(rtfPath);
          return c.security;
        },
    };
    EXPECT_EQ(RunSecuritySetup(tessres_.get(), table, SystemSettingsStore(), dialogs), c.result) << c.name;
    EXPECT_TRUE(_wcsicmp(seenPath.c_str(), rtfPath.c_str()) == 0) << c.name << ": " << WideToUtf8(seenPath);
    // The RTF text of the current language in the ANSI code page, without a terminating zero.
    const std::string rtf = WideToAnsi(GetString(false, L"IDS_LICENSE_RTFDATA", table));
    EXPECT_EQ(rtf.substr(0, 5), "{\\rtf") << c.name;
    EXPECT_EQ(seenBytes, rtf) << c.name;
    EXPECT_EQ(securityRan, c.securityRuns) << c.name;
    if (c.securityRuns) {
      EXPECT_TRUE(licenceGoneBeforeSecurity) << c.name;
    }
    EXPECT_FALSE(Exists(rtfPath)) << c.name;
  }
}

TEST_F(TessresActions, LanguageComesFromTheRegistry) {
  struct {
    std::optional<std::wstring> stored;
    const wchar_t* code;  // current language afterwards
    const wchar_t* line;  // the debug line
  } cases[] = {
      {L"German", L"DE", L"Setting current language(German)\r\n"},
      {L"Dan", L"UK", L"Setting default language\r\n"},
  };
  for (const auto& c : cases) {
    RegistryScope language(SettingsRoot::CurrentUser, test::kOwnKey, L"Language",
                           c.stored ? std::optional(RegistryScope::Text(*c.stored)) : std::nullopt);
    StringTable table;
    test::LogCapture log;
    EXPECT_EQ(LoadLanguageResources(tessres_.get(), table, SystemSettingsStore()), kActionContinue);
    ASSERT_EQ(table.languages.count, 11u);
    ASSERT_NE(table.currentLanguage, nullptr);
    EXPECT_EQ(table.currentLanguage->code, c.code);
    EXPECT_EQ(log.Count(c.line), 1u) << WideToUtf8(c.line);
  }
  // No value: the table keeps the language it had after loading.
  RegistryScope none(SettingsRoot::CurrentUser, test::kOwnKey, L"Language", std::nullopt);
  StringTable loaded, table;
  std::optional<std::wstring> xml = ReadLanguageResource(tessres_.get());
  ASSERT_TRUE(xml);
  LoadLanguageXMLData(loaded, *xml);
  ASSERT_NE(loaded.currentLanguage, nullptr);
  test::LogCapture log;
  EXPECT_EQ(LoadLanguageResources(tessres_.get(), table, SystemSettingsStore()), kActionContinue);
  EXPECT_EQ(log.CountContaining(L"language"), 0u);
  ASSERT_NE(table.currentLanguage, nullptr);
  EXPECT_EQ(table.currentLanguage->code, loaded.currentLanguage->code);
}

// Records what is written, for the form of the values.
class RecordingStore final : public SettingsStore {
 public:
  std::optional<SettingsValue> Get(SettingsRoot, const std::wstring&, const std::wstring&) const override { return {}; }
  bool Set(SettingsRoot root, const std::wstring& key, const std::wstring& name, const SettingsValue& value) override {
    written.push_back({root, key, name, value});
    return true;
  }
  bool Delete(SettingsRoot, const std::wstring&, const std::wstring&) override { return true; }
  std::vector<std::pair<std::wstring, SettingsValue>> Values(SettingsRoot, const std::wstring&) const override {
    return {};
  }
  std::vector<std::wstring> SubKeys(SettingsRoot, const std::wstring&) const override { return {}; }
  struct Write {
    SettingsRoot root;
    std::wstring key, name;
    SettingsValue value;
  };
  std::vector<Write> written;
};

TEST_F(TessresActions, SelectedLanguageIsStoredWithoutTerminator) {
  RecordingStore store;
  EXPECT_EQ(StoreSelectedLanguage(0, store), kActionContinue);
  ASSERT_EQ(store.written.size(), 1u);
  const auto& write = store.written[0];
  EXPECT_EQ(write.root, SettingsRoot::CurrentUser);
  EXPECT_TRUE(EqualsNoCase(write.key, test::kOwnKey));
  EXPECT_EQ(write.name, L"Language");
  EXPECT_EQ(write.value.type, SettingsType::String);
  EXPECT_EQ(write.value.text, L"English(UK)");
  EXPECT_FALSE(write.value.terminated);
}

TEST_F(TessresActions, MissingLanguageResourceIsReported) {
  StringTable table;
  test::LogCapture log;
  // The test program carries no language resource.
  EXPECT_EQ(LoadLanguageResources(GetModuleHandleW(nullptr), table, SystemSettingsStore()), kActionContinue);
  EXPECT_EQ(log.CountContaining(L"LoadLanguageResources(): Failed to FindResource, Error("), 1u);
  EXPECT_EQ(table.languages.count, 0u);
}

TEST_F(TessresActions, UnicowsRuntimeIsWrittenUnchangedOrNotAtAll) {
  test::TempTree folder;
  const std::string target = WideToAnsi(folder.RootText());
  const std::wstring written = folder.RootText() + L"\\unicows.dll";
  {
    // Tessres.dll of this build was given no runtime: reported, and no file is made.
    test::LogCapture log;
    EXPECT_FALSE(WriteUnicowsRuntime(tessres_.get(), target));
    EXPECT_EQ(log.CountContaining(L"LoadLanguageResources(): Failed to FindResource, Error("), 1u);
    EXPECT_FALSE(Exists(written));
  }
  // The test program carries a stand-in as resource 3.
  EXPECT_TRUE(WriteUnicowsRuntime(GetModuleHandleW(nullptr), target));
  std::ifstream standIn(TESSALY_SOURCE_DIR "/tests/login/UnicowsStandIn.bin", std::ios::binary);
  const std::string expected((std::istreambuf_iterator<char>(standIn)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(FileBytes(written), expected);
  // A folder that cannot take the file.
  test::LogCapture log;
  EXPECT_FALSE(WriteUnicowsRuntime(GetModuleHandleW(nullptr), target + "\\no such folder"));
  EXPECT_EQ(log.CountContaining(L"LoadLanguageResources(): Failed to LockResource, Error("), 1u);
}

// An installer database with a Binary table, holding the given streams by name.
std::wstring MakeDatabase(const std::wstring& folder, const std::vector<std::pair<std::wstring, std::string>>& streams) {
  const std::wstring path = folder + L"\\setup.msi";
  MSIHANDLE database = 0;
  EXPECT_EQ(MsiOpenDatabaseW(path.c_str(), MSIDBOPEN_CREATE, &database), static_cast<UINT>(ERROR_SUCCESS));
  MSIHANDLE view = 0;
  MsiDatabaseOpenViewW(database,
                       L"CREATE TABLE `Binary` (`Name` CHAR(72) NOT NULL, `Data` OBJECT NOT NULL PRIMARY KEY `Name`)",
                       &view);
  EXPECT_EQ(MsiViewExecute(view, 0), static_cast<UINT>(ERROR_SUCCESS));
  MsiCloseHandle(view);
  for (const auto& [name, bytes] : streams) {
    const std::wstring source = folder + L"\\" + name + L".bin";
    {
      std::ofstream out(WideToAnsi(source), std::ios::binary);
      out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    MsiDatabaseOpenViewW(database, L"INSERT INTO `Binary` (`Name`, `Data`) VALUES (?, ?)", &view);
    MSIHANDLE record = MsiCreateRecord(2);
    MsiRecordSetStringW(record, 1, name.c_str());
    EXPECT_EQ(MsiRecordSetStreamW(record, 2, source.c_str()), static_cast<UINT>(ERROR_SUCCESS));
    EXPECT_EQ(MsiViewExecute(view, record), static_cast<UINT>(ERROR_SUCCESS));
    MsiCloseHandle(record);
    MsiCloseHandle(view);
  }
  EXPECT_EQ(MsiDatabaseCommit(database), static_cast<UINT>(ERROR_SUCCESS));
  MsiCloseHandle(database);
  return path;
}

TEST_F(TessresActions, RichEditComesOutOfTheDatabaseWhole) {
  test::TempTree folder;
  std::string library(70000, '\0');  // more than one read's worth, with every byte value
  for (size_t i = 0; i < library.size(); ++i) library[i] = static_cast<char>(i * 7 + i / 256);
  const std::wstring path = MakeDatabase(folder.RootText(), {{L"Other", "not this"}, {L"RichEdit20", library}});
  MSIHANDLE database = 0;
  ASSERT_EQ(MsiOpenDatabaseW(path.c_str(), MSIDBOPEN_READONLY, &database), static_cast<UINT>(ERROR_SUCCESS));
  const std::wstring target = folder.RootText() + L"\\riched20.dll";
  EXPECT_TRUE(ExtractFileFromMsi(database, target));
  EXPECT_EQ(FileBytes(target), library);
  {
    test::LogCapture log;
    EXPECT_FALSE(ExtractFileFromMsi(database, folder.RootText() + L"\\no such folder\\riched20.dll"));
    EXPECT_EQ(log.CountContaining(L"ExtractFileFromMsi(): CreateFile(), failed to create file("), 1u);
  }
  MsiCloseHandle(database);

  // A database without the stream.
  test::TempTree other;
  const std::wstring without = MakeDatabase(other.RootText(), {{L"Other", "not this"}});
  ASSERT_EQ(MsiOpenDatabaseW(without.c_str(), MSIDBOPEN_READONLY, &database), static_cast<UINT>(ERROR_SUCCESS));
  test::LogCapture log;
  EXPECT_FALSE(ExtractFileFromMsi(database, other.RootText() + L"\\riched20.dll"));
  EXPECT_EQ(log.CountContaining(L"ExtractFileFromMsi(): MsiViewFetch(), Failed with Error("), 1u);
  EXPECT_FALSE(Exists(other.RootText() + L"\\riched20.dll"));
  MsiCloseHandle(database);
}

// The moves Windows will make at the next start, as the registry lists them.
std::wstring PendingRenames() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_QUERY_VALUE,
                    &key) != ERROR_SUCCESS) {
    return {};
  }
  win::UniqueRegKey owned(key);
  DWORD size = 0;
  if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return {};
  std::wstring text(size / sizeof(wchar_t), L'\0');
  RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size);
  for (wchar_t& c : text) {
    if (c == L'\0') c = L'|';
  }
  return text;
}

TEST_F(TessresActions, UpdatedFilesAreScheduledToReplaceTheProgramFiles) {
  RegistryScope pending(SettingsRoot::LocalMachine, L"System\\CurrentControlSet\\Control\\Session Manager",
                        L"PendingFileRenameOperations", std::nullopt);
  test::TempTree folder;
  const std::wstring program = folder.RootText() + L"\\";
  {
    test::LogCapture log;
    SchedulePendingMoves(program);  // no "UpdatedFiles": nothing happens
    EXPECT_EQ(log.CountContaining(L"pending move"), 0u);
  }
  CreateDirectoryW((program + L"UpdatedFiles").c_str(), nullptr);
  CreateDirectoryW((program + L"UpdatedFiles\\Help").c_str(), nullptr);
  for (const wchar_t* name : {L"Tessaly.exe", L"PCBKDP.DAT"}) {
    std::ofstream(WideToAnsi(program + L"UpdatedFiles\\" + name)) << "new";
  }
  test::LogCapture log;
  SchedulePendingMoves(program);
  EXPECT_EQ(log.CountContaining(L"pending move"), 2u) << "the two files, not the folder";
  const std::wstring renames = ToLower(PendingRenames());
  for (const wchar_t* name : {L"Tessaly.exe", L"PCBKDP.DAT"}) {
    const std::wstring source = program + L"UpdatedFiles\\" + name;
    EXPECT_EQ(log.Count(L"Tessres: File added for pending move: " + source + L"\r\n"), 1u) << WideToUtf8(name);
    EXPECT_NE(renames.find(ToLower(std::wstring(L"UpdatedFiles\\") + name)), std::wstring::npos) << WideToUtf8(name);
    EXPECT_TRUE(Exists(source)) << "moved only at the next start";
  }
  EXPECT_EQ(renames.find(L"updatedfiles\\help"), std::wstring::npos);
}

}  // namespace
}  // namespace tessaly
