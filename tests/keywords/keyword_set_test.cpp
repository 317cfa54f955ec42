// CKeywordSet: growth, copies, the flag table, whole-word lookup and the error-keyword scan.
#include "keywords/keyword_set.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Text(const CKeywordSet& set, uint32_t i) {
    const CString* s = set.Entry(i).text;
    return s->Data() != nullptr ? std::string(s->Data()) : std::string();
}

TEST(KeywordSet, AddKeepsInsertionOrderAndGrowsByHundreds) {
    CKeywordSet set;
    EXPECT_EQ(0u, set.Count());
    EXPECT_EQ(0u, set.Capacity());
    EXPECT_EQ(nullptr, set.Entries());
    EXPECT_EQ(0, set.Add(u"ERROR", 6, 1, 1));
    EXPECT_EQ(1, set.Add(u"警告", 13, 0, 0));
    EXPECT_EQ(100u, set.Capacity());
    EXPECT_EQ("ERROR", Text(set, 0));
    EXPECT_EQ("警告", Text(set, 1));
    EXPECT_EQ(5, set.Entry(0).length);
    EXPECT_EQ(2, set.Entry(1).length);
    EXPECT_EQ(6, set.Entry(0).color);
    EXPECT_EQ(1, set.Entry(0).bold);
    EXPECT_EQ(1, set.Entry(0).error);
    EXPECT_EQ(13, set.Entry(1).color);
    for (int i = 2; i < 100; ++i) EXPECT_EQ(i, set.Add(u"k", 7, 0, 0));
    EXPECT_EQ(100u, set.Capacity());
    EXPECT_EQ(100, set.Add(u"last", 8, 0, 0));
    EXPECT_EQ(200u, set.Capacity());
    EXPECT_EQ(101u, set.Count());
    EXPECT_EQ("ERROR", Text(set, 0));  // entries survive the move
    EXPECT_EQ("last", Text(set, 100));
}

TEST(KeywordSet, ClearEmptiesTheSetButKeepsTheFlagTable) {
    CKeywordSet set;
    set.Add(u"abc", 6, 0, 1);
    set.BuildFlagTable();
    set.Clear();
    EXPECT_EQ(0u, set.Count());
    EXPECT_EQ(0u, set.Capacity());
    EXPECT_EQ(nullptr, set.Entries());
    EXPECT_EQ(kKeywordFlagStart | kKeywordFlagError, set.Flag(u'a'));
    EXPECT_EQ(-1, set.Find(u"abc", 3));  // the table says maybe, no entry says yes
    set.BuildFlagTable();
    EXPECT_EQ(0, set.Flag(u'a'));
}

TEST(KeywordSet, FlagTableMarksFirstUnitsAndErrorKeywords) {
    CKeywordSet set;
    set.Add(u"INFO", 6, 0, 0);
    set.Add(u"ERROR", 7, 0, 1);
    set.Add(u"エラー", 8, 1, 1);
    set.Add(u"Warn", 9, 0, 0);
    set.Add(u"Wrong", 10, 0, 1);
    // Stale until rebuilt.
    EXPECT_EQ(0, set.Flag(u'I'));
    EXPECT_EQ(-1, set.Find(u"INFO", 0));
    set.BuildFlagTable();
    EXPECT_EQ(kKeywordFlagStart, set.Flag(u'I'));
    EXPECT_EQ(kKeywordFlagStart | kKeywordFlagError, set.Flag(u'E'));
    EXPECT_EQ(kKeywordFlagStart | kKeywordFlagError, set.Flag(u'エ'));
    EXPECT_EQ(kKeywordFlagStart | kKeywordFlagError, set.Flag(u'W'));
    EXPECT_EQ(0, set.Flag(u'N'));
    EXPECT_EQ(0, set.Flag(u'e'));
    int nonzero = 0;
    for (int i = 0; i < kKeywordFlagTableSize; ++i) nonzero += set.FlagTable()[i] != 0;
    EXPECT_EQ(4, nonzero);  // I, E, エ and W
}

TEST(KeywordSet, FindMatchesWholeWordsExactly) {
    CKeywordSet set;
    set.Add(u"ERROR", 6, 1, 0);
    set.Add(u"ERR", 7, 0, 0);
    set.Add(u"ERROR", 8, 0, 1);  // a duplicate: the first wins the lookup
    set.Add(u"日本語", 9, 0, 0);
    set.BuildFlagTable();
    EXPECT_EQ(0, set.Find(u"ERROR", 0));
    EXPECT_EQ(0, set.Find(u"ERROR", -1));
    EXPECT_EQ(0, set.Find(u"ERRORS", 5));  // the first five units only
    EXPECT_EQ(1, set.Find(u"ERRORS", 3));
    EXPECT_EQ(-1, set.Find(u"ERRORS", 0));
    EXPECT_EQ(-1, set.Find(u"ERRO", 0));
    EXPECT_EQ(-1, set.Find(u"Error", 0));  // case-sensitive
    EXPECT_EQ(-1, set.Find(u"error", 0));
    EXPECT_EQ(3, set.Find(u"日本語です", 3));
    EXPECT_EQ(-1, set.Find(u"", 0));
    EXPECT_EQ(-1, set.Find(nullptr, 0));
}

