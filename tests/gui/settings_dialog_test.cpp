// The settings property sheet, driven from inside its modal loop: which pages apply on
// OK, the interval-time rule, the font and size lists, the colour page, and the views
// painted with the new font and colours afterwards.
#include <windows.h>
// The common controls header needs the Windows types first.
#include <commctrl.h>

#include <cstdlib>
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

constexpr int kPageInterval = 0;
constexpr int kPageFont = 1;
constexpr int kPageColor = 2;

class SettingsDialogTest : public ViewTest {
protected:
    void StartWith(int language, const std::string& extra) {
        // The frame keeps its default size: under Wine, a moved frame that owned a modal
        // dialog makes the next test's X window teardown fail.
        StartApp(language, extra);
    }
    // Runs the settings command; body gets the sheet and must end it.
    void WithSheet(const std::function<void(HWND)>& body) {
        EXPECT_TRUE(OnDialogOver(
            m_frame, [&] { SendMessageW(m_frame, WM_COMMAND, IDM_SETTING, 0); }, body));
    }
    static HWND ShowPage(HWND sheet, int index) {
        SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(index), 0);
        return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    }
    static void Press(HWND sheet, int button) { SendMessageW(sheet, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0); }
    static std::vector<std::wstring> Tabs(HWND sheet) {
        HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
        std::vector<std::wstring> names;
        int count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[64] = {};
            TCITEMW item = {};
            item.mask = TCIF_TEXT;
            item.pszText = text;
            item.cchTextMax = 64;
            SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
            names.push_back(text);
        }
        return names;
    }
    static std::vector<std::wstring> ListRows(HWND page, int id, std::vector<LRESULT>* data = nullptr) {
        HWND list = GetDlgItem(page, id);
        std::vector<std::wstring> rows;
        int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[256] = {};
            if (SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) < 256) {
                SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            }
            rows.push_back(text);
            if (data != nullptr) data->push_back(SendMessageW(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
        }
        return rows;
    }
    static int Selected(HWND page, int id) {
        return static_cast<int>(SendMessageW(GetDlgItem(page, id), LB_GETCURSEL, 0, 0));
    }
    static int RowOf(HWND page, int id, const wchar_t* text) {
        std::vector<std::wstring> rows = ListRows(page, id);
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i] == text) return static_cast<int>(i);
        }
        return -1;
    }
    // The colour an owner-drawn colour button paints in its middle.
    static COLORREF ButtonColour(HWND page, int id) {
        HWND button = GetDlgItem(page, id);
        RECT r;
        GetClientRect(button, &r);
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
        HGDIOBJ old = SelectObject(dc, bitmap);
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_BUTTON;
        item.CtlID = static_cast<UINT>(id);
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = button;
        item.hDC = dc;
        item.rcItem = r;
        SendMessageW(page, WM_DRAWITEM, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&item));
        COLORREF colour = GetPixel(dc, r.right / 2, r.bottom / 2);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        return colour;
    }
    // A fixed-pitch scalable face of the face list, preferring well-known ones; empty when none.
    static std::wstring ScalableFace(HWND page) {
        std::vector<std::wstring> faces = ListRows(page, IDC_FONT_FACE_LIST);
        for (const wchar_t* known : {L"Courier New", L"DejaVu Sans Mono", L"Liberation Mono", L"IPAGothic"}) {
            for (const std::wstring& face : faces) {
                if (face == known) return face;
            }
        }
        return L"";
    }
    // The saved settings without the line breaks that the writer puts after end tags.
    std::string Settings() {
        std::string text = ReadBytes(m_dir.FsPath("quillon.ini"));
        std::string compact;
        for (char c : text) {
            if (c != '\r' && c != '\n') compact += c;
        }
        return compact;
    }
    CAppParameter* Config() { return &AppConfig(); }
};

