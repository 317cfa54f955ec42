// The loading pipeline: opening by command line, drop and UM_OPEN_FILE, the refusal of a
// second log, the progress dialog, the error lines, and stopping a load with Cancel,
// Close or Exit while the worker is still reading.
#include <windows.h>
// The system headers below need <windows.h> first.
#include <commctrl.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <filesystem>
#include <fstream>

#include "config/app_parameter.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "view/log_view.h"
#include "view_test_support.h"

namespace {

// Records the progress dialog's texts while a load runs and acts once when asked to.
struct ProgressWatch {
    std::vector<std::wstring> texts;
    std::wstring caption;
    std::function<bool(const std::wstring&)> trigger;
    std::function<void(HWND)> act;
    bool acted = false;
    // The load waits at each report until the dialog has been looked at: the test sees
    // every report however fast the machine loads.
    bool stepping = false;
};
ProgressWatch* g_watch = nullptr;

void CALLBACK WatchTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_watch == nullptr || GetAppMain() == nullptr) return;
    HWND dialog = GetAppMain()->Runner().Progress().Window();
    if (dialog == nullptr) return;
    wchar_t text[256] = {};
    GetDlgItemTextW(dialog, IDC_PROGRESS_TEXT, text, 256);
    if (g_watch->caption.empty()) {
        wchar_t caption[128] = {};
        GetWindowTextW(dialog, caption, 128);
        g_watch->caption = caption;
    }
    if (text[0] != 0 && (g_watch->texts.empty() || g_watch->texts.back() != text)) g_watch->texts.push_back(text);
    if (!g_watch->acted && g_watch->trigger && g_watch->trigger(text)) {
        g_watch->acted = true;
        g_watch->act(dialog);
    }
    if (g_watch->stepping) GetAppMain()->Runner().Worker().Step();
}

// The position in a progress text ("... 123 / 456 bytes (27%)"), or -1.
long long Position(const std::wstring& text) {
    size_t slash = text.find(L" / ");
    if (slash == std::wstring::npos) return -1;
    size_t start = slash;
    while (start > 0 && iswdigit(text[start - 1])) --start;
    return std::wcstoll(text.c_str() + start, nullptr, 10);
}

class LoadingTest : public ViewTest {
protected:
    void TearDown() override {
        g_watch = nullptr;
        ViewTest::TearDown();
    }

    // Writes a log of about megabytes MiB in lines of 100 bytes; returns its line count.
    int WriteBigLog(const std::string& name, int megabytes) {
        std::ofstream out(m_dir.FsPath(name), std::ios::binary);
        std::string line(98, 'x');
        int lines = megabytes * 1048576 / 100;
        for (int i = 0; i < lines; ++i) {
            char head[16];
            int n = snprintf(head, sizeof head, "%09d ", i);
            line.replace(0, static_cast<size_t>(n), head);
            out << line << "\r\n";
        }
        return lines;
    }

    std::wstring PathOf(const std::string& name) {
        std::u16string p = m_dir.File(name);
        return std::wstring(p.begin(), p.end());
    }

    // Opens a log with the watch timer running and waits until the load has ended.
    void OpenWatched(const std::wstring& path, ProgressWatch* watch) {
        g_watch = watch;
        m_app->Runner().Worker().SetStepMode(watch->stepping);
        UINT_PTR timer = SetTimer(nullptr, 0, 5, WatchTimer);
        m_app->OpenLogFile(path.c_str());
        PumpUntil([&] { return !m_app->Runner().Busy() && m_app->Runner().Progress().Window() == nullptr; }, 120000);
        Pump();
        KillTimer(nullptr, timer);
        m_app->Runner().Worker().SetStepMode(false);
        g_watch = nullptr;
    }

    bool Loaded() {
        CLogView* v = m_app->Views().First();
        return v != nullptr && v->Lines() != nullptr && !m_app->Runner().Busy();
    }

    std::wstring ViewTitle(CLogView* v) { return WindowText(v->Window()); }

    int ViewCount() { return m_app->Views().Count(); }

    bool OpenEnabled() { return (MenuState(IDM_OPEN_LOG) & MF_GRAYED) == 0; }
};

HGLOBAL MakeDrop(const std::wstring& path) {
    size_t bytes = sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), path.c_str(), path.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return memory;
}

wchar_t* HeapCopy(const std::wstring& text) {
    auto* copy = static_cast<wchar_t*>(std::calloc(text.size() + 1, sizeof(wchar_t)));
    std::memcpy(copy, text.c_str(), text.size() * sizeof(wchar_t));
    return copy;
}

