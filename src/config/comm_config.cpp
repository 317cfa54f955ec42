// CCommConfig: defaults, the folders found at construction, the colour table and the
// general virtual operations. The settings file itself is in settings_file.cpp.
#include "config/comm_config.h"

#include <cstdlib>
#include <cstring>

#include "config/color_table.h"
#include "config/folders.h"
#include "foundation/file_name.h"
#include "foundation/trace.h"

CCommConfig::CCommConfig() {
    char16_t path[kMaxPath];
    if (QueryExecutablePath(path, kMaxPath) > 0) {
        CFileName name;
        name.SetPathWide(path);
        m_appFolder.Assign(name.m_folder);
    }
    if (QueryCurrentFolder(path, kMaxPath) > 0) m_currentFolder.AssignWide(path, -1);
    TraceOutput(u"app_path     = %s\n", m_appFolder.GetWideOrEmpty());
    TraceOutput(u"current_path = %s\n", m_currentFolder.GetWideOrEmpty());
    m_tempFolder.Assign(m_currentFolder);
    m_logFolder.Assign(m_currentFolder);
    SetColorTable(kBaseColors, 2, kBaseColorNames, 2);
}

CCommConfig::~CCommConfig() {
    std::free(m_defaultColors);
    std::free(m_colors);
}

int CCommConfig::SetColorTable(const CColorEntry* defaults, int count, const CColorName* names, int nameCount) {
    if (defaults == nullptr || count <= 0) return 0;
    size_t bytes = static_cast<size_t>(count) * sizeof(CColorEntry);
    auto* d = static_cast<CColorEntry*>(std::malloc(bytes));
    auto* c = static_cast<CColorEntry*>(std::malloc(bytes));
    if (d == nullptr || c == nullptr) {
        std::free(d);
        std::free(c);
        return 0;
    }
    std::memcpy(d, defaults, bytes);
    std::memcpy(c, defaults, bytes);
    std::free(m_defaultColors);
    std::free(m_colors);
    m_defaultColors = d;
    m_colors = c;
    m_colorCount = count;
    m_colorNames = names;
    m_colorNameCount = names != nullptr ? nameCount : 0;
    return 1;
}

const char16_t* CCommConfig::GetVersion() { return u"0.0.0.0"; }

const char16_t* CCommConfig::GetTitle(int) { return u""; }

int CCommConfig::GetMenuId(int) { return 0; }

const char16_t* CCommConfig::GetHelpPage(int) { return u""; }

int CCommConfig::GetMenuPosition(const char16_t*) { return 0; }

int CCommConfig::MapResourceId(int id) { return id; }

void CCommConfig::Reset() { SetIdentity(); }
