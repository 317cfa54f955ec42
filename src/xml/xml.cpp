// The XML reader: one forward pass over the bytes, one function per construct. Recovery
// from malformed input is deliberately lenient (keep what was read); the trace line marks
// the places where the reader stopped making progress.
#include "xml/xml.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "foundation/convert.h"
#include "foundation/trace.h"
#include "xml/xml_string.h"

namespace {

struct CEntity {
    const char* name;
    int length;
    char character;
};

// The same five rows, in the same order, as the writer uses.
const CEntity kEntities[] = {
    {"&lt;", 4, '<'}, {"&gt;", 4, '>'}, {"&amp;", 5, '&'}, {"&quot;", 6, '"'}, {"&apos;", 6, '\''},
};

bool IsSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

bool IsNameDelimiter(unsigned char c) {
    switch (c) {
        case 0:
        case '\t':
        case '\n':
        case '\r':
        case ' ':
        case '"':
        case '&':
        case '\'':
        case '/':
        case '<':
        case '=':
        case '>':
            return true;
        default:
            return false;
    }
}

bool AtEnd(const CXmlCursor& c) { return c.position >= c.size; }

int Remaining(const CXmlCursor& c) { return c.size - c.position; }

bool LookingAt(const CXmlCursor& c, const char* text, int length) {
    return Remaining(c) >= length && std::memcmp(c.data + c.position, text, static_cast<size_t>(length)) == 0;
}

void SkipSpace(CXmlCursor& c) {
    while (c.position < c.size && IsSpace(c.data[c.position])) ++c.position;
}

void TraceParseError(int position) { TraceOutput(u"XML parse error (%d)\n", position); }

// A comment opener needs one byte beyond "<!--"; the closer counts only when one byte
// follows it. An unterminated comment runs to the end of the input.
bool AtComment(const CXmlCursor& c) { return Remaining(c) >= 5 && LookingAt(c, "<!--", 4); }

void SkipComment(CXmlCursor& c) {
    c.position += 4;
    while (c.position < c.size) {
        if (c.size - c.position > 3 && std::memcmp(c.data + c.position, "-->", 3) == 0) {
            c.position += 3;
            return;
        }
        ++c.position;
    }
}

// ASCII case-insensitive equality of a UTF-8 string with a lower-case constant.
bool EqualsNoCase(const CString* s, const char* lower) {
    if (s == nullptr || s->Data() == nullptr) return false;
    const char* p = s->Data();
    size_t n = std::strlen(lower);
    if (static_cast<size_t>(s->Length()) != n) return false;
    for (size_t i = 0; i < n; ++i) {
        char ch = p[i];
        if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        if (ch != lower[i]) return false;
    }
    return true;
}

// Skips space and comments (at the top level too) before an element; 1 at its "<", 0
// when there is none.
int SkipToElement(CXmlCursor& c) {
    for (;;) {
        int passStart = c.position;
        if (AtEnd(c)) return 0;
        SkipSpace(c);
        if (AtEnd(c) || c.data[c.position] != '<') return 0;
        if (!AtComment(c)) return 1;
        SkipComment(c);
        if (c.position == passStart) {
            TraceParseError(c.position);
            return 0;
        }
    }
}

void FreeAttributes(CXmlAttribute* attribute) {
    while (attribute != nullptr) {
        CXmlAttribute* next = attribute->next;
        delete attribute->name;
        delete attribute->value;
        std::free(attribute);
        attribute = next;
    }
}

}  // namespace

CString* CXml::Decode(const unsigned char* bytes, int count) {
    if (m_codePage == kCodePageUtf8 && count > 0 && IsPlainUtf8(reinterpret_cast<const char*>(bytes), count)) {
        // Kept as they are: a CString holds UTF-8 (a file's names and texts are mostly this).
        auto* s = new (std::nothrow) CString();
        if (s != nullptr) s->AssignBytes(reinterpret_cast<const char*>(bytes), count);
        return s;
    }
    char16_t* wide = MultiByteToWideAlloc(reinterpret_cast<const char*>(bytes), count, m_codePage);
    if (wide == nullptr) return nullptr;
    CString* s = new (std::nothrow) CString(wide);
    std::free(wide);
    return s;
}

