#include "SharedProperties.h"

#include "ScanRecords.h"

namespace tessaly {
namespace {

void* ValueOf(const MvLinkedList* properties, const wchar_t* name) {
  MvListEntry* entry = properties ? properties->Find(name) : nullptr;
  return entry ? entry->value : nullptr;
}

}  // namespace

void SetProperty(MvLinkedList& properties, const wchar_t* name, void* value) {
  if (MvListEntry* entry = properties.Find(name)) {
    entry->value = value;
  } else {
    properties.Add(name, value, true);
  }
}

MvLinkedList* ListProperty(const MvLinkedList& properties, const wchar_t* name) {
  return static_cast<MvLinkedList*>(ValueOf(&properties, name));
}

uint32_t NumberProperty(const MvLinkedList& properties, const wchar_t* name) {
  return static_cast<uint32_t>(ValueNumber(ValueOf(&properties, name)));
}

bool BooleanProperty(const MvLinkedList& properties, const wchar_t* name) {
  return ValueOf(&properties, name) == kTrue;
}

const P2pSignature* SignatureOf(const ScanFile& file) {
  return static_cast<const P2pSignature*>(ValueOf(file.properties.get(), property::kP2pSignature));
}

ScanFile* BelongingProgramOf(const ScanFile& file) {
  return static_cast<ScanFile*>(ValueOf(file.properties.get(), property::kBelongingP2pProgramFile));
}

bool IsBlocked(const ScanFile& program) {
  return program.properties && BooleanProperty(*program.properties, property::kP2pBlocked);
}

}  // namespace tessaly
