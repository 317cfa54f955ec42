// The "quillon.ini" settings file: an XML document with the root "config". Reading and
// writing of both configuration classes, and the file's load and save.
#include <cstdlib>
#include <cstring>

#include "config/app_parameter.h"
#include "document/encoding.h"
#include "xml/xml.h"
#include "xml/xml_file.h"

namespace {

// Text rows: the element's text, or fallback when it is absent or has none.
void ReadPath(CXmlElement* config, const char16_t* name, CString& out, const CString& fallback) {
    const char16_t* text = CXml::GetText(CXml::FindChild(config, name));
    if (text[0] != 0) {
        out.AssignWide(text, -1);
    } else {
        out.Assign(fallback);
    }
}

// An element whose text is the string's, or an element without text for an empty string.
void AddString(CXmlElement* parent, const char16_t* name, CString& value) {
    CXml::AddChild(parent, name, value.IsEmpty() ? nullptr : value.GetWide());
}

}  // namespace

namespace {

int ReadDocument(CCommConfig& config, CXmlElement* first) {
    if (first == nullptr) return 0;
    config.ReadSettings(first);
    CXml::FreeElements(first);
    return 1;  // whether or not the file held a "config"
}

}  // namespace

int CCommConfig::Load() {
    CXml xml;
    CString path;
    path.Assign(m_settingsFile);
    return ReadDocument(*this, LoadXmlFile(xml, path.GetWide()));
}

int CCommConfig::LoadFrom(CFile& file) {
    CXml xml;
    return ReadDocument(*this, LoadXmlFile(xml, file));
}

char* CCommConfig::SaveText() {
    CXml xml;
    CXmlElement* root = CXml::CreateElement(u"root", nullptr);
    if (root == nullptr) return nullptr;
    WriteSettings(root);
    char* text = root->child != nullptr ? xml.Write(root->child) : nullptr;
    CXml::FreeElements(root);
    return text;
}

int CCommConfig::Save() {
    char* text = SaveText();
    if (text == nullptr) return 0;
    CString path;
    path.Assign(m_settingsFile);
    int ok = SaveBytesAtomic(path.GetWide(), text, static_cast<uint32_t>(std::strlen(text)));
    std::free(text);
    return ok;
}

void CCommConfig::ReadSettings(CXmlElement* first) {
    CXmlElement* config = CXml::FindElement(first, u"config");
    if (config == nullptr) return;
    m_languageSetting = CXml::GetInt(CXml::FindChild(config, u"language"), kLanguageNotChosen);
    m_fontName.AssignWide(CXml::GetText(CXml::FindChild(config, u"font_name")), -1);
    m_fontSize = CXml::GetInt(CXml::FindChild(config, u"font_size"), 0);
    ReadPath(config, u"temp_path", m_tempFolder, m_currentFolder);
    m_logEnabled = CXml::GetInt(CXml::FindChild(config, u"log_enabled"), 0);
    ReadPath(config, u"log_path", m_logFolder, m_currentFolder);
    m_toolbarVisible = CXml::GetInt(CXml::FindChild(config, u"view_toolbar"), 1);
    m_statusbarVisible = CXml::GetInt(CXml::FindChild(config, u"view_statusbar"), 1);

    CXmlElement* colors = CXml::FindChild(config, u"colors");
    if (colors == nullptr) return;
    for (CXmlElement* c = CXml::FindChild(colors, u"color"); c != nullptr; c = CXml::FindNext(c, u"color")) {
        int index = CXml::GetInt(CXml::FindChild(c, u"index"), m_colorCount);
        if (index < 0 || index >= m_colorCount) continue;
        const CColorEntry& d = m_defaultColors[index];
        m_colors[index].text =
            static_cast<CColorRef>(CXml::GetInt(CXml::FindChild(c, u"text"), static_cast<int>(d.text)));
        m_colors[index].background =
            static_cast<CColorRef>(CXml::GetInt(CXml::FindChild(c, u"background"), static_cast<int>(d.background)));
    }
}

void CCommConfig::WriteSettings(CXmlElement* root) {
    CXmlElement* config = CXml::AddChild(root, u"config", nullptr);
    if (config == nullptr) return;
    CXml::AddIntChild(config, u"language", m_languageSetting);
    AddString(config, u"font_name", m_fontName);
    CXml::AddIntChild(config, u"font_size", m_fontSize);
    AddString(config, u"temp_path", m_tempFolder);
    CXml::AddIntChild(config, u"log_enabled", m_logEnabled);
    AddString(config, u"log_path", m_logFolder);
    CXml::AddIntChild(config, u"view_toolbar", m_toolbarVisible);
    CXml::AddIntChild(config, u"view_statusbar", m_statusbarVisible);
    CXmlElement* colors = CXml::AddChild(config, u"colors", nullptr);
    for (int i = 0; i < m_colorCount && colors != nullptr; ++i) {
        CXmlElement* color = CXml::AddChild(colors, u"color", nullptr);
        CXml::AddIntChild(color, u"index", i);
        CXml::AddIntChild(color, u"text", static_cast<int>(m_colors[i].text));
        CXml::AddIntChild(color, u"background", static_cast<int>(m_colors[i].background));
    }
}

