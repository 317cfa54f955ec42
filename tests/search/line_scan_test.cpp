// Search and extraction scans over a file: start lines, no wrap-around, long lines,
// context lines with duplicates, cancellation, the row limit, the two-core scans against a
// plain reading, and the byte-level matcher against plain decoding.
#include "search/line_scan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "document/escape_codes.h"
#include "foundation/convert.h"
#include "search/line_matcher.h"
#include "condition_oracle.h"
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
        EXPECT_EQ(1, ExtractLines(&m_file, from != nullptr ? *from : m_lines, m_condition, kCodePageUtf8, before, after,
                                  &m_result));
        std::vector<int32_t> numbers;
        for (int32_t i = 0; i < m_result.Count(); ++i) numbers.push_back(m_result[i].lineNumber - 10);
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
    EXPECT_EQ(m_lines[4].offset, m_result[1].offset);
}

TEST_F(LineScanTest, ExtractionsThatReferToTheIndexGiveTheRowsACopyGives) {
    // An index numbers its lines as its rows; the results refer to them.
    std::vector<std::string> text;
    for (int i = 0; i < 700; ++i) text.push_back(i % 7 == 3 ? "x hit " + std::to_string(i) : "quiet");
    Write(text);
    auto index = std::make_shared<CLogLineList>();
    for (int64_t i = 0; i < m_lines.Count(); ++i) {
        CLogLine line = m_lines[i];
        line.lineNumber = i;
        index->Append(line);
    }
    Condition({u"x"});
    CLogLineList copied;
    ASSERT_EQ(1, ExtractLines(&m_file, *index, m_condition, kCodePageUtf8, 2, 1, &copied));
    auto referring = std::make_shared<CLogLineList>();
    referring->ReferTo(index);
    ASSERT_EQ(1, ExtractLines(&m_file, *index, m_condition, kCodePageUtf8, 2, 1, referring.get()));
    EXPECT_TRUE(SameEntries(copied, *referring));
    EXPECT_EQ(4 * static_cast<uint64_t>(referring->Count()), referring->MemoryBytes());
    // From the extraction again: the rows of the same index, as from a copy.
    Condition({u"hit 5"});
    CLogLineList fromCopy;
    ASSERT_EQ(1, ExtractLines(&m_file, copied, m_condition, kCodePageUtf8, 1, 0, &fromCopy));
    CLogLineList again;
    again.ReferTo(referring);
    ASSERT_EQ(1, ExtractLines(&m_file, *referring, m_condition, kCodePageUtf8, 1, 0, &again));
    EXPECT_EQ(index, again.Index());
    EXPECT_GT(again.Count(), 10);
    EXPECT_TRUE(SameEntries(fromCopy, again));
}

// Sets the cancel flag at the first progress report.
class CCancellingListener : public CProgressListener {
public:
    explicit CCancellingListener(std::atomic<int>* cancel) : m_cancel(cancel) {}
    void OnProgress(uint64_t, uint64_t) override { m_cancel->store(1); }

private:
    std::atomic<int>* m_cancel;
};

TEST_F(LineScanTest, CancelledScansReturnTheirCodeAndChangeNothing) {
    std::vector<std::string> lines(3000, "filler");
    lines[2900] = "hit";
    Write(lines);
    Condition({u"hit"});
    for (int threads : {1, 2}) {
        std::atomic<int> cancel{0};
        CCancellingListener listener(&cancel);
        CScanOptions options;
        options.listener = &listener;
        options.cancel = &cancel;
        options.threads = threads;
        options.twoCoreBytes = 0;
        options.chunkBytes = 100;
        EXPECT_EQ(kScanCancelled, SearchForward(&m_file, m_lines, 0, m_condition, kCodePageUtf8, options));
        cancel.store(0);
        EXPECT_EQ(kScanCancelled, SearchBackward(&m_file, m_lines, 2999, m_condition, kCodePageUtf8, options));
        cancel.store(0);
        m_result.Free();
        m_result.Append(m_lines[5]);
        EXPECT_EQ(kScanCancelled, ExtractLines(&m_file, m_lines, m_condition, kCodePageUtf8, 3, 3, &m_result, options));
        ASSERT_EQ(1, m_result.Count());
        EXPECT_EQ(15, m_result[0].lineNumber);
        // Set before the scan: the simple forms honour it too.
        cancel.store(1);
        EXPECT_EQ(kScanCancelled, SearchForward(&m_file, m_lines, 0, m_condition, kCodePageUtf8, nullptr, &cancel));
        EXPECT_EQ(kScanCancelled,
                  ExtractLines(&m_file, m_lines, m_condition, kCodePageUtf8, 0, 0, &m_result, nullptr, &cancel));
        EXPECT_EQ(1, m_result.Count());
    }
}

