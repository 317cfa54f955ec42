// Following a growing log: after appends cut at random points, the index, the error lines
// and the stamps equal a full load of the file as it then is, in single-byte code pages and
// in UTF-16 (cut at odd bytes too), with lines longer than the maximum cut into pieces.
#include "loader/log_follow.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <string>

#include "document/log_file.h"
#include "keywords/keyword_set.h"
#include "test_support.h"

using testing_support::TempDir;

namespace {

void ExpectSame(const CLogLineList& a, const CLogLineList& b, const char* what) {
    ASSERT_EQ(a.Count(), b.Count()) << what;
    for (int32_t i = 0; i < a.Count(); ++i) {
        const CLogLine& x = a[i];
        const CLogLine& y = b[i];
        ASSERT_EQ(x.lineNumber, y.lineNumber) << what << " " << i;
        ASSERT_EQ(x.offset, y.offset) << what << " " << i;
        ASSERT_EQ(x.length, y.length) << what << " " << i;
        ASSERT_EQ(0, std::memcmp(&x.timeStamp, &y.timeStamp, sizeof x.timeStamp)) << what << " " << i;
    }
}

// Random lines: stamped or not, some with the error keyword or Japanese text, every break
// form, empty lines, and now and then a long one.
std::string RandomLog(std::mt19937& random, int lines) {
    static const char* const kBreaks[] = {"\r\n", "\n", "\r", "\n\r", "\r\n\r\n", "\n\n"};
    std::string log;
    for (int i = 0; i < lines; ++i) {
        if (random() % 3 != 0) {
            char stamp[40];
            snprintf(stamp, sizeof stamp, "2024-01-02 03:%02u:%02u.%03u ", static_cast<unsigned>(random() % 60),
                     static_cast<unsigned>(random() % 60), static_cast<unsigned>(random() % 1000));
            log += stamp;
        }
        log += random() % 5 == 0 ? "FATAL " : "info ";
        if (random() % 7 == 0) log += "\xe6\x97\xa5\xe6\x9c\xac ";
        log += std::string(random() % 20 == 0 ? 5000 + random() % 20000 : random() % 80, 'a' + random() % 26);
        log += kBreaks[random() % 6];
    }
    return log;
}

// The log in UTF-16 (it holds ASCII and three-byte UTF-8 characters only), with a
// byte-order mark in little-endian order.
std::string Utf16(const std::string& utf8, bool bigEndian) {
    std::string out = bigEndian ? "" : "\xFF\xFE";
    for (size_t i = 0; i < utf8.size();) {
        auto b = static_cast<unsigned char>(utf8[i]);
        unsigned c = b;
        if (b >= 0xE0) {
            c = (b & 0x0F) << 12 | (utf8[i + 1] & 0x3F) << 6 | (utf8[i + 2] & 0x3F);
            i += 3;
        } else {
            ++i;
        }
        char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
        out += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return out;
}

struct Followed {
    CLogLineList lines;
    CLogLineList errors;
    CFollowState state;
};

TEST(FollowLogLines, AppendsCutAnywhereGiveTheFullLoadsIndex) {
    CKeywordSet keywords;
    keywords.Add(u"FATAL", 6, 0, 1);
    keywords.BuildFlagTable();
    for (unsigned codePage : {0u, 65001u, 1200u, 1201u}) {
        for (uint32_t blockSize : {64u, 4096u, kLoadBlockSize}) {
            std::mt19937 random(codePage + blockSize);
            TempDir dir;
            std::string path = dir.FsPath("grow.log").string();
            bool wide = codePage >= 1200u;
            std::string all = wide ? Utf16(RandomLog(random, 200), codePage == 1201u) : RandomLog(random, 400);
            size_t written = random() % 200;
            std::ofstream(path, std::ios::binary).write(all.data(), static_cast<std::streamsize>(written));
            CLoadRequest request;
            request.codePage = codePage;
            request.keywords = &keywords;
            request.blockSize = blockSize;
            request.maxLineLength = blockSize < kLoadBlockSize ? 1001 : kMaxLineLength;
            request.threads = 1;
            CLogFile file;
            ASSERT_EQ(1, file.Open(dir.File("grow.log").c_str()));
            Followed f;
            std::unique_ptr<CLogLineList> first = LoadLogLines(&file, request, &f.errors);
            ASSERT_NE(nullptr, first);
            f.lines.Append(*first, 0, first->Count());
            StartFollowing(f.lines, file.Size(), &f.state, request.maxLineLength);
            while (written < all.size()) {
                // Cut anywhere: inside a line, between CR and LF, inside a UTF-8 sequence.
                size_t n = 1 + random() % (random() % 4 == 0 ? 30000 : 300);
                if (wide && random() % 3 == 0) {
                    // One byte past a CR unit: the row before waits for the rest of its LF.
                    const char* cr = codePage == 1200u ? "\r\0" : "\0\r";
                    size_t at = all.find(std::string(cr, 2), written);
                    while (at != std::string::npos && at % 2 != 0) at = all.find(std::string(cr, 2), at + 1);
                    if (at != std::string::npos) n = at + 3 - written;
                }
                if (n > all.size() - written) n = all.size() - written;
                std::ofstream(path, std::ios::binary | std::ios::app)
                    .write(all.data() + written, static_cast<std::streamsize>(n));
                written += n;
                ASSERT_EQ(1, file.RefreshSize());
                CLogLineList lines, errors;
                int32_t from = f.state.lastNumber;
                ASSERT_EQ(1, FollowLogLines(&file, request, &f.state, &lines, &errors));
                ASSERT_EQ(1, ReplaceTail(&f.lines, from, lines));
                ASSERT_EQ(1, ReplaceTail(&f.errors, from, errors));
                CLogLineList fullErrors;
                std::unique_ptr<CLogLineList> full = LoadLogLines(&file, request, &fullErrors);
                ASSERT_NE(nullptr, full);
                ExpectSame(*full, f.lines, "index");
                ExpectSame(fullErrors, f.errors, "errors");
            }
            EXPECT_EQ(all.size(), f.state.size);
        }
    }
}

// A CR at the end of the file and its LF in the next append: one break, and the line's
// length grows by the LF instead of a new line appearing.
TEST(FollowLogLines, ABreakSplitAcrossAppendsIsOneBreak) {
    TempDir dir;
    std::string path = dir.FsPath("split.log").string();
    std::ofstream(path, std::ios::binary) << "one\r";
    CLogFile file;
    ASSERT_EQ(1, file.Open(dir.File("split.log").c_str()));
    CLoadRequest request;
    Followed f;
    std::unique_ptr<CLogLineList> first = LoadLogLines(&file, request, &f.errors);
    ASSERT_NE(nullptr, first);
    f.lines.Append(*first, 0, first->Count());
    StartFollowing(f.lines, file.Size(), &f.state);
    std::ofstream(path, std::ios::binary | std::ios::app) << "\ntwo";
    ASSERT_EQ(1, file.RefreshSize());
    CLogLineList lines, errors;
    int32_t from = f.state.lastNumber;
    ASSERT_EQ(1, FollowLogLines(&file, request, &f.state, &lines, &errors));
    ASSERT_EQ(1, ReplaceTail(&f.lines, from, lines));
    ASSERT_EQ(2, f.lines.Count());
    EXPECT_EQ(5, f.lines[0].length);
    EXPECT_EQ(5u, f.lines[1].offset);
    EXPECT_EQ(3, f.lines[1].length);  // shown before its break arrives
}

// A step whose lines or error lines cannot grow says that memory ran out and moves nothing on.
TEST(FollowLogLines, AStepThatCannotGrowSaysSo) {
    TempDir dir;
    std::string path = dir.FsPath("full.log").string();
    std::ofstream(path, std::ios::binary) << "one\n";
    CLogFile file;
    ASSERT_EQ(1, file.Open(dir.File("full.log").c_str()));
    CKeywordSet keywords;
    keywords.Add(u"FATAL", 6, 0, 1);
    keywords.BuildFlagTable();
    CLoadRequest request;
    request.keywords = &keywords;
    CLoadResult result;
    request.result = &result;
    Followed f;
    std::unique_ptr<CLogLineList> first = LoadLogLines(&file, request, &f.errors);
    ASSERT_NE(nullptr, first);
    StartFollowing(*first, file.Size(), &f.state);
    std::ofstream(path, std::ios::binary | std::ios::app) << "FATAL two\n";
    ASSERT_EQ(1, file.RefreshSize());
    // The line read again and the new one, then the new one's error line.
    for (int64_t entries : {1, 2}) {
        g_lineListBudget = entries;
        CFollowState state = f.state;
        EXPECT_EQ(0, FollowLogLines(&file, request, &state, &f.lines, &f.errors)) << entries;
        g_lineListBudget = -1;
        EXPECT_EQ(CLoadStatus::kNoMemory, result.status) << entries;
        EXPECT_EQ(f.state.size, state.size);
    }
    ASSERT_EQ(1, FollowLogLines(&file, request, &f.state, &f.lines, &f.errors));
    EXPECT_EQ(CLoadStatus::kDone, result.status);
    EXPECT_EQ(2, f.lines.Count());
    EXPECT_EQ(1, f.errors.Count());
}

}  // namespace
