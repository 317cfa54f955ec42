// The loader: line-break forms, blank and last lines, block boundaries, long lines, time
// stamps, error keywords, progress, cancellation and an index too large for memory; and the threaded and byte-level
// fast paths against a plain whole-file reading of the same rules.
#include "loader/log_loader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "loader/error_scanner.h"
#include "document/helper_thread.h"
#include "document/log_file.h"
#include "stamps/time_stamp.h"
#include "foundation/convert.h"
#include "keywords/keyword_set.h"
#include "test_support.h"

using testing_support::TempDir;
using testing_support::WriteBytes;

namespace {

bool IsBreak(char c) { return c == '\r' || c == '\n'; }

struct Result {
    std::vector<CLogLine> lines;
    std::vector<CLogLine> errors;
    CStampCount stamps;
};

// The rules in their plainest form, over the whole file in memory: a line begins at a byte
// that is not a break, ends after its first break (two bytes for CR LF or LF CR) or at the
// end of the file; each line is decoded and searched with FindErrorKeyword.
Result Expected(const std::string& bytes, unsigned codePage, const CKeywordSet* keywords,
                uint32_t maxLine = kMaxLineLength, const CStampRules* rules = nullptr) {
    Result r;
    CTimeStamp last;
    int32_t number = 0;
    size_t n = bytes.size();
    for (size_t i = 0; i < n;) {
        if (IsBreak(bytes[i])) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < n && !IsBreak(bytes[j]) && j - i < maxLine) ++j;
        size_t e;
        if (j - i >= maxLine) {
            e = i + maxLine;
        } else if (j == n) {
            e = n;
        } else {
            bool pair = j + 1 < n && IsBreak(bytes[j + 1]) && bytes[j + 1] != bytes[j];
            e = j + (pair ? 2 : 1);
            if (e - i > maxLine) e = i + maxLine;
        }
        CLogLine line;
        CTimeStamp own;
        StampForm form;
        if (ReadLineStamp(rules, bytes.data() + i, static_cast<int>(e - i), &own, &form)) {
            last = own;
            if (r.stamps.stamped++ == 0) r.stamps.firstForm = form;
        }
        line.timeStamp = last;
        line.lineNumber = number++;
        line.offset = i;
        line.length = static_cast<int32_t>(e - i);
        r.lines.push_back(line);
        if (keywords != nullptr) {
            int units = MultiByteToWide(codePage, bytes.data() + i, static_cast<int>(e - i), nullptr, 0);
            std::u16string wide(static_cast<size_t>(units > 0 ? units : 0), u'\0');
            if (units > 0) MultiByteToWide(codePage, bytes.data() + i, static_cast<int>(e - i), &wide[0], units);
            if (keywords->FindErrorKeyword(wide.data(), units > 0 ? units : 0) >= 0) r.errors.push_back(line);
        }
        i = e;
    }
    return r;
}

// The block sequence of a sequential load for files without lines longer than a block:
// each block starts at the first line the previous one did not finish, and a break in a
// block's last byte is read again with the next block.
std::vector<uint64_t> ExpectedBlocks(const std::string& bytes, uint32_t blockSize) {
    std::vector<uint64_t> blocks;
    uint64_t size = bytes.size();
    uint64_t offset = 0;
    while (offset < size) {
        uint64_t start = offset;
        uint64_t n = size - start < blockSize ? size - start : blockSize;
        blocks.push_back(start);
        uint64_t lineStart = 0;
        uint64_t lineEnd = 0;
        for (uint64_t i = 0; i < n; ++i) {
            char c = bytes[start + i];
            if (IsBreak(c)) {
                if (i + 1 < n) {
                    char d = bytes[start + i + 1];
                    lineEnd = IsBreak(d) && d != c ? i + 2 : i + 1;
                } else if (start + n < size) {
                    break;
                } else {
                    lineEnd = n;
                }
            }
            if (start + i + 1 >= size) lineEnd = i + 1;
            if (lineEnd > lineStart) {
                offset += lineEnd - lineStart;
                lineStart = lineEnd;
            }
        }
        if (offset == start) break;
    }
    return blocks;
}

class CRecordingListener : public CProgressListener {
public:
    void OnProgress(uint64_t position, uint64_t total) override {
        positions.push_back(position);
        totals.push_back(total);
        if (cancelAfter > 0 && static_cast<int>(positions.size()) >= cancelAfter) cancel->store(1);
        if (position >= cancelFrom) cancel->store(1);
    }
    std::vector<uint64_t> positions;
    std::vector<uint64_t> totals;
    int cancelAfter = 0;
    uint64_t cancelFrom = ~0ull;
    std::atomic<int>* cancel = nullptr;
};

void ExpectSameLines(const std::vector<CLogLine>& expected, const CLogLineList& actual, const char* what) {
    ASSERT_EQ(static_cast<int32_t>(expected.size()), actual.Count()) << what;
    for (int32_t i = 0; i < actual.Count(); ++i) {
        const CLogLine& a = actual[i];
        const CLogLine& e = expected[static_cast<size_t>(i)];
        ASSERT_EQ(e.lineNumber, a.lineNumber) << what << " entry " << i;
        ASSERT_EQ(e.offset, a.offset) << what << " entry " << i;
        ASSERT_EQ(e.length, a.length) << what << " entry " << i;
        ASSERT_TRUE(e.timeStamp == a.timeStamp) << what << " entry " << i;
    }
}

