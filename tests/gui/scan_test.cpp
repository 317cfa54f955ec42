// Scans in the background on a log too big to scan at once: search, extraction and the
// error log finish with the same result as on the UI thread, a Cancel half-way changes
// nothing, the frame keeps answering, and closing or exiting stops the scan first.
#include <windows.h>

#include <atomic>
#include <fstream>
#include <thread>

#include "config/app_parameter.h"
#include "foundation/convert.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "shell/row_saver.h"
#include "view/log_view.h"
#include "modal_driver.h"
#include "view_test_support.h"

namespace {

constexpr int kBigLines = 1200000;  // about 115 MiB

// What to do once the progress dialog of a scan shows some progress.
std::function<void(HWND)> g_onProgress;
std::wstring g_caption;
bool g_anyText = false;  // act as soon as the dialog shows, before any progress

void CALLBACK ProgressTimer(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = GetAppMain() != nullptr ? GetAppMain()->Runner().Progress().Window() : nullptr;
    if (dialog == nullptr || !g_onProgress) return;
    wchar_t text[256] = {};
    GetDlgItemTextW(dialog, IDC_PROGRESS_TEXT, text, 256);
    if (text[0] == 0 && !g_anyText) return;
    wchar_t caption[64] = {};
    GetWindowTextW(dialog, caption, 64);
    g_caption = caption;
    auto act = g_onProgress;
    g_onProgress = nullptr;
    act(dialog);
}

// Catches the next message box of this thread: keeps its text and presses OK.
std::wstring g_boxText;
bool g_boxSeen = false;

void CALLBACK MessageBoxTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = GetActiveWindow();
    if (box == nullptr || GetDlgItem(box, IDC_CONDITION_1) != nullptr) return;
    wchar_t text[512] = {};
    if (GetDlgItemTextW(box, 0xFFFF, text, 512) == 0) return;
    KillTimer(nullptr, id);
    g_boxText = text;
    g_boxSeen = true;
    PostMessageW(box, WM_COMMAND, IDOK, 0);
}

// Answers the next message box of this thread with button (IDYES, IDNO), keeping its text.
int g_boxReply = IDYES;

void CALLBACK ReplyTimer(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = GetActiveWindow();
    wchar_t text[512] = {};
    if (box == nullptr || GetDlgItemTextW(box, 0xFFFF, text, 512) == 0) return;
    KillTimer(nullptr, id);
    g_boxText = text;
    g_boxSeen = true;
    PostMessageW(box, WM_COMMAND, g_boxReply, 0);
}

class ScanTest : public ViewTest {
protected:
    void TearDown() override {
        g_onProgress = nullptr;
        ViewTest::TearDown();
    }

    // Every line holds the error keyword; the last one also "needle".
    CLogView* OpenBig(int language = 0) {
        Start(language);
        CKeywordSet& keywords = AppConfig().Keywords();
        keywords.Add(u"ERROR", 6, 0, 1);
        keywords.BuildFlagTable();
        {
            std::ofstream out(m_dir.FsPath("big.log"), std::ios::binary);
            std::string filler(76, 'x');
            char head[32];
            for (int i = 0; i < kBigLines; ++i) {
                snprintf(head, sizeof head, "%09d ERROR ", i);
                out << head << filler << (i == kBigLines - 1 ? " needle" : "") << "\r\n";
            }
        }
        CLogView* view = OpenAndWait(BigPath());
        if (view != nullptr) SizeView(view, 800, 400);
        m_app->Runner().SetProgressDelay(0);  // the dialog at once, so that the test can press Cancel
        return view;
    }

    std::wstring BigPath() {
        std::u16string p = m_dir.File("big.log");
        return std::wstring(p.begin(), p.end());
    }

    void Command(int id) { SendMessageW(m_frame, WM_COMMAND, id, 0); }