TEST_F(LoadingTest, OpenFromTheCommandLineTakesTheFirstFile) {
    Start(0);
    std::filesystem::create_directory(m_dir.FsPath("with space"));
    WriteLog("with space/first log.log", "one\r\ntwo\r\nthree\r\n");
    WriteLog("second.log", "other\r\n");
    std::wstring line = L"\"" + PathOf("with space/first log.log") + L"\"  " + PathOf("second.log");
    m_app->ProcessCommandLine(line.c_str());
    ASSERT_TRUE(PumpUntil([&] { return Loaded(); }));
    Pump();
    CLogView* v = m_app->Views().First();
    EXPECT_EQ(L"first log.log", ViewTitle(v));
    EXPECT_EQ(3, v->Lines()->Count());
    EXPECT_EQ(1, ViewCount());
    EXPECT_EQ(v, m_app->Views().Active());
    EXPECT_FALSE(OpenEnabled());
    EXPECT_EQ(0u, MenuState(IDM_CLOSE) & MF_GRAYED);
    EXPECT_EQ(0u, MenuState(IDM_SEARCH) & MF_GRAYED);
}

TEST_F(LoadingTest, OpenByDropAndRefuseASecondLog) {
    Start(0);
    std::wstring first = WriteLog("dropped.log", "a\r\nb\r\n");
    std::wstring second = WriteLog("later.log", "c\r\nd\r\ne\r\n");
    SendMessageW(m_frame, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(first)), 0);
    ASSERT_TRUE(PumpUntil([&] { return Loaded(); }));
    CLogView* v = m_app->Views().First();
    EXPECT_EQ(L"dropped.log", ViewTitle(v));
    // While a log is open, a drop, UM_OPEN_FILE and the open command change nothing.
    SendMessageW(m_frame, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(second)), 0);
    PostMessageW(m_frame, UM_OPEN_FILE, reinterpret_cast<WPARAM>(HeapCopy(second)), 0);
    SendMessageW(m_frame, WM_COMMAND, IDM_OPEN_LOG, 0);
    Pump(10);
    EXPECT_EQ(v, m_app->Views().First());
    EXPECT_EQ(1, ViewCount());
    EXPECT_EQ(2, v->Lines()->Count());
    EXPECT_EQ(L"dropped.log", ViewTitle(v));
}

TEST_F(LoadingTest, OpenByMessageAndAfterClose) {
    Start(0);
    std::wstring first = WriteLog("first.log", "1\r\n2\r\n");
    std::wstring second = WriteLog("second.log", "1\r\n2\r\n3\r\n4\r\n");
    PostMessageW(m_frame, UM_OPEN_FILE, reinterpret_cast<WPARAM>(HeapCopy(first)), 0);
    ASSERT_TRUE(PumpUntil([&] { return Loaded(); }));
    EXPECT_EQ(2, m_app->Views().First()->Lines()->Count());
    SendMessageW(m_frame, WM_COMMAND, IDM_CLOSE, 0);
    EXPECT_EQ(nullptr, m_app->Views().First());
    EXPECT_TRUE(OpenEnabled());
    PostMessageW(m_frame, UM_OPEN_FILE, reinterpret_cast<WPARAM>(HeapCopy(second)), 0);
    ASSERT_TRUE(PumpUntil([&] { return Loaded(); }));
    EXPECT_EQ(4, m_app->Views().First()->Lines()->Count());
    EXPECT_EQ(L"second.log", ViewTitle(m_app->Views().First()));
    // A path that does not open leaves everything as it was.
    SendMessageW(m_frame, WM_COMMAND, IDM_CLOSE, 0);
    m_app->OpenLogFile(PathOf("missing.log").c_str());
    Pump();
    EXPECT_EQ(nullptr, m_app->Views().First());
    EXPECT_FALSE(m_app->LogFile().IsOpen());
    EXPECT_TRUE(OpenEnabled());
}

void ExpectProgressTexts(const ProgressWatch& watch, const std::wstring& prefix, long long total) {
    ASSERT_FALSE(watch.texts.empty());
    for (const std::wstring& text : watch.texts) {
        long long position = Position(text);
        ASSERT_GE(position, 0) << text;
        int percent = static_cast<int>(position * 100 / total);
        std::wstring expected = prefix + std::to_wstring(position) + L" / " + std::to_wstring(total) + L" bytes (" +
                                std::to_wstring(percent) + L"%)";
        EXPECT_EQ(expected, text);
    }
}

