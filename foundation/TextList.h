// Lists kept in one text: extension lists, folder lists, shared-folder answers ("a;b;c").
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// The non-empty items between the separators, in order.
std::vector<std::wstring> SplitList(std::wstring_view text, wchar_t separator = L';');

}  // namespace tessaly
