// The signature tool: builds, extends, lists and checks signature files ("PCBKDP.DAT").
//   sigtool add DB EXE NAME     append the signature of EXE under NAME (creates DB if missing)
//   sigtool list DB             print every record as a tab-separated line
//   sigtool match DB FILE...    print which signature each file matches
//   sigtool build DB LIST       write DB from a reviewed list (lines as `list` prints them)
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tessaly {

// args excludes the program name. Returns the exit code: 0 done, 1 failed, 2 usage.
int RunSignatureTool(const std::vector<std::wstring>& args, std::ostream& out, std::ostream& err);

}  // namespace tessaly
