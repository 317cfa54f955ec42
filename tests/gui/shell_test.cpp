// The frame, menus, toolbar, status bar, language choice, About box and command line.
#include <windows.h>
#include <commctrl.h>

#include "config/app_parameter.h"
#include "gui_harness.h"
#include "res/resource.h"
#include "shell/app_main.h"

namespace {

using testing_support::ReadBytes;

HWND ToolBarWindow(CAppMain* app) { return app->ToolBar() != nullptr ? app->ToolBar()->m_window : nullptr; }

RECT ClientRectInFrame(HWND child, HWND frame) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

TEST_F(GuiTest, EnglishFrameMenusAndNoFileState) {
    StartApp(0);
    EXPECT_EQ(L"Quillon - LOG Analysis Assist Tool", WindowText(m_frame));
    EXPECT_EQ(L"Open LOG File\tCtrl+O", MenuText(IDM_OPEN_LOG));
    EXPECT_EQ(0u, MenuState(IDM_OPEN_LOG) & MF_GRAYED);
    EXPECT_NE(0u, MenuState(IDM_CLOSE) & MF_GRAYED);
    EXPECT_NE(0u, TopMenuState(1) & MF_GRAYED);  // the whole Search menu
    EXPECT_NE(0u, MenuState(IDM_SEARCH) & MF_GRAYED);
    EXPECT_NE(0u, MenuState(IDM_MARKER_LIST) & MF_GRAYED);
    // Items that nothing disables.
    for (int id : {IDM_SETTING_HIGHLIGHT, IDM_SETTING, IDM_EXIT, IDM_TOOLBAR, IDM_STATUSBAR, IDM_CASCADE, IDM_HELP,
                   IDM_LANGUAGE, IDM_ABOUT}) {
        EXPECT_EQ(0u, MenuState(id) & MF_GRAYED) << id;
    }
    // The inert and hidden commands have no menu entry.
    EXPECT_EQ(static_cast<UINT>(-1), MenuState(IDM_SAVE_CSV));
    EXPECT_EQ(static_cast<UINT>(-1), MenuState(IDM_COMPARE));
    EXPECT_EQ(static_cast<UINT>(-1), MenuState(IDM_PRINT));
    EXPECT_NE(0u, MenuState(IDM_TOOLBAR) & MF_CHECKED);
    EXPECT_NE(0u, MenuState(IDM_STATUSBAR) & MF_CHECKED);
}

TEST_F(GuiTest, JapaneseFrameMenusAndTooltips) {
    StartApp(1);
    EXPECT_EQ(L"Quillon - ログ解析支援ツール", WindowText(m_frame));
    EXPECT_EQ(L"ログファイルを読み込む\tCtrl+O", MenuText(IDM_OPEN_LOG));
    wchar_t top[64] = {};
    GetMenuStringW(GetMenu(m_frame), 1, top, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(L"検索(&S)"), top);
    NMTTDISPINFOW info = {};
    info.hdr.code = TTN_GETDISPINFOW;
    info.hdr.idFrom = IDM_SEARCH;
    SendMessageW(m_frame, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(nullptr, info.lpszText);
    EXPECT_EQ(std::wstring(L"検索 (Ctrl+F)"), info.lpszText);
    info.lpszText = nullptr;
    info.hdr.idFrom = 4242;  // no row: left alone
    SendMessageW(m_frame, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(nullptr, info.lpszText);
}

TEST_F(GuiTest, EnglishTooltipsAndToolbarLayout) {
    StartApp(0);
    NMTTDISPINFOW info = {};
    info.hdr.code = TTN_GETDISPINFOW;
    info.hdr.idFrom = IDM_MARKER_NEXT;
    SendMessageW(m_frame, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(nullptr, info.lpszText);
    EXPECT_EQ(std::wstring(L"Next Marker (F2)"), info.lpszText);
    HWND toolbar = ToolBarWindow(m_app);
    ASSERT_NE(nullptr, toolbar);
    EXPECT_EQ(26, SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int id : {IDM_SAVE_CSV, IDM_COMPARE, IDM_PRINT}) {
        EXPECT_TRUE(SendMessageW(toolbar, TB_ISBUTTONHIDDEN, id, 0)) << id;
    }
    // Hidden buttons take no space: Open is followed directly by the separator before Copy.
    RECT open, copy;
    SendMessageW(toolbar, TB_GETRECT, IDM_OPEN_LOG, reinterpret_cast<LPARAM>(&open));
    SendMessageW(toolbar, TB_GETRECT, IDM_COPY, reinterpret_cast<LPARAM>(&copy));
    RECT separator;
    SendMessageW(toolbar, TB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&separator));
    EXPECT_EQ(open.right, separator.left);
    EXPECT_EQ(separator.right, copy.left);
    HWND combo = GetDlgItem(toolbar, IDC_ENCODING_COMBO);
    ASSERT_NE(nullptr, combo);
    RECT r = ClientRectInFrame(combo, toolbar);
    EXPECT_EQ(380, r.left);
    // The Follow check button stands right of the box, not under it.
    RECT follow;
    ASSERT_TRUE(SendMessageW(toolbar, TB_GETRECT, IDM_FOLLOW, reinterpret_cast<LPARAM>(&follow)));
    EXPECT_GE(follow.left, r.right);
    EXPECT_LE(follow.left, r.right + 12);
    info.hdr.idFrom = IDM_FOLLOW;
    info.lpszText = nullptr;
    SendMessageW(m_frame, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(nullptr, info.lpszText);
    EXPECT_EQ(std::wstring(L"Follow (Ctrl+T)"), info.lpszText);
    // Auto, ANSI, UTF-8; a settings file without the choice keeps ANSI.
    EXPECT_EQ(3, SendMessageW(combo, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(1, SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

TEST_F(GuiTest, CodePageBoxSetsTheLoaderCodePage) {
    StartApp(0);
    HWND combo = GetDlgItem(ToolBarWindow(m_app), IDC_ENCODING_COMBO);
    SendMessageW(combo, CB_SETCURSEL, 2, 0);
    SendMessageW(m_frame, WM_COMMAND, MAKEWPARAM(IDC_ENCODING_COMBO, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(65001u, g_config->m_codePage);
    // Other notifications from the box are ignored.
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    SendMessageW(m_frame, WM_COMMAND, MAKEWPARAM(IDC_ENCODING_COMBO, CBN_DROPDOWN), reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(65001u, g_config->m_codePage);
}

TEST_F(GuiTest, ToolbarAndStatusBarTogglesSaveAndRelayout) {
    StartApp(0);
    HWND client = m_app->MdiClient();
    EXPECT_GT(ClientRectInFrame(client, m_frame).top, 0);
    SendMessageW(m_frame, WM_COMMAND, IDM_TOOLBAR, 0);
    Pump();
    EXPECT_FALSE(IsWindowVisible(ToolBarWindow(m_app)));
    EXPECT_EQ(0u, MenuState(IDM_TOOLBAR) & MF_CHECKED);
    EXPECT_EQ(0, ClientRectInFrame(client, m_frame).top);
    std::string ini = ReadBytes(m_dir.FsPath("quillon.ini"));
    EXPECT_NE(std::string::npos, ini.find("<view_toolbar>0</view_toolbar>")) << ini;

    RECT frameClient;
    GetClientRect(m_frame, &frameClient);
    EXPECT_LT(ClientRectInFrame(client, m_frame).bottom, frameClient.bottom);
    SendMessageW(m_frame, WM_COMMAND, IDM_STATUSBAR, 0);
    Pump();
    EXPECT_EQ(frameClient.bottom, ClientRectInFrame(client, m_frame).bottom);
    ini = ReadBytes(m_dir.FsPath("quillon.ini"));
    EXPECT_NE(std::string::npos, ini.find("<view_statusbar>0</view_statusbar>")) << ini;

    SendMessageW(m_frame, WM_COMMAND, IDM_TOOLBAR, 0);
    EXPECT_TRUE(IsWindowVisible(ToolBarWindow(m_app)));
    ini = ReadBytes(m_dir.FsPath("quillon.ini"));
    EXPECT_NE(std::string::npos, ini.find("<view_toolbar>1</view_toolbar>")) << ini;
}

// A start maximised or minimised (a shortcut's "Run" setting) keeps the log area between
// the toolbar and the status bar, and restorable.
TEST_F(GuiTest, AMaximisedOrMinimisedStartKeepsTheLayout) {
    StartApp(0);
    HWND client = m_app->MdiClient();
    for (int show : {SW_SHOWMAXIMIZED, SW_SHOWMINIMIZED}) {
        m_app->ShowFrame(show);
        if (show == SW_SHOWMINIMIZED) ShowWindow(m_frame, SW_RESTORE);
        Pump();
        EXPECT_FALSE(IsIconic(client)) << show;
        EXPECT_FALSE(IsZoomed(client)) << show;
        EXPECT_TRUE(IsWindowVisible(client)) << show;
        RECT frameClient;
        GetClientRect(m_frame, &frameClient);
        RECT area = ClientRectInFrame(client, m_frame);
        EXPECT_GT(area.top, 0) << show;
        EXPECT_LT(area.bottom, frameClient.bottom) << show;
    }
}

TEST_F(GuiTest, StartsWithoutToolbarWhenTheSettingSaysSo) {
    StartApp(0, "<view_toolbar>0</view_toolbar>\r\n");
    EXPECT_FALSE(IsWindowVisible(ToolBarWindow(m_app)));
    EXPECT_EQ(0u, MenuState(IDM_TOOLBAR) & MF_CHECKED);
    EXPECT_EQ(0, ClientRectInFrame(m_app->MdiClient(), m_frame).top);
}

TEST_F(GuiTest, StatusTextOnlyForListedViewsAndParts) {
    StartApp(0);
    HWND status = m_app->StatusBar()->m_window;
    ASSERT_NE(nullptr, status);
    EXPECT_EQ(3, SendMessageW(status, SB_GETPARTS, 0, 0));
    // No view is listed yet, so nothing may be written.
    m_app->SetStatusText(nullptr, 1, L"line:1, column:1");
    wchar_t text[64] = {};
    SendMessageW(status, SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(std::wstring(), text);
}

void ExpectLanguageDialog(GuiTest* test, int stored, std::function<void()> start) {
    bool japaneseUser = GetUserDefaultLangID() == 1041;
    int shownSelection = -1;
    std::wstring caption;
    test->WithDialog(start, [&](HWND dialog) {
        wchar_t text[64] = {};
        GetWindowTextW(dialog, text, 64);
        caption = text;
        shownSelection = static_cast<int>(SendDlgItemMessageW(dialog, IDC_LANGUAGE_COMBO, CB_GETCURSEL, 0, 0));
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(japaneseUser ? 1 : 0, shownSelection) << "stored " << stored;
    EXPECT_EQ(japaneseUser ? L"言語設定" : L"Choose Language", caption);
}

TEST_F(GuiTest, FirstStartAsksForTheLanguageAndCancelKeepsThePreselection) {
    bool japaneseUser = GetUserDefaultLangID() == 1041;
    ExpectLanguageDialog(this, -1, [&] { StartApp(-1); });
    EXPECT_EQ(japaneseUser ? 1 : 0, g_config->m_language);
    EXPECT_EQ(japaneseUser ? 1 : 0, g_config->m_languageSetting);
    std::string ini = ReadBytes(m_dir.FsPath("quillon.ini"));
    EXPECT_NE(std::string::npos, ini.find(japaneseUser ? "<language>1</language>" : "<language>0</language>")) << ini;
}

TEST_F(GuiTest, LanguageSevenAsksAgain) {
    ExpectLanguageDialog(this, 7, [&] { StartApp(7); });
}

TEST_F(GuiTest, ChoosingALanguageFromTheMenuTakesEffectNextStart) {
    StartApp(0);
    WithDialog([&] { SendMessageW(m_frame, WM_COMMAND, IDM_LANGUAGE, 0); },
               [&](HWND dialog) {
                   SendDlgItemMessageW(dialog, IDC_LANGUAGE_COMBO, CB_SETCURSEL, 1, 0);
                   PostMessageW(dialog, WM_COMMAND, IDOK, 0);
               });
    EXPECT_EQ(1, g_config->m_languageSetting);
    EXPECT_EQ(0, g_config->m_language);
    EXPECT_EQ(L"Open LOG File\tCtrl+O", MenuText(IDM_OPEN_LOG));
    std::string ini = ReadBytes(m_dir.FsPath("quillon.ini"));
    EXPECT_NE(std::string::npos, ini.find("<language>1</language>")) << ini;
}

TEST_F(GuiTest, AboutBoxShowsVersionAndEditionInBothLanguages) {
    for (int language : {0, 1}) {
        StartApp(language);
        std::wstring caption, version, edition;
        WithDialog([&] { SendMessageW(m_frame, WM_COMMAND, IDM_ABOUT, 0); },
                   [&](HWND dialog) {
                       caption = WindowText(dialog);
                       version = WindowText(GetDlgItem(dialog, IDC_ABOUT_VERSION));
                       edition = WindowText(GetDlgItem(dialog, IDC_ABOUT_EDITION));
                       PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                   });
        EXPECT_EQ(
            language == 1 ? L"Quillon(ログ解析支援ツール)について" : L"About Quillon(LOG Analysis Assist Tool) ...",
            caption);
        EXPECT_EQ(L"Version 1.0.0.0", version);
        EXPECT_EQ(L"64bit edition", edition);
        TearDown();
    }
}

TEST_F(GuiTest, InertDialogsCloseWithOkAndCancel) {
    StartApp(0);
    for (int id : {IDM_SAVE_CSV, IDM_COMPARE}) {
        bool shown = false;
        WithDialog([&] { SendMessageW(m_frame, WM_COMMAND, id, 0); },
                   [&](HWND dialog) {
                       shown = IsWindowVisible(dialog) != 0;
                       PostMessageW(dialog, WM_COMMAND, id == IDM_SAVE_CSV ? IDOK : IDCANCEL, 0);
                   });
        EXPECT_TRUE(shown);
    }
}

TEST_F(GuiTest, CommandLinePostsOneOpenRequestPerName) {
    StartApp(0);
    m_app->ProcessCommandLine(L"  \"C:\\my logs\\a.log\"   b.log \"\"");
    std::vector<std::wstring> posted;
    MSG msg;
    while (PeekMessageW(&msg, m_frame, UM_OPEN_FILE, UM_OPEN_FILE, PM_REMOVE)) {
        auto* path = reinterpret_cast<wchar_t*>(msg.wParam);
        posted.emplace_back(path);
        std::free(path);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\my logs\\a.log", L"b.log"}), posted);
}

// Several instances may run side by side: a frame of the class already exists here, and
// the check still lets a second start go on.
TEST_F(GuiTest, AnotherInstanceDoesNotStopTheStart) {
    StartApp(0);
    ASSERT_NE(nullptr, FindWindowW(L"QUILLON MAIN WINDOW", nullptr));
    EXPECT_EQ(0, m_app->FindPreviousInstance());
    EXPECT_TRUE(IsWindowVisible(m_frame));
}

TEST_F(GuiTest, EnglishTemplatesAreTheJapaneseIdsPlusOneHundred) {
    HINSTANCE self = GetModuleHandleW(nullptr);
    for (int id : {1001, 1002, 1004, 1007, 1008, 2001, 2002, 2003, 2004, 2005, 2006, 2007, 2008, 2009, 2010}) {
        EXPECT_NE(nullptr, FindResourceW(self, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5))) << id;
        EXPECT_NE(nullptr, FindResourceW(self, MAKEINTRESOURCEW(id + 100), MAKEINTRESOURCEW(5))) << id + 100;
    }
}

}  // namespace
