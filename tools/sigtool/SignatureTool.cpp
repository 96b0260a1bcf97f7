#include "SignatureTool.h"

#include "FileHandle.h"
#include "P2pSignature.h"
#include "TextConvert.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace tessaly {
namespace {

constexpr uint64_t kLargestSignatureSource = 0x7FFFFFFF;  // stored sizes are signed 32-bit

std::filesystem::path ToPath(const std::wstring& path) {
#ifdef _WIN32
  return std::filesystem::path(path);
#else
  return std::filesystem::path(WideToNative(path));
#endif
}

std::string Show(const std::wstring& text) { return WideToUtf8(text); }

struct LoadedFile {
  std::string bytes;
  std::vector<const P2pSignature*> records;
};

// Reads DB and checks that it is exactly what the loader reads: a header and whole records up to E,
// which is the end of the file.
bool LoadValid(const std::wstring& path, SignatureDatabase& database, LoadedFile& loaded, std::ostream& err) {
  std::ifstream in(ToPath(path), std::ios::binary);
  if (!in) {
    err << "sigtool: cannot read signature file " << Show(path) << "\n";
    return false;
  }
  std::ostringstream content;
  content << in.rdbuf();
  loaded.bytes = content.str();
  const auto result =
      DecodeSignatureBuffer(reinterpret_cast<const uint8_t*>(loaded.bytes.data()), loaded.bytes.size(), database);
  if (!result.complete || result.records == 0) {
    err << "sigtool: " << Show(path) << " is not a valid signature file: "
        << (loaded.bytes.size() < kSignatureFileHeaderSize ? "shorter than its header"
                                                           : "its header or a record runs past the end")
        << "\n";
    return false;
  }
  if (result.end > loaded.bytes.size()) {
    err << "sigtool: " << Show(path) << " is not a valid signature file: its last record runs past the end\n";
    return false;
  }
  if (result.end != loaded.bytes.size()) {
    err << "sigtool: " << Show(path) << " is not a valid signature file: " << loaded.bytes.size() - result.end
        << " bytes lie after the last record that is read\n";
    return false;
  }
  loaded.records = database.Signatures();
  return true;
}

bool WriteFile(const std::wstring& path, const std::string& bytes, std::ostream& err) {
  std::ofstream out(ToPath(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    err << "sigtool: cannot write " << Show(path) << "\n";
    return false;
  }
  return true;
}

void PutEnd(std::string& bytes) {
  const auto end = static_cast<uint32_t>(bytes.size());
  for (int i = 0; i < 4; ++i) bytes[5 + i] = static_cast<char>(end >> (8 * i));
}

std::string Append(std::string bytes, const std::vector<uint8_t>& record) {
  bytes.append(record.begin(), record.end());
  PutEnd(bytes);
  return bytes;
}

// The name as the file stores it, refusing what the ANSI code page cannot hold.
std::optional<std::string> AnsiName(const std::wstring& name, std::ostream& err) {
  std::string ansi = WideToAnsi(name);
  if (AnsiToWide(ansi) != name) {
    err << "sigtool: the name \"" << Show(name) << "\" has characters outside the ANSI code page\n";
    return {};
  }
  if (name.empty() || name.find_first_of(L"\t\r\n") != std::wstring::npos) {
    err << "sigtool: a name must be non-empty and hold no tab or line break\n";
    return {};
  }
  return ansi;
}

// Size and sums of an executable, or an error for a file the matcher could never match.
std::optional<std::pair<uint64_t, SignatureSums>> Examine(const std::wstring& path, std::ostream& err) {
  FileHandle file = FileHandle::OpenForRead(path);
  if (!file.IsOpen()) {
    err << "sigtool: cannot open " << Show(path) << "\n";
    return {};
  }
  const int64_t size = file.Size();
  if (size < 0) {
    err << "sigtool: cannot learn the size of " << Show(path) << "\n";
    return {};
  }
  if (size < static_cast<int64_t>(kSignatureHeadBytes)) {
    err << "sigtool: " << Show(path) << " has " << size << " bytes; a signature needs at least "
        << kSignatureHeadBytes << "\n";
    return {};
  }
  if (static_cast<uint64_t>(size) > kLargestSignatureSource) {
    err << "sigtool: " << Show(path) << " is 2 GiB or larger; signature sizes are signed 32-bit\n";
    return {};
  }
  auto sums = ComputeSignatureSums(file, static_cast<uint64_t>(size));
  if (!sums) {
    err << "sigtool: " << Show(path) << " is not an executable (it does not start with \"MZ\")\n";
    return {};
  }
  return std::make_pair(static_cast<uint64_t>(size), *sums);
}

void PrintRecord(std::ostream& out, const P2pSignature& s) {
  out << Show(s.name) << '\t' << s.fileSize << '\t' << s.headSum << '\t' << s.middleSum << '\t' << s.headerSum
      << '\n';
}

int Add(const std::wstring& db, const std::wstring& exe, const std::wstring& name, std::ostream& out,
        std::ostream& err) {
  auto ansi = AnsiName(name, err);
  if (!ansi) return 1;
  auto examined = Examine(exe, err);
  if (!examined) return 1;
  std::string bytes;
  std::error_code ignored;
  if (std::filesystem::exists(ToPath(db), ignored)) {
    SignatureDatabase database;
    LoadedFile loaded;
    if (!LoadValid(db, database, loaded, err)) return 1;
    bytes = loaded.bytes;
  } else {
    const auto header = EncodeSignatureHeader(0);
    bytes.assign(header.begin(), header.end());
  }
  const auto [size, sums] = *examined;
  bytes = Append(bytes, EncodeSignatureRecord(static_cast<int32_t>(size), sums, *ansi));
  if (!WriteFile(db, bytes, err)) return 1;
  P2pSignature added{static_cast<int32_t>(size), sums.headSum, sums.middleSum, sums.headerSum,
                     static_cast<int32_t>(ansi->size()), name};
  PrintRecord(out, added);
  return 0;
}

int List(const std::wstring& db, std::ostream& out, std::ostream& err) {
  SignatureDatabase database;
  LoadedFile loaded;
  if (!LoadValid(db, database, loaded, err)) return 1;
  out << "# name\tsize\thead sum\tmiddle sum\theader sum\n";
  for (const auto* s : loaded.records) PrintRecord(out, *s);
  return 0;
}

int Match(const std::wstring& db, const std::vector<std::wstring>& files, std::ostream& out, std::ostream& err) {
  SignatureDatabase database;
  LoadedFile loaded;
  if (!LoadValid(db, database, loaded, err)) return 1;
  int status = 0;
  for (const auto& file : files) {
    auto examined = Examine(file, err);
    if (!examined) {
      status = 1;
      continue;
    }
    const P2pSignature* found = database.Find(examined->first, examined->second);
    out << Show(file) << ": " << (found ? Show(found->name) : std::string("no match")) << '\n';
  }
  return status;
}

std::optional<int32_t> ParseInt(const std::string& text) {
  int32_t value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return {};
  return value;
}

int Build(const std::wstring& db, const std::wstring& listPath, std::ostream& err) {
  std::ifstream in(ToPath(listPath), std::ios::binary);
  if (!in) {
    err << "sigtool: cannot read the list " << Show(listPath) << "\n";
    return 1;
  }
  const auto header = EncodeSignatureHeader(0);
  std::string bytes(header.begin(), header.end());
  std::string line;
  int lineNumber = 0;
  int records = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields;
    std::istringstream split(line);
    for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
    std::optional<int32_t> numbers[4];
    for (int i = 0; i < 4 && fields.size() == 5; ++i) numbers[i] = ParseInt(fields[i + 1]);
    if (fields.size() != 5 || !numbers[0] || !numbers[1] || !numbers[2] || !numbers[3] || *numbers[0] < 512) {
      err << "sigtool: " << Show(listPath) << ":" << lineNumber
          << ": expected name, size (512 or more), head sum, middle sum and header sum separated by tabs\n";
      return 1;
    }
    auto ansi = AnsiName(Utf8ToWide(fields[0]), err);
    if (!ansi) return 1;
    bytes = Append(bytes, EncodeSignatureRecord(*numbers[0], {*numbers[1], *numbers[2], *numbers[3]}, *ansi));
    ++records;
  }
  if (records == 0) {
    err << "sigtool: " << Show(listPath) << " holds no signature\n";
    return 1;
  }
  return WriteFile(db, bytes, err) ? 0 : 1;
}

void Usage(std::ostream& err) {
  err << "usage: sigtool add DB EXE NAME\n"
         "       sigtool list DB\n"
         "       sigtool match DB FILE...\n"
         "       sigtool build DB LIST\n";
}

}  // namespace

int RunSignatureTool(const std::vector<std::wstring>& args, std::ostream& out, std::ostream& err) {
  const std::wstring command = args.empty() ? L"" : args[0];
  if (command == L"add" && args.size() == 4) return Add(args[1], args[2], args[3], out, err);
  if (command == L"list" && args.size() == 2) return List(args[1], out, err);
  if (command == L"match" && args.size() >= 3) {
    return Match(args[1], std::vector<std::wstring>(args.begin() + 2, args.end()), out, err);
  }
  if (command == L"build" && args.size() == 3) return Build(args[1], args[2], err);
  Usage(err);
  return 2;
}

}  // namespace tessaly
