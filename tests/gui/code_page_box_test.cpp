// The code-page box with Auto, in both languages: what Auto reads a log with and shows,
// UTF-16 logs in the view (rows, search, extraction, copy), and the stored choice.
#include <windows.h>

#include <string>

#include "config/app_parameter.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "view/log_view.h"
#include "view_test_support.h"

namespace {

using testing_support::ReadBytes;

std::string Utf16(const std::u16string& text, bool big) {
    std::string bytes = big ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(big ? c >> 8 : c & 0xFF);
        bytes += static_cast<char>(big ? c & 0xFF : c >> 8);
    }
    return bytes;
}

class CodePageBoxTest : public ViewTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        StartApp(GetParam(), "<encoding>-1</encoding>");
        MoveWindow(m_frame, 0, 0, 1200, 900, TRUE);
        Pump();
    }
    HWND Box() { return GetDlgItem(m_app->ToolBar()->m_window, IDC_ENCODING_COMBO); }
    std::wstring BoxText() { return WindowText(Box()); }
    std::wstring Auto(const wchar_t* name) {
        std::wstring text = GetParam() == 1 ? L"自動" : L"Auto";
        return name != nullptr ? text + L" (" + name + L")" : text;
    }
    std::u16string Row(CLogView* view, int row) {
        int count = 0;
        char16_t* text = view->GetRowText(row, &count);
        std::u16string s(text != nullptr ? text : u"", static_cast<size_t>(count));
        std::free(text);
        return s;
    }
};

TEST_P(CodePageBoxTest, AutoReadsUtf8AndUtf16LogsAndSaysWhatItChose) {
    EXPECT_EQ(Auto(nullptr), BoxText());
    CLogView* view = OpenAndWait(WriteLog("utf8.log", "2024-05-31 23:58:40 エラー: 接続できません\r\nplain\r\n"));
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(65001u, g_config->m_codePage);
    EXPECT_EQ(Auto(L"UTF-8"), BoxText());
    EXPECT_EQ(u"2024-05-31 23:58:40 エラー: 接続できません\r\n", Row(view, 0));
    SendMessageW(m_frame, WM_COMMAND, IDM_CLOSE, 0);
    Pump();
    EXPECT_EQ(Auto(nullptr), BoxText());

    // UTF-16 big endian: a character whose units hold CR and LF bytes breaks no line.
    std::u16string text = u"2024-05-31 23:58:40 start \u0D0A\u0A0D\r\n\r\n2024-05-31 23:58:42 エラー here\r\nlast";
    for (bool big : {true, false}) {
        view = OpenAndWait(WriteLog("wide.log", Utf16(text, big)));
        ASSERT_NE(nullptr, view);
        EXPECT_EQ(Auto(big ? L"UTF-16BE" : L"UTF-16LE"), BoxText());
        ASSERT_EQ(3, view->Lines()->Count());
        EXPECT_EQ(u"2024-05-31 23:58:42 エラー here\r\n", Row(view, 1));
        EXPECT_EQ(2000u, (*view->Lines())[1].timeStamp.milliseconds - (*view->Lines())[0].timeStamp.milliseconds);
        m_app->SearchConditions().Clear();
        m_app->SearchConditions().Add(u"エラー");
        m_app->SearchNext(view, 0);
        EXPECT_EQ(1, view->CaretLine());
        m_app->StartExtraction(view);
        ASSERT_TRUE(PumpUntil([&] { return ViewAfter(view) != nullptr && !m_app->Runner().Busy(); }));
        ASSERT_EQ(1, ViewAfter(view)->Lines()->Count());
        EXPECT_EQ(1, (*ViewAfter(view)->Lines())[0].lineNumber);
        SendMessageW(m_app->MdiClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(view->Window()), 0);
        SendMessageW(m_frame, WM_COMMAND, IDM_SELECT_ALL, 0);
        ClearClipboard();
        SendMessageW(m_frame, WM_COMMAND, IDM_COPY, 0);
        ASSERT_TRUE(PumpUntil([&] { return !ClipboardText().empty(); }));
        std::wstring copied = ClipboardText();
        EXPECT_EQ(text.substr(0, 30) + text.substr(32), std::u16string(copied.begin(), copied.end()));
        SendMessageW(m_frame, WM_COMMAND, IDM_CLOSE, 0);
        Pump();
    }
}

