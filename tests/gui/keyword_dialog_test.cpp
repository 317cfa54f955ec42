// The keyword list and edit dialogs, driven from inside their modal loops: the list's
// rows and buttons, the edit dialog's presets, keyword files, and what OK puts in force.
#include <windows.h>
// The common controls header needs the Windows types first.
#include <commctrl.h>

#include <string>
#include <vector>

#include "config/app_parameter.h"
#include "modal_driver.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "view/log_view.h"
#include "view_test_support.h"

namespace {

using testing_support::ReadBytes;
using testing_support::WriteBytes;

std::string KeywordFile(const std::string& emphases) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<quillon_keyword><keyword>" + emphases +
           "</keyword></quillon_keyword>\r\n";
}

std::string Emphasis(const std::string& text, const std::string& color, int bold = 0) {
    std::string colorElement = color.empty() ? "" : "<color>" + color + "</color>";
    return "<emphasis><text>" + text + "</text>" + colorElement + "<bold>" + std::to_string(bold) +
           "</bold><error>0</error></emphasis>";
}

struct Row {
    std::wstring text;
    std::wstring color;
};

class KeywordDialogTest : public ViewTest {
protected:
    // Starts in a language with keyword_default.xml holding keywords (none when empty).
    void StartWith(int language, const std::string& emphases) {
        if (!emphases.empty()) WriteBytes(m_dir.FsPath("keyword_default.xml"), KeywordFile(emphases));
        // The frame keeps its default size: under Wine, a moved frame that owned a modal
        // dialog makes the next test's X window teardown fail.
        StartApp(language);
    }
    // Runs the keyword command; body gets the list dialog and must end it.
    void WithList(const std::function<void(HWND)>& body) {
        EXPECT_TRUE(OnDialogOver(
            m_frame, [&] { SendMessageW(m_frame, WM_COMMAND, IDM_SETTING_HIGHLIGHT, 0); }, body));
    }
    // Presses a button of the list dialog that opens the edit dialog; body gets that dialog.
    static bool WithEdit(HWND list, int button, const std::function<void(HWND)>& body) {
        return OnDialogOver(
            list, [&] { ClickButton(list, button); }, body);
    }
    // Fills the edit dialog and confirms it (colourRow -1 leaves the colour alone).
    static void Enter(HWND edit, const wchar_t* text, int colourRow, bool bold) {
        SetDlgItemTextW(edit, IDC_KEYWORD_TEXT, text);
        if (colourRow >= 0) PickListRow(edit, IDC_KEYWORD_COLOR, colourRow);
        CheckDlgButton(edit, IDC_KEYWORD_BOLD, bold ? BST_CHECKED : BST_UNCHECKED);
        ClickButton(edit, IDOK);
    }
    static std::vector<Row> Rows(HWND list) {
        HWND view = GetDlgItem(list, IDC_KEYWORD_LIST);
        std::vector<Row> rows;
        int count = static_cast<int>(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            Row row;
            for (int column = 0; column < 2; ++column) {
                wchar_t text[256] = {};
                LVITEMW item = {};
                item.iSubItem = column;
                item.pszText = text;
                item.cchTextMax = 256;
                SendMessageW(view, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
                (column == 0 ? row.text : row.color) = text;
            }
            rows.push_back(row);
        }
        return rows;
    }
    static int SelectedRow(HWND list) {
        HWND view = GetDlgItem(list, IDC_KEYWORD_LIST);
        return static_cast<int>(SendMessageW(view, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    }
    static void Select(HWND list, int row) {
        HWND view = GetDlgItem(list, IDC_KEYWORD_LIST);
        LVITEMW state = {};
        state.stateMask = LVIS_SELECTED;
        state.state = row >= 0 ? LVIS_SELECTED : 0;
        SendMessageW(view, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    }
    static bool Enabled(HWND list, int id) { return IsWindowEnabled(GetDlgItem(list, id)) != 0; }
    static std::wstring Header(HWND list, int column) {
        HWND header = reinterpret_cast<HWND>(SendMessageW(GetDlgItem(list, IDC_KEYWORD_LIST), LVM_GETHEADER, 0, 0));
        wchar_t text[64] = {};
        HDITEMW item = {};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = 64;
        SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&item));
        return text;
    }
    static std::vector<std::wstring> ComboRows(HWND edit, std::vector<LRESULT>* data) {
        HWND combo = GetDlgItem(edit, IDC_KEYWORD_COLOR);
        std::vector<std::wstring> rows;
        int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[64] = {};
            SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            rows.push_back(text);
            data->push_back(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(i), 0));
        }
        return rows;
    }
    std::wstring Path(const std::string& name) { return m_dir.FsPath(name).wstring(); }
    CKeywordSet& InForce() { return AppConfig().Keywords(); }
};

