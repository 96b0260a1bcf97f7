#include "CliOptions.h"

namespace tessaly {

std::wstring CliUsage() {
  return LR"(Usage: tessaly-scan [options] [PATH...]

Scans PATH (or every local volume when no PATH is given) for file-sharing (P2P) programs and for
music, video and image files, finds the folders each P2P program shares, and reports the media
that lie in them.

Options:
  --config FILE       configuration file (default: ConfigurationFile.xml beside the program)
  --signatures FILE   P2P signature file (default: PCBKDP.DAT beside the program)
  --language FILE     language resource (default: LanguageResource.xml beside the program)
  --lang CODE         language of the texts: DK DE ES FI IT NL PL PT SE UK US (default UK)
  --filter WHAT       all | media | software | images | video | music, a filter text of the
                      chosen language, or any other text: only files whose name contains it
  --list              print every file found, not only the summary
  --extended-types    also recognise formats the classic header tests do not know (WebM,
                      MPEG-2, MP3 without a tag, FLAC, MP4 brands, MIDI, TIFF, HEIC, AVIF)
                      and tell WAVE, AVI and WebP apart (as SETTINGS_EXTENDEDFILETYPES = 1)
  --log FILE          write the scan log (UTF-16LE text) to FILE
  --json FILE         write all results as JSON (UTF-8) to FILE
  -h, --help          show this text

Ctrl-C stops the scan; what was found so far is printed and written.

Exit status:
  0  the scan ran to its end
  1  the scan could not run: bad arguments, or an unreadable configuration, signature or
     language file, or an output file (or standard output) that cannot be written (the
     message names the problem)
  2  the scan was stopped by Ctrl-C before its end; what was found so far was reported
  3  the scan ran but lost results (folders or files it could not handle for want of memory
     or handles, or a failure while handling a file): what it found was reported, marked
     incomplete ("completed": false)
)";
}

std::optional<CliOptions> ParseCliOptions(const std::vector<std::wstring>& args, std::wstring& problem) {
  CliOptions options;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& arg = args[i];
    const auto value = [&](std::wstring& target) {
      if (i + 1 >= args.size() || args[i + 1].empty()) {
        problem = L"option " + arg + L" needs a value";
        return false;
      }
      target = args[++i];
      return true;
    };
    if (arg == L"-h" || arg == L"--help") {
      options.help = true;
    } else if (arg == L"--config") {
      if (!value(options.configPath)) return std::nullopt;
    } else if (arg == L"--signatures") {
      if (!value(options.signaturesPath)) return std::nullopt;
    } else if (arg == L"--language") {
      if (!value(options.languagePath)) return std::nullopt;
    } else if (arg == L"--lang") {
      if (!value(options.languageCode)) return std::nullopt;
    } else if (arg == L"--filter") {
      if (!value(options.filter)) return std::nullopt;
    } else if (arg == L"--log") {
      if (!value(options.logPath)) return std::nullopt;
    } else if (arg == L"--json") {
      if (!value(options.jsonPath)) return std::nullopt;
    } else if (arg == L"--list") {
      options.listAll = true;
    } else if (arg == L"--extended-types") {
      options.extendedTypes = true;
    } else if (arg == L"--") {
      options.paths.insert(options.paths.end(), args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    } else if (arg.size() > 1 && arg[0] == L'-') {
      problem = L"unknown option " + arg + L" (see --help)";
      return std::nullopt;
    } else {
      options.paths.push_back(arg);
    }
  }
  return options;
}

}  // namespace tessaly
