// The "quillon_keyword" file: quillon_keyword > keyword > emphasis* > text, color, bold, error.
#include "keywords/keyword_set.h"
#include "xml/xml.h"
#include "xml/xml_file.h"

int CKeywordSet::LoadFile(const char16_t* path) {
    Clear();
    if (path == nullptr || path[0] == 0) return 0;
    CXml xml;
    CXmlElement* first = LoadXmlFile(xml, path);
    int result = 0;
    if (first != nullptr) {
        CXmlElement* root = CXml::FindElement(first, u"quillon_keyword");
        CXmlElement* list = CXml::FindChild(root, u"keyword");
        for (CXmlElement* e = CXml::FindChild(list, u"emphasis"); e != nullptr; e = CXml::FindNext(e, u"emphasis")) {
            const char16_t* text = CXml::GetText(CXml::FindChild(e, u"text"));
            int color = CXml::GetInt(CXml::FindChild(e, u"color"), 0);
            int bold = CXml::GetInt(CXml::FindChild(e, u"bold"), 0) == 1 ? 1 : 0;
            int error = CXml::GetInt(CXml::FindChild(e, u"error"), 0) == 1 ? 1 : 0;
            if (text[0] != 0) Add(text, color, bold, error);  // a keyword that cannot be stored is dropped
        }
        CXml::FreeElements(first);
        result = 1;
    }
    BuildFlagTable();
    return result;
}

int CKeywordSet::SaveFile(const char16_t* path) const {
    if (path == nullptr || path[0] == 0) return 0;
    CXml xml;
    CXmlElement* root = CXml::CreateElement(u"root", nullptr);
    if (root == nullptr) return 0;
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
    int ok = root->child != nullptr ? SaveXmlFile(xml, root->child, path) : 0;
    CXml::FreeElements(root);
    return ok;
}
