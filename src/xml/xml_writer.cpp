// The XML writer: no indentation; a CR LF after every end tag and every empty-element tag,
// so a document reads as the declaration line, then one line per element that closes.
#include <cstdlib>
#include <new>

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

}  // namespace

CXmlElement* CXml::CreateElement(const char16_t* name, const char16_t* text) {
    auto* element = static_cast<CXmlElement*>(std::calloc(1, sizeof(CXmlElement)));
    if (element == nullptr) return nullptr;
    element->name = new (std::nothrow) CString(name);
    if (element->name == nullptr) {
        std::free(element);
        return nullptr;
    }
    if (text != nullptr) {
        element->text = new (std::nothrow) CString(text);
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
        const char16_t* name = e->name != nullptr ? e->name->GetWide() : nullptr;
        out.Append(u"<");
        out.Append(name);
        if (e->attribute != nullptr) {
            out.Append(u" ");
            for (CXmlAttribute* a = e->attribute; a != nullptr; a = a->next) {
                if (a->name == nullptr || a->name->IsEmpty()) continue;
                out.Append(a->name->GetWide());
                out.Append(u"=\"");
                if (a->value != nullptr) WriteEscaped(a->value->GetWide(), out);
                out.Append(u"\" ");
            }
        }
        if (e->text != nullptr || e->child != nullptr) {
            out.Append(u">");
            if (e->text != nullptr) WriteEscaped(e->text->GetWide(), out);
            if (e->child != nullptr && !WriteElements(e->child, out)) return 0;
            out.Append(u"</");
            out.Append(name);
            out.Append(u">\r\n");
        } else {
            out.Append(u"/>\r\n");
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