// Each hit appends before + after + 1 rows: the limit is met before any row is appended,
// so a huge context ends at once, and a result of exactly the limit is still made.
// Lists that cannot grow lose nothing: an extraction says so and appends nothing, and a
// followed index keeps its entries when the appended ones cannot be taken in.
TEST_F(LineScanTest, RunningOutOfMemoryIsReportedAndKeepsWhatWasThere) {
    std::vector<std::string> lines(30000, "hit");
    Write(lines);
    Condition({u"hit"});
    m_result.Free();
    ASSERT_EQ(1, m_result.Append(99, CTimeStamp(), 0, 5));
    CLogLineList index;
    ASSERT_EQ(1, index.Append(m_lines, 0, 19999));
    CLogLineList more;
    ASSERT_EQ(1, more.Append(m_lines, 19990, 20));
    {
        struct Limit {
            Limit() { g_lineListLimit = 20000; }
            ~Limit() { g_lineListLimit = 0; }
        } limit;
        EXPECT_EQ(0, ExtractLines(&m_file, m_lines, m_condition, kCodePageUtf8, 0, 0, &m_result));
        EXPECT_EQ(0, ReplaceTail(&index, 19990 + 10, more));
    }
    ASSERT_EQ(1, m_result.Count());
    EXPECT_EQ(99, m_result[0].lineNumber);
    EXPECT_EQ(19999, index.Count());
    EXPECT_EQ(1, ReplaceTail(&index, 19990 + 10, more));
    ASSERT_EQ(19990 + 20, index.Count());
    EXPECT_EQ(19990 + 10 + 19, index[index.Count() - 1].lineNumber);
}

TEST_F(LineScanTest, ExtractionPastTheRowLimitIsTooLargeAndAppendsNothing) {
    Write(std::vector<std::string>(2000, "every line hits"));
    Condition({u"hits"});
    for (int threads : {1, 2}) {
        CScanOptions options;
        options.threads = threads;
        options.twoCoreBytes = 0;
        options.chunkBytes = 500;
        options.maxRows = 1000;
        m_result.Free();
        m_result.Append(m_lines[7]);
        EXPECT_EQ(kExtractTooLarge, ExtractLines(&m_file, m_lines, m_condition, kCodePageUtf8, 0x7fffffff, 1000000000,
                                                 &m_result, options));
        EXPECT_EQ(1, m_result.Count());
        // Two hits with one line either side: 2 + 3 rows.
        Write({"hit", "b", "c", "hit", "e"});
        Condition({u"hit"});
        options.maxRows = 5;
        m_result.Free();
        EXPECT_EQ(1, ExtractLines(&m_file, m_lines, m_condition, kCodePageUtf8, 1, 1, &m_result, options));
        EXPECT_EQ(5, m_result.Count());
        options.maxRows = 4;
        m_result.Free();
        EXPECT_EQ(kExtractTooLarge,
                  ExtractLines(&m_file, m_lines, m_condition, kCodePageUtf8, 1, 1, &m_result, options));
        EXPECT_EQ(0, m_result.Count());
        Write(std::vector<std::string>(2000, "every line hits"));
        Condition({u"hits"});
    }
}