TEST_F(LoadingTest, ProgressDialogShowsTheBytesRead) {
    for (int language : {0, 1}) {
        Start(language);
        int lines = WriteBigLog("progress.log", 100);
        long long size = static_cast<long long>(std::filesystem::file_size(m_dir.FsPath("progress.log")));
        ProgressWatch watch;
        watch.stepping = true;
        OpenWatched(PathOf("progress.log"), &watch);
        ASSERT_TRUE(Loaded());
        EXPECT_EQ(lines, m_app->Views().First()->Lines()->Count());
        EXPECT_EQ(language == 1 ? L"ファイルを開く" : L"Open Capture File", watch.caption);
        ExpectProgressTexts(watch, language == 1 ? L"読み込み完了... " : L"Loading ... ", size);
        TearDown();
    }
}

TEST_F(LoadingTest, ProgressTextFormat) {
    Start(0);
    CProgressDialog& dialog = m_app->Runner().Progress();
    // Without a window there is nothing to update (and nothing breaks).
    dialog.SetProgress(1, 2);
    std::wstring text;
    UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR id, DWORD) {
        CProgressDialog& d = GetAppMain()->Runner().Progress();
        if (d.Window() == nullptr) return;
        KillTimer(nullptr, id);
        d.SetProgress(5242880, 20971520);
        wchar_t t[256] = {};
        GetDlgItemTextW(d.Window(), IDC_PROGRESS_TEXT, t, 256);
        g_watch->texts.push_back(t);
        g_watch->texts.push_back(std::to_wstring(SendDlgItemMessageW(d.Window(), IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0)));
        d.SetProgress(7, 0);
        GetDlgItemTextW(d.Window(), IDC_PROGRESS_TEXT, t, 256);
        g_watch->texts.push_back(t);
        SendMessageW(d.Window(), WM_COMMAND, IDOK, 0);
    });
    ProgressWatch watch;
    g_watch = &watch;
    dialog.Run(m_frame);
    KillTimer(nullptr, timer);
    ASSERT_EQ(3u, watch.texts.size());
    EXPECT_EQ(L"Loading ... 5242880 / 20971520 bytes (25%)", watch.texts[0]);
    EXPECT_EQ(L"25", watch.texts[1]);
    EXPECT_EQ(L"Loading ... 7 / 0 bytes (0%)", watch.texts[2]);
    EXPECT_EQ(nullptr, dialog.Window());
}

TEST_F(LoadingTest, ErrorKeywordLinesAreCollected) {
    Start(0);
    CKeywordSet& keywords = AppConfig().Keywords();
    keywords.Add(u"FATAL", 6, 0, 1);
    keywords.Add(u"WARN", 7, 0, 0);
    keywords.BuildFlagTable();
    CLogView* v = OpenAndWait(WriteLog("errors.log", "ok\r\nFATAL one\r\n\r\nWARN two\r\nthree FATAL FATAL\r\n"));
    ASSERT_NE(nullptr, v);
    EXPECT_EQ(4, v->Lines()->Count());
    CLogLineList& errors = m_app->LogFile().ErrorLines();
    ASSERT_EQ(2, errors.Count());
    EXPECT_EQ(1, errors[0].lineNumber);
    EXPECT_EQ(3, errors[1].lineNumber);
    EXPECT_EQ(0u, MenuState(IDM_ERROR_LOG) & MF_GRAYED);
}

// The worker scans with the keywords in force when the load was asked for: a change of the
// set while it runs (the keyword dialog's OK after a Cancel) cannot reach it.
TEST_F(LoadingTest, AKeywordChangeDuringALoadDoesNotReachTheWorker) {
    Start(0);
    CKeywordSet& keywords = AppConfig().Keywords();
    keywords.Add(u"FATAL", 6, 0, 1);
    keywords.BuildFlagTable();
    std::wstring path = WriteLog("errors.log", "ok\r\nFATAL one\r\n");
    m_app->OpenLogFile(path.c_str());
    keywords.Clear();  // before the worker starts reading
    keywords.Add(u"other", 6, 0, 1);
    keywords.BuildFlagTable();
    ASSERT_TRUE(PumpUntil([&] { return Loaded(); }));
    CLogLineList& errors = m_app->LogFile().ErrorLines();
    ASSERT_EQ(1, errors.Count());
    EXPECT_EQ(1, errors[0].lineNumber);
}