class LogLoaderTest : public ::testing::Test {
protected:
    // Loads bytes written to a file; the index stays in m_lines, the error lines in m_errors.
    const CLogLineList& Load(const std::string& bytes, CLoadRequest request = CLoadRequest()) {
        WriteBytes(m_dir.FsPath("log.txt"), bytes);
        m_file.Close();
        EXPECT_EQ(1, m_file.Open(m_dir.File("log.txt").c_str()));
        if (request.listener == nullptr) request.listener = &m_progress;
        m_progress.positions.clear();
        m_lines = LoadLogLines(&m_file, request, &m_errors);
        EXPECT_NE(nullptr, m_lines);
        return m_lines != nullptr ? *m_lines : m_empty;
    }

    std::vector<int32_t> Lengths() const {
        std::vector<int32_t> v;
        for (int32_t i = 0; i < m_lines->Count(); ++i) v.push_back((*m_lines)[i].length);
        return v;
    }
    std::vector<int32_t> ErrorNumbers() const {
        std::vector<int32_t> v;
        for (int32_t i = 0; i < m_errors.Count(); ++i) v.push_back(m_errors[i].lineNumber);
        return v;
    }

    TempDir m_dir;
    CLogFile m_file;
    std::unique_ptr<CLogLineList> m_lines;
    CLogLineList m_errors;
    CLogLineList m_empty;
    CRecordingListener m_progress;
};

TEST_F(LogLoaderTest, EveryLineBreakFormEndsOneLine) {
    Load("a\r\nb");
    EXPECT_EQ((std::vector<int32_t>{3, 1}), Lengths());
    Load("a\n\rb");
    EXPECT_EQ((std::vector<int32_t>{3, 1}), Lengths());
    Load("a\rb\nc\r\nd\n\re");
    EXPECT_EQ((std::vector<int32_t>{2, 2, 3, 3, 1}), Lengths());
    EXPECT_EQ(10u, (*m_lines)[4].offset);
}

TEST_F(LogLoaderTest, BlankLinesAreSkippedAndLineNumbersCountOnlyTheRest) {
    const CLogLineList& lines = Load("a\r\n\r\nb\n\n\r\r\nc\n");
    ASSERT_EQ(3, lines.Count());
    EXPECT_EQ(0u, lines[0].offset);
    EXPECT_EQ(5u, lines[1].offset);
    EXPECT_EQ(1, lines[1].lineNumber);
    EXPECT_EQ(2, lines[1].length);
    EXPECT_EQ(11u, lines[2].offset);
    EXPECT_EQ(2, lines[2].lineNumber);
    // Only breaks: no line at all.
    EXPECT_EQ(0, Load("\r\n\n\r\r").Count());
}

TEST_F(LogLoaderTest, LastLineWithoutBreakIsIndexed) {
    const CLogLineList& lines = Load("first\nlast");
    ASSERT_EQ(2, lines.Count());
    EXPECT_EQ(6u, lines[1].offset);
    EXPECT_EQ(4, lines[1].length);
    EXPECT_EQ(1, Load("x").Count());
}

TEST_F(LogLoaderTest, EmptyFileGivesAnEmptyIndexAndNoProgressCall) {
    const CLogLineList& lines = Load("");
    EXPECT_EQ(0, lines.Count());
    EXPECT_TRUE(m_progress.positions.empty());
}

TEST_F(LogLoaderTest, CrLfSplitByTheTenMebibyteBoundaryStaysOneLine) {
    // The CR is the block's last byte, its LF the next block's first.
    std::string bytes(kLoadBlockSize - 1, 'x');
    bytes[100] = '\n';
    bytes += "\r\nnext line\r\n";
    const CLogLineList& lines = Load(bytes);
    ASSERT_EQ(3, lines.Count());
    EXPECT_EQ(101u, lines[1].offset);
    EXPECT_EQ(static_cast<int32_t>(kLoadBlockSize + 1 - 101), lines[1].length);
    EXPECT_EQ(static_cast<uint64_t>(kLoadBlockSize + 1), lines[2].offset);
    // The second block begins at the line the first did not finish.
    EXPECT_EQ((std::vector<uint64_t>{0, 101}), m_progress.positions);
    EXPECT_EQ(bytes.size(), m_progress.totals[0]);
}

TEST_F(LogLoaderTest, LineLongerThanABlockIsIndexedAndLoadingGoesOn) {
    std::string bytes = "before\n" + std::string(kLoadBlockSize + 12345, 'L') + "\r\nafter 1\nafter 2";
    const CLogLineList& lines = Load(bytes);
    ASSERT_EQ(4, lines.Count());
    EXPECT_EQ(static_cast<int32_t>(kLoadBlockSize + 12345 + 2), lines[1].length);
    EXPECT_EQ(7u + kLoadBlockSize + 12345 + 2, lines[2].offset);
    EXPECT_EQ(3, lines[3].lineNumber);

    // The same with small blocks, on one thread and on several.
    std::string small = "a\n" + std::string(1000, 'L') + "\nb\n" + std::string(77, 'M') + "\r\n\r\nc";
    for (int threads : {1, 3}) {
        CLoadRequest request;
        request.blockSize = 16;
        request.threads = threads;
        Load(small, request);
        ExpectSameLines(Expected(small, 0, nullptr).lines, *m_lines, "small blocks");
    }
}