// With escapes hidden, search and extraction (on one thread or two) see the text as shown:
// a word split by colour codes is found, the codes' own text is not.
TEST_F(LineScanTest, HiddenEscapesAreNotSearchedAndDoNotSplitWords) {
    Write({"\x1b[32mSep 19 \x1b[0m\x1b[1m\x1b[33m09:24:04\x1b[0m ERR\x1b[31mOR\x1b[0m disk", "plain [31m text",
           "caf\xC3\xA9\x1b[1m \xE3\x81\x82\x1b[0m", "\x1b]0;ERROR title\x07ok"});
    for (int threads : {1, 2}) {
        CScanOptions options;
        options.threads = threads;
        options.twoCoreBytes = 0;
        options.chunkBytes = 64;
        for (bool hide : {false, true}) {
            options.hideEscapes = hide;
            auto rows = [&](std::initializer_list<const char16_t*> texts) {
                Condition(texts);
                std::vector<int32_t> found;
                for (int64_t at = SearchForward(&m_file, m_lines, 0, m_condition, kCodePageUtf8, options); at >= 0;
                     at = SearchForward(&m_file, m_lines, at + 1, m_condition, kCodePageUtf8, options)) {
                    found.push_back(static_cast<int32_t>(at));
                }
                m_result.Free();
                EXPECT_EQ(1, ExtractLines(&m_file, m_lines, m_condition, kCodePageUtf8, 0, 0, &m_result, options));
                std::vector<int32_t> extracted;
                for (int32_t i = 0; i < m_result.Count(); ++i) extracted.push_back(m_result[i].lineNumber - 10);
                EXPECT_EQ(found, extracted);
                return found;
            };
            using V = std::vector<int32_t>;
            EXPECT_EQ(hide ? V{0} : V{3}, rows({u"ERROR"})) << hide;
            EXPECT_EQ(hide ? V{0} : V{}, rows({u"Sep 19 09:24:04 ERROR disk"})) << hide;
            EXPECT_EQ(hide ? V{1} : (V{0, 1}), rows({u"[31m"})) << hide;
            EXPECT_EQ(hide ? V{2} : V{}, rows({u"caf\u00E9 \u3042"})) << hide;
            EXPECT_EQ(hide ? V{} : V{3}, rows({u"title"})) << hide;
            EXPECT_EQ(V{3}, rows({u"ok"})) << hide;
        }
    }
}

