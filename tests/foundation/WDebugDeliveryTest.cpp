// A window titled "WDebug" receives debug lines as ANSI text by WM_COPYDATA.
#include "DebugLog.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tessaly {
namespace {

std::vector<std::string>* received = nullptr;

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA && received) {
    auto* data = reinterpret_cast<COPYDATASTRUCT*>(lParam);
    received->emplace_back(static_cast<const char*>(data->lpData), data->cbData);
    return TRUE;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(WDebugDelivery, ViewerReceivesTheLineInTheAnsiCodePageWithItsZero) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = ViewerProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TessalyTestViewer";
  RegisterClassW(&wc);
  HWND viewer = CreateWindowW(L"TessalyTestViewer", L"WDebug", 0, 0, 0, 10, 10, nullptr, nullptr,
                              wc.hInstance, nullptr);
  ASSERT_NE(viewer, nullptr);
  std::vector<std::string> lines;
  received = &lines;

  DebugPrint(L"Caf\x00E9 %d \x65E5\r\n", 5);

  received = nullptr;
  DestroyWindow(viewer);
  ASSERT_EQ(lines.size(), 1u);
  std::string expected = "Caf";
  char accented[4] = {};
  WideCharToMultiByte(CP_ACP, 0, L"\x00E9", 1, accented, sizeof accented, nullptr, nullptr);
  char unmapped[4] = {};
  WideCharToMultiByte(CP_ACP, 0, L"\x65E5", 1, unmapped, sizeof unmapped, nullptr, nullptr);
  expected += accented;
  expected += " 5 ";
  expected += unmapped;
  expected += "\r\n";
  expected.push_back('\0');
  EXPECT_EQ(lines[0], expected);
}

TEST(WDebugDelivery, WithoutViewerTheLineIsDropped) {
  ASSERT_EQ(FindWindowW(nullptr, L"WDebug"), nullptr);
  DebugPrint(L"nobody listens\r\n");  // must simply return
}

}  // namespace
}  // namespace tessaly
