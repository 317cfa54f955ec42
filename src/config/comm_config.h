// CCommConfig: the general-purpose configuration base: identity strings, folders, the
// settings file, language, font, folders of the settings, bar visibility and the colour table.
// Strings are CString (UTF-8); wide texts returned by the Get* operations are constants or
// a string's own UTF-16 copy (valid until that string's next GetWide). UI thread only.
#pragma once

#include <cstdint>

#include "config/ui_text.h"
#include "foundation/color.h"
#include "foundation/string.h"

class CFile;
struct CXmlElement;

// A named colour entry, as the settings dialog lists it; its name is a text of UiText.
struct CColorName {
    TextId name;
    int32_t entry;     // colour entry number that the name stands for
    int32_t lineOnly;  // 1: only the first colour of the entry is edited
};

constexpr int kLanguageJapanese = 1;
constexpr int kLanguageNotChosen = -1;

class CCommConfig : public CObject {
public:
    // Defaults, the application and current folders (traced), and the two-entry colour table.
    CCommConfig();
    // Frees the colour arrays and every string.
    ~CCommConfig() override;
    CCommConfig(const CCommConfig&) = delete;
    CCommConfig& operator=(const CCommConfig&) = delete;

    // Virtual operations, in slot order.
    virtual const char16_t* GetVersion();                // "0.0.0.0"
    virtual const char16_t* GetTitle(int language);      // empty
    virtual int GetMenuId(int language);                 // 0
    virtual const char16_t* GetHelpPage(int language);   // empty
    virtual void Hook() {}                               // reserved, does nothing
    virtual int GetMenuPosition(const char16_t* title);  // 0
    virtual int MapResourceId(int id);                   // id itself
    virtual void SetIdentity() {}
    // Reads the settings file and applies it: 1 when it was read and parsed, else 0 (defaults stay).
    virtual int Load();
    // Reads settings from an open file instead (bytes in memory too: CFile::OpenBytes); the
    // same answer.
    int LoadFrom(CFile& file);
    // Writes the settings file through a temporary file that then replaces it: 1 when every
    // byte reached the disk, else 0 with the previous file unchanged.
    virtual int Save();
    // The document Save writes: a new NUL-terminated UTF-8 text (std::free), or null.
    char* SaveText();
    // CCommConfig: SetIdentity.
    virtual void Reset();
    // Reads the values of this class from a parsed document (first top-level element; null allowed).
    virtual void ReadSettings(CXmlElement* first);
    // Appends "config" with the values of this class under the pseudo-root element.
    virtual void WriteSettings(CXmlElement* root);

    // Replaces the colour table (defaults and current start equal) and the name table.
    // Returns 1, or 0 when the arrays cannot be allocated (the old table stays).
    int SetColorTable(const CColorEntry* defaults, int count, const CColorName* names, int nameCount);

    // Flags; the first two are reserved (set by SetIdentity, read by nothing).
    int32_t m_reserved1 = 0;
    int32_t m_reserved2 = 0;
    int32_t m_toolbarSwitchable = 0;    // 0: the toolbar is always shown, its View switch does nothing
    int32_t m_statusbarSwitchable = 0;  // 0: the same for the status bar
    // Identity: window class names (set by SetIdentity).
    CString m_mainClassName;
    CString m_childClassName;
    CString m_controlClassName;
    CString m_mdiClientClassName;
    // Folders, without a trailing separator, and the settings file.
    CString m_currentFolder;     // the process's current directory at start-up
    CString m_appFolder;         // the folder of the executable
    CString m_settingsFile;      // full path of "quillon.ini"
    CString m_settingsFileName;  // the separator and "quillon.ini"
    CString m_userDataFolder;    // per-user data folder; empty when it could not be found
    // Language: in use (1 Japanese, else English; decided at start-up) and as stored
    // (-1 not chosen, 0 English, 1 Japanese; any other value asks again).
    int32_t m_language = 0;
    int32_t m_languageSetting = kLanguageNotChosen;
    // Font of the log views; empty / 0 mean the language's default (see CAppParameter).
    CString m_fontName;
    int32_t m_fontSize = 0;
    // Stored but unused by the program.
    CString m_tempFolder;
    int32_t m_logEnabled = 0;
    CString m_logFolder;
    // Bar visibility.
    int32_t m_toolbarVisible = 1;
    int32_t m_statusbarVisible = 1;
    // Colour table: m_colorCount entries each in the factory defaults (never changed)
    // and the current colours (what views draw, the file stores and the dialog edits).
    int32_t m_colorCount = 0;
    CColorEntry* m_defaultColors = nullptr;
    CColorEntry* m_colors = nullptr;
    int32_t m_colorNameCount = 0;
    const CColorName* m_colorNames = nullptr;  // constants of the program, not owned
};