TEST_F(SettingsDialogTest, OkWithoutVisitingTheOtherPagesAppliesOnlyPage1) {
    StartWith(0, "<interval_check>0</interval_check><interval_time>100</interval_time>");
    WithSheet([&](HWND sheet) {
        EXPECT_EQ(L"Setting", WindowText(sheet));
        std::vector<std::wstring> tabs = Tabs(sheet);
        ASSERT_EQ(3u, tabs.size());
        EXPECT_EQ(L"Setting 1", tabs[0]);
        EXPECT_EQ(L"Font", tabs[1]);
        EXPECT_EQ(L"Color", tabs[2]);
        HWND apply = GetDlgItem(sheet, 0x3021);  // the sheet's Apply button
        EXPECT_TRUE(apply == nullptr || !IsWindowVisible(apply));
        HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        ASSERT_NE(nullptr, page);
        EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page, IDC_INTERVAL_CHECK));
        EXPECT_EQ(L"100", ControlText(page, IDC_INTERVAL_TIME));
        CheckDlgButton(page, IDC_INTERVAL_CHECK, BST_CHECKED);
        SetDlgItemTextW(page, IDC_INTERVAL_TIME, L"300");
        Press(sheet, PSBTN_OK);
    });
    EXPECT_EQ(1, Config()->m_intervalCheck);
    EXPECT_EQ(300, Config()->m_intervalTime);
    // The font page was not shown: the empty font setting stays empty.
    EXPECT_TRUE(Config()->m_fontName.IsEmpty());
    EXPECT_EQ(0, Config()->m_fontSize);
    std::string saved = Settings();
    EXPECT_NE(std::string::npos, saved.find("<interval_time>300</interval_time>"));
    EXPECT_NE(std::string::npos, saved.find("<interval_check>1</interval_check>"));
}

TEST_F(SettingsDialogTest, IntervalTimeField) {
    StartWith(0, "<interval_check>1</interval_check><interval_time>100</interval_time>");
    struct Case {
        const wchar_t* typed;
        int expected;
    };
    // "25ms" is not a number: the old time stays, the check box is still taken.
    const Case cases[] = {{L"25ms", 100}, {L" 250", 250}, {L"\t-5", -5}, {L"", 0}, {L"7 ", 0}};
    for (const Case& c : cases) {
        WithSheet([&](HWND sheet) {
            HWND page = ShowPage(sheet, kPageInterval);
            CheckDlgButton(page, IDC_INTERVAL_CHECK, BST_UNCHECKED);
            SetDlgItemTextW(page, IDC_INTERVAL_TIME, c.typed);
            Press(sheet, PSBTN_OK);
        });
        EXPECT_EQ(c.expected, Config()->m_intervalTime)
            << "typed \"" << std::string(c.typed, c.typed + wcslen(c.typed)) << "\"";
        EXPECT_EQ(0, Config()->m_intervalCheck);
        Config()->m_intervalCheck = 1;
    }
    // Cancel applies nothing.
    WithSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, kPageInterval);
        CheckDlgButton(page, IDC_INTERVAL_CHECK, BST_UNCHECKED);
        SetDlgItemTextW(page, IDC_INTERVAL_TIME, L"999");
        Press(sheet, PSBTN_CANCEL);
    });
    EXPECT_EQ(0, Config()->m_intervalTime);
    EXPECT_EQ(1, Config()->m_intervalCheck);
}