CXmlElement* CXml::Parse(const char* data, int size) {
    if (data == nullptr || size <= 0) return nullptr;
    CXmlCursor cursor = {reinterpret_cast<const unsigned char*>(data), size, 0};
    CString* encoding = nullptr;
    if (!ParseDeclaration(cursor, &encoding)) {
        delete encoding;
        return nullptr;
    }
    CXmlElement* first = ParseElement(cursor, 1);
    if (first == nullptr) {
        delete encoding;
        return nullptr;
    }
    first->encoding = encoding;
    // A tail pointer instead of walking the chain for every append: the same order.
    CXmlElement* tail = first;
    while (CXmlElement* next = ParseElement(cursor, 1)) {
        tail->next = next;
        tail = next;
    }
    return first;
}

int CXml::ParseDeclaration(CXmlCursor& c, CString** encoding) {
    SkipSpace(c);
    if (!LookingAt(c, "<?xml", 5)) return 0;
    c.position += 5;
    if (AtEnd(c) || !IsSpace(c.data[c.position])) return 0;
    int previous = -1;
    for (;;) {
        if (c.position == previous) {
            TraceParseError(c.position);
            return 0;
        }
        previous = c.position;
        SkipSpace(c);
        if (AtEnd(c)) return 0;
        if (LookingAt(c, "?>", 2)) {
            c.position += 2;
            return 1;
        }
        CXmlAttribute* attribute = ParseAttribute(c);
        if (attribute == nullptr) return 0;
        CString* name = attribute->name;
        if (name->Length() == 8 && std::memcmp(name->Data(), "encoding", 8) == 0) {
            if (EqualsNoCase(attribute->value, "shift_jis")) {
                m_codePage = 932;
            } else {
                m_codePage = 65001;  // "utf-8", and every value the reader does not know
            }
            delete *encoding;
            *encoding = attribute->value;
            attribute->value = nullptr;
        }
        FreeAttributes(attribute);
        if (AtEnd(c)) return 0;
    }
}

CString* CXml::ParseName(CXmlCursor& c) {
    int start = c.position;
    int i = start;
    while (i < c.size && !IsNameDelimiter(c.data[i])) ++i;
    if (i == start || i >= c.size) return nullptr;
    CString* name = Decode(c.data + start, i - start);
    if (name == nullptr) return nullptr;
    c.position = i;
    return name;
}

CXmlAttribute* CXml::ParseAttribute(CXmlCursor& c) {
    SkipSpace(c);
    CString* name = ParseName(c);
    if (name == nullptr) return nullptr;
    SkipSpace(c);
    if (AtEnd(c) || c.data[c.position] != '=') {
        delete name;
        return nullptr;
    }
    ++c.position;
    SkipSpace(c);
    if (AtEnd(c) || (c.data[c.position] != '"' && c.data[c.position] != '\'')) {
        delete name;
        return nullptr;
    }
    int quote = c.data[c.position];
    ++c.position;
    CString* value = ParseText(c, quote);
    auto* attribute = static_cast<CXmlAttribute*>(std::calloc(1, sizeof(CXmlAttribute)));
    if (attribute == nullptr) {
        delete name;
        delete value;
        return nullptr;
    }
    attribute->name = name;
    attribute->value = value;
    return attribute;
}

namespace {

// The character of the entity at i, or the '&' itself when none of the known ones starts
// there; returns the bytes read.
int ReadEntity(const CXmlCursor& c, int i, unsigned char* character) {
    for (const CEntity& e : kEntities) {
        if (c.size - i >= e.length && std::memcmp(c.data + i, e.name, static_cast<size_t>(e.length)) == 0) {
            *character = static_cast<unsigned char>(e.character);
            return e.length;
        }
    }
    *character = '&';
    return 1;
}

}  // namespace