void CAppParameter::ReadSettings(CXmlElement* first) {
    CCommConfig::ReadSettings(first);
    CXmlElement* config = CXml::FindElement(first, u"config");
    if (config == nullptr) return;
    CXmlElement* search = CXml::FindChild(config, u"search");
    if (search != nullptr) {
        CXmlElement* info = CXml::FindChild(search, u"info");
        for (int k = 0; k < kHistoryCount && info != nullptr; ++k, info = CXml::FindNext(info, u"info")) {
            int capacity = CXml::GetInt(CXml::FindChild(info, u"max"), kHistoryDefaultCapacity);
            if (capacity <= 0) capacity = kHistoryDefaultCapacity;
            if (capacity > kHistoryMaxCapacity) capacity = kHistoryMaxCapacity;
            ResetHistory(k, capacity);
            // Each text goes in front of those read before it.
            CXmlElement* texts = CXml::FindChild(info, u"texts");
            for (CXmlElement* t = CXml::FindChild(texts, u"text"); t != nullptr; t = CXml::FindNext(t, u"text")) {
                const char16_t* text = CXml::GetText(t);
                if (text[0] != 0) AddHistory(k, text);
            }
        }
        m_contextBefore = CXml::GetInt(CXml::FindChild(search, u"before_line"), 0);
        m_contextAfter = CXml::GetInt(CXml::FindChild(search, u"after_line"), 0);
        m_searchMatchCase = CXml::GetInt(CXml::FindChild(search, u"search_match_case"), 1) != 0 ? 1 : 0;
        m_extractMatchCase = CXml::GetInt(CXml::FindChild(search, u"extract_match_case"), 1) != 0 ? 1 : 0;
        m_searchRegex = CXml::GetInt(CXml::FindChild(search, u"search_regex"), 0) != 0 ? 1 : 0;
        m_extractRegex = CXml::GetInt(CXml::FindChild(search, u"extract_regex"), 0) != 0 ? 1 : 0;
        m_searchNot = CXml::GetInt(CXml::FindChild(search, u"search_not"), 0) != 0 ? 1 : 0;
        m_extractNot = CXml::GetInt(CXml::FindChild(search, u"extract_not"), 0) & kNotFieldsMask;
    }
    m_intervalCheck = CXml::GetInt(CXml::FindChild(config, u"interval_check"), 0) != 0 ? 1 : 0;
    m_intervalTime = CXml::GetInt(CXml::FindChild(config, u"interval_time"), 0);
    m_follow = CXml::GetInt(CXml::FindChild(config, u"follow"), 0) != 0 ? 1 : 0;
    // Written before there were more stamp forms, a file without the element meant none.
    m_stampForms = CXml::GetInt(CXml::FindChild(config, u"stamp_forms"), 0) != 0 ? 1 : 0;
    // Written before views had an overview strip, a file without the element meant none.
    m_overview = CXml::GetInt(CXml::FindChild(config, u"overview"), 0) != 0 ? 1 : 0;
    // Written before colour codes were drawn, a file without the element meant their bytes.
    m_colorCodes = CXml::GetInt(CXml::FindChild(config, u"color_codes"), 0) != 0 ? 1 : 0;
    // Written before there was a dark table, a file without the element meant the light one.
    int32_t dark = CXml::GetInt(CXml::FindChild(config, u"dark_theme"), kDarkThemeOff);
    m_darkTheme = dark == kDarkThemeOn || dark == kDarkThemeSystem ? dark : kDarkThemeOff;
    m_wrapLines = CXml::GetInt(CXml::FindChild(config, u"wrap_lines"), 0) != 0 ? 1 : 0;
    CString patterns[kMaxStampPatterns];
    const char* texts[kMaxStampPatterns] = {};
    int count = 0;
    CXmlElement* list = CXml::FindChild(config, u"stamp_patterns");
    for (CXmlElement* p = CXml::FindChild(list, u"pattern"); p != nullptr && count < kMaxStampPatterns;
         p = CXml::FindNext(p, u"pattern")) {
        patterns[count].AssignWide(CXml::GetText(p), -1);
        if (patterns[count].IsEmpty()) continue;
        texts[count] = patterns[count].Data();
        ++count;
    }
    SetStampPatterns(texts, count);
    // Written before the box had Auto, a file without the element meant ANSI.
    int32_t encoding = CXml::GetInt(CXml::FindChild(config, u"encoding"), kCodePageAnsi);
    m_encodingChoice = IsEncodingChoice(encoding) ? encoding : static_cast<int32_t>(kCodePageAnsi);
    m_recentLogs.Read(config);
    ReadLayout(config);
}

