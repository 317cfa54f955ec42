// The XML writer: no indentation; a CR LF after every end tag and every empty-element tag,
// so a document reads as the declaration line, then one line per element that closes.
#include <cstdlib>
#include <cstring>
#include <new>

#include "foundation/convert.h"
#include "foundation/format.h"
#include "xml/xml.h"
#include "xml/xml_string.h"

namespace {

struct CEscape {
    char16_t character;
    const char16_t* entity;
};

// The reader's entity table, in its order.
const CEscape kEscapes[] = {
    {u'<', u"&lt;"}, {u'>', u"&gt;"}, {u'&', u"&amp;"}, {u'"', u"&quot;"}, {u'\'', u"&apos;"},
};

const char16_t* EntityFor(char16_t unit) {
    for (const CEscape& e : kEscapes) {
        if (e.character == unit) return e.entity;
    }
    return nullptr;
}

// CString(text), with the conversion skipped for the short ASCII names and numbers that the
// settings and keyword writers build their documents of.
CString* NewString(const char16_t* text) {
    auto* s = new (std::nothrow) CString();
    if (s == nullptr) return nullptr;
    char narrow[64];
    int n = NarrowAscii(text, narrow, sizeof narrow);
    if (n > 0) {
        s->AssignBytes(narrow, n);
    } else {
        s->AssignWide(text, -1);
    }
    return s;
}

// A piece of the markup, ASCII: its bytes are its UTF-8.
void AppendAscii(CXmlString& out, const char* piece) {
    if (out.m_codePage == kCodePageUtf8) {
        out.AppendBytes(piece, static_cast<int>(std::strlen(piece)));
        return;
    }
    char16_t wide[16];
    int n = 0;
    for (; piece[n] != 0 && n < 15; ++n) wide[n] = static_cast<char16_t>(piece[n]);
    out.Append(wide, n);
}

// A string's bytes when they may go out as they are (see IsPlainUtf8); null otherwise.
const char* PlainBytes(CString* s, const CXmlString& out) {
    if (s == nullptr || out.m_codePage != kCodePageUtf8 || s->Data() == nullptr) return nullptr;
    return IsPlainUtf8(s->Data(), s->Length()) ? s->Data() : nullptr;
}

// WriteEscaped on UTF-8 bytes: the special characters are ASCII, which no byte of a longer
// sequence equals.
void WriteEscapedBytes(const char* text, int count, CXmlString& out) {
    int run = 0;
    for (int i = 0; i < count; ++i) {
        const char16_t* entity = EntityFor(static_cast<unsigned char>(text[i]));
        if (entity == nullptr) continue;
        out.AppendBytes(text + run, i - run);
        out.Append(entity);
        run = i + 1;
    }
    out.AppendBytes(text + run, count - run);
}

// A name, an attribute value or a text, from the string's bytes when they can be copied.
void WriteString(CXml& xml, CString* s, bool escaped, CXmlString& out) {
    if (const char* bytes = PlainBytes(s, out)) {
        if (escaped) {
            WriteEscapedBytes(bytes, s->Length(), out);
        } else {
            out.AppendBytes(bytes, s->Length());
        }
        return;
    }
    const char16_t* wide = s != nullptr ? s->GetWide() : nullptr;
    if (escaped) {
        xml.WriteEscaped(wide, out);
    } else {
        out.Append(wide);
    }
}

}  // namespace

CXmlElement* CXml::CreateElement(const char16_t* name, const char16_t* text) {
    auto* element = static_cast<CXmlElement*>(std::calloc(1, sizeof(CXmlElement)));
    if (element == nullptr) return nullptr;
    element->name = NewString(name);
    if (element->name == nullptr) {
        std::free(element);
        return nullptr;
    }
    if (text != nullptr) {
        element->text = NewString(text);
        if (element->text == nullptr) {
            delete element->name;
            std::free(element);
            return nullptr;
        }
    }
    return element;
}