    // Runs a command that starts a scan, acts once the progress dialog shows progress, and
    // waits until the scan has been settled.
    void RunScan(const std::function<void()>& start, const std::function<void(HWND)>& act) {
        g_onProgress = act;
        UINT_PTR timer = SetTimer(nullptr, 0, 5, ProgressTimer);
        start();
        PumpUntil([&] { return !m_app->Runner().Busy(); }, 120000);
        KillTimer(nullptr, timer);
        Pump();
    }

    void SearchFor(const wchar_t* text) {
        WithDialog([&] { Command(IDM_SEARCH); },
                   [&](HWND dialog) {
                       SetDlgItemTextW(dialog, IDC_CONDITION_1, text);
                       PostMessageW(dialog, WM_COMMAND, IDC_SEARCH_NEXT, 0);
                   });
    }

    void ExtractText(const wchar_t* text) {
        WithDialog([&] { Command(IDM_EXTRACTION); },
                   [&](HWND dialog) {
                       SetDlgItemTextW(dialog, IDC_CONDITION_1, text);
                       SetDlgItemTextW(dialog, IDC_LINES_BEFORE, L"0");
                       SetDlgItemTextW(dialog, IDC_LINES_AFTER, L"0");
                       PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                   });
    }

    // The scan waits until Cancel has been pressed in its dialog: for scans too quick to catch.
    void HeldScan(const std::function<void()>& start) {
        m_app->Runner().Worker().Hold(true);
        g_anyText = true;
        RunScan(start, [&](HWND dialog) {
            PressCancel(dialog);
            m_app->Runner().Worker().Hold(false);
        });
        g_anyText = false;
    }

    static void PressCancel(HWND dialog) { SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0); }

    int ViewCount() { return m_app->Views().Count(); }
};

TEST_F(ScanTest, SearchInTheBackgroundKeepsTheFrameAnsweringAndCancelMovesNothing) {
    CLogView* v = OpenBig();
    ASSERT_NE(nullptr, v);
    ASSERT_EQ(kBigLines, v->Lines()->Count());
    v->GoToLine(7);
    // Another thread keeps asking the frame for an answer while the scans run.
    std::atomic<bool> running{true};
    std::atomic<int> unanswered{0};
    std::atomic<int> answered{0};
    std::atomic<bool> stopped{false};
    HWND frame = m_frame;
    CScanWorker& worker = m_app->Runner().Worker();
    std::thread prober([&] {
        for (; running.load(); Sleep(5)) {
            // Only questions asked and timed out while a scan runs count.
            if (!worker.Busy()) continue;
            DWORD_PTR result = 0;
            // A second is far beyond what a busy test machine needs; the benchmark measures
            // the real waits against their 100 ms target.
            if (SendMessageTimeoutW(frame, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) != 0) {
                ++answered;
            } else if (worker.Busy()) {
                ++unanswered;
            }
        }
        stopped.store(true);
    });
    RunScan([&] { SearchFor(L"absent text"); }, [](HWND) {});
    EXPECT_EQ(7, v->CaretLine());
    // A search for a line that is there, cancelled before it could find it.
    HeldScan([&] { SearchFor(L"needle"); });
    EXPECT_EQ(L"Search", g_caption);
    EXPECT_EQ(7, v->CaretLine());
    EXPECT_EQ(0, v->HighlightSearch());
    RunScan([&] { SearchFor(L"needle"); }, [](HWND) {});
    running.store(false);
    PumpUntil([&] { return stopped.load(); });  // its last question is answered here
    prober.join();
    EXPECT_EQ(kBigLines - 1, v->CaretLine());
    EXPECT_EQ(1, v->HighlightSearch());
    EXPECT_EQ(0, unanswered.load());
    EXPECT_GT(answered.load(), 0);
    // Previous Search from the last row goes back the whole way.
    RunScan([&] { Command(IDM_SEARCH_PREVIOUS); }, PressCancel);
    EXPECT_EQ(kBigLines - 1, v->CaretLine());
}

