// "Not" texts in the search and extraction dialogs and View > Hide Matching Rows, in both
// languages: what each finds, the views' titles, and the boxes kept in the settings.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "config/app_parameter.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "view/log_view.h"
#include "view_test_support.h"

namespace {

using testing_support::ReadBytes;

const char kLog[] =
    "start ok\r\n"
    "Error: disk\r\n"
    "fine DEBUG\r\n"
    "ERROR boom\r\n"
    "error again DEBUG\r\n";

class NotTextsTest : public ViewTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        Start(GetParam());
        m_view = OpenAndWait(WriteLog("a.log", kLog));
        ASSERT_NE(nullptr, m_view);
    }
    bool Japanese() const { return GetParam() == kLanguageJapanese; }
    std::string Settings() { return ReadBytes(m_dir.FsPath("quillon.ini")); }
    // Runs the dialog of command on the active view; body fills it and ends it.
    void RunDialog(int command, const std::function<void(HWND)>& body) {
        WithDialog([&] { SendMessageW(m_frame, WM_COMMAND, command, 0); }, body);
        Pump();
    }
    // The view the last command made from source, once the runner is done.
    CLogView* Made(CLogView* source) {
        EXPECT_TRUE(PumpUntil([&] { return ViewAfter(source) != nullptr && !m_app->Runner().Busy(); }));
        return ViewAfter(source);
    }
    static std::vector<int64_t> LineNumbers(CLogView* view) {
        std::vector<int64_t> numbers;
        for (int64_t i = 0; view != nullptr && i < view->Lines()->Count(); ++i) {
            numbers.push_back((*view->Lines())[i].lineNumber);
        }
        return numbers;
    }
    void Activate(CLogView* view) {
        SendMessageW(m_app->MdiClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(view->Window()), 0);
        Pump();
    }

    CLogView* m_view = nullptr;
};

TEST_P(NotTextsTest, SearchFindsTheNextRowWithoutTheText) {
    m_view->GoToLine(2);
    std::wstring label;
    RunDialog(IDM_SEARCH, [&](HWND d) {
        label = WindowText(GetDlgItem(d, IDC_NOT_1));
        EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), IsDlgButtonChecked(d, IDC_NOT_1));
        SetDlgItemTextW(d, IDC_CONDITION_1, L"DEBUG");
        CheckDlgButton(d, IDC_NOT_1, BST_CHECKED);
        PostMessageW(d, WM_COMMAND, IDC_SEARCH_NEXT, 0);
    });
    EXPECT_EQ(Japanese() ? L"除外" : L"Not", label);
    EXPECT_EQ(3, m_view->CaretLine());
    // Previous Search keeps the rule: from row 2 back, row 1 is the first without it.
    m_view->GoToLine(2);
    SendMessageW(m_frame, WM_COMMAND, IDM_SEARCH_PREVIOUS, 0);
    Pump();
    EXPECT_EQ(1, m_view->CaretLine());
    // Nothing is highlighted by a text the rows must not hold.
    EXPECT_EQ(0, m_app->SearchConditions().MatchesAtStart(u"DEBUG", 5));
    EXPECT_EQ(1, g_config->m_searchNot);
    EXPECT_NE(std::string::npos, Settings().find("<search_not>1</search_not>"));
    RunDialog(IDM_SEARCH, [&](HWND d) {
        EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(d, IDC_NOT_1));
        PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
    });
}

