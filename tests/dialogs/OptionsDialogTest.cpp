// The options dialog from the Tools menu of the real main window: what it shows, what OK stores
// (as typed, an emptied field nothing), which stored values the running program takes over, and
// that the next scan uses them.
#include "DialogDriver.h"
#include "GuiTestSupport.h"

#include "Framework.h"
#include "MvComboBox.h"
#include "ProgramWindow.h"
#include "SettingsStore.h"
#include "SharedProperties.h"
#include "TempTree.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <optional>

namespace tessaly {
namespace {

constexpr wchar_t kOwnKey[] = L"SOFTWARE\\Morvane Software\\Tessaly";
constexpr int kOptionsCommand = 1037;
constexpr int kStartScanCommand = 1027;
constexpr int kEdits[4] = {1024, 1027, 1031, 1034};
constexpr const wchar_t* kNames[4] = {L"SETTINGS_MINMUSICFILESIZE", L"SETTINGS_MAXMUSICFILESIZE",
                                      L"SETTINGS_MINVIDEOFILESIZE", L"SETTINGS_MAXVIDEOFILESIZE"};
constexpr const wchar_t* kProperties[4] = {property::kMinSoundSize, property::kMaxSoundSize, property::kMinVideoSize,
                                           property::kMaxVideoSize};

class OptionsDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(test::ShippedLanguage().languages.count, 0u) << "Tessres.dll not found";
    Store(0, L"3");  // the user's minimum for music; the others come from the configuration
    ProgramWindowSetup setup;
    setup.language = &test::ShippedLanguage();
    setup.configuration = &test::ShippedConfiguration();
    setup.settings = &settings_;
    setup.programFolder = programFolder_.RootText() + L"\\";
    setup.hidden = true;
    setup.volumes = [] { return std::make_unique<test::NoDrives>(); };
    setup.scanDoneWizard = false;
    window_ = std::make_unique<ProgramWindow>(std::move(setup));
    ASSERT_TRUE(window_->Create());
    hwnd_ = window_->Window().hwnd;
    ASSERT_TRUE(test::PumpUntil([this] { return window_->VolumesEnumerated(); }));
  }
  void TearDown() override {
    if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    window_.reset();
  }

  void Store(int field, const wchar_t* text) {
    SettingsValue value;
    value.text = text;
    settings_.Set(SettingsRoot::CurrentUser, kOwnKey, kNames[field], value);
  }
  std::optional<std::wstring> Stored(int field) const {
    return settings_.GetText(SettingsRoot::CurrentUser, kOwnKey, kNames[field]);
  }
  uint32_t Limit(int field) const { return NumberProperty(window_->Window().properties, kProperties[field]); }

  // Opens the dialog from the menu, types into the fields given (others keep what they show) and
  // presses button; what the four fields showed when it opened.
  std::array<std::wstring, 4> Edit(const std::array<const wchar_t*, 4>& typed, int button = IDOK) {
    std::array<std::wstring, 4> shown;
    test::DialogDriver driver(GetCurrentThreadId(),
                              {{GetString(false, L"IDS_OPTIONS", test::ShippedLanguage()),
                                [&](HWND dialog) {
                                  for (int i = 0; i < 4; ++i) {
                                    wchar_t text[64] = {};
                                    GetDlgItemTextW(dialog, kEdits[i], text, 64);
                                    shown[i] = text;
                                    if (typed[i]) SetDlgItemTextW(dialog, kEdits[i], typed[i]);
                                  }
                                },
                                button}});
    SendMessageW(hwnd_, WM_COMMAND, kOptionsCommand, 0);
    EXPECT_EQ(driver.Finish(), 1) << "the options dialog did not open";
    return shown;
  }

  test::TempTree programFolder_;  // the language file is written back here
  MemorySettingsStore settings_;
  std::unique_ptr<ProgramWindow> window_;
  HWND hwnd_ = nullptr;
};

TEST_F(OptionsDialogTest, OkStoresWhatWasTypedAndTheProgramTakesOverOnlyValuesAbove0) {
  EXPECT_EQ(Edit({nullptr, nullptr, nullptr, nullptr}, IDCANCEL),
            (std::array<std::wstring, 4>{L"3", L"2000", L"1", L"102400"}));
  EXPECT_EQ(Stored(1), std::nullopt) << "Cancel stores nothing";

  struct {
    const char* name;
    std::array<const wchar_t*, 4> typed;
    int button;
    std::array<const wchar_t*, 4> stored;  // null: no value
    std::array<uint32_t, 4> limits;
  } cases[] = {
      {"emptied minimum", {L"", nullptr, nullptr, nullptr}, IDOK, {L"3", L"2000", L"1", L"102400"}, {3, 2000, 1, 102400}},
      {"minimum 0", {L"0", nullptr, nullptr, nullptr}, IDOK, {L"0", L"2000", L"1", L"102400"}, {3, 2000, 1, 102400}},
      {"new limits", {L"7", nullptr, L"", L"50"}, IDOK, {L"7", L"2000", L"1", L"50"}, {7, 2000, 1, 50}},
      {"cancelled", {L"9", L"9", L"9", L"9"}, IDCANCEL, {L"7", L"2000", L"1", L"50"}, {7, 2000, 1, 50}},
      {"closed", {L"9", L"9", L"9", L"9"}, 0, {L"7", L"2000", L"1", L"50"}, {7, 2000, 1, 50}},
      {"minimum above maximum", {L"5000", L"10", nullptr, nullptr}, IDOK, {L"5000", L"10", L"1", L"50"}, {5000, 10, 1, 50}},
  };
  for (const auto& c : cases) {
    Edit(c.typed, c.button);
    for (int i = 0; i < 4; ++i) {
      EXPECT_EQ(Stored(i), c.stored[i] ? std::optional<std::wstring>(c.stored[i]) : std::nullopt) << c.name << " " << i;
      EXPECT_EQ(Limit(i), c.limits[i]) << c.name << " " << i;
    }
  }
  // The dialog shows the limits in force, not a stored "0".
  Edit({L"0", nullptr, nullptr, nullptr});
  EXPECT_EQ(Edit({nullptr, nullptr, nullptr, nullptr}, IDCANCEL)[0], L"5000");
}

TEST_F(OptionsDialogTest, TheNextScanUsesTheNewMinimum) {
  test::TempTree tree;
  tree.AddFileOfSize(L"two.mp3", 2u << 20);
  tree.AddFileOfSize(L"five.mp3", 5u << 20);
  auto scan = [&] {
    MvComboBox* path = FindComboBox(L"IDC_CBOX_SEARCHPATH");
    SetWindowTextW(path->hwnd, tree.RootText().c_str());
    SendMessageW(hwnd_, WM_COMMAND, kStartScanCommand, 0);
    EXPECT_TRUE(test::PumpUntil(
        [&] { return window_->ScanProgress()->FinishedShown() && !window_->Scan()->IsRunning(); }, 20000));
    return window_->Scan()->MusicCount();
  };
  EXPECT_EQ(scan(), 1u) << "only the 5 MB file lies above the stored minimum of 3 MB";
  Edit({L"1", nullptr, nullptr, nullptr});
  EXPECT_EQ(scan(), 2u);
  Edit({L"0", nullptr, nullptr, nullptr});
  EXPECT_EQ(scan(), 2u) << "a stored 0 leaves the minimum as it was";
  Edit({L"4", nullptr, nullptr, nullptr});
  EXPECT_EQ(scan(), 1u);
}

}  // namespace
}  // namespace tessaly
