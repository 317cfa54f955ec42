// CAppParameter: the application's one configuration object (derived from CCommConfig):
// the 23-entry colour table, the keyword set in force, the five text histories, the
// loader code page, the interval check and the context lines of an extraction.
// Reached through AppConfig(), valid from start-up until exit.
// Threads: UI thread only; a load works on copies of the code page and keyword set.
#pragma once

#include <cassert>

#include "config/comm_config.h"
#include "config/dark_colors.h"
#include "config/recent_logs.h"
#include "stamps/stamp_rules.h"
#include "keywords/keyword_set.h"

constexpr int kHistoryCount = 5;  // 0: search (and extraction condition 1); 1..4: conditions 2..5
constexpr int32_t kNotFieldsMask = (1 << kHistoryCount) - 1;  // a "Not" bit for each condition field
constexpr int kHistoryDefaultCapacity = 10;
constexpr int kHistoryMaxCapacity = 1000;  // a larger "max" in the settings file is read as this
constexpr int kAppColorCount = 23;
constexpr int kAppColorNameCount = 17;

// One text history, most recent first. entries has capacity slots (null when its
// allocation failed: then the history stays empty and AddHistory does nothing).
struct CTextHistory {
    int32_t count;
    int32_t capacity;
    CString** entries;
};

class CAppParameter : public CCommConfig {
public:
    CAppParameter();
    // Empties the histories and frees the keyword set, then the base frees the rest.
    ~CAppParameter() override;

    const char16_t* GetVersion() override;            // "1.0.0.0"
    const char16_t* GetTitle(int language) override;  // "Quillon - ..." in the language
    int GetMenuId(int language) override;             // IDR_MENU_JA in Japanese, IDR_MENU_EN otherwise
    // The help page, relative to the application folder: "help\quillon_ja.html" or "help\quillon_en.html".
    const char16_t* GetHelpPage(int language) override;
    int GetMenuPosition(const char16_t* title) override;  // "File" 0, "Edit" 1, "View"/"Window" 2, "Help" 3
    // IDI_QUILLON and IDI_CHILD -> IDI_QUILLON; the menus, toolbar and accelerators -> id; else 0.
    int MapResourceId(int id) override;
    // Window class names, the flags, the settings file path (current folder first, then the
    // application folder) and the per-user data folder (created when missing).
    void SetIdentity() override;
    // Settings, then "keyword_default.xml" in the current folder, whatever became of the
    // settings. 1 when the settings were read, else 0.
    int Load() override;
    // Settings, then (only when they were written) "keyword_default.xml" in the current folder,
    // but only when that file was read successfully or the user changed the set. 1 when the
    // settings were written, else 0.
    int Save() override;
    // The user changed the keyword set (the keyword dialog's OK): saves may write the keyword
    // file from now on, even over one that could not be read.
    void KeywordsChanged();
    // SetIdentity, the 23 default colours and 17 names, empty histories of capacity 10,
    // encoding Auto, interval and context values 0, then Load; the code page is then the
    // chosen one (0 for Auto until a file says more).
    void Reset() override;
    // Reset's values alone, without the folders and files: colours, histories and the rest.
    void SetDefaults();
    void ReadSettings(CXmlElement* first) override;
    void WriteSettings(CXmlElement* root) override;
    // The window layout's elements of "config".
    void ReadLayout(CXmlElement* config);

    // Puts text at the front of history list (0..4): an equal entry moves to the front;
    // otherwise a full list drops its oldest entry first.
    void AddHistory(int list, const char16_t* text);
    // Destroys every entry of a history (count 0; capacity and array kept).
    void EmptyHistory(int list);
    // Empties a history and gives it a new array of capacity slots (1, or 0: no array, capacity 0).
    int ResetHistory(int list, int capacity);

    // The time-stamp rules a load uses: the line-start forms alone when m_stampForms is off;
    // otherwise the built-in forms and the patterns that compile, in their order.
    void GetStampRules(CStampRules* rules);
    // Replaces the pattern list (UTF-8 texts); at most kMaxStampPatterns are kept.
    void SetStampPatterns(const char* const* texts, int count);

    // The colour table the views draw with, at most capacity entries: the light table as it
    // is, or the dark one derived from it when the Dark Theme choice (with the system's app
    // mode, systemDark) puts it in force. Returns the count of entries written.
    int ViewColors(bool systemDark, CColorEntry* out, int capacity) const;
    // The view font: the font name setting, or "ＭＳ ゴシック" (language 1) / "Courier New".
    const char16_t* GetFontFace();
    // The view font size: the setting, or 12 (language 1) / 14 when it is 0.
    int GetFontSize() const;
    // The path of "keyword_default.xml" in the current folder; empty when it does not fit.
    void GetKeywordFilePath(char16_t* out, int capacity) const;

