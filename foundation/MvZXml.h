// A small in-place XML document: the whole document is kept as one wide text, and parsing builds
// an index of element records that point into it by character offsets (no node tree of copied
// strings). A cursor of three record indices (parent, current, child) drives navigation. Reads
// return fresh copies with the five predefined entities decoded; edits splice text into the
// document and shift every later offset, so an edited document is written back unchanged in form.
//
// Used for the language resource and the configuration file (StringTable) and the update
// manifest. Only the first top-level element is indexed; prolog, comments, CDATA sections and a
// document type declaration are skipped wherever they stand.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tessaly {

// One element. All offsets are character offsets into the document.
struct ElementRecord {
  uint32_t tagStart = 0;    // the "<" that opens the start tag
  uint32_t tagEnd = 0;      // the ">" that closes the start tag
  uint32_t closeStart = 0;  // the "<" of the end tag; tagEnd - 1 for the empty form "<x/>"
  uint32_t closeEnd = 0;    // the ">" of the end tag; tagEnd for the empty form
  uint32_t parent = 0;      // 0 for the top element
  uint32_t firstChild = 0;  // 0 when there is none
  uint32_t nextSibling = 0; // 0 when there is none
};

class MvZXml {
 public:
  MvZXml();
  explicit MvZXml(std::wstring_view text);
  MvZXml(const MvZXml& other);
  // Copies the document, the records and the cursor; the error text stays this object's own.
  MvZXml& operator=(const MvZXml& other);
  virtual ~MvZXml() = default;

  // Replaces the document with text and indexes it. True when a top element was indexed; on
  // failure the document has no element and Error() says why.
  bool Parse(std::wstring_view text);
  const std::wstring& Document() const { return document_; }
  // Message of the last parse failure; a later successful parse does not clear it.
  const std::wstring& Error() const { return error_; }
  // Where in the document the last failure was met (an offset in characters).
  size_t ErrorOffset() const { return errorOffset_; }
  bool HasElement() const { return records_[0].firstChild != 0; }

  // Navigation. Each returns true on success and leaves the cursor unchanged on failure.
  // A null or empty name matches any element; a name matches a tag when it begins with the tag
  // name and continues with nothing or one of space, "=", "/", "[".
  bool FindElement(const wchar_t* name = nullptr);
  bool FindChildElement(const wchar_t* name = nullptr);
  bool EnterElement();
  bool LeaveElement();
  void ResetCursor();

  // Reads (empty when there is nothing to read).
  std::wstring ElementName() const;
  std::wstring ElementText() const;
  std::wstring AttributeValue(const wchar_t* name) const;

  // Edits.
  bool SetAttributeValue(uint32_t element, const wchar_t* name, const wchar_t* value);
  bool AppendChildElement(const wchar_t* name, const wchar_t* value);

  // Cursor and index, for callers that walk records themselves and for tests.
  uint32_t ParentIndex() const { return parentIndex_; }
  uint32_t CurrentIndex() const { return currentIndex_; }
  uint32_t ChildIndex() const { return childIndex_; }
  bool OnElement() const { return onElement_; }
  uint32_t RecordsUsed() const { return recordsUsed_; }
  size_t Capacity() const { return records_.size(); }
  const ElementRecord& Record(uint32_t index) const { return records_[index]; }

  // Entity coding of the five predefined entities.
  static std::wstring DecodeEntities(std::wstring_view text);
  static std::wstring EncodeText(std::wstring_view text);
  static std::wstring EncodeAttribute(std::wstring_view text);

 private:
  struct Token {
    size_t start = 0;  // first character of the token (after an opening quote)
    size_t end = 0;    // one past its last character (before a closing quote)
    size_t next = 0;   // where scanning resumes
    bool quoted = false;
    bool closed = true;  // a quoted token found its closing quote
    bool valid = false;  // false at the end of the text
  };
  // One token from offset, looking no further than limit.
  Token NextToken(size_t offset, size_t limit) const;
  std::wstring_view TokenText(const Token& token) const;
  std::wstring_view TagName(uint32_t element) const;
  static bool NameMatches(std::wstring_view tagName, const wchar_t* query);

  struct AttributeSpan {
    bool found = false;
    size_t valueStart = 0;  // first character between the quotes
    size_t valueEnd = 0;    // the closing quote
  };
  AttributeSpan FindAttribute(uint32_t element, const wchar_t* name) const;

  // Element index. Returns the end offset of a skipped node, or npos for an invalid one.
  size_t SkipNode(size_t open) const;
  bool ParseTopElement();
  uint32_t TakeRecord();
  void ResetIndex();
  bool Fail(std::wstring message, size_t at);
  bool ReadEndTag(uint32_t element);

  // Replaces length characters at position by text and shifts every offset at or after the
  // end of the replaced range.
  void Splice(size_t position, size_t length, std::wstring_view text);

  std::wstring document_;
  std::wstring error_;
  size_t errorOffset_ = 0;
  std::vector<ElementRecord> records_;
  uint32_t recordsUsed_ = 1;
  uint32_t parentIndex_ = 0;
  uint32_t currentIndex_ = 0;
  uint32_t childIndex_ = 0;
  bool onElement_ = false;
};

}  // namespace tessaly