TEST_F(LogLoaderTest, LinesLongerThanTheLimitAreIndexedInPieces) {
    CLoadRequest request;
    request.maxLineLength = 10;
    std::string bytes = "0123456789abcdefghij\r\nshort\r\n0123456789\r\n";
    Load(bytes, request);
    ExpectSameLines(Expected(bytes, 0, nullptr, 10).lines, *m_lines, "pieces");
    EXPECT_EQ((std::vector<int32_t>{10, 10, 7, 10}), Lengths());
}

TEST_F(LogLoaderTest, LinesWithoutStampCarryThePreviousOneAndEarlierLinesCarryZero) {
    const CLogLineList& lines =
        Load("header\n2021-03-04 05:06:07,089 start\n\tat trace\n2021-03-04 05:06:09,000 next\ntail\n");
    ASSERT_EQ(5, lines.Count());
    EXPECT_FALSE(lines[0].timeStamp.HasDate());
    EXPECT_EQ(18367089u, lines[1].timeStamp.milliseconds);
    EXPECT_TRUE(lines[2].timeStamp == lines[1].timeStamp);
    EXPECT_EQ(18369000u, lines[3].timeStamp.milliseconds);
    EXPECT_TRUE(lines[4].timeStamp == lines[3].timeStamp);
}

class LogLoaderKeywordTest : public LogLoaderTest {
protected:
    void SetUp() override {
        m_keywords.Add(u"ERROR", 6, 1, 1);
        m_keywords.Add(u"FATAL", 6, 0, 1);
        m_keywords.Add(u"WARN", 7, 0, 0);
        m_keywords.Add(u"エラー", 8, 0, 1);
        m_keywords.BuildFlagTable();
        m_request.keywords = &m_keywords;
        m_request.codePage = kCodePageUtf8;
    }
    CKeywordSet m_keywords;
    CLoadRequest m_request;
};

TEST_F(LogLoaderKeywordTest, ErrorLinesAreListedOnceInFileOrder) {
    Load("ok\nERROR and FATAL\nWARN only\nlast ERROR", m_request);
    EXPECT_EQ((std::vector<int32_t>{1, 3}), ErrorNumbers());
    // The keyword ends the last line, which has no break.
    EXPECT_EQ(10, m_errors[1].length);
    // The listed entries are the index entries.
    EXPECT_EQ((*m_lines)[1].offset, m_errors[0].offset);
}

TEST_F(LogLoaderKeywordTest, KeywordsWithoutErrorFlagListNothing) {
    Load("WARN\nWARN WARN\nERRO\nerror\n", m_request);
    EXPECT_EQ(0, m_errors.Count());
}

TEST_F(LogLoaderKeywordTest, ErrorLinesCarryTheLinesStamps) {
    Load("2021-03-04 05:06:07 begin\n\tat ERROR trace\n", m_request);
    ASSERT_EQ(1, m_errors.Count());
    EXPECT_EQ(18367000u, m_errors[0].timeStamp.milliseconds);
}

TEST_F(LogLoaderKeywordTest, NonAsciiTextAndKeywordsAreComparedAsUtf16) {
    Load(
        "日本語 ERROR\n日本語のエラーです\nエラ\xE3\x83\nplain\n\xFF"
        "FATAL\n",
        m_request);
    EXPECT_EQ((std::vector<int32_t>{0, 1, 4}), ErrorNumbers());
    // Decoded as ANSI-only bytes the Japanese keyword cannot match, ASCII ones still do.
    m_request.codePage = kCodePageShiftJis;
    Load("日本語のエラーです\nx ERROR\n", m_request);
    EXPECT_EQ((std::vector<int32_t>{1}), ErrorNumbers());
}

TEST_F(LogLoaderKeywordTest, ErrorListIsEmptiedByEachLoad) {
    Load("ERROR\n", m_request);
    EXPECT_EQ(1, m_errors.Count());
    Load("fine\n", m_request);
    EXPECT_EQ(0, m_errors.Count());
}

TEST_F(LogLoaderKeywordTest, StaleFlagTableIsHonouredAsItStands) {
    // An error keyword added after the table was built can only match where a flagged unit
    // stands: here none does.
    m_keywords.Add(u"panic", 6, 0, 1);
    Load("panic now\n", m_request);
    EXPECT_EQ(0, m_errors.Count());
}

