// Rows with colour codes written out and copied: as in the log they keep every byte, as
// shown (and a copy's text) they lose the escape sequences when the view hides them, and a
// copy's columns count in the text the view shows.
#include "document/row_export.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "document/row_source.h"
#include "document/row_text.h"
#include "foundation/convert.h"
#include "test_support.h"

using testing_support::TempDir;
using testing_support::WriteBytes;

namespace {

class CStringSink : public CRowSink {
public:
    int Write(const char* bytes, uint32_t length) override {
        text.append(bytes, length);
        return 1;
    }
    std::string text;
};

TEST(RowExportTest, ColourCodesAreKeptAsInTheLogAndDroppedAsShownWhenHidden) {
    const std::string rows[] = {"\x1b[32mSep 19 \x1b[0m\x1b[1mok\x1b[0m\r\n", "plain [31m\r\n",
                                "\x1b[31mERR\xC3\x89\x1b[0m\x1b[K\n"};
    TempDir dir;
    std::string log;
    auto lines = std::make_unique<CLogLineList>();
    for (int k = 0; k < 3; ++k) {
        lines->Append(k, CTimeStamp(), log.size(), static_cast<int32_t>(rows[k].size()));
        log += rows[k];
    }
    WriteBytes(dir.FsPath("colour.log"), log);
    CLogFile file;
    ASSERT_EQ(1, file.Open(dir.File("colour.log").c_str()));

    for (bool hide : {false, true}) {
        CRowExport how;
        how.codePage = kCodePageUtf8;
        how.hideEscapes = hide;
        CStringSink raw;
        ASSERT_EQ(1, ExportRows(&file, *lines, how, &raw));
        EXPECT_EQ(log, raw.text);
        how.format = CRowFormat::kAsShown;
        CStringSink shown;
        ASSERT_EQ(1, ExportRows(&file, *lines, how, &shown));
        EXPECT_EQ(hide ? "\xEF\xBB\xBF"
                         "1\t\tSep 19 ok\r\n2\t\tplain [31m\r\n3\t\tERR\xC3\x89\r\n"
                       : "\xEF\xBB\xBF"
                         "1\t\t\x1b[32mSep 19 \x1b[0m\x1b[1mok\x1b[0m\r\n2\t\tplain [31m\r\n"
                         "3\t\t\x1b[31mERR\xC3\x89\x1b[0m\x1b[K\r\n",
                  shown.text);
    }

    // A copy from column 4 of the first row to column 4 of the last, in the shown text.
    CLineListRows source(std::move(lines), &file);
    auto copy = [&](bool hide) {
        char16_t* text = RangeText(source, nullptr, CRowRange{0, 4, 2, 4}, kCodePageUtf8, hide);
        std::u16string result = text != nullptr ? text : u"<null>";
        std::free(text);
        return result;
    };
    EXPECT_EQ(u"19 ok\r\nplain [31m\r\nERR\u00C9", copy(true));
    EXPECT_EQ(u"mSep 19 \x1b[0m\x1b[1mok\x1b[0m\r\nplain [31m\r\n\x1b[31", copy(false));
}

}  // namespace
