// At 144 DPI the main window's toolbar, combo row and status bar must not overlap and the
// toolbar's and combo boxes' texts must fit. The DPI is read once per process, so the check runs
// in a child process started while the registry says 144.
#include "GuiTestSupport.h"

#include "Framework.h"
#include "MvComboBox.h"
#include "MvStatusBar.h"
#include "MvToolBar.h"
#include "ProgramWindow.h"
#include "SettingsStore.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <optional>

namespace tessaly {
namespace {

constexpr char kChildVariable[] = "TESSALY_HIGH_DPI_CHILD";

// Where Wine and Windows keep the system DPI.
const std::pair<SettingsRoot, const wchar_t*> kDpiKeys[] = {
    {SettingsRoot::CurrentUser, L"Control Panel\\Desktop"},
    {SettingsRoot::LocalMachine, L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"},
};

RECT RectIn(HWND parent, HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

TEST(HighDpi, ToolBarComboRowAndStatusBarDoNotOverlap) {
  if (std::getenv(kChildVariable)) GTEST_SKIP() << "the child runs HighDpiChild only";
  std::vector<std::optional<SettingsValue>> saved;
  for (const auto& [root, key] : kDpiKeys) {
    saved.push_back(SystemSettingsStore().Get(root, key, L"LogPixels"));
    SettingsValue dpi;
    dpi.type = SettingsType::Dword;
    dpi.number = 144;
    SystemSettingsStore().Set(root, key, L"LogPixels", dpi);
  }
  wchar_t self[1040] = {};
  GetModuleFileNameW(nullptr, self, 1040);
  std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --gtest_filter=HighDpiChild.*";
  SetEnvironmentVariableA(kChildVariable, "1");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  const bool started =
      CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child);
  SetEnvironmentVariableA(kChildVariable, nullptr);
  DWORD code = 99;
  if (started) {
    WaitForSingleObject(child.hProcess, 60000);
    GetExitCodeProcess(child.hProcess, &code);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
  }
  for (size_t i = 0; i < saved.size(); ++i) {
    const auto& [root, key] = kDpiKeys[i];
    if (saved[i]) {
      SystemSettingsStore().Set(root, key, L"LogPixels", *saved[i]);
    } else {
      SystemSettingsStore().Delete(root, key, L"LogPixels");
    }
  }
  ASSERT_TRUE(started);
  EXPECT_EQ(code, 0u) << "the child's checks failed (its output is above)";
}

TEST(HighDpiChild, Layout) {
  if (!std::getenv(kChildVariable)) GTEST_SKIP() << "runs in the child of HighDpi";
  ASSERT_EQ(SystemDpiScale().Dpi(), 144);
  MemorySettingsStore settings;
  ProgramWindowSetup setup;
  setup.language = &test::ShippedLanguage();
  setup.configuration = &test::ShippedConfiguration();
  setup.settings = &settings;
  setup.programFolder = test::ProgramFolder();
  setup.hidden = false;
  // The longest texts: German.
  ASSERT_EQ(SelectLanguage(test::ShippedLanguage(), L"German"), 1);
  ProgramWindow window(std::move(setup));
  ASSERT_TRUE(window.Create());
  window.ShowAtStart();
  HWND main = window.Window().hwnd;

  LOGFONTW font{};
  ASSERT_TRUE(GetObjectW(window.UiFont(), sizeof font, &font));
  EXPECT_EQ(font.lfHeight, 20);  // 13 at 96 DPI

  MvToolBar* toolBar = FindToolBar();
  MvComboBox* path = FindComboBox(L"IDC_CBOX_SEARCHPATH");
  MvComboBox* filter = FindComboBox(L"IDC_CBOX_SEARCHFILTER");
  MvStatusBar* statusBar = FindStatusBar();
  ASSERT_TRUE(toolBar && path && filter && statusBar);
  const RECT bar = RectIn(main, toolBar->hwnd);
  const RECT pathRect = RectIn(main, path->hwnd);
  const RECT filterRect = RectIn(main, filter->hwnd);
  const RECT status = RectIn(main, statusBar->hwnd);
  EXPECT_LE(bar.bottom, pathRect.top);
  EXPECT_LE(bar.bottom, filterRect.top);
  EXPECT_LE(pathRect.bottom, status.top);
  EXPECT_LE(pathRect.right, filterRect.left + 1);

  // Every toolbar button holds its image and its whole text.
  win::ScopedGetDC dc(toolBar->hwnd);
  win::ScopedSelectObject select(dc.get(), window.UiFont());
  const int image = ToolBarImageSize();
  EXPECT_EQ(image, 48);
  const int count = static_cast<int>(SendMessageW(toolBar->hwnd, TB_BUTTONCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    TBBUTTON button{};
    SendMessageW(toolBar->hwnd, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
    if (button.fsStyle & BTNS_SEP) continue;
    wchar_t text[256] = {};
    SendMessageW(toolBar->hwnd, TB_GETBUTTONTEXTW, button.idCommand, reinterpret_cast<LPARAM>(text));
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), text, static_cast<int>(wcslen(text)), &extent);
    RECT rect{};
    SendMessageW(toolBar->hwnd, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
    EXPECT_GE(rect.right - rect.left, image + extent.cx) << i;
    EXPECT_GE(rect.bottom - rect.top, std::max<int>(image, extent.cy)) << i;
    EXPECT_LE(rect.bottom, bar.bottom - bar.top) << i;
  }
  // The combo boxes' fields are tall enough for their font.
  for (MvComboBox* combo : {path, filter}) {
    const LRESULT field = SendMessageW(combo->hwnd, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    EXPECT_GE(field, 16) << std::wstring(combo->name).c_str();
  }
  DestroyWindow(main);
}

}  // namespace
}  // namespace tessaly
