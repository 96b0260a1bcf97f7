#include "ScanRecords.h"

#include "Paths.h"

namespace tessaly {

std::shared_ptr<ScanFolder> ScanFolder::MakeRoot(std::wstring path) {
  auto root = std::make_shared<ScanFolder>();
  root->name = std::move(path);
  return root;
}

std::shared_ptr<ScanFolder> ScanFolder::MakeChild(const std::shared_ptr<ScanFolder>& parent, std::wstring name,
                                                  int32_t kind, bool keepTree) {
  auto child = std::make_shared<ScanFolder>();
  child->name = std::move(name);
  child->kind = kind;
  child->parent = parent.get();
  if (!keepTree) child->parentRef = parent;
  return child;
}

const std::wstring& ScanFolder::FullPath() const {
  if (!fullPath_.empty()) return fullPath_;
  std::vector<const ScanFolder*> chain;
  for (const ScanFolder* f = this; f; f = f->parent) chain.push_back(f);
  std::wstring path;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    path += (*it)->name;
    if (path.empty() || path.back() != kPathSeparator) path += kPathSeparator;
  }
  switch (kind) {
    case kIsoImage: path += L"::ISO::"; break;
    case kRarArchive: path += L"::RAR::"; break;
    case kZipArchive: path += L"::ZIP::"; break;
    default: break;
  }
  fullPath_ = std::move(path);
  return fullPath_;
}

std::wstring FullPath(const ScanFolder* folder) {
  return folder ? folder->FullPath() : L"{Failed to get full folderpath}";
}

const std::wstring& ScanFile::FilePath() {
  if (!folder) {
    pathCache = L"{Failed to get path}";
  } else {
    pathCache = folder->FullPath();
    pathCache += name;
  }
  return pathCache;
}

MvLinkedList& ScanFile::Properties() {
  if (!properties) properties = std::make_unique<MvLinkedList>();
  return *properties;
}

bool ScanFile::OpenReader() {
  if (reader.IsOpen()) return reader.Seek(0);
  if (openFolder) {
    reader = openFolder->OpenFile(name, FilePath());
  } else {
    reader = FileHandle::OpenForRead(FilePath());
  }
  return reader.IsOpen();
}

size_t ScanFile::Read(void* buffer, size_t count) { return reader.Read(buffer, count); }

bool ScanFile::Seek(uint64_t offset) { return reader.Seek(offset); }

void ScanFile::CloseReader() { reader.Close(); }

std::unique_ptr<ScanFile> ScanFile::Keep() {
  if (ownedByTree || kept) return nullptr;
  kept = true;
  return std::unique_ptr<ScanFile>(this);
}

}  // namespace tessaly
