// Search and extraction scans over a file: start lines, no wrap-around, long lines,
// context lines with duplicates, and the byte-level matcher against plain decoding.
#include "search/line_scan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "foundation/convert.h"
#include "search/line_matcher.h"
#include "test_support.h"

using testing_support::TempDir;
using testing_support::WriteBytes;

namespace {

class LineScanTest : public ::testing::Test {
protected:
    // Writes the lines, each with "\r\n", and indexes them with line numbers 10, 11, ...
    void Write(const std::vector<std::string>& lines) {
        std::string bytes;
        m_lines.Free();
        for (size_t i = 0; i < lines.size(); ++i) {
            m_lines.Append(static_cast<int32_t>(10 + i), CTimeStamp(), bytes.size(),
                           static_cast<int32_t>(lines[i].size() + 2));
            bytes += lines[i] + "\r\n";
        }
        m_file.Close();
        WriteBytes(m_dir.FsPath("scan.log"), bytes);
        ASSERT_EQ(1, m_file.Open(m_dir.File("scan.log").c_str()));
    }
    void Condition(std::initializer_list<const char16_t*> texts, int all = 0) {
        m_condition.Clear();
        for (const char16_t* t : texts) m_condition.Add(t);
        m_condition.SetMatchAll(all);
    }
    int32_t Forward(int32_t start) { return SearchForward(&m_file, m_lines, start, m_condition, kCodePageUtf8); }
    int32_t Backward(int32_t start) { return SearchBackward(&m_file, m_lines, start, m_condition, kCodePageUtf8); }
    std::vector<int32_t> Extract(int32_t before, int32_t after, const CLogLineList* from = nullptr) {
        m_result.Free();
        EXPECT_EQ(1, ExtractLines(&m_file, from != nullptr ? *from : m_lines, m_condition, kCodePageUtf8, before,
                                  after, &m_result));
        std::vector<int32_t> numbers;
        for (int32_t i = 0; i < m_result.Count(); ++i) numbers.push_back(m_result.Entries()[i].lineNumber - 10);
        return numbers;
    }

