#include "UninstallCommand.h"

#include "CaseFold.h"

namespace tessaly {

std::optional<std::wstring> FindUninstallerKey(std::wstring_view mappings, std::wstring_view programName) {
  size_t start = 0;
  while (start <= mappings.size()) {
    size_t end = mappings.find(L"\r\n", start);
    std::wstring_view line = mappings.substr(start, end == std::wstring_view::npos ? std::wstring_view::npos : end - start);
    size_t eq = line.find(L'=');
    if (eq != std::wstring_view::npos && line.size() - eq > 2) {
      std::wstring_view name = line.substr(0, eq);
      size_t first = name.find_first_not_of(L" \t");
      name = first == std::wstring_view::npos ? std::wstring_view{} : name.substr(first);
      if (EqualsNoCase(name, programName)) return std::wstring(line.substr(eq + 1));
    }
    if (end == std::wstring_view::npos) break;
    start = end + 2;
  }
  return std::nullopt;
}

UninstallKeyForm ClassifyUninstallKey(std::wstring_view key) {
  if (key.find(L'@') != std::wstring_view::npos) return UninstallKeyForm::kRegistry;
  if (key.find(L'?') != std::wstring_view::npos) return UninstallKeyForm::kRegistryQuoted;
  if (key.find(L'|') != std::wstring_view::npos) return UninstallKeyForm::kAlternatives;
  return UninstallKeyForm::kFile;
}

std::vector<std::wstring> UninstallCandidates(std::wstring_view key) {
  std::vector<std::wstring> out;
  size_t start = 0;
  for (size_t bar = key.find(L'|'); bar != std::wstring_view::npos; bar = key.find(L'|', start)) {
    if (bar > start) out.emplace_back(key.substr(start, bar - start));
    start = bar + 1;
  }
  return out;
}

std::wstring UninstallSubkeyName(std::wstring_view key) {
  return key.empty() ? std::wstring() : std::wstring(key.substr(1));
}

std::wstring QuotedUninstallProgram(std::wstring_view value) {
  size_t open = value.find(L'"');
  if (open == std::wstring_view::npos) return {};
  size_t close = value.find(L'"', open + 1);
  if (close == std::wstring_view::npos || close == open + 1) return {};
  return std::wstring(value.substr(open + 1, close - open - 1));
}

namespace {

constexpr size_t npos = std::wstring_view::npos;

bool HasDriveColon(std::wstring_view t) {
  return (t.size() > 1 && t[1] == L':') || (t.size() > 2 && t[2] == L':');
}

// Copies one unquoted argument word from `rest` (which starts at the word) into `out`.
// False when the word cannot be taken as it stands (the rest is then dropped, not half a word).
bool TakeWord(std::wstring_view& rest, std::wstring& out) {
  std::wstring args;
  if (rest.size() > 1 && rest[1] == L':') {
    // A path: it may hold spaces, so it runs to the first "." and on to the next space.
    size_t dot = rest.find(L'.');
    if (dot == npos) return false;
    size_t end = rest.find(L' ', dot + 1);
    std::wstring_view word = rest.substr(0, end);
    if (word.find(L' ') == npos) {
      args += word;
    } else {
      args += L'"';
      args += word;
      args += L'"';
    }
    rest = end == npos ? std::wstring_view{} : rest.substr(end);
    out += args;
    return true;
  }
  size_t i = 0;
  while (i < rest.size() && rest[i] != L' ') {
    if (rest[i] == L'"') {
      size_t close = rest.find(L'"', i + 1);
      if (close == npos) return false;
      args += rest.substr(i, close + 1 - i);
      i = close + 1;
    } else {
      args += rest[i++];
    }
  }
  rest = rest.substr(i);
  out += args;
  return true;
}

}  // namespace

UninstallCommand SplitUninstallCommand(std::wstring_view command) {
  UninstallCommand out;
  if (command.size() <= 2) return out;
  size_t first = command.find_first_not_of(L' ');
  if (first == npos) return out;  // blanks only: nothing to run
  std::wstring_view t = command.substr(first);

  std::wstring_view rest;
  if (!HasDriveColon(t)) {
    size_t space = t.find(L' ');
    out.program = t.substr(0, space);
    rest = space == npos ? std::wstring_view{} : t.substr(space);
    if (out.program.find(L'"') != npos) {
      // A quoted program without a drive letter ("setup.exe" /x): it must close within the word.
      size_t open = t.find(L'"');
      size_t close = t.find(L'"', open + 1);
      if (close == npos) return {};
      size_t end = t.find(L' ', close + 1);
      out.program = t.substr(0, end);
      rest = end == npos ? std::wstring_view{} : t.substr(end);
    }
  } else if (t[0] == L'"') {
    size_t close = t.find(L'"', 1);
    if (close == npos) return {};  // the program's end cannot be told
    out.program = t.substr(0, close + 1);
    rest = t.substr(close + 1);
  } else {
    size_t dot = t.find(L'.');
    if (dot == npos) return {};  // no extension: where the path ends cannot be told
    size_t end = t.find(L' ', dot + 1);
    std::wstring_view path = t.substr(0, end);
    if (path.find(L'"') != npos) {
      // "C:\a.exe"" or C:\x"y.exe: a quote inside the unquoted path; only one right after it is dropped.
      size_t q = path.find(L'"');
      if (q + 1 != path.size()) return {};
      path = path.substr(0, q);
    }
    out.program = L'"' + std::wstring(path) + L'"';
    rest = end == npos ? std::wstring_view{} : t.substr(end);
  }

  while (rest.size() >= 2 && rest[0] == L' ') {
    if (rest[1] == L'"') {
      size_t close = rest.find(L'"', 2);
      if (close == npos) break;  // an unclosed quoted argument is dropped
      out.arguments += rest.substr(0, close + 1);
      rest = rest.substr(close + 1);
      continue;
    }
    rest = rest.substr(1);
    std::wstring word = L" ";
    if (!TakeWord(rest, word)) break;
    out.arguments += word;
  }
  out.ok = !out.program.empty();
  if (!out.ok) out.arguments.clear();
  return out;
}

std::wstring BatchRunLine(std::wstring_view program, std::wstring_view arguments) {
  auto hasBreak = [](std::wstring_view s) { return s.find_first_of(L"\r\n") != npos; };
  if (program.empty() || hasBreak(program) || hasBreak(arguments)) return {};
  std::wstring_view bare = program;
  if (bare.size() >= 2 && bare.front() == L'"' && bare.back() == L'"') bare = bare.substr(1, bare.size() - 2);
  if (bare.empty() || bare.find(L'"') != npos) return {};

  std::wstring line = L"\"";
  for (wchar_t c : bare) {
    if (c == L'%') line += L'%';
    line += c;
  }
  line += L'"';
  bool quoted = false;
  for (wchar_t c : arguments) {
    if (c == L'"') {
      quoted = !quoted;
    } else if (c == L'%') {
      line += L'%';
    } else if (!quoted && std::wstring_view(L"&|<>^()").find(c) != npos) {
      line += L'^';
    }
    line += c;
  }
  // An argument quote left open would let cmd read the line end as quoted text; close it.
  if (quoted) line += L'"';
  return line;
}

namespace {

ResolvedUninstaller Failed(std::wstring why) {
  ResolvedUninstaller out;
  out.why = std::move(why);
  return out;
}

ResolvedUninstaller Quoted(const std::wstring& path) {
  ResolvedUninstaller out;
  out.program = L'"' + path + L'"';
  out.ok = true;
  return out;
}

}  // namespace

ResolvedUninstaller ResolveUninstaller(std::wstring_view exePath, std::wstring_view key,
                                       const UninstallStringReader& uninstallString, const FileExists& fileExists) {
  const UninstallKeyForm form = ClassifyUninstallKey(key);
  if (form == UninstallKeyForm::kRegistry || form == UninstallKeyForm::kRegistryQuoted) {
    const std::wstring subkey = UninstallSubkeyName(key);
    if (subkey.empty()) return Failed(L"no uninstall entry named");
    std::optional<std::wstring> value = uninstallString ? uninstallString(subkey) : std::nullopt;
    if (!value) return Failed(L"no uninstallstring for " + subkey);
    if (form == UninstallKeyForm::kRegistry) {
      UninstallCommand split = SplitUninstallCommand(*value);
      if (!split.ok) return Failed(L"uninstallstring cannot be run as it stands: " + *value);
      return {split.program, split.arguments, true, {}};
    }
    // The second form's value quotes its program; whatever follows the closing quote goes to it.
    std::wstring program = QuotedUninstallProgram(*value);
    if (program.empty()) return Failed(L"uninstallstring quotes no program: " + *value);
    ResolvedUninstaller out = Quoted(program);
    std::wstring_view rest = std::wstring_view(*value).substr(value->find(L'"', value->find(L'"') + 1) + 1);
    const size_t first = rest.find_first_not_of(L' ');
    if (first != npos) out.arguments = L" " + std::wstring(rest.substr(first));
    return out;
  }

  const size_t slash = exePath.rfind(L'\\');
  if (slash == npos) return Failed(L"the program's path has no folder: " + std::wstring(exePath));
  const std::wstring folder(exePath.substr(0, slash + 1));
  if (form == UninstallKeyForm::kAlternatives) {
    for (const std::wstring& candidate : UninstallCandidates(key)) {
      if (fileExists(folder + candidate)) return Quoted(folder + candidate);
    }
    return Failed(L"none of the uninstallers exists: " + std::wstring(key));
  }
  if (key.empty() || !fileExists(folder + std::wstring(key))) {
    return Failed(L"the uninstaller does not exist: " + folder + std::wstring(key));
  }
  return Quoted(folder + std::wstring(key));
}

std::wstring UninstallBatchPath(std::wstring_view folder, uint32_t counter) {
  return std::wstring(folder) + L"tmpbat" + std::to_wstring(counter) + L".bat";
}

uint32_t NextBatchCounter(uint32_t counter) { return counter + 1 == 0xFFFFFFFFu ? 0 : counter + 1; }

std::wstring MonitorCommandLine(std::wstring_view commandInterpreter, std::wstring_view batchPath) {
  return L"TessMon.exe \"" + std::wstring(commandInterpreter) + L"\" /d /s /c \"\"" + std::wstring(batchPath) + L"\"\"";
}

}  // namespace tessaly