TEST_F(LogLoaderTest, ProgressReportsEachBlockBeforeItIsScanned) {
    std::string bytes;
    for (int i = 0; i < 60; ++i)
        bytes += "line " + std::to_string(i) + (i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n\n" : "\r");
    for (int threads : {1, 2}) {
        CLoadRequest request;
        request.blockSize = 32;
        request.threads = threads;
        request.countAbove = threads == 1 ? ~0ull : 0;  // one thread: one pass, no count first
        Load(bytes, request);
        ExpectSameLines(Expected(bytes, 0, nullptr).lines, *m_lines, "progress load");
        ASSERT_FALSE(m_progress.positions.empty());
        for (size_t i = 1; i < m_progress.positions.size(); ++i) {
            EXPECT_LE(m_progress.positions[i - 1], m_progress.positions[i]);
        }
        EXPECT_LE(m_progress.positions.back(), bytes.size());
        if (threads == 1) {
            EXPECT_EQ(ExpectedBlocks(bytes, 32), m_progress.positions);
        }
    }
}

TEST_F(LogLoaderTest, CancelledLoadReturnsTheLinesIndexedSoFar) {
    std::string bytes;
    for (int i = 0; i < 400; ++i) bytes += "line number " + std::to_string(i) + "\n";
    Result expected = Expected(bytes, 0, nullptr);
    for (int threads : {1, 2}) {
        std::atomic<int> cancel{0};
        CRecordingListener listener;
        listener.cancel = &cancel;
        listener.cancelFrom = bytes.size() / 2;  // while indexing
        CLoadRequest request;
        request.blockSize = 64;
        request.threads = threads;
        request.cancel = &cancel;
        request.listener = &listener;
        const CLogLineList& lines = Load(bytes, request);
        EXPECT_GT(lines.Count(), 0);
        // One thread stops at the block after the cancel. With two, the other thread may have
        // indexed the rest by the time the cancel comes: then the whole index is the prefix.
        if (threads == 1) {
            EXPECT_LT(lines.Count(), static_cast<int32_t>(expected.lines.size()));
        } else {
            EXPECT_LE(lines.Count(), static_cast<int32_t>(expected.lines.size()));
        }
        // A prefix of the whole index.
        std::vector<CLogLine> prefix(expected.lines.begin(), expected.lines.begin() + lines.Count());
        ExpectSameLines(prefix, lines, "cancelled");
    }
    // Cancelled before it began: nothing.
    std::atomic<int> cancel{1};
    CLoadRequest request;
    request.cancel = &cancel;
    EXPECT_EQ(0, Load(bytes, request).Count());
}

// A file counted before it is indexed reports the count as the first quarter of its
// progress, block by block, and a cancel while counting leaves nothing indexed.
TEST_F(LogLoaderTest, CountingPassReportsProgressAndHonoursCancel) {
    std::string bytes;
    for (int i = 0; i < 400; ++i) bytes += "counted line " + std::to_string(i) + "\n";
    const uint64_t quarter = bytes.size() / 4;
    for (int threads : {1, 2}) {
        CLoadRequest request;
        request.blockSize = 64;
        request.threads = threads;
        request.availableBytes = EstimatedIndexBytes(400);  // not for a file of one-byte lines: counted
        Load(bytes, request);
        ExpectSameLines(Expected(bytes, 0, nullptr).lines, *m_lines, "counted load");
        const std::vector<uint64_t>& p = m_progress.positions;
        ASSERT_FALSE(p.empty());
        for (size_t i = 1; i < p.size(); ++i) ASSERT_LE(p[i - 1], p[i]) << "report " << i;
        EXPECT_LE(p.back(), bytes.size());
        // Alone, every block of the count is reported; with a helper, at least this thread's first chunk.
        size_t counting =
            static_cast<size_t>(std::count_if(p.begin(), p.end(), [&](uint64_t v) { return v < quarter; }));
        EXPECT_GE(counting, threads == 1 ? (bytes.size() - 4) / 64 : 4u);
        EXPECT_GT(p.size(), counting);

        std::atomic<int> cancel{0};
        CRecordingListener listener;
        listener.cancel = &cancel;
        listener.cancelAfter = 2;
        request.availableBytes = EstimatedIndexBytes(400);
        request.listener = &listener;
        request.cancel = &cancel;
        EXPECT_EQ(0, Load(bytes, request).Count());
        EXPECT_EQ(0, m_errors.Count());
        ASSERT_EQ(2u, listener.positions.size());  // it stopped at the next block
        EXPECT_LT(listener.positions[1], quarter);

        // An index that the memory the system can give cannot hold is refused once counted,
        // with its figures; one that fits is made.
        CLoadResult result;
        request = CLoadRequest();
        request.blockSize = 64;
        request.threads = threads;
        request.result = &result;
        request.availableBytes = EstimatedIndexBytes(400) - 1;
        EXPECT_EQ(nullptr, LoadLogLines(&m_file, request, &m_errors));
        EXPECT_EQ(CLoadStatus::kTooLarge, result.status);
        EXPECT_EQ(400, result.lines);
        EXPECT_EQ(EstimatedIndexBytes(400), result.needed);
        EXPECT_EQ(request.availableBytes, result.available);
        request.availableBytes += 1;
        EXPECT_EQ(400, Load(bytes, request).Count());
        EXPECT_EQ(CLoadStatus::kDone, result.status);
    }
}

// An index that cannot grow, or would not fit at the rate its codes take (every stamp
// jumps: some 10 bytes a line where 4 were expected), is refused with its figures on every
// path: read in one pass, or counted and then indexed on one or two threads, or indexed in
// chunks without a count (then counted after all); when a line or an error line cannot be
// taken, in a run or when the runs join.
TEST_F(LogLoaderKeywordTest, AnIndexOutOfMemoryIsRefusedOnEveryPath) {
    std::string bytes;
    const int64_t n = 600;
    int64_t e = 0;
    for (int64_t i = 0; i < n; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "2024-01-%02d %02d:%02d:00.000 %s\n", static_cast<int>(1 + i / 720),
                      static_cast<int>(i / 30 % 24), static_cast<int>(i * 2 % 60), i % 7 == 0 ? "ERROR" : "x");
        bytes += line;
        e += i % 7 == 0 ? 1 : 0;
    }
    struct Budget {
        explicit Budget(int64_t entries) { g_lineListBudget = entries; }
        ~Budget() { g_lineListBudget = -1; }
    };
    m_request.blockSize = 256;
    for (int path = 0; path < 4; ++path) {
        m_request.threads = path == 0 ? 1 : path == 1 ? 1 : 2;
        m_request.countAbove = path == 0 ? ~0ull : 0;
        bool joined = path > 0;
        bool counted = path == 1 || path == 2;
        // Room for this index but not for one of one-byte lines: counted first.
        m_request.availableBytes = counted ? 2 * EstimatedIndexBytes(n, 20 * n, n) : 0;
        {
            Budget enough(joined ? 2 * (n + e) : n + e);
            ASSERT_EQ(n, Load(bytes, m_request).Count()) << path;
            ASSERT_EQ(e, m_errors.Count()) << path;
        }
        // No lines, the first error line, the first run to join, the last error lines to join.
        for (int64_t entries : {int64_t{5}, int64_t{1}, n + e + 1, 2 * (n + e) - 1}) {
            if (!joined && entries > n + e) continue;
            // Uncounted, a chunk may join with its lines coded once: enough for the last ones.
            if (path == 3 && entries > n + e + 1) continue;
            Budget budget(entries);
            CLoadResult result;
            CLoadRequest request = m_request;
            request.result = &result;
            EXPECT_EQ(nullptr, LoadLogLines(&m_file, request, &m_errors)) << path << " " << entries;
            EXPECT_EQ(CLoadStatus::kTooLarge, result.status) << path << " " << entries;
            EXPECT_EQ(n, result.lines) << path << " " << entries;
            EXPECT_GT(result.needed, result.available) << path << " " << entries;
            EXPECT_EQ(0, m_errors.Count());
        }
        for (uint64_t available : {EstimatedIndexBytes(n), EstimatedIndexBytes(n, 20 * n, n)}) {
            CLoadResult result;
            CLoadRequest request = m_request;
            request.result = &result;
            request.availableBytes = available;
            std::unique_ptr<CLogLineList> lines = LoadLogLines(&m_file, request, &m_errors);
            bool fits = available > EstimatedIndexBytes(n);
            EXPECT_EQ(fits ? CLoadStatus::kDone : CLoadStatus::kTooLarge, result.status) << path;
            EXPECT_EQ(fits ? n : 0, lines != nullptr ? lines->Count() : 0) << path;
            if (fits) continue;
            EXPECT_EQ(n, result.lines) << path;
            EXPECT_GT(result.needed, 2 * available) << path;
            EXPECT_EQ(available, result.available) << path;
        }
    }
}