CString* CXml::ParseText(CXmlCursor& c, int quote) {
    const int start = c.position;
    // The look-ahead sizes the output: entities only shrink, and the walk below stops at
    // the same bytes, so the output never passes this length.
    int end = start;
    while (end < c.size) {
        unsigned char b = c.data[end];
        if (b == '<' || b == '>' || (quote != 0 && b == quote)) break;
        ++end;
    }
    if (end == start) {
        if (quote != 0 && end < c.size && c.data[end] == quote) c.position = end + 1;  // an empty value
        return nullptr;
    }
    auto* out = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(end - start)));
    if (out == nullptr) return nullptr;
    int n = 0;
    bool folded = false;
    int i = start;
    for (;;) {
        if (i >= c.size) {
            c.position = c.size;  // a run that reaches the end of the input is dropped
            std::free(out);
            return nullptr;
        }
        unsigned char b = c.data[i];
        if (b == 0) {
            // A string cannot hold NUL: kept, it would cut the text short there.
            ++i;
            continue;
        }
        if (b == '&') {
            i += ReadEntity(c, i, &out[n++]);
            folded = false;
            continue;
        }
        if (IsSpace(b)) {
            if (!folded) {
                if (n > 0) out[n++] = ' ';
                folded = true;
            }
            ++i;
            continue;
        }
        if (quote != 0 && b == quote) {
            ++i;
            break;
        }
        if (b == '<' && quote == 0) break;  // the text ends; the position stays at '<'
        if (b == '<' || b == '>') {
            c.position = i == start ? i + 1 : i;
            std::free(out);
            return nullptr;
        }
        out[n++] = b;
        folded = false;
        ++i;
    }
    c.position = i;
    if (folded && n > 0 && out[n - 1] == ' ') --n;
    CString* result = n > 0 ? Decode(out, n) : nullptr;
    std::free(out);
    return result;
}

CXmlElement* CXml::ParseElement(CXmlCursor& c, int depth) {
    if (depth > kXmlMaxDepth) {
        // Too deep to be one of our documents: stop reading, as for a wrong end tag.
        c.position = c.size;
        return nullptr;
    }
    CNameSpan name = {0, 0};
    bool open = false;
    CXmlElement* element = ParseStartTag(c, &name, &open);
    if (element == nullptr || !open) return element;
    if (!ParseContent(c, depth, name, &element->child, &element->text)) {
        FreeElements(element);
        return nullptr;
    }
    return element;
}

CXmlElement* CXml::ParseStartTag(CXmlCursor& c, CNameSpan* name, bool* open) {
    // Allocated before anything is read, so that a failed allocation leaves the position.
    auto* element = static_cast<CXmlElement*>(std::calloc(1, sizeof(CXmlElement)));
    if (element == nullptr) return nullptr;
    if (!SkipToElement(c)) {
        FreeElements(element);
        return nullptr;
    }
    ++c.position;
    name->start = c.position;
    element->name = ParseName(c);
    if (element->name == nullptr) {
        FreeElements(element);
        return nullptr;
    }
    name->length = c.position - name->start;
    // ParseName stops before the end, so a byte follows the name.
    if (IsSpace(c.data[c.position])) {
        SkipSpace(c);
    } else if (c.data[c.position] != '/' && c.data[c.position] != '>') {
        FreeElements(element);
        return nullptr;
    }
    if (!ParseAttributes(c, &element->attribute, open)) {
        FreeElements(element);
        return nullptr;
    }
    return element;
}

int CXml::ParseAttributes(CXmlCursor& c, CXmlAttribute** attributes, bool* open) {
    CXmlAttribute* first = nullptr;
    CXmlAttribute* tail = nullptr;
    *open = false;
    // Input that ends inside the tag keeps the attributes read: an element without content.
    while (!AtEnd(c)) {
        int passStart = c.position;
        SkipSpace(c);
        if (LookingAt(c, "/>", 2)) {
            c.position += 2;
            break;
        }
        if (!AtEnd(c) && c.data[c.position] == '>') {
            ++c.position;
            *open = true;
            break;
        }
        CXmlAttribute* attribute = ParseAttribute(c);
        if (attribute == nullptr) {
            FreeAttributes(first);
            return 0;
        }
        if (tail == nullptr) {
            first = attribute;
        } else {
            tail->next = attribute;
        }
        tail = attribute;
        if (c.position == passStart) {
            TraceParseError(c.position);
            *open = true;
            break;
        }
    }
    *attributes = first;
    return 1;
}

