// The "quillon_keyword" file: quillon_keyword > keyword > emphasis* > text, color, bold, error.
#include <cstdlib>
#include <cstring>

#include "keywords/keyword_set.h"
#include "xml/xml.h"
#include "xml/xml_file.h"

namespace {

// The emphases of a parsed document (null: none was read) into the set, which then has its
// flag table built; the document is freed. 1 when there was one.
int ReadDocument(CKeywordSet& set, CXmlElement* first) {
    int result = 0;
    if (first != nullptr) {
        CXmlElement* root = CXml::FindElement(first, u"quillon_keyword");
        CXmlElement* list = CXml::FindChild(root, u"keyword");
        for (CXmlElement* e = CXml::FindChild(list, u"emphasis"); e != nullptr; e = CXml::FindNext(e, u"emphasis")) {
            const char16_t* text = CXml::GetText(CXml::FindChild(e, u"text"));
            int color = CXml::GetInt(CXml::FindChild(e, u"color"), 0);
            int bold = CXml::GetInt(CXml::FindChild(e, u"bold"), 0) == 1 ? 1 : 0;
            int error = CXml::GetInt(CXml::FindChild(e, u"error"), 0) == 1 ? 1 : 0;
            if (text[0] != 0) set.Add(text, color, bold, error);  // a keyword that cannot be stored is dropped
        }
        CXml::FreeElements(first);
        result = 1;
    }
    set.BuildFlagTable();
    return result;
}

}  // namespace

int CKeywordSet::LoadFile(const char16_t* path) {
    Clear();
    if (path == nullptr || path[0] == 0) return 0;
    CXml xml;
    return ReadDocument(*this, LoadXmlFile(xml, path));
}

int CKeywordSet::LoadFile(CFile& file) {
    Clear();
    CXml xml;
    return ReadDocument(*this, LoadXmlFile(xml, file));
}

char* CKeywordSet::SaveText() const {
    CXml xml;
    CXmlElement* root = CXml::CreateElement(u"root", nullptr);
    if (root == nullptr) return nullptr;
    CXmlElement* list = CXml::AddChild(CXml::AddChild(root, u"quillon_keyword", nullptr), u"keyword", nullptr);
    CXmlChildList emphases(list);
    for (uint32_t i = 0; i < m_count && list != nullptr; ++i) {
        const CKeywordEntry& entry = m_entries[i];
        CXmlChildList values(emphases.Add(u"emphasis", nullptr));
        values.Add(u"text", entry.wide);
        values.AddInt(u"color", entry.color);
        values.AddInt(u"bold", entry.bold != 0 ? 1 : 0);
        values.AddInt(u"error", entry.error != 0 ? 1 : 0);
    }
    char* text = root->child != nullptr ? xml.Write(root->child) : nullptr;
    CXml::FreeElements(root);
    return text;
}

int CKeywordSet::SaveFile(const char16_t* path) const {
    if (path == nullptr || path[0] == 0) return 0;
    char* text = SaveText();
    if (text == nullptr) return 0;
    int ok = SaveBytesAtomic(path, text, static_cast<uint32_t>(std::strlen(text)));
    std::free(text);
    return ok;
}
