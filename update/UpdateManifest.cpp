#include "UpdateManifest.h"

#include "MvZXml.h"

#include <array>
#include <cwctype>

namespace tessaly {
namespace {

// Leading blanks, an optional sign and digits, as the C library's decimal conversion reads them;
// anything else ends the number.
int32_t ReadNumber(std::wstring_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == L' ' || text[i] == L'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  int32_t value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) value = value * 10 + (text[i] - L'0');
  return negative ? -value : value;
}

int32_t MonthIndex(std::wstring_view name) {
  static constexpr std::array<const wchar_t*, 12> kMonths = {L"jan", L"feb", L"mar", L"apr", L"may", L"jun",
                                                             L"jul", L"aug", L"sep", L"oct", L"nov", L"dec"};
  for (size_t m = 0; m < kMonths.size(); ++m) {
    bool same = true;
    for (size_t k = 0; k < 3; ++k) same = same && static_cast<wchar_t>(std::towlower(name[k])) == kMonths[m][k];
    if (same) return static_cast<int32_t>(m);
  }
  return 0;
}

uint32_t ReadSize(std::wstring_view text) {
  uint64_t value = 0;
  size_t i = 0;
  while (i < text.size() && text[i] == L' ') ++i;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 + static_cast<uint64_t>(text[i] - L'0');
    if (value > UINT32_MAX) return 0;  // no such file can be mapped; treat as unknown
  }
  return static_cast<uint32_t>(value);
}

bool IsReservedDeviceName(std::wstring_view name) {
  // The device is meant whatever follows the first dot, and blanks before the dot are ignored.
  std::wstring_view base = name.substr(0, name.find(L'.'));
  while (!base.empty() && base.back() == L' ') base.remove_suffix(1);
  std::wstring upper;
  for (wchar_t c : base) upper.push_back(static_cast<wchar_t>(std::towupper(c)));
  for (const wchar_t* device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$", L"CLOCK$"}) {
    if (upper == device) return true;
  }
  if (upper.size() == 4 && (upper.starts_with(L"COM") || upper.starts_with(L"LPT"))) {
    wchar_t digit = upper[3];
    return (digit >= L'0' && digit <= L'9') || digit == L'\x00B9' || digit == L'\x00B2' || digit == L'\x00B3';
  }
  return false;
}

// A year spans more than every two-digit month and day can reach, so no month of one year
// (not even a thirteenth) compares later than the next year.
int32_t DayNumber(int32_t year, int32_t monthIndex, int32_t day) { return year * 10000 + monthIndex * 100 + day; }

}  // namespace

int32_t DateValue(std::wstring_view text) {
  if (text.size() == 10) {
    int32_t month = ReadNumber(text.substr(0, 2));
    int32_t day = ReadNumber(text.substr(3, 2));
    int32_t year = ReadNumber(text.substr(6, 4));
    if (month <= 0) return 0;
    return DayNumber(year, month - 1, day);
  }
  if (text.size() == 11) {
    int32_t month = MonthIndex(text.substr(0, 3));
    int32_t day = ReadNumber(text.substr(4, 2));
    int32_t year = ReadNumber(text.substr(7, 4));
    return DayNumber(year, month, day);
  }
  return 0;
}

int32_t TimeValue(std::wstring_view text) {
  if (text.size() != 8) return 0;
  return ReadNumber(text.substr(0, 2)) * 3600 + ReadNumber(text.substr(3, 2)) * 60 + ReadNumber(text.substr(6, 2));
}

std::vector<UpdateFile> ReadManifestFiles(std::wstring_view manifest, const wchar_t* productElement) {
  std::vector<UpdateFile> files;
  MvZXml xml(manifest);
  if (!xml.FindElement(L"MorvaneSoftware") || !xml.EnterElement() || !xml.FindElement(productElement) ||
      !xml.EnterElement() || !xml.FindElement(L"Updater")) {
    return files;
  }
  while (xml.FindChildElement() && xml.EnterElement()) {
    if (xml.ElementName() == L"File") {
      UpdateFile file;
      file.date = xml.AttributeValue(L"Date");
      file.time = xml.AttributeValue(L"Time");
      file.build = xml.AttributeValue(L"Build");
      file.fileName = xml.AttributeValue(L"FileName");
      file.size = ReadSize(xml.AttributeValue(L"Size"));
      file.sha256 = xml.AttributeValue(L"SHA256");
      file.url = xml.ElementText();
      files.push_back(std::move(file));
    }
    if (!xml.LeaveElement()) break;
  }
  return files;
}

bool IsNewerThan(const UpdateFile& file, std::wstring_view localDate, std::wstring_view localTime) {
  int32_t remote = DateValue(file.date);
  int32_t local = DateValue(localDate);
  return remote > local || (remote == local && TimeValue(file.time) > TimeValue(localTime));
}

std::wstring CheckAddress(std::wstring_view checkUrl, std::wstring_view productVersion, bool windowsVersion4) {
  std::wstring address(checkUrl);
  address += L"?PV=";
  address += productVersion;
  address += L"&NT=";
  address += windowsVersion4 ? L"FALSE" : L"TRUE";
  return address;
}

bool IsSafeUpdateFileName(std::wstring_view name) {
  if (name.empty() || name.size() > 255 || name == L"." || name == L"..") return false;
  for (wchar_t c : name) {
    if (c < 0x20 || c == L'\\' || c == L'/' || c == L':' || c == L'*' || c == L'?' || c == L'"' || c == L'<' ||
        c == L'>' || c == L'|') {
      return false;
    }
  }
  if (name.back() == L'.' || name.back() == L' ') return false;
  return !IsReservedDeviceName(name);
}

}  // namespace tessaly
