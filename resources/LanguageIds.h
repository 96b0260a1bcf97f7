// The string IDs of the language resource, in document order: every one of them has a text in
// every language the resource lists.
#pragma once

#include <span>
#include <string_view>

namespace tessaly {

std::span<const std::wstring_view> LanguageResourceIds();

}  // namespace tessaly