// The stamp check box and pattern list: a bad pattern is refused with its reason, a good one
// is added, Delete takes the selected one away, and OK stores them.
TEST_F(SettingsDialogTest, StampPatternsAreCheckedAddedAndStored) {
    StartWith(0, "<stamp_patterns><pattern>%H:%M:%S</pattern><pattern>#2:%H:%M:%S</pattern></stamp_patterns>");
    auto press = [](HWND page, int id) { SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); };
    WithSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, kPageInterval);
        // A file from before the check box: off. The forms it stands for are a click away.
        EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page, IDC_STAMP_FORMS));
        EXPECT_EQ(L"Forms...", ControlText(page, IDC_STAMP_FORMS_LIST));
        EXPECT_EQ((std::vector<std::wstring>{L"%H:%M:%S", L"#2:%H:%M:%S"}), ListRows(page, IDC_STAMP_PATTERN_LIST));
        SetDlgItemTextW(page, IDC_STAMP_PATTERN_TEXT, L"%Y-%m-%d");
        press(page, IDC_STAMP_PATTERN_ADD);
        EXPECT_EQ(L"Refused: a stamp needs %H, %M and %S.", ControlText(page, IDC_STAMP_PATTERN_REASON));
        EXPECT_EQ(L"%Y-%m-%d", ControlText(page, IDC_STAMP_PATTERN_TEXT));
        SetDlgItemTextW(page, IDC_STAMP_PATTERN_TEXT, L"@3:%d/%b/%Y:%H:%M:%S");
        press(page, IDC_STAMP_PATTERN_ADD);
        EXPECT_EQ(L"", ControlText(page, IDC_STAMP_PATTERN_REASON));
        EXPECT_EQ(L"", ControlText(page, IDC_STAMP_PATTERN_TEXT));
        SendDlgItemMessageW(page, IDC_STAMP_PATTERN_LIST, LB_SETCURSEL, 0, 0);
        press(page, IDC_STAMP_PATTERN_DELETE);
        CheckDlgButton(page, IDC_STAMP_FORMS, BST_CHECKED);
        Press(sheet, PSBTN_OK);
    });
    EXPECT_EQ(1, Config()->m_stampForms);
    ASSERT_EQ(2, Config()->m_stampPatternCount);
    EXPECT_STREQ("#2:%H:%M:%S", Config()->m_stampPatterns[0].Data());
    EXPECT_STREQ("@3:%d/%b/%Y:%H:%M:%S", Config()->m_stampPatterns[1].Data());
    std::string saved = Settings();
    EXPECT_NE(std::string::npos, saved.find("<stamp_forms>1</stamp_forms>"));
    EXPECT_NE(std::string::npos, saved.find("<pattern>@3:%d/%b/%Y:%H:%M:%S</pattern>"));
}

// A load reads the stamps as the settings say, and the status bar tells what it found.
TEST_F(SettingsDialogTest, LoadsReadStampsAsSetAndSayWhatTheyFound) {
    StartWith(0, "<stamp_forms>1</stamp_forms>");
    std::wstring path = WriteLog("more.log", "[Sun Dec 04 04:47:44 2005] a\r\n1131566461 b\r\nplain\r\n");
    CLogView* view = OpenAndWait(path);
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(2005, (*view->Lines())[0].timeStamp.year);
    EXPECT_EQ(72061000u, (*view->Lines())[1].timeStamp.milliseconds);
    EXPECT_EQ(L"Stamps 66.6% (c-library)", StatusText(2));
    SendMessageW(m_frame, WM_COMMAND, IDM_CLOSE, 0);
    EXPECT_EQ(L"", StatusText(2));
    Config()->m_stampForms = 0;
    view = OpenAndWait(path);
    ASSERT_NE(nullptr, view);
    EXPECT_FALSE((*view->Lines())[1].timeStamp.HasDate());
    EXPECT_EQ(L"No time stamps", StatusText(2));
}

