// The find options of the search and extraction dialogs, in both languages: each dialog's
// check boxes, what they do to search, Next, extraction and highlighting, and the settings.
#include <windows.h>

#include <functional>
#include <string>

#include "config/app_parameter.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "view/log_view.h"
#include "view_test_support.h"

namespace {

using testing_support::ReadBytes;

const char kLog[] =
    "2021-03-04 05:06:00 start\r\n"
    "2021-03-04 05:06:01 Error: disk\r\n"
    "2021-03-04 05:06:02 fine\r\n"
    "2021-03-04 05:06:03 ERROR boom\r\n"
    "2021-03-04 05:06:04 error again\r\n";

class FindOptionsTest : public ViewTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        Start(GetParam());
        m_view = OpenAndWait(WriteLog("a.log", kLog));
        ASSERT_NE(nullptr, m_view);
    }
    // Runs a dialog with fill (given the dialog) and then presses button; returns the
    // check state the dialog opened with.
    UINT RunDialog(int command, const std::function<void(HWND)>& fill, int button) {
        UINT opened = 0;
        WithDialog([&] { SendMessageW(m_frame, WM_COMMAND, command, 0); },
                   [&](HWND dialog) {
                       opened = IsDlgButtonChecked(dialog, IDC_MATCH_CASE);
                       fill(dialog);
                       PostMessageW(dialog, WM_COMMAND, button, 0);
                   });
        Pump();
        return opened;
    }
    std::string Settings() { return ReadBytes(m_dir.FsPath("quillon.ini")); }

    CLogView* m_view = nullptr;
};

TEST_P(FindOptionsTest, MatchCaseIsOnByDefaultAndOffFindsEveryCase) {
    auto search = [&](const wchar_t* text, bool matchCase) {
        return RunDialog(
            IDM_SEARCH,
            [&](HWND d) {
                SetDlgItemTextW(d, IDC_CONDITION_1, text);
                CheckDlgButton(d, IDC_MATCH_CASE, matchCase ? BST_CHECKED : BST_UNCHECKED);
            },
            IDC_SEARCH_NEXT);
    };
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), search(L"error", true));
    EXPECT_EQ(4, m_view->CaretLine());
    m_view->GoToLine(0);
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), search(L"error", false));
    EXPECT_EQ(1, m_view->CaretLine());
    EXPECT_EQ(0, g_config->m_searchMatchCase);
    EXPECT_NE(std::string::npos, Settings().find("<search_match_case>0</search_match_case>"));
    // Next and Previous keep the rule; so does the highlight of the view's tokens.
    SendMessageW(m_frame, WM_COMMAND, IDM_SEARCH_NEXT, 0);
    EXPECT_EQ(3, m_view->CaretLine());
    EXPECT_EQ(1, m_app->SearchConditions().MatchesAtStart(u"ERROR", 5));
    // The dialog opens with the choice it was left with.
    EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), search(L"ERROR", true));
    EXPECT_EQ(3, m_view->CaretLine());
    EXPECT_EQ(0, m_app->SearchConditions().MatchesAtStart(u"error", 5));
}

TEST_P(FindOptionsTest, ExtractionHasItsOwnMatchCase) {
    auto extract = [&](const wchar_t* first, const wchar_t* second, bool matchCase) {
        return RunDialog(
            IDM_EXTRACTION,
            [&](HWND d) {
                SetDlgItemTextW(d, IDC_CONDITION_1, first);
                SetDlgItemTextW(d, IDC_CONDITION_2, second);
                CheckDlgButton(d, IDC_MATCH_CASE, matchCase ? BST_CHECKED : BST_UNCHECKED);
            },
            IDOK);
    };
    g_config->m_searchMatchCase = 0;  // the search dialog's choice is another one
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), extract(L"ERROR", L"", false));
    ASSERT_TRUE(PumpUntil([&] { return ViewAfter(m_view) != nullptr && !m_app->Runner().Busy(); }));
    CLogView* extracted = ViewAfter(m_view);
    ASSERT_EQ(3, extracted->Lines()->Count());
    EXPECT_EQ(1, (*extracted->Lines())[0].lineNumber);
    EXPECT_EQ(0, g_config->m_extractMatchCase);
    EXPECT_NE(std::string::npos, Settings().find("<extract_match_case>0</extract_match_case>"));
    // From the extraction, with case: one line holds "Error" and "disk" (AND is not set: OR).
    SendMessageW(m_app->MdiClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(extracted->Window()), 0);
    EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), extract(L"Error", L"again", true));
    ASSERT_TRUE(PumpUntil([&] { return ViewAfter(extracted) != nullptr && !m_app->Runner().Busy(); }));
    ASSERT_EQ(2, ViewAfter(extracted)->Lines()->Count());
    EXPECT_EQ(1, (*ViewAfter(extracted)->Lines())[0].lineNumber);
    EXPECT_EQ(4, (*ViewAfter(extracted)->Lines())[1].lineNumber);
    EXPECT_EQ(1, g_config->m_extractMatchCase);
}