TEST_P(NotTextsTest, ExtractionLeavesOutRowsWithANotText) {
    RunDialog(IDM_EXTRACTION, [&](HWND d) {
        EXPECT_EQ(Japanese() ? L"除外" : L"Not", WindowText(GetDlgItem(d, IDC_NOT_5)));
        SetDlgItemTextW(d, IDC_CONDITION_1, L"rror");
        CheckDlgButton(d, IDC_MATCH_CASE, BST_UNCHECKED);
        SetDlgItemTextW(d, IDC_CONDITION_3, L"DEBUG");
        CheckDlgButton(d, IDC_NOT_3, BST_CHECKED);
        CheckDlgButton(d, IDC_NOT_5, BST_CHECKED);  // beside an empty field: kept, adds nothing
        PostMessageW(d, WM_COMMAND, IDOK, 0);
    });
    CLogView* extracted = Made(m_view);
    ASSERT_NE(nullptr, extracted);
    EXPECT_EQ((std::vector<int64_t>{1, 3}), LineNumbers(extracted));
    EXPECT_EQ(Japanese() ? L"抽出:rror 除外 DEBUG" : L"Extraction:rror not DEBUG", WindowText(extracted->Window()));
    EXPECT_EQ(4 | 16, g_config->m_extractNot);
    EXPECT_NE(std::string::npos, Settings().find("<extract_not>20</extract_not>"));
    // The dialog shows the condition's texts with their own boxes (DEBUG moved up to the
    // second field), and the fields left empty as their boxes were left.
    Activate(m_view);
    RunDialog(IDM_EXTRACTION, [&](HWND d) {
        EXPECT_EQ(L"DEBUG", WindowText(GetDlgItem(d, IDC_CONDITION_2)));
        EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), IsDlgButtonChecked(d, IDC_NOT_1));
        EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(d, IDC_NOT_2));
        EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(d, IDC_NOT_3));
        EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), IsDlgButtonChecked(d, IDC_NOT_4));
        EXPECT_EQ(static_cast<UINT>(BST_CHECKED), IsDlgButtonChecked(d, IDC_NOT_5));
        // Every text "not", AND or OR: the rows that hold none of them.
        SetDlgItemTextW(d, IDC_CONDITION_1, L"boom");
        CheckDlgButton(d, IDC_NOT_1, BST_CHECKED);
        CheckRadioButton(d, IDC_MATCH_AND, IDC_MATCH_OR, IDC_MATCH_AND);
        PostMessageW(d, WM_COMMAND, IDOK, 0);
    });
    CLogView* none = Made(extracted);
    ASSERT_NE(nullptr, none);
    EXPECT_EQ((std::vector<int64_t>{0, 1}), LineNumbers(none));
    EXPECT_EQ(Japanese() ? L"非表示:boom or DEBUG" : L"Hidden:boom or DEBUG", WindowText(none->Window()));
}

// Hide Matching Rows: no context rows whatever the extraction takes, a selected word as the
// first text, and from an extraction's view as from the log's.
TEST_P(NotTextsTest, HideMatchingRowsWorksOnEveryView) {
    EXPECT_EQ(Japanese() ? L"一致する行を隠す..." : L"Hide Matching Rows...", MenuText(IDM_HIDE_ROWS));
    g_config->m_contextBefore = 1;
    g_config->m_contextAfter = 1;
    m_view->SelectAll();
    // A selection over several rows gives no text: the fields open empty.
    RunDialog(IDM_HIDE_ROWS, [&](HWND d) {
        EXPECT_EQ(Japanese() ? L"一致する行を隠す" : L"Hide Matching Rows", WindowText(d));
        EXPECT_EQ(L"", WindowText(GetDlgItem(d, IDC_CONDITION_1)));
        SetDlgItemTextW(d, IDC_CONDITION_1, L"DEBUG");
        SetDlgItemTextW(d, IDC_CONDITION_4, L"boom");
        PostMessageW(d, WM_COMMAND, IDOK, 0);
    });
    CLogView* hidden = Made(m_view);
    ASSERT_NE(nullptr, hidden);
    EXPECT_EQ((std::vector<int64_t>{0, 1}), LineNumbers(hidden));
    EXPECT_EQ(Japanese() ? L"非表示:DEBUG or boom" : L"Hidden:DEBUG or boom", WindowText(hidden->Window()));
    ASSERT_EQ(1, g_config->History(3).count);
    EXPECT_EQ(std::u16string(u"boom"), g_config->History(3).entries[0]->GetWideOrEmpty());
    // From the new view, a word selected by a double click hides its rows too.
    Activate(hidden);
    SizeView(hidden, 900, 300);
    Click(hidden, WM_LBUTTONDBLCLK, CellX(hidden, 31), RowY(hidden, 0));
    ASSERT_EQ(CSelectionMode::kMade, hidden->SelectionState());
    RunDialog(IDM_HIDE_ROWS, [&](HWND d) {
        EXPECT_EQ(L"start", WindowText(GetDlgItem(d, IDC_CONDITION_1)));
        PostMessageW(d, WM_COMMAND, IDOK, 0);
    });
    CLogView* fewer = Made(hidden);
    ASSERT_NE(nullptr, fewer);
    EXPECT_EQ((std::vector<int64_t>{1}), LineNumbers(fewer));
    // Cancel makes no view.
    Activate(fewer);
    RunDialog(IDM_HIDE_ROWS, [&](HWND d) { PostMessageW(d, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_EQ(nullptr, ViewAfter(fewer));
}

INSTANTIATE_TEST_SUITE_P(Languages, NotTextsTest, ::testing::Values(0, 1));

}  // namespace
