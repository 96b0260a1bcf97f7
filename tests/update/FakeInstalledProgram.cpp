// Stands in for the installed program (and, renamed, for Updater.exe) in the hand-over tests.
//
//   hold MUTEX   the running program: owns MUTEX, launches the updater through MvUpdater, waits a
//                moment, notes data.txt as it is just before it lets the mutex go, then ends
//   -silent      the restarted program: notes its command line in restarted.txt, and whether the
//                mutex of the hand-over test was free for it
//   MutexCode=…  started as Updater.exe: notes its command line and working folder
#include "MvUpdater.h"
#include "SystemInfo.h"
#include "TextConvert.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

std::wstring Folder() { return tessaly::ModuleFolder(); }

void Note(const std::wstring& name, const std::wstring& text) {
  std::ofstream out(std::filesystem::path(Folder() + name), std::ios::binary);
  out << tessaly::WideToUtf8(text);
}

std::wstring ReadText(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return tessaly::Utf8ToWide(text.str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring first = argc > 1 ? argv[1] : L"";
  if (first.starts_with(L"MutexCode=")) {
    wchar_t directory[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, directory);
    Note(L"launch-record.txt", std::wstring(GetCommandLineW()) + L"\n" + directory);
    return 0;
  }
  if (first == L"-silent") {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, L"TessalyHandOverTestMutex");
    bool free = mutex && GetLastError() != ERROR_ALREADY_EXISTS;
    Note(L"restarted.txt", std::wstring(GetCommandLineW()) + L"\n" + (free ? L"free" : L"taken"));
    if (mutex) CloseHandle(mutex);
    return 0;
  }
  if (first == L"hold" && argc > 2) {
    HANDLE mutex = CreateMutexW(nullptr, TRUE, argv[2]);
    tessaly::UpdaterOptions options;
    options.programFolder = Folder();
    tessaly::MvUpdater updater(L"http://127.0.0.1:9/unused.xml", options);
    bool launched = updater.LaunchUpdater(argv[2], Folder() + L"Tessaly.exe");
    Note(L"launched.txt", launched ? L"true" : L"false");
    Sleep(1500);  // the updater must wait for us
    Note(L"before-release.txt", ReadText(Folder() + L"data.txt"));
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    return 0;
  }
  return 2;
}
