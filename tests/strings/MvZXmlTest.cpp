#include "MvZXml.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace tessaly {
namespace {

// The element tree as the index sees it: depth and the four offsets of every element in
// document order. Two documents index alike when these are equal.
struct Shape {
  int depth;
  uint32_t tagStart, tagEnd, closeStart, closeEnd;
  bool operator==(const Shape&) const = default;
};

void Walk(const MvZXml& xml, uint32_t index, int depth, std::vector<Shape>& out) {
  for (; index; index = xml.Record(index).nextSibling) {
    const ElementRecord& r = xml.Record(index);
    out.push_back({depth, r.tagStart, r.tagEnd, r.closeStart, r.closeEnd});
    Walk(xml, r.firstChild, depth + 1, out);
  }
}

std::vector<Shape> ShapeOf(const MvZXml& xml) {
  std::vector<Shape> out;
  Walk(xml, xml.Record(0).firstChild, 0, out);
  return out;
}

// An edited document must index, when parsed again, exactly as the shifted records say.
void ExpectReparsesAlike(const MvZXml& xml) {
  MvZXml again(xml.Document());
  ASSERT_TRUE(again.HasElement()) << std::string(xml.Document().begin(), xml.Document().end());
  EXPECT_EQ(ShapeOf(again), ShapeOf(xml));
}

// Every element's name, text and the given attributes in document order, read through the
// cursor as the language loader reads them.
std::vector<std::wstring> ReadAll(MvZXml& xml, const std::vector<const wchar_t*>& attributes) {
  std::vector<std::wstring> out;
  std::function<void()> level = [&]() {
    while (xml.FindElement()) {
      std::wstring line = xml.ElementName() + L"|" + xml.ElementText();
      for (const wchar_t* a : attributes) line += L"|" + xml.AttributeValue(a);
      out.push_back(line);
      if (xml.EnterElement()) {
        level();
        xml.LeaveElement();
      }
    }
  };
  xml.ResetCursor();
  level();
  xml.ResetCursor();
  return out;
}

TEST(MvZXml, ParseResultsAndErrorTexts) {
  struct {
    const char* name;
    std::wstring document;
    bool want;
    std::wstring error;
  } cases[] = {
      {"empty text", L"", false, L""},
      {"no tag at all", L"plain text", false, L"Element tag not found"},
      {"start tag alone", L"<a>", false, L"Element tag not found"},
      {"open child never closed", L"<a><b>", false, L"Element tag not found"},
      {"lone <", L"<", false, L"Abrupt end within tag"},
      {"< and blanks", L"<  \r\n", false, L"Abrupt end within tag"},
      {"quoted tag name", L"<\"a\">x</a>", false, L"Tag starts with quote"},
      {"unclosed comment", L"<!-- never closed <a/>", false, L"Invalid node"},
      {"unclosed prolog", L"<?xml version='1.0' <a/>", false, L"Invalid node"},
      {"unclosed CDATA", L"<a><![CDATA[x</a>", false, L"Invalid node"},
      {"unclosed doctype subset", L"<!DOCTYPE a [ <!ENTITY e 'x'> <a/>", false, L"Invalid node"},
      {"start tag without >", L"<a x='1'", false, L"End of tag not found"},
      {"mismatched end tag", L"<a>x</b>", false, L"End tag does not correspond to a"},
      {"crossed end tags", L"<a><b></a></b>", false, L"End tag does not correspond to b"},
      {"end tag name is longer", L"<a></ab>", false, L"End tag does not correspond to a"},
      {"end tag without >", L"<a></a", false, L"End tag not completed for element a"},
      {"end tag without name", L"<a></", false, L"End tag not completed for element a"},
      {"first tag is an end tag", L"</a>", false, L""},
      {"empty element", L"<a/>", true, L""},
      {"end tag with blanks", L"<a>x</ a >", true, L""},
      {"prolog comment doctype", L"\uFEFF<?xml version=\"1.0\"?>\r\n<!-- intro -->\r\n"
                                 L"<!DOCTYPE r [ <!ELEMENT r ANY> <!ATTLIST r a CDATA \"x>y\"> ]>\r\n"
                                 L"<r a=\"1\"><b/></r>", true, L""},
      {"CDATA holding markup", L"<a><![CDATA[</b><c>]]></a>", true, L""},
      {"comment holding markup", L"<a><!-- </b> --></a>", true, L""},
      {"only the first top element", L"<a/><b>unbalanced", true, L""},
  };
  for (const auto& c : cases) {
    MvZXml xml;
    EXPECT_EQ(xml.Parse(c.document), c.want) << c.name;
    EXPECT_EQ(xml.Error(), c.error) << c.name;
    EXPECT_EQ(xml.HasElement(), c.want) << c.name;
    if (!c.want) {
      EXPECT_EQ(xml.RecordsUsed(), 1u) << c.name;
      EXPECT_FALSE(xml.FindElement()) << c.name;
      EXPECT_EQ(xml.ElementText(), L"") << c.name;
      EXPECT_FALSE(xml.FindChildElement()) << c.name;
    }
  }
}

TEST(MvZXml, PrologCommentAndDoctypeAreNotElements) {
  MvZXml xml(L"\uFEFF<?xml version=\"1.0\"?><!-- c --><!DOCTYPE r [ <!ENTITY e \"]>\"> ]><r><b/></r>");
  ASSERT_TRUE(xml.HasElement());
  EXPECT_EQ(xml.RecordsUsed(), 3u);
  ASSERT_TRUE(xml.FindElement());
  EXPECT_EQ(xml.ElementName(), L"r");
  EXPECT_EQ(xml.Document()[0], L'\uFEFF');  // the byte-order mark stays part of the document
}

TEST(MvZXml, ErrorTextSurvivesLaterSuccess) {
  MvZXml xml;
  EXPECT_FALSE(xml.Parse(L"<a>x</b>"));
  EXPECT_TRUE(xml.Parse(L"<a/>"));
  EXPECT_EQ(xml.Error(), L"End tag does not correspond to a");
}

TEST(MvZXml, RecordOffsets) {
  MvZXml xml(L"<a><b/>t</a>");
  ASSERT_EQ(xml.RecordsUsed(), 3u);
  const ElementRecord& a = xml.Record(1);
  const ElementRecord& b = xml.Record(2);
  EXPECT_EQ(xml.Record(0).firstChild, 1u);
  EXPECT_EQ((std::vector<uint32_t>{a.tagStart, a.tagEnd, a.closeStart, a.closeEnd, a.parent, a.firstChild}),
            (std::vector<uint32_t>{0, 2, 8, 11, 0, 2}));
  // b is in the empty form: closeStart is tagEnd - 1 and closeEnd is tagEnd.
  EXPECT_EQ((std::vector<uint32_t>{b.tagStart, b.tagEnd, b.closeStart, b.closeEnd, b.parent, b.firstChild}),
            (std::vector<uint32_t>{3, 6, 5, 6, 1, 0}));
  ASSERT_TRUE(xml.FindChildElement());
  ASSERT_TRUE(xml.EnterElement());
  EXPECT_EQ(xml.ElementName(), L"b");
  EXPECT_EQ(xml.ElementText(), L"");
}

TEST(MvZXml, ElementText) {
  struct {
    const char* name;
    std::wstring document;
    std::wstring want;
  } cases[] = {
      {"CDATA undecoded", L"<s> <![CDATA[<b>]]></s>", L"<b>"},
      {"CDATA keeps entities", L"<s><![CDATA[&lt;]]></s>", L"&lt;"},
      {"entities, blanks kept", L"<s> a &lt; b </s>", L" a < b "},
      {"all five entities", L"<s>&lt;&amp;&gt;&apos;&quot;</s>", L"<&>'\""},
      {"no double decoding", L"<s>&amp;lt;</s>", L"&lt;"},
      {"unknown and numeric", L"<s>&nbsp;&#65;&</s>", L"&nbsp;&#65;&"},
      {"entity cut by the end", L"<s>a&lt</s>", L"a&lt"},
      {"CDATA not first", L"<s>x<![CDATA[y]]></s>", L"x<![CDATA[y]]>"},
      {"has a child element", L"<s>x<b/>y</s>", L""},
      {"empty form", L"<s/>", L""},
      {"no content", L"<s></s>", L""},
      {"comment inside is text", L"<s>a<!--c-->b</s>", L"a<!--c-->b"},
      {"> inside a quoted value ends the tag", L"<s a=\"x>y\">z</s>", L"y\">z"},
  };
  for (const auto& c : cases) {
    MvZXml xml(c.document);
    ASSERT_TRUE(xml.FindElement()) << c.name;
    EXPECT_EQ(xml.ElementText(), c.want) << c.name;
  }
}

TEST(MvZXml, AttributeValue) {
  struct {
    const char* name;
    std::wstring document;
    const wchar_t* attribute;
    std::wstring want;
  } cases[] = {
      {"double quotes", L"<a x=\"1\"/>", L"x", L"1"},
      {"single quotes, entity", L"<a x='1 &amp; 2'>t</a>", L"x", L"1 & 2"},
      {"unquoted value", L"<a x=1>t</a>", L"x", L""},
      {"blanks around =", L"<a x = \"1\" />", L"x", L"1"},
      {"longer name first", L"<a xy=\"1\" x=\"2\"/>", L"x", L"2"},
      {"query longer than the name", L"<a x=\"1\"/>", L"xy", L""},
      {"query continues with a blank", L"<a x=\"1\"/>", L"x y", L"1"},
      {"case-sensitive", L"<a X=\"1\"/>", L"x", L""},
      {"tag name is not an attribute", L"<x y=\"0\" x=\"1\"/>", L"x", L"1"},
      {"walk stops at /", L"<a / x=\"1\">t</a>", L"x", L""},
      {"quote opens another quote", L"<a x=\"it's\"/>", L"x", L"it's"},
      {"value cut by the tag's end", L"<a x=\"1>2\">t</a>", L"x", L""},
      {"missing attribute", L"<a x=\"1\"/>", L"z", L""},
      {"empty value", L"<a x=\"\"/>", L"x", L""},
  };
  for (const auto& c : cases) {
    MvZXml xml(c.document);
    ASSERT_TRUE(xml.FindElement()) << c.name;
    EXPECT_EQ(xml.AttributeValue(c.attribute), c.want) << c.name;
  }
}

TEST(MvZXml, NameMatching) {
  MvZXml xml(L"<r><Strings/><String/><S/></r>");
  struct {
    const char* name;
    const wchar_t* query;
    std::wstring want;  // name of the element found, empty for none
  } cases[] = {
      {"exact", L"String", L"String"},
      {"query with more text", L"String SID=x", L"String"},
      {"query with bracket", L"String[2]", L"String"},
      {"plural", L"Strings", L"Strings"},
      {"prefix of a name", L"Str", L""},
      {"case differs", L"string", L""},
      {"null matches any", nullptr, L"Strings"},
      {"empty matches any", L"", L"Strings"},
  };
  for (const auto& c : cases) {
    xml.ResetCursor();
    ASSERT_TRUE(xml.FindElement(L"r"));
    ASSERT_TRUE(xml.EnterElement());
    bool found = xml.FindElement(c.query);
    EXPECT_EQ(found, !c.want.empty()) << c.name;
    if (found) {
      EXPECT_EQ(xml.ElementName(), c.want) << c.name;
    }
  }
}

TEST(MvZXml, CursorMovesAndFailuresKeepIt) {
  MvZXml xml(L"<m><t><u><File a=\"1\">x</File><Other/><File a=\"2\">y</File></u></t></m>");
  // A failed move leaves the cursor where it was.
  EXPECT_FALSE(xml.EnterElement());
  EXPECT_FALSE(xml.LeaveElement());
  ASSERT_TRUE(xml.FindElement(L"m"));
  EXPECT_FALSE(xml.FindElement(L"m"));  // no further sibling
  EXPECT_EQ(xml.CurrentIndex(), 1u);
  EXPECT_TRUE(xml.OnElement());
  ASSERT_TRUE(xml.EnterElement());
  EXPECT_FALSE(xml.OnElement());
  EXPECT_EQ(xml.ElementName(), L"");
  EXPECT_EQ(xml.AttributeValue(L"a"), L"");
  ASSERT_TRUE(xml.FindElement(L"t"));
  ASSERT_TRUE(xml.EnterElement());
  ASSERT_TRUE(xml.FindElement(L"u"));

  // The update manifest walk: each child of u in turn, entered and left.
  std::vector<std::wstring> seen;
  while (xml.FindChildElement()) {
    ASSERT_TRUE(xml.EnterElement());
    seen.push_back(xml.ElementName() + L":" + xml.AttributeValue(L"a") + L":" + xml.ElementText());
    ASSERT_TRUE(xml.LeaveElement());
  }
  EXPECT_EQ(seen, (std::vector<std::wstring>{L"File:1:x", L"Other::", L"File:2:y"}));
  uint32_t parent = xml.ParentIndex(), current = xml.CurrentIndex(), child = xml.ChildIndex();
  EXPECT_FALSE(xml.FindChildElement(L"File"));
  EXPECT_EQ(std::make_tuple(xml.ParentIndex(), xml.CurrentIndex(), xml.ChildIndex()),
            std::make_tuple(parent, current, child));
}

TEST(MvZXml, FindChildElementStartsAtTheTopElement) {
  MvZXml xml(L"<m><a/><b/></m>");
  ASSERT_TRUE(xml.FindChildElement(L"b"));
  EXPECT_EQ(xml.CurrentIndex(), 1u);  // m, found first
  EXPECT_EQ(xml.ChildIndex(), 3u);
  EXPECT_EQ(xml.ParentIndex(), 0u);
  EXPECT_TRUE(xml.OnElement());
}

TEST(MvZXml, AppendChildElementForms) {
  struct {
    const char* name;
    std::wstring document;
    const wchar_t* after;  // child to append after, null for the last place
    const wchar_t* value;
    std::wstring want;
  } cases[] = {
      {"opens the empty form", L"<r/>", nullptr, L"", L"<r>\r\n<String/>\r\n</r>"},
      {"empty form with attribute", L"<x><r a=\"1\"/></x>", nullptr, L"v",
       L"<x><r a=\"1\">\r\n<String>v</String>\r\n</r></x>"},
      {"no content", L"<r></r>", nullptr, L"", L"<r>\r\n<String/>\r\n</r>"},
      {"last child, value encoded", L"<r>\r\n  <a/>\r\n</r>", nullptr, L"x < y & z",
       L"<r>\r\n  <a/>\r\n<String>x &lt; y &amp; z</String>\r\n</r>"},
      {"after a child, before the next", L"<r>\r\n<a/>\r\n<b/>\r\n</r>", L"a", L"",
       L"<r>\r\n<a/>\r\n<String/>\r\n<b/>\r\n</r>"},
      {"after the last child", L"<r>\r\n<a/>\r\n<b/>\r\n</r>", L"b", L"",
       L"<r>\r\n<a/>\r\n<b/>\r\n<String/>\r\n</r>"},
      {"text content", L"<r>abc</r>", nullptr, L"", L"<r>abc<String/>\r\n</r>"},
      {"after a child followed by text", L"<r><a/> t</r>", L"a", L"", L"<r><a/><String/>\r\n t</r>"},
  };
  for (const auto& c : cases) {
    MvZXml xml(c.document);
    ASSERT_TRUE(xml.HasElement()) << c.name;
    // The parent is the element that holds a child named "a" or, failing that, the deepest "r".
    ASSERT_TRUE(xml.FindElement()) << c.name;
    if (xml.ElementName() == L"x") {
      ASSERT_TRUE(xml.FindChildElement(L"r")) << c.name;
      ASSERT_TRUE(xml.EnterElement()) << c.name;
    }
    if (c.after) {
      ASSERT_TRUE(xml.FindChildElement(c.after)) << c.name;
    }
    const uint32_t parent = xml.CurrentIndex();
    ASSERT_TRUE(xml.AppendChildElement(L"String", c.value)) << c.name;
    EXPECT_EQ(xml.Document(), c.want) << c.name;
    EXPECT_EQ(xml.CurrentIndex(), parent) << c.name;
    EXPECT_TRUE(xml.OnElement()) << c.name;
    ExpectReparsesAlike(xml);
    // The new element reads back through the cursor.
    ASSERT_TRUE(xml.EnterElement()) << c.name;
    EXPECT_EQ(xml.ElementName(), L"String") << c.name;
    EXPECT_EQ(xml.ElementText(), c.value) << c.name;
  }
}

TEST(MvZXml, SetAttributeValueForms) {
  struct {
    const char* name;
    std::wstring document;
    const wchar_t* attribute;
    const wchar_t* value;
    std::wstring want;
  } cases[] = {
      {"added to the empty form", L"<a/>", L"x", L"1", L"<a x=\"1\"/>"},
      {"added before >", L"<a>t</a>", L"x", L"1", L"<a x=\"1\">t</a>"},
      {"added after others", L"<a y='2'>t</a>", L"x", L"1", L"<a y='2' x=\"1\">t</a>"},
      {"replaced, longer", L"<a x=\"1\">t</a>", L"x", L"123", L"<a x=\"123\">t</a>"},
      {"replaced, shorter", L"<a x='long'/>", L"x", L"", L"<a x=''/>"},
      {"value encoded", L"<a/>", L"x", L"<'&\">", L"<a x=\"&lt;&apos;&amp;&quot;&gt;\"/>"},
      {"unquoted one is not replaced", L"<a x=1>t</a>", L"x", L"2", L"<a x=1 x=\"2\">t</a>"},
  };
  for (const auto& c : cases) {
    MvZXml xml(c.document);
    ASSERT_TRUE(xml.FindElement()) << c.name;
    ASSERT_TRUE(xml.SetAttributeValue(xml.CurrentIndex(), c.attribute, c.value)) << c.name;
    EXPECT_EQ(xml.Document(), c.want) << c.name;
    EXPECT_EQ(xml.AttributeValue(c.attribute), c.value) << c.name;
    ExpectReparsesAlike(xml);
  }
}

TEST(MvZXml, EditsKeepEveryLaterElementReadable) {
  const std::wstring document =
      L"\uFEFF<?xml version=\"1.0\"?>\r\n<R>\r\n <A k=\"1\">one</A>\r\n <B k='2'><![CDATA[<two>]]></B>\r\n"
      L" <C><D k=\"4\">four &amp; more</D><E/></C>\r\n <F k=\"6\">six</F>\r\n</R>\r\n<!-- tail -->";
  MvZXml xml(document);
  ASSERT_TRUE(xml.HasElement());
  const std::vector<const wchar_t*> attributes{L"k", L"SID", L"Lang"};
  std::vector<std::wstring> before = ReadAll(xml, attributes);
  ASSERT_EQ(before.size(), 7u);

  // Add an attribute to the first element: everything after shifts.
  ASSERT_TRUE(xml.FindElement(L"R"));
  ASSERT_TRUE(xml.EnterElement());
  ASSERT_TRUE(xml.FindElement(L"A"));
  ASSERT_TRUE(xml.SetAttributeValue(xml.CurrentIndex(), L"SID", L"IDS_X"));
  std::vector<std::wstring> after = ReadAll(xml, attributes);
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(after[1], L"A|one|1|IDS_X|");
  for (size_t i = 2; i < before.size(); ++i) EXPECT_EQ(after[i], before[i]) << i;
  ExpectReparsesAlike(xml);

  // Shrink a value, append a child into the middle, then edit an element before it again.
  xml.ResetCursor();
  ASSERT_TRUE(xml.FindElement(L"R"));
  ASSERT_TRUE(xml.EnterElement());
  ASSERT_TRUE(xml.FindElement(L"C"));
  ASSERT_TRUE(xml.SetAttributeValue(xml.CurrentIndex(), L"k", L"3"));
  ASSERT_TRUE(xml.FindChildElement(L"D"));
  ASSERT_TRUE(xml.AppendChildElement(L"String", L"new"));
  const uint32_t added = xml.ChildIndex();
  ASSERT_TRUE(xml.SetAttributeValue(added, L"SID", L"IDS_NEW"));
  ASSERT_TRUE(xml.SetAttributeValue(added, L"Lang", L"UK"));
  xml.ResetCursor();
  ASSERT_TRUE(xml.FindElement(L"R"));
  ASSERT_TRUE(xml.EnterElement());
  ASSERT_TRUE(xml.FindElement(L"A"));
  ASSERT_TRUE(xml.SetAttributeValue(xml.CurrentIndex(), L"SID", L""));
  after = ReadAll(xml, attributes);
  EXPECT_EQ(after, (std::vector<std::wstring>{L"R||||", L"A|one|1||", L"B|<two>|2||", L"C||3||",
                                              L"D|four & more|4||", L"String|new||IDS_NEW|UK", L"E||||",
                                              L"F|six|6||"}));
  ExpectReparsesAlike(xml);
  EXPECT_NE(xml.Document().find(L"<D k=\"4\">four &amp; more</D><String SID=\"IDS_NEW\" Lang=\"UK\">new</String>\r\n<E/>"),
            std::wstring::npos);
  EXPECT_EQ(xml.Document().substr(xml.Document().size() - 15), L"\r\n<!-- tail -->");
}

TEST(MvZXml, ReadsAndEditsWithoutAnElementChangeNothing) {
  MvZXml xml(L"<r><a/></r>");
  const std::wstring document = xml.Document();
  EXPECT_EQ(xml.ElementName(), L"");
  EXPECT_EQ(xml.ElementText(), L"");
  EXPECT_EQ(xml.AttributeValue(L"x"), L"");
  EXPECT_FALSE(xml.AppendChildElement(L"String", L"v"));
  EXPECT_FALSE(xml.SetAttributeValue(0, L"x", L"1"));
  EXPECT_FALSE(xml.SetAttributeValue(99, L"x", L"1"));
  ASSERT_TRUE(xml.FindElement());
  ASSERT_TRUE(xml.EnterElement());  // on no element now
  EXPECT_FALSE(xml.SetAttributeValue(1, L"x", L"1"));
  // Names that would not read back as one token are refused.
  ASSERT_TRUE(xml.LeaveElement());
  EXPECT_FALSE(xml.AppendChildElement(L"a b", L""));
  EXPECT_FALSE(xml.AppendChildElement(L"", L""));
  EXPECT_FALSE(xml.SetAttributeValue(1, L"x=\"", L"1"));
  EXPECT_EQ(xml.Document(), document);

  // "<r//>" is in the empty form, but opened it would still end in "/>" and read as empty.
  MvZXml odd(L"<r//>");
  ASSERT_TRUE(odd.FindElement());
  EXPECT_FALSE(odd.AppendChildElement(L"String", L""));
  EXPECT_EQ(odd.Document(), L"<r//>");
  EXPECT_TRUE(odd.SetAttributeValue(odd.CurrentIndex(), L"x", L"1"));
  EXPECT_EQ(odd.Document(), L"<r/ x=\"1\"/>");
}

TEST(MvZXml, CapacityGrowsByHalf) {
  std::wstring document = L"<r>";
  for (int i = 0; i < 20; ++i) document += L"<b/>";
  document += L"</r>";  // 87 characters: room for 87 / 64 + 8 = 9 records
  MvZXml xml;
  xml.Parse(L"<x/>");
  EXPECT_EQ(xml.Capacity(), 8u);
  ASSERT_TRUE(xml.Parse(document));
  EXPECT_EQ(xml.RecordsUsed(), 22u);
  EXPECT_EQ(xml.Capacity(), 28u);  // 9 -> 13 -> 19 -> 28

  // Appending grows the same way once the records are used up.
  ASSERT_TRUE(xml.FindElement());
  for (int i = 0; i < 7; ++i) ASSERT_TRUE(xml.AppendChildElement(L"String", L""));
  EXPECT_EQ(xml.RecordsUsed(), 29u);
  EXPECT_EQ(xml.Capacity(), 42u);
  ExpectReparsesAlike(xml);
}

TEST(MvZXml, DeepNestingDoesNotExhaustTheStack) {
  const int depth = 200000;
  std::wstring document;
  for (int i = 0; i < depth; ++i) document += L"<a>";
  for (int i = 0; i < depth; ++i) document += L"</a>";
  MvZXml xml(document);
  ASSERT_TRUE(xml.HasElement());
  EXPECT_EQ(xml.RecordsUsed(), static_cast<uint32_t>(depth + 1));
  EXPECT_EQ(xml.Record(depth).parent, static_cast<uint32_t>(depth - 1));
}

TEST(MvZXml, CopyTakesDocumentRecordsAndCursorButNotTheError) {
  MvZXml source;
  source.Parse(L"<bad>");
  source.Parse(L"<r><a/><b/></r>");
  ASSERT_TRUE(source.FindChildElement(L"b"));
  MvZXml copy;
  copy.Parse(L"<x></y>");
  copy = source;
  EXPECT_EQ(copy.Document(), source.Document());
  EXPECT_EQ(copy.ChildIndex(), source.ChildIndex());
  EXPECT_EQ(copy.Error(), L"End tag does not correspond to x");
  ASSERT_TRUE(copy.AppendChildElement(L"String", L"only in the copy"));
  EXPECT_EQ(source.Document(), L"<r><a/><b/></r>");
  EXPECT_EQ(ShapeOf(source).size(), 3u);
}

TEST(MvZXml, EntityCoding) {
  EXPECT_EQ(MvZXml::EncodeText(L"<a & 'b' \"c\">"), L"&lt;a &amp; 'b' \"c\"&gt;");
  EXPECT_EQ(MvZXml::EncodeAttribute(L"<a & 'b' \"c\">"), L"&lt;a &amp; &apos;b&apos; &quot;c&quot;&gt;");
  const std::wstring sample = L"x<&>'\"y&amp;";
  EXPECT_EQ(MvZXml::DecodeEntities(MvZXml::EncodeAttribute(sample)), sample);
}

}  // namespace
}  // namespace tessaly
