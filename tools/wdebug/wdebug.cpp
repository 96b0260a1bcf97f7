// WDebug: the debug-log viewer. A window titled "WDebug" that shows every line Tessaly sends it by
// WM_COPYDATA (ANSI text with its zero) and, when a file is named on the command line, appends
// each line to that file as it arrives.
//
//   wdebug.exe [LOGFILE]
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kMaxShownLines = 5000;
HWND lineList = nullptr;
FILE* logFile = nullptr;

void ShowLine(const std::string& ansi) {
  std::string shown = ansi;
  while (!shown.empty() && (shown.back() == '\n' || shown.back() == '\r')) shown.pop_back();
  SendMessageA(lineList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(shown.c_str()));
  LRESULT count = SendMessageA(lineList, LB_GETCOUNT, 0, 0);
  if (count > kMaxShownLines) SendMessageA(lineList, LB_DELETESTRING, 0, 0);
  SendMessageA(lineList, LB_SETTOPINDEX, static_cast<WPARAM>(count - 1), 0);
}

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      lineList = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", nullptr,
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0, 0, 0, window,
                                 nullptr, reinterpret_cast<CREATESTRUCTW*>(lParam)->hInstance, nullptr);
      SendMessageW(lineList, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(ANSI_FIXED_FONT)), FALSE);
      return 0;
    case WM_SIZE:
      MoveWindow(lineList, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_COPYDATA: {
      auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (!data || !data->lpData || data->cbData == 0) return FALSE;
      // The sender includes the zero; never trust it to be there.
      std::string line(static_cast<const char*>(data->lpData), data->cbData);
      line.resize(strnlen(line.c_str(), line.size()));
      if (logFile) {
        std::fputs(line.c_str(), logFile);
        std::fflush(logFile);
      }
      ShowLine(line);
      return TRUE;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int showCommand) {
  std::wstring path = commandLine ? commandLine : L"";
  if (!path.empty() && path.front() == L'"') path = path.substr(1, path.find(L'"', 1) - 1);
  if (!path.empty()) {
    logFile = _wfopen(path.c_str(), L"ab");
    if (!logFile) {
      MessageBoxW(nullptr, (L"Cannot open the log file:\n" + path).c_str(), L"WDebug", MB_ICONERROR);
      return 1;
    }
  }
  WNDCLASSW wc{};
  wc.lpfnWndProc = ViewerProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"TessalyDebugViewer";
  RegisterClassW(&wc);
  HWND window = CreateWindowW(L"TessalyDebugViewer", L"WDebug", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                              900, 500, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, showCommand);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (logFile) std::fclose(logFile);
  return 0;
}