// A file whose reads fail from some offset on, and that counts the bytes read.
class CFailingFile : public CLogFile {
public:
    uint32_t Read(void* buffer, uint32_t count, uint64_t offset) override {
        if (offset >= failFrom) return 0;
        if (offset + count > failFrom) count = static_cast<uint32_t>(failFrom - offset);
        uint32_t n = CLogFile::Read(buffer, count, offset);
        bytesRead += n;
        return n;
    }
    uint64_t failFrom = ~0ull;
    uint64_t bytesRead = 0;
};

// A file large enough to be indexed in chunks is counted first only when its index might not
// fit (were every line a byte long); otherwise each byte is read once (and a line cut by a
// block again), with the same lines and one progress range.
TEST_F(LogLoaderKeywordTest, AnIndexThatSurelyFitsIsMadeReadingTheFileOnce) {
    std::string bytes;
    for (int i = 0; i < 400; ++i) {
        bytes += i % 5 == 0 ? "continued\r\n" : "2024-01-02 03:04:" + std::to_string(10 + i % 50) + ".000 ";
        bytes += i % 7 == 0 ? "ERROR line\n" : "line\n\n";
    }
    WriteBytes(m_dir.FsPath("once.txt"), bytes);
    Result expected = Expected(bytes, 0, &m_keywords);
    for (bool surely : {true, false}) {
        CFailingFile file;
        ASSERT_EQ(1, file.Open(m_dir.File("once.txt").c_str()));
        CLoadRequest request = m_request;
        request.blockSize = 512;
        request.threads = 1;
        request.countAbove = 0;
        request.listener = &m_progress;
        request.availableBytes = surely ? 0 : 2 * EstimatedIndexBytes(static_cast<int64_t>(expected.lines.size()));
        m_progress.positions.clear();
        std::unique_ptr<CLogLineList> lines = LoadLogLines(&file, request, &m_errors);
        ASSERT_NE(nullptr, lines);
        ExpectSameLines(expected.lines, *lines, surely ? "read once" : "counted");
        ExpectSameLines(expected.errors, m_errors, surely ? "read once, errors" : "counted, errors");
        if (surely) {
            EXPECT_LT(file.bytesRead, bytes.size() + bytes.size() / 2);
            EXPECT_EQ(ExpectedBlocks(bytes, 512), m_progress.positions);
        } else {
            EXPECT_GE(file.bytesRead, 2 * bytes.size() - 3);
        }
    }
}

