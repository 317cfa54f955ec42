// Helpers for the configuration tests: private current, application and user-data folders
// for a configuration, and UTF-8 views of its strings.
#pragma once

#include <filesystem>
#include <string>

#include "config/app_parameter.h"
#include "config/folders.h"
#include "document/file.h"
#include "foundation/convert.h"
#include "test_support.h"

namespace config_testing {

inline std::string Utf8(const char16_t* wide) {
    if (wide == nullptr) return std::string();
    char* bytes = WideToMultiByteAlloc(wide, -1, kCodePageUtf8);
    std::string s = bytes != nullptr ? bytes : "";
    std::free(bytes);
    return s;
}

inline std::string Str(const CString& s) {
    return s.Data() != nullptr ? std::string(s.Data(), static_cast<size_t>(s.Length())) : std::string();
}

inline std::string PathUtf8(const std::filesystem::path& p) { return Utf8(p.u16string().c_str()); }

// Points the folder queries at three fresh folders (current, app, data) for the life of the object.
class ConfigFolders {
public:
    ConfigFolders() {
        current = m_dir.Path() / "current";
        app = m_dir.Path() / "app";
        data = m_dir.Path() / "data";
        std::filesystem::create_directory(current);
        std::filesystem::create_directory(app);
        std::filesystem::create_directory(data);
        m_current = current.u16string();
        m_exe = (app / "quillon.exe").u16string();
        m_data = data.u16string();
        g_folderOverrides = CFolderOverrides();
        g_folderOverrides.currentFolder = m_current.c_str();
        g_folderOverrides.executablePath = m_exe.c_str();
        g_folderOverrides.userDataRoot = m_data.c_str();
    }
    ~ConfigFolders() {
        g_folderOverrides = CFolderOverrides();
        g_fileFaults = CFileFaults();
    }
    std::filesystem::path CurrentFile(const std::string& name) const { return current / name; }
    std::filesystem::path AppFile(const std::string& name) const { return app / name; }

    std::filesystem::path current, app, data;

private:
    testing_support::TempDir m_dir;
    std::u16string m_current, m_exe, m_data;
};

}  // namespace config_testing
