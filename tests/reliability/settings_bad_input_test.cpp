// Damaged settings and keyword files: every truncation of a valid file, random byte flips,
// a 100 MB file, nesting 100,000 deep, a folder where the file should be, read-only files
// and folders. Loading keeps defaults for whatever it cannot read, a save that cannot be
// made fails without touching the old file, and the configuration stays usable.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "config/app_parameter.h"
#include "config/color_table.h"
#include "config/config_test_support.h"
#include "reliability_support.h"

using config_testing::ConfigFolders;
using config_testing::Str;
using testing_support::ReadBytes;
using testing_support::WriteBytes;

namespace {

std::string Text(const CString& s) { return Str(s); }

std::vector<std::string> HistoryTexts(CAppParameter& c, int k) {
    std::vector<std::string> out;
    for (int i = 0; i < c.History(k).count; ++i) out.push_back(Text(*c.History(k).entries[i]));
    return out;
}

// What any load must leave, whatever the file held.
void ExpectSane(CAppParameter& c) {
    ASSERT_EQ(kAppColorCount, c.m_colorCount);
    ASSERT_TRUE(c.m_intervalCheck == 0 || c.m_intervalCheck == 1);
    for (int k = 0; k < kHistoryCount; ++k) {
        const CTextHistory& h = c.History(k);
        ASSERT_GE(h.capacity, 1);
        ASSERT_LE(h.capacity, kHistoryMaxCapacity);
        ASSERT_NE(nullptr, h.entries);
        ASSERT_LE(h.count, h.capacity);
        for (int i = 0; i < h.count; ++i) ASSERT_FALSE(h.entries[i]->IsEmpty());
    }
    for (uint32_t i = 0; i < c.Keywords().Count(); ++i) ASSERT_FALSE(c.Keywords().Entry(i).text->IsEmpty());
}

class SettingsBadInput : public ::testing::Test {
protected:
    void SetUp() override {
        // An empty settings file in the current folder makes that the file's place.
        WriteBytes(folders.CurrentFile("quillon.ini"), "");
        CAppParameter c;
        c.Reset();
        c.m_languageSetting = 1;
        c.m_fontName.AssignWide(u"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF", -1);
        c.m_fontSize = 13;
        c.m_logEnabled = 1;
        c.m_toolbarVisible = 0;
        for (int i = 0; i < kAppColorCount; ++i) c.m_colors[i] = {static_cast<CColorRef>(i * 1000 + 1), 0x00ABCDEFu};
        c.ResetHistory(0, 4);
        c.AddHistory(0, u"timeout");
        c.AddHistory(0, u"ERROR & <fatal>");
        c.AddHistory(0, u"\u30A8\u30E9\u30FC");
        c.AddHistory(2, u"third list");
        c.m_contextBefore = 2;
        c.m_contextAfter = 3;
        c.m_intervalCheck = 1;
        c.m_intervalTime = 1500;
        c.Keywords().Add(u"ERROR", 6, 1, 1);
        c.Keywords().Add(u"\u8B66\u544A", 9, 0, 0);
        c.Keywords().Add(u"a \"quoted\" word", 13, 1, 0);
        c.KeywordsChanged();
        ASSERT_EQ(1, c.Save());
        saved = ReadBytes(folders.CurrentFile("quillon.ini"));
        savedKeywords = ReadBytes(folders.CurrentFile("keyword_default.xml"));
        ASSERT_GT(saved.size(), 1000u);
        std::filesystem::remove(folders.CurrentFile("keyword_default.xml"));
    }

