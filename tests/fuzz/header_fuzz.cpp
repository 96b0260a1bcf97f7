// The header recogniser and the classification over arbitrary first bytes; the extension match
// over names made of the same bytes, against a plain reference.
#include "FileRecognition.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <cwctype>
#include <string>
#include <vector>

namespace {

// Case-blind comparison of the suffix from the last dot, one token at a time.
bool ReferenceHasExtension(const std::wstring& name, const std::vector<std::wstring>& tokens) {
  const size_t dot = name.rfind(L'.');
  const std::wstring suffix = dot == std::wstring::npos ? std::wstring() : name.substr(dot);
  auto lower = [](wchar_t c) { return c < 0x80 ? static_cast<wchar_t>(std::towlower(c)) : static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c))); };
  for (const std::wstring& token : tokens) {
    if (token.size() != suffix.size()) continue;
    bool same = true;
    for (size_t i = 0; i < token.size() && same; ++i) same = lower(token[i]) == lower(suffix[i]);
    if (same) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tessaly::HeaderKind kind;
  const bool recognised = tessaly::RecogniseHeader(data, size, kind);
  if (recognised != (kind.category != 0)) __builtin_trap();

  // The extended tests answer where the classic ones did not, and touch a classic answer only to
  // refine a RIFF file by its form type.
  tessaly::HeaderKind extended;
  const bool extendedRecognised = tessaly::RecogniseHeader(data, size, extended, true);
  if (extendedRecognised != (extended.category != 0)) __builtin_trap();
  if (recognised && !extendedRecognised) __builtin_trap();
  if (recognised && kind.kind != tessaly::kKindRiff && (extended.kind != kind.kind || extended.category != kind.category)) {
    __builtin_trap();
  }

  // The same bytes as a 2 MiB file with no matching name: the content decides.
  tessaly::MediaSettings settings;
  settings.minSoundSize = 1;
  settings.maxSoundSize = 20;
  settings.minVideoSize = 1;
  settings.maxVideoSize = 20;
  const auto result = tessaly::ClassifyFile(L"file.bin", 2u << 20, settings, {},
                                            [&](uint8_t* buffer, size_t capacity) {
                                              const size_t n = std::min(size, capacity);
                                              if (n) std::memcpy(buffer, data, n);
                                              return n;
                                            });
  if (!result.contentExamined || result.header.category != kind.category) __builtin_trap();
  settings.extendedTypes = true;
  const auto extendedResult = tessaly::ClassifyFile(L"file.bin", 2u << 20, settings, {},
                                                    [&](uint8_t* buffer, size_t capacity) {
                                                      const size_t n = std::min(size, capacity);
                                                      if (n) std::memcpy(buffer, data, n);
                                                      return n;
                                                    });
  if (extendedResult.header.category != extended.category || extendedResult.header.kind != extended.kind) {
    __builtin_trap();
  }

  // Names: the bytes as characters (dots and case included, a few beyond ASCII), 1 to 60 long.
  std::wstring name;
  for (size_t i = 0; i < std::min<size_t>(size, 60); ++i) {
    const uint8_t b = data[i];
    name += b % 5 == 0 ? L'.' : static_cast<wchar_t>(b < 0xC0 ? (b & 0x7F) | 0x20 : 0xC0 + (b & 0x3F));
  }
  const std::vector<std::wstring> tokens = {L".mp3", L".MPeg", L".a", L".\u00E9t\u00E9", L"." + std::wstring(40, L'x')};
  std::wstring list;
  for (const std::wstring& token : tokens) list += token + L";";
  if (tessaly::HasExtension(name, tessaly::ParseExtensionList(list)) != ReferenceHasExtension(name, tokens)) {
    __builtin_trap();
  }
  return 0;
}
