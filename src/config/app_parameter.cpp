// CAppParameter: the application's identity, its colour table, folders and histories.
#include "config/app_parameter.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "config/color_table.h"
#include "config/folders.h"
#include "config/ui_text.h"
#include "document/encoding.h"
#include "document/file.h"
#include "foundation/trace.h"

CAppParameter* g_config = nullptr;

namespace {

// A history list is an array of pointers to its entries; its size counts those pointers.
constexpr size_t kEntryBytes = sizeof(CString*);  // NOLINT(bugprone-sizeof-expression)

bool SameText(const char16_t* a, const char16_t* b) {
    if (a == nullptr || b == nullptr) return false;
    while (*a != 0 && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// Byte equality as CString::EqualsWide sees it: a string without data equals only another
// without data.
bool SameText(const CString& a, const CString& b) {
    if (a.Data() == nullptr || b.Data() == nullptr) return a.Data() == b.Data();
    int length = a.Length();
    if (length != b.Length()) return false;
    return std::memcmp(a.Data(), b.Data(), static_cast<size_t>(length)) == 0;
}

// The separator followed by a file name, e.g. "\quillon.ini" on Windows.
void SeparatedName(char16_t* out, int capacity, const char16_t* name) {
    char16_t separator[2] = {kPathSeparator, 0};
    CopyPath(out, capacity, separator);
    AppendPath(out, capacity, name);
}

}  // namespace

CAppParameter::CAppParameter() = default;

CAppParameter::~CAppParameter() {
    for (int k = 0; k < kHistoryCount; ++k) {
        EmptyHistory(k);
        std::free(m_histories[k].entries);
        m_histories[k].entries = nullptr;
        m_histories[k].capacity = 0;
    }
    m_keywords.Clear();
}

const char16_t* CAppParameter::GetVersion() { return u"1.0.0.0"; }

const char16_t* CAppParameter::GetTitle(int language) { return UiText(TextId::kAppTitle, language); }

int CAppParameter::GetMenuId(int language) { return MapResourceId(language == kLanguageJapanese ? 10013 : 10014); }

const char16_t* CAppParameter::GetHelpPage(int language) {
    // Shipped beside the executable; the shell resolves them against the application folder.
    return UiText(TextId::kHelpPage, language);
}

int CAppParameter::GetMenuPosition(const char16_t* title) {
    if (SameText(title, u"File")) return 0;
    if (SameText(title, u"Edit")) return 1;
    if (SameText(title, u"View")) return 2;
    if (SameText(title, u"Window")) return 2;
    if (SameText(title, u"Help")) return 3;
    return 0;
}

int CAppParameter::MapResourceId(int id) {
    switch (id) {
        case 10011:
        case 10012:
            return 10011;
        case 10013:
        case 10014:
        case 10015:
        case 10016:
            return id;
        default:
            return 0;
    }
}

void CAppParameter::SetIdentity() {
    m_reserved1 = 1;
    m_reserved2 = 1;
    m_toolbarSwitchable = 1;
    m_statusbarSwitchable = 1;
    m_mainClassName.AssignWide(u"QUILLON MAIN WINDOW", -1);
    m_childClassName.AssignWide(u"QUILLON CHILD WINDOW", -1);
    m_controlClassName.AssignWide(u"QUILLON CONTROL ITEM WINDOW", -1);
    m_mdiClientClassName.AssignWide(u"QUILLON MDI CLIENT WINDOW", -1);

    // The settings file: the current folder's when there is one, else the program's.
    char16_t fileName[32];
    SeparatedName(fileName, 32, u"quillon.ini");
    m_settingsFileName.AssignWide(fileName, -1);
    char16_t path[kMaxPath];
    CopyPath(path, kMaxPath, m_currentFolder.GetWideOrEmpty());
    AppendPath(path, kMaxPath, fileName);
    CFile probe;
    if (probe.Open(path)) {
        probe.Close();
    } else {
        CopyPath(path, kMaxPath, m_appFolder.GetWideOrEmpty());
        AppendPath(path, kMaxPath, fileName);
    }
    m_settingsFile.AssignWide(path, -1);
    TraceOutput(u"ini_file = %s\n", m_settingsFile.GetWideOrEmpty());

    // The per-user data folder, created (with its "Tarnwick" parent) when missing.
    char16_t folder[kMaxPath];
    if (QueryUserDataRoot(folder, kMaxPath) == 0) return;
    char16_t piece[16];
    SeparatedName(piece, 16, u"Tarnwick");
    AppendPath(folder, kMaxPath, piece);
    char16_t parent[kMaxPath];
    CopyPath(parent, kMaxPath, folder);
    SeparatedName(piece, 16, u"quillon");
    AppendPath(folder, kMaxPath, piece);
    m_userDataFolder.AssignWide(folder, -1);
    if (!PathExists(folder)) {
        if (!PathExists(parent)) CreateFolder(parent);
        CreateFolder(folder);  // a failure is ignored: nothing else uses the folder
    }
}

void CAppParameter::Reset() {
    SetIdentity();
    SetDefaults();
    Load();
    m_codePage = ChooseCodePage(m_encodingChoice, kCodePageAnsi);
}

void CAppParameter::SetDefaults() {
    SetColorTable(kAppColors, kAppColorCount, kAppColorNames, kAppColorNameCount);
    for (int k = 0; k < kHistoryCount; ++k) ResetHistory(k, kHistoryDefaultCapacity);
    m_encodingChoice = kEncodingAuto;
    m_intervalCheck = 0;
    m_intervalTime = 0;
    m_follow = 0;
    m_stampForms = 1;
    m_overview = 1;
    m_colorCodes = 1;
    m_darkTheme = kDarkThemeSystem;
    m_wrapLines = 0;
    SetStampPatterns(nullptr, 0);
    m_contextBefore = 0;
    m_contextAfter = 0;
    m_searchMatchCase = 1;
    m_extractMatchCase = 1;
    m_searchRegex = 0;
    m_extractRegex = 0;
    m_searchNot = 0;
    m_extractNot = 0;
}

int CAppParameter::ViewColors(bool systemDark, CColorEntry* out, int capacity) const {
    int count = m_colors != nullptr ? m_colorCount : 0;
    if (count > capacity) count = capacity;
    if (count <= 0) return 0;
    if (DarkThemeInForce(m_darkTheme, systemDark)) {
        MakeDarkColorTable(m_colors, count, out);
    } else {
        for (int k = 0; k < count; ++k) out[k] = m_colors[k];
    }
    return count;
}

void CAppParameter::GetStampRules(CStampRules* rules) {
    *rules = CStampRules();
    if (m_stampForms == 0) return;
    rules->moreForms = true;
    for (int k = 0; k < m_stampPatternCount; ++k) {
        CStampPattern pattern;
        // A hand-edited file may hold a pattern the settings sheet would refuse: it is passed over.
        if (pattern.Compile(m_stampPatterns[k].Data())) rules->AddPattern(pattern);
    }
}

void CAppParameter::SetStampPatterns(const char* const* texts, int count) {
    for (CString& text : m_stampPatterns) text.Clear();
    m_stampPatternCount = 0;
    for (int k = 0; k < count && m_stampPatternCount < kMaxStampPatterns; ++k) {
        if (texts[k] == nullptr || texts[k][0] == 0) continue;
        m_stampPatterns[m_stampPatternCount++].AssignBytes(texts[k], -1);
    }
}

void CAppParameter::GetKeywordFilePath(char16_t* out, int capacity) const {
    if (out == nullptr || capacity <= 0) return;
    out[0] = 0;
    CString copy;  // GetWide changes the string, and this operation is const
    copy.Assign(m_currentFolder);
    const char16_t* wide = copy.GetWideOrEmpty();
    char16_t name[32];
    SeparatedName(name, 32, u"keyword_default.xml");
    int a = 0, b = 0;
    while (wide[a] != 0) ++a;
    while (name[b] != 0) ++b;
    if (a + b >= capacity) return;  // a cut path would name another file
    CopyPath(out, capacity, wide);
    AppendPath(out, capacity, name);
}

int CAppParameter::Load() {
    int settings = CCommConfig::Load();
    // Read even without settings: a first start has none yet, but may have the bundled keywords.
    char16_t path[kMaxPath];
    GetKeywordFilePath(path, kMaxPath);
    m_keywordFileWritable = m_keywords.LoadFile(path) == 1 ? 1 : 0;
    return settings;
}

int CAppParameter::Save() {
    if (!CCommConfig::Save()) return 0;
    if (m_keywordFileWritable != 0) {
        char16_t path[kMaxPath];
        GetKeywordFilePath(path, kMaxPath);
        m_keywords.SaveFile(path);
    }
    return 1;
}

void CAppParameter::KeywordsChanged() { m_keywordFileWritable = 1; }

void CAppParameter::EmptyHistory(int list) {
    if (list < 0 || list >= kHistoryCount) return;
    CTextHistory& h = m_histories[list];
    for (int i = 0; i < h.count; ++i) {
        delete h.entries[i];
        h.entries[i] = nullptr;
    }
    h.count = 0;
}

int CAppParameter::ResetHistory(int list, int capacity) {
    if (list < 0 || list >= kHistoryCount) return 0;
    CTextHistory& h = m_histories[list];
    EmptyHistory(list);
    std::free(h.entries);
    h.capacity = capacity;
    h.entries =
        capacity > 0 ? static_cast<CString**>(std::calloc(static_cast<size_t>(capacity), kEntryBytes)) : nullptr;
    return h.entries != nullptr ? 1 : 0;
}

void CAppParameter::AddHistory(int list, const char16_t* text) {
    if (list < 0 || list >= kHistoryCount) return;
    CTextHistory& h = m_histories[list];
    if (h.entries == nullptr || h.capacity <= 0) return;
    // Converted once, then compared as bytes: a settings file with long histories calls this
    // for every text it holds.
    CString* added = new (std::nothrow) CString(text);
    if (added == nullptr) return;
    for (int i = 0; i < h.count; ++i) {
        if (SameText(*h.entries[i], *added)) {
            delete added;
            CString* found = h.entries[i];
            std::memmove(&h.entries[1], &h.entries[0], static_cast<size_t>(i) * kEntryBytes);
            h.entries[0] = found;
            return;
        }
    }
    if (h.count >= h.capacity) {
        delete h.entries[h.count - 1];
        h.entries[h.count - 1] = nullptr;
        --h.count;
    }
    std::memmove(&h.entries[1], &h.entries[0], static_cast<size_t>(h.count) * kEntryBytes);
    h.entries[0] = added;
    ++h.count;
}

const char16_t* CAppParameter::GetFontFace() {
    if (!m_fontName.IsEmpty()) return m_fontName.GetWideOrEmpty();
    return UiText(TextId::kDefaultFontFace, m_language);
}

int CAppParameter::GetFontSize() const {
    if (m_fontSize != 0) return m_fontSize;
    return m_language == kLanguageJapanese ? 12 : 14;
}