void CXml::AppendChild(CXmlElement* parent, CXmlElement* child) {
    if (parent == nullptr || child == nullptr) return;
    if (parent->child == nullptr) {
        parent->child = child;
        return;
    }
    CXmlElement* last = parent->child;
    while (last->next != nullptr) last = last->next;
    last->next = child;
}

CXmlElement* CXml::AddChild(CXmlElement* parent, const char16_t* name, const char16_t* text) {
    if (parent == nullptr) return nullptr;
    CXmlElement* child = CreateElement(name, text);
    AppendChild(parent, child);
    return child;
}

CXmlElement* CXml::AddIntChild(CXmlElement* parent, const char16_t* name, int value) {
    char16_t text[16];
    FormatString(text, 16, u"%d", value);
    return AddChild(parent, name, text);
}

CXmlChildList::CXmlChildList(CXmlElement* parent) : m_parent(parent) {
    if (parent == nullptr) return;
    for (CXmlElement* e = parent->child; e != nullptr; e = e->next) m_last = e;
}

CXmlElement* CXmlChildList::Add(const char16_t* name, const char16_t* text) {
    if (m_parent == nullptr) return nullptr;
    CXmlElement* child = CXml::CreateElement(name, text);
    if (child == nullptr) return nullptr;
    if (m_last == nullptr) {
        m_parent->child = child;
    } else {
        m_last->next = child;
    }
    m_last = child;
    return child;
}

CXmlElement* CXmlChildList::AddInt(const char16_t* name, int value) {
    char16_t text[16];
    FormatString(text, 16, u"%d", value);
    return Add(name, text);
}

char* CXml::Write(CXmlElement* first) {
    CXmlString out;
    out.m_codePage = 65001;
    m_codePage = 65001;
    out.Append(u"<?xml version=\"1.0\" ");
    if (first != nullptr && first->encoding != nullptr) {
        out.Append(u"encoding=\"");
        out.Append(first->encoding->GetWideOrEmpty());
        out.Append(u"\" ");
    }
    out.Append(u"?>\r\n");
    int ok = WriteElements(first, out);
    char* data = out.Detach();
    if (!ok) {
        std::free(data);
        return nullptr;
    }
    return data;
}

int CXml::WriteElements(CXmlElement* element, CXmlString& out) {
    for (CXmlElement* e = element; e != nullptr; e = e->next) {
        AppendAscii(out, "<");
        WriteString(*this, e->name, false, out);
        if (e->attribute != nullptr) {
            AppendAscii(out, " ");
            for (CXmlAttribute* a = e->attribute; a != nullptr; a = a->next) {
                if (a->name == nullptr || a->name->IsEmpty()) continue;
                WriteString(*this, a->name, false, out);
                AppendAscii(out, "=\"");
                if (a->value != nullptr) WriteString(*this, a->value, true, out);
                AppendAscii(out, "\" ");
            }
        }
        if (e->text != nullptr || e->child != nullptr) {
            AppendAscii(out, ">");
            if (e->text != nullptr) WriteString(*this, e->text, true, out);
            if (e->child != nullptr && !WriteElements(e->child, out)) return 0;
            AppendAscii(out, "</");
            WriteString(*this, e->name, false, out);
            AppendAscii(out, ">\r\n");
        } else {
            AppendAscii(out, "/>\r\n");
        }
    }
    return 1;
}

void CXml::WriteEscaped(const char16_t* text, CXmlString& out) {
    if (text == nullptr) return;
    // Units between special characters go out as one run, so that a surrogate pair is
    // converted whole; the bytes are the same as converting unit by unit otherwise.
    const char16_t* run = text;
    const char16_t* p = text;
    for (; *p != 0; ++p) {
        const char16_t* entity = EntityFor(*p);
        if (entity == nullptr) continue;
        if (p > run) out.Append(run, static_cast<int>(p - run));
        out.Append(entity);
        run = p + 1;
    }
    if (p > run) out.Append(run, static_cast<int>(p - run));
}
