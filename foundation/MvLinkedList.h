// A doubly linked list of named, pointer-sized values: the property list of every object.
// Values are not owned by the list. Callers walk it with a range for:
//
//   for (MvListEntry& entry : list) Use(entry.Name(), entry.value);
#pragma once

#include "MvError.h"

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>

namespace tessaly {

struct MvListEntry {
  MvListEntry* next = nullptr;
  MvListEntry* prev = nullptr;
  void* value = nullptr;
  std::optional<std::wstring> name;  // absent for an unnamed entry

  const wchar_t* Name() const { return name ? name->c_str() : nullptr; }
};

// The constant texts that boolean properties hold. Arrays, so that every translation unit sees
// one address (properties are compared by address).
inline constexpr wchar_t kTrue[] = L"true";
inline constexpr wchar_t kFalse[] = L"false";

// Walks entries from head along next. Unlinking the entry the iterator stands on invalidates it.
class MvListIterator {
 public:
  using iterator_category = std::forward_iterator_tag;
  using value_type = MvListEntry;
  using difference_type = std::ptrdiff_t;
  using pointer = MvListEntry*;
  using reference = MvListEntry&;

  MvListIterator() = default;
  explicit MvListIterator(MvListEntry* entry) : entry_(entry) {}
  MvListEntry& operator*() const { return *entry_; }
  MvListEntry* operator->() const { return entry_; }
  MvListIterator& operator++() {
    entry_ = entry_->next;
    return *this;
  }
  MvListIterator operator++(int) {
    MvListIterator before = *this;
    entry_ = entry_->next;
    return before;
  }
  bool operator==(const MvListIterator&) const = default;

 private:
  MvListEntry* entry_ = nullptr;
};

class MvLinkedList {
 public:
  MvLinkedList() = default;
  ~MvLinkedList();
  MvLinkedList(const MvLinkedList&) = delete;
  MvLinkedList& operator=(const MvLinkedList&) = delete;

  // Appends an entry; returns the stored value, or null when the entry could not be made.
  void* Add(const wchar_t* name, void* value, bool useLock = false);
  MvListEntry* Find(const wchar_t* name, bool whole = true, bool caseSensitive = true) const;
  void Remove(const wchar_t* name);
  void Unlink(MvListEntry* entry);
  void Clear();
  // Splits at ';' and adds one entry per non-empty token; each value is a heap copy of the
  // token (a wchar_t[] owned by whoever uses the list, freed with FreeTokenValues).
  int AddTokens(const std::wstring& text);
  // Frees the token copies that AddTokens stored as values.
  void FreeTokenValues();

  // Entries are reached through a const list as well: the list does not own what they hold.
  MvListIterator begin() const { return MvListIterator(head); }
  MvListIterator end() const { return MvListIterator(); }

  MvListEntry* head = nullptr;
  MvListEntry* tail = nullptr;
  uint32_t count = 0;
  MvError error;

 private:
  std::mutex lock_;
};

// Name of the first entry holding value; "{IdCodeNotFound}" for 0 or no match.
const wchar_t* FindNameByValue(const MvLinkedList& list, void* value);

// Pointer-sized numbers stored as values.
inline void* NumberValue(uintptr_t number) { return reinterpret_cast<void*>(number); }
inline uintptr_t ValueNumber(const void* value) { return reinterpret_cast<uintptr_t>(value); }

}  // namespace tessaly
