// Owned POSIX descriptors on the UniqueHandle template. POSIX only.
#pragma once

#include "UniqueHandle.h"

#include <unistd.h>

namespace tessaly::posix {

namespace traits {
struct Descriptor {
  using Type = int;
  static Type Invalid() { return -1; }
  static void Close(Type fd) { ::close(fd); }
};
}  // namespace traits

using UniqueFd = UniqueHandle<traits::Descriptor>;

}  // namespace tessaly::posix
