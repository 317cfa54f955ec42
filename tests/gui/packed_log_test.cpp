// Compressed logs in the viewer, in both languages: a gzip log and a zip archive's file open
// (from the command line too) and every command reads their uncompressed rows; an archive of
// several files asks which; damage shows the rows before it as incomplete with a message, and
// a file that cannot be read is refused; following is greyed and refused; kept state comes
// back for the same log only; the load counts compressed bytes; merged sets and rotated
// siblings take compressed members.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "config/app_parameter.h"
#include "config/ui_text.h"
#include "foundation/wide.h"
#include "modal_driver.h"
#include "packed/packed_support.h"
#include "res/resource.h"
#include "search/marker_list.h"
#include "shell/app_main.h"
#include "shell/packed_open.h"
#include "shell/row_saver.h"
#include "view/log_view.h"
#include "view/timeline_pane.h"
#include "view_test_support.h"

using packed_support::Gzip;
using packed_support::MakeZip;
using testing_support::ReadBytes;

namespace {

const char kLog[] =
    "2024-03-01 10:00:00.000 start\r\n"
    "2024-03-01 10:00:01.000 needle one\r\n"
    "2024-03-01 10:00:02.000 ERROR disk\r\n"
    "2024-03-01 10:00:03.000 needle two\r\n"
    "2024-03-01 10:00:04.000 end\r\n";

// Rows "row <i>" from first on, stamped a second apart.
std::string Rows(int first, int count) {
    std::string text;
    for (int i = first; i < first + count; ++i) {
        char row[64];
        snprintf(row, sizeof row, "2024-03-01 %02d:%02d:%02d row %d\r\n", i / 3600 % 24, i / 60 % 60, i % 60, i);
        text += row;
    }
    return text;
}

std::wstring Text(TextId id) { return W(UiText(id)); }

// The texts of the progress dialog while a load runs, one step of the worker at a time.
std::vector<std::wstring>* g_progressTexts = nullptr;

void CALLBACK NoteProgress(HWND, UINT, UINT_PTR, DWORD) {
    if (g_progressTexts == nullptr || GetAppMain() == nullptr) return;
    HWND dialog = GetAppMain()->Runner().Progress().Window();
    if (dialog == nullptr) return;
    wchar_t text[256] = {};
    GetDlgItemTextW(dialog, IDC_PROGRESS_TEXT, text, 256);
    if (text[0] != 0 && (g_progressTexts->empty() || g_progressTexts->back() != text)) g_progressTexts->push_back(text);
    GetAppMain()->Runner().Worker().Step();
}

class PackedLogTest : public ViewTest, public ::testing::WithParamInterface<int> {
protected:
    void TearDown() override {
        g_progressTexts = nullptr;
        ViewTest::TearDown();
    }

    void Command(int id) { SendMessageW(m_frame, WM_COMMAND, id, 0); }

    bool Loaded() {
        CLogView* v = m_app->Views().First();
        return v != nullptr && v->HasRows() && !m_app->Runner().Busy() &&
               m_app->Runner().Progress().Window() == nullptr;
    }

    CLogView* WaitLoaded() {
        bool loaded = PumpUntil([&] { return Loaded(); });
        Pump();
        return loaded ? m_app->Views().First() : nullptr;
    }

    CLogView* WaitLoadedAfter(const std::wstring& path) {
        m_app->OpenLogFile(path.c_str());
        return WaitLoaded();
    }

    CLogView* WaitMerged() {
        bool merged = PumpUntil([&] {
            CLogView* v = m_app->Views().First();
            return v != nullptr && v->RowLogs() != nullptr && !m_app->Runner().Busy();
        });
        Pump();
        return merged ? m_app->Views().First() : nullptr;
    }

    void WaitIdle() {
        PumpUntil([&] { return !m_app->Runner().Busy(); });
        Pump();
    }

    std::wstring RowText(CLogView* view, int64_t row) {
        int count = 0;
        char16_t* text = view->GetRowText(row, &count);
        std::wstring result(W(text != nullptr ? text : u""), static_cast<size_t>(count));
        std::free(text);
        return result;
    }

    bool Greyed(int id) { return (MenuState(id) & MF_GRAYED) != 0; }

    // The status bar's note of a compressed log of the sizes given, in bytes.
    std::wstring SizesStatus(const wchar_t* format, size_t packed, size_t unpacked) {
        std::wstring p = std::to_wstring(packed) + L" B";
        std::wstring u = std::to_wstring(unpacked) + L" B";
        if (GetParam() == 1) return std::wstring(format) + L": 圧縮 " + p + L"、展開後 " + u;
        return std::wstring(format) + L": " + p + L" compressed, " + u + L" uncompressed";
    }