// A line over the length limit sends a file indexed in chunks to the one-pass sequential
// load; the chunked pass stops at the line instead of reading the rest first.
TEST_F(LogLoaderTest, AnOverLongLineEndsTheChunkedPassWhereItIsMet) {
    std::string bytes = std::string(40, 'L') + "\n";
    for (int i = 0; i < 300; ++i) bytes += "entry " + std::to_string(i) + "\n";
    WriteBytes(m_dir.FsPath("cut.txt"), bytes);
    for (int threads : {1, 3}) {
        CFailingFile file;
        ASSERT_EQ(1, file.Open(m_dir.File("cut.txt").c_str()));
        CLoadRequest request;
        request.blockSize = 64;
        request.maxLineLength = 16;
        request.threads = threads;
        CLogLineList errors;
        std::unique_ptr<CLogLineList> lines = LoadLogLines(&file, request, &errors);
        ASSERT_NE(nullptr, lines);
        ExpectSameLines(Expected(bytes, 0, nullptr, 16).lines, *lines, "pieces");
        // Helper threads may have read a few blocks before the cut was seen.
        if (threads == 1) {
            EXPECT_LT(file.bytesRead, bytes.size() + 256);
        }
    }
}

TEST_F(LogLoaderTest, FailedReadEndsLoadingWithTheLinesBeforeIt) {
    std::string bytes;
    for (int i = 0; i < 100; ++i) bytes += "entry " + std::to_string(i) + "\n";
    WriteBytes(m_dir.FsPath("fail.txt"), bytes);
    for (uint32_t block : {32u, 4096u}) {
        CFailingFile file;
        ASSERT_EQ(1, file.Open(m_dir.File("fail.txt").c_str()));
        file.failFrom = 300;
        CLoadRequest request;
        request.blockSize = block;
        request.threads = 1;
        CLogLineList errors;
        std::unique_ptr<CLogLineList> lines = LoadLogLines(&file, request, &errors);
        ASSERT_NE(nullptr, lines);
        ASSERT_GT(lines->Count(), 0);
        const CLogLine& last = (*lines)[lines->Count() - 1];
        EXPECT_LE(last.offset + static_cast<uint64_t>(last.length), 300u);
        Result expected = Expected(bytes.substr(0, last.offset + static_cast<uint64_t>(last.length)), 0, nullptr);
        ExpectSameLines(expected.lines, *lines, "before the failure");
    }
}

// Random logs: stamps, stack traces, every break form, Japanese text, invalid bytes and
// keywords anywhere, loaded with various block sizes and thread counts.
// moreStamps adds pieces that only the built-in forms beyond the line start read.
std::string RandomLog(std::mt19937& rng, int lines, bool moreStamps = false) {
    static const char* const kPieces[] = {"2024-01-02 03:04:05.678 ",
                                          "Jan  2 03:04:05 ",
                                          "\tat com.example.Run(Run.java:1) ",
                                          "ERROR ",
                                          "ERRO",
                                          "FATAL",
                                          "WARN ",
                                          "日本語",
                                          "エラー",
                                          "\xE3\x82",
                                          "\xFF",
                                          "plain text ",
                                          "x",
                                          "  ",
                                          "[10/Oct/2000:13:55:36 -0700] ",
                                          "1131566461 ",
                                          "2024-05-06T08:00:00Z "};
    size_t pieceCount = sizeof kPieces / sizeof kPieces[0] - (moreStamps ? 0 : 3);
    static const char* const kBreaks[] = {"\n", "\r\n", "\r", "\n\r", "\n\n", "\r\r", "\r\n\r\n", ""};
    std::string s;
    for (int i = 0; i < lines; ++i) {
        int pieces = static_cast<int>(rng() % 6);
        for (int k = 0; k < pieces; ++k) s += kPieces[rng() % pieceCount];
        if (rng() % 40 == 0) s += std::string(rng() % 300, 'z');
        s += kBreaks[rng() % (sizeof kBreaks / sizeof kBreaks[0])];
    }
    return s;
}

