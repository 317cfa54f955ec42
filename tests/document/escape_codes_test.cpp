// Escape sequences hidden from row texts: random lines of text, colour and other sequences
// give the text without them and runs that carry each unit's colours; sequences cut or
// broken anywhere; the palettes.
#include "document/escape_codes.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "foundation/convert.h"

namespace {

std::u16string Decode(const std::string& bytes) {
    std::u16string out(bytes.size() + 1, u'\0');
    int n = MultiByteToWide(kCodePageUtf8, bytes.data(), static_cast<int>(bytes.size()), out.data(),
                            static_cast<int>(out.size()));
    out.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return out;
}

struct Shown {
    std::u16string text;
    std::vector<CStyleRun> runs;
};

Shown Hide(std::u16string text) {
    std::vector<CStyleRun> runs(static_cast<size_t>(StyleRunCapacity(static_cast<int>(text.size()))));
    int count = -1;
    int n = HideEscapes(text.data(), static_cast<int>(text.size()), runs.data(), &count);
    runs.resize(count >= 0 ? static_cast<size_t>(count) : 0);
    return Shown{text.substr(0, static_cast<size_t>(n)), runs};
}

// The style of each shown unit, checking that the runs are well formed.
std::vector<CTermStyle> StylesOf(const Shown& s) {
    std::vector<CTermStyle> styles;
    EXPECT_EQ(s.text.empty(), s.runs.empty());
    for (size_t r = 0; r < s.runs.size(); ++r) {
        int32_t start = s.runs[r].start;
        int32_t end = r + 1 < s.runs.size() ? s.runs[r + 1].start : static_cast<int32_t>(s.text.size());
        EXPECT_EQ(static_cast<int32_t>(styles.size()), start) << "runs leave a gap or overlap";
        EXPECT_LT(start, end) << "an empty run";
        for (int32_t k = start; k < end; ++k) styles.push_back(s.runs[r].style);
    }
    EXPECT_EQ(s.text.size(), styles.size());
    return styles;
}

CTermStyle Fg(uint32_t color, const CTermStyle& from) {
    CTermStyle s = from;
    s.foreground = color;
    return s;
}

CTermStyle Bg(uint32_t color, const CTermStyle& from) {
    CTermStyle s = from;
    s.background = color;
    return s;
}

// A random line: UTF-8 bytes of text (ASCII that looks like a sequence's tail, two-, three-
// and four-byte characters), colour sequences and other sequences, with the text and the
// style each shown unit must come out with.
struct Line {
    std::string bytes;
    std::u16string shown;
    std::vector<CTermStyle> styles;
};

Line RandomLine(std::mt19937& random) {
    struct Piece {
        const char* bytes;
        const char16_t* units;
    };
    static const Piece kText[] = {{"a", u"a"},
                                  {" ", u" "},
                                  {"[", u"["},
                                  {"m", u"m"},
                                  {"31", u"31"},
                                  {";", u";"},
                                  {"\\", u"\\"},
                                  {"\xC3\xA9", u"\u00E9"},
                                  {"\xE3\x81\x82", u"\u3042"},
                                  {"\xF0\x9F\x98\x80", u"\U0001F600"},
                                  {"\t", u"\t"}};
    static const char* const kOther[] = {"\x1b[K",
                                         "\x1b[2J",
                                         "\x1b[?25l",
                                         "\x1b[1;5H",
                                         "\x1b(B",
                                         "\x1b"
                                         "7",
                                         "\x1b=",
                                         "\x1b]0;a title\x07",
                                         "\x1b]8;;http://x/\x1b\\",
                                         "\x1b[>4;2m",
                                         "\x1b[31 q"};
    Line line;
    CTermStyle style;
    auto uniform = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    int pieces = uniform(30);
    for (int p = 0; p < pieces; ++p) {
        int kind = uniform(10);
        if (kind < 5) {
            const Piece& t = kText[uniform(static_cast<int>(sizeof kText / sizeof kText[0]))];
            line.bytes += t.bytes;
            for (const char16_t* u = t.units; *u != 0; ++u) {
                line.shown += *u;
                line.styles.push_back(style);
            }
        } else if (kind < 7) {
            line.bytes += kOther[uniform(static_cast<int>(sizeof kOther / sizeof kOther[0]))];
        } else {
            int n = uniform(8);
            int c = uniform(256);
            int r = uniform(256);
            std::string code;
            switch (uniform(11)) {
                case 0:
                    code = uniform(2) != 0 ? "0" : "";
                    style = CTermStyle();
                    break;
                case 1:
                    code = "1";
                    style.bold = true;
                    break;
                case 2:
                    code = "22";
                    style.bold = false;
                    break;
                case 3:
                    code = std::to_string(30 + n);
                    style = Fg(kTermIndexed | static_cast<uint32_t>(n), style);
                    break;
                case 4:
                    code = std::to_string(100 + n);
                    style = Bg(kTermIndexed | static_cast<uint32_t>(n + 8), style);
                    break;
                case 5:
                    code = uniform(2) != 0 ? "39" : "49";
                    style = code == "39" ? Fg(kTermDefault, style) : Bg(kTermDefault, style);
                    break;
                case 6:
                    code = "38;5;" + std::to_string(c);
                    style = Fg(kTermIndexed | static_cast<uint32_t>(c), style);
                    break;
                case 7:
                    code = "48;2;" + std::to_string(r) + ";0;" + std::to_string(c);
                    style = Bg(kTermRgb | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(c), style);
                    break;
                case 8:
                    code = "1;" + std::to_string(90 + n) + ";" + std::to_string(40 + n);
                    style.bold = true;
                    style = Bg(kTermIndexed | static_cast<uint32_t>(n),
                               Fg(kTermIndexed | static_cast<uint32_t>(n + 8), style));
                    break;
                case 9:
                    code = "38:2::" + std::to_string(c) + ":" + std::to_string(r) + ":7";
                    style = Fg(kTermRgb | static_cast<uint32_t>(c) << 16 | static_cast<uint32_t>(r) << 8 | 7u, style);
                    break;
                default:
                    code = "48:5:" + std::to_string(c);
                    style = Bg(kTermIndexed | static_cast<uint32_t>(c), style);
                    break;
            }
            line.bytes += "\x1b[" + code + "m";
        }
    }
    return line;
}

TEST(EscapeCodesTest, RandomLinesShowTheirTextInTheColoursTheSequencesSet) {
    std::mt19937 random(20240919);
    for (int round = 0; round < 3000; ++round) {
        Line line = RandomLine(random);
        std::u16string decoded = Decode(line.bytes);
        EXPECT_EQ(line.bytes.find('\x1b') != std::string::npos,
                  HasEscape(decoded.data(), static_cast<int>(decoded.size())));
        Shown shown = Hide(decoded);
        ASSERT_EQ(line.shown, shown.text) << line.bytes;
        std::vector<CTermStyle> styles = StylesOf(shown);
        ASSERT_EQ(line.styles.size(), styles.size());
        for (size_t k = 0; k < styles.size(); ++k)
            ASSERT_TRUE(line.styles[k] == styles[k]) << line.bytes << " at " << k;
        // Cut anywhere (as the view cuts a long row), the line shows a prefix of the whole.
        size_t cut = random() % (decoded.size() + 1);
        Shown part = Hide(decoded.substr(0, cut));
        EXPECT_EQ(shown.text.substr(0, part.text.size()), part.text) << line.bytes << " cut at " << cut;
        std::vector<CTermStyle> partStyles = StylesOf(part);
        for (size_t k = 0; k < partStyles.size(); ++k) EXPECT_TRUE(partStyles[k] == styles[k]);
        // Hiding is done once: the shown text has nothing left to hide.
        EXPECT_FALSE(HasEscape(shown.text.data(), static_cast<int>(shown.text.size())));
    }
}

TEST(EscapeCodesTest, BrokenAndCutSequencesHideOnlyWhatTheyReach) {
    struct Case {
        const char* bytes;
        const char16_t* shown;
    };
    const Case cases[] = {
        {"a\x1b", u"a"},
        {"a\x1b[", u"a"},
        {"a\x1b[31", u"a"},
        {"a\x1b[1;3", u"a"},
        {"a\x1b[31;\r\n", u"a\r\n"},  // a line break is never part of a sequence
        {"\x1b[31\xE3\x81\x82"
         "b",
         u"\u3042b"},  // ends before a unit that cannot continue it
        {"\x1b\xC3\xA9", u"\u00E9"},
        {"\x1b\x1b[0mx", u"x"},
        {"x\x1b(", u"x"},
        {"x\x1b(\r", u"x\r"},
        {"\x1b]0;title", u""},
        {"\x1b]0;title\r\n", u"\r\n"},
        {"\x1b]0;title\x1b", u""},
        {"\x1b]0;title\x1b[1mx", u"x"},
        {"[31m plain \\ text", u"[31m plain \\ text"},
        {"\x1b[m\x1b[0m", u""},
    };
    for (const Case& c : cases) {
        Shown shown = Hide(Decode(c.bytes));
        EXPECT_EQ(std::u16string(c.shown), shown.text) << c.bytes;
        StylesOf(shown);
    }
    // A colour whose form is unknown ends the sequence's colours; a private form sets none.
    Shown s = Hide(Decode("\x1b[1;38;5mA\x1b[>4;31mB\x1b[38;7;31mC"));
    ASSERT_EQ(u"ABC", s.text);
    std::vector<CTermStyle> styles = StylesOf(s);
    EXPECT_TRUE(styles[0].bold);
    EXPECT_EQ(kTermDefault, styles[0].foreground);
    EXPECT_TRUE(styles[1] == styles[0]);
    EXPECT_TRUE(styles[2] == styles[0]);
}

TEST(EscapeCodesTest, NamedColoursOnALightViewAreDarkAndThePaletteHasItsEnds) {
    auto luminance = [](CColorRef c) {
        return (299 * (c & 0xFF) + 587 * (c >> 8 & 0xFF) + 114 * (c >> 16 & 0xFF)) / 1000;
    };
    for (uint32_t n = 0; n < 16; ++n) {
        EXPECT_LT(luminance(TermColorRef(kTermIndexed | n, false, true)), 170u) << n;
    }
    EXPECT_GT(luminance(TermColorRef(kTermIndexed | 3, false, false)), 130u);  // the console's own on a dark view
    EXPECT_GT(luminance(TermColorRef(kTermIndexed | 7, true, true)), 180u);    // a white background stays light
    EXPECT_EQ(0x000000u, TermColorRef(kTermIndexed | 16, false, true));
    EXPECT_EQ(0xFFFFFFu, TermColorRef(kTermIndexed | 231, false, true));
    EXPECT_EQ(0x0000FFu, TermColorRef(kTermIndexed | 196, false, true));
    EXPECT_EQ(0xEEEEEEu, TermColorRef(kTermIndexed | 255, true, false));
    EXPECT_EQ(0x302010u, TermColorRef(kTermRgb | 0x102030, false, true));
}

}  // namespace