TEST_F(ScanTest, ExtractionAndErrorLogCancelledOpenNothingCompletedOpenTheirView) {
    for (int language : {0, 1}) {
        CLogView* v = OpenBig(language);
        ASSERT_NE(nullptr, v);
        HeldScan([&] { ExtractText(L"needle"); });
        EXPECT_EQ(language == 1 ? L"ログを抽出" : L"Extraction", g_caption);
        EXPECT_EQ(1, ViewCount());
        RunScan([&] { ExtractText(L"needle"); }, [](HWND) {});
        ASSERT_EQ(2, ViewCount());
        CLogView* extracted = m_app->Views().Active();
        ASSERT_EQ(1, extracted->Lines()->Count());
        EXPECT_EQ(kBigLines - 1, (*extracted->Lines())[0].lineNumber);

        // Copying the error lines is quick: hold it until Cancel has been pressed.
        ASSERT_EQ(kBigLines, m_app->LogFile().ErrorLines().Count());
        HeldScan([&] { Command(IDM_ERROR_LOG); });
        EXPECT_EQ(language == 1 ? L"エラーログ" : L"Error Log", g_caption);
        EXPECT_EQ(2, ViewCount());
        RunScan([&] { Command(IDM_ERROR_LOG); }, [](HWND) {});
        ASSERT_EQ(3, ViewCount());
        EXPECT_EQ(kBigLines, m_app->Views().Active()->Lines()->Count());
        TearDown();
    }
}

TEST_F(ScanTest, ClosingTheViewOrExitingStopsARunningScan) {
    CLogView* v = OpenBig();
    ASSERT_NE(nullptr, v);
    // Held: the scan is still running when the close arrives, and the close lets it go.
    m_app->Runner().Worker().Hold(true);
    g_anyText = true;
    RunScan([&] { ExtractText(L"absent text"); },
            [](HWND) { PostMessageW(GetAppMain()->Frame(), WM_COMMAND, IDM_CLOSE, 0); });
    Pump(5);
    EXPECT_EQ(nullptr, m_app->Views().First());
    EXPECT_FALSE(m_app->Runner().Busy());
    EXPECT_EQ(nullptr, m_app->Runner().Progress().Window());

    v = OpenAndWait(BigPath());
    ASSERT_NE(nullptr, v);
    m_app->Runner().SetProgressDelay(0);
    m_app->Runner().Worker().Hold(true);
    g_onProgress = [](HWND) { PostMessageW(GetAppMain()->Frame(), WM_COMMAND, IDM_EXIT, 0); };
    UINT_PTR timer = SetTimer(nullptr, 0, 5, ProgressTimer);
    SearchFor(L"absent text");
    bool closed = PumpUntil([&] { return !IsWindow(m_frame); }, 120000);
    KillTimer(nullptr, timer);
    ASSERT_TRUE(closed);
    EXPECT_FALSE(m_app->Runner().Busy());
    EXPECT_EQ(nullptr, m_app->Views().First());
}

// Closing a view stops only a scan that reads it: a search in another view goes on.
TEST_F(ScanTest, ClosingAnotherViewLetsARunningSearchFinish) {
    Start(0);
    std::string log;
    char line[64];
    for (int i = 0; i < 80000; ++i) {
        snprintf(line, sizeof line, "%06d some text of a row%s\r\n", i, i == 79999 ? " needle" : "");
        log += line;
    }
    CLogView* v = OpenAndWait(WriteLog("two.log", log));
    ASSERT_NE(nullptr, v);
    RunScan([&] { ExtractText(L"needle"); }, [](HWND) {});
    ASSERT_EQ(2, ViewCount());
    CLogView* extracted = m_app->Views().Active();
    // No progress dialog: its modal loop would keep the pump below from returning to release the worker.
    m_app->Runner().SetProgressDelay(600000);
    m_app->Runner().Worker().Hold(true);
    m_app->StartSearch(v, 0, CSearchDirection::kNext);
    ASSERT_TRUE(m_app->Runner().Busy());
    SendMessageW(extracted->Window(), WM_CLOSE, 0, 0);
    PumpUntil([&] { return ViewCount() == 1; }, 5000);
    EXPECT_EQ(1, ViewCount());
    EXPECT_TRUE(m_app->Runner().Busy());
    m_app->Runner().Worker().Hold(false);
    ASSERT_TRUE(PumpUntil([&] { return !m_app->Runner().Busy(); }));
    EXPECT_EQ(79999, v->CaretLine());
}