TEST_P(CodePageBoxTest, TheChoiceIsSavedAndAUtf16LogStaysUtf16) {
    CLogView* view = OpenAndWait(WriteLog("wide.log", Utf16(u"ok line\r\n", false)));
    ASSERT_NE(nullptr, view);
    HWND box = Box();
    SendMessageW(box, CB_SETCURSEL, 1, 0);  // ANSI
    SendMessageW(m_frame, WM_COMMAND, MAKEWPARAM(IDC_ENCODING_COMBO, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    EXPECT_EQ(0, g_config->m_encodingChoice);
    EXPECT_NE(std::string::npos, ReadBytes(m_dir.FsPath("quillon.ini")).find("<encoding>0</encoding>"));
    EXPECT_EQ(1200u, g_config->m_codePage);  // its lines break on UTF-16 units whatever the choice
    EXPECT_EQ(u"ok line\r\n", Row(view, 0));
    SendMessageW(m_frame, WM_COMMAND, IDM_CLOSE, 0);
    Pump();
    // An ASCII log read with ANSI; Auto would choose ANSI too.
    view = OpenAndWait(WriteLog("plain.log", "caf\xE9\r\n"));
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(0u, g_config->m_codePage);
    EXPECT_EQ(L"ANSI", BoxText());
    SendMessageW(box, CB_SETCURSEL, 0, 0);  // Auto
    SendMessageW(m_frame, WM_COMMAND, MAKEWPARAM(IDC_ENCODING_COMBO, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    EXPECT_EQ(Auto(L"ANSI"), BoxText());
    EXPECT_NE(std::string::npos, ReadBytes(m_dir.FsPath("quillon.ini")).find("<encoding>-1</encoding>"));
}

// A switch of the box reaches every open view at once: the log and its extraction show
// their rows decoded with the new code page.
TEST_P(CodePageBoxTest, ASwitchDecodesTheOpenViewsAgain) {
    CLogView* view = OpenAndWait(WriteLog("utf8.log", "caf\xC3\xA9 ok\r\nother\r\n"));
    ASSERT_NE(nullptr, view);
    m_app->SearchConditions().Clear();
    m_app->SearchConditions().Add(u"ok");
    m_app->StartExtraction(view);
    ASSERT_TRUE(PumpUntil([&] { return ViewAfter(view) != nullptr && !m_app->Runner().Busy(); }));
    CLogView* extraction = ViewAfter(view);
    const std::u16string utf8 = u"caf\u00E9 ok\r\n";
    EXPECT_EQ(utf8, Row(view, 0));
    EXPECT_EQ(utf8, Row(extraction, 0));
    HWND box = Box();
    SendMessageW(box, CB_SETCURSEL, 1, 0);  // ANSI: two characters for the two bytes
    SendMessageW(m_frame, WM_COMMAND, MAKEWPARAM(IDC_ENCODING_COMBO, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    EXPECT_EQ(5u, Row(view, 0).find(u" ok"));
    EXPECT_EQ(5u, Row(extraction, 0).find(u" ok"));
    SendMessageW(box, CB_SETCURSEL, 2, 0);  // UTF-8
    SendMessageW(m_frame, WM_COMMAND, MAKEWPARAM(IDC_ENCODING_COMBO, CBN_SELCHANGE), reinterpret_cast<LPARAM>(box));
    EXPECT_EQ(utf8, Row(view, 0));
    EXPECT_EQ(utf8, Row(extraction, 0));
}

INSTANTIATE_TEST_SUITE_P(Languages, CodePageBoxTest, ::testing::Values(0, 1));

}  // namespace