// Random logs in UTF-8, Shift_JIS and the ANSI code page, with long lines and small read
// windows so that lines cross and outgrow them, some with escape sequences: the one-core and
// two-core scans (over the whole list and within a range of it) both give what a plain
// decoding of every line gives (without its sequences
// when they are hidden).
TEST(LineScanThreadsTest, TwoCoresGiveThePlainResults) {
    struct Piece {
        const char* utf8;
        const char* sjis;
    };
    static const Piece kPieces[] = {{"ERROR ", "ERROR "},
                                    {"error", "error"},
                                    {"a b", "a b"},
                                    {"エラー", "\x83\x47\x83\x89\x81\x5B"},
                                    {"接続", "\x90\xDA\x91\xB1"},
                                    {"表", "\x95\x5C"},
                                    {"\\", "\\"},
                                    {"\xFF", "\xFF"},
                                    {" ", " "},
                                    {"\x1b[1;31m", "\x1b[1;31m"}};
    static const char16_t* const kTexts[] = {u"ERROR", u"a b", u"エラー", u"接続エ", u"\\",
                                             u"r e",   u"表",  u"R a",    u"[1;"};
    constexpr unsigned kTextCount = sizeof kTexts / sizeof kTexts[0];
    std::mt19937 rng(99);
    TempDir dir;
    for (int round = 0; round < 45; ++round) {
        unsigned codePage = round % 3 == 0 ? kCodePageUtf8 : round % 3 == 1 ? kCodePageShiftJis : kCodePageAnsi;
        std::string bytes;
        std::vector<std::string> texts;
        CLogLineList lines;
        int count = 1 + static_cast<int>(rng() % 400);
        for (int i = 0; i < count; ++i) {
            std::string line;
            for (int k = static_cast<int>(rng() % 6); k > 0; --k) {
                // Escape sequences are rare, so that many read windows hold none.
                size_t kinds = sizeof kPieces / sizeof kPieces[0];
                const Piece& p = kPieces[rng() % 30 == 0 ? kinds - 1 : rng() % (kinds - 1)];
                line += codePage == kCodePageShiftJis ? p.sjis : p.utf8;
            }
            if (rng() % 25 == 0) line += std::string(rng() % 3000, 'z') + (rng() % 2 == 0 ? "ERR\x1b[mOR" : "ERROR");
            line += "\r\n";
            lines.Append(i, CTimeStamp(), bytes.size(), static_cast<int32_t>(line.size()));
            bytes += line;
            texts.push_back(line);
        }
        WriteBytes(dir.FsPath("random.log"), bytes);
        CFile file;
        ASSERT_EQ(1, file.Open(dir.File("random.log").c_str()));
        CSearchCondition condition;
        for (int t = 1 + static_cast<int>(rng() % 3); t > 0; --t) condition.Add(kTexts[rng() % kTextCount]);
        condition.SetMatchAll(static_cast<int>(rng() % 2));
        // Every other round matches the text as shown, without its escape sequences.
        bool hide = round % 2 == 1;
        std::vector<bool> hit;
        for (const std::string& line : texts) {
            int units = MultiByteToWide(codePage, line.data(), static_cast<int>(line.size()), nullptr, 0);
            std::u16string wide(static_cast<size_t>(units), u'\0');
            MultiByteToWide(codePage, line.data(), static_cast<int>(line.size()), &wide[0], units);
            if (hide) units = HideEscapes(wide.data(), units);
            hit.push_back(condition.Matches(wide.data(), units) == 1);
        }
        int32_t before = static_cast<int32_t>(rng() % 4) - 1;
        int32_t after = static_cast<int32_t>(rng() % 4) - 1;
        std::vector<int32_t> extracted;
        for (int32_t i = 0; i < count; ++i) {
            if (!hit[i]) continue;
            for (int32_t k = before > 0 ? std::max(0, i - before) : i; k < i; ++k) extracted.push_back(k);
            for (int32_t k = i; k <= (after > 0 ? std::min(count - 1, i + after) : i); ++k) extracted.push_back(k);
        }
        int64_t maxRows = rng() % 4 == 0 ? 1 + static_cast<int64_t>(rng() % 300) : 0;
        bool tooLarge = maxRows > 0 && static_cast<int64_t>(extracted.size()) > maxRows;
        for (int threads : {1, 2}) {
            CScanOptions options;
            options.threads = threads;
            options.twoCoreBytes = 0;
            options.windowSize = 16 + static_cast<uint32_t>(rng() % 600);
            options.chunkBytes = 1 + rng() % 3000;
            options.maxRows = maxRows;
            options.hideEscapes = hide;
            std::string what = "round " + std::to_string(round) + " threads " + std::to_string(threads);
            for (int32_t start : {-1, 0, count / 3, count - 1, count + 5}) {
                int32_t forward = -1;
                for (int32_t i = std::max(start, 0); i < count && forward < 0; ++i) forward = hit[i] ? i : -1;
                int32_t backward = -1;
                for (int32_t i = std::min(start, count - 1); i >= 0 && backward < 0; --i) backward = hit[i] ? i : -1;
                ASSERT_EQ(forward, SearchForward(&file, lines, start, condition, codePage, options)) << what;
                ASSERT_EQ(backward, SearchBackward(&file, lines, start, condition, codePage, options)) << what;
                // Within a range: the first and last hit of [start, end) and nothing outside it.
                int32_t end = std::max(start, 0) + static_cast<int32_t>(rng() % 60);
                int32_t first = -1;
                int32_t last = -1;
                for (int32_t i = std::max(start, 0); i < std::min(end, count); ++i) {
                    if (!hit[i]) continue;
                    if (first < 0) first = i;
                    last = i;
                }
                ASSERT_EQ(first,
                          SearchRange(&file, lines, start, end, CSearchDirection::kNext, condition, codePage, options))
                    << what;
                ASSERT_EQ(last, SearchRange(&file, lines, start, end, CSearchDirection::kPrevious, condition, codePage,
                                            options))
                    << what;
            }
            CLogLineList result;
            result.Append(lines[0]);
            ASSERT_EQ(tooLarge ? kExtractTooLarge : 1,
                      ExtractLines(&file, lines, condition, codePage, before, after, &result, options))
                << what;
            ASSERT_EQ(tooLarge ? 1u : extracted.size() + 1, static_cast<size_t>(result.Count())) << what;
            for (size_t k = 0; !tooLarge && k < extracted.size(); ++k) {
                ASSERT_EQ(extracted[k], result[k + 1].lineNumber) << what << " row " << k;
            }
        }
    }
}

TEST(CopyLineListTest, CopiesEveryEntryInOrder) {
    CLogLineList from;
    for (int i = 0; i < 25000; ++i) from.Append(i * 3, CTimeStamp(), static_cast<uint64_t>(i) * 7, 5);
    CLogLineList to;
    ASSERT_EQ(1, CopyLineList(from, &to));
    ASSERT_EQ(25000, to.Count());
    EXPECT_EQ(3 * 24999, to[24999].lineNumber);
    EXPECT_EQ(7u * 24999, to[24999].offset);
}