// An extraction whose context would make a result beyond any memory says so and opens nothing.
TEST_F(ScanTest, ATooLargeExtractionSaysSoAndOpensNothing) {
    for (int language : {0, 1}) {
        Start(language);
        std::string log;
        for (int i = 0; i < 10000; ++i) log += "hit " + std::to_string(i) + "\r\n";
        ASSERT_NE(nullptr, OpenAndWait(WriteLog("busy.log", log)));
        g_boxSeen = false;
        WithDialog([&] { Command(IDM_EXTRACTION); },
                   [&](HWND dialog) {
                       SetDlgItemTextW(dialog, IDC_CONDITION_1, L"hit");
                       SetDlgItemTextW(dialog, IDC_LINES_BEFORE, L"10000");
                       SetDlgItemTextW(dialog, IDC_LINES_AFTER, L"10000");
                       SetTimer(nullptr, 0, 10, MessageBoxTimer);
                       PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                   });
        PumpUntil([&] { return g_boxSeen && !m_app->Runner().Busy(); });
        ASSERT_TRUE(g_boxSeen);
        EXPECT_NE(std::wstring::npos, g_boxText.find(language == 1 ? L"大きすぎる" : L"too large")) << g_boxText;
        EXPECT_EQ(1, ViewCount());
        TearDown();
    }
}

}  // namespace

