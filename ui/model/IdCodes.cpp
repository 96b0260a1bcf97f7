#include "IdCodes.h"

#include "DebugLog.h"

namespace tessaly {

int32_t UniqueIdCode(MvLinkedList& idCodes, int32_t& counter, const wchar_t* name) {
  if (!name || !*name) return 0;
  if (const MvListEntry* entry = idCodes.Find(name, true, true)) {
    const auto number = static_cast<int32_t>(ValueNumber(entry->value));
    DebugPrint(L"%d=GetUniqueIdCode(%s)\r\n", number, name);
    return number;
  }
  const int32_t number = counter + 1;
  DebugPrint(L"%d=GetUniqueIdCode(%s)\r\n", number, name);
  if (!idCodes.Add(name, NumberValue(static_cast<uintptr_t>(number)))) return 0;
  counter = number;
  return number;
}

const wchar_t* IdCodeName(const MvLinkedList& idCodes, int32_t number) {
  if (number <= 0) return kIdCodeNotFound;
  return FindNameByValue(idCodes, NumberValue(static_cast<uintptr_t>(number)));
}

}  // namespace tessaly