// The byte-level matcher gives the answer of the texts on the decoded line (without its
// escape sequences when they are hidden), for lines and texts of every kind, some of them
// required absent.
TEST(LineMatcherTest, AgreesWithMatchesOnTheDecodedLine) {
    static const char* const kPieces[] = {"ERROR",
                                          "error",
                                          "a",
                                          "b",
                                          " ",
                                          "接続",
                                          "エラー",
                                          "\xE3\x82",
                                          "\xFF",
                                          "\x82\xA0",
                                          "\xEF\xBF\xBD",
                                          "\xF0\x9F\x98\x80",
                                          "\r\n",
                                          "\t",
                                          "\x80",
                                          "\xC5\xBF",
                                          "\xE2\x84\xAA",
                                          "S",
                                          "\xC3\x84",  // long s, Kelvin, A umlaut
                                          "\x1b[31m",
                                          "\x1b[0m",
                                          "\x1b",
                                          "[31m",
                                          "\x1b]0;t\x07"};
    static const char16_t* const kTexts[] = {u"ERROR", u"a b", u"エラー", u"接続エ", u"\xFFFD", u"\xD83D\xDE00",
                                             u"\xD83D", u"\x3042", u"ror", u"b", u"s", u"K", u"\x00E4", u"Err", u"[31m",
                                             u"ab", u"0;t",
                                             // Regular expressions (on odd rounds): literal
                                             // alternatives and others.
                                             u"ERROR|接続", u"s|a b", u"エラー|x", u"r[o]r", u"^a", u"b$", u"a.*b"};
    constexpr int kPlainTexts = 17;
    std::mt19937 rng(7);
    for (unsigned codePage : {kCodePageAnsi, kCodePageUtf8, kCodePageShiftJis, kCodePageUtf16Le, kCodePageUtf16Be}) {
        for (int round = 0; round < 300; ++round) {
            CSearchCondition condition;
            int texts = 1 + static_cast<int>(rng() % 3);
            for (int t = 0; t < texts; ++t) {
                int which = static_cast<int>(rng() % (sizeof kTexts / sizeof kTexts[0]));
                int options = rng() % 2 == 0 ? kMatchCase : 0;
                if (which >= kPlainTexts || rng() % 4 == 0) options |= kRegex;
                if (rng() % 3 == 0) options |= kNot;
                condition.Add(kTexts[which], options);
            }
            condition.SetMatchAll(static_cast<int>(rng() % 2));
            std::string line;
            int pieces = 1 + static_cast<int>(rng() % 8);
            for (int k = 0; k < pieces; ++k) line += kPieces[rng() % (sizeof kPieces / sizeof kPieces[0])];
            int units = MultiByteToWide(codePage, line.data(), static_cast<int>(line.size()), nullptr, 0);
            std::u16string wide(static_cast<size_t>(units > 0 ? units : 0), u'\0');
            if (units > 0) MultiByteToWide(codePage, line.data(), static_cast<int>(line.size()), &wide[0], units);
            // Every other round matches the text as shown with its escape sequences hidden.
            bool hide = round % 2 == 0;
            int shown = hide ? HideEscapes(wide.data(), static_cast<int>(wide.size())) : static_cast<int>(wide.size());
            int expected = OracleMatches(condition, wide.data(), shown);
            ASSERT_EQ(expected, condition.Matches(wide.data(), shown));
            CLineMatcher matcher(condition, codePage, hide);
            ASSERT_EQ(1, matcher.Prepare());
            std::string described;
            for (int t = 0; t < condition.Count(); ++t) {
                described += " [" + std::to_string(condition.Options(t)) + "] " + condition.Text(t)->Data();
            }
            ASSERT_EQ(expected, matcher.Matches(line.data(), static_cast<uint32_t>(line.size())))
                << "code page " << codePage << " round " << round << " hide " << hide << " line " << line << " all "
                << condition.MatchAll() << described;
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
                // Ignoring case: the same in capitals, and never where a byte only differs in bit 5.
                std::string upper = text;
                for (char& c : upper) c = static_cast<char>(c - 0x20);
                ASSERT_EQ(expected, FindBytesFolded(upper.data(), upper.size(), needle.data(), m)) << n << " " << m;
                std::string symbols = needle;
                for (char& c : symbols) c = static_cast<char>(c - 0x21);  // '@' 'A' ... : '@' | 0x20 is '`'
                std::string shifted = symbols;
                for (char& c : shifted) c = static_cast<char>(c | 0x20);
                std::string line = text;
                if (at + m <= n) line.replace(at, m, shifted);
                ASSERT_EQ(symbols == shifted ? expected : -1,
                          FindBytesFolded(line.data(), line.size(), symbols.data(), m))
                    << n << " " << m;
            }
        }
    }
}

}  // namespace