namespace {

// A job that says when it has started and then waits until the test lets it end.
class GateJob : public CScanJob {
public:
    GateJob() : m_gate(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
    ~GateJob() override { CloseHandle(m_gate); }
    void Run(const std::atomic<int>*, CProgressListener*) override {
        started.store(true);
        if (gated) WaitForSingleObject(m_gate, INFINITE);
    }
    CScanKind Kind() const override { return CScanKind::kSearch; }
    void Open() { SetEvent(m_gate); }

    bool gated = false;
    std::atomic<bool> started{false};

private:
    HANDLE m_gate;
};

struct NextJobOnIdle {
    CScanWorker* worker;
    GateJob* next;
    bool submitted = false;
};

}  // namespace

// The worker becomes idle, and at that very moment the UI waits and hands over the next
// job: Wait must not return again until that job has ended.
TEST(ScanWorkerTest, IdleIsNeverSignalledWhileTheNextJobRuns) {
    HWND sink = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    CScanWorker worker;
    ASSERT_TRUE(worker.Start(sink));
    GateJob first;
    GateJob second;
    second.gated = true;
    NextJobOnIdle state{&worker, &second};
    worker.SetIdleHook(
        [](void* context) {
            auto* s = static_cast<NextJobOnIdle*>(context);
            if (s->submitted) return;
            s->worker->Wait();
            s->submitted = s->worker->Submit(s->next);
        },
        &state);
    ASSERT_TRUE(worker.Submit(&first));
    DWORD deadline = GetTickCount() + 10000;
    while (!second.started.load() && GetTickCount() < deadline) Sleep(1);
    ASSERT_TRUE(state.submitted);
    ASSERT_TRUE(second.started.load());
    EXPECT_TRUE(worker.Busy());
    std::atomic<bool> waited{false};
    std::thread waiter([&] {
        worker.Wait();
        waited.store(true);
    });
    // A wait that returns while the second job runs would let the UI free it under the worker.
    for (int i = 0; i < 30 && !waited.load(); ++i) Sleep(10);
    EXPECT_FALSE(waited.load());
    second.Open();
    waiter.join();
    EXPECT_TRUE(waited.load());
    worker.SetIdleHook(nullptr, nullptr);
    worker.Stop();
    DestroyWindow(sink);
}

TEST_F(ScanTest, SaveRowsAsInTheLogOrAsShownAsksBeforeReplacingAndACancelLeavesNoFile) {
    for (int language : {0, 1}) {
        std::filesystem::remove(m_dir.FsPath("rows.log"));
        CLogView* v = OpenBig(language);
        ASSERT_NE(nullptr, v);
        std::u16string out16 = m_dir.File("rows.log");
        std::wstring out(out16.begin(), out16.end());
        // Cancelled: neither the file nor a temporary one is left.
        HeldScan([&] { StartRowSave(*m_app, v, out.c_str(), CRowFormat::kAsInLog); });
        EXPECT_EQ(language == 1 ? L"行の保存" : L"Saving rows", g_caption);
        EXPECT_FALSE(std::filesystem::exists(m_dir.FsPath("rows.log")));
        EXPECT_TRUE(testing_support::TemporaryFilesIn(m_dir.Path()).empty());

        // The command: the file dialog names a new file; the rows are the log's bytes.
        RunScan([&] { WithDialog([&] { Command(IDM_SAVE_ROWS); }, [&](HWND d) { ConfirmFileDialog(d, out); }); },
                [](HWND) {});
        EXPECT_EQ(std::filesystem::file_size(m_dir.FsPath("big.log")),
                  std::filesystem::file_size(m_dir.FsPath("rows.log")));
        EXPECT_TRUE(testing_support::ReadBytes(m_dir.FsPath("big.log")) ==
                    testing_support::ReadBytes(m_dir.FsPath("rows.log")));

        // An existing file is replaced only after Yes.
        testing_support::WriteBytes(m_dir.FsPath("rows.log"), "old");
        for (int reply : {IDNO, IDYES}) {
            g_boxReply = reply;
            g_boxSeen = false;
            RunScan(
                [&] {
                    WithDialog([&] { Command(IDM_SAVE_ROWS); },
                               [&](HWND d) {
                                   SetTimer(nullptr, 0, 10, ReplyTimer);
                                   ConfirmFileDialog(d, out);
                               });
                },
                [](HWND) {});
            EXPECT_TRUE(g_boxSeen);
            EXPECT_NE(std::wstring::npos, g_boxText.find(L"rows.log"));
            EXPECT_EQ(reply == IDNO ? 3u : std::filesystem::file_size(m_dir.FsPath("big.log")),
                      std::filesystem::file_size(m_dir.FsPath("rows.log")));
        }
        TearDown();
    }
}

TEST_F(ScanTest, SaveRowsAsShownWritesNumberIntervalAndTextInUtf8) {
    Start(0);
    std::wstring log = WriteLog("shown.log",
                                "2024-01-01 00:00:00.000 first\r\n\r\nno stamp \xE6\x97\xA5\n"
                                "2024-01-01 00:00:01.500 third\r\n");
    AppConfig().m_encodingChoice = static_cast<int32_t>(kCodePageUtf8);
    CLogView* v = OpenAndWait(log);
    ASSERT_NE(nullptr, v);
    std::u16string out = m_dir.File("shown.tsv");
    StartRowSave(*m_app, v, std::wstring(out.begin(), out.end()).c_str(), CRowFormat::kAsShown);
    PumpUntil([&] { return !m_app->Runner().Busy(); });
    EXPECT_EQ(
        "\xEF\xBB\xBF"
        "1\t00:00:00.000\t2024-01-01 00:00:00.000 first\r\n"
        "2\t00:00:00.000\tno stamp \xE6\x97\xA5\r\n"
        "3\t00:00:01.500\t2024-01-01 00:00:01.500 third\r\n",
        testing_support::ReadBytes(m_dir.FsPath("shown.tsv")));
}
