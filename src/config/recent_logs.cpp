// The recent-logs list of the File menu and its place in the settings file.
#include "config/recent_logs.h"

#include <algorithm>

#include "xml/xml.h"

namespace {

char16_t Folded(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

}  // namespace

bool SamePathText(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Folded(a[i]) != Folded(b[i])) return false;
    }
    return true;
}

void CRecentLogs::Add(const char16_t* path) {
    if (path == nullptr || path[0] == 0) return;
    std::u16string added(path);
    Remove(path);
    m_paths.insert(m_paths.begin(), added);
    if (m_paths.size() > static_cast<size_t>(kRecentLogCount)) m_paths.resize(kRecentLogCount);
}

int CRecentLogs::Remove(const char16_t* path) {
    if (path == nullptr) return 0;
    std::u16string removed(path);
    auto same = [&removed](const std::u16string& p) { return SamePathText(p, removed); };
    auto end = std::remove_if(m_paths.begin(), m_paths.end(), same);
    if (end == m_paths.end()) return 0;
    m_paths.erase(end, m_paths.end());
    return 1;
}

const char16_t* CRecentLogs::At(int index) const {
    return index >= 0 && index < Count() ? m_paths[static_cast<size_t>(index)].c_str() : nullptr;
}

void CRecentLogs::Read(CXmlElement* config) {
    m_paths.clear();
    CXmlElement* list = CXml::FindChild(config, u"recent_logs");
    for (CXmlElement* p = CXml::FindChild(list, u"path"); p != nullptr; p = CXml::FindNext(p, u"path")) {
        const char16_t* text = CXml::GetText(p);
        // Written most recent first; a hand-edited longer list keeps its first entries.
        if (text[0] != 0 && Count() < kRecentLogCount) m_paths.emplace_back(text);
    }
}

void CRecentLogs::Write(CXmlElement* config) const {
    if (m_paths.empty()) return;
    CXmlChildList list(CXml::AddChild(config, u"recent_logs", nullptr));
    for (const std::u16string& path : m_paths) list.Add(u"path", path.c_str());
}
