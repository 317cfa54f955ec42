// The literal prefilter of the scans against testing every line: random conditions (plain
// texts, ignoring case, regular expressions from a small generator, some required absent,
// some of absent texts alone) on random logs in
// UTF-8, Shift_JIS and UTF-16, with letters beyond ASCII, escape sequences, blank runs,
// lines cut into pieces and read windows smaller than some lines. Also the multi-string
// search at every place around its sixteen-byte steps.
#include "search/line_prefilter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "document/escape_codes.h"
#include "foundation/convert.h"
#include "search/line_scan.h"
#include "condition_oracle.h"
#include "test_support.h"

using testing_support::TempDir;
using testing_support::WriteBytes;

namespace {

const char16_t* const kWords[] = {
    u"timeout", u"timed out", u"refused", u"Connection", u"reset",         u"id=12399",           u"id=4599", u"ERROR",
    u"error",   u"Disk",      u"\u017F",  u"\u212A",     u"\u00E9t\u00E9", u"\u30A8\u30E9\u30FC", u"=",       u" ",
    u"99",      u"TIME",      u"\t",      u"[31m",       u"Di\u017Fk",     u"\u212Aey",           u"key"};

// A random regular expression over the words: alternation, groups, classes, anchors,
// quantifiers and inline options.
std::u16string RandomPattern(std::mt19937& rng, int depth) {
    static const char16_t* const kAtoms[] = {
        u"time",   u"out",    u"refused", u"id=",   u"99",      u"connection", u"reset", u"k",     u"s",    u"disk",
        u"\u00E9", u"\u30E9", u"[0-9]",   u"[kK]",  u"[ds]",    u"[^x]",       u".",     u"\\d",   u"\\w+", u"\\s",
        u"\\b",    u"^",      u"$",       u"\\x41", u"(?=out)", u"\\.",        u"\\t",   u"[a-c]", u" ",    u"error"};
    static const char16_t* const kQuantifiers[] = {u"", u"", u"", u"?", u"*", u"+", u"{2}", u"{1,3}", u"{0,2}"};
    std::u16string p;
    int items = 1 + static_cast<int>(rng() % 4);
    for (int i = 0; i < items; ++i) {
        if (depth < 2 && rng() % 5 == 0) {
            p += rng() % 2 == 0 ? u"(" : u"(?:";
            p += RandomPattern(rng, depth + 1);
            p += u")";
        } else {
            p += kAtoms[rng() % (sizeof kAtoms / sizeof kAtoms[0])];
        }
        p += kQuantifiers[rng() % (sizeof kQuantifiers / sizeof kQuantifiers[0])];
    }
    if (rng() % 3 == 0) p += u"|" + RandomPattern(rng, depth + 1);
    if (depth == 0 && rng() % 6 == 0) p = u"(?i)" + p;
    return p;
}

std::string Encode(const std::u16string& text, unsigned codePage) {
    if (codePage == kCodePageUtf16Le) {
        std::string bytes;
        for (char16_t u : text) {
            bytes += static_cast<char>(u & 0xFF);
            bytes += static_cast<char>(u >> 8);
        }
        return bytes;
    }
    char* bytes = WideToMultiByteAlloc(text.data(), static_cast<int>(text.size()), codePage);
    std::string s = bytes != nullptr ? bytes : "";
    std::free(bytes);
    return s;
}

TEST(LinePrefilterTest, ScansGiveWhatTestingEveryLineGives) {
    std::mt19937 rng(2024);
    std::mt19937 notRng(99);  // apart, so that the rounds without kNot texts stay as they were
    TempDir dir;
    int filtered = 0;
    int notOnly = 0;
    int notOnlyFiltered = 0;
    for (int round = 0; round < 160; ++round) {
        unsigned codePage = round % 4 == 3 ? kCodePageShiftJis : round % 8 == 6 ? kCodePageUtf16Le : kCodePageUtf8;
        std::string bytes;
        std::vector<std::string> rows;  // each row's bytes
        CLogLineList lines;
        // Some logs of a few rows, so that whole spans hold no literal.
        int count = 1 + static_cast<int>(rng() % (round % 3 == 0 ? 8 : 200));
        std::string newline = Encode(u"\r\n", codePage);
        for (int i = 0; i < count; ++i) {
            if (rng() % 15 == 0) bytes += newline + newline;  // a blank run between rows
            std::u16string text;
            for (int k = 1 + static_cast<int>(rng() % 6); k > 0; --k) {
                text += kWords[rng() % (sizeof kWords / sizeof kWords[0])];
            }
            if (rng() % 20 == 0) text += std::u16string(rng() % 2000, u'z') + u"refused";
            std::string line = Encode(text, codePage);
            if (codePage == kCodePageUtf8 && rng() % 10 == 0) line.insert(rng() % (line.size() + 1), "\xFF");
            if (codePage != kCodePageUtf16Le && rng() % (count < 10 ? 3 : 12) == 0) {
                line.insert(rng() % (line.size() + 1), rng() % 2 == 0 ? "\x1b[1m" : "\x1b[0m");
            }
            // A line cut into two pieces, as the index holds a line beyond the longest it takes.
            size_t cut = rng() % 8 == 0 && line.size() > 2 ? 1 + rng() % (line.size() - 1) : line.size();
            if (codePage == kCodePageUtf16Le) cut &= ~static_cast<size_t>(1);
            if (cut == 0) cut = line.size();
            for (size_t from = 0; from < line.size(); from = cut, cut = line.size()) {
                lines.Append(static_cast<int32_t>(rows.size()), CTimeStamp(), bytes.size() + from,
                             static_cast<int32_t>(cut - from));
                rows.push_back(line.substr(from, cut - from));
            }
            bytes += line + newline;
        }
        WriteBytes(dir.FsPath("prefilter.log"), bytes);
        CFile file;
        ASSERT_EQ(1, file.Open(dir.File("prefilter.log").c_str()));
        CSearchCondition condition;
        std::string described;
        for (int t = 1 + static_cast<int>(rng() % 3); t > 0; --t) {
            int options = rng() % 2 == 0 ? kMatchCase : 0;
            std::u16string text = kWords[rng() % (sizeof kWords / sizeof kWords[0])];
            if (rng() % 2 == 0) {
                options |= kRegex;
                text = RandomPattern(rng, 0);
            } else if (rng() % 3 == 0) {
                text += kWords[rng() % 6];
            }
            if (condition.Add(text.c_str(), options)) {
                CString shown(text.c_str());
                described += " [" + std::to_string(options) + "] " + shown.Data();
            }
        }
        // Texts a row must not hold; on some rounds instead of the others.
        int nots = static_cast<int>(notRng() % 4) - 1;
        if (nots > 0 && notRng() % 3 == 0) {
            condition.Clear();
            described.clear();
        }
        for (; nots > 0; --nots) {
            int options = kNot | (notRng() % 2 == 0 ? kMatchCase : 0);
            std::u16string text = kWords[notRng() % (sizeof kWords / sizeof kWords[0])];
            if (notRng() % 3 == 0) {
                options |= kRegex;
                text = RandomPattern(notRng, 0);
            }
            if (condition.Add(text.c_str(), options)) {
                CString shown(text.c_str());
                described += " [" + std::to_string(options) + "] " + shown.Data();
            }
        }
        if (condition.Count() == 0) continue;
        notOnly += condition.PositiveCount() == 0 ? 1 : 0;
        condition.SetMatchAll(static_cast<int>(rng() % 2));
        bool hide = rng() % 2 == 0;
        std::vector<int32_t> expected;
        for (size_t i = 0; i < rows.size(); ++i) {
            const std::string& row = rows[i];
            int units = MultiByteToWide(codePage, row.data(), static_cast<int>(row.size()), nullptr, 0);
            std::u16string wide(static_cast<size_t>(units > 0 ? units : 0), u'\0');
            if (units > 0) MultiByteToWide(codePage, row.data(), static_cast<int>(row.size()), &wide[0], units);
            if (hide) units = HideEscapes(wide.data(), units);
            if (units > 0 && OracleMatches(condition, wide.data(), units) == 1) {
                expected.push_back(static_cast<int32_t>(i));
            }
        }
        CLinePrefilter prefilter;
        prefilter.Prepare(condition, codePage, hide);
        filtered += prefilter.Active() ? 1 : 0;
        // Of "not" texts alone, the rows without their literals are taken untested.
        EXPECT_EQ(condition.PositiveCount() == 0 && prefilter.Active(), prefilter.Inverted()) << described;
        notOnlyFiltered += prefilter.Inverted() ? 1 : 0;
        std::string what = "round " + std::to_string(round) + " code page " + std::to_string(codePage) + " hide " +
                           std::to_string(hide) + " all " + std::to_string(condition.MatchAll()) + described;
        CScanOptions options;
        options.threads = 1 + static_cast<int>(rng() % 2);
        options.twoCoreBytes = 0;
        options.hideEscapes = hide;
        uint32_t windows[] = {0, 64, 700, 5000};
        options.windowSize = windows[rng() % 4];
        options.chunkBytes = rng() % 2 == 0 ? 0 : 1 + rng() % 20000;
        CLogLineList result;
        ASSERT_EQ(1, ExtractLines(&file, lines, condition, codePage, 0, 0, &result, options)) << what;
        std::vector<int32_t> got;
        for (int64_t i = 0; i < result.Count(); ++i) got.push_back(result[i].lineNumber);
        ASSERT_EQ(expected, got) << what;
        auto rowCount = static_cast<int32_t>(rows.size());
        for (int32_t start : {0, rowCount / 2, rowCount - 1}) {
            int32_t forward = -1;
            for (int32_t e : expected) {
                if (e >= start && forward < 0) forward = e;
            }
            int32_t backward = -1;
            for (int32_t e : expected) {
                if (e <= start) backward = e;
            }
            ASSERT_EQ(forward, SearchForward(&file, lines, start, condition, codePage, options)) << what;
            ASSERT_EQ(backward, SearchBackward(&file, lines, start, condition, codePage, options)) << what;
        }
    }
    EXPECT_GT(filtered, 80);  // most conditions have literals: the prefilter is what was tested
    EXPECT_GT(notOnly, 10);
    EXPECT_GT(notOnlyFiltered, 5);
}

// A text ignoring case finds the lines where U+017F or U+212A stands for its s or k, in
// spans without an ASCII form of it, whether the span is skipped whole or line by line.
TEST(LinePrefilterTest, LettersThatFoldToSOrKAreFoundInEverySpan) {
    TempDir dir;
    std::string bytes = "plain\nDI\xC5\xBF\xE2\x84\xAA\n" + std::string(300, 'x') + "\n";
    WriteBytes(dir.FsPath("folded.log"), bytes);
    CFile file;
    ASSERT_EQ(1, file.Open(dir.File("folded.log").c_str()));
    CLogLineList lines;
    lines.Append(0, CTimeStamp(), 0, 5);
    lines.Append(1, CTimeStamp(), 6, 7);
    lines.Append(2, CTimeStamp(), 14, 300);
    for (const char16_t* text : {u"disk", u"(?i)d.sk", u"ISK"}) {
        for (uint32_t window : {0u, 64u}) {  // the rows skipped as a block, or marked one by one
            CSearchCondition condition;
            ASSERT_EQ(1, condition.Add(text, text[0] == u'(' ? kRegex | kMatchCase : 0));
            CScanOptions options;
            options.windowSize = window;
            EXPECT_EQ(1, SearchForward(&file, lines, 0, condition, kCodePageUtf8, options))
                << condition.Text(0)->Data() << " " << window;
        }
    }
}

// Every string length and place around the sixteen-byte steps, with and without case.
TEST(MultiLiteralTest, FindsTheFirstPlaceOfAnyString) {
    std::mt19937 rng(5);
    for (int round = 0; round < 3000; ++round) {
        CMultiLiteral set;
        std::vector<std::pair<std::string, bool>> strings;
        for (int k = 1 + static_cast<int>(rng() % 4); k > 0; --k) {
            std::string s;
            for (int n = 1 + static_cast<int>(rng() % 5); n > 0; --n) s += "abAB.\xC5"[rng() % 6];
            bool folded = rng() % 2 == 0;
            if (folded) {
                for (char& c : s) c = c == 'A' ? 'a' : c == 'B' ? 'b' : c;
            }
            ASSERT_EQ(1, set.Add(s.data(), static_cast<int>(s.size()), folded));
            strings.emplace_back(s, folded);
        }
        std::string text;
        for (int n = static_cast<int>(rng() % 90); n > 0; --n) text += "abAB.\xC5xy"[rng() % 8];
        size_t from = rng() % (text.size() + 1);
        int64_t expected = -1;
        for (size_t at = from; at < text.size() && expected < 0; ++at) {
            for (const auto& [s, folded] : strings) {
                bool same = at + s.size() <= text.size();
                for (size_t k = 0; same && k < s.size(); ++k) {
                    char c = text[at + k];
                    if (folded && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
                    same = c == s[k];
                }
                if (same) expected = static_cast<int64_t>(at);
            }
        }
        ASSERT_EQ(expected, set.Find(text.data(), text.size(), from)) << "round " << round << " text " << text;
    }
}

}  // namespace
