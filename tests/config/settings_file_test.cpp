// The "quillon.ini" settings file: exact bytes against documents built from the layout
// rules, round trips of every value, lenient reading, the keyword file saved and loaded
// with it, and saves that fail without harming the previous file.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "config/app_parameter.h"
#include "document/file.h"
#include "config_test_support.h"
#include "xml/xml_test_support.h"

using config_testing::ConfigFolders;
using config_testing::PathUtf8;
using config_testing::Str;
using testing_support::ReadBytes;
using testing_support::TemporaryFilesIn;
using testing_support::WriteBytes;

namespace {

const std::string kDeclLine = "<?xml version=\"1.0\" ?>\r\n";

// Building blocks of the writer's layout: every end tag and empty-element tag ends the line.
std::string Leaf(const std::string& name, const std::string& text) {
    if (text.empty()) return "<" + name + "/>\r\n";
    return "<" + name + ">" + text + "</" + name + ">\r\n";
}
std::string Leaf(const std::string& name, long long value) { return Leaf(name, std::to_string(value)); }
std::string Parent(const std::string& name, const std::string& children) {
    if (children.empty()) return "<" + name + "/>\r\n";
    return "<" + name + ">" + children + "</" + name + ">\r\n";
}

struct Expected {
    int language = -1;
    std::string fontName;
    int fontSize = 0;
    std::string tempPath;
    int logEnabled = 0;
    std::string logPath;
    int toolbar = 1, statusbar = 1;
    std::vector<std::pair<uint32_t, uint32_t>> colors;
    int max[5] = {10, 10, 10, 10, 10};
    std::vector<std::string> texts[5];
    int before = 0, after = 0, intervalCheck = 0, intervalTime = 0;
    int encoding = -1;      // Auto: what a new installation starts with
    int stampForms = 1;     // on for a new installation, written only when on
    int viewMaximized = 1;  // the same
    int overview = 1;       // the same
    int colorCodes = 1;     // the same
    int darkTheme = 2;      // as the system says for a new installation, written only when not off
    int wrapLines = 0;      // off for a new installation too, written only when on
    std::vector<std::string> stampPatterns;
    int searchMatchCase = 1, extractMatchCase = 1, searchRegex = 0, extractRegex = 0;
};

std::string SettingsDocument(const Expected& e) {
    std::string colors;
    for (size_t i = 0; i < e.colors.size(); ++i) {
        colors += Parent("color", Leaf("index", static_cast<long long>(i)) + Leaf("text", e.colors[i].first) +
                                      Leaf("background", e.colors[i].second));
    }
    std::string search;
    for (int k = 0; k < 5; ++k) {
        std::string texts;
        for (const std::string& t : e.texts[k]) texts += Leaf("text", t);
        search += Parent("info", Leaf("max", e.max[k]) + Parent("texts", texts));
    }
    search += Leaf("before_line", e.before) + Leaf("after_line", e.after) +
              Leaf("search_match_case", e.searchMatchCase) + Leaf("extract_match_case", e.extractMatchCase) +
              Leaf("search_regex", e.searchRegex) + Leaf("extract_regex", e.extractRegex);
    std::string config = Leaf("language", e.language) + Leaf("font_name", e.fontName) + Leaf("font_size", e.fontSize) +
                         Leaf("temp_path", e.tempPath) + Leaf("log_enabled", e.logEnabled) +
                         Leaf("log_path", e.logPath) + Leaf("view_toolbar", e.toolbar) +
                         Leaf("view_statusbar", e.statusbar) + Parent("colors", colors) + Parent("search", search) +
                         Leaf("interval_check", e.intervalCheck) + Leaf("interval_time", e.intervalTime);
    if (e.stampForms != 0) config += Leaf("stamp_forms", 1);
    if (e.overview != 0) config += Leaf("overview", 1);
    if (e.colorCodes != 0) config += Leaf("color_codes", 1);
    if (e.darkTheme != 0) config += Leaf("dark_theme", e.darkTheme);
    if (e.wrapLines != 0) config += Leaf("wrap_lines", 1);
    std::string patterns;
    for (const std::string& p : e.stampPatterns) patterns += Leaf("pattern", p);
    if (!patterns.empty()) config += Parent("stamp_patterns", patterns);
    config += Leaf("encoding", e.encoding);
    if (e.viewMaximized != 0) config += Leaf("view_maximized", 1);
    return kDeclLine + Parent("config", config);
}

const uint32_t kDefaults[23][2] = {
    {0x000000, 0xFFFFFF}, {0x000000, 0xE6E6E6}, {0x000000, 0x00FFFF}, {0x000000, 0x00FF00}, {0xFFFFFF, 0xFF0000},
    {0xFFFFFF, 0xFF0000}, {0x0000C0, 0xFFFFFF}, {0x008000, 0xFFFFFF}, {0xFF0000, 0xFFFFFF}, {0x006699, 0xFFFFFF},
    {0x0050B0, 0xFFFFFF}, {0xA000A0, 0xFFFFFF}, {0x0000C8, 0xFFFFFF}, {0x8C7800, 0xFFFFFF}, {0xFFFFFF, 0xFF0000},
    {0x000000, 0xE6E6E6}, {0x000000, 0xE6E6E6}, {0x808080, 0xFFFFFF}, {0x808080, 0xFFFFFF}, {0xFFFFFF, 0x0000FF},
    {0x0000FF, 0xFFFFFF}, {0xC8C8C8, 0xFFFFFF}, {0x808080, 0xFFFFFF},
};

Expected DefaultExpected(const ConfigFolders& folders) {
    Expected e;
    e.tempPath = PathUtf8(folders.current);
    e.logPath = e.tempPath;
    for (const auto& c : kDefaults) e.colors.emplace_back(c[0], c[1]);
    return e;
}

std::vector<std::string> HistoryTexts(CAppParameter& config, int list) {
    std::vector<std::string> out;
    CTextHistory& h = config.History(list);
    for (int i = 0; i < h.count; ++i) out.push_back(Str(*h.entries[i]));
    return out;
}

std::string SettingsPath(const ConfigFolders& folders) { return ReadBytes(folders.AppFile("quillon.ini")); }

// A file in the application folder with the given "config" children.
void WriteConfig(const ConfigFolders& folders, const std::string& children) {
    WriteBytes(folders.AppFile("quillon.ini"), kDeclLine + "<config>" + children + "</config>\r\n");
}

TEST(SettingsFile, DefaultsAreWrittenExactlyAsTheLayoutRulesSay) {
    ConfigFolders folders;
    CAppParameter config;
    config.Reset();
    ASSERT_EQ(1, config.Save());
    std::string written = SettingsPath(folders);
    EXPECT_EQ(SettingsDocument(DefaultExpected(folders)), written);
    // The "config" start tag shares its line with the first child.
    EXPECT_EQ(0u, written.find(kDeclLine + "<config><language>-1</language>\r\n<font_name/>\r\n"));
    EXPECT_TRUE(TemporaryFilesIn(folders.app).empty());
    // No keyword file was read and the set was not changed: none is written.
    EXPECT_FALSE(std::filesystem::exists(folders.CurrentFile("keyword_default.xml")));
    // Once the user has changed the set (here, to nothing), it is written beside the settings.
    config.KeywordsChanged();
    ASSERT_EQ(1, config.Save());
    EXPECT_EQ(kDeclLine + "<quillon_keyword><keyword/>\r\n</quillon_keyword>\r\n",
              ReadBytes(folders.CurrentFile("keyword_default.xml")));
}

TEST(SettingsFile, ChangedValuesAreWrittenExactly) {
    ConfigFolders folders;
    CAppParameter config;
    config.Reset();
    config.m_languageSetting = 1;
    config.m_fontName.AssignWide(u"ＭＳ ゴシック & <Co>", -1);
    config.m_fontSize = 16;
    config.m_tempFolder.AssignWide(u"", -1);
    config.m_logEnabled = 1;
    config.m_logFolder.AssignWide(u"D:\\ログ", -1);
    config.m_toolbarVisible = 0;
    config.m_statusbarVisible = 0;
    config.m_colors[6].text = 0x123456;
    config.m_colors[22].background = 0;
    config.ResetHistory(1, 3);
    config.AddHistory(0, u"first");
    config.AddHistory(0, u"second");
    config.AddHistory(1, u"x \"y\"");
    config.m_contextBefore = 2;
    config.m_contextAfter = 5;
    config.m_intervalCheck = 1;
    config.m_intervalTime = 1500;
    config.m_codePage = 65001;  // never stored
    config.m_language = 1;      // never stored
    ASSERT_EQ(1, config.Save());
    Expected e = DefaultExpected(folders);
    e.language = 1;
    e.fontName = "ＭＳ ゴシック &amp; &lt;Co&gt;";
    e.fontSize = 16;
    e.tempPath = "";
    e.logEnabled = 1;
    e.logPath = "D:\\ログ";
    e.toolbar = 0;
    e.statusbar = 0;
    e.colors[6].first = 0x123456;
    e.colors[22].second = 0;
    e.max[1] = 3;
    e.texts[0] = {"second", "first"};
    e.texts[1] = {"x &quot;y&quot;"};
    e.before = 2;
    e.after = 5;
    e.intervalCheck = 1;
    e.intervalTime = 1500;
    EXPECT_EQ(SettingsDocument(e), SettingsPath(folders));
}

TEST(SettingsFile, EverySettingSurvivesSaveAndLoad) {
    ConfigFolders folders;
    {
        CAppParameter config;
        config.Reset();
        config.m_languageSetting = 0;
        config.m_fontName.AssignWide(u"Consolas", -1);
        config.m_fontSize = -11;
        config.m_tempFolder.AssignWide(u"/tmp/some where", -1);
        config.m_logEnabled = 7;
        config.m_logFolder.AssignWide(u"C:\\日本語\\logs", -1);
        config.m_toolbarVisible = 0;
        config.m_statusbarVisible = 0;
        for (int i = 0; i < 23; ++i) {
            config.m_colors[i].text = static_cast<uint32_t>(i * 0x010203);
            config.m_colors[i].background = static_cast<uint32_t>(0xFFFFFF - i * 0x030201);
        }
        for (int k = 0; k < 5; ++k) config.ResetHistory(k, 4 + k);
        config.AddHistory(0, u"only");
        config.AddHistory(3, u"検索語");
        config.m_contextBefore = 3;
        config.m_contextAfter = 9;
        config.m_intervalCheck = 1;
        config.m_intervalTime = 250;
        config.Keywords().Add(u"エラー", 6, 1, 1);
        config.Keywords().Add(u"WARN", 13, 0, 0);
        config.KeywordsChanged();
        ASSERT_EQ(1, config.Save());
    }
    CAppParameter back;
    back.Reset();
    EXPECT_EQ(0, back.m_languageSetting);
    EXPECT_EQ("Consolas", Str(back.m_fontName));
    EXPECT_EQ(-11, back.m_fontSize);
    EXPECT_EQ("/tmp/some where", Str(back.m_tempFolder));
    EXPECT_EQ(7, back.m_logEnabled);
    EXPECT_EQ("C:\\日本語\\logs", Str(back.m_logFolder));
    EXPECT_EQ(0, back.m_toolbarVisible);
    EXPECT_EQ(0, back.m_statusbarVisible);
    for (int i = 0; i < 23; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(static_cast<uint32_t>(i * 0x010203), back.m_colors[i].text);
        EXPECT_EQ(static_cast<uint32_t>(0xFFFFFF - i * 0x030201), back.m_colors[i].background);
        EXPECT_EQ(kDefaults[i][0], back.m_defaultColors[i].text);  // the defaults never change
    }
    for (int k = 0; k < 5; ++k) EXPECT_EQ(4 + k, back.History(k).capacity);
    EXPECT_EQ((std::vector<std::string>{"only"}), HistoryTexts(back, 0));
    EXPECT_EQ((std::vector<std::string>{"検索語"}), HistoryTexts(back, 3));
    EXPECT_EQ(3, back.m_contextBefore);
    EXPECT_EQ(9, back.m_contextAfter);
    EXPECT_EQ(1, back.m_intervalCheck);
    EXPECT_EQ(250, back.m_intervalTime);
    EXPECT_EQ(0u, back.m_codePage);
    ASSERT_EQ(2u, back.Keywords().Count());
    EXPECT_EQ("エラー", Str(*back.Keywords().Entry(0).text));
    EXPECT_EQ(1, back.Keywords().Entry(0).bold);
    EXPECT_EQ(1, back.Keywords().Entry(0).error);
    EXPECT_EQ(13, back.Keywords().Entry(1).color);
    EXPECT_EQ(kKeywordFlagStart | kKeywordFlagError, back.Keywords().Flag(u'エ'));
}

// The fuzzers read and save both files in memory: the same bytes, read the same way.
TEST(SettingsFile, SettingsAndKeywordsInMemoryAreReadAndWrittenAsTheirFiles) {
    ConfigFolders folders;
    CAppParameter config;
    config.Reset();
    config.m_fontSize = -11;
    config.AddHistory(2, u"検索語");
    config.Keywords().Add(u"エラー", 6, 1, 1);
    config.KeywordsChanged();
    ASSERT_EQ(1, config.Save());
    const std::string settings = SettingsPath(folders);
    const std::string keywords = ReadBytes(folders.CurrentFile("keyword_default.xml"));
    std::unique_ptr<char, decltype(&std::free)> settingsText(config.SaveText(), &std::free);
    std::unique_ptr<char, decltype(&std::free)> keywordText(config.Keywords().SaveText(), &std::free);
    ASSERT_NE(nullptr, settingsText);
    ASSERT_NE(nullptr, keywordText);
    EXPECT_EQ(settings, settingsText.get());
    EXPECT_EQ(keywords, keywordText.get());

    CAppParameter back;
    back.SetDefaults();
    CFile settingsBytes;
    ASSERT_EQ(1, settingsBytes.OpenBytes(settings.data(), settings.size()));
    ASSERT_EQ(1, back.LoadFrom(settingsBytes));
    EXPECT_EQ(-11, back.m_fontSize);
    EXPECT_EQ((std::vector<std::string>{"検索語"}), HistoryTexts(back, 2));
    CKeywordSet set;
    CFile keywordBytes;
    ASSERT_EQ(1, keywordBytes.OpenBytes(keywords.data(), keywords.size()));
    ASSERT_EQ(1, set.LoadFile(keywordBytes));
    ASSERT_EQ(1u, set.Count());
    EXPECT_EQ(kKeywordFlagStart | kKeywordFlagError, set.Flag(u'エ'));
    // No bytes are no document, as an empty file is none.
    CFile empty;
    ASSERT_EQ(1, empty.OpenBytes("", 0));
    EXPECT_EQ(0, back.LoadFrom(empty));
    EXPECT_EQ(0, set.LoadFile(empty));
    EXPECT_EQ(0u, set.Count());
}

TEST(SettingsFile, HistoriesComeBackInReverseOrder) {
    ConfigFolders folders;
    {
        CAppParameter config;
        config.Reset();
        config.AddHistory(0, u"C");
        config.AddHistory(0, u"B");
        config.AddHistory(0, u"A");
        ASSERT_EQ((std::vector<std::string>{"A", "B", "C"}), HistoryTexts(config, 0));
        ASSERT_EQ(1, config.Save());
        EXPECT_NE(std::string::npos,
                  SettingsPath(folders).find("<texts><text>A</text>\r\n<text>B</text>\r\n<text>C</text>\r\n</texts>"));
    }
    CAppParameter back;
    back.Reset();
    // Each text read is put in front of those read before it.
    EXPECT_EQ((std::vector<std::string>{"C", "B", "A"}), HistoryTexts(back, 0));
}

TEST(SettingsFile, UnknownElementsAreIgnored) {
    ConfigFolders folders;
    WriteBytes(folders.AppFile("quillon.ini"),
               kDeclLine + "<!-- hand edited --><other><font_size>99</font_size></other><config><future>1</future>" +
                   "<font_size>10<!-- ten --></font_size><colors><rainbow/><color><index>1</index><text>5</text>" +
                   "<shade>1</shade></color></colors><search><extra/></search><!-- end --></config>");
    CAppParameter config;
    config.Reset();
    EXPECT_EQ(10, config.m_fontSize);
    EXPECT_EQ(5u, config.m_colors[1].text);
    EXPECT_EQ(0xE6E6E6u, config.m_colors[1].background);
}

TEST(SettingsFile, AFileWithoutConfigLoadsButChangesNothing) {
    ConfigFolders folders;
    WriteBytes(folders.AppFile("quillon.ini"), kDeclLine + "<settings><language>1</language></settings>");
    WriteBytes(folders.CurrentFile("keyword_default.xml"),
               kDeclLine + "<quillon_keyword><keyword><emphasis><text>k</text></emphasis></keyword></quillon_keyword>");
    CAppParameter config;
    config.Reset();
    EXPECT_EQ(-1, config.m_languageSetting);
    EXPECT_EQ(PathUtf8(folders.current), Str(config.m_tempFolder));
    EXPECT_EQ(1, config.Load());
    EXPECT_EQ(1u, config.Keywords().Count());  // loading succeeded, so the keywords were read
}

TEST(SettingsFile, AnUnreadableFileKeepsTheDefaultsButTheKeywordsAreRead) {
    for (const std::string& content : {std::string(), std::string("garbage"), std::string("<config/>"),
                                       "\xEF\xBB\xBF" + kDeclLine + "<config><language>1</language></config>"}) {
        ConfigFolders folders;
        WriteBytes(folders.AppFile("quillon.ini"), content);
        WriteBytes(
            folders.CurrentFile("keyword_default.xml"),
            kDeclLine + "<quillon_keyword><keyword><emphasis><text>k</text></emphasis></keyword></quillon_keyword>");
        CAppParameter config;
        config.Reset();
        EXPECT_EQ(-1, config.m_languageSetting);
        EXPECT_EQ(1u, config.Keywords().Count());  // the keyword file does not depend on the settings
        EXPECT_EQ(0, config.Load());
    }
}

// A first start has no settings yet but may have the bundled keyword file: it is read, and
// saving the settings leaves it as it is. A keyword file that could not be read is never
// written over until the user changes the set; a missing one is created only then.
TEST(SettingsFile, TheKeywordFileIsWrittenOnlyWhenItWasReadOrTheUserChangedTheSet) {
    std::string bundled;
    {
        testing_support::TempDir scratch;
        CKeywordSet set;
        set.Add(u"ERROR", 6, 1, 1);
        set.Add(u"警告", 9, 0, 0);
        ASSERT_EQ(1, set.SaveFile(scratch.File("k.xml").c_str()));
        bundled = ReadBytes(scratch.FsPath("k.xml"));
    }
    const std::string missing = "<missing>";
    for (const std::string& settings : {missing, std::string(), std::string("garbage"), kDeclLine + "<config/>"}) {
        SCOPED_TRACE(settings);
        ConfigFolders folders;
        if (settings != missing) WriteBytes(folders.AppFile("quillon.ini"), settings);
        WriteBytes(folders.CurrentFile("keyword_default.xml"), bundled);
        CAppParameter config;
        config.Reset();
        ASSERT_EQ(2u, config.Keywords().Count());
        EXPECT_EQ(kKeywordFlagStart | kKeywordFlagError, config.Keywords().Flag(u'E'));
        config.m_fontSize = 9;
        ASSERT_EQ(1, config.Save());
        EXPECT_EQ(bundled, ReadBytes(folders.CurrentFile("keyword_default.xml")));
        EXPECT_NE(std::string::npos, SettingsPath(folders).find("<font_size>9</font_size>"));
    }
    for (const std::string& unreadable : {missing, std::string(), std::string("not xml"), "\xEF\xBB\xBF" + bundled}) {
        SCOPED_TRACE(unreadable);
        ConfigFolders folders;
        const std::filesystem::path file = folders.CurrentFile("keyword_default.xml");
        if (unreadable != missing) WriteBytes(file, unreadable);
        CAppParameter config;
        config.Reset();
        EXPECT_EQ(0u, config.Keywords().Count());
        ASSERT_EQ(1, config.Save());
        EXPECT_EQ(unreadable != missing, std::filesystem::exists(file));
        if (unreadable != missing) {
            EXPECT_EQ(unreadable, ReadBytes(file));
        }
        config.Keywords().Add(u"NEW", 7, 0, 0);
        config.KeywordsChanged();
        ASSERT_EQ(1, config.Save());
        CKeywordSet back;
        ASSERT_EQ(1, back.LoadFile(file.u16string().c_str()));
        ASSERT_EQ(1u, back.Count());
        EXPECT_EQ(std::u16string(u"NEW"), back.Entry(0).wide);
    }
}

TEST(SettingsFile, BadNumbersFallBackToTheRowDefaults) {
    ConfigFolders folders;
    WriteConfig(folders,
                "<language>1x</language><font_size>ten</font_size><log_enabled>-</log_enabled>"
                "<view_toolbar>yes</view_toolbar><view_statusbar></view_statusbar>"
                "<interval_check>on</interval_check><interval_time>1 000</interval_time>"
                "<search><before_line>2.5</before_line><after_line>+1</after_line></search>");
    CAppParameter config;
    config.m_fontSize = 77;
    config.Reset();
    EXPECT_EQ(-1, config.m_languageSetting);
    EXPECT_EQ(0, config.m_fontSize);
    EXPECT_EQ(0, config.m_logEnabled);  // a lone "-" reads as 0
    EXPECT_EQ(1, config.m_toolbarVisible);
    EXPECT_EQ(1, config.m_statusbarVisible);
    EXPECT_EQ(0, config.m_intervalCheck);
    EXPECT_EQ(0, config.m_intervalTime);
    EXPECT_EQ(0, config.m_contextBefore);
    EXPECT_EQ(0, config.m_contextAfter);
}

TEST(SettingsFile, OutOfRangeColourIndexesAreIgnoredAndMissingValuesTakeDefaults) {
    ConfigFolders folders;
    WriteConfig(folders,
                "<colors>"
                "<color><index>23</index><text>1</text><background>1</background></color>"
                "<color><index>-1</index><text>1</text><background>1</background></color>"
                "<color><index>7x</index><text>1</text><background>1</background></color>"
                "<color><text>1</text><background>1</background></color>"
                "<color><index>3</index><text>4660</text></color>"
                "<color><index>5</index><text>bad</text><background>17</background></color>"
                "<color><index>0</index><text>1</text><background>2</background></color>"
                "<color><index>0</index><text>3</text></color>"
                "</colors>");
    CAppParameter config;
    config.Reset();
    for (int i = 0; i < 23; ++i) {
        if (i == 0 || i == 3 || i == 5) continue;
        SCOPED_TRACE(i);
        EXPECT_EQ(kDefaults[i][0], config.m_colors[i].text);
        EXPECT_EQ(kDefaults[i][1], config.m_colors[i].background);
    }
    EXPECT_EQ(4660u, config.m_colors[3].text);
    EXPECT_EQ(0x00FF00u, config.m_colors[3].background);
    EXPECT_EQ(0xFFFFFFu, config.m_colors[5].text);
    EXPECT_EQ(17u, config.m_colors[5].background);
    // A later "color" for the same entry wins, missing values taking the factory colour.
    EXPECT_EQ(3u, config.m_colors[0].text);
    EXPECT_EQ(0xFFFFFFu, config.m_colors[0].background);
    ASSERT_EQ(1, config.Save());
    EXPECT_NE(std::string::npos, SettingsPath(folders).find(
                                     "<color><index>3</index>\r\n<text>4660</text>\r\n<background>65280</background>"));
}

TEST(SettingsFile, EmptyPathsReadAsTheCurrentFolder) {
    ConfigFolders folders;
    WriteConfig(folders, "<font_name>Arial</font_name><temp_path/><log_path>  </log_path>");
    CAppParameter config;
    config.Reset();
    EXPECT_EQ("Arial", Str(config.m_fontName));
    EXPECT_EQ(PathUtf8(folders.current), Str(config.m_tempFolder));
    EXPECT_EQ(PathUtf8(folders.current), Str(config.m_logFolder));
    // An empty font name is written without text and reads back as empty.
    config.m_fontName.AssignWide(u"", -1);
    config.m_tempFolder.AssignWide(u"", -1);
    ASSERT_EQ(1, config.Save());
    EXPECT_NE(std::string::npos, SettingsPath(folders).find("<font_name/>\r\n"));
    EXPECT_NE(std::string::npos, SettingsPath(folders).find("<temp_path/>\r\n"));
    CAppParameter back;
    back.Reset();
    EXPECT_EQ("", Str(back.m_fontName));
    EXPECT_EQ(PathUtf8(folders.current), Str(back.m_tempFolder));
}

TEST(SettingsFile, ALanguageOfSevenIsKeptAsItIs) {
    ConfigFolders folders;
    WriteConfig(folders, "<language>7</language>");
    CAppParameter config;
    config.Reset();
    EXPECT_EQ(7, config.m_languageSetting);
    ASSERT_EQ(1, config.Save());
    EXPECT_NE(std::string::npos, SettingsPath(folders).find("<config><language>7</language>\r\n"));
}

TEST(SettingsFile, AnyNonZeroIntervalCheckIsOnAndWrittenAsOne) {
    ConfigFolders folders;
    WriteConfig(folders, "<interval_check>5</interval_check><interval_time>-30</interval_time>");
    CAppParameter config;
    config.Reset();
    EXPECT_EQ(1, config.m_intervalCheck);
    EXPECT_EQ(-30, config.m_intervalTime);
    ASSERT_EQ(1, config.Save());
    EXPECT_NE(std::string::npos, SettingsPath(folders).find("<interval_check>1</interval_check>\r\n"));
}

// A new installation starts with Auto; a file from before the element keeps ANSI; every
// choice survives a save; values the box cannot show read as ANSI.
TEST(SettingsFile, EncodingChoiceIsKeptAndOlderFilesMeanAnsi) {
    ConfigFolders folders;
    CAppParameter fresh;
    fresh.Reset();
    EXPECT_EQ(-1, fresh.m_encodingChoice);
    EXPECT_EQ(0u, fresh.m_codePage);
    WriteConfig(folders, "<language>0</language>");
    for (int choice : {-2, 65001, -1, 0}) {
        CAppParameter config;
        config.Reset();
        EXPECT_EQ(0, config.m_encodingChoice) << choice;
        if (choice == -2) continue;
        config.m_encodingChoice = choice;
        ASSERT_EQ(1, config.Save());
        CAppParameter again;
        again.Reset();
        EXPECT_EQ(choice, again.m_encodingChoice);
        EXPECT_EQ(choice == 65001 ? 65001u : 0u, again.m_codePage);
        WriteConfig(folders, "<language>0</language>");
    }
    for (const char* odd : {"932", "1", "auto", "-3"}) {
        WriteConfig(folders, std::string("<encoding>") + odd + "</encoding>");
        CAppParameter config;
        config.Reset();
        EXPECT_EQ(0, config.m_encodingChoice) << odd;
    }
}

// More stamp forms, the overview strip, colour codes and the dark theme: on for a new installation, off for a file from
// before their elements; the patterns are kept in their order, and a file holds none of
// these elements unless it has to.
TEST(SettingsFile, StampFormsAndPatternsAreKeptAndOlderFilesMeanNone) {
    ConfigFolders folders;
    CAppParameter fresh;
    fresh.Reset();
    EXPECT_EQ(1, fresh.m_stampForms);
    EXPECT_EQ(1, fresh.m_overview);
    EXPECT_EQ(1, fresh.m_colorCodes);
    EXPECT_EQ(kDarkThemeSystem, fresh.m_darkTheme);
    EXPECT_EQ(0, fresh.m_wrapLines);
    CStampRules rules;
    fresh.GetStampRules(&rules);
    EXPECT_TRUE(rules.moreForms);
    WriteConfig(folders, "<language>0</language>");
    CAppParameter config;
    config.Reset();
    EXPECT_EQ(0, config.m_stampForms);
    EXPECT_EQ(0, config.m_overview);
    EXPECT_EQ(0, config.m_colorCodes);
    EXPECT_EQ(kDarkThemeOff, config.m_darkTheme);
    config.GetStampRules(&rules);
    EXPECT_TRUE(rules.IsBasic());
    ASSERT_EQ(1, config.Save());
    std::string written = SettingsPath(folders);
    EXPECT_EQ(std::string::npos, written.find("stamp_"));
    EXPECT_EQ(std::string::npos, written.find("overview"));
    EXPECT_EQ(std::string::npos, written.find("color_codes"));
    EXPECT_EQ(std::string::npos, written.find("dark_theme"));

    const char* texts[] = {"#2:%H:%M:%S", "%Y %H:%M:%S", "@3:%d/%b/%Y:%H:%M:%S &"};
    config.m_stampForms = 1;
    config.SetStampPatterns(texts, 3);
    ASSERT_EQ(1, config.Save());
    Expected e = DefaultExpected(folders);
    e.language = 0;
    e.encoding = 0;
    e.stampPatterns = {"#2:%H:%M:%S", "%Y %H:%M:%S", "@3:%d/%b/%Y:%H:%M:%S &amp;"};
    e.viewMaximized = 0;
    e.overview = 0;
    e.colorCodes = 0;
    e.darkTheme = 0;
    EXPECT_EQ(SettingsDocument(e), SettingsPath(folders));
    config.m_overview = 1;
    config.m_colorCodes = 1;
    config.m_darkTheme = kDarkThemeOn;
    config.m_wrapLines = 1;
    ASSERT_EQ(1, config.Save());
    e.overview = 1;
    e.colorCodes = 1;
    e.darkTheme = kDarkThemeOn;
    e.wrapLines = 1;
    EXPECT_EQ(SettingsDocument(e), SettingsPath(folders));
    CAppParameter again;
    again.Reset();
    EXPECT_EQ(1, again.m_overview);
    EXPECT_EQ(1, again.m_colorCodes);
    EXPECT_EQ(kDarkThemeOn, again.m_darkTheme);
    EXPECT_EQ(1, again.m_wrapLines);
    EXPECT_EQ(1, again.m_stampForms);
    ASSERT_EQ(3, again.m_stampPatternCount);
    EXPECT_EQ(std::string(texts[2]), again.m_stampPatterns[2].Data());
    // The pattern the settings sheet would refuse is passed over.
    again.GetStampRules(&rules);
    EXPECT_TRUE(rules.moreForms);
    EXPECT_EQ(2, rules.patternCount);
    // A choice the menu cannot make is read as the light table.
    for (const char* odd : {"2", "3", "-1", "dark"}) {
        WriteConfig(folders, std::string("<dark_theme>") + odd + "</dark_theme>");
        CAppParameter read;
        read.Reset();
        EXPECT_EQ(odd[0] == '2' ? kDarkThemeSystem : kDarkThemeOff, read.m_darkTheme) << odd;
    }
}

TEST(SettingsFile, FindOptionsOfEachDialogAreKept) {
    ConfigFolders folders;
    WriteConfig(folders,
                "<search><search_match_case>0</search_match_case><extract_regex>1</extract_regex>"
                "<extract_not>37</extract_not></search>");
    CAppParameter config;
    config.Reset();
    EXPECT_EQ(0, config.m_searchMatchCase);
    EXPECT_EQ(1, config.m_extractMatchCase);  // absent: the defaults
    EXPECT_EQ(0, config.m_searchRegex);
    EXPECT_EQ(1, config.m_extractRegex);
    EXPECT_EQ(0, config.m_searchNot);
    EXPECT_EQ(5, config.m_extractNot);  // bits beyond the five fields are dropped
    config.m_searchMatchCase = 1;
    config.m_extractMatchCase = 0;
    config.m_searchRegex = 1;
    config.m_extractRegex = 0;
    config.m_searchNot = 1;
    config.m_extractNot = 16;
    ASSERT_EQ(1, config.Save());
    CAppParameter again;
    again.Reset();
    EXPECT_EQ(1, again.m_searchMatchCase);
    EXPECT_EQ(0, again.m_extractMatchCase);
    EXPECT_EQ(1, again.m_searchRegex);
    EXPECT_EQ(0, again.m_extractRegex);
    EXPECT_EQ(1, again.m_searchNot);
    EXPECT_EQ(16, again.m_extractNot);
    // Boxes left clear write nothing an older reader would meet.
    again.m_searchNot = 0;
    again.m_extractNot = 0;
    ASSERT_EQ(1, again.Save());
    EXPECT_EQ(std::string::npos, SettingsPath(folders).find("_not"));
}

TEST(SettingsFile, HistoryCapacitiesAreBoundedOnReading) {
    ConfigFolders folders;
    WriteConfig(folders,
                "<search>"
                "<info><max>0</max><texts><text>a</text></texts></info>"
                "<info><max>-4</max></info>"
                "<info><max>5000</max><texts><text>b</text></texts></info>"
                "<info><max>2</max><texts><text>1</text><text>2</text><text>3</text><text></text></texts></info>"
                "<info><texts><text>x</text><text>x</text><text>y</text></texts></info>"
                "<info><max>3</max><texts><text>sixth is ignored</text></texts></info>"
                "<before_line>4</before_line><after_line>6</after_line>"
                "</search>");
    CAppParameter config;
    config.Reset();
    EXPECT_EQ(10, config.History(0).capacity);
    EXPECT_EQ((std::vector<std::string>{"a"}), HistoryTexts(config, 0));
    EXPECT_EQ(10, config.History(1).capacity);
    EXPECT_EQ(0, config.History(1).count);
    EXPECT_EQ(1000, config.History(2).capacity);
    EXPECT_EQ((std::vector<std::string>{"b"}), HistoryTexts(config, 2));
    EXPECT_EQ(2, config.History(3).capacity);
    EXPECT_EQ((std::vector<std::string>{"3", "2"}), HistoryTexts(config, 3));
    EXPECT_EQ(10, config.History(4).capacity);
    EXPECT_EQ((std::vector<std::string>{"y", "x"}), HistoryTexts(config, 4));
    EXPECT_EQ(4, config.m_contextBefore);
    EXPECT_EQ(6, config.m_contextAfter);
}

TEST(SettingsFile, HistoriesWithoutAnInfoKeepTheirState) {
    ConfigFolders folders;
    WriteConfig(folders, "<search><info><max>4</max><texts><text>only</text></texts></info></search>");
    CAppParameter config;
    config.Reset();
    config.AddHistory(2, u"kept");
    config.m_contextBefore = 8;
    ASSERT_EQ(1, config.Load());
    EXPECT_EQ((std::vector<std::string>{"only"}), HistoryTexts(config, 0));
    EXPECT_EQ((std::vector<std::string>{"kept"}), HistoryTexts(config, 2));
    EXPECT_EQ(0, config.m_contextBefore);  // read with its default once "search" is there
}

// Every search saves the configuration: a file whose content would not change is not touched.
TEST(SettingsFile, ASaveWithNothingChangedTouchesNoFile) {
    ConfigFolders folders;
    const std::filesystem::path settings = folders.AppFile("quillon.ini");
    const std::filesystem::path keywords = folders.CurrentFile("keyword_default.xml");
    {
        CAppParameter first;
        first.Reset();
        first.Keywords().Add(u"ERROR", 6, 0, 1);
        first.KeywordsChanged();
        ASSERT_EQ(1, first.Save());
    }
    CAppParameter config;
    config.Reset();
    ASSERT_EQ(1u, config.Keywords().Count());
    std::filesystem::last_write_time(settings, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    std::filesystem::last_write_time(keywords, std::filesystem::last_write_time(settings));
    const auto old = std::filesystem::last_write_time(settings);  // as the file system stores it
    ASSERT_EQ(1, config.Save());
    EXPECT_EQ(old, std::filesystem::last_write_time(settings));
    EXPECT_EQ(old, std::filesystem::last_write_time(keywords));
    // A changed setting rewrites the settings file alone.
    config.AddHistory(0, u"search");
    ASSERT_EQ(1, config.Save());
    EXPECT_NE(old, std::filesystem::last_write_time(settings));
    EXPECT_NE(std::string::npos, SettingsPath(folders).find("<text>search</text>"));
    EXPECT_EQ(old, std::filesystem::last_write_time(keywords));
    // A changed keyword set rewrites the keyword file.
    config.Keywords().Add(u"WARN", 7, 0, 0);
    config.KeywordsChanged();
    ASSERT_EQ(1, config.Save());
    EXPECT_NE(old, std::filesystem::last_write_time(keywords));
    EXPECT_NE(std::string::npos, ReadBytes(keywords).find("<text>WARN</text>"));
}

class SettingsSaveFailure : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(folders.AppFile("quillon.ini"), m_oldSettings);
        WriteBytes(folders.CurrentFile("keyword_default.xml"), m_oldKeywords);
        config.Reset();
        config.m_fontSize = 20;
        config.Keywords().Add(u"new", 6, 0, 0);
    }
    void ExpectBothFilesIntact() {
        EXPECT_EQ(m_oldSettings, ReadBytes(folders.AppFile("quillon.ini")));
        EXPECT_EQ(m_oldKeywords, ReadBytes(folders.CurrentFile("keyword_default.xml")));
        EXPECT_TRUE(TemporaryFilesIn(folders.app).empty());
        EXPECT_TRUE(TemporaryFilesIn(folders.current).empty());
    }
    ConfigFolders folders;
    CAppParameter config;
    const std::string m_oldSettings = kDeclLine + "<config><font_size>13</font_size></config>\r\n";
    const std::string m_oldKeywords = kDeclLine + "<quillon_keyword><keyword/>\r\n</quillon_keyword>\r\n";
};

