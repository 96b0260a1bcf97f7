#include "TextFile.h"

#include "FileHandle.h"
#include "TextConvert.h"
#include "Utf16Text.h"

#include <cstdio>
#include <memory>

namespace tessaly {
namespace {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};

FILE* OpenForWrite(const std::wstring& path) {
#ifdef _WIN32
  return _wfopen(path.c_str(), L"wb");
#else
  return std::fopen(WideToNative(path).c_str(), "wb");
#endif
}

}  // namespace

std::optional<std::string> ReadFileBytes(const std::wstring& path) {
  FileHandle file = FileHandle::OpenForRead(path);
  if (!file.IsOpen()) return std::nullopt;
  int64_t size = file.Size();
  if (size < 0) return std::nullopt;
  std::string bytes(static_cast<size_t>(size), '\0');
  bytes.resize(file.Read(bytes.data(), bytes.size()));
  return bytes;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::unique_ptr<FILE, FileCloser> file(OpenForWrite(path));
  if (!file) return false;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size()) return false;
  return std::fflush(file.get()) == 0;
}

bool WriteUtf16LeFile(const std::wstring& path, const std::wstring& text) {
  return WriteFileBytes(path, WideToUtf16Le(text));
}

}  // namespace tessaly