    // Opens path while the worker is held, cancels the progress dialog, and lets the load end
    // without having read a block.
    void OpenCancelled(const std::wstring& path) {
        m_app->Runner().Worker().Hold(true);
        bool seen = OnDialogOver(
            m_frame,
            [&] {
                m_app->OpenLogFile(path.c_str());
                PumpUntil([&] { return Loaded() || (m_app->Views().First() != nullptr && !m_app->Runner().Busy()); });
            },
            [&](HWND dialog) {
                SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
                m_app->Runner().Worker().Hold(false);
            });
        ASSERT_TRUE(seen);
        WaitIdle();
    }
};

TEST(PackedLogSizes, FormatByteSizeCutsToOneDecimalOfItsUnit) {
    char16_t text[32];
    auto format = [&](uint64_t bytes) {
        FormatByteSize(bytes, text, 32);
        return std::u16string(text);
    };
    EXPECT_EQ(u"0 B", format(0));
    EXPECT_EQ(u"1023 B", format(1023));
    EXPECT_EQ(u"1.0 KB", format(1024));
    EXPECT_EQ(u"1.5 KB", format(1536));
    EXPECT_EQ(u"1023.9 KB", format(1048575));
    EXPECT_EQ(u"1.0 MB", format(1048576));
    EXPECT_EQ(u"3.0 GB", format(3ull << 30));
    EXPECT_EQ(u"15.9 EB", format(UINT64_MAX));
}

TEST_P(PackedLogTest, AGzipLogAndAZipFileOpenAndEveryCommandReadsTheirText) {
    Start(GetParam());
    AppConfig().Keywords().Add(u"ERROR", 6, 0, 1);
    AppConfig().Keywords().BuildFlagTable();
    const std::string text = kLog;
    const std::string gz = Gzip(text, 6);
    const size_t zipPacked = packed_support::Deflate(text, 6, -15).size();
    struct Case {
        std::string name;
        std::string bytes;
        const wchar_t* format;
        size_t packed;
    };
    const Case cases[] = {{"app.log.gz", gz, L"gzip", gz.size()},
                          {"one.zip", MakeZip({{"inner.log", text}}), L"zip", zipPacked}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::wstring path = WriteLog(c.name, c.bytes);
        m_app->ProcessCommandLine((L"\"" + path + L"\"").c_str());
        CLogView* view = WaitLoaded();
        ASSERT_NE(nullptr, view);
        ASSERT_EQ(5, view->Rows().Count());
        EXPECT_EQ(std::wstring(c.name.begin(), c.name.end()), WindowText(view->Window()));
        EXPECT_EQ(L"2024-03-01 10:00:01.000 needle one\r\n", RowText(view, 1));
        EXPECT_EQ(SizesStatus(c.format, c.packed, text.size()), StatusText(2));
        EXPECT_TRUE(Greyed(IDM_FOLLOW));

        m_app->SearchConditions().Clear();
        ASSERT_TRUE(m_app->SearchConditions().Add(u"needle"));
        view->GoToLine(0);
        Command(IDM_SEARCH_NEXT);
        WaitIdle();
        EXPECT_EQ(1, view->CaretLine());
        Command(IDM_SEARCH_NEXT);
        WaitIdle();
        EXPECT_EQ(3, view->CaretLine());

        m_app->StartExtraction(view);
        WaitIdle();
        CLogView* extracted = ViewAfter(view);
        ASSERT_NE(nullptr, extracted);
        ASSERT_EQ(2, extracted->Rows().Count());
        EXPECT_EQ(L"2024-03-01 10:00:03.000 needle two\r\n", RowText(extracted, 1));
        SendMessageW(m_app->MdiClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(view->Window()), 0);
        Pump();
        Command(IDM_ERROR_LOG);
        WaitIdle();
        CLogView* errors = ViewAfter(extracted);
        ASSERT_NE(nullptr, errors);
        ASSERT_EQ(1, errors->Rows().Count());
        EXPECT_EQ(L"2024-03-01 10:00:02.000 ERROR disk\r\n", RowText(errors, 0));

        // A marker, a copy and Save Rows As: the uncompressed bytes.
        SendMessageW(m_app->MdiClient(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(view->Window()), 0);
        Pump();
        view->GoToLine(4);
        Command(IDM_MARKER_TOGGLE);
        EXPECT_EQ(1, view->Markers().Count());
        ClearClipboard();
        view->SelectAll();
        Command(IDM_COPY);
        WaitIdle();
        EXPECT_NE(std::wstring::npos, ClipboardText().find(L"10:00:02.000 ERROR disk\r\n2024-03-01 10:00:03.000"));
        std::wstring saved = std::wstring(W(m_dir.File("saved.log").c_str()));
        StartRowSave(*m_app, view, saved.c_str(), CRowFormat::kAsInLog);
        WaitIdle();
        EXPECT_EQ(text, ReadBytes(m_dir.FsPath("saved.log")));
        Command(IDM_TIMELINE);
        WaitIdle();
        ASSERT_NE(nullptr, view->TimelinePane());
        ASSERT_NE(nullptr, view->TimelinePane()->Timeline());
        EXPECT_EQ(5, view->TimelinePane()->Timeline()->Counted());

        Command(IDM_CLOSE);
        EXPECT_FALSE(Greyed(IDM_FOLLOW));
        // The recent logs open it again.
        Command(IDM_RECENT_1);
        view = WaitLoaded();
        ASSERT_NE(nullptr, view);
        EXPECT_EQ(L"2024-03-01 10:00:04.000 end\r\n", RowText(view, 4));
        Command(IDM_CLOSE);
    }
}

TEST_P(PackedLogTest, AnArchiveOfSeveralFilesAsksWhichOneToOpen) {
    Start(GetParam());
    std::wstring path =
        WriteLog("two.zip", MakeZip({{"first.log", "first a\r\n"}, {"logs/second.log", "second a\r\nsecond b\r\n"}}));
    std::wstring caption;
    std::vector<std::wstring> rows;
    WithDialog([&] { m_app->OpenLogFile(path.c_str()); },
               [&](HWND dialog) {
                   caption = WindowText(dialog);
                   HWND list = GetDlgItem(dialog, IDC_ZIP_ENTRY_LIST);
                   for (LRESULT i = 0; i < SendMessageW(list, LB_GETCOUNT, 0, 0); ++i) {
                       wchar_t row[256] = {};
                       SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(row));
                       rows.emplace_back(row);
                   }
                   PickListRow(dialog, IDC_ZIP_ENTRY_LIST, 1);
                   ClickButton(dialog, IDOK);
               });
    EXPECT_EQ(Text(TextId::kZipEntryChoiceCaption), caption);
    EXPECT_EQ((std::vector<std::wstring>{L"first.log\t9 B", L"logs/second.log\t20 B"}), rows);
    CLogView* view = WaitLoaded();
    ASSERT_NE(nullptr, view);
    ASSERT_EQ(2, view->Rows().Count());
    EXPECT_EQ(L"second a\r\n", RowText(view, 0));
    Command(IDM_CLOSE);

    // A double click opens the file clicked.
    WithDialog([&] { m_app->OpenLogFile(path.c_str()); },
               [&](HWND dialog) {
                   PickListRow(dialog, IDC_ZIP_ENTRY_LIST, 0);
                   SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_ZIP_ENTRY_LIST, LBN_DBLCLK),
                                reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_ZIP_ENTRY_LIST)));
               });
    view = WaitLoaded();
    ASSERT_NE(nullptr, view);
    ASSERT_EQ(1, view->Rows().Count());
    EXPECT_EQ(L"first a\r\n", RowText(view, 0));
    Command(IDM_CLOSE);

    // Cancelled, nothing opens.
    WithDialog([&] { m_app->OpenLogFile(path.c_str()); }, [&](HWND dialog) { ClickButton(dialog, IDCANCEL); });
    Pump();
    EXPECT_FALSE(m_app->LogFile().IsOpen());
    EXPECT_EQ(nullptr, m_app->Views().First());
    EXPECT_FALSE(Greyed(IDM_OPEN_LOG));
}