TEST(KeywordSet, CopyFromCopiesEntriesButNotTheFlagTable) {
    CKeywordSet a;
    a.Add(u"one", 6, 1, 0);
    a.Add(u"二", 7, 0, 1);
    a.BuildFlagTable();
    CKeywordSet b;
    b.Add(u"old", 13, 0, 0);
    b.CopyFrom(a);
    ASSERT_EQ(2u, b.Count());
    EXPECT_EQ("one", Text(b, 0));
    EXPECT_EQ("二", Text(b, 1));
    EXPECT_EQ(1, b.Entry(0).bold);
    EXPECT_EQ(7, b.Entry(1).color);
    EXPECT_EQ(1, b.Entry(1).error);
    EXPECT_NE(a.Entry(0).text, b.Entry(0).text);  // own strings
    EXPECT_EQ(0, b.Flag(u'o'));
    b.CopyFrom(b);
    EXPECT_EQ(2u, b.Count());
    CKeywordSet empty;
    b.CopyFrom(empty);
    EXPECT_EQ(0u, b.Count());
}

TEST(KeywordSet, SetEntryAndRemoveEditInPlace) {
    CKeywordSet set;
    set.Add(u"a", 6, 0, 0);
    set.Add(u"b", 7, 0, 0);
    set.Add(u"c", 8, 0, 0);
    EXPECT_EQ(1, set.SetEntry(1, u"bee", 12, 1, 1));
    EXPECT_EQ("bee", Text(set, 1));
    EXPECT_EQ(3, set.Entry(1).length);
    EXPECT_EQ(12, set.Entry(1).color);
    EXPECT_EQ(0, set.SetEntry(3, u"x", 6, 0, 0));
    EXPECT_EQ(1, set.Remove(0));
    ASSERT_EQ(2u, set.Count());
    EXPECT_EQ("bee", Text(set, 0));
    EXPECT_EQ("c", Text(set, 1));
    EXPECT_EQ(1, set.Remove(1));
    EXPECT_EQ(0, set.Remove(1));
    ASSERT_EQ(1u, set.Count());
    set.BuildFlagTable();
    EXPECT_EQ(0, set.Find(u"bee", 0));
    EXPECT_EQ(-1, set.Find(u"c", 0));
}

TEST(KeywordSet, ErrorScanFindsTheFirstErrorKeywordInALine) {
    CKeywordSet set;
    set.Add(u"FATAL", 6, 0, 1);
    set.Add(u"ERROR", 7, 0, 1);
    set.Add(u"WARN", 8, 0, 0);
    set.Add(u"ERR", 9, 0, 0);  // not an error keyword, though it shares the first unit
    set.BuildFlagTable();
    std::u16string line = u"12:00 WARN ERROR and FATAL";
    EXPECT_EQ(1, set.FindErrorKeyword(line.c_str(), static_cast<int>(line.size())));
    std::u16string warn = u"12:00 WARN ERR only";
    EXPECT_EQ(-1, set.FindErrorKeyword(warn.c_str(), static_cast<int>(warn.size())));
    std::u16string end = u"ends with FATAL";
    EXPECT_EQ(0, set.FindErrorKeyword(end.c_str(), static_cast<int>(end.size())));
    EXPECT_EQ(-1, set.FindErrorKeyword(end.c_str(), static_cast<int>(end.size()) - 1));  // cut short
    std::u16string inside = u"xERRORx";  // no word boundaries in the error scan
    EXPECT_EQ(1, set.FindErrorKeyword(inside.c_str(), static_cast<int>(inside.size())));
    EXPECT_EQ(-1, set.FindErrorKeyword(u"", 0));
}

TEST(KeywordSet, DuplicateTextsCanStillMakeAnErrorKeyword) {
    CKeywordSet set;
    set.Add(u"DOWN", 6, 1, 0);
    set.Add(u"DOWN", 9, 0, 1);
    set.BuildFlagTable();
    EXPECT_EQ(0, set.Find(u"DOWN", 0));
    EXPECT_EQ(kKeywordFlagStart | kKeywordFlagError, set.Flag(u'D'));
    EXPECT_EQ(1, set.FindErrorKeyword(u"link DOWN", 9));
}

}  // namespace
