// CRecentLogs: the logs opened last, most recent first, at most kRecentLogCount, kept in
// the settings file as "recent_logs" with one "path" each (written only when there is one,
// so older readers and files without it see nothing new). UI thread only.
#pragma once

#include <string>
#include <vector>

struct CXmlElement;

constexpr int kRecentLogCount = 10;

class CRecentLogs {
public:
    // Puts path first; an equal path (letter case aside) moves there instead of repeating.
    void Add(const char16_t* path);
    // Takes path out of the list; 1 when it was there.
    int Remove(const char16_t* path);
    int Count() const { return static_cast<int>(m_paths.size()); }
    // The path at position index (0 is the most recent), or null.
    const char16_t* At(int index) const;

    // Reads the list from a "config" element (null allowed: the list is then empty).
    void Read(CXmlElement* config);
    void Write(CXmlElement* config) const;

private:
    std::vector<std::u16string> m_paths;
};

// Whether two paths name the same file as Windows compares them (ASCII letters fold).
bool SamePathText(const std::u16string& a, const std::u16string& b);