void CAppParameter::ReadLayout(CXmlElement* config) {
    // Written before views could open maximised, a file without the element meant cascaded views.
    m_viewMaximized = CXml::GetInt(CXml::FindChild(config, u"view_maximized"), 0) != 0 ? 1 : 0;
    CXmlElement* frame = CXml::FindChild(config, u"frame_layout");
    m_frameWidth = CXml::GetInt(CXml::FindChild(frame, u"width"), 0);
    m_frameHeight = CXml::GetInt(CXml::FindChild(frame, u"height"), 0);
    m_frameLayoutKnown = frame != nullptr && m_frameWidth > 0 && m_frameHeight > 0 ? 1 : 0;
    m_frameLeft = CXml::GetInt(CXml::FindChild(frame, u"left"), 0);
    m_frameTop = CXml::GetInt(CXml::FindChild(frame, u"top"), 0);
    m_frameMaximized = CXml::GetInt(CXml::FindChild(frame, u"maximized"), 0) != 0 ? 1 : 0;
}

void CAppParameter::WriteSettings(CXmlElement* root) {
    CCommConfig::WriteSettings(root);
    CXmlElement* config = CXml::FindChild(root, u"config");
    if (config == nullptr) config = CXml::AddChild(root, u"config", nullptr);
    if (config == nullptr) return;
    CXmlElement* search = CXml::FindChild(config, u"search");
    if (search == nullptr) search = CXml::AddChild(config, u"search", nullptr);
    for (int k = 0; k < kHistoryCount && search != nullptr; ++k) {
        CTextHistory& h = m_histories[k];
        CXmlElement* info = CXml::AddChild(search, u"info", nullptr);
        CXml::AddIntChild(info, u"max", h.capacity);
        CXmlChildList texts(CXml::AddChild(info, u"texts", nullptr));
        for (int i = 0; i < h.count; ++i) {
            CString& entry = *h.entries[i];
            texts.Add(u"text", entry.IsEmpty() ? nullptr : entry.GetWide());
        }
    }
    CXml::AddIntChild(search, u"before_line", m_contextBefore);
    CXml::AddIntChild(search, u"after_line", m_contextAfter);
    CXml::AddIntChild(search, u"search_match_case", m_searchMatchCase);
    CXml::AddIntChild(search, u"extract_match_case", m_extractMatchCase);
    CXml::AddIntChild(search, u"search_regex", m_searchRegex);
    CXml::AddIntChild(search, u"extract_regex", m_extractRegex);
    if (m_searchNot != 0) CXml::AddIntChild(search, u"search_not", 1);
    if ((m_extractNot & kNotFieldsMask) != 0) CXml::AddIntChild(search, u"extract_not", m_extractNot & kNotFieldsMask);
    CXml::AddIntChild(config, u"interval_check", m_intervalCheck != 0 ? 1 : 0);
    CXml::AddIntChild(config, u"interval_time", m_intervalTime);
    if (m_follow != 0) CXml::AddIntChild(config, u"follow", 1);
    if (m_stampForms != 0) CXml::AddIntChild(config, u"stamp_forms", 1);
    if (m_overview != 0) CXml::AddIntChild(config, u"overview", 1);
    if (m_colorCodes != 0) CXml::AddIntChild(config, u"color_codes", 1);
    if (m_darkTheme != kDarkThemeOff) CXml::AddIntChild(config, u"dark_theme", m_darkTheme);
    if (m_wrapLines != 0) CXml::AddIntChild(config, u"wrap_lines", 1);
    if (m_stampPatternCount > 0) {
        CXmlChildList patterns(CXml::AddChild(config, u"stamp_patterns", nullptr));
        for (int k = 0; k < m_stampPatternCount; ++k) patterns.Add(u"pattern", m_stampPatterns[k].GetWide());
    }
    CXml::AddIntChild(config, u"encoding", m_encodingChoice);
    m_recentLogs.Write(config);
    if (m_viewMaximized != 0) CXml::AddIntChild(config, u"view_maximized", 1);
    if (m_frameLayoutKnown == 0) return;
    CXmlChildList frame(CXml::AddChild(config, u"frame_layout", nullptr));
    frame.AddInt(u"left", m_frameLeft);
    frame.AddInt(u"top", m_frameTop);
    frame.AddInt(u"width", m_frameWidth);
    frame.AddInt(u"height", m_frameHeight);
    frame.AddInt(u"maximized", m_frameMaximized);
}
