// Fuzzes the XML writer against the reader: a random tree (names, texts with every special
// character, attributes, nesting, several top-level elements) is written and read back. The
// tree read back must equal the one written, texts and values trimmed and folded as the
// reader documents, lone surrogates turned into U+FFFD by UTF-8.
#include <cstdlib>
#include <cstring>

#include "foundation/trace.h"
#include "xml_fuzz_support.h"

namespace {

using fuzzing::FuzzInput;
using fuzzing::XmlNode;

constexpr int kMaxNodes = 400;
constexpr int kMaxDepth = 60;

// Units that exercise the writer's escaping and the reader's folding and decoding.
const char16_t kTextUnits[] = {u'a', u'Z',  u'0',   u'7',   u' ',   u'\t',  u'\r',  u'\n',  u'<',   u'>',  u'&',
                               u'"', u'\'', u';',   u'=',   u'/',   u'?',   u'!',   u'-',   u'#',   u'l',  u't',
                               u'g', u'q',  0x00E9, 0x3042, 0x65E5, 0xFF21, 0xFFFD, 0x0080, 0x007F, 0x0001};
// Name units: anything but the reader's name delimiters.
const char16_t kNameUnits[] = {u'a', u'b', u'x', u'_', u'-',   u'.',   u':',
                               u'1', u'!', u'?', u'[', 0x00E9, 0x3042, 0xFF21};

char16_t TextUnit(FuzzInput& in) {
    uint8_t b = in.Byte();
    if (b < 200) return kTextUnits[b % (sizeof(kTextUnits) / sizeof(kTextUnits[0]))];
    if (b < 250) return static_cast<char16_t>(0x20 + in.Below(0x5F));
    uint16_t w = in.Word();
    return w == 0 ? u'w' : w;  // any unit, lone surrogates included
}

std::u16string Text(FuzzInput& in) {
    std::u16string s;
    uint32_t n = in.Below(24);
    for (uint32_t i = 0; i < n; ++i) {
        // Entity names, so that text that looks like an entity is written escaped.
        if (in.Below(16) == 0) {
            static const char16_t* const kPieces[] = {u"&lt;", u"&amp;", u"&quot;", u"&copy;", u"&#65;", u"-->"};
            s += kPieces[in.Below(6)];
        } else {
            s.push_back(TextUnit(in));
        }
    }
    return s;
}

std::u16string Name(FuzzInput& in) {
    std::u16string s;
    uint32_t n = 1 + in.Below(6);
    for (uint32_t i = 0; i < n; ++i) s.push_back(kNameUnits[in.Below(sizeof(kNameUnits) / sizeof(kNameUnits[0]))]);
    // "<!--" opens a comment, so no element name starts with "!--".
    if (s.compare(0, 3, u"!--") == 0) s[0] = u'n';
    return s;
}

// Builds an element in the CXml tree and, beside it, the node the reader must give back.
CXmlElement* Build(FuzzInput& in, int depth, int* nodes, XmlNode* expected) {
    ++*nodes;
    std::u16string name = Name(in);
    bool hasText = in.Flag();
    std::u16string text = hasText ? Text(in) : std::u16string();
    CXmlElement* e = CXml::CreateElement(name.c_str(), hasText ? text.c_str() : nullptr);
    FUZZ_CHECK(e != nullptr);
    expected->name = fuzzing::ThroughUtf8(name);
    if (hasText) expected->text = fuzzing::Folded(fuzzing::ThroughUtf8(text));

    uint32_t attributes = in.Below(4) == 0 ? in.Below(4) : 0;
    CXmlAttribute** tail = &e->attribute;
    for (uint32_t i = 0; i < attributes; ++i) {
        std::u16string an = Name(in);
        std::u16string av = Text(in);
        auto* a = static_cast<CXmlAttribute*>(std::calloc(1, sizeof(CXmlAttribute)));
        FUZZ_CHECK(a != nullptr);
        a->name = new CString(an.c_str());
        a->value = av.empty() ? nullptr : new CString(av.c_str());
        *tail = a;
        tail = &a->next;
        expected->attributes.emplace_back(fuzzing::ThroughUtf8(an), fuzzing::Folded(fuzzing::ThroughUtf8(av)));
    }

    uint32_t children = depth < kMaxDepth ? in.Below(4) : 0;
    for (uint32_t i = 0; i < children && *nodes < kMaxNodes && !in.Empty(); ++i) {
        XmlNode child;
        CXml::AppendChild(e, Build(in, depth + 1, nodes, &child));
        expected->children.push_back(std::move(child));
    }
    return e;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    TraceOutput = TraceNone;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    int nodes = 0;
    std::vector<XmlNode> expected;
    CXmlElement* root = CXml::CreateElement(u"root", nullptr);
    FUZZ_CHECK(root != nullptr);
    uint32_t top = 1 + in.Below(3);
    for (uint32_t i = 0; i < top; ++i) {
        XmlNode node;
        CXml::AppendChild(root, Build(in, 1, &nodes, &node));
        expected.push_back(std::move(node));
    }

    CXml xml;
    char* written = xml.Write(root->child);
    CXml::FreeElements(root);
    FUZZ_CHECK(written != nullptr);
    CXml reader;
    CXmlElement* first = reader.Parse(written, static_cast<int>(std::strlen(written)));
    FUZZ_CHECK(first != nullptr);
    FUZZ_CHECK(first->encoding == nullptr);
    std::vector<XmlNode> got = fuzzing::Snapshot(first);
    CXml::FreeElements(first);
    std::free(written);
    FUZZ_CHECK(got == expected);
    return 0;
}
