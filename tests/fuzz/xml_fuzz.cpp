// Fuzz target for the XML document: parse arbitrary text, then run a short program of cursor
// moves, reads and edits against it. After every edit the element index must still describe the
// text (every offset in bounds and on the right character), and parsing the edited text again
// must give the same index; loading the text as a string table must not fail either.
//
// Input: byte 0 = count of operations (low 5 bits) and text encoding (bit 7: UTF-16LE, else one
// character per byte); then 3 bytes per operation; the rest is the document.
#include "MvZXml.h"
#include "StringTable.h"
#include "Utf16Text.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

using tessaly::ElementRecord;
using tessaly::MvZXml;

const wchar_t* const kNames[] = {nullptr, L"", L"a", L"b", L"r", L"String", L"SID", L"Lang", L"x", L"a b", L"x=\"", L"Resource"};
const wchar_t* const kValues[] = {L"", L" ", L"v", L"<&>'\"", L"]]>-->?>", L"a longer value with\r\nbreaks"};

template <typename T, size_t N>
const T& Pick(const T (&table)[N], uint8_t byte) {
  return table[byte % N];
}

void Check(bool condition) {
  if (!condition) std::abort();
}

// Every record points at the characters it claims and links only to records in use.
void CheckIndex(const MvZXml& xml) {
  const std::wstring& doc = xml.Document();
  const uint32_t used = xml.RecordsUsed();
  Check(used >= 1 && used <= xml.Capacity());
  Check(xml.Record(0).firstChild < used);
  for (uint32_t i = 1; i < used; ++i) {
    const ElementRecord& r = xml.Record(i);
    Check(r.parent < used && r.firstChild < used && r.nextSibling < used);
    Check(r.tagStart < r.tagEnd && r.tagEnd < doc.size());
    Check(doc[r.tagStart] == L'<' && doc[r.tagEnd] == L'>');
    if (r.tagEnd == r.closeStart + 1) {
      Check(doc[r.closeStart] == L'/' && r.closeEnd == r.tagEnd);
    } else {
      Check(r.tagEnd < r.closeStart && r.closeStart < r.closeEnd && r.closeEnd < doc.size());
      Check(doc[r.closeStart] == L'<' && doc[r.closeEnd] == L'>');
    }
  }
}

// Depth and offsets of every element in document order (explicit stack: inputs nest deeply).
std::vector<uint32_t> Shape(const MvZXml& xml) {
  std::vector<uint32_t> out;
  std::vector<std::pair<uint32_t, uint32_t>> stack;  // element, depth
  if (xml.Record(0).firstChild) stack.push_back({xml.Record(0).firstChild, 0});
  while (!stack.empty()) {
    auto [index, depth] = stack.back();
    stack.pop_back();
    const ElementRecord& r = xml.Record(index);
    out.insert(out.end(), {depth, r.tagStart, r.tagEnd, r.closeStart, r.closeEnd});
    if (r.nextSibling) stack.push_back({r.nextSibling, depth});
    if (r.firstChild) stack.push_back({r.firstChild, depth + 1});
  }
  return out;
}

void CheckReparse(const MvZXml& xml) {
  MvZXml again(xml.Document());
  Check(again.HasElement() == xml.HasElement());
  Check(Shape(xml) == Shape(again));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 65536) return 0;
  const size_t operations = data[0] & 0x1F;
  const bool utf16 = data[0] & 0x80;
  size_t textStart = 1 + operations * 3;
  if (textStart > size) return 0;
  std::wstring text;
  if (utf16) {
    text = tessaly::Utf16LeBytesToWide(std::string(reinterpret_cast<const char*>(data + textStart), size - textStart));
  } else {
    text.assign(data + textStart, data + size);
  }

  MvZXml xml;
  const bool parsed = xml.Parse(text);
  CheckIndex(xml);
  if (parsed) CheckReparse(xml);
  MvZXml other;
  for (size_t i = 0; i < operations; ++i) {
    const uint8_t op = data[1 + i * 3], a = data[2 + i * 3], b = data[3 + i * 3];
    switch (op % 11) {
      case 0: xml.FindElement(Pick(kNames, a)); break;
      case 1: xml.FindChildElement(Pick(kNames, a)); break;
      case 2: xml.EnterElement(); break;
      case 3: xml.LeaveElement(); break;
      case 4: {
        std::wstring name = xml.ElementName(), content = xml.ElementText(), value = xml.AttributeValue(Pick(kNames, a));
        Check(name.size() <= xml.Document().size() && content.size() <= xml.Document().size());
        break;
      }
      case 5: {
        uint32_t element = (b & 1) ? xml.CurrentIndex() : static_cast<uint32_t>(b % (xml.RecordsUsed() + 1));
        xml.SetAttributeValue(element, Pick(kNames, a), Pick(kValues, b >> 1));
        CheckIndex(xml);
        if (parsed) CheckReparse(xml);
        break;
      }
      case 6: {
        const bool appended = xml.AppendChildElement(Pick(kNames, a), Pick(kValues, b));
        CheckIndex(xml);
        if (parsed) CheckReparse(xml);
        if (appended) {
          Check(xml.EnterElement());
          Check(xml.ElementText() == Pick(kValues, b));
          Check(xml.LeaveElement());
        }
        break;
      }
      case 7: xml.ResetCursor(); break;
      case 8: other = xml; CheckIndex(other); break;
      case 9: {
        std::wstring sample = xml.ElementText();
        Check(MvZXml::DecodeEntities(MvZXml::EncodeAttribute(sample)) == sample);
        Check(MvZXml::DecodeEntities(MvZXml::EncodeText(sample)) == sample);
        break;
      }
      case 10: {
        // The table code on the same text: load, look up, and add placeholders for a miss.
        tessaly::StringTable table;
        tessaly::LoadLanguageXMLData(table, xml.Document());
        tessaly::GetString(false, Pick(kNames, a) ? Pick(kNames, a) : L"IDS_X", table);
        tessaly::GetString(true, L"IDS_FUZZ", table);
        CheckIndex(table.document);
        if (table.document.HasElement()) CheckReparse(table.document);
        break;
      }
    }
  }
  return 0;
}
