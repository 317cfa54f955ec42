// CXml writer and CXmlString: the exact layout, escaping, and round trips through the reader.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "xml/xml.h"
#include "xml/xml_string.h"
#include "xml_test_support.h"

using xml_testing::CountSiblings;
using xml_testing::Parsed;
using xml_testing::Str;
using xml_testing::Utf8;

namespace {

const std::string kDeclLine = "<?xml version=\"1.0\" ?>\r\n";

// Writes a tree (and frees it) and returns the bytes.
std::string WriteAndFree(CXmlElement* first) {
    CXml xml;
    char* bytes = xml.Write(first);
    std::string s = bytes != nullptr ? bytes : "<null>";
    std::free(bytes);
    CXml::FreeElements(first);
    return s;
}

TEST(XmlWriter, ElementsWithoutContentAreEmptyElementTags) {
    EXPECT_EQ(kDeclLine + "<a/>\r\n", WriteAndFree(CXml::CreateElement(u"a", nullptr)));
    EXPECT_EQ(kDeclLine + "<a></a>\r\n", WriteAndFree(CXml::CreateElement(u"a", u"")));
    EXPECT_EQ(kDeclLine, WriteAndFree(nullptr));
}

TEST(XmlWriter, TextComesFirstThenChildrenThenTheEndTag) {
    CXmlElement* a = CXml::CreateElement(u"a", u"t");
    CXml::AddChild(a, u"b", nullptr);
    CXml::AddChild(a, u"c", u"1");
    CXml::AddIntChild(a, u"d", -42);
    EXPECT_EQ(kDeclLine + "<a>t<b/>\r\n<c>1</c>\r\n<d>-42</d>\r\n</a>\r\n", WriteAndFree(a));
}

TEST(XmlWriter, AChildListAppendsAfterTheChildrenAlreadyThere) {
    CXmlElement* a = CXml::CreateElement(u"a", nullptr);
    CXml::AddChild(a, u"b", nullptr);
    CXml::AddChild(a, u"c", nullptr);
    CXmlChildList list(a);
    list.Add(u"d", u"x");
    list.AddInt(u"e", 7);
    CXml::AddChild(a, u"f", nullptr);
    EXPECT_EQ(kDeclLine + "<a><b/>\r\n<c/>\r\n<d>x</d>\r\n<e>7</e>\r\n<f/>\r\n</a>\r\n", WriteAndFree(a));
    CXmlChildList none(nullptr);
    EXPECT_EQ(nullptr, none.Add(u"g", nullptr));
}

TEST(XmlWriter, TopLevelSiblingsAreWrittenInTurn) {
    CXmlElement* a = CXml::CreateElement(u"a", u"1");
    a->next = CXml::CreateElement(u"b", nullptr);
    a->next->next = CXml::CreateElement(u"c", u"3");
    EXPECT_EQ(kDeclLine + "<a>1</a>\r\n<b/>\r\n<c>3</c>\r\n", WriteAndFree(a));
}

TEST(XmlWriter, SpecialCharactersBecomeEntitiesAndReadBack) {
    const char16_t* text = u"if (a < b && c > d) say \"it's\"";
    CXmlElement* a = CXml::CreateElement(u"a", text);
    std::string doc = WriteAndFree(a);
    EXPECT_EQ(kDeclLine + "<a>if (a &lt; b &amp;&amp; c &gt; d) say &quot;it&apos;s&quot;</a>\r\n", doc);
    Parsed p(doc);
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ(Utf8(text), Utf8(CXml::GetText(p.first)));
}

TEST(XmlWriter, WhitespaceIsWrittenUnchangedAndFoldedOnReading) {
    std::string doc = WriteAndFree(CXml::CreateElement(u"a", u"  x \t\r\n y  "));
    EXPECT_EQ(kDeclLine + "<a>  x \t\r\n y  </a>\r\n", doc);
    Parsed p(doc);
    EXPECT_EQ(Utf8(u"x y"), Utf8(CXml::GetText(p.first)));
}

TEST(XmlWriter, AttributesEndWithASpaceBeforeTheBracket) {
    CXml reader;
    std::string in = "<?xml version=\"1.0\" ?><a x=\"1\" y='\"&lt;' z=\"\"/><b k='v'>t</b>";
    CXmlElement* first = reader.Parse(in.data(), static_cast<int>(in.size()));
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(kDeclLine + "<a x=\"1\" y=\"&quot;&lt;\" z=\"\" />\r\n<b k=\"v\" >t</b>\r\n", WriteAndFree(first));
}

TEST(XmlWriter, TheFirstElementsEncodingGoesIntoTheDeclaration) {
    CXml xml;
    std::string in = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a>\x93\xfa</a>";
    CXmlElement* first = xml.Parse(in.data(), static_cast<int>(in.size()));
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(932u, xml.m_codePage);
    char* bytes = xml.Write(first);
    ASSERT_NE(nullptr, bytes);
    // The declaration keeps the name, but the bytes are UTF-8 and the reading code page is reset.
    EXPECT_EQ(std::string("<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\r\n<a>日</a>\r\n"), bytes);
    EXPECT_EQ(65001u, xml.m_codePage);
    std::free(bytes);
    CXml::FreeElements(first);
}

TEST(XmlWriter, JapaneseAndSupplementaryCharactersSurviveARoundTrip) {
    const char16_t* text = u"日本語 ログ 😀 end";
    std::string doc = WriteAndFree(CXml::CreateElement(u"名前", text));
    EXPECT_EQ(kDeclLine + "<名前>日本語 ログ \xF0\x9F\x98\x80 end</名前>\r\n", doc);
    Parsed p(doc);
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ(Utf8(text), Utf8(CXml::GetText(p.first)));
}

TEST(XmlWriter, StoredBytesGoOutAsTheirTextDecodes) {
    // Invalid UTF-8 goes out as U+FFFD and a NUL ends a text, as the text read from the
    // string says; valid bytes go out unchanged, escaped where they must be.
    CXmlElement* e = CXml::CreateElement(u"a", u"");
    e->text->AssignBytes("x\xff<\0y", 5);
    CXmlElement* child = CXml::AddChild(e, u"b", u"");
    child->text->AssignBytes("\xC3\xA9&\xF0\x9F\x98\x80\"", 8);
    child->name->AssignBytes("b\xC0", 2);
    EXPECT_EQ(kDeclLine +
                  "<a>x\xEF\xBF\xBD&lt;<b\xEF\xBF\xBD>\xC3\xA9&amp;\xF0\x9F\x98\x80&quot;</b\xEF\xBF\xBD>\r\n</a>\r\n",
              WriteAndFree(e));
}

TEST(XmlWriter, ParsedDocumentsWriteBackAndParseToTheSameTree) {
    std::string in = kDeclLine + "<r><a>1</a>\r\n<b><c>x</c>\r\n<d/>\r\n</b>\r\n<e></e>\r\n</r>\r\n";
    CXml xml;
    CXmlElement* first = xml.Parse(in.data(), static_cast<int>(in.size()));
    ASSERT_NE(nullptr, first);
    // <e></e> has no text once read, so it comes back as an empty-element tag.
    std::string expected = kDeclLine + "<r><a>1</a>\r\n<b><c>x</c>\r\n<d/>\r\n</b>\r\n<e/>\r\n</r>\r\n";
    EXPECT_EQ(expected, WriteAndFree(first));
}

TEST(XmlWriter, CreateElementCopiesNameAndText) {
    char16_t name[] = u"n";
    char16_t text[] = u"v";
    CXmlElement* e = CXml::CreateElement(name, text);
    name[0] = u'x';
    text[0] = u'y';
    EXPECT_EQ("n", Str(e->name));
    EXPECT_EQ("v", Str(e->text));
    EXPECT_EQ(nullptr, e->child);
    EXPECT_EQ(nullptr, e->next);
    EXPECT_EQ(nullptr, e->attribute);
    EXPECT_EQ(nullptr, e->encoding);
    CXml::AppendChild(e, nullptr);
    CXml::AppendChild(nullptr, e);
    EXPECT_EQ(nullptr, CXml::AddChild(nullptr, u"c", nullptr));
    EXPECT_EQ(0, CountSiblings(e->child));
    CXml::FreeElements(e);
}

TEST(XmlString, GrowsWithHeadroomAndStaysTerminated) {
    CXmlString s;
    EXPECT_EQ(nullptr, s.Data());
    s.Append(u"");
    s.Append(nullptr);
    EXPECT_EQ(nullptr, s.Data());
    s.Append(u"abc");
    EXPECT_EQ(3, s.Length());
    EXPECT_EQ(3 + 1 + 256, s.m_capacity);
    EXPECT_STREQ("abc", s.Data());
    std::string expected = "abc";
    for (int i = 0; i < 500; ++i) {
        s.Append(u"é日");
        expected += "é日";
    }
    EXPECT_EQ(static_cast<int>(expected.size()), s.Length());
    EXPECT_EQ(expected, std::string(s.Data()));
    EXPECT_GT(s.m_capacity, s.Length());
    s.Append(u"xyz", 2);
    EXPECT_EQ(expected + "xy", std::string(s.Data()));
    char* data = s.Detach();
    EXPECT_EQ(nullptr, s.Data());
    EXPECT_EQ(0, s.Length());
    EXPECT_EQ(expected + "xy", std::string(data));
    std::free(data);
}

}  // namespace