    TempDir m_dir;
    CFile m_file;
    CLogLineList m_lines;
    CLogLineList m_result;
    CSearchCondition m_condition;
};

TEST_F(LineScanTest, SearchStartsAtItsStartLineAndDoesNotWrap) {
    Write({"hit", "a", "b", "hit", "c"});
    Condition({u"hit"});
    EXPECT_EQ(0, Forward(0));
    EXPECT_EQ(3, Forward(1));
    EXPECT_EQ(3, Forward(3));
    EXPECT_EQ(-1, Forward(4));
    EXPECT_EQ(-1, Forward(5));
    EXPECT_EQ(3, Backward(4));
    EXPECT_EQ(0, Backward(2));
    EXPECT_EQ(0, Backward(0));
    EXPECT_EQ(3, Backward(99));
    EXPECT_EQ(-1, Backward(-1));
    Condition({u"HIT"});
    EXPECT_EQ(-1, Forward(0));
    m_condition.Clear();
    EXPECT_EQ(-1, Forward(0));
}

TEST_F(LineScanTest, EveryLineIsTestedWholeHoweverLong) {
    std::string longLine = std::string(9000, 'x') + "needle";
    std::string hugeLine = std::string(5u << 20, 'y') + "needle";
    Write({"a", std::string(10000, 'z'), longLine, "b", hugeLine});
    Condition({u"needle"});
    EXPECT_EQ(2, Forward(0));
    EXPECT_EQ(4, Forward(3));
    EXPECT_EQ(4, Backward(4));
    EXPECT_EQ(2, Backward(3));
    EXPECT_EQ((std::vector<int32_t>{2, 4}), Extract(0, 0));
}

TEST_F(LineScanTest, ExtractionAddsContextWithoutMerging) {
    Write({"m0", "1", "2", "3", "4", "m5", "m6", "7", "8"});
    Condition({u"m"});
    EXPECT_EQ((std::vector<int32_t>{0, 5, 6}), Extract(0, 0));
    EXPECT_EQ((std::vector<int32_t>{0, 3, 4, 5, 4, 5, 6}), Extract(2, 0));
    EXPECT_EQ((std::vector<int32_t>{0, 1, 5, 6, 6, 7}), Extract(0, 1));
    EXPECT_EQ((std::vector<int32_t>{0, 5, 6}), Extract(-1, -3));
    Condition({u"m0"});
    EXPECT_EQ((std::vector<int32_t>{0, 1}), Extract(2, 1));
    Condition({u"8"});
    EXPECT_EQ((std::vector<int32_t>{7, 8}), Extract(1, 5));
}

TEST_F(LineScanTest, ExtractionJoinsTextsWithAndOrOr) {
    Write({"alpha beta", "beta", "alpha", "gamma", "beta alpha"});
    Condition({u"alpha", u"beta"}, 1);
    EXPECT_EQ((std::vector<int32_t>{0, 4}), Extract(0, 0));
    Condition({u"alpha", u"beta"}, 0);
    EXPECT_EQ((std::vector<int32_t>{0, 1, 2, 4}), Extract(0, 0));
    Condition({u"delta"});
    EXPECT_TRUE(Extract(3, 3).empty());
}

TEST_F(LineScanTest, ExtractingFromAnExtractionKeepsTheFileLineNumbers) {
    Write({"x one", "two", "x three", "four", "x five"});
    Condition({u"x"});
    Extract(0, 0);
    CLogLineList first;
    ASSERT_EQ(1, CopyLineList(m_result, &first));
    Condition({u"five"});
    EXPECT_EQ((std::vector<int32_t>{2, 4}), Extract(1, 0, &first));
    EXPECT_EQ(m_lines.Entries()[4].offset, m_result.Entries()[1].offset);
}

TEST(CopyLineListTest, CopiesEveryEntryInOrder) {
    CLogLineList from;
    for (int i = 0; i < 25000; ++i) from.Append(i * 3, CTimeStamp(), static_cast<uint64_t>(i) * 7, 5);
    CLogLineList to;
    ASSERT_EQ(1, CopyLineList(from, &to));
    ASSERT_EQ(25000, to.Count());
    EXPECT_EQ(3 * 24999, to.Entries()[24999].lineNumber);
    EXPECT_EQ(7u * 24999, to.Entries()[24999].offset);
}

// The byte-level matcher gives the answer of Matches on the decoded line, for lines and
// texts of every kind.
TEST(LineMatcherTest, AgreesWithMatchesOnTheDecodedLine) {
    static const char* const kPieces[] = {"ERROR", "error", "a", "b", " ", "接続", "エラー", "\xE3\x82", "\xFF",
                                          "\x82\xA0", "\xEF\xBF\xBD", "\xF0\x9F\x98\x80", "\r\n", "\t", "\x80"};
    static const char16_t* const kTexts[] = {u"ERROR", u"a b", u"エラー", u"接続エ", u"\xFFFD", u"\xD83D\xDE00",
                                             u"\xD83D", u"\x3042", u"ror", u"b"};
    std::mt19937 rng(7);
    for (unsigned codePage : {kCodePageAnsi, kCodePageUtf8, kCodePageShiftJis}) {
        for (int round = 0; round < 300; ++round) {
            CSearchCondition condition;
            int texts = 1 + static_cast<int>(rng() % 3);
            for (int t = 0; t < texts; ++t) condition.Add(kTexts[rng() % (sizeof kTexts / sizeof kTexts[0])]);
            condition.SetMatchAll(static_cast<int>(rng() % 2));
            std::string line;
            int pieces = 1 + static_cast<int>(rng() % 8);
            for (int k = 0; k < pieces; ++k) line += kPieces[rng() % (sizeof kPieces / sizeof kPieces[0])];
            int units = MultiByteToWide(codePage, line.data(), static_cast<int>(line.size()), nullptr, 0);
            std::u16string wide(static_cast<size_t>(units > 0 ? units : 0), u'\0');
            if (units > 0) MultiByteToWide(codePage, line.data(), static_cast<int>(line.size()), &wide[0], units);
            int expected = condition.Matches(wide.data(), static_cast<int>(wide.size()));
            CLineMatcher matcher(condition, codePage);
            ASSERT_EQ(1, matcher.Prepare());
            ASSERT_EQ(expected, matcher.Matches(line.data(), static_cast<uint32_t>(line.size())))
                << "code page " << codePage << " round " << round << " line " << line;
        }
    }
}

// Every needle length and position around the 16-byte steps of the byte search.
TEST(FindBytesTest, FindsTheFirstOccurrenceAtEveryPosition) {
    for (size_t n = 0; n <= 70; ++n) {
        for (size_t m = 1; m <= 6 && m <= n + 1; ++m) {
            std::string needle = std::string("abcdef").substr(0, m);
            for (size_t at = 0; at + m <= n + m; ++at) {
                std::string text(n, 'a');  // the needle's first byte everywhere
                if (at + m <= n) text.replace(at, m, needle);
                int64_t expected = static_cast<int64_t>(text.find(needle));
                ASSERT_EQ(expected, FindBytes(text.data(), text.size(), needle.data(), m))
                    << "n " << n << " m " << m << " at " << at;
            }
        }
    }
}

}  // namespace