TEST_F(SettingsDialogTest, FontPageListsAndSizeRule) {
    StartWith(0, "<font_name>NoSuchFace</font_name><font_size>13</font_size>");
    std::wstring face;
    WithSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, kPageFont);
        ASSERT_NE(nullptr, page);
        std::vector<std::wstring> faces = ListRows(page, IDC_FONT_FACE_LIST);
        ASSERT_FALSE(faces.empty());
        for (const std::wstring& f : faces) {
            EXPECT_NE(L'@', f[0]);
            EXPECT_NE(L"Tahoma", f);  // proportional faces are left out
        }
        // A configured face that is not installed: row 0 selected, and no sizes.
        EXPECT_EQ(0, Selected(page, IDC_FONT_FACE_LIST));
        EXPECT_TRUE(ListRows(page, IDC_FONT_SIZE_LIST).empty());
        face = ScalableFace(page);
        ASSERT_FALSE(face.empty()) << "no known fixed-pitch scalable face";
        PickListRow(page, IDC_FONT_FACE_LIST, RowOf(page, IDC_FONT_FACE_LIST, face.c_str()));
        std::vector<LRESULT> data;
        std::vector<std::wstring> sizes = ListRows(page, IDC_FONT_SIZE_LIST, &data);
        EXPECT_EQ((std::vector<std::wstring>{L"10", L"12", L"14", L"16", L"18", L"20"}), sizes);
        EXPECT_EQ((std::vector<LRESULT>{10, 12, 14, 16, 18, 20}), data);
        EXPECT_EQ(2, Selected(page, IDC_FONT_SIZE_LIST));  // 13 selects 14
        EXPECT_EQ(L"123ABCabc", ControlText(page, IDC_FONT_PREVIEW));
        EXPECT_NE(nullptr, reinterpret_cast<HFONT>(SendMessageW(GetDlgItem(page, IDC_FONT_PREVIEW), WM_GETFONT, 0, 0)));
        Press(sheet, PSBTN_OK);
    });
    // Only the face was chosen: the configured size 13 is written back.
    EXPECT_EQ(std::u16string(face.begin(), face.end()), Config()->GetFontFace());
    EXPECT_EQ(13, Config()->m_fontSize);

    // A size above 20 selects row 0 while the page keeps it.
    Config()->m_fontSize = 40;
    WithSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, kPageFont);
        EXPECT_EQ(RowOf(page, IDC_FONT_FACE_LIST, face.c_str()), Selected(page, IDC_FONT_FACE_LIST));
        EXPECT_EQ(0, Selected(page, IDC_FONT_SIZE_LIST));
        Press(sheet, PSBTN_OK);
    });
    EXPECT_EQ(40, Config()->m_fontSize);

    // A size in the list selects itself.
    Config()->m_fontSize = 14;
    WithSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, kPageFont);
        EXPECT_EQ(2, Selected(page, IDC_FONT_SIZE_LIST));
        Press(sheet, PSBTN_CANCEL);
    });
}

TEST_F(SettingsDialogTest, JapaneseSheetTexts) {
    StartWith(1, "");
    WithSheet([&](HWND sheet) {
        EXPECT_EQ(L"設定", WindowText(sheet));
        std::vector<std::wstring> tabs = Tabs(sheet);
        ASSERT_EQ(3u, tabs.size());
        EXPECT_EQ(L"設定1", tabs[0]);
        EXPECT_EQ(L"フォント", tabs[1]);
        EXPECT_EQ(L"カラー", tabs[2]);
        HWND page1 = ShowPage(sheet, kPageInterval);
        SetDlgItemTextW(page1, IDC_STAMP_PATTERN_TEXT, L"%H:%M:%S %q");
        SendMessageW(page1, WM_COMMAND, MAKEWPARAM(IDC_STAMP_PATTERN_ADD, BN_CLICKED), 0);
        EXPECT_EQ(L"追加できません: 使えるのは %Y %m %d %H %M %S %f %b %a %z %% です。",
                  ControlText(page1, IDC_STAMP_PATTERN_REASON));
        HWND font = ShowPage(sheet, kPageFont);
        EXPECT_EQ(L"Aaあぁアァ亜宇", ControlText(font, IDC_FONT_PREVIEW));
        HWND colour = ShowPage(sheet, kPageColor);
        std::vector<std::wstring> names = ListRows(colour, IDC_COLOR_NAME_LIST);
        ASSERT_EQ(17u, names.size());
        EXPECT_EQ(L"通常のテキスト表示", names[0]);
        EXPECT_EQ(L"強調表示1", names[5]);
        EXPECT_EQ(L"エラー行の色", names[16]);
        Press(sheet, PSBTN_CANCEL);
    });
    // Cancel: the visited font page wrote nothing.
    EXPECT_TRUE(Config()->m_fontName.IsEmpty());
}

