// Commands on a loaded log: menu state, search, extraction, error log, markers and jump.
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "config/app_parameter.h"
#include "gui_harness.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "view/log_view.h"

namespace {

using testing_support::WriteBytes;

// Line i (0-based) reads "2021-03-04 05:06:<i> line <i> ..." with a few marked words.
std::string MakeLog() {
    std::string log;
    for (int i = 0; i < 20; ++i) {
        char line[160];
        const char* extra = i == 5 || i == 6 ? " hit" : (i == 12 ? " ERROR boom" : "");
        const char* more = i == 8 ? " alpha" : (i == 9 ? " beta" : (i == 10 ? " alpha beta" : ""));
        snprintf(line, sizeof line, "2021-03-04 05:06:%02d line %d%s%s\r\n", i, i, extra, more);
        log += line;
    }
    return log;
}

const char kKeywords[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<quillon_keyword><keyword><emphasis><text>ERROR</text>"
    "<color>6</color>\r\n<bold>1</bold>\r\n<error>1</error>\r\n</emphasis>\r\n</keyword>\r\n</quillon_keyword>\r\n";

class CommandTest : public GuiTest {
protected:
    void Open(const std::string& extraSettings = "") {
        WriteBytes(m_dir.FsPath("keyword_default.xml"), kKeywords);
        WriteBytes(m_dir.FsPath("test.log"), MakeLog());
        StartApp(0, extraSettings);
        m_app->OpenLogFile(m_dir.FsPath("test.log").wstring().c_str());
        for (int i = 0; i < 400 && (View() == nullptr || View()->Lines() == nullptr); ++i) Pump(1);
        ASSERT_NE(nullptr, View());
        ASSERT_NE(nullptr, View()->Lines());
        ASSERT_EQ(20, View()->Lines()->Count());
    }
    CLogView* View() { return m_app->Views().First(); }
    CLogView* Active() { return m_app->Views().Active(); }
    void Command(int id) { SendMessageW(m_frame, WM_COMMAND, id, 0); }
    bool Grey(int id) { return (MenuState(id) & MF_GRAYED) != 0; }
    // Whether the Search menu is greyed on the menu bar, wherever a maximised view's window
    // menu, put first on the bar, moved it.
    bool SearchMenuGrey() {
        HMENU bar = GetMenu(m_frame);
        for (int i = 0; i < GetMenuItemCount(bar); ++i) {
            HMENU menu = GetSubMenu(bar, i);
            if (menu != nullptr && GetMenuState(menu, IDM_SEARCH, MF_BYCOMMAND) != static_cast<UINT>(-1))
                return (GetMenuState(bar, i, MF_BYPOSITION) & MF_GRAYED) != 0;
        }
        ADD_FAILURE() << "no Search menu";
        return false;
    }
    std::vector<int> LineNumbers(CLogView* view) {
        std::vector<int> numbers;
        for (int i = 0; view->Lines() != nullptr && i < view->Lines()->Count(); ++i) {
            numbers.push_back((*view->Lines())[i].lineNumber);
        }
        return numbers;
    }
    void SearchFromDialog(const wchar_t* text, int button) {
        WithDialog([&] { Command(IDM_SEARCH); },
                   [&](HWND dialog) {
                       SetDlgItemTextW(dialog, IDC_CONDITION_1, text);
                       PostMessageW(dialog, WM_COMMAND, button, 0);
                   });
    }
};

TEST_F(CommandTest, MenuStateFollowsOpenCloseAndTheActiveView) {
    Open();
    EXPECT_TRUE(Grey(IDM_OPEN_LOG));
    EXPECT_FALSE(Grey(IDM_CLOSE));
    EXPECT_EQ(0u, TopMenuState(1) & MF_GRAYED);
    EXPECT_FALSE(Grey(IDM_SEARCH));
    EXPECT_FALSE(Grey(IDM_JUMP));
    EXPECT_TRUE(Grey(IDM_MARKER_NEXT));  // no markers yet
    EXPECT_TRUE(Grey(IDM_COPY));
    Command(IDM_MARKER_TOGGLE);
    EXPECT_FALSE(Grey(IDM_MARKER_NEXT));
    EXPECT_FALSE(Grey(IDM_MARKER_LIST));
    Command(IDM_MARKER_CLEAR_ALL);
    for (int id : {IDM_MARKER_PREVIOUS, IDM_MARKER_NEXT, IDM_MARKER_CLEAR_ALL, IDM_MARKER_LIST}) EXPECT_TRUE(Grey(id));
    Command(IDM_CLOSE);
    Pump();
    EXPECT_EQ(nullptr, m_app->Views().First());
    EXPECT_FALSE(Grey(IDM_OPEN_LOG));
    EXPECT_TRUE(Grey(IDM_CLOSE));
    EXPECT_NE(0u, TopMenuState(1) & MF_GRAYED);
    EXPECT_FALSE(m_app->LogFile().IsOpen());
}

// A view opened maximised puts its window menu first on the menu bar: the Search menu is
// still the one enabled with the log and greyed without it.
TEST_F(CommandTest, TheSearchMenuFollowsTheLogUnderAMaximisedView) {
    Open("<view_maximized>1</view_maximized>");
    ASSERT_TRUE(IsZoomed(View()->Window()));
    EXPECT_FALSE(SearchMenuGrey());
    EXPECT_FALSE(Grey(IDM_SEARCH));
    Command(IDM_CLOSE);
    Pump();
    EXPECT_TRUE(SearchMenuGrey());
    EXPECT_EQ(0u, TopMenuState(0) & MF_GRAYED);  // File
}

TEST_F(CommandTest, SecondOpenIsRefusedWhileALogIsOpen) {
    Open();
    WriteBytes(m_dir.FsPath("other.log"), "other\r\n");
    auto* copy = static_cast<wchar_t*>(calloc(512, sizeof(wchar_t)));
    wcscpy(copy, m_dir.FsPath("other.log").wstring().c_str());
    PostMessageW(m_frame, UM_OPEN_FILE, reinterpret_cast<WPARAM>(copy), 0);
    Pump();
    EXPECT_EQ(20, View()->Lines()->Count());
    EXPECT_EQ(1, m_app->Views().Count());
}

TEST_F(CommandTest, SearchFromTheDialogAndAgain) {
    Open();
    SearchFromDialog(L"alpha", IDC_SEARCH_NEXT);
    EXPECT_EQ(8, View()->CaretLine());
    EXPECT_EQ(1, View()->HighlightSearch());
    EXPECT_NE(0u, MenuState(IDM_HIGHLIGHT_SEARCH) & MF_CHECKED);
    // The cursor line is examined first: a second search from the dialog stays on 8.
    SearchFromDialog(L"alpha", IDC_SEARCH_NEXT);
    EXPECT_EQ(8, View()->CaretLine());
    Command(IDM_SEARCH_NEXT);
    EXPECT_EQ(10, View()->CaretLine());
    Command(IDM_SEARCH_NEXT);  // nothing further: stays
    EXPECT_EQ(10, View()->CaretLine());
    Command(IDM_SEARCH_PREVIOUS);
    EXPECT_EQ(8, View()->CaretLine());
    // The history holds the text once, most recent first.
    EXPECT_EQ(1, g_config->History(0).count);
    SearchFromDialog(L"06:00 line", IDC_SEARCH_PREVIOUS);
    EXPECT_EQ(0, View()->CaretLine());
    EXPECT_EQ(2, g_config->History(0).count);
    // Case-sensitive.
    SearchFromDialog(L"Error", IDC_SEARCH_NEXT);
    EXPECT_EQ(0, View()->CaretLine());
}

TEST_F(CommandTest, NextOnTheLastLineFindsNothingAndPreviousOnLineZeroExaminesIt) {
    Open();
    SearchFromDialog(L"line 19", IDC_SEARCH_NEXT);
    ASSERT_EQ(19, View()->CaretLine());
    Command(IDM_SEARCH_NEXT);
    EXPECT_EQ(19, View()->CaretLine());
    SearchFromDialog(L"06:00 line", IDC_SEARCH_PREVIOUS);
    ASSERT_EQ(0, View()->CaretLine());
    Command(IDM_SEARCH_PREVIOUS);
    EXPECT_EQ(0, View()->CaretLine());
}

TEST_F(CommandTest, PreviousAndNextWithoutConditionOpenTheDialog) {
    Open();
    for (int id : {IDM_SEARCH_PREVIOUS, IDM_SEARCH_NEXT}) {
        bool opened = false;
        WithDialog([&] { Command(id); },
                   [&](HWND dialog) {
                       opened = true;
                       PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
                   });
        EXPECT_TRUE(opened);
    }
}

TEST_F(CommandTest, ExtractionWithContextKeepsDuplicatesAndFileLineNumbers) {
    Open("<search><before_line>2</before_line>\r\n<after_line>0</after_line>\r\n</search>\r\n");
    std::wstring before;
    WithDialog([&] { Command(IDM_EXTRACTION); },
               [&](HWND dialog) {
                   wchar_t text[16] = {};
                   GetDlgItemTextW(dialog, IDC_LINES_BEFORE, text, 16);
                   before = text;
                   SetDlgItemTextW(dialog, IDC_LINES_BEFORE, L"2");
                   SetDlgItemTextW(dialog, IDC_LINES_AFTER, L"0");
                   SetDlgItemTextW(dialog, IDC_CONDITION_1, L"hit");
                   PostMessageW(dialog, WM_COMMAND, IDOK, 0);
               });
    EXPECT_EQ(L"2", before);
    CLogView* extracted = Active();
    ASSERT_NE(nullptr, extracted);
    ASSERT_NE(View(), extracted);
    EXPECT_EQ((std::vector<int>{3, 4, 5, 4, 5, 6}), LineNumbers(extracted));
    EXPECT_EQ(L"Extraction:hit", WindowText(extracted->Window()));
    EXPECT_EQ(1, extracted->HighlightSearch());
    EXPECT_EQ(2, g_config->m_contextBefore);
}

TEST_F(CommandTest, ExtractionAndOrTitleAndEditRules) {
    Open();
    WithDialog([&] { Command(IDM_EXTRACTION); },
               [&](HWND dialog) {
                   SetDlgItemTextW(dialog, IDC_CONDITION_1, L"alpha");
                   SetDlgItemTextW(dialog, IDC_CONDITION_2, L"beta");
                   SetDlgItemTextW(dialog, IDC_CONDITION_3, L"hit");
                   SetDlgItemTextW(dialog, IDC_LINES_BEFORE, L"-1");
                   SetDlgItemTextW(dialog, IDC_LINES_AFTER, L"1a");
                   PostMessageW(dialog, WM_COMMAND, IDOK, 0);
               });
    CLogView* orView = Active();
    ASSERT_NE(View(), orView);
    EXPECT_EQ((std::vector<int>{5, 6, 8, 9, 10}), LineNumbers(orView));
    EXPECT_EQ(L"Extraction:alpha or beta or hit", WindowText(orView->Window()));
    EXPECT_EQ(-1, g_config->m_contextBefore);
    EXPECT_EQ(0, g_config->m_contextAfter);  // "1a" leaves the count alone
    // AND, from the extraction view: line numbers of the file are kept.
    WithDialog([&] { Command(IDM_EXTRACTION); },
               [&](HWND dialog) {
                   CheckRadioButton(dialog, IDC_MATCH_AND, IDC_MATCH_OR, IDC_MATCH_AND);
                   SetDlgItemTextW(dialog, IDC_CONDITION_1, L"beta");
                   SetDlgItemTextW(dialog, IDC_CONDITION_2, L"alpha");
                   SetDlgItemTextW(dialog, IDC_CONDITION_3, L"");
                   SetDlgItemTextW(dialog, IDC_LINES_BEFORE, L"");
                   PostMessageW(dialog, WM_COMMAND, IDOK, 0);
               });
    CLogView* andView = Active();
    ASSERT_NE(orView, andView);
    EXPECT_EQ((std::vector<int>{10}), LineNumbers(andView));
    EXPECT_EQ(L"Extraction:beta and alpha", WindowText(andView->Window()));
    EXPECT_EQ(0, g_config->m_contextBefore);  // an empty edit reads as 0
}

TEST_F(CommandTest, AnEmptyExtractionOpensNoView) {
    Open();
    WithDialog([&] { Command(IDM_EXTRACTION); },
               [&](HWND dialog) {
                   SetDlgItemTextW(dialog, IDC_CONDITION_1, L"nowhere to be found");
                   PostMessageW(dialog, WM_COMMAND, IDOK, 0);
               });
    EXPECT_EQ(1, m_app->Views().Count());
}

TEST_F(CommandTest, ErrorLogListsTheErrorLines) {
    Open();
    Command(IDM_ERROR_LOG);
    CLogView* errors = Active();
    ASSERT_NE(nullptr, errors);
    ASSERT_NE(View(), errors);
    EXPECT_EQ((std::vector<int>{12}), LineNumbers(errors));
    EXPECT_EQ(L"Error Log", WindowText(errors->Window()));
    // Closing an extracted view keeps the file and its first view.
    SendMessageW(errors->Window(), WM_CLOSE, 0, 0);
    Pump();
    EXPECT_EQ(1, m_app->Views().Count());
    EXPECT_TRUE(m_app->LogFile().IsOpen());
}

TEST_F(CommandTest, MarkersSortedAndVisitedWithWrapAround) {
    Open();
    for (int line : {9, 2, 5}) {
        View()->GoToLine(line);
        Command(IDM_MARKER_TOGGLE);
    }
    CMarkerList& markers = View()->Markers();
    ASSERT_EQ(3, markers.Count());
    EXPECT_EQ(CLineNumber(2), markers.At(0)->lineNumber);
    EXPECT_EQ(CLineNumber(5), markers.At(1)->lineNumber);
    EXPECT_EQ(CLineNumber(9), markers.At(2)->lineNumber);
    View()->GoToLine(5);
    Command(IDM_MARKER_PREVIOUS);
    EXPECT_EQ(2, View()->CaretLine());
    View()->GoToLine(5);
    Command(IDM_MARKER_NEXT);
    EXPECT_EQ(9, View()->CaretLine());
    View()->GoToLine(1);
    Command(IDM_MARKER_PREVIOUS);
    EXPECT_EQ(9, View()->CaretLine());
    Command(IDM_MARKER_NEXT);  // from 9
    EXPECT_EQ(2, View()->CaretLine());
    // The marker list shows the numbers as the view does (1-based).
    std::vector<std::wstring> items;
    WithDialog([&] { Command(IDM_MARKER_LIST); },
               [&](HWND dialog) {
                   HWND list = GetDlgItem(dialog, IDC_MARKER_LIST);
                   for (int i = 0; i < SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
                       wchar_t text[16] = {};
                       SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
                       items.emplace_back(text);
                   }
                   SendMessageW(list, LB_SETCURSEL, 1, 0);
                   SendMessageW(dialog, WM_COMMAND, IDC_MARKER_RELEASE, 0);
                   PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
               });
    EXPECT_EQ((std::vector<std::wstring>{L"3", L"6", L"10"}), items);
    EXPECT_EQ(2, markers.Count());
    // Toggling the same line twice leaves no marker there.
    View()->GoToLine(2);
    Command(IDM_MARKER_TOGGLE);
    EXPECT_EQ(1, markers.Count());
}

// In an extraction the rows are not numbered like the file: the marker jumps follow rows.
TEST_F(CommandTest, MarkerJumpsInAnExtractionFollowRowOrder) {
    Open();
    WithDialog([&] { Command(IDM_EXTRACTION); },
               [&](HWND dialog) {
                   SetDlgItemTextW(dialog, IDC_CONDITION_1, L"alpha");
                   SetDlgItemTextW(dialog, IDC_CONDITION_2, L"hit");
                   PostMessageW(dialog, WM_COMMAND, IDOK, 0);
               });
    CLogView* extracted = Active();
    ASSERT_NE(View(), extracted);
    ASSERT_EQ((std::vector<int>{5, 6, 8, 10}), LineNumbers(extracted));
    for (int row : {1, 3}) {
        extracted->GoToLine(row);
        Command(IDM_MARKER_TOGGLE);
    }
    ASSERT_EQ(2, extracted->Markers().Count());
    std::vector<int64_t> visited;
    extracted->GoToLine(2);
    for (int id : {IDM_MARKER_NEXT, IDM_MARKER_NEXT, IDM_MARKER_PREVIOUS, IDM_MARKER_PREVIOUS}) {
        Command(id);
        visited.push_back(extracted->CaretLine());
    }
    EXPECT_EQ((std::vector<int64_t>{3, 1, 3, 1}), visited);
    extracted->GoToLine(0);
    Command(IDM_MARKER_PREVIOUS);
    EXPECT_EQ(3, extracted->CaretLine());
}

TEST_F(CommandTest, JumpDialogAcceptsOnlyNumbersInRange) {
    Open();
    View()->GoToLine(4);
    std::wstring range, cursor;
    WithDialog([&] { Command(IDM_JUMP); },
               [&](HWND dialog) {
                   wchar_t text[32] = {};
                   GetDlgItemTextW(dialog, IDC_JUMP_RANGE, text, 32);
                   range = text;
                   GetDlgItemTextW(dialog, IDC_JUMP_CURSOR, text, 32);
                   cursor = text;
                   SetDlgItemTextW(dialog, IDC_JUMP_LINE, L"  12");
                   PostMessageW(dialog, WM_COMMAND, IDOK, 0);
               });
    EXPECT_EQ(L"1 - 20", range);
    EXPECT_EQ(L"5", cursor);
    EXPECT_EQ(11, View()->CaretLine());
    for (const wchar_t* bad : {L"0", L"21", L"abc", L"3x", L""}) {
        WithDialog([&] { Command(IDM_JUMP); },
                   [&](HWND dialog) {
                       SetDlgItemTextW(dialog, IDC_JUMP_LINE, bad);
                       PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                   });
        EXPECT_EQ(11, View()->CaretLine()) << bad;
    }
    Command(IDM_JUMP_END);
    EXPECT_EQ(19, View()->CaretLine());
    Command(IDM_JUMP_TOP);
    EXPECT_EQ(0, View()->CaretLine());
}

}  // namespace