TEST_F(KeywordDialogTest, EnglishListShowsTheSetAndColourZeroOpensWithoutAColour) {
    StartWith(0, Emphasis("ERROR", "6") + Emphasis("WARN", "13", 1) + Emphasis("zero", ""));
    ASSERT_EQ(3u, InForce().Count());
    WithList([&](HWND list) {
        EXPECT_EQ(L"List of Highlight", WindowText(list));
        EXPECT_EQ(L"Keuword", Header(list, 0));
        EXPECT_EQ(L"Color", Header(list, 1));
        DWORD styles =
            static_cast<DWORD>(SendMessageW(GetDlgItem(list, IDC_KEYWORD_LIST), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        EXPECT_EQ(static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT),
                  styles & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
        std::vector<Row> rows = Rows(list);
        ASSERT_EQ(3u, rows.size());
        EXPECT_EQ(L"ERROR", rows[0].text);
        EXPECT_EQ(L"Highlight 1", rows[0].color);
        EXPECT_EQ(L"Highlight 8", rows[1].color);
        EXPECT_EQ(L"zero", rows[2].text);
        EXPECT_EQ(L"Highlight 1", rows[2].color);  // colour 0 is shown as the first colour
        EXPECT_EQ(0, SelectedRow(list));
        EXPECT_TRUE(Enabled(list, IDC_KEYWORD_DELETE));
        EXPECT_TRUE(Enabled(list, IDC_KEYWORD_DELETE_ALL));

        // The bold entry opens with its colour and bold preset; Cancel stores nothing.
        Select(list, 1);
        EXPECT_TRUE(WithEdit(list, IDC_KEYWORD_MODIFY, [&](HWND edit) {
            EXPECT_EQ(L"Edit Highlight", WindowText(edit));
            std::vector<LRESULT> data;
            std::vector<std::wstring> colours = ComboRows(edit, &data);
            ASSERT_EQ(8u, colours.size());
            EXPECT_EQ(L"Highlight 1", colours[0]);
            EXPECT_EQ(L"Highlight 8", colours[7]);
            for (int k = 0; k < 8; ++k) EXPECT_EQ(6 + k, data[k]);
            EXPECT_EQ(7, SendMessageW(GetDlgItem(edit, IDC_KEYWORD_COLOR), CB_GETCURSEL, 0, 0));
            EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(edit, IDC_KEYWORD_BOLD));
            EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(edit, IDC_KEYWORD_ERROR));
            SetDlgItemTextW(edit, IDC_KEYWORD_TEXT, L"changed");
            ClickButton(edit, IDCANCEL);
        }));
        EXPECT_EQ(L"WARN", Rows(list)[1].text);

        // Colour 0: no colour selected, and confirming without a choice keeps 0.
        Select(list, 2);
        EXPECT_TRUE(WithEdit(list, IDC_KEYWORD_MODIFY, [&](HWND edit) {
            EXPECT_EQ(L"zero", ControlText(edit, IDC_KEYWORD_TEXT));
            EXPECT_EQ(CB_ERR, SendMessageW(GetDlgItem(edit, IDC_KEYWORD_COLOR), CB_GETCURSEL, 0, 0));
            ClickButton(edit, IDOK);
        }));
        ClickButton(list, IDOK);
    });
    ASSERT_EQ(3u, InForce().Count());
    EXPECT_EQ(0, InForce().Entry(2).color);
    EXPECT_EQ(13, InForce().Entry(1).color);
}

