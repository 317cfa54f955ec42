// CXml: the small XML reader and writer of the settings and keyword files, and the
// element tree that both use.
// Reader: a declaration ("<?xml" and whitespace, optional encoding: "utf-8" 65001,
// "shift_jis" 932, anything else 65001), elements, attributes, comments and the five named
// entities; text and values are trimmed and inner whitespace runs folded to one space.
// Malformed input keeps what was read so far; nesting deeper than kXmlMaxDepth ends the
// parse like a wrong end tag. Writer: see xml_writer.cpp for the exact layout.
// Strings in the tree are CString (UTF-8); names, texts and values are decoded from the
// input with the reading code page. A parsed or built tree belongs to the caller, who
// releases it with CXml::FreeElements. Not thread-safe per object; the static operations
// need no object.
#pragma once

#include <cstdint>

#include "foundation/string.h"

class CXmlString;

constexpr int kXmlMaxDepth = 256;

struct CXmlAttribute {
    CXmlAttribute* next;
    CString* name;
    CString* value;  // null when the value is empty
};

struct CXmlElement {
    CXmlElement* next;         // next sibling; null at the end of a chain
    CXmlElement* child;        // first child
    CXmlAttribute* attribute;  // first attribute
    CString* name;             // set for every element
    CString* text;             // null when the element has no text
    CString* encoding;         // the declaration's encoding, on the first top-level element only
};

// Reading state over the caller's bytes (not owned). Offsets are bytes from 0.
struct CXmlCursor {
    const unsigned char* data;
    int32_t size;
    int32_t position;
};

class CXml {
public:
    CXml() = default;
    virtual ~CXml() = default;

    // Parses a document. Returns the first top-level element (the others follow as its
    // siblings), or null for null or empty input, a missing declaration or no first element.
    CXmlElement* Parse(const char* data, int size);
    // Releases an element, every sibling after it and everything they own. Null is allowed.
    static void FreeElements(CXmlElement* element);

    // The first element of the chain starting at element (itself included) named name, or null.
    static CXmlElement* FindElement(CXmlElement* element, const char16_t* name);
    // FindElement on the parent's first child; null for a null parent.
    static CXmlElement* FindChild(CXmlElement* parent, const char16_t* name);
    // FindElement on the element's next sibling; null for a null element.
    static CXmlElement* FindNext(CXmlElement* element, const char16_t* name);
    // The element's text, or u"" for a null element or one without text. Valid until the
    // next GetText of the same element.
    static const char16_t* GetText(CXmlElement* element);
    // The text as a decimal integer (spaces and tabs first, one optional '-', digits only,
    // wrapping in 32 bits), or defaultValue when absent, empty or holding anything else.
    static int GetInt(CXmlElement* element, int defaultValue);

    // Writer. A new element with a name and, when text is not null, a text (an empty text
    // still counts as a text). Null on allocation failure, nothing left allocated.
    static CXmlElement* CreateElement(const char16_t* name, const char16_t* text);
    // Links child at the end of parent's children (nothing when either is null).
    static void AppendChild(CXmlElement* parent, CXmlElement* child);
    // Convenience for the writers: CreateElement + AppendChild; returns the child or null.
    static CXmlElement* AddChild(CXmlElement* parent, const char16_t* name, const char16_t* text);
    // Like AddChild, with the text formatted with "%d".
    static CXmlElement* AddIntChild(CXmlElement* parent, const char16_t* name, int value);
    // The whole document (declaration, element and its siblings) as a new NUL-terminated
    // UTF-8 byte string owned by the caller (std::free), or null. Sets the reading code page to 65001.
    char* Write(CXmlElement* first);
    // Writes element and its siblings into out; 1 on success.
    int WriteElements(CXmlElement* element, CXmlString& out);
    // Appends text with the five entities replaced.
    void WriteEscaped(const char16_t* text, CXmlString& out);

    // The code page of the input being read: 65001 until a declaration says otherwise.
    unsigned m_codePage = 65001;

private:
    int ParseDeclaration(CXmlCursor& cursor, CString** encoding);
    // The bytes of an element's name in the input, for matching its end tag.
    struct CNameSpan {
        int start;
        int length;
    };
    // An element and its content, or null (nothing left allocated).
    CXmlElement* ParseElement(CXmlCursor& cursor, int depth);
    // Comments, "<name", attributes and "/>" or ">"; *open is true when content follows.
    // The element, or null (nothing left allocated).
    CXmlElement* ParseStartTag(CXmlCursor& cursor, CNameSpan* name, bool* open);
    // The attribute list (the caller's), or 0 with nothing left allocated.
    int ParseAttributes(CXmlCursor& cursor, CXmlAttribute** attributes, bool* open);
    // Children and text up to the end tag (the caller's), or 0 with nothing left allocated
    // for a wrong end tag.
    int ParseContent(CXmlCursor& cursor, int depth, CNameSpan name, CXmlElement** children, CString** text);
    // At "</": 1 for the element's end tag, -1 for its name without ">", 0 for another name.
    int ParseEndTag(CXmlCursor& cursor, CNameSpan name);
    CXmlAttribute* ParseAttribute(CXmlCursor& cursor);
    CString* ParseName(CXmlCursor& cursor);
    // Element text (quote 0) or an attribute value; null for an empty result or failure.
    CString* ParseText(CXmlCursor& cursor, int quote);
    CString* Decode(const unsigned char* bytes, int count);
};

// Appends children to one parent in constant time each: the last child is found once and then
// remembered, where CXml::AddChild walks the whole list for every child (quadratic for a keyword
// file of 100,000 entries). Nothing else may link children to the parent while it is in use.
class CXmlChildList {
public:
    explicit CXmlChildList(CXmlElement* parent);
    // CXml::AddChild and CXml::AddIntChild, at the remembered end. The child, or null (nothing linked).
    CXmlElement* Add(const char16_t* name, const char16_t* text);
    CXmlElement* AddInt(const char16_t* name, int value);

private:
    CXmlElement* m_parent;
    CXmlElement* m_last = nullptr;
};