TEST_F(LogLoaderKeywordTest, ThreadedAndByteLevelLoadsMatchThePlainReading) {
    std::mt19937 rng(12345);
    CKeywordSet asciiOnly;
    asciiOnly.Add(u"ERROR", 6, 0, 1);
    asciiOnly.Add(u"FATAL", 6, 0, 1);
    asciiOnly.BuildFlagTable();
    // From round 24 on, the log holds stamps in more forms and the load reads them too.
    CStampRules moreForms;
    moreForms.moreForms = true;
    for (int round = 0; round < 32; ++round) {
        bool more = round >= 24;
        std::string bytes = RandomLog(rng, 50 + static_cast<int>(rng() % 400), more);
        const CKeywordSet* sets[] = {&m_keywords, &asciiOnly};
        CLoadRequest request;
        request.keywords = sets[round % 2];
        request.codePage = round % 3 == 0 ? kCodePageAnsi : round % 3 == 1 ? kCodePageUtf8 : kCodePageShiftJis;
        request.blockSize = 8 + static_cast<uint32_t>(rng() % 200);
        request.threads = 1 + round % 3;
        request.stamps = more && round % 4 != 0 ? &moreForms : nullptr;
        CStampCount found;
        request.stampCount = &found;
        Result expected = Expected(bytes, request.codePage, request.keywords, kMaxLineLength, request.stamps);
        // Helpers that cannot start leave every chunk to this thread.
        g_helperThreadsRefused = round % 5 == 2;
        Load(bytes, request);
        g_helperThreadsRefused = false;
        std::string what = "round " + std::to_string(round);
        ExpectSameLines(expected.lines, *m_lines, what.c_str());
        ExpectSameLines(expected.errors, m_errors, (what + " errors").c_str());
        EXPECT_EQ(expected.stamps.stamped, found.stamped) << what;
        EXPECT_EQ(expected.stamps.firstForm, found.firstForm) << what;
    }
}

// The same rules over a UTF-16 file after its byte-order mark: units break lines, offsets
// and lengths count bytes; a lone last byte is one more character. Stamps are read from the
// line's text in UTF-8.
Result Expected16(const std::string& bytes, bool big, const CKeywordSet* keywords) {
    std::vector<char16_t> u;
    std::vector<size_t> at;  // byte offset of each unit
    for (size_t i = 2; i < bytes.size(); i += 2) {
        at.push_back(i);
        if (i + 1 == bytes.size()) {
            u.push_back(0xFFFD);
        } else {
            auto b0 = static_cast<unsigned char>(bytes[i]), b1 = static_cast<unsigned char>(bytes[i + 1]);
            u.push_back(static_cast<char16_t>(big ? (b0 << 8 | b1) : (b0 | b1 << 8)));
        }
    }
    at.push_back(bytes.size());
    auto isBreak = [](char16_t c) { return c == u'\r' || c == u'\n'; };
    Result r;
    CTimeStamp last;
    int32_t number = 0;
    for (size_t i = 0; i < u.size();) {
        if (isBreak(u[i])) {
            ++i;
            continue;
        }
        size_t j = i;
        while (j < u.size() && !isBreak(u[j])) ++j;
        size_t e = j == u.size() ? j : j + (j + 1 < u.size() && isBreak(u[j + 1]) && u[j + 1] != u[j] ? 2 : 1);
        int count = static_cast<int>(e - i);
        char utf8[4096] = {};
        int n = WideToMultiByte(kCodePageUtf8, u.data() + i, count, utf8, sizeof utf8);
        CLogLine line;
        CTimeStamp own;
        if (ParseTimeStamp(utf8, n, &own)) last = own;
        line.timeStamp = last;
        line.lineNumber = number++;
        line.offset = at[i];
        line.length = static_cast<int32_t>(at[e] - at[i]);
        r.lines.push_back(line);
        if (keywords != nullptr && keywords->FindErrorKeyword(u.data() + i, count) >= 0) r.errors.push_back(line);
        i = e;
    }
    return r;
}

TEST_F(LogLoaderKeywordTest, Utf16LogsBreakOnUnitsAndKeepStampsAndErrorLines) {
    // A CR LF pair across the boundary of 8-byte blocks stays one break.
    CLoadRequest request = m_request;
    request.codePage = kCodePageUtf16Le;
    request.blockSize = 8;
    const CLogLineList& lines = Load(std::string("\xFF\xFE"
                                                 "a\0b\0\r\0\n\0c\0",
                                                 12),
                                     request);
    ASSERT_EQ(2, lines.Count());
    EXPECT_EQ(2u, lines[0].offset);
    EXPECT_EQ(8, lines[0].length);
    EXPECT_EQ(10u, lines[1].offset);

    std::mt19937 rng(777);
    for (int round = 0; round < 16; ++round) {
        // Characters whose units hold a CR or LF byte: U+0D0A, U+0A0D, U+010D.
        std::string text =
            RandomLog(rng, 30 + static_cast<int>(rng() % 150)) + "\xE0\xB4\x8A\xE0\xA8\x8D\xC4\x8D ERROR";
        std::u16string units(text.size(), u'\0');
        units.resize(static_cast<size_t>(MultiByteToWide(kCodePageUtf8, text.data(), static_cast<int>(text.size()),
                                                         &units[0], static_cast<int>(text.size()))));
        bool big = round % 2 == 1;
        std::string bytes = big ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t c : units) {
            bytes += static_cast<char>(big ? c >> 8 : c & 0xFF);
            bytes += static_cast<char>(big ? c & 0xFF : c >> 8);
        }
        if (round % 4 >= 2) bytes += 'z';  // an odd size
        request.codePage = big ? kCodePageUtf16Be : kCodePageUtf16Le;
        request.blockSize = 6 + static_cast<uint32_t>(rng() % 120);
        request.threads = 1 + round % 3;
        request.countAbove = round % 3 == 0 ? 64 : 0;  // large files are read in one pass too
        Result expected = Expected16(bytes, big, &m_keywords);
        Load(bytes, request);
        std::string what = "round " + std::to_string(round);
        ExpectSameLines(expected.lines, *m_lines, what.c_str());
        ExpectSameLines(expected.errors, m_errors, (what + " errors").c_str());
    }
}