TEST_F(KeywordDialogTest, JapaneseListAndEditTexts) {
    StartWith(1, Emphasis("エラー", "7"));
    WithList([&](HWND list) {
        EXPECT_EQ(L"強調表示一覧", WindowText(list));
        EXPECT_EQ(L"文字列", Header(list, 0));
        EXPECT_EQ(L"表示方法", Header(list, 1));
        std::vector<Row> rows = Rows(list);
        ASSERT_EQ(1u, rows.size());
        EXPECT_EQ(L"エラー", rows[0].text);
        EXPECT_EQ(L"強調表示2", rows[0].color);
        EXPECT_TRUE(WithEdit(list, IDC_KEYWORD_ADD, [&](HWND edit) {
            EXPECT_EQ(L"強調表示編集", WindowText(edit));
            std::vector<LRESULT> data;
            std::vector<std::wstring> colours = ComboRows(edit, &data);
            ASSERT_EQ(8u, colours.size());
            EXPECT_EQ(L"強調表示1", colours[0]);
            EXPECT_EQ(L"強調表示8", colours[7]);
            EXPECT_EQ(L"", ControlText(edit, IDC_KEYWORD_TEXT));
            EXPECT_EQ(0, SendMessageW(GetDlgItem(edit, IDC_KEYWORD_COLOR), CB_GETCURSEL, 0, 0));  // colour 6
            Enter(edit, L"警告", 4, true);
        }));
        rows = Rows(list);
        ASSERT_EQ(2u, rows.size());
        EXPECT_EQ(L"警告", rows[1].text);
        EXPECT_EQ(L"強調表示5", rows[1].color);
        ClickButton(list, IDCANCEL);
    });
    // Close leaves the set in force as it was.
    ASSERT_EQ(1u, InForce().Count());
    EXPECT_EQ(7, InForce().Entry(0).color);
}

TEST_F(KeywordDialogTest, AddModifyDeleteAndAllDelete) {
    StartWith(0, "");
    WithList([&](HWND list) {
        EXPECT_TRUE(Rows(list).empty());
        EXPECT_FALSE(Enabled(list, IDC_KEYWORD_DELETE));
        EXPECT_FALSE(Enabled(list, IDC_KEYWORD_DELETE_ALL));
        // An empty text adds nothing.
        EXPECT_TRUE(WithEdit(list, IDC_KEYWORD_ADD, [&](HWND edit) { Enter(edit, L"", 2, false); }));
        EXPECT_TRUE(Rows(list).empty());
        EXPECT_FALSE(Enabled(list, IDC_KEYWORD_DELETE));

        EXPECT_TRUE(WithEdit(list, IDC_KEYWORD_ADD, [&](HWND edit) { Enter(edit, L"alpha", 2, true); }));
        EXPECT_TRUE(WithEdit(list, IDC_KEYWORD_ADD, [&](HWND edit) { Enter(edit, L"beta", -1, false); }));
        std::vector<Row> rows = Rows(list);
        ASSERT_EQ(2u, rows.size());
        EXPECT_EQ(L"Highlight 3", rows[0].color);
        EXPECT_EQ(L"Highlight 1", rows[1].color);
        EXPECT_EQ(1, SelectedRow(list));  // the new entry
        EXPECT_TRUE(Enabled(list, IDC_KEYWORD_DELETE));
        EXPECT_TRUE(Enabled(list, IDC_KEYWORD_DELETE_ALL));

        // Modify keeps the position.
        Select(list, 0);
        EXPECT_TRUE(WithEdit(list, IDC_KEYWORD_MODIFY, [&](HWND edit) {
            EXPECT_EQ(L"alpha", ControlText(edit, IDC_KEYWORD_TEXT));
            EXPECT_EQ(2, SendMessageW(GetDlgItem(edit, IDC_KEYWORD_COLOR), CB_GETCURSEL, 0, 0));
            Enter(edit, L"gamma", 1, false);
        }));
        rows = Rows(list);
        ASSERT_EQ(2u, rows.size());
        EXPECT_EQ(L"gamma", rows[0].text);
        EXPECT_EQ(L"Highlight 2", rows[0].color);
        EXPECT_EQ(L"beta", rows[1].text);
        EXPECT_EQ(0, SelectedRow(list));
        // A modify to an empty text changes nothing.
        EXPECT_TRUE(WithEdit(list, IDC_KEYWORD_MODIFY, [&](HWND edit) { Enter(edit, L"", 5, false); }));
        EXPECT_EQ(L"gamma", Rows(list)[0].text);

        // Deleting the last entry leaves nothing selected.
        Select(list, 1);
        ClickButton(list, IDC_KEYWORD_DELETE);
        rows = Rows(list);
        ASSERT_EQ(1u, rows.size());
        EXPECT_EQ(L"gamma", rows[0].text);
        EXPECT_EQ(-1, SelectedRow(list));
        // With nothing selected, Delete does nothing.
        ClickButton(list, IDC_KEYWORD_DELETE);
        EXPECT_EQ(1u, Rows(list).size());

        EXPECT_TRUE(WithEdit(list, IDC_KEYWORD_ADD, [&](HWND edit) { Enter(edit, L"delta", 0, false); }));
        ClickButton(list, IDC_KEYWORD_DELETE_ALL);
        EXPECT_TRUE(Rows(list).empty());
        EXPECT_FALSE(Enabled(list, IDC_KEYWORD_DELETE));
        EXPECT_FALSE(Enabled(list, IDC_KEYWORD_DELETE_ALL));
        // A disabled button does not keep the focus.
        HWND focus = GetFocus();
        EXPECT_NE(GetDlgItem(list, IDC_KEYWORD_DELETE_ALL), focus);
        EXPECT_NE(nullptr, focus);

        // Entries again: both buttons come back.
        EXPECT_TRUE(WithEdit(list, IDC_KEYWORD_ADD, [&](HWND edit) { Enter(edit, L"epsilon", 7, true); }));
        EXPECT_TRUE(Enabled(list, IDC_KEYWORD_DELETE));
        EXPECT_TRUE(Enabled(list, IDC_KEYWORD_DELETE_ALL));
        EXPECT_EQ(L"Highlight 8", Rows(list)[0].color);
        // Nothing is in force before OK.
        EXPECT_EQ(0u, InForce().Count());
        ClickButton(list, IDOK);
    });
    ASSERT_EQ(1u, InForce().Count());
    const CKeywordEntry& entry = InForce().Entry(0);
    EXPECT_EQ(std::u16string(u"epsilon"), entry.wide);
    EXPECT_EQ(13, entry.color);
    EXPECT_EQ(1, entry.bold);
    EXPECT_EQ(0, entry.error);
}