    // Each value is either the file's or its default: never a third thing.
    void ExpectSavedOrDefault(CAppParameter& c) {
        EXPECT_TRUE(c.m_languageSetting == -1 || c.m_languageSetting == 1);
        std::string font = Text(c.m_fontName);
        EXPECT_TRUE(font.empty() || font == "\xEF\xBC\xAD\xEF\xBC\xB3 \xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF")
            << font;
        EXPECT_TRUE(c.m_fontSize == 0 || c.m_fontSize == 13);
        EXPECT_TRUE(c.m_logEnabled == 0 || c.m_logEnabled == 1);
        EXPECT_TRUE(c.m_toolbarVisible == 1 || c.m_toolbarVisible == 0);
        for (int i = 0; i < kAppColorCount; ++i) {
            EXPECT_TRUE(c.m_colors[i].text == kAppColors[i].text || c.m_colors[i].text == CColorRef(i * 1000 + 1));
            EXPECT_TRUE(c.m_colors[i].background == kAppColors[i].background ||
                        c.m_colors[i].background == 0x00ABCDEFu);
        }
        const std::vector<std::string> texts = {"\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC", "ERROR & <fatal>", "timeout"};
        EXPECT_TRUE(c.History(0).capacity == 10 || c.History(0).capacity == 4);
        for (const std::string& t : HistoryTexts(c, 0))
            EXPECT_NE(texts.end(), std::find(texts.begin(), texts.end(), t)) << t;
        EXPECT_LE(c.History(2).count, 1);
        EXPECT_TRUE(c.m_contextBefore == 0 || c.m_contextBefore == 2);
        EXPECT_TRUE(c.m_contextAfter == 0 || c.m_contextAfter == 3);
        EXPECT_TRUE(c.m_intervalTime == 0 || c.m_intervalTime == 1500);
    }