int CXml::ParseContent(CXmlCursor& c, int depth, CNameSpan name, CXmlElement** children, CString** text) {
    // Text runs, children, comments and the end tag. The end of the input, or a pass that
    // reads nothing, keeps what was read.
    CXmlElement* first = nullptr;
    CXmlElement* last = nullptr;
    CString* lastText = nullptr;
    for (;;) {
        if (AtEnd(c)) break;
        int passStart = c.position;
        SkipSpace(c);
        if (AtEnd(c)) break;
        if (LookingAt(c, "</", 2)) {
            int closed = ParseEndTag(c, name);
            if (closed == 0) {
                FreeElements(first);
                delete lastText;
                return 0;
            }
            if (closed == 1) break;
        } else if (AtComment(c)) {
            // Wherever it stands, a comment in content is as if it were not there.
            SkipComment(c);
        } else if (c.data[c.position] == '<') {
            CXmlElement* child = ParseElement(c, depth + 1);
            if (child != nullptr) {
                if (last == nullptr) {
                    first = child;
                } else {
                    last->next = child;
                }
                last = child;
            }
        } else {
            // The last text run is the element's text.
            delete lastText;
            lastText = ParseText(c, 0);
        }
        if (AtEnd(c)) break;
        if (c.position == passStart) {
            TraceParseError(c.position);
            break;
        }
    }
    *children = first;
    *text = lastText;
    return 1;
}

int CXml::ParseEndTag(CXmlCursor& c, CNameSpan name) {
    c.position += 2;
    if (Remaining(c) < name.length ||
        std::memcmp(c.data + c.position, c.data + name.start, static_cast<size_t>(name.length)) != 0) {
        // A wrong end tag ends the whole parse.
        c.position = c.size;
        return 0;
    }
    c.position += name.length;
    SkipSpace(c);
    if (!AtEnd(c) && c.data[c.position] == '>') {
        ++c.position;
        return 1;
    }
    return -1;
}

void CXml::FreeElements(CXmlElement* element) {
    // Iterative: each element's children are spliced in front of its following siblings,
    // so no input depth can exhaust the stack.
    while (element != nullptr) {
        if (element->child != nullptr) {
            CXmlElement* last = element->child;
            while (last->next != nullptr) last = last->next;
            last->next = element->next;
            element->next = element->child;
            element->child = nullptr;
        }
        CXmlElement* next = element->next;
        FreeAttributes(element->attribute);
        delete element->name;
        delete element->text;
        delete element->encoding;
        std::free(element);
        element = next;
    }
}

CXmlElement* CXml::FindElement(CXmlElement* element, const char16_t* name) {
    if (name == nullptr) return nullptr;
    // CString::EqualsWide of each name, with the wanted name converted once rather than per
    // element (an ASCII name, as the readers ask for, needs no conversion).
    CString converted;
    char narrow[64];
    int length = NarrowAscii(name, narrow, sizeof narrow);
    const char* wanted = narrow;
    if (length <= 0) {
        converted.AssignWide(name, -1);
        wanted = converted.Data();
        length = converted.Length();
    }
    for (CXmlElement* e = element; e != nullptr; e = e->next) {
        if (e->name == nullptr) continue;
        if (wanted == nullptr || e->name->Data() == nullptr) {
            if (wanted == e->name->Data()) return e;
        } else if (e->name->Length() == length &&
                   std::memcmp(e->name->Data(), wanted, static_cast<size_t>(length)) == 0) {
            return e;
        }
    }
    return nullptr;
}

CXmlElement* CXml::FindChild(CXmlElement* parent, const char16_t* name) {
    return parent != nullptr ? FindElement(parent->child, name) : nullptr;
}

CXmlElement* CXml::FindNext(CXmlElement* element, const char16_t* name) {
    return element != nullptr ? FindElement(element->next, name) : nullptr;
}

const char16_t* CXml::GetText(CXmlElement* element) {
    if (element == nullptr || element->text == nullptr) return u"";
    return element->text->GetWideOrEmpty();
}

int CXml::GetInt(CXmlElement* element, int defaultValue) {
    if (element == nullptr || element->text == nullptr || element->text->IsEmpty()) return defaultValue;
    // Read from the UTF-8 bytes, which decode to the same answer: every byte of 0x80 or more
    // decodes to a unit that is no digit, and the text ends at a NUL.
    const char* p = element->text->Data();
    const char* end = p + element->text->Length();
    while (p < end && (*p == ' ' || *p == '\t')) ++p;
    bool negative = false;
    if (p < end && *p == '-') {
        negative = true;
        ++p;
    }
    uint32_t value = 0;  // unsigned, so that overflow wraps as the 32-bit value does
    for (; p < end && *p != 0; ++p) {
        if (*p < '0' || *p > '9') return defaultValue;
        value = value * 10u + static_cast<uint32_t>(*p - '0');
    }
    if (negative) value = 0u - value;
    return static_cast<int>(value);
}