TEST_F(KeywordDialogTest, LoadAndSaveWorkOnTheDialogsCopy) {
    StartWith(0, Emphasis("ERROR", "6"));
    WriteBytes(m_dir.FsPath("not_keywords.xml"),
               "<?xml version=\"1.0\"?>\r\n<config><language>0</language></config>\r\n");
    WriteBytes(m_dir.FsPath("other.xml"), KeywordFile(Emphasis("first", "8") + Emphasis("second", "12", 1)));
    WithList([&](HWND list) {
        // A file that holds no keywords empties the dialog's list, not the set in force.
        EXPECT_TRUE(OnDialogOver(
            list, [&] { ClickButton(list, IDC_KEYWORD_LOAD); },
            [&](HWND files) {
                EXPECT_EQ(L"Load Setting File", WindowText(files));
                ConfirmFileDialog(files, Path("not_keywords.xml"));
            }));
        EXPECT_TRUE(Rows(list).empty());
        EXPECT_FALSE(Enabled(list, IDC_KEYWORD_DELETE));
        EXPECT_EQ(1u, InForce().Count());

        EXPECT_TRUE(OnDialogOver(
            list, [&] { ClickButton(list, IDC_KEYWORD_LOAD); },
            [&](HWND files) { ConfirmFileDialog(files, Path("other.xml")); }));
        std::vector<Row> rows = Rows(list);
        ASSERT_EQ(2u, rows.size());
        EXPECT_EQ(L"first", rows[0].text);
        EXPECT_EQ(L"Highlight 7", rows[1].color);
        EXPECT_EQ(0, SelectedRow(list));
        EXPECT_TRUE(Enabled(list, IDC_KEYWORD_DELETE_ALL));

        // Save writes the dialog's set, whatever is in force.
        EXPECT_TRUE(OnDialogOver(
            list, [&] { ClickButton(list, IDC_KEYWORD_SAVE); },
            [&](HWND files) {
                EXPECT_EQ(L"Save Setting File", WindowText(files));
                ConfirmFileDialog(files, Path("saved.xml"));
            }));
        ClickButton(list, IDCANCEL);
    });
    // Close keeps the set in force and the file saved meanwhile.
    ASSERT_EQ(1u, InForce().Count());
    EXPECT_EQ(std::u16string(u"ERROR"), InForce().Entry(0).wide);
    CKeywordSet saved;
    ASSERT_EQ(1, saved.LoadFile(m_dir.File("saved.xml").c_str()));
    ASSERT_EQ(2u, saved.Count());
    EXPECT_EQ(std::u16string(u"second"), saved.Entry(1).wide);
    EXPECT_EQ(12, saved.Entry(1).color);
    EXPECT_EQ(1, saved.Entry(1).bold);
}

