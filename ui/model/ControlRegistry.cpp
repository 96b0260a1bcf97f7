#include "ControlRegistry.h"

namespace tessaly {
namespace {

bool StartsWith(std::wstring_view text, std::wstring_view prefix) {
  return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::wstring RegistryKey(std::wstring_view kindTag, std::wstring_view name) {
  std::wstring key(kindTag);
  key += name;
  return key;
}

void* FindRegistered(const MvLinkedList& registry, std::wstring_view kindTag, std::wstring_view name) {
  const std::wstring key = RegistryKey(kindTag, name);
  const MvListEntry* entry = registry.Find(key.c_str(), true, true);
  return entry ? entry->value : nullptr;
}

void WalkRegistry(const MvLinkedList& registry, const std::function<bool(const MvListEntry&)>& visit) {
  for (const MvListEntry& entry : registry) {
    if (!entry.value || !visit(entry)) return;
  }
}

bool IsGroupShowable(std::wstring_view key) {
  for (const wchar_t* tag : {kTagButton, kTagChildWindow, kTagListView, kTagTabControl, kTagLabel}) {
    if (StartsWith(key, tag)) return true;
  }
  return false;
}

bool InGroup(const MvLinkedList& groups, std::wstring_view group) {
  const std::wstring query(group);
  return groups.Find(query.c_str(), false, true) != nullptr;
}

const wchar_t* FirstGroupName(const MvLinkedList& groups) {
  for (const MvListEntry& entry : groups) {
    if (entry.name) return entry.Name();
  }
  return kGroupIndexNotFound;
}

}  // namespace tessaly
