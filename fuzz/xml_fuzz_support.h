// A plain copy of a CXml element tree, for comparing the trees that two parses give, and
// the reader's whitespace folding written out independently of the reader.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "xml/xml.h"

namespace fuzzing {

struct XmlNode {
    std::u16string name;
    std::optional<std::u16string> text;
    std::vector<std::pair<std::u16string, std::optional<std::u16string>>> attributes;
    std::vector<XmlNode> children;

    bool operator==(const XmlNode& o) const {
        return name == o.name && text == o.text && attributes == o.attributes && children == o.children;
    }
};

inline std::optional<std::u16string> Copy(CString* s) {
    if (s == nullptr) return std::nullopt;
    const char16_t* w = s->GetWideOrEmpty();
    return std::u16string(w);
}

// Copies a sibling chain, checking on the way what every parsed or built tree must hold.
inline std::vector<XmlNode> Snapshot(CXmlElement* first, int depth = 0) {
    std::vector<XmlNode> out;
    FUZZ_CHECK(depth <= kXmlMaxDepth + 1);
    for (CXmlElement* e = first; e != nullptr; e = e->next) {
        XmlNode node;
        FUZZ_CHECK(e->name != nullptr);
        node.name = *Copy(e->name);
        node.text = Copy(e->text);
        for (CXmlAttribute* a = e->attribute; a != nullptr; a = a->next) {
            FUZZ_CHECK(a->name != nullptr);
            node.attributes.emplace_back(*Copy(a->name), Copy(a->value));
        }
        node.children = Snapshot(e->child, depth + 1);
        // The lookups must find what the chain holds.
        if (!node.name.empty()) FUZZ_CHECK(CXml::FindElement(e, node.name.c_str()) != nullptr);
        if (!node.children.empty() && !node.children[0].name.empty()) {
            FUZZ_CHECK(CXml::FindChild(e, node.children[0].name.c_str()) == e->child);
        }
        out.push_back(std::move(node));
    }
    return out;
}

inline bool IsXmlSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

// Leading and trailing whitespace dropped, each inner run replaced by one space; an empty
// result means "no text".
inline std::optional<std::u16string> Folded(const std::u16string& text) {
    std::u16string out;
    bool pending = false;
    for (char16_t c : text) {
        if (IsXmlSpace(c)) {
            pending = !out.empty();
            continue;
        }
        if (pending) out.push_back(u' ');
        pending = false;
        out.push_back(c);
    }
    if (out.empty()) return std::nullopt;
    return out;
}

}  // namespace fuzzing