TEST_F(SettingsDialogTest, ColourPageAppliesAndSavesAndCancelLeavesColours) {
    StartWith(0, "");
    const CColorEntry before = Config()->m_colors[6];
    constexpr COLORREF kChosen = RGB(12, 34, 200);
    WithSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, kPageColor);
        ASSERT_NE(nullptr, page);
        std::vector<LRESULT> data;
        std::vector<std::wstring> names = ListRows(page, IDC_COLOR_NAME_LIST, &data);
        ASSERT_EQ(17u, names.size());
        EXPECT_EQ(L"Text Color (Normal)", names[0]);
        EXPECT_EQ(L"Highlighting 1", names[5]);
        EXPECT_EQ(L"Error Color", names[16]);
        for (int k = 0; k < 17; ++k) EXPECT_EQ(k, data[k]);
        EXPECT_EQ(0, Selected(page, IDC_COLOR_NAME_LIST));
        // No name is line-only: the line controls stay disabled.
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_COLOR_LINE_BUTTON)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_COLOR_LINE_LABEL)));
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_COLOR_BACK_BUTTON)));
        EXPECT_EQ(RGB(255, 255, 255), ButtonColour(page, IDC_COLOR_BACK_BUTTON));  // entry 0
        EXPECT_EQ(RGB(0, 0, 0), ButtonColour(page, IDC_COLOR_TEXT_BUTTON));

        PickListRow(page, IDC_COLOR_NAME_LIST, 5);  // entry 6
        EXPECT_EQ(static_cast<COLORREF>(before.text), ButtonColour(page, IDC_COLOR_TEXT_BUTTON));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_COLOR_LINE_BUTTON)));
        EXPECT_TRUE(OnDialogOver(
            sheet, [&] { ClickButton(page, IDC_COLOR_BACK_BUTTON); },
            [&](HWND chooser) { ConfirmColorDialog(chooser, kChosen); }));
        EXPECT_EQ(kChosen, ButtonColour(page, IDC_COLOR_BACK_BUTTON));
        // A chooser closed with Cancel changes nothing.
        EXPECT_TRUE(OnDialogOver(
            sheet, [&] { ClickButton(page, IDC_COLOR_TEXT_BUTTON); },
            [&](HWND chooser) { ClickButton(chooser, IDCANCEL); }));
        EXPECT_EQ(static_cast<COLORREF>(before.text), ButtonColour(page, IDC_COLOR_TEXT_BUTTON));
        // Nothing reaches the configuration before OK.
        EXPECT_EQ(before.background, Config()->m_colors[6].background);
        Press(sheet, PSBTN_OK);
    });
    EXPECT_EQ(kChosen, Config()->m_colors[6].background);
    EXPECT_EQ(before.text, Config()->m_colors[6].text);
    std::string expected = "<index>6</index><text>" + std::to_string(before.text) + "</text><background>" +
                           std::to_string(kChosen) + "</background>";
    EXPECT_NE(std::string::npos, Settings().find(expected)) << Settings();

    // Cancel after a change leaves the colours as they are.
    WithSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, kPageColor);
        PickListRow(page, IDC_COLOR_NAME_LIST, 5);
        EXPECT_EQ(kChosen, ButtonColour(page, IDC_COLOR_BACK_BUTTON));
        EXPECT_TRUE(OnDialogOver(
            sheet, [&] { ClickButton(page, IDC_COLOR_BACK_BUTTON); },
            [&](HWND chooser) { ConfirmColorDialog(chooser, RGB(1, 2, 3)); }));
        Press(sheet, PSBTN_CANCEL);
    });
    EXPECT_EQ(kChosen, Config()->m_colors[6].background);
}

