// Window benchmark (Windows build, under Wine and Xvfb): a full scan of TREE from the real main
// window, against tessaly-scan.exe over the same tree in the same run, and the longest time the
// user-interface thread went without handling its 20 ms timer while the window scanned.
//   window-bench TREE TESSALY-SCAN.EXE [RUNS]
#include "GuiTestSupport.h"

#include "Framework.h"
#include "MvComboBox.h"
#include "ProgramWindow.h"
#include "SettingsStore.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace tessaly {
namespace {

using Clock = std::chrono::steady_clock;

// The worst gap between two timer messages; the timer procedure runs in any message loop of
// this thread, the modal ones too.
Clock::time_point lastTick;
Clock::duration worstGap{};
bool timing = false;

void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  const Clock::time_point now = Clock::now();
  if (timing) worstGap = std::max(worstGap, now - lastTick);
  lastTick = now;
}

double Seconds(const FILETIME& t) {
  return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
}

// User + kernel seconds of a thread or a process so far (0 when the call fails).
double ThreadCpu(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  if (!GetThreadTimes(thread, &created, &exited, &kernel, &user)) return 0;
  return Seconds(kernel) + Seconds(user);
}
double ProcessCpu(HANDLE process) {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return Seconds(kernel) + Seconds(user);
}

// The program's own loop waits for messages rather than polling: dispatch until done(), waking
// as soon as a message arrives (or every 5 ms to look at done()).
void PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
  const Clock::time_point end = Clock::now() + limit;
  while (!done() && Clock::now() < end) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

struct WindowRun {
  double seconds = 0;
  uint32_t files = 0;
  double worstGapMs = 0;
  double uiCpu = 0;       // the user-interface thread's CPU seconds during the scan
  double processCpu = 0;  // the whole process's, all threads
};

WindowRun ScanFromWindow(const std::wstring& tree) {
  MemorySettingsStore settings;
  ProgramWindowSetup setup;
  setup.language = &test::ShippedLanguage();
  setup.configuration = &test::ShippedConfiguration();
  setup.settings = &settings;
  setup.programFolder = test::ProgramFolder();
  setup.volumes = [] { return std::make_unique<test::NoDrives>(); };
  setup.scanDoneWizard = false;  // the wizard would wait for the user at the end of each run
  ProgramWindow window(std::move(setup));
  WindowRun run;
  if (!window.Create()) return run;
  HWND hwnd = window.Window().hwnd;
  ShowWindow(hwnd, SW_SHOW);
  PumpUntil([&] { return window.VolumesEnumerated(); }, std::chrono::seconds(20));
  MvComboBox* path = FindComboBox(L"IDC_CBOX_SEARCHPATH");
  if (path) SetWindowTextW(path->hwnd, tree.c_str());

  const UINT_PTR timer = SetTimer(nullptr, 0, 20, OnTimer);
  lastTick = Clock::now();
  worstGap = {};
  timing = true;
  const double uiCpuBefore = ThreadCpu(GetCurrentThread());
  const double processCpuBefore = ProcessCpu(GetCurrentProcess());
  const Clock::time_point start = Clock::now();
  SendMessageW(hwnd, WM_COMMAND, 1027, 0);  // "IDS_STARTSCAN"
  PumpUntil([&] { return window.ScanProgress()->FinishedShown() && !window.Scan()->IsRunning(); },
            std::chrono::hours(1));
  run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
  run.uiCpu = ThreadCpu(GetCurrentThread()) - uiCpuBefore;
  run.processCpu = ProcessCpu(GetCurrentProcess()) - processCpuBefore;
  timing = false;
  KillTimer(nullptr, timer);
  run.files = window.Scan()->FilesChecked();
  run.worstGapMs = std::chrono::duration<double, std::milli>(worstGap).count();
  DestroyWindow(hwnd);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
  }
  return run;
}

struct CommandLineRun {
  double seconds = -1;  // negative when it failed
  double cpu = 0;
};

// tessaly-scan.exe over tree as a whole process.
CommandLineRun ScanFromCommandLine(const std::wstring& exe, const std::wstring& tree) {
  CommandLineRun run;
  std::wstring command = L"\"" + exe + L"\" \"" + tree + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  // Inheritable, or the scanner's writes to its standard output fail (and it exits 1).
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  startup.hStdOutput = startup.hStdError = nul;
  PROCESS_INFORMATION process{};
  const Clock::time_point start = Clock::now();
  const BOOL started = CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                      nullptr, &startup, &process);
  if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
  if (!started) return run;
  WaitForSingleObject(process.hProcess, INFINITE);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  run.cpu = ProcessCpu(process.hProcess);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (code != 0) std::fprintf(stderr, "window-bench: tessaly-scan.exe exited with %lu\n", code);
  if (code == 0) run.seconds = seconds;
  return run;
}

}  // namespace
}  // namespace tessaly

int wmain(int argc, wchar_t** argv) {
  using namespace tessaly;
  if (argc < 3) {
    std::fprintf(stderr, "usage: window-bench TREE TESSALY-SCAN.EXE [RUNS]\n");
    return 2;
  }
  const std::wstring tree = argv[1];
  const std::wstring exe = argv[2];
  const int runs = argc > 3 ? std::max(1, _wtoi(argv[3])) : 3;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  if (test::ShippedLanguage().languages.count == 0) {
    std::fprintf(stderr, "window-bench: Tessres.dll not found beside Tessaly.exe\n");
    return 1;
  }

  double bestWindow = 1e300, bestCli = 1e300, worstGap = 0;
  double leastWindowCpu = 1e300, leastCliCpu = 1e300, leastUiCpu = 1e300;
  uint32_t files = 0;
  for (int i = 0; i < runs; ++i) {
    const WindowRun run = ScanFromWindow(tree);
    const CommandLineRun cliRun = ScanFromCommandLine(exe, tree);
    const double cli = cliRun.seconds;
    if (run.files == 0 || cli < 0) {
      std::fprintf(stderr, "window-bench: a scan failed (window files %u, command line %.3f s)\n", run.files, cli);
      return 1;
    }
    files = run.files;
    bestWindow = std::min(bestWindow, run.seconds);
    bestCli = std::min(bestCli, cli);
    worstGap = std::max(worstGap, run.worstGapMs);
    leastWindowCpu = std::min(leastWindowCpu, run.processCpu);
    leastCliCpu = std::min(leastCliCpu, cliRun.cpu);
    leastUiCpu = std::min(leastUiCpu, run.uiCpu);
    std::printf("run %d: window %.3f s (CPU %.3f s, of it the UI thread %.3f s), command line %.3f s (CPU %.3f s), "
                "worst UI gap %.0f ms\n",
                i + 1, run.seconds, run.processCpu, run.uiCpu, cli, cliRun.cpu, run.worstGapMs);
  }
  std::printf("files %u\n", files);
  std::printf("window_files_per_second %.0f\n", files / bestWindow);
  std::printf("command_line_files_per_second %.0f\n", files / bestCli);
  std::printf("ratio %.2f (target >= 0.8)\n", bestCli / bestWindow);
  std::printf("worst_ui_gap_ms %.0f (target <= 250)\n", worstGap);
  // CPU figures hold on a busy machine too, where the wall-time ratio mostly measures the load.
  std::printf("window_cpu_s %.3f ui_thread_cpu_s %.3f command_line_cpu_s %.3f\n", leastWindowCpu, leastUiCpu,
              leastCliCpu);
  return 0;
}