TEST_P(PackedLogTest, DamageShowsTheRowsBeforeItAsIncompleteAndAnUnreadableFileIsRefused) {
    Start(GetParam());
    const std::string text = Rows(0, 3000);
    std::string gz = Gzip(text, 6);
    gz.resize(gz.size() / 2);
    std::wstring path = WriteLog("cut.log.gz", gz);
    std::wstring message;
    std::wstring caption;
    CLogView* view = nullptr;
    WithDialog([&] { view = WaitLoadedAfter(path); },
               [&](HWND dialog) {
                   message = ControlText(dialog, 0xFFFF);
                   caption = WindowText(dialog);
                   ClickButton(dialog, IDOK);
               });
    EXPECT_EQ(Text(TextId::kUnpackTruncated), message);
    EXPECT_EQ(Text(TextId::kUnpackCaption), caption);
    ASSERT_NE(nullptr, view);
    int64_t count = view->Rows().Count();
    EXPECT_GT(count, 100);
    EXPECT_LT(count, 3000);
    EXPECT_EQ(L"2024-03-01 00:01:40 row 100\r\n", RowText(view, 100));
    EXPECT_EQ(Text(TextId::kPackedIncompleteStatus), StatusText(2));
    EXPECT_TRUE(Greyed(IDM_FOLLOW));
    Command(IDM_CLOSE);

    // A zip file stored with a method not supported: refused, nothing opens.
    path = WriteLog("odd.zip", MakeZip({{"a.log", "a\r\n", 12}}));
    message.clear();
    WithDialog([&] { m_app->OpenLogFile(path.c_str()); },
               [&](HWND dialog) {
                   message = ControlText(dialog, 0xFFFF);
                   ClickButton(dialog, IDOK);
               });
    EXPECT_EQ(Text(TextId::kUnpackUnsupported), message);
    Pump();
    EXPECT_FALSE(m_app->LogFile().IsOpen());
    EXPECT_EQ(nullptr, m_app->Views().First());
    EXPECT_FALSE(Greyed(IDM_OPEN_LOG));
}