    CKeywordSet& Keywords() { return m_keywords; }
    const CKeywordSet& Keywords() const { return m_keywords; }
    CTextHistory& History(int list) { return m_histories[list]; }

    // The keyword set in force.
    CKeywordSet m_keywords;
    // 1 when saves may write the keyword file: it was read successfully, or the user changed
    // the set. A first start would otherwise put an empty list over the bundled file.
    int32_t m_keywordFileWritable = 0;
    // Text histories.
    CTextHistory m_histories[kHistoryCount] = {};
    // The code-page box's choice: kEncodingAuto (-1), 0 (ANSI) or 65001 (UTF-8). Stored as
    // "encoding"; a new installation starts with Auto, a settings file without it with ANSI.
    int32_t m_encodingChoice = -1;
    // Code page the loader and views decode the open log with (see ChooseCodePage): the
    // choice, or what Auto found in the file; UTF-16 for a file with its byte-order mark.
    uint32_t m_codePage = 0;
    // Interval check: flag intervals of at least m_intervalTime milliseconds.
    int32_t m_intervalCheck = 0;
    int32_t m_intervalTime = 0;
    // Follow mode: a log opened from now on is followed as it grows ("follow", written only
    // when on, so older readers and files without it see nothing new).
    int32_t m_follow = 0;
    // Time stamps beyond the line-start forms: on for a new installation, off for a settings
    // file without "stamp_forms" (written only when on, so older readers see nothing new).
    int32_t m_stampForms = 1;
    // The overview strip beside each view's scroll bar: on for a new installation, off for
    // a settings file without "overview" (written only when on, so older readers see nothing new).
    int32_t m_overview = 1;
    // Terminal colour codes in rows are hidden and drawn as colours, and search, extraction
    // and copies see the text without them: on for a new installation, off for a settings
    // file without "color_codes" (written only when on, so older readers see nothing new).
    int32_t m_colorCodes = 1;
    // View > Wrap Long Lines: rows wider than the message column go on in further lines. Off
    // by default; "wrap_lines", written only when on, so that older readers see nothing new.
    int32_t m_wrapLines = 0;
    // View > Dark Theme: kDarkThemeOff, kDarkThemeOn or kDarkThemeSystem (config/dark_colors.h).
    // As the system says for a new installation, off for a settings file without "dark_theme"
    // (written only when not off, so older readers see nothing new).
    int32_t m_darkTheme = kDarkThemeSystem;
    // The user's stamp patterns (UTF-8), tried before the built-in forms; stored in
    // "stamp_patterns" as "pattern" elements, written only when there is one.
    CString m_stampPatterns[kMaxStampPatterns];
    int32_t m_stampPatternCount = 0;
    // The File menu's recent logs ("recent_logs").
    CRecentLogs m_recentLogs;
    // The frame's normal position and size (screen pixels) and whether it was maximised, as
    // it was left ("frame_layout", written once known; without it the system places the frame).
    int32_t m_frameLayoutKnown = 0;
    int32_t m_frameLeft = 0;
    int32_t m_frameTop = 0;
    int32_t m_frameWidth = 0;
    int32_t m_frameHeight = 0;
    int32_t m_frameMaximized = 0;
    // A new log view opens maximised: on for a new installation, off for a settings file
    // without "view_maximized" (written only when on, so older readers see nothing new).
    int32_t m_viewMaximized = 1;
    // Lines an extraction takes before and after each hit.
    int32_t m_contextBefore = 0;
    int32_t m_contextAfter = 0;
    // The search and extraction dialogs' "Match case" (1, the default) or ignore case (0),
    // and "Regular expression" (0, the default, or 1). Stored in "search" as
    // "search_match_case", "extract_match_case", "search_regex" and "extract_regex".
    int32_t m_searchMatchCase = 1;
    int32_t m_extractMatchCase = 1;
    int32_t m_searchRegex = 0;
    int32_t m_extractRegex = 0;
    // The "Not" boxes as they were left: the search dialog's (0 or 1) and the extraction
    // dialog's, bit k for field k + 1. Stored in "search" as "search_not" and "extract_not",
    // written only when set, so that older readers see nothing new.
    int32_t m_searchNot = 0;
    int32_t m_extractNot = 0;
};

// The process-wide configuration. Start-up (main.cpp) fills g_config (new CAppParameter,
// then Reset) before the application object and any window exist, and deletes it after
// the last window has gone, so AppConfig() is valid wherever the program can call it and
// callers never check. Tests that make windows or dialogs set g_config first.
extern CAppParameter* g_config;
inline CAppParameter& AppConfig() {
    assert(g_config != nullptr);
    return *g_config;
}
