#include "ScanRecords.h"

#include "Paths.h"

namespace tessaly {
namespace {

std::wstring AddArchiveMarker(std::wstring path, int32_t kind) {
  switch (kind) {
    case kIsoImage: path += L"::ISO::"; break;
    case kRarArchive: path += L"::RAR::"; break;
    case kZipArchive: path += L"::ZIP::"; break;
    default: break;
  }
  return path;
}

}  // namespace

ScanFolder::~ScanFolder() {
  // A parent whose last owner is this record goes next, after its own parent has been taken from
  // it; so do sub-folders owned by nobody else.
  std::shared_ptr<ScanFolder> up = std::move(parentRef);
  while (up && up.use_count() == 1) up = std::move(up->parentRef);
  std::vector<std::shared_ptr<ScanFolder>> down = std::move(subFolders);
  while (!down.empty()) {
    std::shared_ptr<ScanFolder> child = std::move(down.back());
    down.pop_back();
    if (child && child.use_count() == 1) {
      for (auto& grandChild : child->subFolders) down.push_back(std::move(grandChild));
      child->subFolders.clear();
    }
  }
}

void ScanFolder::DropPathCache() const { std::wstring().swap(fullPath_); }

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
  std::wstring path;
  if (parent && parent->kind == kPlainFolder && !parent->fullPath_.empty()) {
    // The common case in a walk: the parent's path is at hand.
    path.reserve(parent->fullPath_.size() + name.size() + 8);
    path = parent->fullPath_;
    path += name;
    if (path.empty() || path.back() != kPathSeparator) path += kPathSeparator;
    return fullPath_ = AddArchiveMarker(std::move(path), kind);
  }
  std::vector<const ScanFolder*> chain;
  for (const ScanFolder* f = this; f; f = f->parent) chain.push_back(f);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    path += (*it)->name;
    if (path.empty() || path.back() != kPathSeparator) path += kPathSeparator;
  }
  return fullPath_ = AddArchiveMarker(std::move(path), kind);
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
    reader = openFolder->OpenFile(name, FilePath(), followLink);
  } else {
    reader = FileHandle::OpenForRead(FilePath(), followLink);
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