// UTF-16 lines with a stamp after a prefix (ASCII or not) or an epoch time: read with the
// further forms in either byte order, and not without them.
TEST_F(LogLoaderTest, Utf16LogsKeepStampsAfterAPrefixAndEpochTimes) {
    const std::u16string text =
        u"node-07 app[12]: 2024-03-15 23:10:00.015 INFO first\r\n"
        u"\tat com.example.Trace(Trace.java:42)\r\n"
        u"1710547200.5 INFO epoch seconds\n"
        u"\u30ce\u30fc\u30c9 [worker] 2024-03-16 01:02:03 INFO after Japanese\n"
        u"[1710633600123] epoch milliseconds\n";
    struct {
        uint8_t day;
        uint32_t ms;
    } const expected[] = {{15, 83400015}, {15, 83400015}, {16, 500}, {16, 3723000}, {17, 123}};
    CStampRules moreForms;
    moreForms.moreForms = true;
    for (bool big : {false, true}) {
        std::string bytes = big ? "\xFE\xFF" : "\xFF\xFE";
        for (char16_t c : text) {
            bytes += static_cast<char>(big ? c >> 8 : c & 0xFF);
            bytes += static_cast<char>(big ? c & 0xFF : c >> 8);
        }
        CLoadRequest request;
        request.codePage = big ? kCodePageUtf16Be : kCodePageUtf16Le;
        request.stamps = &moreForms;
        CStampCount found;
        request.stampCount = &found;
        const CLogLineList& lines = Load(bytes, request);
        ASSERT_EQ(5, lines.Count()) << big;
        for (int k = 0; k < 5; ++k) {
            const CTimeStamp& stamp = lines[k].timeStamp;
            EXPECT_EQ(2024, stamp.year) << big << " line " << k;
            EXPECT_EQ(3, stamp.month) << big << " line " << k;
            EXPECT_EQ(expected[k].day, stamp.day) << big << " line " << k;
            EXPECT_EQ(expected[k].ms, stamp.milliseconds) << big << " line " << k;
        }
        EXPECT_EQ(4, found.stamped) << big;
        EXPECT_EQ(StampForm::kIsoDate, found.firstForm) << big;
        // The line-start recogniser alone finds none of them.
        request.stamps = nullptr;
        for (int k = 0; k < 5; ++k) EXPECT_FALSE(Load(bytes, request)[k].timeStamp.HasDate()) << big;
    }
}

TEST_F(LogLoaderTest, Utf8ByteOrderMarkStartsNoLine) {
    std::string bytes =
        "\xEF\xBB\xBF"
        "2021-03-04 05:06:07 first\n" +
        std::string(300, 'x') + "\n";
    for (uint64_t countAbove : {0ull, 64ull}) {
        CLoadRequest request;
        request.codePage = kCodePageUtf8;
        request.blockSize = 128;
        request.threads = 2;
        request.countAbove = countAbove;
        const CLogLineList& lines = Load(bytes, request);
        ASSERT_EQ(2, lines.Count());
        EXPECT_EQ(3u, lines[0].offset);
        EXPECT_TRUE(lines[0].timeStamp.HasDate());
    }
    // In another code page the mark is text.
    EXPECT_EQ(0u, Load(bytes)[0].offset);
}

// Every place a keyword can stand relative to the 16- and 32-byte steps of the byte scan,
// with and without a byte of 0x80 or more before or after it.
TEST(ErrorScannerTest, AgreesWithTheKeywordSetAtEveryPosition) {
    CKeywordSet keywords;
    keywords.Add(u"ERROR", 6, 0, 1);
    keywords.Add(u"E", 6, 0, 0);
    keywords.Add(u"Xy", 6, 0, 1);
    keywords.BuildFlagTable();
    for (unsigned codePage : {kCodePageUtf8, 1252u, kCodePageShiftJis}) {
        CErrorScanner scanner(&keywords, codePage);
        ASSERT_EQ(1, scanner.Prepare());
        for (size_t length = 1; length <= 80; ++length) {
            for (size_t at = 0; at < length; ++at) {
                for (int high = -1; high < 2; ++high) {
                    std::string line(length, 'E');  // flagged bytes everywhere, no match without help
                    const char* word = at % 2 == 0 ? "ERROR" : "Xy";
                    line.replace(at, std::string(word).size(), word);
                    line.resize(length);
                    if (high >= 0 && length > 1) line[high == 0 ? 0 : length - 1] = '\xE9';
                    int units = MultiByteToWide(codePage, line.data(), static_cast<int>(line.size()), nullptr, 0);
                    std::u16string wide(static_cast<size_t>(units), u'\0');
                    MultiByteToWide(codePage, line.data(), static_cast<int>(line.size()), &wide[0], units);
                    int expected = keywords.FindErrorKeyword(wide.data(), units) >= 0 ? 1 : 0;
                    ASSERT_EQ(expected, scanner.HasError(line.data(), static_cast<uint32_t>(line.size())))
                        << "code page " << codePage << " length " << length << " at " << at << " high " << high;
                }
            }
        }
    }
}

}  // namespace
