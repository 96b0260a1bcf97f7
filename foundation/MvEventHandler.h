// Named-event dispatcher. Producers fire events by name; every procedure registered on this
// dispatcher under that name (plus the dispatcher's namespace) runs on the firing thread, in
// registration order. Registration happens on the owning thread before events can fire.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

using BinaryEventProc = int32_t (*)(void* data, void* context);
using StringEventProc = void (*)(const wchar_t* text, void* context);

// Event name plus namespace, the terminating zero included.
inline constexpr size_t kEventKeyCapacity = 512;

struct EventProcEntry {
  BinaryEventProc binaryProc = nullptr;
  StringEventProc stringProc = nullptr;
  std::wstring key;
  void* context = nullptr;
};

class MvEventHandler {
 public:
  MvEventHandler() = default;

  // Window objects replace the namespace with "{NS:" + name + "}".
  void SetNamespace(std::wstring nameSpace) { namespace_ = std::move(nameSpace); }
  const std::wstring& Namespace() const { return namespace_; }

  // Returns false (and registers nothing) when name + namespace exceeds 511 characters.
  bool AddBinaryEventProc(std::wstring_view eventName, BinaryEventProc proc, void* context);
  bool AddStringEventProc(std::wstring_view eventName, StringEventProc proc, void* context);

  // Result of the last procedure that ran; 0 when none ran or one threw.
  int32_t ExecuteAll_BinaryEventProcs(std::wstring_view eventName, void* data);
  void ExecuteAll_StringEventProcs(std::wstring_view eventName, const wchar_t* text);

  // Let a producer skip building a payload nobody listens to.
  bool HasStringProcs(std::wstring_view eventName) const;
  bool HasBinaryProcs(std::wstring_view eventName) const;

  // How many firings ended early because a procedure threw: what it was doing is lost, so a
  // producer can tell a complete run from one that only looks complete.
  uint32_t Faults() const { return faults_.load(); }

 private:
  bool BuildKey(std::wstring_view eventName, std::wstring& key) const;
  bool KeyMatches(const std::wstring& key, std::wstring_view eventName) const;
  bool AddEntry(std::wstring_view eventName, EventProcEntry entry);

  std::wstring namespace_ = L"{NS:}";
  std::vector<EventProcEntry> procs_;
  std::atomic<uint32_t> faults_{0};
};

}  // namespace tessaly
