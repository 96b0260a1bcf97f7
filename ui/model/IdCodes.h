// Numeric command identifiers handed out for string identifiers. The counter is process-wide in
// the program (starting at 5001, so the first identifier is 5002); the map is the main window's
// idCodes list (name -> number).
#pragma once

#include "MvLinkedList.h"

#include <cstdint>

namespace tessaly {

inline constexpr int32_t kIdCodeCounterStart = 5001;
inline constexpr const wchar_t* kIdCodeNotFound = L"{IdCodeNotFound}";

// The number of name in idCodes; when absent, counter + 1 becomes its number (counter advances).
// Logs "%d=GetUniqueIdCode(%s)\r\n" either way. 0 for a null or empty name, or when the entry
// cannot be stored.
int32_t UniqueIdCode(MvLinkedList& idCodes, int32_t& counter, const wchar_t* name);

// The name of the first entry with number, or "{IdCodeNotFound}" for 0 or an unknown number.
const wchar_t* IdCodeName(const MvLinkedList& idCodes, int32_t number);

}  // namespace tessaly