TEST_F(SettingsSaveFailure, AWriteThatStopsPartWayLeavesTheOldFiles) {
    for (int64_t budget : {0, 1, 100, 1000}) {
        g_fileFaults.writeBudget = budget;
        EXPECT_EQ(0, config.Save());
        ExpectBothFilesIntact();
    }
}

TEST_F(SettingsSaveFailure, AFailedFlushLeavesTheOldFiles) {
    g_fileFaults.failFlush = true;
    EXPECT_EQ(0, config.Save());
    ExpectBothFilesIntact();
}

TEST_F(SettingsSaveFailure, AFailedReplaceLeavesTheOldFiles) {
    g_fileFaults.failReplace = true;
    EXPECT_EQ(0, config.Save());
    ExpectBothFilesIntact();
}

TEST_F(SettingsSaveFailure, AFolderThatCannotBeWrittenLeavesTheOldFiles) {
    {
        xml_testing::BlockedTemporaryNames blocked(folders.AppFile("quillon.ini").u16string());
        EXPECT_EQ(0, config.Save());
        ExpectBothFilesIntact();
    }
    // A settings file in a folder that is gone.
    config.m_settingsFile.AssignWide((folders.app / "gone" / "quillon.ini").u16string().c_str(), -1);
    EXPECT_EQ(0, config.Save());
    ExpectBothFilesIntact();
}

