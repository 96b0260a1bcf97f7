// The order of found files in the report: by their full path, compared as folder text + name
// without joining the two.
#pragma once

#include <string_view>

namespace tessaly {

// Negative, zero or positive, as (aFolder + aName) compares with (bFolder + bName).
int ComparePaths(std::wstring_view aFolder, std::wstring_view aName, std::wstring_view bFolder,
                 std::wstring_view bName);

}  // namespace tessaly
