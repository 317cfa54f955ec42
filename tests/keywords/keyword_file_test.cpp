// The keyword file: the exact bytes written, round trips, lenient reading, comments
// everywhere, and saves that fail without harming the previous file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "document/file.h"
#include "keywords/keyword_set.h"
#include "test_support.h"
#include "xml/xml_test_support.h"

using testing_support::ReadBytes;
using testing_support::TempDir;
using testing_support::TemporaryFilesIn;
using testing_support::WriteBytes;

namespace {

const std::string kDeclLine = "<?xml version=\"1.0\" ?>\r\n";

std::string Leaf(const std::string& name, const std::string& text) {
    return "<" + name + ">" + text + "</" + name + ">\r\n";
}

std::string Emphasis(const std::string& text, int color, int bold, int error) {
    return "<emphasis>" + Leaf("text", text) + Leaf("color", std::to_string(color)) +
           Leaf("bold", std::to_string(bold)) + Leaf("error", std::to_string(error)) + "</emphasis>\r\n";
}

std::string KeywordDocument(const std::string& emphases) {
    if (emphases.empty()) return kDeclLine + "<quillon_keyword><keyword/>\r\n</quillon_keyword>\r\n";
    return kDeclLine + "<quillon_keyword><keyword>" + emphases + "</keyword>\r\n</quillon_keyword>\r\n";
}

std::string Text(const CKeywordSet& set, uint32_t i) {
    const CString* s = set.Entry(i).text;
    return s->Data() != nullptr ? std::string(s->Data()) : std::string();
}

struct FaultReset {
    ~FaultReset() { g_fileFaults = CFileFaults(); }
};

TEST(KeywordFile, SavedBytesFollowTheLayoutRules) {
    TempDir dir;
    CKeywordSet set;
    set.Add(u"ERROR", 6, 1, 1);
    set.Add(u"警告 <x> & \"q\"", 13, 0, 0);
    set.Add(u"odd", 0, 5, -3);  // non-zero flags are written as 1
    ASSERT_EQ(1, set.SaveFile(dir.File("k.xml").c_str()));
    std::string expected =
        KeywordDocument(Emphasis("ERROR", 6, 1, 1) + Emphasis("警告 &lt;x&gt; &amp; &quot;q&quot;", 13, 0, 0) +
                        Emphasis("odd", 0, 1, 1));
    EXPECT_EQ(expected, ReadBytes(dir.FsPath("k.xml")));
    EXPECT_TRUE(TemporaryFilesIn(dir.Path()).empty());
}

TEST(KeywordFile, AnEmptySetSavesAnEmptyKeywordElementAndLoadsBack) {
    TempDir dir;
    CKeywordSet set;
    ASSERT_EQ(1, set.SaveFile(dir.File("k.xml").c_str()));
    EXPECT_EQ(KeywordDocument(""), ReadBytes(dir.FsPath("k.xml")));
    set.Add(u"x", 6, 0, 0);
    EXPECT_EQ(1, set.LoadFile(dir.File("k.xml").c_str()));
    EXPECT_EQ(0u, set.Count());
}

TEST(KeywordFile, RoundTripKeepsTextsColoursAndFlags) {
    TempDir dir;
    CKeywordSet set;
    set.Add(u"エラー発生", 6, 1, 1);
    set.Add(u"タイムアウト", 7, 0, 1);
    set.Add(u"WARN", 8, 1, 0);
    set.Add(u"  spaced  ", 13, 0, 0);
    set.Add(u"😀", 12, 0, 0);
    for (int c = 6; c <= 13; ++c)
        set.Add((u"c" + std::u16string(1, static_cast<char16_t>(u'0' + c - 6))).c_str(), c, 0, 0);
    ASSERT_EQ(1, set.SaveFile(dir.File("k.xml").c_str()));
    CKeywordSet back;
    ASSERT_EQ(1, back.LoadFile(dir.File("k.xml").c_str()));
    ASSERT_EQ(set.Count(), back.Count());
    for (uint32_t i = 0; i < set.Count(); ++i) {
        SCOPED_TRACE(i);
        if (i == 3) {
            EXPECT_EQ("spaced", Text(back, i));  // the reader trims
        } else {
            EXPECT_EQ(Text(set, i), Text(back, i));
        }
        EXPECT_EQ(set.Entry(i).color, back.Entry(i).color);
        EXPECT_EQ(set.Entry(i).bold, back.Entry(i).bold);
        EXPECT_EQ(set.Entry(i).error, back.Entry(i).error);
    }
    // Loading rebuilds the table.
    EXPECT_EQ(kKeywordFlagStart | kKeywordFlagError, back.Flag(u'エ'));
    EXPECT_EQ(kKeywordFlagStart | kKeywordFlagError, back.Flag(u'タ'));
    EXPECT_EQ(kKeywordFlagStart, back.Flag(u'W'));
    EXPECT_EQ(0, back.Find(u"エラー発生", 0));
}

// Saving walks the list once: a large set must save and load back whole, not stall.
TEST(KeywordFile, AHundredThousandKeywordsSaveAndLoadBackEqual) {
    TempDir dir;
    CKeywordSet set;
    const uint32_t count = 100000;
    for (uint32_t i = 0; i < count; ++i) {
        std::u16string text = u"keyword ";
        for (char digit : std::to_string(i)) text += static_cast<char16_t>(digit);
        if (i % 7 == 0) text += u" エラー";
        ASSERT_EQ(static_cast<int>(i), set.Add(text.c_str(), 6 + static_cast<int>(i % 8), i % 2, i % 3 == 0));
    }
    ASSERT_EQ(1, set.SaveFile(dir.File("k.xml").c_str()));
    CKeywordSet back;
    ASSERT_EQ(1, back.LoadFile(dir.File("k.xml").c_str()));
    ASSERT_EQ(count, back.Count());
    for (uint32_t i = 0; i < count; ++i) {
        const CKeywordEntry& a = set.Entry(i);
        const CKeywordEntry& b = back.Entry(i);
        ASSERT_EQ(std::u16string(a.wide), std::u16string(b.wide)) << i;
        ASSERT_EQ(a.color, b.color) << i;
        ASSERT_EQ(a.bold, b.bold) << i;
        ASSERT_EQ(a.error, b.error) << i;
    }
}

TEST(KeywordFile, ReadingIsLenientAboutMissingAndOddValues) {
    TempDir dir;
    std::string doc = kDeclLine +
                      "<other/><quillon_keyword><unknown>1</unknown>"
                      "<keyword>"
                      "<emphasis><text>a</text><color>7</color><bold>1</bold><error>1</error></emphasis>"
                      "<emphasis><color>8</color></emphasis>"               // no text: nothing
                      "<emphasis><text></text><color>8</color></emphasis>"  // empty text: nothing
                      "<emphasis><text>b</text></emphasis>"                 // colour 0, flags 0
                      "<emphasis><text>c</text><bold>2</bold><error>yes</error><color>x</color></emphasis>"
                      "<note><text>ignored</text></note>"
                      "<emphasis><error>1</error><text>d</text><extra/></emphasis>"  // any order
                      "</keyword>"
                      "<keyword><emphasis><text>second list</text></emphasis></keyword>"
                      "</quillon_keyword>";
    WriteBytes(dir.FsPath("k.xml"), doc);
    CKeywordSet set;
    ASSERT_EQ(1, set.LoadFile(dir.File("k.xml").c_str()));
    ASSERT_EQ(4u, set.Count());
    EXPECT_EQ("a", Text(set, 0));
    EXPECT_EQ(7, set.Entry(0).color);
    EXPECT_EQ(1, set.Entry(0).bold);
    EXPECT_EQ(1, set.Entry(0).error);
    EXPECT_EQ("b", Text(set, 1));
    EXPECT_EQ(0, set.Entry(1).color);
    EXPECT_EQ(0, set.Entry(1).bold);
    EXPECT_EQ(0, set.Entry(1).error);
    EXPECT_EQ("c", Text(set, 2));
    EXPECT_EQ(0, set.Entry(2).color);
    EXPECT_EQ(0, set.Entry(2).bold);
    EXPECT_EQ(0, set.Entry(2).error);
    EXPECT_EQ("d", Text(set, 3));
    EXPECT_EQ(1, set.Entry(3).error);
}

TEST(KeywordFile, CommentsBeforeBetweenAndAfterEntriesAndBeforeEveryEndTag) {
    TempDir dir;
    std::string doc = kDeclLine + "<!-- head -->\r\n<quillon_keyword><!-- a -->\r\n<keyword><!-- before -->\r\n" +
                      "<emphasis><!-- 1 --><text>one<!-- t --></text><!-- 2 --><color>6<!-- c --></color>"
                      "<bold>1<!-- b --></bold><error>0<!-- e --></error><!-- end --></emphasis>\r\n"
                      "<!-- between -->\r\n"
                      "<emphasis><text>two</text><color>7</color><bold>0</bold><error>1</error>\r\n"
                      "<!-- last --></emphasis><!-- after -->\r\n"
                      "<emphasis><text>three</text><color>8</color><bold>0</bold><error>0</error></emphasis>"
                      "<!-- before keyword end --></keyword><!-- before root end --></quillon_keyword>"
                      "<!-- tail -->\r\n";
    WriteBytes(dir.FsPath("k.xml"), doc);
    CKeywordSet set;
    ASSERT_EQ(1, set.LoadFile(dir.File("k.xml").c_str()));
    ASSERT_EQ(3u, set.Count());
    EXPECT_EQ("one", Text(set, 0));
    EXPECT_EQ(6, set.Entry(0).color);
    EXPECT_EQ(1, set.Entry(0).bold);
    EXPECT_EQ("two", Text(set, 1));
    EXPECT_EQ(7, set.Entry(1).color);
    EXPECT_EQ(1, set.Entry(1).error);
    EXPECT_EQ("three", Text(set, 2));
    EXPECT_EQ(8, set.Entry(2).color);
}

TEST(KeywordFile, UnreadableFilesGiveAnEmptySetAndAClearTable) {
    TempDir dir;
    CKeywordSet set;
    set.Add(u"x", 6, 0, 1);
    set.BuildFlagTable();
    // No path: 0, empty, and the table is left as it was.
    EXPECT_EQ(0, set.LoadFile(u""));
    EXPECT_EQ(0, set.LoadFile(nullptr));
    EXPECT_EQ(0u, set.Count());
    EXPECT_NE(0, set.Flag(u'x'));
    for (const std::string& bad : {std::string(), std::string("not xml"), kDeclLine + "<quillon_keyword",
                                   std::string("\xEF\xBB\xBF") + KeywordDocument(Emphasis("x", 6, 0, 1))}) {
        set.Add(u"x", 6, 0, 1);
        set.BuildFlagTable();
        WriteBytes(dir.FsPath("bad.xml"), bad);
        EXPECT_EQ(0, set.LoadFile(dir.File("bad.xml").c_str()));
        EXPECT_EQ(0u, set.Count());
        EXPECT_EQ(0, set.Flag(u'x'));
    }
    set.Add(u"x", 6, 0, 1);
    set.BuildFlagTable();
    EXPECT_EQ(0, set.LoadFile(dir.File("missing.xml").c_str()));
    EXPECT_EQ(0u, set.Count());
    EXPECT_EQ(0, set.Flag(u'x'));
}

TEST(KeywordFile, AFileWithoutTheRootElementLoadsAsAnEmptySet) {
    TempDir dir;
    WriteBytes(dir.FsPath("k.xml"),
               kDeclLine + "<config><keyword><emphasis><text>x</text></emphasis></keyword></config>");
    CKeywordSet set;
    EXPECT_EQ(1, set.LoadFile(dir.File("k.xml").c_str()));
    EXPECT_EQ(0u, set.Count());
}

class KeywordSaveFailure : public ::testing::Test {
protected:
    void SetUp() override {
        WriteBytes(dir.FsPath("k.xml"), m_old);
        set.Add(u"new keyword", 6, 1, 1);
        set.Add(u"another", 7, 0, 0);
    }
    void ExpectOldFileIntact() {
        EXPECT_EQ(m_old, ReadBytes(dir.FsPath("k.xml")));
        EXPECT_TRUE(TemporaryFilesIn(dir.Path()).empty());
    }
    TempDir dir;
    CKeywordSet set;
    FaultReset reset;
    const std::string m_old = KeywordDocument(Emphasis("old", 6, 0, 0));
};

TEST_F(KeywordSaveFailure, AWriteThatStopsPartWayLeavesTheOldFile) {
    g_fileFaults.writeBudget = 40;
    EXPECT_EQ(0, set.SaveFile(dir.File("k.xml").c_str()));
    ExpectOldFileIntact();
}

TEST_F(KeywordSaveFailure, AFailedFlushLeavesTheOldFile) {
    g_fileFaults.failFlush = true;
    EXPECT_EQ(0, set.SaveFile(dir.File("k.xml").c_str()));
    ExpectOldFileIntact();
}

TEST_F(KeywordSaveFailure, AFailedReplaceLeavesTheOldFile) {
    g_fileFaults.failReplace = true;
    EXPECT_EQ(0, set.SaveFile(dir.File("k.xml").c_str()));
    ExpectOldFileIntact();
}

TEST_F(KeywordSaveFailure, AFolderWhereNoFileCanBeCreatedLeavesTheOldFile) {
    // Every temporary name is taken by a folder, as in a folder that cannot be written.
    xml_testing::BlockedTemporaryNames blocked(dir.File("k.xml"));
    EXPECT_EQ(0, set.SaveFile(dir.File("k.xml").c_str()));
    ExpectOldFileIntact();
    EXPECT_EQ(0, set.SaveFile(dir.File("no such folder/k.xml").c_str()));
    EXPECT_EQ(0, set.SaveFile(u""));
    EXPECT_EQ(0, set.SaveFile(nullptr));
}

TEST_F(KeywordSaveFailure, ASaveAfterAFailureSucceeds) {
    g_fileFaults.writeBudget = 0;
    EXPECT_EQ(0, set.SaveFile(dir.File("k.xml").c_str()));
    g_fileFaults = CFileFaults();
    EXPECT_EQ(1, set.SaveFile(dir.File("k.xml").c_str()));
    CKeywordSet back;
    ASSERT_EQ(1, back.LoadFile(dir.File("k.xml").c_str()));
    EXPECT_EQ(2u, back.Count());
}

}  // namespace