TEST_F(LoadingTest, CancelKeepsTheLinesIndexedSoFar) {
    Start(0);
    int lines = WriteBigLog("big.log", 120);
    ProgressWatch watch;
    // The first quarter of the range is the counting pass; cancel in the indexing pass.
    watch.trigger = [](const std::wstring& text) { return Position(text) >= 62914560; };
    watch.act = [](HWND dialog) { SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0); };
    watch.stepping = true;
    OpenWatched(PathOf("big.log"), &watch);
    ASSERT_TRUE(watch.acted) << "the load ended before it could be cancelled";
    ASSERT_TRUE(PumpUntil([&] { return Loaded(); }));
    CLogView* v = m_app->Views().First();
    int count = v->Lines()->Count();
    EXPECT_GT(count, 0);
    EXPECT_LT(count, lines);
    // The partial index is usable: it paints, moves and copies.
    SizeView(v, 800, 400);
    Paint(v);
    SendMessageW(m_frame, WM_COMMAND, IDM_JUMP_END, 0);
    EXPECT_EQ(count - 1, v->CaretLine());
    EXPECT_EQ(0u, MenuState(IDM_SEARCH) & MF_GRAYED);
    EXPECT_FALSE(OpenEnabled());
    // Close, and the next file loads in full.
    SendMessageW(m_frame, WM_COMMAND, IDM_CLOSE, 0);
    EXPECT_TRUE(OpenEnabled());
    CLogView* next = OpenAndWait(WriteLog("small.log", "x\r\ny\r\n"));
    ASSERT_NE(nullptr, next);
    EXPECT_EQ(2, next->Lines()->Count());
}

// A Cancel before the indexing pass of a large file (held until the button is pressed, so
// that it cannot finish first) leaves an empty, usable view.
TEST_F(LoadingTest, CancelBeforeTheIndexingPassGivesNoLines) {
    Start(0);
    WriteBigLog("big.log", 120);
    ProgressWatch watch;
    watch.trigger = [](const std::wstring&) { return true; };
    watch.act = [](HWND dialog) {
        SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
        GetAppMain()->Runner().Worker().Hold(false);
    };
    m_app->Runner().Worker().Hold(true);
    OpenWatched(PathOf("big.log"), &watch);
    ASSERT_TRUE(watch.acted);
    ASSERT_TRUE(PumpUntil([&] { return Loaded(); }));
    CLogView* v = m_app->Views().First();
    EXPECT_EQ(0, v->Lines()->Count());
    SizeView(v, 800, 400);
    Paint(v);
    SendMessageW(m_frame, WM_COMMAND, IDM_JUMP_END, 0);
    EXPECT_EQ(0, v->CaretLine());
}

TEST_F(LoadingTest, CloseDuringALoadStopsItFirst) {
    Start(0);
    WriteBigLog("big.log", 120);
    ProgressWatch watch;
    watch.trigger = [](const std::wstring& text) { return !text.empty(); };
    watch.act = [](HWND) { PostMessageW(GetAppMain()->Frame(), WM_COMMAND, IDM_CLOSE, 0); };
    // However fast the machine loads, the close comes while the load runs.
    watch.stepping = true;
    OpenWatched(PathOf("big.log"), &watch);
    ASSERT_TRUE(watch.acted);
    Pump(5);
    EXPECT_EQ(nullptr, m_app->Views().First());
    EXPECT_FALSE(m_app->LogFile().IsOpen());
    EXPECT_FALSE(m_app->Runner().Busy());
    EXPECT_EQ(nullptr, m_app->Runner().Progress().Window());
    EXPECT_TRUE(OpenEnabled());
    EXPECT_NE(0u, TopMenuState(1) & MF_GRAYED);
    CLogView* next = OpenAndWait(WriteLog("small.log", "x\r\ny\r\nz\r\n"));
    ASSERT_NE(nullptr, next);
    EXPECT_EQ(3, next->Lines()->Count());
}

TEST_F(LoadingTest, ExitDuringALoadStopsItFirst) {
    Start(0);
    WriteBigLog("big.log", 120);
    ProgressWatch watch;
    watch.trigger = [](const std::wstring& text) { return !text.empty(); };
    watch.act = [](HWND) { PostMessageW(GetAppMain()->Frame(), WM_COMMAND, IDM_EXIT, 0); };
    g_watch = &watch;
    watch.stepping = true;
    m_app->Runner().Worker().SetStepMode(true);
    UINT_PTR timer = SetTimer(nullptr, 0, 5, WatchTimer);
    m_app->OpenLogFile(PathOf("big.log").c_str());
    bool closed = PumpUntil([&] { return !IsWindow(m_frame); }, 120000);
    KillTimer(nullptr, timer);
    g_watch = nullptr;
    ASSERT_TRUE(watch.acted);
    ASSERT_TRUE(closed);
    EXPECT_EQ(nullptr, m_app->Views().First());
    EXPECT_FALSE(m_app->Runner().Busy());
    m_app->Runner().Stop();
    EXPECT_FALSE(m_app->Runner().Worker().Started());
}

}  // namespace
