#include "SignatureTool.h"
#include "TextConvert.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) {
#ifdef _WIN32
    args.push_back(tessaly::AnsiToWide(argv[i]));  // the C runtime hands over ANSI arguments
#else
    args.push_back(tessaly::NativeToWide(argv[i]));
#endif
  }
  return tessaly::RunSignatureTool(args, std::cout, std::cerr);
}
