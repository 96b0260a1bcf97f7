#include "MvLinkedList.h"

#include "CaseFold.h"
#include "MvFault.h"
#include "SystemInfo.h"
#include "TextList.h"

#include <new>

namespace tessaly {
namespace {

bool Matches(const std::wstring& entryName, const wchar_t* query, size_t queryLength, bool whole,
             bool caseSensitive) {
  if (whole) {
    if (entryName.size() != queryLength) return false;
  } else if (entryName.size() < queryLength) {
    return false;
  }
  return caseSensitive ? entryName.compare(0, queryLength, query, queryLength) == 0
                       : EqualsNoCase(std::wstring_view(entryName).substr(0, queryLength),
                                      std::wstring_view(query, queryLength));
}

}  // namespace

MvLinkedList::~MvLinkedList() { Clear(); }

void* MvLinkedList::Add(const wchar_t* name, void* value, bool useLock) {
  std::unique_lock guard(lock_, std::defer_lock);
  if (useLock) guard.lock();
  try {
    auto* entry = new MvListEntry;
    if (name) entry->name.emplace(name);
    entry->value = value;
    entry->prev = tail;
    if (tail) tail->next = entry; else head = entry;
    tail = entry;
    ++count;
    return value;
  } catch (...) {
    error.Report(L"MvLinkedList::Add(): Exception(%d)", static_cast<int>(CurrentFaultCode()));
    return nullptr;
  }
}

MvListEntry* MvLinkedList::Find(const wchar_t* name, bool whole, bool caseSensitive) const {
  if (!name) return nullptr;
  size_t length = std::char_traits<wchar_t>::length(name);
  try {
    for (MvListEntry& entry : *this) {
      if (entry.name && Matches(*entry.name, name, length, whole, caseSensitive)) return &entry;
    }
  } catch (...) {
    const_cast<MvError&>(error).Report(L"Failure (%s)", ExceptionCodeName(CurrentFaultCode()));
    throw;
  }
  return nullptr;
}

void MvLinkedList::Remove(const wchar_t* name) {
  if (MvListEntry* entry = Find(name, true, true)) Unlink(entry);
}

void MvLinkedList::Unlink(MvListEntry* entry) {
  if (!entry) return;
  if (entry->prev) entry->prev->next = entry->next; else head = entry->next;
  if (entry->next) entry->next->prev = entry->prev; else tail = entry->prev;
  delete entry;
  --count;
}

void MvLinkedList::Clear() {
  MvListEntry* entry = head;
  while (entry) {
    MvListEntry* next = entry->next;
    delete entry;
    entry = next;
  }
  head = tail = nullptr;
  count = 0;
}

int MvLinkedList::AddTokens(const std::wstring& text) {
  int added = 0;
  for (const std::wstring& token : SplitList(text)) {
    auto* copy = new wchar_t[token.size() + 1];
    std::char_traits<wchar_t>::copy(copy, token.c_str(), token.size() + 1);
    if (Add(token.c_str(), copy)) ++added; else delete[] copy;
  }
  return added;
}

void MvLinkedList::FreeTokenValues() {
  for (MvListEntry& entry : *this) {
    delete[] static_cast<wchar_t*>(entry.value);
    entry.value = nullptr;
  }
}

const wchar_t* FindNameByValue(const MvLinkedList& list, void* value) {
  if (!value) return L"{IdCodeNotFound}";
  for (const MvListEntry& entry : list) {
    if (entry.value == value && entry.name) return entry.name->c_str();
  }
  return L"{IdCodeNotFound}";
}

}  // namespace tessaly