TEST_P(PackedLogTest, FollowingIsGreyedAndRefusedWithItsReason) {
    Start(GetParam());
    AppConfig().m_follow = 1;
    const std::string text = kLog;
    std::string gz = Gzip(text, 6);
    CLogView* view = WaitLoadedAfter(WriteLog("app.log.gz", gz));
    ASSERT_NE(nullptr, view);
    EXPECT_TRUE(Greyed(IDM_FOLLOW));
    EXPECT_FALSE(m_app->Follower().Active());
    EXPECT_EQ(Text(TextId::kFollowPacked), StatusText(2));
    // Asked for all the same (as a message would), it still follows nothing.
    Command(IDM_FOLLOW);
    EXPECT_EQ(SizesStatus(L"gzip", gz.size(), text.size()), StatusText(2));
    Command(IDM_FOLLOW);
    EXPECT_FALSE(m_app->Follower().Active());
    EXPECT_EQ(Text(TextId::kFollowPacked), StatusText(2));
    Command(IDM_CLOSE);
    EXPECT_FALSE(Greyed(IDM_FOLLOW));
}

// Markers and rows come back for the same compressed log, known by its size once it is read:
// not for a shorter one with the same head, and a load cancelled before the size was known
// keeps nothing over them.
TEST_P(PackedLogTest, KeptStateComesBackForTheSameCompressedLogOnly) {
    Start(GetParam());
    // Large enough that its end is not found before the load reads it.
    const std::string text = Rows(0, 100000);
    std::wstring path = WriteLog("big.log.gz", Gzip(text, 1));
    CLogView* view = WaitLoadedAfter(path);
    ASSERT_NE(nullptr, view);
    view->GoToLine(10);
    Command(IDM_MARKER_TOGGLE);
    view->GoToLine(250);
    Command(IDM_MARKER_TOGGLE);
    view->ShowRows(120, 100);
    Command(IDM_CLOSE);

    OpenCancelled(path);
    ASSERT_NE(nullptr, m_app->Views().First());
    ASSERT_FALSE(m_app->LogFile().SizeKnown());
    Command(IDM_CLOSE);

    view = WaitLoadedAfter(path);
    ASSERT_NE(nullptr, view);
    ASSERT_EQ(2, view->Markers().Count());
    EXPECT_EQ(CRow(10), view->Markers().At(0)->row);
    EXPECT_EQ(CRow(250), view->Markers().At(1)->row);
    EXPECT_EQ(120, view->CaretLine());
    Command(IDM_CLOSE);

    testing_support::WriteBytes(m_dir.FsPath("big.log.gz"), Gzip(text.substr(0, text.size() / 2), 1));
    view = WaitLoadedAfter(path);
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(0, view->Markers().Count());
    EXPECT_EQ(0, view->CaretLine());
}

TEST_P(PackedLogTest, TheLoadCountsCompressedBytes) {
    Start(GetParam());
    const std::string gz = Gzip(Rows(0, 1000000), 1);
    std::wstring path = WriteLog("progress.log.gz", gz);
    std::vector<std::wstring> texts;
    g_progressTexts = &texts;
    m_app->Runner().Worker().SetStepMode(true);
    UINT_PTR timer = SetTimer(nullptr, 0, 5, NoteProgress);
    CLogView* view = WaitLoadedAfter(path);
    KillTimer(nullptr, timer);
    m_app->Runner().Worker().SetStepMode(false);
    g_progressTexts = nullptr;
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(1000000, view->Rows().Count());
    ASSERT_FALSE(texts.empty());
    std::wstring total = std::to_wstring(gz.size());
    for (const std::wstring& text : texts) {
        if (GetParam() == 1) {
            EXPECT_EQ(0u, text.find(L"読み込み完了... 圧縮 ")) << text;
            EXPECT_NE(std::wstring::npos, text.find(L" / " + total + L" bytes (")) << text;
        } else {
            EXPECT_EQ(0u, text.find(L"Loading ... ")) << text;
            EXPECT_NE(std::wstring::npos, text.find(L" / " + total + L" compressed bytes (")) << text;
        }
    }
}