TEST_F(SettingsSaveFailure, AKeywordFileThatFailsPartWayKeepsTheOldKeywordFile) {
    ASSERT_EQ(1, config.Save());
    std::string settings = ReadBytes(folders.AppFile("quillon.ini"));
    WriteBytes(folders.AppFile("quillon.ini"), m_oldSettings);
    WriteBytes(folders.CurrentFile("keyword_default.xml"), m_oldKeywords);
    // Enough for the settings file, not for the keyword file after it.
    g_fileFaults.writeBudget = static_cast<int64_t>(settings.size()) + 10;
    EXPECT_EQ(1, config.Save());  // the keyword file's result is not reported
    EXPECT_EQ(settings, ReadBytes(folders.AppFile("quillon.ini")));
    EXPECT_EQ(m_oldKeywords, ReadBytes(folders.CurrentFile("keyword_default.xml")));
    EXPECT_TRUE(TemporaryFilesIn(folders.current).empty());
}

TEST_F(SettingsSaveFailure, TheNextSaveAfterAFailureWritesBoth) {
    g_fileFaults.failFlush = true;
    EXPECT_EQ(0, config.Save());
    g_fileFaults = CFileFaults();
    ASSERT_EQ(1, config.Save());
    EXPECT_NE(std::string::npos, ReadBytes(folders.AppFile("quillon.ini")).find("<font_size>20</font_size>"));
    EXPECT_NE(std::string::npos, ReadBytes(folders.CurrentFile("keyword_default.xml")).find("<text>new</text>"));
}

}  // namespace

