// What the uninstall tests share: a P2P program installed in a folder of its own (a waiting
// stand-in "client.exe" beside a stand-in uninstaller), its scan record with a signature, and the
// helpers beside the test program (TessMon.exe, the stand-ins).
#pragma once

#include "ModuleInfo.h"
#include "P2pSignature.h"
#include "ScanRecords.h"
#include "SharedProperties.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace tessaly::test {

inline std::wstring Beside(const wchar_t* name) { return std::wstring(ModuleFolder()) + name; }

inline std::string ReadFileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A folder holding "client.exe" (the program) and, when named, the stand-in uninstaller.
class InstalledProgram {
 public:
  // folder: a full path ending in a backslash; created, and removed again at the end.
  explicit InstalledProgram(std::wstring folder) : folder_(std::move(folder)) {
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
    EXPECT_TRUE(CopyFileW(Beside(L"UninstallSleeper.exe").c_str(), ClientPath().c_str(), FALSE)) << GetLastError();
  }
  ~InstalledProgram() {
    for (auto& process : running_) {
      TerminateProcess(process.get(), 0);
      WaitForSingleObject(process.get(), 5000);
    }
    running_.clear();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  InstalledProgram(const InstalledProgram&) = delete;
  InstalledProgram& operator=(const InstalledProgram&) = delete;

  const std::wstring& Folder() const { return folder_; }
  std::wstring ClientPath() const { return folder_ + L"client.exe"; }
  bool ClientExists() const { return std::filesystem::exists(ClientPath()); }

  void AddUninstaller(const wchar_t* name) {
    EXPECT_TRUE(CopyFileW(Beside(L"TestUninstaller.exe").c_str(), (folder_ + name).c_str(), FALSE)) << GetLastError();
  }
  // "keep.flag": the uninstaller leaves the program; "relaunch.flag": it relaunches from temp.
  void AddFlag(const wchar_t* name) { std::ofstream(std::filesystem::path(folder_ + name)) << "x"; }

  // The command lines the uninstaller was started with, in order.
  std::vector<std::string> Runs() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadFileText(folder_ + L"ran.txt"));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // Starts client.exe; the handle stays with this object.
  HANDLE StartClient() {
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring line = L"\"" + ClientPath() + L"\"";
    EXPECT_TRUE(CreateProcessW(ClientPath().c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        << GetLastError();
    CloseHandle(pi.hThread);
    running_.emplace_back(pi.hProcess);
    return pi.hProcess;
  }

 private:
  struct Closer {
    void operator()(HANDLE h) const {
      if (h) CloseHandle(h);
    }
  };
  struct Owned {
    explicit Owned(HANDLE h) : handle(h) {}
    HANDLE get() const { return handle.get(); }
    std::unique_ptr<void, Closer> handle;
  };
  std::wstring folder_;
  std::vector<Owned> running_;
};

// The scan record of a P2P program file identified by `signature`.
struct P2pRecord {
  P2pRecord(const std::wstring& folder, const std::wstring& name, const P2pSignature* signature) {
    root = ScanFolder::MakeRoot(folder);
    file.folder = root.get();
    file.name = name;
    if (signature) SetProperty(file.Properties(), property::kP2pSignature, const_cast<P2pSignature*>(signature));
  }
  std::shared_ptr<ScanFolder> root;
  ScanFile file;
};

inline P2pSignature TestSignature(const wchar_t* name, int32_t middleSum = 4711) {
  P2pSignature signature;
  signature.name = name;
  signature.middleSum = middleSum;
  return signature;
}

}  // namespace tessaly::test
