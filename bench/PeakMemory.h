// Peak resident memory of this process, for the benchmarks.
#pragma once

#include <fstream>
#include <string>

namespace tessaly::bench {

// VmHWM in KiB, -1 where /proc does not tell.
inline long PeakResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

}  // namespace tessaly::bench
