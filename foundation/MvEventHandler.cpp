#include "MvEventHandler.h"

#include "DebugLog.h"

namespace tessaly {

bool MvEventHandler::BuildKey(std::wstring_view eventName, std::wstring& key) const {
  if (eventName.size() + namespace_.size() > kEventKeyCapacity - 1) return false;
  key.assign(eventName);
  key += namespace_;
  return true;
}

// key == eventName + namespace, without building the joined text (firing is per found file).
bool MvEventHandler::KeyMatches(const std::wstring& key, std::wstring_view eventName) const {
  return key.size() == eventName.size() + namespace_.size() &&
         key.compare(0, eventName.size(), eventName.data(), eventName.size()) == 0 &&
         key.compare(eventName.size(), namespace_.size(), namespace_) == 0;
}

bool MvEventHandler::AddEntry(std::wstring_view eventName, EventProcEntry entry) {
  if (!BuildKey(eventName, entry.key)) {
    DebugPrint(L"MvEventHandler::AddEventProc(), Event name too long(%s)\r\n", std::wstring(eventName));
    return false;
  }
  procs_.push_back(std::move(entry));
  return true;
}

bool MvEventHandler::AddBinaryEventProc(std::wstring_view eventName, BinaryEventProc proc, void* context) {
  return AddEntry(eventName, EventProcEntry{proc, nullptr, {}, context});
}

bool MvEventHandler::AddStringEventProc(std::wstring_view eventName, StringEventProc proc, void* context) {
  return AddEntry(eventName, EventProcEntry{nullptr, proc, {}, context});
}

int32_t MvEventHandler::ExecuteAll_BinaryEventProcs(std::wstring_view eventName, void* data) {
  int32_t result = 0;
  try {
    if (eventName.size() + namespace_.size() > kEventKeyCapacity - 1) return 0;
    for (const EventProcEntry& entry : procs_) {
      if (entry.binaryProc && KeyMatches(entry.key, eventName)) result = entry.binaryProc(data, entry.context);
    }
  } catch (...) {
    ++faults_;
    DebugPrint(L"**EXCEPTION** MvEventHandler::ExecuteAll_BinaryEventProcs() Failed traversing Event(%s)\r\n",
               std::wstring(eventName));
    return 0;
  }
  return result;
}

void MvEventHandler::ExecuteAll_StringEventProcs(std::wstring_view eventName, const wchar_t* text) {
  try {
    if (eventName.size() + namespace_.size() > kEventKeyCapacity - 1) return;
    for (const EventProcEntry& entry : procs_) {
      if (entry.stringProc && KeyMatches(entry.key, eventName)) entry.stringProc(text, entry.context);
    }
  } catch (...) {
    ++faults_;
    DebugPrint(L"**EXCEPTION** MvEventHandler::ExecuteAll_StringEventProcs() Failed traversing Event(%s)\r\n",
               std::wstring(eventName));
  }
}

bool MvEventHandler::HasStringProcs(std::wstring_view eventName) const {
  if (eventName.size() + namespace_.size() > kEventKeyCapacity - 1) return false;
  for (const EventProcEntry& entry : procs_) {
    if (entry.stringProc && KeyMatches(entry.key, eventName)) return true;
  }
  return false;
}

bool MvEventHandler::HasBinaryProcs(std::wstring_view eventName) const {
  if (eventName.size() + namespace_.size() > kEventKeyCapacity - 1) return false;
  for (const EventProcEntry& entry : procs_) {
    if (entry.binaryProc && KeyMatches(entry.key, eventName)) return true;
  }
  return false;
}

}  // namespace tessaly
