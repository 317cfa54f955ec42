// Fuzzes the search condition: CSearchCondition::Matches on UTF-16 lines against a plain
// substring reference (AND and OR, up to ten texts), and the scans' byte-level matcher
// CLineMatcher against the condition applied to the line decoded with the code page, in
// the three code pages, with invalid and truncated multi-byte sequences in the lines; and
// the matcher of the same texts ignoring case or as regular expressions, in UTF-16 too.
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "search/line_matcher.h"
#include "search/search_condition.h"

namespace {

using fuzzing::FuzzInput;

bool Reference(const std::vector<std::u16string>& texts, bool all, const std::u16string& line) {
    if (texts.empty() || line.empty()) return false;
    for (const auto& t : texts) {
        bool found = line.find(t) != std::u16string::npos;
        if (all && !found) return false;
        if (!all && found) return true;
    }
    return all;
}

// Texts: ASCII words, Japanese, the replacement character and line-break units.
const char16_t* const kTexts[] = {u"a",
                                  u"ab",
                                  u"ERROR",
                                  u"Error",
                                  u"\u30A8\u30E9\u30FC",
                                  u"\u30A8",
                                  u"\uFFFD",
                                  u"\u00E9",
                                  u"\r\n",
                                  u"\n",
                                  u" ",
                                  u"\u8868",
                                  u"\\",
                                  u"b\u00E9",
                                  u"\uFF21",
                                  u"\u30FC\u30A8",
                                  u"?",
                                  u"E"};
// Line bytes: ASCII, UTF-8 and Shift_JIS pieces and their broken forms.
const char* const kPieces[] = {"a",
                               "b",
                               "ab",
                               "ERROR",
                               "Error",
                               " ",
                               "\r\n",
                               "\n",
                               "\xe3\x82\xa8",
                               "\xe3\x82",
                               "\xe3",
                               "\xc3\xa9",
                               "\xc3",
                               "\xa9",
                               "\xef\xbf\xbd",
                               "\x83\x47",
                               "\x83",
                               "\x95\x5c",
                               "\x5c",
                               "\xff",
                               "\x80",
                               "\xed\xa0\x80",
                               "\xf0\x9f\x98\x80",
                               "\xf0\x9f",
                               "\x82\xa0",
                               "\xe3\x83\xbc",
                               "?",
                               "E"};
const unsigned kCodePages[] = {kCodePageAnsi, kCodePageUtf8, kCodePageShiftJis};

std::u16string Text(FuzzInput& in) {
    if (in.Below(4) != 0) return kTexts[in.Below(sizeof(kTexts) / sizeof(kTexts[0]))];
    std::u16string s;
    uint32_t n = 1 + in.Below(4);
    for (uint32_t i = 0; i < n; ++i) s.push_back(in.Word() | 1);
    return s;
}

std::string Line(FuzzInput& in) {
    std::string s;
    uint32_t n = in.Below(32);
    for (uint32_t i = 0; i < n && !in.Empty(); ++i) {
        uint8_t b = in.Byte();
        if (b < 220) {
            s += kPieces[b % (sizeof(kPieces) / sizeof(kPieces[0]))];
        } else {
            s.push_back(static_cast<char>(in.Byte()));
        }
    }
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    CSearchCondition condition;
    std::vector<std::u16string> texts;
    uint32_t count = in.Below(kMaxConditionTexts + 2);
    for (uint32_t i = 0; i < count; ++i) {
        std::u16string t = Text(in);
        int added = condition.Add(t.c_str());
        FUZZ_CHECK(added == (texts.size() < kMaxConditionTexts ? 1 : 0));
        // The condition keeps its texts as UTF-8, which has no lone surrogates.
        if (added) texts.push_back(fuzzing::ThroughUtf8(t));
    }
    FUZZ_CHECK(condition.Add(u"") == 0);
    bool all = in.Flag();
    condition.SetMatchAll(all ? 1 : 0);
    FUZZ_CHECK(condition.Count() == static_cast<int>(texts.size()));

    unsigned codePage = kCodePages[in.Below(3)];
    CLineMatcher matcher(condition, codePage);
    FUZZ_CHECK(matcher.Prepare() == 1);
    // The same texts under other rules (ignoring case, as regular expressions, which may not
    // compile), in any code page UTF-16 included: the matcher answers as the condition does
    // on the decoded line.
    const unsigned kAnyCodePages[] = {kCodePageAnsi, kCodePageUtf8, kCodePageShiftJis, kCodePageUtf16Le,
                                      kCodePageUtf16Be};
    unsigned otherCodePage = kAnyCodePages[in.Below(5)];
    CSearchCondition other;
    for (const std::u16string& t : texts) {
        int options = (in.Flag() ? kMatchCase : 0) | (in.Flag() ? kRegex : 0);
        other.Add(t.c_str(), options);
    }
    other.SetMatchAll(all ? 1 : 0);
    CLineMatcher otherMatcher(other, otherCodePage);
    FUZZ_CHECK(otherMatcher.Prepare() == 1);
    while (!in.Empty()) {
        std::string bytes = Line(in);
        std::u16string line = fuzzing::Decode(bytes, codePage);
        bool expected = Reference(texts, all, line);
        FUZZ_CHECK(condition.Matches(line.data(), static_cast<int>(line.size())) == (expected ? 1 : 0));
        FUZZ_CHECK(matcher.Matches(bytes.data(), static_cast<uint32_t>(bytes.size())) == (expected ? 1 : 0));
        std::u16string decoded = fuzzing::Decode(bytes, otherCodePage);
        FUZZ_CHECK(otherMatcher.Matches(bytes.data(), static_cast<uint32_t>(bytes.size())) ==
                   other.Matches(decoded.data(), static_cast<int>(decoded.size())));
    }
    return 0;
}
