// The block list of a RAR archive (format 1.5 to 4.x, and the header chain of format 5.0) read from
// memory or a file: the files it holds, with their names and sizes. Every read stays inside the given bytes; a block that would loop, overflow
// or leave them ends the list.
#pragma once

#include "FileHandle.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tessaly {

// Longest stored name taken from a file block, in bytes.
inline constexpr size_t kRarNameLimit = 259;

struct RarEntry {
  std::string_view storedName;  // the stored name field, cut at kRarNameLimit bytes (RAR 4)
  bool utf8Name = false;        // RAR 5: storedName is the whole name in UTF-8
  uint16_t nameSize = 0;        // as stored
  uint16_t flags = 0;
  uint64_t packedSize = 0;      // with the high halves when the block has them
  uint64_t unpackedSize = 0;
  uint8_t hostOs = 0;
  uint32_t fileCrc = 0;
  uint32_t fileTime = 0;        // RAR 4: DOS date and time; RAR 5: Unix time
  uint8_t unpackVersion = 0;
  uint8_t method = 0;
  uint32_t attributes = 0;
};

// File-block flags.
inline constexpr uint16_t kRarLargeFile = 0x0100;    // high halves of both sizes follow the header
inline constexpr uint16_t kRarUnicodeName = 0x0200;  // the name carries a Unicode form
inline constexpr uint16_t kRarLongBlock = 0x8000;    // packed data follow the header

// Calls `onEntry` for every file block in archive order; returns how many there were. Nothing is
// listed unless the data start with a RAR marker and a readable main header. A RAR 5.0 archive
// lists its file headers (folders left out).
size_t ReadRarBlockList(const uint8_t* data, uint64_t size, const std::function<void(const RarEntry&)>& onEntry);

// The same over an open file, read in bounded pieces: a file that shrinks or goes away meanwhile
// (truncated, a share or disk lost) ends the list like any truncated archive. `onEntry` returns
// false to end the list early.
size_t ReadRarBlockList(FileHandle& file, const std::function<bool(const RarEntry&)>& onEntry);

// The member name for display: the Unicode form when the block has one, else the bytes before
// any zero byte in the system ANSI code page.
std::wstring RarMemberName(const RarEntry& entry);
// The same, into an existing string (its capacity is reused).
void AssignRarMemberName(const RarEntry& entry, std::wstring& name);

}  // namespace tessaly
