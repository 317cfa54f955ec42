// CXml reader: declarations and encodings, elements, text folding, entities, attributes,
// comments, lenient recovery, nesting limits, lookups and integers.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

#include "xml/xml.h"
#include "xml_test_support.h"

using xml_testing::CountSiblings;
using xml_testing::Parsed;
using xml_testing::Str;
using xml_testing::TraceCapture;
using xml_testing::Utf8;

namespace {

const std::string kDecl = "<?xml version=\"1.0\" ?>";

TEST(XmlDeclaration, AcceptsWithAndWithoutSpaceBeforeTheEnd) {
    Parsed a("<?xml version=\"1.0\"?><a/>");
    ASSERT_NE(nullptr, a.first);
    EXPECT_EQ("a", Str(a.first->name));
    Parsed b("<?xml version=\"1.0\" ?>\r\n<a/>");
    ASSERT_NE(nullptr, b.first);
    Parsed c("  \r\n\t<?xml version='1.0'?><a/>");  // leading whitespace, apostrophes
    EXPECT_NE(nullptr, c.first);
}

TEST(XmlDeclaration, RejectsMissingOrDamagedDeclarations) {
    EXPECT_EQ(nullptr, Parsed("<?xml?><a/>").first);  // no whitespace after "<?xml"
    EXPECT_EQ(nullptr, Parsed("<a/>").first);
    EXPECT_EQ(nullptr, Parsed("\xEF\xBB\xBF<?xml version=\"1.0\"?><a/>").first);  // a byte-order mark
    EXPECT_EQ(nullptr, Parsed("<?xml ").first);
    EXPECT_EQ(nullptr, Parsed("<?xml version=\"1.0\"").first);
    EXPECT_EQ(nullptr, Parsed("<?xml version=\"1.0\" ?>").first);  // no element
    EXPECT_EQ(nullptr, Parsed("<?xml version=\"1.0\" ?>text").first);
    EXPECT_EQ(nullptr, Parsed("<?xml version=1.0 ?><a/>").first);  // unquoted value
    CXml xml;
    EXPECT_EQ(nullptr, xml.Parse(nullptr, 10));
    EXPECT_EQ(nullptr, xml.Parse("<?xml ?><a/>", 0));
}

TEST(XmlDeclaration, EncodingSelectsTheReadingCodePage) {
    Parsed sjis("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a/>");
    ASSERT_NE(nullptr, sjis.first);
    EXPECT_EQ(932u, sjis.xml.m_codePage);
    EXPECT_EQ("Shift_JIS", Str(sjis.first->encoding));

    Parsed utf8("<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>");
    EXPECT_EQ(65001u, utf8.xml.m_codePage);
    EXPECT_EQ("UTF-8", Str(utf8.first->encoding));

    Parsed euc("<?xml version=\"1.0\" encoding=\"euc\"?><a/>");
    EXPECT_EQ(65001u, euc.xml.m_codePage);
    EXPECT_EQ("euc", Str(euc.first->encoding));

    Parsed none("<?xml version=\"1.0\"?><a/><b/>");
    EXPECT_EQ(65001u, none.xml.m_codePage);
    EXPECT_EQ(nullptr, none.first->encoding);

    // The name is case-sensitive; a later encoding replaces an earlier one.
    Parsed upper("<?xml version=\"1.0\" ENCODING=\"shift_jis\"?><a/>");
    EXPECT_EQ(65001u, upper.xml.m_codePage);
    EXPECT_EQ(nullptr, upper.first->encoding);
    Parsed twice("<?xml encoding=\"shift_jis\" encoding=\"utf-8\"?><a/>");
    EXPECT_EQ(65001u, twice.xml.m_codePage);
    EXPECT_EQ("utf-8", Str(twice.first->encoding));
}

TEST(XmlDeclaration, ShiftJisDocumentsDecodeNamesAndTexts) {
    // "日本語" in Shift_JIS; the second byte of 本 (0x7B) and 語 (0x8C, 0xEA) are trail bytes.
    std::string text = "\x93\xfa\x96\x7b\x8c\xea";
    Parsed p("<?xml version=\"1.0\" encoding=\"shift_jis\"?><a v=\"" + text + "\"><" + text + ">" + text + " x</" +
             text + "></a>");
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ("日本語", Str(p.first->attribute->value));
    ASSERT_NE(nullptr, p.first->child);
    EXPECT_EQ("日本語", Str(p.first->child->name));
    EXPECT_EQ("日本語 x", Str(p.first->child->text));
    EXPECT_EQ(p.first->child, CXml::FindChild(p.first, u"日本語"));
}

TEST(XmlElements, EmptyFormsGiveBareElements) {
    for (const char* body : {"<a/>", "<a />", "<a></a>", "<a></a >", "<a\n/>", "<a>  \r\n </a>"}) {
        SCOPED_TRACE(body);
        Parsed p(kDecl + body);
        ASSERT_NE(nullptr, p.first);
        EXPECT_EQ("a", Str(p.first->name));
        EXPECT_EQ(nullptr, p.first->text);
        EXPECT_EQ(nullptr, p.first->child);
        EXPECT_EQ(nullptr, p.first->attribute);
        EXPECT_EQ(nullptr, p.first->next);
    }
}

TEST(XmlElements, ChildrenAndTopLevelSiblingsKeepDocumentOrder) {
    Parsed p(kDecl + "<r><a>1</a><b>2</b><a>3</a></r>\r\n<s/><t>x</t>");
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ(3, CountSiblings(p.first));
    EXPECT_EQ("s", Str(p.first->next->name));
    EXPECT_EQ("t", Str(p.first->next->next->name));
    EXPECT_EQ(nullptr, p.first->next->encoding);
    CXmlElement* a = CXml::FindChild(p.first, u"a");
    ASSERT_NE(nullptr, a);
    EXPECT_EQ("1", Str(a->text));
    CXmlElement* a2 = CXml::FindNext(a, u"a");
    ASSERT_NE(nullptr, a2);
    EXPECT_EQ("3", Str(a2->text));
    EXPECT_EQ(nullptr, CXml::FindNext(a2, u"a"));
    EXPECT_EQ(p.first->next->next, CXml::FindElement(p.first, u"t"));
    EXPECT_EQ(nullptr, CXml::FindElement(p.first, u"T"));  // case-sensitive
    EXPECT_EQ(nullptr, CXml::FindElement(p.first, u"r "));
    EXPECT_EQ(nullptr, CXml::FindChild(nullptr, u"a"));
    EXPECT_EQ(nullptr, CXml::FindNext(nullptr, u"a"));
    EXPECT_EQ(nullptr, CXml::FindElement(nullptr, u"a"));
}

TEST(XmlElements, MixedTextAndChildrenKeepTheLastTextRun) {
    Parsed p(kDecl + "<a>x<b/>y</a>");
    ASSERT_NE(nullptr, p.first);
    ASSERT_NE(nullptr, p.first->child);
    EXPECT_EQ("b", Str(p.first->child->name));
    EXPECT_EQ("y", Str(p.first->text));
    Parsed q(kDecl + "<a>x<b/>  </a>");
    EXPECT_EQ("x", Str(q.first->text));
}

TEST(XmlElements, NamesEndAtDelimitersAndMayHoldHighBytes) {
    Parsed p(kDecl + "<設定 a='1'><b\tc=\"2\"/></設定>");
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ("設定", Str(p.first->name));
    EXPECT_EQ("b", Str(p.first->child->name));
    EXPECT_EQ("c", Str(p.first->child->attribute->name));
    EXPECT_EQ(p.first, CXml::FindElement(p.first, u"設定"));
}

TEST(XmlText, WhitespaceIsTrimmedAndFolded) {
    Parsed p(kDecl + "<a>  a \r\n\t b  </a>");
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ("a b", Str(p.first->text));
    EXPECT_EQ(Utf8(u"a b"), Utf8(CXml::GetText(p.first)));
    Parsed q(kDecl + "<a> \t\r\n </a>");
    EXPECT_EQ(nullptr, q.first->text);
    EXPECT_EQ(Utf8(u""), Utf8(CXml::GetText(q.first)));
    EXPECT_EQ(Utf8(u""), Utf8(CXml::GetText(nullptr)));
}

TEST(XmlText, TheFiveEntitiesAreDecodedAndOthersPassThrough) {
    Parsed p(kDecl + "<a>x &lt; y &amp;&amp; z</a>");
    EXPECT_EQ("x < y && z", Str(p.first->text));
    Parsed q(kDecl + "<a>&lt;&gt;&amp;&quot;&apos;</a>");
    EXPECT_EQ("<>&\"'", Str(q.first->text));
    Parsed r(kDecl + "<a>&copy; &#65; &amp &</a>");
    EXPECT_EQ("&copy; &#65; &amp &", Str(r.first->text));
    Parsed s(kDecl + "<a v=\"&quot;&lt;\"/>");
    EXPECT_EQ("\"<", Str(s.first->attribute->value));
}

TEST(XmlText, InvalidUtf8DecodesToReplacementCharacters) {
    const std::string kBad = "\xEF\xBF\xBD";  // U+FFFD
    // Each maximal invalid piece is one U+FFFD; valid sequences of every length stay as
    // they are, in names and texts alike.
    const std::pair<std::string, std::string> cases[] = {
        {"x\xff-y", "x" + kBad + "-y"},
        {"\xC0\xAF", kBad + kBad},  // overlong
        {"a\xE3\x81", "a" + kBad},  // cut short at the end
        {"\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80", "\xC3\xA9\xE3\x81\x82\xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) {
        Parsed p(kDecl + "<n" + c.first + ">" + c.first + "</n" + c.first + ">");
        ASSERT_NE(nullptr, p.first) << c.first;
        EXPECT_EQ("n" + c.second, Str(p.first->name));
        EXPECT_EQ(c.second, Str(p.first->text));
    }
    // A surrogate and a value past U+10FFFF: replaced, nothing of them kept (how many
    // replacement characters each gives is the system conversion's choice).
    for (const std::string bad : {"\xED\xA0\x80", "\xF4\x90\x80\x80"}) {
        Parsed p(kDecl + "<n>" + bad + "</n>");
        ASSERT_NE(nullptr, p.first);
        std::string text = Str(p.first->text);
        ASSERT_FALSE(text.empty());
        for (size_t k = 0; k < text.size(); k += kBad.size()) EXPECT_EQ(kBad, text.substr(k, kBad.size())) << text;
    }
}

TEST(XmlAttributes, QuotesValuesAndOrder) {
    Parsed p(kDecl + "<a one='say \"hi\"' two=\"it's\"  three = \" spaced  out \" four=''/>");
    ASSERT_NE(nullptr, p.first);
    CXmlAttribute* at = p.first->attribute;
    ASSERT_NE(nullptr, at);
    EXPECT_EQ("one", Str(at->name));
    EXPECT_EQ("say \"hi\"", Str(at->value));
    at = at->next;
    ASSERT_NE(nullptr, at);
    EXPECT_EQ("two", Str(at->name));
    EXPECT_EQ("it's", Str(at->value));
    at = at->next;
    ASSERT_NE(nullptr, at);
    EXPECT_EQ("three", Str(at->name));
    EXPECT_EQ("spaced out", Str(at->value));
    at = at->next;
    ASSERT_NE(nullptr, at);
    EXPECT_EQ("four", Str(at->name));
    EXPECT_EQ(nullptr, at->value);
    EXPECT_EQ(nullptr, at->next);
}

TEST(XmlAttributes, EmptyValueGoesOnAfterTheQuote) {
    Parsed p(kDecl + "<a x=\"\" y=\"2\">t</a>");
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ(nullptr, p.first->attribute->value);
    ASSERT_NE(nullptr, p.first->attribute->next);
    EXPECT_EQ("2", Str(p.first->attribute->next->value));
    EXPECT_EQ("t", Str(p.first->text));
}

TEST(XmlAttributes, MalformedAttributesDropTheElement) {
    EXPECT_EQ(nullptr, Parsed(kDecl + "<a x/>").first);
    EXPECT_EQ(nullptr, Parsed(kDecl + "<a x=1/>").first);
    EXPECT_EQ(nullptr, Parsed(kDecl + "<a/b>").first);
    EXPECT_EQ(nullptr, Parsed(kDecl + "<a\"x\"/>").first);  // the name must be followed by whitespace, / or >
    // A child with a bad attribute is dropped; its parent keeps the rest.
    Parsed p(kDecl + "<r><a x/><b/></r>");
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ(nullptr, CXml::FindChild(p.first, u"a"));
}

TEST(XmlComments, AreSkippedWhereverTheyStand) {
    Parsed p(kDecl +
             "<!-- before --><!--x--><r><!-- c1 --><a>1</a><!-- c2 -->\r\n<b>2<!-- in text --></b>"
             "<!-- before end --></r><!-- between --><s><!----></s><!-- after -->");
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ("r", Str(p.first->name));
    EXPECT_EQ(2, CountSiblings(p.first));
    EXPECT_EQ(2, CountSiblings(p.first->child));
    EXPECT_EQ("1", Str(CXml::FindChild(p.first, u"a")->text));
    EXPECT_EQ("2", Str(CXml::FindChild(p.first, u"b")->text));
    EXPECT_EQ("s", Str(p.first->next->name));
    EXPECT_EQ(nullptr, p.first->next->child);
    EXPECT_EQ(nullptr, p.first->next->text);
}

TEST(XmlComments, ACommentBeforeAnEndTagLosesNothingAfterIt) {
    Parsed p(kDecl + "<r><a>1<!-- x --></a><b><c/><!-- y --></b><d>4</d></r>");
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ(3, CountSiblings(p.first->child));
    EXPECT_EQ("1", Str(CXml::FindChild(p.first, u"a")->text));
    EXPECT_NE(nullptr, CXml::FindChild(CXml::FindChild(p.first, u"b"), u"c"));
    EXPECT_EQ("4", Str(CXml::FindChild(p.first, u"d")->text));
}

TEST(XmlComments, AnUnterminatedCommentRunsToTheEnd) {
    Parsed p(kDecl + "<r><a/><!-- open <b/></r>");
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ(1, CountSiblings(p.first->child));
    EXPECT_EQ(nullptr, Parsed(kDecl + "<!-- only a comment -->").first);
}

TEST(XmlRecovery, AWrongEndTagDropsItsElementAndEndsTheParse) {
    Parsed p(kDecl + "<r><a>1</a><b><c>x</d></b><e/></r><s/>");
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ("r", Str(p.first->name));
    EXPECT_EQ(nullptr, p.first->next);  // the parse ended
    ASSERT_NE(nullptr, p.first->child);
    EXPECT_EQ("a", Str(p.first->child->name));
    CXmlElement* b = p.first->child->next;
    ASSERT_NE(nullptr, b);
    EXPECT_EQ("b", Str(b->name));
    EXPECT_EQ(nullptr, b->child);  // c was dropped
    EXPECT_EQ(nullptr, b->next);   // e was never read

    EXPECT_EQ(nullptr, Parsed(kDecl + "<a>x</b>").first);
    EXPECT_EQ(nullptr, Parsed(kDecl + "<ab>x</a").first);
}

TEST(XmlRecovery, AnEndTagMayCarrySpaceBeforeItsBracket) {
    Parsed p(kDecl + "<r><a>1</a \r\n><b/></r >");
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ(2, CountSiblings(p.first->child));
}

TEST(XmlRecovery, TruncatedInputKeepsTheOpenElements) {
    Parsed p(kDecl + "<r><a>1</a><b>unfinished");
    ASSERT_NE(nullptr, p.first);
    CXmlElement* b = CXml::FindChild(p.first, u"b");
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(nullptr, b->text);  // a text run that reaches the end is dropped
    EXPECT_EQ("1", Str(CXml::FindChild(p.first, u"a")->text));

    Parsed q(kDecl + "<r><a>1</a><b");
    ASSERT_NE(nullptr, q.first);
    EXPECT_EQ(1, CountSiblings(q.first->child));

    Parsed s(kDecl + "<r x=\"1\"");
    ASSERT_NE(nullptr, s.first);
    EXPECT_EQ("1", Str(s.first->attribute->value));

    Parsed t(kDecl + "<r><a>1</a>  ");
    ASSERT_NE(nullptr, t.first);
    EXPECT_EQ(1, CountSiblings(t.first->child));
    EXPECT_EQ(nullptr, Parsed(kDecl + "<").first);
}

TEST(XmlRecovery, AStrayBracketInContentWritesTheTraceLine) {
    TraceCapture trace;
    std::string doc = kDecl + "<r><a>x > y</a><b/></r>";
    Parsed p(doc);
    ASSERT_NE(nullptr, p.first);
    CXmlElement* a = CXml::FindChild(p.first, u"a");
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(nullptr, a->text);
    EXPECT_EQ(nullptr, CXml::FindChild(p.first, u"b"));
    int at = static_cast<int>(doc.find('>', doc.find("x ")));
    ASSERT_FALSE(TraceCapture::Lines().empty());
    EXPECT_EQ("XML parse error (" + std::to_string(at) + ")\n", TraceCapture::Lines()[0]);
}

TEST(XmlRecovery, AnEndTagWithExtraCharactersWritesTheTraceLine) {
    TraceCapture trace;
    Parsed p(kDecl + "<ab>x</abc>");
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ("ab", Str(p.first->name));
    EXPECT_FALSE(TraceCapture::Lines().empty());
}

TEST(XmlRecovery, WellFormedDocumentsWriteNoTraceLine) {
    TraceCapture trace;
    Parsed p(kDecl + "<r a='1'><!-- c --><b>x &amp; y</b><c/></r>");
    ASSERT_NE(nullptr, p.first);
    EXPECT_TRUE(TraceCapture::Lines().empty());
}

std::string Nested(int depth, const std::string& inner) {
    std::string open, close;
    for (int i = 0; i < depth; ++i) {
        open += "<e>";
        close += "</e>";
    }
    return open + inner + close;
}

int Depth(CXmlElement* e) {
    int n = 0;
    for (; e != nullptr; e = e->child) ++n;
    return n;
}

TEST(XmlNesting, TwoHundredFiftySixLevelsAreRead) {
    Parsed p(kDecl + Nested(256, "deep") + "<after/>");
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ(256, Depth(p.first));
    CXmlElement* e = p.first;
    while (e->child != nullptr) e = e->child;
    EXPECT_EQ("deep", Str(e->text));
    EXPECT_EQ(2, CountSiblings(p.first));
}

TEST(XmlNesting, DeeperNestingEndsTheParseAsMalformed) {
    Parsed p(kDecl + "<r><before/>" + Nested(256, "deep") + "<later/></r><after/>");
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ("before", Str(p.first->child->name));
    EXPECT_EQ(255, Depth(p.first->child->next));  // levels 2 to 256; the 257th was dropped
    EXPECT_EQ(nullptr, CXml::FindChild(p.first, u"later"));
    EXPECT_EQ(nullptr, p.first->next);
    Parsed q(kDecl + Nested(257, "") + "<after/>");
    ASSERT_NE(nullptr, q.first);
    EXPECT_EQ(256, Depth(q.first));
    EXPECT_EQ(nullptr, q.first->next);
}

TEST(XmlNesting, HugeDepthDoesNotExhaustTheStack) {
    std::string open;
    for (int i = 0; i < 200000; ++i) open += "<e>";
    Parsed p(kDecl + open);
    ASSERT_NE(nullptr, p.first);
    EXPECT_EQ(256, Depth(p.first));
}

TEST(XmlNesting, FreeingAHugeBuiltTreeDoesNotRecurse) {
    CXmlElement* root = CXml::CreateElement(u"e", nullptr);
    CXmlElement* e = root;
    for (int i = 0; i < 200000; ++i) {
        CXmlElement* child = CXml::CreateElement(u"e", u"t");
        CXml::AppendChild(e, child);
        CXml::AppendChild(e, CXml::CreateElement(u"s", nullptr));
        e = child;
    }
    CXml::FreeElements(root);  // ASan reports leaks or overflow otherwise
    CXml::FreeElements(nullptr);
}

CXmlElement* TextElement(const char16_t* text) { return CXml::CreateElement(u"n", text); }

TEST(XmlGetInt, ParsesDecimalIntegersOrGivesTheDefault) {
    struct Case {
        const char16_t* text;
        int expected;
    } cases[] = {
        {u"42", 42},
        {u"-7", -7},
        {u" \t5", 5},
        {u"-", 0},
        {u"0012", 12},
        {u"12a", 99},
        {u"1 2", 99},
        {u"+3", 99},
        {u"5 ", 99},
        {u"", 99},
        {u"- 1", 99},
        {u"--1", 99},
        {u"2147483647", 2147483647},
        {u"4294967297", 1},
        {u"１", 99},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Utf8(c.text));
        CXmlElement* e = TextElement(c.text);
        EXPECT_EQ(c.expected, CXml::GetInt(e, 99));
        CXml::FreeElements(e);
    }
    EXPECT_EQ(-3, CXml::GetInt(nullptr, -3));
    CXmlElement* none = CXml::CreateElement(u"n", nullptr);
    EXPECT_EQ(8, CXml::GetInt(none, 8));
    CXml::FreeElements(none);
    Parsed p(kDecl + "<a> -12 </a>");
    EXPECT_EQ(-12, CXml::GetInt(p.first, 0));
    // A text ends at a NUL; a byte that is no ASCII character is no digit, valid or not.
    CXmlElement* bytes = CXml::CreateElement(u"n", u"");
    bytes->text->AssignBytes("12\0x", 4);
    EXPECT_EQ(12, CXml::GetInt(bytes, 99));
    bytes->text->AssignBytes("1\x80", 2);
    EXPECT_EQ(99, CXml::GetInt(bytes, 99));
    CXml::FreeElements(bytes);
}

}  // namespace