TEST_F(KeywordDialogTest, OkSavesTheKeywordFileAndHighlightsInTheView) {
    StartWith(0, "");
    constexpr COLORREF kHighlightText = RGB(0, 140, 0);
    constexpr COLORREF kHighlightBack = RGB(255, 200, 255);
    SetColor(10, kHighlightText, kHighlightBack);
    CLogView* view = OpenAndWait(WriteLog("k.log", "one ALPHA two\r\nplain line\r\n"));
    ASSERT_NE(nullptr, view);
    SizeView(view, 800, 300);
    EXPECT_EQ(0, Paint(view).Count(kHighlightBack, 0, 0, 800, 300));
    EXPECT_FALSE(std::filesystem::exists(m_dir.FsPath("keyword_default.xml")));
    ValidateRect(view->Window(), nullptr);

    WithList([&](HWND list) {
        EXPECT_TRUE(WithEdit(list, IDC_KEYWORD_ADD, [&](HWND edit) { Enter(edit, L"ALPHA", 4, false); }));
        ClickButton(list, IDOK);
    });
    // In force, with its flag, saved with the settings, and the view is to be repainted.
    ASSERT_EQ(1u, InForce().Count());
    EXPECT_NE(0, InForce().Flag(u'A') & kKeywordFlagStart);
    EXPECT_TRUE(GetUpdateRect(view->Window(), nullptr, FALSE));
    CKeywordSet saved;
    ASSERT_EQ(1, saved.LoadFile(m_dir.File("keyword_default.xml").c_str()));
    ASSERT_EQ(1u, saved.Count());
    EXPECT_EQ(std::u16string(u"ALPHA"), saved.Entry(0).wide);
    EXPECT_EQ(10, saved.Entry(0).color);
    EXPECT_NE(std::string::npos, ReadBytes(m_dir.FsPath("quillon.ini")).find("<config>"));
    Pump();
    ViewPicture picture = Paint(view);
    int rowTop = view->RowPitch();
    int left = picture.width, right = -1;
    for (int y = rowTop; y < rowTop + view->LineHeight(); ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (picture.At(x, y) != kHighlightBack) continue;
            left = x < left ? x : left;
            right = x > right ? x : right;
        }
    }
    ASSERT_GE(right, 0) << "the keyword is not highlighted";
    EXPECT_EQ(5 * view->CharWidth(), right - left + 1);  // exactly the keyword's cells
    EXPECT_GT(picture.Count(kHighlightText, left, rowTop, right + 1, rowTop + view->LineHeight()), 5);
}

TEST_F(KeywordDialogTest, LongKeywordFromAFileSurvivesModify) {
    // Typing stops at 255 characters, but a longer keyword from a file is not cut by OK.
    std::string longText(300, 'x');
    longText += "END";
    StartWith(0, Emphasis(longText, "9"));
    WithList([&](HWND list) {
        EXPECT_TRUE(WithEdit(list, IDC_KEYWORD_MODIFY, [&](HWND edit) {
            EXPECT_EQ(255, SendMessageW(GetDlgItem(edit, IDC_KEYWORD_TEXT), EM_GETLIMITTEXT, 0, 0));
            CheckDlgButton(edit, IDC_KEYWORD_ERROR, BST_CHECKED);
            ClickButton(edit, IDOK);
        }));
        ClickButton(list, IDOK);
    });
    ASSERT_EQ(1u, InForce().Count());
    EXPECT_EQ(std::u16string(longText.begin(), longText.end()), InForce().Entry(0).wide);
    EXPECT_EQ(1, InForce().Entry(0).error);
    EXPECT_EQ(9, InForce().Entry(0).color);
}

}  // namespace
