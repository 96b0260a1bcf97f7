#include "MvZXml.h"

#include "DebugLog.h"

#include <algorithm>
#include <cstring>

namespace tessaly {
namespace {

constexpr size_t npos = std::wstring::npos;
// Offsets are 32-bit; documents and edits stay below this length.
constexpr size_t kMaxDocumentLength = 0x7FFFFFF0;

bool IsSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r'; }

bool IsDelimiter(wchar_t c) {
  switch (c) {
    case L' ': case L'\t': case L'\n': case L'\r': case L'<': case L'>': case L'=': case L'\\':
    case L'/': case L'?': case L'!':
      return true;
    default:
      return false;
  }
}

std::wstring_view ViewOf(const wchar_t* text) {
  return text ? std::wstring_view(text) : std::wstring_view();
}

// Names written by the editor must read back as one token, or the written document would not
// index as the records say.
bool IsWritableName(std::wstring_view name) {
  if (name.empty()) return false;
  return std::none_of(name.begin(), name.end(),
                      [](wchar_t c) { return IsDelimiter(c) || c == L'"' || c == L'\'' || c == 0; });
}

std::wstring Encode(std::wstring_view text, bool attribute) {
  std::wstring out;
  out.reserve(text.size() + text.size() / 10 + 7);
  for (wchar_t c : text) {
    switch (c) {
      case L'<': out += L"&lt;"; break;
      case L'&': out += L"&amp;"; break;
      case L'>': out += L"&gt;"; break;
      case L'\'': if (attribute) out += L"&apos;"; else out += c; break;
      case L'"': if (attribute) out += L"&quot;"; else out += c; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

MvZXml::MvZXml() : records_(1) {}

MvZXml::MvZXml(std::wstring_view text) : records_(1) { Parse(text); }

MvZXml::MvZXml(const MvZXml& other)
    : document_(other.document_),
      records_(other.records_),
      recordsUsed_(other.recordsUsed_),
      parentIndex_(other.parentIndex_),
      currentIndex_(other.currentIndex_),
      childIndex_(other.childIndex_),
      onElement_(other.onElement_) {}

MvZXml& MvZXml::operator=(const MvZXml& other) {
  if (this == &other) return *this;
  document_ = other.document_;
  records_ = other.records_;
  recordsUsed_ = other.recordsUsed_;
  parentIndex_ = other.parentIndex_;
  currentIndex_ = other.currentIndex_;
  childIndex_ = other.childIndex_;
  onElement_ = other.onElement_;
  return *this;
}

// ---- tokens -------------------------------------------------------------------------------

MvZXml::Token MvZXml::NextToken(size_t offset, size_t limit) const {
  Token token;
  limit = std::min(limit, document_.size());
  size_t i = offset;
  while (i < limit && IsSpace(document_[i])) ++i;
  if (i >= limit) return token;
  token.valid = true;
  wchar_t c = document_[i];
  if (c == L'"' || c == L'\'') {
    token.quoted = true;
    token.start = i + 1;
    size_t close = document_.find(c, i + 1);
    if (close == npos || close >= limit) {
      token.closed = false;
      token.end = token.next = limit;
    } else {
      token.end = close;
      token.next = close + 1;
    }
    return token;
  }
  token.start = i;
  if (IsDelimiter(c)) {
    token.end = token.next = i + 1;
    return token;
  }
  size_t j = i;
  while (j < limit && !IsDelimiter(document_[j])) ++j;
  token.end = token.next = j;
  return token;
}

std::wstring_view MvZXml::TokenText(const Token& token) const {
  return std::wstring_view(document_).substr(token.start, token.end - token.start);
}

std::wstring_view MvZXml::TagName(uint32_t element) const {
  if (element == 0 || element >= recordsUsed_) return {};
  Token token = NextToken(records_[element].tagStart + 1, document_.size());
  if (!token.valid || token.quoted) return {};
  return TokenText(token);
}

bool MvZXml::NameMatches(std::wstring_view tagName, const wchar_t* query) {
  if (!query || !*query) return true;
  std::wstring_view q(query);
  if (tagName.empty() || q.size() < tagName.size() || q.compare(0, tagName.size(), tagName) != 0) return false;
  if (q.size() == tagName.size()) return true;
  wchar_t next = q[tagName.size()];
  return next == L' ' || next == L'=' || next == L'/' || next == L'[';
}

// ---- parsing ------------------------------------------------------------------------------

void MvZXml::ResetIndex() {
  recordsUsed_ = 1;
  parentIndex_ = currentIndex_ = childIndex_ = 0;
  onElement_ = false;
  records_.assign(document_.size() / 64 + 8, ElementRecord{});
}

uint32_t MvZXml::TakeRecord() {
  if (recordsUsed_ >= records_.size()) {
    size_t grown = records_.size() + records_.size() / 2;
    records_.resize(std::max(grown, records_.size() + 1), ElementRecord{});
  }
  records_[recordsUsed_] = ElementRecord{};
  return recordsUsed_++;
}

bool MvZXml::Fail(std::wstring message, size_t at) {
  error_ = std::move(message);
  errorOffset_ = std::min(at, document_.size());
  return false;
}

size_t MvZXml::SkipNode(size_t mark) const {
  // mark is the "!" or "?" that follows the "<".
  if (document_[mark] == L'?') {
    size_t end = document_.find(L"?>", mark + 1);
    return end == npos ? npos : end + 2;
  }
  if (mark + 1 < document_.size() && document_[mark + 1] == L'[') {
    size_t end = document_.find(L"]]>", mark + 2);
    return end == npos ? npos : end + 3;
  }
  if (mark + 1 < document_.size() && document_[mark + 1] == L'-') {
    size_t end = document_.find(L"-->", mark + 2);
    return end == npos ? npos : end + 3;
  }
  // Document type declaration: an internal subset in brackets may hold ">" of its own.
  int depth = 0;
  size_t pos = mark + 1;
  for (;;) {
    Token token = NextToken(pos, document_.size());
    if (!token.valid) return npos;
    if (!token.quoted) {
      std::wstring_view text = TokenText(token);
      if (text == L">" && depth <= 0) return token.end;
      for (wchar_t c : text) {
        if (c == L'[') ++depth;
        else if (c == L']') --depth;
      }
    }
    pos = token.next;
  }
}

bool MvZXml::ReadEndTag(uint32_t element) {
  std::wstring name(TagName(element));
  size_t open = document_.find(L'<', records_[element].closeStart);
  if (open == npos) return Fail(FormatPrintf(L"End tag of %s element not found", name), document_.size());
  const size_t size = document_.size();
  Token slash = NextToken(open + 1, size);
  if (!slash.valid) return Fail(FormatPrintf(L"End tag not completed for element %s", name), open);
  if (slash.quoted || TokenText(slash) != L"/") return Fail(FormatPrintf(L"Expecting end tag of element %s", name), open);
  Token closing = NextToken(slash.next, size);
  if (!closing.valid) return Fail(FormatPrintf(L"End tag not completed for element %s", name), open);
  if (closing.quoted || TokenText(closing) != name) {
    return Fail(FormatPrintf(L"End tag does not correspond to %s", name), open);
  }
  size_t pos = closing.next;
  for (;;) {
    Token token = NextToken(pos, size);
    if (!token.valid) return Fail(FormatPrintf(L"End tag not completed for element %s", name), open);
    if (!token.quoted && TokenText(token) == L">") {
      records_[element].closeStart = static_cast<uint32_t>(open);
      records_[element].closeEnd = static_cast<uint32_t>(token.start);
      return true;
    }
    pos = token.next;
  }
}

// Indexes the first element below the root. Elements nest without limit, so the open elements
// are kept on an explicit stack rather than on the call stack. While an element is open its
// closeStart holds the offset from which its next child is searched.
bool MvZXml::ParseTopElement() {
  const size_t size = document_.size();
  uint32_t parent = 0;
  std::vector<uint32_t> lastChild{0};  // last linked child of each open element, root first

  // Links a finished element below its parent; true when the top element is finished.
  auto finish = [&](uint32_t element) {
    uint32_t owner = records_[element].parent;
    if (lastChild.back() == 0) records_[owner].firstChild = element;
    else records_[lastChild.back()].nextSibling = element;
    lastChild.back() = element;
    records_[owner].closeStart = records_[element].closeEnd + 1;
    return owner == 0;
  };

  for (;;) {
    uint32_t element = TakeRecord();
    records_[element].parent = parent;
    size_t search = records_[parent].closeStart;
    Token token;
    for (;;) {
      size_t open = document_.find(L'<', search);
      if (open == npos) return Fail(L"Element tag not found", document_.size());
      records_[parent].closeStart = static_cast<uint32_t>(open);
      records_[element].tagStart = static_cast<uint32_t>(open);
      token = NextToken(open + 1, size);
      if (!token.valid) return Fail(L"Abrupt end within tag", open);
      if (token.quoted) return Fail(L"Tag starts with quote", open);
      wchar_t first = document_[token.start];
      if (first != L'!' && first != L'?') break;
      search = SkipNode(token.start);
      if (search == npos) return Fail(L"Invalid node", token.start);
    }

    if (TokenText(token) == L"/") {
      --recordsUsed_;  // an end tag: the record is not needed
      if (parent == 0) return false;
      if (!ReadEndTag(parent)) return false;
      uint32_t done = parent;
      lastChild.pop_back();
      parent = records_[done].parent;
      if (finish(done)) return true;
      continue;
    }

    size_t close = document_.find(L'>', token.end);
    if (close == npos) return Fail(L"End of tag not found", token.start);
    ElementRecord& record = records_[element];
    record.tagEnd = static_cast<uint32_t>(close);
    if (document_[close - 1] == L'/') {
      record.closeStart = record.tagEnd - 1;
      record.closeEnd = record.tagEnd;
      if (finish(element)) return true;
      continue;
    }
    record.closeStart = record.tagEnd + 1;
    lastChild.push_back(0);
    parent = element;
  }
}

bool MvZXml::Parse(std::wstring_view text) {
  document_.assign(text);
  ResetIndex();
  if (document_.empty()) return false;
  if (document_.size() > kMaxDocumentLength) return Fail(L"Element tag not found", kMaxDocumentLength);
  records_[0] = ElementRecord{};
  if (!ParseTopElement()) {
    ResetIndex();
    return false;
  }
  uint32_t top = records_[0].firstChild;
  records_[0] = ElementRecord{};
  records_[0].firstChild = top;
  return true;
}

// ---- navigation ---------------------------------------------------------------------------

void MvZXml::ResetCursor() {
  parentIndex_ = currentIndex_ = childIndex_ = 0;
  onElement_ = false;
}

bool MvZXml::FindElement(const wchar_t* name) {
  if (!HasElement()) return false;
  uint32_t index = currentIndex_ ? records_[currentIndex_].nextSibling : records_[parentIndex_].firstChild;
  for (; index; index = records_[index].nextSibling) {
    if (NameMatches(TagName(index), name)) {
      currentIndex_ = index;
      childIndex_ = 0;
      onElement_ = true;
      return true;
    }
  }
  return false;
}

bool MvZXml::FindChildElement(const wchar_t* name) {
  const uint32_t savedParent = parentIndex_, savedCurrent = currentIndex_, savedChild = childIndex_;
  const bool savedOn = onElement_;
  if (currentIndex_ == 0 && !FindElement(nullptr)) return false;
  uint32_t index = childIndex_ ? records_[childIndex_].nextSibling : records_[currentIndex_].firstChild;
  for (; index; index = records_[index].nextSibling) {
    if (NameMatches(TagName(index), name)) {
      childIndex_ = index;
      parentIndex_ = records_[currentIndex_].parent;
      onElement_ = currentIndex_ != 0;
      return true;
    }
  }
  parentIndex_ = savedParent;
  currentIndex_ = savedCurrent;
  childIndex_ = savedChild;
  onElement_ = savedOn;
  return false;
}

bool MvZXml::EnterElement() {
  if (currentIndex_ == 0 || !onElement_) return false;
  parentIndex_ = currentIndex_;
  currentIndex_ = childIndex_;
  childIndex_ = 0;
  onElement_ = currentIndex_ != 0;
  return true;
}

bool MvZXml::LeaveElement() {
  if (parentIndex_ == 0) return false;
  childIndex_ = currentIndex_;
  currentIndex_ = parentIndex_;
  parentIndex_ = records_[parentIndex_].parent;
  onElement_ = currentIndex_ != 0;
  return true;
}

// ---- reading ------------------------------------------------------------------------------

std::wstring MvZXml::ElementName() const { return std::wstring(TagName(currentIndex_)); }

std::wstring MvZXml::ElementText() const {
  if (currentIndex_ == 0) return {};
  const ElementRecord& record = records_[currentIndex_];
  if (record.firstChild != 0 || record.tagEnd == record.closeStart + 1) return {};
  size_t i = record.tagEnd + 1;
  while (i < record.closeStart && IsSpace(document_[i])) ++i;
  if (i < record.closeStart && record.closeStart - i >= 12 && document_.compare(i, 9, L"<![CDATA[") == 0) {
    size_t end = document_.find(L"]]>", i + 9);
    if (end != npos && end < record.closeStart) return document_.substr(i + 9, end - (i + 9));
  }
  return DecodeEntities(std::wstring_view(document_).substr(record.tagEnd + 1, record.closeStart - record.tagEnd - 1));
}

// The attribute walk stays inside the start tag: a quoted value must close before the ">" that
// ends the tag, so that an edit of the value can never reach into the element's content.
MvZXml::AttributeSpan MvZXml::FindAttribute(uint32_t element, const wchar_t* name) const {
  AttributeSpan span;
  if (element == 0 || element >= recordsUsed_ || !name || !*name) return span;
  const ElementRecord& record = records_[element];
  const size_t limit = static_cast<size_t>(record.tagEnd) + 1;
  Token token = NextToken(record.tagStart + 1, limit);
  if (!token.valid) return span;
  size_t pos = token.next;
  for (;;) {
    token = NextToken(pos, limit);
    if (!token.valid) return span;
    if (!token.quoted) {
      std::wstring_view text = TokenText(token);
      if (text == L"/" || text == L">" || text == L"?") return span;
      if (NameMatches(text, name)) {
        Token equals = NextToken(token.next, limit);
        if (equals.valid && !equals.quoted && TokenText(equals) == L"=") {
          Token value = NextToken(equals.next, limit);
          if (value.valid && value.quoted && value.closed) {
            span.found = true;
            span.valueStart = value.start;
            span.valueEnd = value.end;
            return span;
          }
        }
      }
    }
    pos = token.next;
  }
}

std::wstring MvZXml::AttributeValue(const wchar_t* name) const {
  if (currentIndex_ == 0 || !onElement_) return {};
  AttributeSpan span = FindAttribute(currentIndex_, name);
  if (!span.found) return {};
  return DecodeEntities(std::wstring_view(document_).substr(span.valueStart, span.valueEnd - span.valueStart));
}

std::wstring MvZXml::DecodeEntities(std::wstring_view text) {
  static constexpr struct {
    std::wstring_view name;
    wchar_t character;
  } kEntities[] = {{L"lt;", L'<'}, {L"amp;", L'&'}, {L"gt;", L'>'}, {L"apos;", L'\''}, {L"quot;", L'"'}};
  std::wstring out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    wchar_t c = text[i];
    if (c == L'&') {
      std::wstring_view rest = text.substr(i + 1);
      for (const auto& entity : kEntities) {
        if (rest.substr(0, entity.name.size()) == entity.name) {
          c = entity.character;
          i += entity.name.size();
          break;
        }
      }
    }
    out += c;
  }
  return out;
}

std::wstring MvZXml::EncodeText(std::wstring_view text) { return Encode(text, false); }
std::wstring MvZXml::EncodeAttribute(std::wstring_view text) { return Encode(text, true); }

// ---- editing ------------------------------------------------------------------------------

void MvZXml::Splice(size_t position, size_t length, std::wstring_view text) {
  document_.replace(position, length, text);
  const int64_t delta = static_cast<int64_t>(text.size()) - static_cast<int64_t>(length);
  const size_t boundary = position + length;
  for (uint32_t i = 1; i < recordsUsed_; ++i) {
    ElementRecord& r = records_[i];
    for (uint32_t* offset : {&r.tagStart, &r.tagEnd, &r.closeStart, &r.closeEnd}) {
      if (*offset >= boundary) *offset = static_cast<uint32_t>(*offset + delta);
    }
  }
}

bool MvZXml::SetAttributeValue(uint32_t element, const wchar_t* name, const wchar_t* value) {
  if (element == 0 || element >= recordsUsed_ || !onElement_) return false;
  std::wstring_view attributeName = ViewOf(name);
  if (!IsWritableName(attributeName)) return false;
  std::wstring encoded = EncodeAttribute(ViewOf(value));
  AttributeSpan span = FindAttribute(element, name);
  if (span.found) {
    if (document_.size() - (span.valueEnd - span.valueStart) + encoded.size() > kMaxDocumentLength) return false;
    Splice(span.valueStart, span.valueEnd - span.valueStart, encoded);
    return true;
  }
  std::wstring insert = L" ";
  insert.append(attributeName).append(L"=\"").append(encoded).append(L"\"");
  if (document_.size() + insert.size() > kMaxDocumentLength) return false;
  const ElementRecord& record = records_[element];
  const bool emptyForm = record.tagEnd == record.closeStart + 1;
  Splice(emptyForm ? record.closeStart : record.tagEnd, 0, insert);
  return true;
}

bool MvZXml::AppendChildElement(const wchar_t* name, const wchar_t* value) {
  if (currentIndex_ == 0 || currentIndex_ >= recordsUsed_) return false;
  std::wstring_view childName = ViewOf(name);
  if (!IsWritableName(childName)) return false;
  const uint32_t parent = currentIndex_;
  std::wstring encoded = EncodeText(ViewOf(value));
  std::wstring element = L"<";
  element.append(childName);
  if (encoded.empty()) {
    element += L"/>\r\n";
  } else {
    element.append(L">").append(encoded).append(L"</").append(childName).append(L">\r\n");
  }
  std::wstring parentName(TagName(parent));
  if (document_.size() + element.size() + parentName.size() + 8 > kMaxDocumentLength) return false;

  uint32_t after = childIndex_;
  if (after != 0 && (after >= recordsUsed_ || records_[after].parent != parent)) after = 0;

  size_t elementStart;
  const ElementRecord parentRecord = records_[parent];
  if (parentRecord.tagEnd == parentRecord.closeStart + 1) {
    // Open the empty form: "<r/>" becomes "<r>", CR LF, the child, "</r>"; the old ">" now
    // closes the end tag.
    const size_t slash = parentRecord.closeStart;
    // "<r//>" cannot be opened: its start tag would still end in "/>" and read as empty.
    if (document_[slash - 1] == L'/') return false;
    std::wstring replacement = L">\r\n" + element + L"</" + parentName;
    Splice(slash, 1, replacement);
    ElementRecord& opened = records_[parent];
    opened.tagEnd = static_cast<uint32_t>(slash);
    opened.closeStart = static_cast<uint32_t>(slash + 3 + element.size());
    opened.closeEnd = static_cast<uint32_t>(slash + replacement.size());
    elementStart = slash + 3;
  } else {
    size_t at = after ? records_[after].closeEnd + 1 : parentRecord.closeStart;
    size_t skip = at;
    while (skip < parentRecord.closeStart && IsSpace(document_[skip])) ++skip;
    if (skip < document_.size() && document_[skip] == L'<') at = skip;
    std::wstring_view prefix = parentRecord.closeStart == parentRecord.tagEnd + 1 ? L"\r\n" : L"";
    Splice(at, 0, std::wstring(prefix) + element);
    elementStart = at + prefix.size();
  }

  const uint32_t child = TakeRecord();
  ElementRecord& record = records_[child];
  record.parent = parent;
  record.tagStart = static_cast<uint32_t>(elementStart);
  if (encoded.empty()) {
    record.tagEnd = static_cast<uint32_t>(elementStart + childName.size() + 2);
    record.closeStart = record.tagEnd - 1;
    record.closeEnd = record.tagEnd;
  } else {
    record.tagEnd = static_cast<uint32_t>(elementStart + 1 + childName.size());
    record.closeStart = static_cast<uint32_t>(record.tagEnd + 1 + encoded.size());
    record.closeEnd = static_cast<uint32_t>(record.closeStart + 2 + childName.size());
  }
  if (after) {
    records_[child].nextSibling = records_[after].nextSibling;
    records_[after].nextSibling = child;
  } else if (records_[parent].firstChild == 0) {
    records_[parent].firstChild = child;
  } else {
    uint32_t last = records_[parent].firstChild;
    while (records_[last].nextSibling) last = records_[last].nextSibling;
    records_[last].nextSibling = child;
  }
  childIndex_ = child;
  onElement_ = true;
  return true;
}

}  // namespace tessaly