// The recent logs and the window layout: kept when known, and a file from before them means
// none (views cascaded, the frame where the system puts it); a new installation maximises views.
TEST(SettingsFile, RecentLogsAndTheWindowLayoutAreKeptAndOlderFilesMeanNone) {
    ConfigFolders folders;
    WriteConfig(folders, "<language>0</language>");
    CAppParameter config;
    config.Reset();
    EXPECT_EQ(0, config.m_viewMaximized);
    EXPECT_EQ(0, config.m_frameLayoutKnown);
    EXPECT_EQ(0, config.m_recentLogs.Count());
    ASSERT_EQ(1, config.Save());
    std::string written = SettingsPath(folders);
    for (const char* name : {"view_maximized", "frame_layout", "recent_logs"})
        EXPECT_EQ(std::string::npos, written.find(name)) << name;

    config.m_recentLogs.Add(u"C:\\a.log");
    config.m_recentLogs.Add(u"C:\\b.log");
    config.m_viewMaximized = 1;
    config.m_frameLayoutKnown = 1;
    config.m_frameLeft = -8;
    config.m_frameTop = 20;
    config.m_frameWidth = 900;
    config.m_frameHeight = 700;
    config.m_frameMaximized = 1;
    ASSERT_EQ(1, config.Save());
    CAppParameter again;
    again.Reset();
    EXPECT_EQ(1, again.m_viewMaximized);
    EXPECT_EQ(1, again.m_frameLayoutKnown);
    EXPECT_EQ(-8, again.m_frameLeft);
    EXPECT_EQ(20, again.m_frameTop);
    EXPECT_EQ(900, again.m_frameWidth);
    EXPECT_EQ(700, again.m_frameHeight);
    EXPECT_EQ(1, again.m_frameMaximized);
    ASSERT_EQ(2, again.m_recentLogs.Count());
    EXPECT_EQ(u"C:\\b.log", std::u16string(again.m_recentLogs.At(0)));
    // A layout without a size is no layout.
    WriteConfig(folders, "<language>0</language><frame_layout><left>5</left><width>0</width></frame_layout>");
    CAppParameter sizeless;
    sizeless.Reset();
    EXPECT_EQ(0, sizeless.m_frameLayoutKnown);
}
