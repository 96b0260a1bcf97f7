// Small helpers that name fault codes and give the build stamp, the date and time, the program
// folder and the product version as text. The texts live in static buffers that the next call of
// the same helper overwrites.
#pragma once

#include "ModuleInfo.h"

#include <cstdint>

namespace tessaly {

const wchar_t* ExceptionCodeName(uint32_t code);

const wchar_t* BuildTimeText();    // hh:mm:ss
const wchar_t* BuildDateText();    // Mmm dd yyyy
const wchar_t* CurrentDateText();  // MM-DD-YYYY
const wchar_t* CurrentTimeText();  // hh:mm:ss


}  // namespace tessaly
