// CCommConfig and CAppParameter: defaults, identity, the colour table, folders and the
// settings-file lookup, histories, fonts, and the real folder queries of the platform.
#include "config/app_parameter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "config/folders.h"
#include "config/ui_text.h"
#include "config_test_support.h"
#include "foundation/format.h"
#include "foundation/trace.h"

using config_testing::ConfigFolders;
using config_testing::PathUtf8;
using config_testing::Str;
using config_testing::Utf8;
using testing_support::WriteBytes;

namespace {

const std::string kSep = kPathSeparator == u'/' ? "/" : "\\";

struct ColorRow {
    uint32_t text, background;
};

// The factory colours, entry by entry.
const ColorRow kExpectedColors[23] = {
    {0x000000, 0xFFFFFF}, {0x000000, 0xE6E6E6}, {0x000000, 0x00FFFF}, {0x000000, 0x00FF00}, {0xFFFFFF, 0xFF0000},
    {0xFFFFFF, 0xFF0000}, {0x0000C0, 0xFFFFFF}, {0x008000, 0xFFFFFF}, {0xFF0000, 0xFFFFFF}, {0x006699, 0xFFFFFF},
    {0x0050B0, 0xFFFFFF}, {0xA000A0, 0xFFFFFF}, {0x0000C8, 0xFFFFFF}, {0x8C7800, 0xFFFFFF}, {0xFFFFFF, 0xFF0000},
    {0x000000, 0xE6E6E6}, {0x000000, 0xE6E6E6}, {0x808080, 0xFFFFFF}, {0x808080, 0xFFFFFF}, {0xFFFFFF, 0x0000FF},
    {0x0000FF, 0xFFFFFF}, {0xC8C8C8, 0xFFFFFF}, {0x808080, 0xFFFFFF},
};

struct NameRow {
    const char* english;
    const char* japanese;
    int entry;
};

const NameRow kExpectedNames[17] = {
    {"Text Color (Normal)", "通常のテキスト表示", 0},
    {"Cursor Color", "カーソル行の色", 2},
    {"Marker Color", "マーク行の色", 3},
    {"Select Text Color", "選択文字列の色", 4},
    {"Search Color", "検索文字列の色", 5},
    {"Highlighting 1", "強調表示1", 6},
    {"Highlighting 2", "強調表示2", 7},
    {"Highlighting 3", "強調表示3", 8},
    {"Highlighting 4", "強調表示4", 9},
    {"Highlighting 5", "強調表示5", 10},
    {"Highlighting 6", "強調表示6", 11},
    {"Highlighting 7", "強調表示7", 12},
    {"Highlighting 8", "強調表示8", 13},
    {"Item display color", "項目表示の色", 14},
    {"Line Color", "行番号の色", 15},
    {"Interval Color", "ログ間隔の色", 16},
    {"Error Color", "エラー行の色", 19},
};

std::vector<std::string> HistoryTexts(CAppParameter& config, int list) {
    std::vector<std::string> out;
    CTextHistory& h = config.History(list);
    for (int i = 0; i < h.count; ++i) out.push_back(Str(*h.entries[i]));
    return out;
}

TEST(CommConfig, TheBaseClassHasTwoColoursAndNoIdentity) {
    ConfigFolders folders;
    CCommConfig config;
    config.Reset();
    EXPECT_EQ(0, config.m_toolbarSwitchable);
    EXPECT_EQ(0, config.m_statusbarSwitchable);
    EXPECT_EQ("", Str(config.m_mainClassName));
    EXPECT_EQ("0.0.0.0", Utf8(config.GetVersion()));
    EXPECT_EQ("", Utf8(config.GetTitle(1)));
    EXPECT_EQ("", Utf8(config.GetHelpPage(0)));
    EXPECT_EQ(0, config.GetMenuId(1));
    EXPECT_EQ(0, config.GetMenuPosition(u"View"));
    EXPECT_EQ(12345, config.MapResourceId(12345));
    ASSERT_EQ(2, config.m_colorCount);
    EXPECT_EQ(0x000000u, config.m_colors[0].text);
    EXPECT_EQ(0xFFFFFFu, config.m_colors[0].background);
    EXPECT_EQ(0xC8C8C8u, config.m_colors[1].text);
    EXPECT_EQ(0xFFFFFFu, config.m_colors[1].background);
    ASSERT_EQ(2, config.m_colorNameCount);
    EXPECT_EQ("Text Color (Normal)", Utf8(UiText(config.m_colorNames[0].name, 0)));
    EXPECT_EQ("通常のテキスト表示", Utf8(UiText(config.m_colorNames[0].name, kLanguageJapanese)));
    EXPECT_EQ(0, config.m_colorNames[0].lineOnly);
    EXPECT_EQ("Line Color", Utf8(UiText(config.m_colorNames[1].name, 0)));
    EXPECT_EQ("罫線の色", Utf8(UiText(config.m_colorNames[1].name, kLanguageJapanese)));
    EXPECT_EQ(1, config.m_colorNames[1].entry);
    EXPECT_EQ(1, config.m_colorNames[1].lineOnly);
    EXPECT_EQ(0, config.m_language);
    EXPECT_EQ(-1, config.m_languageSetting);
    EXPECT_EQ(1, config.m_toolbarVisible);
    EXPECT_EQ(1, config.m_statusbarVisible);
    EXPECT_EQ(PathUtf8(folders.app), Str(config.m_appFolder));
    EXPECT_EQ(PathUtf8(folders.current), Str(config.m_currentFolder));
    EXPECT_EQ(PathUtf8(folders.current), Str(config.m_tempFolder));
    EXPECT_EQ(PathUtf8(folders.current), Str(config.m_logFolder));
}

TEST(AppParameter, ResetWithoutSettingsGivesEveryDefault) {
    ConfigFolders folders;
    CAppParameter config;
    config.Reset();
    EXPECT_EQ(1, config.m_reserved1);
    EXPECT_EQ(1, config.m_reserved2);
    EXPECT_EQ(1, config.m_toolbarSwitchable);
    EXPECT_EQ(1, config.m_statusbarSwitchable);
    EXPECT_EQ("QUILLON MAIN WINDOW", Str(config.m_mainClassName));
    EXPECT_EQ("QUILLON CHILD WINDOW", Str(config.m_childClassName));
    EXPECT_EQ("QUILLON CONTROL ITEM WINDOW", Str(config.m_controlClassName));
    EXPECT_EQ("QUILLON MDI CLIENT WINDOW", Str(config.m_mdiClientClassName));
    EXPECT_EQ(kSep + "quillon.ini", Str(config.m_settingsFileName));
    EXPECT_EQ(-1, config.m_languageSetting);
    EXPECT_EQ("", Str(config.m_fontName));
    EXPECT_EQ(0, config.m_fontSize);
    EXPECT_EQ(0, config.m_logEnabled);
    EXPECT_EQ(PathUtf8(folders.current), Str(config.m_tempFolder));
    EXPECT_EQ(PathUtf8(folders.current), Str(config.m_logFolder));
    EXPECT_EQ(1, config.m_toolbarVisible);
    EXPECT_EQ(1, config.m_statusbarVisible);
    EXPECT_EQ(0u, config.m_codePage);
    EXPECT_EQ(0, config.m_intervalCheck);
    EXPECT_EQ(0, config.m_intervalTime);
    EXPECT_EQ(0, config.m_contextBefore);
    EXPECT_EQ(0, config.m_contextAfter);
    EXPECT_EQ(0u, config.Keywords().Count());
    for (int k = 0; k < kHistoryCount; ++k) {
        EXPECT_EQ(0, config.History(k).count);
        EXPECT_EQ(10, config.History(k).capacity);
        EXPECT_NE(nullptr, config.History(k).entries);
    }
    ASSERT_EQ(23, config.m_colorCount);
    for (int i = 0; i < 23; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(kExpectedColors[i].text, config.m_defaultColors[i].text);
        EXPECT_EQ(kExpectedColors[i].background, config.m_defaultColors[i].background);
        EXPECT_EQ(kExpectedColors[i].text, config.m_colors[i].text);
        EXPECT_EQ(kExpectedColors[i].background, config.m_colors[i].background);
    }
    ASSERT_EQ(17, config.m_colorNameCount);
    for (int i = 0; i < 17; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(kExpectedNames[i].english, Utf8(UiText(config.m_colorNames[i].name, 0)));
        EXPECT_EQ(kExpectedNames[i].japanese, Utf8(UiText(config.m_colorNames[i].name, kLanguageJapanese)));
        EXPECT_EQ(kExpectedNames[i].entry, config.m_colorNames[i].entry);
        EXPECT_EQ(0, config.m_colorNames[i].lineOnly);
    }
}

TEST(AppParameter, IdentityTitlesMenusAndResources) {
    ConfigFolders folders;
    CAppParameter config;
    config.Reset();
    EXPECT_EQ("1.0.0.0", Utf8(config.GetVersion()));
    EXPECT_EQ("Quillon - ログ解析支援ツール", Utf8(config.GetTitle(1)));
    EXPECT_EQ("Quillon - LOG Analysis Assist Tool", Utf8(config.GetTitle(0)));
    EXPECT_EQ("Quillon - LOG Analysis Assist Tool", Utf8(config.GetTitle(7)));
    EXPECT_EQ(10013, config.GetMenuId(1));
    EXPECT_EQ(10014, config.GetMenuId(0));
    EXPECT_EQ(10014, config.GetMenuId(-1));
    EXPECT_EQ("help\\quillon_ja.html", Utf8(config.GetHelpPage(1)));
    EXPECT_EQ("help\\quillon_en.html", Utf8(config.GetHelpPage(0)));
    EXPECT_EQ(0, config.GetMenuPosition(u"File"));
    EXPECT_EQ(1, config.GetMenuPosition(u"Edit"));
    EXPECT_EQ(2, config.GetMenuPosition(u"View"));
    EXPECT_EQ(2, config.GetMenuPosition(u"Window"));
    EXPECT_EQ(3, config.GetMenuPosition(u"Help"));
    EXPECT_EQ(0, config.GetMenuPosition(u"Search"));
    EXPECT_EQ(0, config.GetMenuPosition(u"view"));
    EXPECT_EQ(0, config.GetMenuPosition(nullptr));
    EXPECT_EQ(10011, config.MapResourceId(10011));
    EXPECT_EQ(10011, config.MapResourceId(10012));
    for (int id = 10013; id <= 10016; ++id) EXPECT_EQ(id, config.MapResourceId(id));
    EXPECT_EQ(0, config.MapResourceId(10010));
    EXPECT_EQ(0, config.MapResourceId(10017));
    EXPECT_EQ(0, config.MapResourceId(2002));
}

TEST(AppParameter, FontFollowsTheLanguageWhenNotSet) {
    ConfigFolders folders;
    CAppParameter config;
    config.Reset();
    config.m_language = 1;
    EXPECT_EQ("ＭＳ ゴシック", Utf8(config.GetFontFace()));
    EXPECT_EQ(12, config.GetFontSize());
    config.m_language = 0;
    EXPECT_EQ("Courier New", Utf8(config.GetFontFace()));
    EXPECT_EQ(14, config.GetFontSize());
    config.m_language = 5;
    EXPECT_EQ("Courier New", Utf8(config.GetFontFace()));
    config.m_fontName.AssignWide(u"メイリオ", -1);
    config.m_fontSize = 9;
    EXPECT_EQ("メイリオ", Utf8(config.GetFontFace()));
    EXPECT_EQ(9, config.GetFontSize());
}

TEST(AppParameter, SettingsFileLookupPrefersTheCurrentFolder) {
    {
        ConfigFolders folders;  // none anywhere: the application folder's path
        CAppParameter config;
        config.Reset();
        EXPECT_EQ(PathUtf8(folders.AppFile("quillon.ini")), Str(config.m_settingsFile));
    }
    {
        ConfigFolders folders;  // only in the current folder
        WriteBytes(folders.CurrentFile("quillon.ini"), "x");
        CAppParameter config;
        config.Reset();
        EXPECT_EQ(PathUtf8(folders.CurrentFile("quillon.ini")), Str(config.m_settingsFile));
    }
    {
        ConfigFolders folders;  // a folder of that name is not a settings file
        std::filesystem::create_directory(folders.CurrentFile("quillon.ini"));
        CAppParameter config;
        config.Reset();
        EXPECT_EQ(PathUtf8(folders.AppFile("quillon.ini")), Str(config.m_settingsFile));
    }
}

TEST(AppParameter, BothFilesPresentUsesAndOverwritesTheCurrentFoldersFile) {
    ConfigFolders folders;
    const std::string decl = "<?xml version=\"1.0\" ?>\r\n";
    WriteBytes(folders.CurrentFile("quillon.ini"), decl + "<config><font_size>11</font_size></config>");
    WriteBytes(folders.AppFile("quillon.ini"), decl + "<config><font_size>22</font_size></config>");
    CAppParameter config;
    config.Reset();
    EXPECT_EQ(11, config.m_fontSize);
    config.m_fontSize = 33;
    ASSERT_EQ(1, config.Save());
    std::string current = testing_support::ReadBytes(folders.CurrentFile("quillon.ini"));
    EXPECT_NE(std::string::npos, current.find("<font_size>33</font_size>"));
    EXPECT_EQ(decl + "<config><font_size>22</font_size></config>",
              testing_support::ReadBytes(folders.AppFile("quillon.ini")));
}

TEST(AppParameter, AFileOnlyInTheApplicationFolderIsUsedAndSavedThere) {
    ConfigFolders folders;
    WriteBytes(folders.AppFile("quillon.ini"), "<?xml version=\"1.0\" ?><config><language>1</language></config>");
    CAppParameter config;
    config.Reset();
    EXPECT_EQ(1, config.m_languageSetting);
    config.m_languageSetting = 0;
    config.KeywordsChanged();
    ASSERT_EQ(1, config.Save());
    EXPECT_FALSE(std::filesystem::exists(folders.CurrentFile("quillon.ini")));
    EXPECT_NE(std::string::npos,
              testing_support::ReadBytes(folders.AppFile("quillon.ini")).find("<language>0</language>"));
    // The keyword file always lives in the current folder.
    EXPECT_TRUE(std::filesystem::exists(folders.CurrentFile("keyword_default.xml")));
    EXPECT_FALSE(std::filesystem::exists(folders.AppFile("keyword_default.xml")));
}

TEST(AppParameter, TheUserDataFolderIsCreatedUnderTheRoot) {
    ConfigFolders folders;
    CAppParameter config;
    config.Reset();
    std::filesystem::path expected = folders.data / "Tarnwick" / "quillon";
    EXPECT_EQ(PathUtf8(expected), Str(config.m_userDataFolder));
    EXPECT_TRUE(std::filesystem::is_directory(expected));
    CAppParameter again;  // an existing folder is fine
    again.Reset();
    EXPECT_EQ(PathUtf8(expected), Str(again.m_userDataFolder));
}

TEST(AppParameter, AFailedUserDataQueryLeavesTheFolderEmpty) {
    ConfigFolders folders;
    g_folderOverrides.failUserDataRoot = true;
    CAppParameter config;
    config.Reset();
    EXPECT_EQ("", Str(config.m_userDataFolder));
    EXPECT_FALSE(std::filesystem::exists(folders.data / "Tarnwick"));
}

TEST(AppParameter, KeywordFilePathIsTheCurrentFolderWithItsName) {
    ConfigFolders folders;
    CAppParameter config;
    config.Reset();
    char16_t path[kMaxPath];
    config.GetKeywordFilePath(path, kMaxPath);
    EXPECT_EQ(PathUtf8(folders.CurrentFile("keyword_default.xml")), Utf8(path));
    char16_t small[8];
    config.GetKeywordFilePath(small, 8);
    EXPECT_EQ("", Utf8(small));  // a path that does not fit is not cut
}

std::vector<std::string>& TraceLines() {
    static std::vector<std::string> lines;
    return lines;
}

int RecordTrace(const char16_t* format, ...) {
    char16_t buffer[2048];
    va_list args;
    va_start(args, format);
    FormatStringV(buffer, 2048, format, args);
    va_end(args);
    TraceLines().push_back(Utf8(buffer));
    return 0;
}

TEST(AppParameter, StartUpTracesTheFoldersAndTheSettingsFile) {
    ConfigFolders folders;
    TraceLines().clear();
    TraceFunction previous = TraceOutput;
    TraceOutput = RecordTrace;
    {
        CAppParameter config;
        config.Reset();
    }
    TraceOutput = previous;
    std::vector<std::string> expected = {
        "app_path     = " + PathUtf8(folders.app) + "\n",
        "current_path = " + PathUtf8(folders.current) + "\n",
        "ini_file = " + PathUtf8(folders.AppFile("quillon.ini")) + "\n",
    };
    EXPECT_EQ(expected, TraceLines());
}

TEST(AppParameterHistory, NewTextsGoInFrontAndTheOldestFallsOut) {
    ConfigFolders folders;
    CAppParameter config;
    config.Reset();
    for (int i = 1; i <= 10; ++i) config.AddHistory(0, (u"t" + std::u16string(1, char16_t(u'0' + i % 10))).c_str());
    EXPECT_EQ(10, config.History(0).count);
    EXPECT_EQ("t0", HistoryTexts(config, 0).front());  // the tenth
    EXPECT_EQ("t1", HistoryTexts(config, 0).back());
    config.AddHistory(0, u"eleven");
    EXPECT_EQ(10, config.History(0).count);
    EXPECT_EQ("eleven", HistoryTexts(config, 0).front());
    EXPECT_EQ("t2", HistoryTexts(config, 0).back());  // t1 fell out
    EXPECT_EQ(0, config.History(1).count);
}

TEST(AppParameterHistory, AnEqualTextMovesToTheFrontWithoutADuplicate) {
    ConfigFolders folders;
    CAppParameter config;
    config.Reset();
    config.AddHistory(2, u"a");
    config.AddHistory(2, u"b");
    config.AddHistory(2, u"検索");
    config.AddHistory(2, u"d");
    config.AddHistory(2, u"b");
    EXPECT_EQ((std::vector<std::string>{"b", "d", "検索", "a"}), HistoryTexts(config, 2));
    config.AddHistory(2, u"b");
    EXPECT_EQ((std::vector<std::string>{"b", "d", "検索", "a"}), HistoryTexts(config, 2));
    config.AddHistory(2, u"a");
    EXPECT_EQ((std::vector<std::string>{"a", "b", "d", "検索"}), HistoryTexts(config, 2));
    config.AddHistory(2, u"B");  // case-sensitive
    EXPECT_EQ(5, config.History(2).count);
}

TEST(AppParameterHistory, SmallCapacitiesAndBadListsAreSafe) {
    ConfigFolders folders;
    CAppParameter config;
    config.Reset();
    ASSERT_EQ(1, config.ResetHistory(4, 1));
    config.AddHistory(4, u"x");
    config.AddHistory(4, u"y");
    EXPECT_EQ((std::vector<std::string>{"y"}), HistoryTexts(config, 4));
    config.AddHistory(5, u"z");
    config.AddHistory(-1, u"z");
    EXPECT_EQ(0, config.ResetHistory(3, 0));
    config.AddHistory(3, u"z");
    EXPECT_EQ(0, config.History(3).count);
    config.EmptyHistory(4);
    EXPECT_EQ(0, config.History(4).count);
    EXPECT_EQ(1, config.History(4).capacity);
}

TEST(AppParameter, TheAccessorReachesWhatStartUpSets) {
    ConfigFolders folders;
    EXPECT_EQ(nullptr, g_config);
    CAppParameter config;
    g_config = &config;
    EXPECT_EQ(&config, &AppConfig());
    g_config = nullptr;
}

TEST(Folders, TheSystemQueriesAnswerWithoutOverrides) {
    g_folderOverrides = CFolderOverrides();
    char16_t path[kMaxPath];
    ASSERT_GT(QueryCurrentFolder(path, kMaxPath), 0);
    EXPECT_EQ(PathUtf8(std::filesystem::current_path()), Utf8(path));
    ASSERT_GT(QueryExecutablePath(path, kMaxPath), 0);
    EXPECT_EQ(1, PathExists(path));
    std::string exe = std::filesystem::path(std::u16string(path)).filename().string();
    EXPECT_EQ(0u, exe.find("config_tests"));
    EXPECT_EQ(0, QueryCurrentFolder(path, 2));  // too small: failure, not a cut path
    EXPECT_EQ(0, path[0]);
}

TEST(Folders, ExistenceAndCreation) {
    testing_support::TempDir dir;
    std::u16string made = dir.File("made");
    EXPECT_EQ(0, PathExists(made.c_str()));
    EXPECT_EQ(1, CreateFolder(made.c_str()));
    EXPECT_EQ(1, PathExists(made.c_str()));
    EXPECT_EQ(0, CreateFolder(made.c_str()));
    EXPECT_EQ(0, CreateFolder(dir.File("no/such/parent").c_str()));
    EXPECT_EQ(0, PathExists(nullptr));
}

#ifndef _WIN32
TEST(Folders, ThePosixUserDataRootFollowsXdgDataHome) {
    g_folderOverrides = CFolderOverrides();
    testing_support::TempDir dir;
    std::string root = (dir.Path() / "xdg" / "share").string();
    const char* saved = std::getenv("XDG_DATA_HOME");
    std::string savedValue = saved != nullptr ? saved : "";
    setenv("XDG_DATA_HOME", root.c_str(), 1);
    char16_t path[kMaxPath];
    int n = QueryUserDataRoot(path, kMaxPath);
    EXPECT_GT(n, 0);
    EXPECT_EQ(root, Utf8(path));
    EXPECT_TRUE(std::filesystem::is_directory(root));
    setenv("XDG_DATA_HOME", "relative/ignored", 1);
    std::string home = (dir.Path() / "home").string();
    const char* savedHome = std::getenv("HOME");
    std::string savedHomeValue = savedHome != nullptr ? savedHome : "";
    setenv("HOME", home.c_str(), 1);
    EXPECT_GT(QueryUserDataRoot(path, kMaxPath), 0);
    EXPECT_EQ(home + "/.local/share", Utf8(path));
    setenv("HOME", savedHomeValue.c_str(), 1);
    if (saved != nullptr) {
        setenv("XDG_DATA_HOME", savedValue.c_str(), 1);
    } else {
        unsetenv("XDG_DATA_HOME");
    }
}
#else
TEST(Folders, TheWindowsUserDataRootExists) {
    g_folderOverrides = CFolderOverrides();
    char16_t path[kMaxPath];
    ASSERT_GT(QueryUserDataRoot(path, kMaxPath), 0);
    EXPECT_EQ(1, PathExists(path));
}
#endif

}  // namespace
