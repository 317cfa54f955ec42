// Hostile and damaged logs on disk: empty and break-only files, binary bytes, broken
// multi-byte sequences, a 50 MiB line, a sparse file past 4 GiB, files that shrink or are
// replaced while open, and files that cannot be opened. Nothing may crash, be lost, or
// come back as bytes the file never held.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "document/log_file.h"
#include "loader/log_loader.h"
#include "reliability_support.h"
#include "search/line_scan.h"
#include "test_support.h"

#ifdef _WIN32
#include <windows.h>

#include "foundation/wide.h"
#endif

using reliability::Loaded;
using testing_support::TempDir;
using testing_support::WriteBytes;

namespace {

class CountingListener : public CProgressListener {
public:
    void OnProgress(uint64_t, uint64_t) override { ++calls; }
    int calls = 0;
};

Loaded Load(const std::u16string& path, CLoadRequest request, CLogFile* keep = nullptr) {
    CLogFile local;
    CLogFile& file = keep != nullptr ? *keep : local;
    if (!file.IsOpen() && !file.Open(path.c_str())) return Loaded();
    return reliability::LoadOpen(file, request);
}

// The index must be exactly the plain split of the bytes, each line read back whole.
void ExpectIndexed(const std::string& bytes, const Loaded& got, CLogFile& file) {
    auto expected = reliability::SplitLines(bytes);
    ASSERT_EQ(expected.size(), got.lines.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const CLogLine& line = got.lines[i];
        ASSERT_EQ(static_cast<int32_t>(i), line.lineNumber);
        ASSERT_EQ(expected[i].first, line.offset);
        ASSERT_EQ(expected[i].second, static_cast<uint32_t>(line.length));
        ASSERT_EQ(bytes.substr(line.offset, line.length),
                  reliability::ReadLineText(file, line.offset, static_cast<uint32_t>(line.length)));
    }
}

std::vector<int32_t> ErrorNumbers(const Loaded& got) {
    std::vector<int32_t> out;
    for (const CLogLine& e : got.errors) out.push_back(e.lineNumber);
    return out;
}

TEST(LogBadInput, EmptyAndBreakOnlyFilesGiveNoLines) {
    TempDir dir;
    WriteBytes(dir.FsPath("empty.log"), "");
    std::string breaks;
    for (int i = 0; i < 5000; ++i) breaks += "\r\n\n\r\r\r\n\n"[i % 8];
    WriteBytes(dir.FsPath("breaks.log"), breaks);
    CKeywordSet keywords;
    reliability::ErrorKeywords(keywords, {u"\r", u"\n"});
    for (uint32_t block : {2u, 7u, kLoadBlockSize}) {
        for (int threads : {1, 4}) {
            CountingListener listener;
            CLoadRequest request;
            request.blockSize = block;
            request.threads = threads;
            request.keywords = &keywords;
            request.listener = &listener;
            CLogFile empty;
            Loaded e = Load(dir.File("empty.log"), request, &empty);
            ASSERT_TRUE(e.ok);
            EXPECT_TRUE(e.lines.empty());
            EXPECT_EQ(0, listener.calls);
            char buffer[16];
            EXPECT_EQ(0u, empty.ReadLine(buffer, sizeof buffer, 0));
            Loaded b = Load(dir.File("breaks.log"), request);
            ASSERT_TRUE(b.ok);
            EXPECT_TRUE(b.lines.empty()) << block << " " << threads;
            EXPECT_TRUE(b.errors.empty());
        }
    }
}

// Every byte value, NUL bytes inside lines, keywords right after them.
TEST(LogBadInput, BinaryBytesAreIndexedAndScannedWhole) {
    TempDir dir;
    std::string bytes;
    for (int round = 0; round < 40; ++round) {
        for (int b = 0; b < 256; ++b) bytes.push_back(static_cast<char>((b + round * 7) & 0xFF));
        bytes += std::string("a\0\0ERROR\0z\r\n", 12);
        bytes += std::string("\0\0\0\n", 4);
    }
    WriteBytes(dir.FsPath("binary.log"), bytes);
    auto split = reliability::SplitLines(bytes);
    std::vector<int32_t> withKeyword;
    for (size_t i = 0; i < split.size(); ++i) {
        if (bytes.substr(split[i].first, split[i].second).find("ERROR") != std::string::npos) {
            withKeyword.push_back(static_cast<int32_t>(i));
        }
    }
    ASSERT_FALSE(withKeyword.empty());
    CKeywordSet keywords;
    reliability::ErrorKeywords(keywords, {u"ERROR"});
    for (unsigned codePage : {kCodePageAnsi, kCodePageUtf8}) {
        for (uint32_t block : {5u, 300u, kLoadBlockSize}) {
            for (int threads : {1, 3}) {
                CLoadRequest request;
                request.codePage = codePage;
                request.blockSize = block;
                request.threads = threads;
                request.keywords = &keywords;
                CLogFile file;
                Loaded got = Load(dir.File("binary.log"), request, &file);
                ASSERT_TRUE(got.ok);
                ExpectIndexed(bytes, got, file);
                EXPECT_EQ(withKeyword, ErrorNumbers(got)) << codePage << " " << block << " " << threads;
            }
        }
    }
}

// Truncated and invalid sequences must neither hide a keyword after them nor merge lines.
TEST(LogBadInput, BrokenMultiByteSequencesInBothCodePages) {
    TempDir dir;
    const std::string bytes =
        "\xe3\x82"
        "ERROR one\r\n"             // UTF-8 sequence cut short
        "\xff\xfe\xfd\xfc plain\n"  // never valid in UTF-8
        "\x83\r\n"                  // Shift_JIS lead byte before the break
        "\x83"
        "ERROR two\n"  // and before a keyword
        "\xed\xa0\x80"
        "ERROR three\r"  // an encoded surrogate
        "\xf0\x9f\x98"
        "\n"                                              // four-byte sequence cut short
        "\xe3\x82\xe3\x82\xa8\xe3\x83\xa9\xe3\x83\xbc\n"  // a cut sequence, then a Japanese keyword
        "\x83\x47\x83\x89\x81\x5b sjis\n"                 // the same keyword in Shift_JIS
        "tail \xe3";                                      // the file ends inside a sequence
    WriteBytes(dir.FsPath("broken.log"), bytes);
    CKeywordSet keywords;
    reliability::ErrorKeywords(keywords, {u"ERROR", u"\u30A8\u30E9\u30FC"});
    for (unsigned codePage : {kCodePageAnsi, kCodePageUtf8}) {
        for (uint32_t block : {3u, kLoadBlockSize}) {
            CLoadRequest request;
            request.codePage = codePage;
            request.blockSize = block;
            request.threads = 1;
            request.keywords = &keywords;
            CLogFile file;
            Loaded got = Load(dir.File("broken.log"), request, &file);
            ASSERT_TRUE(got.ok);
            ExpectIndexed(bytes, got, file);
            std::vector<int32_t> errors = ErrorNumbers(got);
            // Whatever an ANSI code page makes of the lead bytes, these keywords stay whole.
            for (int32_t line : {0, 4}) {
                EXPECT_NE(errors.end(), std::find(errors.begin(), errors.end(), line)) << codePage << " " << line;
            }
            bool utf8 = codePage == kCodePageUtf8;
#ifndef _WIN32
            utf8 = true;  // code page 0 is UTF-8 here
#endif
            // Decoded as UTF-8, a cut sequence hides no keyword after it.
            if (utf8) {
                EXPECT_EQ((std::vector<int32_t>{0, 3, 4, 6}), errors);
            }
        }
    }
}

// In Shift_JIS a trail byte can be 0x5C: "表" holds no backslash, a keyword "\" must not find it.
TEST(LogBadInput, ShiftJisTrailBytesAreNotAscii) {
    TempDir dir;
    const std::string bytes =
        "\x95\x5c\r\n"
        "a\\b\r\n"
        "\x83\x47\x83\x89\x81\x5b\r\n"
        "\x83";
    WriteBytes(dir.FsPath("sjis.log"), bytes);
    CKeywordSet keywords;
    reliability::ErrorKeywords(keywords, {u"\\", u"\u30A8\u30E9\u30FC"});
    CLoadRequest request;
    request.codePage = kCodePageShiftJis;
    request.keywords = &keywords;
    request.threads = 1;
    CLogFile file;
    Loaded got = Load(dir.File("sjis.log"), request, &file);
    ASSERT_TRUE(got.ok);
    ExpectIndexed(bytes, got, file);
    EXPECT_EQ((std::vector<int32_t>{1, 2}), ErrorNumbers(got));

    CLogLineList list;
    for (const CLogLine& line : got.lines) list.Append(line);
    CSearchCondition condition;
    condition.Add(u"\\");
    EXPECT_EQ(1, SearchForward(&file, list, 0, condition, kCodePageShiftJis));
    EXPECT_EQ(1, SearchBackward(&file, list, 3, condition, kCodePageShiftJis));
}

TEST(LogBadInput, FiftyMebibyteLineIsIndexedWholeAndReadBackWhole) {
    TempDir dir;
    std::string bytes(50u << 20, 'x');
    bytes += "ERROR\r\n2021-03-04 05:06:07 after\r\n";
    WriteBytes(dir.FsPath("long.log"), bytes);
    CKeywordSet keywords;
    reliability::ErrorKeywords(keywords, {u"ERROR"});
    CLoadRequest request;
    request.keywords = &keywords;
    request.codePage = kCodePageUtf8;
    CLogFile file;
    Loaded got = Load(dir.File("long.log"), request, &file);
    ASSERT_TRUE(got.ok);
    ASSERT_EQ(2u, got.lines.size());
    EXPECT_EQ((50u << 20) + 7, static_cast<uint32_t>(got.lines[0].length));
    EXPECT_EQ((std::vector<int32_t>{0}), ErrorNumbers(got));
    EXPECT_EQ(2021, got.lines[1].timeStamp.year);
    EXPECT_EQ(18367000u, got.lines[1].timeStamp.milliseconds);
    std::string whole = reliability::ReadLineText(file, 0, static_cast<uint32_t>(got.lines[0].length));
    EXPECT_TRUE(whole == bytes.substr(0, whole.size()) && whole.size() == bytes.size() - 27);

    CLogLineList list;
    for (const CLogLine& line : got.lines) list.Append(line);
    CSearchCondition condition;
    condition.Add(u"xERROR");
    EXPECT_EQ(0, SearchForward(&file, list, 0, condition, kCodePageUtf8));
}

// A file past 4 GiB whose first 4 GiB are holes (NUL bytes, a break every 4 MiB).
TEST(LogBadInput, LinesBeyondFourGibibytesAreIndexedAndShown) {
    TempDir dir;
    const uint64_t base = (4ull << 30) + 12345;
    const std::string tail = "2021-03-04 05:06:07,089 beyond 4 GiB\r\nERROR after it\r\nlast line";
    std::vector<std::pair<uint64_t, std::string>> pieces;
    pieces.emplace_back(0, "first line\r\n");
    for (uint64_t at = 4u << 20; at < base; at += 4u << 20) pieces.emplace_back(at, "\n");
    pieces.emplace_back(base - 1, "\n" + tail);
    const uint64_t size = base + tail.size();
    if (!reliability::MakeSparseFile(dir.File("huge.log"), size, pieces)) {
        GTEST_SKIP() << "this file system does not keep sparse files";
    }
    CKeywordSet keywords;
    reliability::ErrorKeywords(keywords, {u"ERROR"});
    CLoadRequest request;
    request.keywords = &keywords;
    CLogFile file;
    Loaded got = Load(dir.File("huge.log"), request, &file);
    ASSERT_TRUE(got.ok);
    ASSERT_EQ(size, file.Size());
    // "first line", a line of NUL bytes up to each break, and the three lines at the end.
    ASSERT_EQ(pieces.size() + 3, got.lines.size());
    const CLogLine* last = &got.lines[got.lines.size() - 3];
    EXPECT_EQ(base, last[0].offset);
    EXPECT_EQ(base + 38, last[1].offset);
    EXPECT_EQ(base + 54, last[2].offset);
    EXPECT_EQ("2021-03-04 05:06:07,089 beyond 4 GiB\r\n", reliability::ReadLineText(file, last[0].offset, 38));
    EXPECT_EQ("ERROR after it\r\n", reliability::ReadLineText(file, last[1].offset, 16));
    EXPECT_EQ("last line", reliability::ReadLineText(file, last[2].offset, 9));
    EXPECT_EQ(18367089u, last[0].timeStamp.milliseconds);
    EXPECT_EQ(last[0].timeStamp, last[2].timeStamp);
    ASSERT_EQ(1u, got.errors.size());
    EXPECT_EQ(last[1].lineNumber, got.errors[0].lineNumber);
    EXPECT_EQ(base + 38, got.errors[0].offset);
    // Every line of holes is read back as the NUL bytes it holds.
    std::string zeros = reliability::ReadLineText(file, got.lines[5].offset, 4000);
    EXPECT_EQ(std::string(4000, '\0'), zeros);
}

// Lines past the new end of a file that shrank come back short or empty, never as bytes
// that are not the file's; a search does not find text that is gone.
TEST(LogBadInput, FileThatShrinksWhileOpen) {
    TempDir dir;
    std::string bytes;
    for (int i = 0; i < 2000; ++i) bytes += "line " + std::to_string(i) + (i >= 1500 ? " gone" : " kept") + "\r\n";
    WriteBytes(dir.FsPath("shrink.log"), bytes);
    CLoadRequest request;
    CLogFile file;
    Loaded got = Load(dir.File("shrink.log"), request, &file);
    ASSERT_TRUE(got.ok);
    ASSERT_EQ(2000u, got.lines.size());
    (void)reliability::ReadLineText(file, got.lines[3].offset, static_cast<uint32_t>(got.lines[3].length));

    const uint64_t newSize = got.lines[1000].offset + 4;  // cuts line 1000 after "line"
    std::filesystem::resize_file(dir.FsPath("shrink.log"), newSize);
    for (const CLogLine& line : got.lines) {
        std::string buffer(static_cast<size_t>(line.length) + 8, '\xCC');
        uint32_t n = file.ReadLine(&buffer[0], static_cast<uint32_t>(line.length), line.offset);
        ASSERT_LE(n, static_cast<uint32_t>(line.length));
        ASSERT_EQ(bytes.substr(line.offset, n), buffer.substr(0, n)) << line.lineNumber;
        ASSERT_EQ(std::string(buffer.size() - n, '\xCC'), buffer.substr(n)) << line.lineNumber;
        if (line.offset >= newSize) {
            ASSERT_EQ(0u, n) << line.lineNumber;
        }
    }
    CLogLineList list;
    for (const CLogLine& line : got.lines) list.Append(line);
    CSearchCondition gone;
    gone.Add(u"gone");
    EXPECT_EQ(-1, SearchForward(&file, list, 0, gone, kCodePageUtf8));
    EXPECT_EQ(-1, SearchBackward(&file, list, 1999, gone, kCodePageUtf8));
    CSearchCondition kept;
    kept.Add(u"999 kept");
    EXPECT_EQ(999, SearchForward(&file, list, 0, kept, kCodePageUtf8));
    CLogLineList extracted;
    EXPECT_EQ(1, ExtractLines(&file, list, gone, kCodePageUtf8, 2, 2, &extracted));
    EXPECT_EQ(0, extracted.Count());
}

// Replacing a file under an open handle (as log rotation does) must leave the handle on the
// old content, wherever the system allows the replacement at all.
TEST(LogBadInput, FileReplacedWhileOpenKeepsTheOldContent) {
    TempDir dir;
    std::string bytes;
    for (int i = 0; i < 500; ++i) bytes += "old line " + std::to_string(i) + "\n";
    WriteBytes(dir.FsPath("rotating.log"), bytes);
    CLoadRequest request;
    CLogFile file;
    Loaded got = Load(dir.File("rotating.log"), request, &file);
    ASSERT_TRUE(got.ok);
    WriteBytes(dir.FsPath("new.log"), std::string(100, 'n'));
    std::error_code ec;
    std::filesystem::rename(dir.FsPath("new.log"), dir.FsPath("rotating.log"), ec);
    for (const CLogLine& line : got.lines) {
        ASSERT_EQ(bytes.substr(line.offset, line.length),
                  reliability::ReadLineText(file, line.offset, static_cast<uint32_t>(line.length)));
    }
}

TEST(LogBadInput, FilesThatCannotBeOpened) {
    TempDir dir;
    CLogFile file;
    EXPECT_EQ(0, file.Open(dir.File("missing.log").c_str()));
    EXPECT_FALSE(file.IsOpen());
    std::filesystem::create_directory(dir.FsPath("folder.log"));
    EXPECT_EQ(0, file.Open(dir.File("folder.log").c_str()));
    EXPECT_FALSE(file.IsOpen());
    // The object stays usable.
    WriteBytes(dir.FsPath("good.log"), "a\r\nb\r\n");
    ASSERT_EQ(1, file.Open(dir.File("good.log").c_str()));
    EXPECT_EQ(2u, reliability::LoadOpen(file, CLoadRequest()).lines.size());
}

TEST(LogBadInput, FileWithoutReadPermission) {
    if (!reliability::PermissionsBind()) {
        GTEST_SKIP() << "permission bits do not bind this process (root, or Windows)";
    }
    TempDir dir;
    WriteBytes(dir.FsPath("secret.log"), "a\r\n");
    std::filesystem::permissions(dir.FsPath("secret.log"), std::filesystem::perms::none);
    CLogFile file;
    EXPECT_EQ(0, file.Open(dir.File("secret.log").c_str()));
    EXPECT_FALSE(file.IsOpen());
    std::filesystem::permissions(dir.FsPath("secret.log"), std::filesystem::perms::owner_all);
    EXPECT_EQ(1, file.Open(dir.File("secret.log").c_str()));
}

#ifdef _WIN32
// Another program holding the file without sharing it.
TEST(LogBadInput, FileLockedByAnotherHandle) {
    TempDir dir;
    WriteBytes(dir.FsPath("locked.log"), "a\r\n");
    HANDLE lock = CreateFileW(W(dir.File("locked.log").c_str()), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    CLogFile file;
    EXPECT_EQ(0, file.Open(dir.File("locked.log").c_str()));
    EXPECT_FALSE(file.IsOpen());
    CloseHandle(lock);
    EXPECT_EQ(1, file.Open(dir.File("locked.log").c_str()));
}
#endif

// A line longer than the piece length that the index can describe is cut into pieces;
// with several threads the pieces that begin in later chunks must not be lost.
TEST(LogBadInput, PiecesOfAnOverlongLineAreAllIndexed) {
    TempDir dir;
    std::string bytes = std::string(95, 'x') + "\r\nnext\r\n";
    WriteBytes(dir.FsPath("pieces.log"), bytes);
    for (int threads : {1, 2, 3}) {
        CLoadRequest request;
        request.blockSize = 2;
        request.threads = threads;
        request.maxLineLength = 10;
        CLogFile file;
        Loaded got = Load(dir.File("pieces.log"), request, &file);
        ASSERT_TRUE(got.ok);
        ASSERT_EQ(11u, got.lines.size()) << threads;  // nine pieces of 10, "xxxxx\r\n" cut to 7, "next"
        for (size_t i = 0; i < 10; ++i) EXPECT_EQ(i * 10, got.lines[i].offset);
        EXPECT_EQ(7, got.lines[9].length);
        EXPECT_EQ(97u, got.lines[10].offset);
    }
}

}  // namespace