// Regular expressions: a pattern that does not compile keeps the dialog open with PCRE2's
// reason and searches nothing; one that compiles searches, and the choice is kept.
TEST_P(FindOptionsTest, RegularExpressionsAndTheirErrorsInTheDialogs) {
    std::wstring shown;
    WithDialog([&] { SendMessageW(m_frame, WM_COMMAND, IDM_SEARCH, 0); },
               [&](HWND d) {
                   EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), IsDlgButtonChecked(d, IDC_REGEX));
                   SetDlgItemTextW(d, IDC_CONDITION_1, L"(boom|disk");
                   CheckDlgButton(d, IDC_REGEX, BST_CHECKED);
                   SendMessageW(d, WM_COMMAND, IDC_SEARCH_NEXT, 0);
                   shown = WindowText(GetDlgItem(d, IDC_PATTERN_ERROR));
                   EXPECT_TRUE(IsWindowVisible(d));  // still open
                   SetDlgItemTextW(d, IDC_CONDITION_1, L"(boom|disk)$");
                   SendMessageW(d, WM_COMMAND, IDC_SEARCH_NEXT, 0);
               });
    Pump();
    EXPECT_EQ(GetParam() == 1 ? L"正規表現のエラー (11 文字目): missing closing parenthesis"
                              : L"Regular expression error at character 11: missing closing parenthesis",
              shown);
    EXPECT_EQ(1, m_view->CaretLine());
    EXPECT_EQ(1, g_config->m_searchRegex);
    EXPECT_NE(std::string::npos, Settings().find("<search_regex>1</search_regex>"));
    SendMessageW(m_frame, WM_COMMAND, IDM_SEARCH_NEXT, 0);
    EXPECT_EQ(3, m_view->CaretLine());
    // The extraction refuses the second text, and keeps nothing of the first.
    WithDialog([&] { SendMessageW(m_frame, WM_COMMAND, IDM_EXTRACTION, 0); },
               [&](HWND d) {
                   CheckDlgButton(d, IDC_REGEX, BST_CHECKED);
                   SetDlgItemTextW(d, IDC_CONDITION_1, L"start");
                   SetDlgItemTextW(d, IDC_CONDITION_2, L"x{2,1}");
                   SendMessageW(d, WM_COMMAND, IDOK, 0);
                   shown = WindowText(GetDlgItem(d, IDC_PATTERN_ERROR));
                   EXPECT_EQ(0, m_app->SearchConditions().Count());
                   SetDlgItemTextW(d, IDC_CONDITION_2, L"^2021.*(again|fine)");
                   SendMessageW(d, WM_COMMAND, IDOK, 0);
               });
    EXPECT_NE(std::wstring::npos, shown.find(L"6"));
    ASSERT_TRUE(PumpUntil([&] { return ViewAfter(m_view) != nullptr && !m_app->Runner().Busy(); }));
    ASSERT_EQ(3, ViewAfter(m_view)->Lines()->Count());
    EXPECT_EQ(2, (*ViewAfter(m_view)->Lines())[1].lineNumber);
    EXPECT_EQ(1, g_config->m_extractRegex);
}

// A line on which the expression reaches PCRE2's limit counts as not matching; the search
// says so once, in a message box of the language.
TEST_P(FindOptionsTest, ALimitReachedIsReportedOnce) {
    SendMessageW(m_frame, WM_COMMAND, IDM_CLOSE, 0);
    Pump();
    m_view = OpenAndWait(WriteLog("hard.log", std::string(60, 'a') + "!\r\n" + std::string(60, 'a') + "?\r\naa\r\n"));
    ASSERT_NE(nullptr, m_view);
    m_app->SearchConditions().Add(u"(a|aa)+$", kRegex | kMatchCase);
    std::wstring caption, text;
    WithDialog([&] { m_app->SearchNext(m_view, 0); },
               [&](HWND box) {
                   caption = WindowText(box);
                   EnumChildWindows(
                       box,
                       [](HWND child, LPARAM out) {
                           wchar_t t[400] = {};
                           GetWindowTextW(child, t, 400);
                           if (wcslen(t) > 20) *reinterpret_cast<std::wstring*>(out) = t;
                           return TRUE;
                       },
                       reinterpret_cast<LPARAM>(&text));
                   PostMessageW(box, WM_COMMAND, IDOK, 0);
               });
    Pump();
    EXPECT_EQ(2, m_view->CaretLine());
    EXPECT_EQ(GetParam() == 1 ? L"正規表現" : L"Regular expression", caption);
    EXPECT_NE(std::wstring::npos, text.find(L" 2 ")) << std::string(text.begin(), text.end());
}

INSTANTIATE_TEST_SUITE_P(Languages, FindOptionsTest, ::testing::Values(0, 1));

}  // namespace