// The merge of two compressed logs reports its progress within its total: their sizes before
// they are read are no measure.
TEST_P(PackedLogTest, TheMergeOfCompressedLogsStaysWithinItsTotal) {
    Start(GetParam());
    std::wstring first = WriteLog("a.log.gz", Gzip(Rows(0, 400000), 1));
    std::wstring second = WriteLog("b.log.gz", Gzip(Rows(1, 400000), 1));
    std::vector<std::wstring> texts;
    g_progressTexts = &texts;
    m_app->Runner().Worker().SetStepMode(true);
    UINT_PTR timer = SetTimer(nullptr, 0, 5, NoteProgress);
    m_app->ProcessCommandLine((L"--merge \"" + first + L"\" \"" + second + L"\"").c_str());
    CLogView* view = WaitMerged();
    KillTimer(nullptr, timer);
    m_app->Runner().Worker().SetStepMode(false);
    g_progressTexts = nullptr;
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(800000, view->Rows().Count());
    ASSERT_GT(texts.size(), 1u);
    for (const std::wstring& text : texts) {
        size_t slash = text.find(L" / ");
        ASSERT_NE(std::wstring::npos, slash) << text;
        size_t start = text.find_last_not_of(L"0123456789", slash - 1) + 1;
        unsigned long long position = std::wcstoull(text.c_str() + start, nullptr, 10);
        unsigned long long total = std::wcstoull(text.c_str() + slash + 3, nullptr, 10);
        EXPECT_LE(position, total) << text;
    }
}

TEST_P(PackedLogTest, MergedSetsAndRotatedSiblingsTakeCompressedLogs) {
    Start(GetParam());
    std::wstring log = WriteLog("app.log", "2024-03-01 12:00:00 newest\r\n");
    WriteLog("app.log.1.gz", Gzip("2024-03-01 11:00:00 older\r\n", 6));
    WriteLog("app.log-20240229.gz", Gzip("2024-02-29 23:00:00 oldest\r\n", 6));
    std::wstring folder = log.substr(0, log.find_last_of(L"\\/") + 1);
    WithDialog([&] { Command(IDM_OPEN_ROTATED); },
               [&](HWND dialog) { ConfirmFileDialog(dialog, folder + L"app.log"); });
    CLogView* view = WaitMerged();
    ASSERT_NE(nullptr, view);
    ASSERT_EQ(3, view->Rows().Count());
    EXPECT_EQ(L"2024-02-29 23:00:00 oldest\r\n", RowText(view, 0));
    EXPECT_EQ(L"2024-03-01 11:00:00 older\r\n", RowText(view, 1));
    EXPECT_EQ(L"2024-03-01 12:00:00 newest\r\n", RowText(view, 2));
    EXPECT_NE(std::wstring::npos, StatusText(2).find(L"app.log-20240229.gz, app.log.1.gz")) << StatusText(2);
    Command(IDM_CLOSE);

    // A member that ends at a damage joins with its rows up to there, and says so.
    std::string cut = Gzip(Rows(0, 3000), 6);
    cut.resize(cut.size() / 2);
    std::wstring damaged = WriteLog("cut.log.gz", cut);
    std::wstring message;
    WithDialog(
        [&] {
            m_app->ProcessCommandLine((L"--merge \"" + log + L"\" \"" + damaged + L"\"").c_str());
            view = WaitMerged();
        },
        [&](HWND dialog) {
            message = ControlText(dialog, 0xFFFF);
            ClickButton(dialog, IDOK);
        });
    EXPECT_EQ(L"cut.log.gz: " + Text(TextId::kUnpackTruncated), message);
    ASSERT_NE(nullptr, view);
    EXPECT_GT(view->Rows().Count(), 101);
    EXPECT_LT(view->Rows().Count(), 3001);
    EXPECT_EQ(0u, StatusText(2).find(Text(TextId::kPackedIncompleteStatus))) << StatusText(2);
}

INSTANTIATE_TEST_SUITE_P(Languages, PackedLogTest, ::testing::Values(0, 1));

}  // namespace