    ConfigFolders folders;
    std::string saved;
    std::string savedKeywords;
};

TEST_F(SettingsBadInput, EveryTruncationOfTheSettingsFile) {
    for (size_t n = 0; n <= saved.size(); ++n) {
        WriteBytes(folders.CurrentFile("quillon.ini"), saved.substr(0, n));
        CAppParameter c;
        c.Reset();
        ExpectSane(c);
        ExpectSavedOrDefault(c);
        if (HasFailure()) FAIL() << "prefix of " << n << " bytes";
        if (n == saved.size()) {
            // The whole file gives every value back.
            EXPECT_EQ(13, c.m_fontSize);
            EXPECT_EQ(CColorRef(22001), c.m_colors[22].text);
            EXPECT_EQ(3, c.History(0).count);
            EXPECT_EQ(1500, c.m_intervalTime);
        }
    }
}

TEST_F(SettingsBadInput, EveryTruncationOfTheKeywordFile) {
    CKeywordSet full;
    WriteBytes(folders.CurrentFile("k.xml"), savedKeywords);
    ASSERT_EQ(1, full.LoadFile((folders.current / "k.xml").u16string().c_str()));
    ASSERT_EQ(3u, full.Count());
    for (size_t n = 0; n <= savedKeywords.size(); ++n) {
        WriteBytes(folders.CurrentFile("k.xml"), savedKeywords.substr(0, n));
        CKeywordSet set;
        int ok = set.LoadFile((folders.current / "k.xml").u16string().c_str());
        ASSERT_TRUE(ok == 1 || set.Count() == 0) << n;
        // What was read is the first keywords, each text whole; cut-off values read as 0.
        ASSERT_LE(set.Count(), full.Count()) << n;
        for (uint32_t i = 0; i < set.Count(); ++i) {
            const CKeywordEntry& got = set.Entry(i);
            const CKeywordEntry& want = full.Entry(i);
            ASSERT_EQ(std::u16string(want.wide), std::u16string(got.wide)) << n;
            ASSERT_TRUE(got.color == want.color || got.color == 0) << n;
            ASSERT_TRUE(got.bold == want.bold || got.bold == 0) << n;
            ASSERT_TRUE(got.error == want.error || got.error == 0) << n;
        }
    }
}

TEST_F(SettingsBadInput, RandomByteFlips) {
    std::mt19937 random(20240609u);
    for (int round = 0; round < 400; ++round) {
        std::string damaged = saved;
        int flips = 1 + static_cast<int>(random() % 8);
        for (int f = 0; f < flips; ++f) {
            size_t at = random() % damaged.size();
            damaged[at] = random() % 2 ? static_cast<char>(damaged[at] ^ (1 << (random() % 8)))
                                       : static_cast<char>(random() % 256);
        }
        WriteBytes(folders.CurrentFile("quillon.ini"), damaged);
        std::string keywords = savedKeywords;
        keywords[random() % keywords.size()] = static_cast<char>(random() % 256);
        WriteBytes(folders.CurrentFile("keyword_default.xml"), keywords);
        CAppParameter c;
        c.Reset();
        ExpectSane(c);
        if (HasFailure()) FAIL() << "round " << round;
    }
}

TEST_F(SettingsBadInput, HundredMegabyteFile) {
    const size_t size = 100u << 20;
    std::string big = "<?xml version=\"1.0\"?>\r\n<config><font_size>9</font_size><font_name>";
    const std::string tail = "</font_name><interval_time>7</interval_time></config>";
    const size_t nameLength = size - big.size() - tail.size();
    big.append(nameLength, 'F');
    big += tail;
    WriteBytes(folders.CurrentFile("quillon.ini"), big);
    CAppParameter c;
    c.Reset();
    ExpectSane(c);
    EXPECT_EQ(9, c.m_fontSize);
    EXPECT_EQ(7, c.m_intervalTime);
    EXPECT_EQ(nameLength, static_cast<size_t>(c.m_fontName.Length()));
}

TEST_F(SettingsBadInput, ThousandsOfHistoryTextsKeepTheNewest) {
    std::string doc = "<?xml version=\"1.0\"?>\r\n<config><search><info><max>99999</max><texts>";
    for (int i = 0; i < 2500; ++i) doc += "<text>t" + std::to_string(i) + "</text>";
    doc += "</texts></info></search><interval_time>7</interval_time></config>";
    WriteBytes(folders.CurrentFile("quillon.ini"), doc);
    CAppParameter c;
    c.Reset();
    ExpectSane(c);
    ASSERT_EQ(kHistoryMaxCapacity, c.History(0).capacity);
    ASSERT_EQ(kHistoryMaxCapacity, c.History(0).count);
    // Each text read goes in front, so the last one of the file is the most recent.
    EXPECT_EQ("t2499", Text(*c.History(0).entries[0]));
    EXPECT_EQ("t1500", Text(*c.History(0).entries[kHistoryMaxCapacity - 1]));
    EXPECT_EQ(7, c.m_intervalTime);
}

TEST_F(SettingsBadInput, NestingHundredThousandDeep) {
    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<a>";
    deep += "x";
    for (int i = 0; i < 100000; ++i) deep += "</a>";
    // Values before the deep part are read; the deep part ends the document.
    WriteBytes(folders.CurrentFile("quillon.ini"), "<?xml version=\"1.0\"?><config><font_size>9</font_size>" + deep +
                                                       "<interval_time>7</interval_time></config>");
    WriteBytes(folders.CurrentFile("keyword_default.xml"),
               "<?xml version=\"1.0\"?><quillon_keyword><keyword><emphasis><text>kept</text></emphasis>" + deep +
                   "<emphasis><text>lost</text></emphasis></keyword></quillon_keyword>");
    CAppParameter c;
    c.Reset();
    ExpectSane(c);
    EXPECT_EQ(9, c.m_fontSize);
    EXPECT_EQ(0, c.m_intervalTime);
    ASSERT_EQ(1u, c.Keywords().Count());
    EXPECT_EQ("kept", Text(*c.Keywords().Entry(0).text));
    // Unclosed nesting, and nesting at the very top.
    WriteBytes(folders.CurrentFile("quillon.ini"), "<?xml version=\"1.0\"?>" + deep.substr(0, 300000));
    CAppParameter d;
    d.Reset();
    ExpectSane(d);
    EXPECT_EQ(0, d.m_fontSize);
}

// A string cannot hold NUL, so a NUL byte in a text must not cut it short or keep the
// whitespace before it: the text reads as if the byte were not there.
TEST_F(SettingsBadInput, NulBytesInsideTexts) {
    WriteBytes(folders.CurrentFile("quillon.ini"),
               std::string("<?xml version=\"1.0\"?><config><font_name> Courier \0 New \0</font_name>"
                           "<temp_path>\0</temp_path><log_path>\0\0 </log_path></config>",
                           125));
    WriteBytes(folders.CurrentFile("keyword_default.xml"),
               std::string("<?xml version=\"1.0\"?><quillon_keyword><keyword><emphasis><text>ERR\0OR</text>"
                           "</emphasis><emphasis><text>\0</text></emphasis></keyword></quillon_keyword>",
                           150));
    CAppParameter c;
    c.Reset();
    EXPECT_EQ("Courier New", Text(c.m_fontName));
    // A text of NUL bytes is no text: the path falls back to the current folder.
    EXPECT_EQ(Text(c.m_currentFolder), Text(c.m_tempFolder));
    EXPECT_EQ(Text(c.m_currentFolder), Text(c.m_logFolder));
    ASSERT_EQ(1u, c.Keywords().Count());
    EXPECT_EQ("ERROR", Text(*c.Keywords().Entry(0).text));
}

TEST_F(SettingsBadInput, FolderInPlaceOfTheFiles) {
    std::filesystem::remove(folders.CurrentFile("quillon.ini"));
    std::filesystem::create_directory(folders.AppFile("quillon.ini"));
    std::filesystem::create_directory(folders.CurrentFile("keyword_default.xml"));
    CAppParameter c;
    c.Reset();
    ExpectSane(c);
    EXPECT_EQ(0, c.m_fontSize);
    c.m_fontSize = 21;
    EXPECT_EQ(0, c.Save());
    EXPECT_TRUE(std::filesystem::is_directory(folders.AppFile("quillon.ini")));
    EXPECT_TRUE(testing_support::TemporaryFilesIn(folders.app).empty());
    EXPECT_EQ(21, c.m_fontSize);  // nothing lost in memory
    // The keyword file alone in the way: the settings are written, the folder stays.
    std::filesystem::remove(folders.AppFile("quillon.ini"));
    EXPECT_EQ(1, c.Save());
    EXPECT_NE(std::string::npos, ReadBytes(folders.AppFile("quillon.ini")).find("<font_size>21</font_size>"));
    EXPECT_TRUE(std::filesystem::is_directory(folders.CurrentFile("keyword_default.xml")));
    EXPECT_TRUE(testing_support::TemporaryFilesIn(folders.current).empty());
    EXPECT_EQ(0, c.Keywords().SaveFile((folders.current / "keyword_default.xml").u16string().c_str()));
}

TEST_F(SettingsBadInput, ReadOnlySettingsFile) {
#ifndef _WIN32
    if (!reliability::PermissionsBind()) GTEST_SKIP() << "permission bits do not bind root";
#endif
    WriteBytes(folders.CurrentFile("quillon.ini"), saved);
    std::filesystem::permissions(folders.CurrentFile("quillon.ini"),
                                 std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    CAppParameter c;
    c.Reset();
    EXPECT_EQ(13, c.m_fontSize);  // read as usual
    c.m_fontSize = 30;
    EXPECT_EQ(0, c.Save());
    std::filesystem::permissions(folders.CurrentFile("quillon.ini"), std::filesystem::perms::owner_all);
    EXPECT_EQ(saved, ReadBytes(folders.CurrentFile("quillon.ini")));
    EXPECT_TRUE(testing_support::TemporaryFilesIn(folders.current).empty());
    EXPECT_EQ(30, c.m_fontSize);
    EXPECT_EQ(1, c.Save());
}

TEST_F(SettingsBadInput, ReadOnlyFolder) {
    if (!reliability::PermissionsBind()) {
        GTEST_SKIP()
            << "permission bits do not bind this process (root), and Windows ignores a folder's read-only flag";
    }
    WriteBytes(folders.CurrentFile("quillon.ini"), saved);
    WriteBytes(folders.CurrentFile("keyword_default.xml"), savedKeywords);
    namespace fs = std::filesystem;
    fs::permissions(folders.current, fs::perms::owner_read | fs::perms::owner_exec);
    CAppParameter c;
    c.Reset();
    EXPECT_EQ(13, c.m_fontSize);
    EXPECT_EQ(3u, c.Keywords().Count());
    c.m_fontSize = 30;
    EXPECT_EQ(0, c.Save());
    EXPECT_EQ(0, c.Keywords().SaveFile((folders.current / "keyword_default.xml").u16string().c_str()));
    fs::permissions(folders.current, fs::perms::owner_all);
    EXPECT_EQ(saved, ReadBytes(folders.CurrentFile("quillon.ini")));
    EXPECT_EQ(savedKeywords, ReadBytes(folders.CurrentFile("keyword_default.xml")));
    EXPECT_EQ(1, c.Save());
}

}  // namespace