// The colour page's box shows whether colour codes are drawn (off for a file from before
// it); OK stores the choice and hands it to the open views, which then show rows without
// their escape sequences.
TEST_F(SettingsDialogTest, ColourCodesBoxIsStoredAndReachesTheViews) {
    StartWith(0, "");
    CLogView* view = OpenAndWait(WriteLog("c.log", "\x1b[31mred\x1b[0m text\r\n"));
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(0, view->Settings().colorCodes);
    WithSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, kPageColor);
        EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page, IDC_COLOR_CODES));
        CheckDlgButton(page, IDC_COLOR_CODES, BST_CHECKED);
        Press(sheet, PSBTN_OK);
    });
    EXPECT_EQ(1, Config()->m_colorCodes);
    EXPECT_NE(std::string::npos, Settings().find("<color_codes>1</color_codes>")) << Settings();
    EXPECT_EQ(1, view->Settings().colorCodes);
    int count = 0;
    char16_t* text = view->GetRowText(0, &count);
    EXPECT_EQ(u"red text\r\n", std::u16string(text != nullptr ? text : u"", static_cast<size_t>(count)));
    std::free(text);
    WithSheet([&](HWND sheet) {
        HWND page = ShowPage(sheet, kPageColor);
        EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, IDC_COLOR_CODES));
        CheckDlgButton(page, IDC_COLOR_CODES, BST_UNCHECKED);
        Press(sheet, PSBTN_OK);
    });
    EXPECT_EQ(0, view->Settings().colorCodes);
    EXPECT_EQ(std::string::npos, Settings().find("color_codes"));
}

TEST_F(SettingsDialogTest, ViewsAreRepaintedWithTheNewFontAndColours) {
    StartWith(0, "");
    std::string log = "first line\r\nsecond line\r\n";
    for (int i = 0; i < 100; ++i) log += "more\r\n";
    CLogView* view = OpenAndWait(WriteLog("s.log", log));
    ASSERT_NE(nullptr, view);
    SizeView(view, 800, 300);
    Paint(view);
    int widthBefore = view->CharWidth();
    int pitchBefore = view->RowPitch();
    constexpr COLORREF kBack = RGB(250, 240, 200);
    int rowY = view->RowPitch() + view->LineHeight() / 2;
    EXPECT_NE(kBack, Paint(view).At(700, rowY));

    // Cancel applies nothing, but the views are still repainted.
    ValidateRect(view->Window(), nullptr);
    WithSheet([&](HWND sheet) { Press(sheet, PSBTN_CANCEL); });
    EXPECT_TRUE(GetUpdateRect(view->Window(), nullptr, FALSE));
    Pump();

    std::wstring face;
    WithSheet([&](HWND sheet) {
        HWND font = ShowPage(sheet, kPageFont);
        face = ScalableFace(font);
        int row = RowOf(font, IDC_FONT_FACE_LIST, face.c_str());
        if (row >= 0) PickListRow(font, IDC_FONT_FACE_LIST, row);
        PickListRow(font, IDC_FONT_SIZE_LIST, 5);  // 20
        HWND colour = ShowPage(sheet, kPageColor);
        EXPECT_TRUE(OnDialogOver(
            sheet, [&] { ClickButton(colour, IDC_COLOR_BACK_BUTTON); },
            [&](HWND chooser) { ConfirmColorDialog(chooser, kBack); }));
        Press(sheet, PSBTN_OK);
    });
    ASSERT_FALSE(face.empty());
    EXPECT_EQ(20, Config()->m_fontSize);
    EXPECT_EQ(kBack, Config()->m_colors[0].background);
    // The rows and the page follow the new font at once, before any resize or paint.
    RECT client;
    GetClientRect(view->Window(), &client);
    EXPECT_GT(view->RowPitch(), pitchBefore);
    EXPECT_EQ((client.bottom + view->RowPitch() - 1) / view->RowPitch(), view->VisibleRows());
    EXPECT_EQ(client.bottom / view->LineHeight(), view->VScroll().page);
    EXPECT_TRUE(GetUpdateRect(view->Window(), nullptr, FALSE));
    Pump();
    ViewPicture picture = Paint(view);
    EXPECT_GT(view->CharWidth(), widthBefore);
    EXPECT_EQ(kBack, picture.At(700, view->RowPitch() + view->LineHeight() / 2));
}

}  // namespace
