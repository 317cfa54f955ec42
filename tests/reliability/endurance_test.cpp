// Long use of the viewer in one process: a log opened, searched, extracted, copied and
// closed 200 times must leave the GDI, USER and kernel handle counts and the private
// memory where they were. And an exit while a large file loads ends the real program
// within a bounded time, with its files as they were.
#include <windows.h>
// The system headers below need <windows.h> first.
#include <psapi.h>
#include <winternl.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "reliability_support.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "view/log_view.h"
#include "view_test_support.h"

namespace {

struct Usage {
    DWORD gdi = 0;
    DWORD user = 0;
    DWORD handles = 0;
    SIZE_T privateBytes = 0;
    SIZE_T heapBytes = 0;
};

// Wine answers neither GetGuiResources nor GetProcessHandleCount; there the figures are
// counted directly: GDI objects in the process's GDI handle table, windows as the USER
// objects, and kernel handles by asking each possible handle value for its flags.
bool g_counted = false;

DWORD CountGdiObjects() {
    // PEB.GdiSharedHandleTable: 24-byte entries, the object pointer first, the owner's
    // process id at offset 8 (0 where the table is the process's own).
    PROCESS_BASIC_INFORMATION basic = {};
    if (NtQueryInformationProcess(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) {
        return 0;
    }
    const unsigned char* peb = reinterpret_cast<const unsigned char*>(basic.PebBaseAddress);
    const unsigned char* table = *reinterpret_cast<const unsigned char* const*>(peb + 0xF8);
    if (table == nullptr) return 0;
    MEMORY_BASIC_INFORMATION region = {};
    if (VirtualQuery(table, &region, sizeof region) == 0) return 0;
    size_t entries =
        static_cast<size_t>(static_cast<const unsigned char*>(region.BaseAddress) + region.RegionSize - table) / 24;
    if (entries > 65536) entries = 65536;
    const USHORT self = static_cast<USHORT>(GetCurrentProcessId());
    DWORD count = 0;
    for (size_t i = 0; i < entries; ++i) {
        UINT64 object = 0;
        USHORT owner = 0;
        std::memcpy(&object, table + i * 24, sizeof object);
        std::memcpy(&owner, table + i * 24 + 8, sizeof owner);
        if (object != 0 && (owner == 0 || owner == self)) ++count;
    }
    return count;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId()) {
        ++*reinterpret_cast<DWORD*>(count);
        EnumChildWindows(window, CountWindow, count);  // children of children are enumerated too
    }
    return TRUE;
}

DWORD CountWindows() {
    DWORD count = 0;
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&count));
    for (HWND w = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); w != nullptr;
         w = FindWindowExW(HWND_MESSAGE, w, nullptr, nullptr)) {
        CountWindow(w, reinterpret_cast<LPARAM>(&count));
    }
    return count;
}

DWORD CountKernelHandles() {
    DWORD count = 0;
    for (ULONG_PTR h = 4; h < 0x40000; h += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(h), &flags)) ++count;
    }
    return count;
}

// Bytes in use in every heap of the process (the C library's included).
SIZE_T HeapBytes() {
    HANDLE heaps[64];
    DWORD n = GetProcessHeaps(64, heaps);
    SIZE_T total = 0;
    for (DWORD i = 0; i < n && i < 64; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry)) {
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) total += entry.cbData;
        }
        HeapUnlock(heaps[i]);
    }
    return total;
}

Usage Measure() {
    Usage u;
    HANDLE self = GetCurrentProcess();
    u.gdi = GetGuiResources(self, GR_GDIOBJECTS);
    u.user = GetGuiResources(self, GR_USEROBJECTS);
    if (u.gdi == 0 && u.user == 0) {
        g_counted = true;
        u.gdi = CountGdiObjects();
        u.user = CountWindows();
    }
    if (!GetProcessHandleCount(self, &u.handles) || u.handles == 0) u.handles = CountKernelHandles();
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) {
        // The private commit; Wine fills only the older of its two names.
        u.privateBytes = counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
    }
    u.heapBytes = HeapBytes();
    return u;
}

void Print(const char* when, const Usage& u) {
    std::printf(
        "[ endurance ] %-22s GDI objects %5lu, %s %5lu, kernel handles %5lu, private memory %8.2f MiB, heap in use "
        "%8.2f MiB\n",
        when, u.gdi, g_counted ? "windows" : "USER objects", u.user, u.handles,
        static_cast<double>(u.privateBytes) / 1048576.0, static_cast<double>(u.heapBytes) / 1048576.0);
    std::fflush(stdout);
}

// Lines "2021-03-04 05:06:07.123 line N ...", with "needle" and an error keyword now and then.
std::string EnduranceLog() {
    std::string log;
    for (int i = 0; i < 5000; ++i) {
        char line[160];
        std::snprintf(line, sizeof line, "2021-03-04 05:%02d:%02d.%03d line %d%s%s\r\n", (i / 60) % 60, i % 60,
                      i % 1000, i, i % 97 == 0 ? " needle" : "", i % 250 == 0 ? " ERROR failed" : "");
        log += line;
    }
    return log;
}

const char kKeywords[] =
    "<?xml version=\"1.0\" ?>\r\n<quillon_keyword><keyword><emphasis><text>ERROR</text>\r\n<color>6</color>\r\n"
    "<bold>1</bold>\r\n<error>1</error>\r\n</emphasis>\r\n</keyword>\r\n</quillon_keyword>\r\n";

class EnduranceTest : public ViewTest {
protected:
    void Command(int id) { SendMessageW(m_frame, WM_COMMAND, id, 0); }

    int ViewCount() { return m_app->Views().Count(); }

    // One round of use; false (with a failure recorded) when a step did not do its work.
    bool Cycle(const std::wstring& path) {
        CLogView* view = OpenAndWait(path);
        EXPECT_NE(nullptr, view);
        if (view == nullptr) return false;
        EXPECT_EQ(5000, view->Lines()->Count());
        // The log comes back where the last round left it: each round starts at the top.
        view->GoToLine(0);
        UpdateWindow(view->Window());

        WithDialog([&] { Command(IDM_SEARCH); },
                   [&](HWND dialog) {
                       SetDlgItemTextW(dialog, IDC_CONDITION_1, L"needle");
                       PostMessageW(dialog, WM_COMMAND, IDC_SEARCH_NEXT, 0);
                   });
        EXPECT_EQ(0, view->CaretLine());
        Command(IDM_SEARCH_NEXT);
        EXPECT_EQ(97, view->CaretLine());

        WithDialog([&] { Command(IDM_EXTRACTION); },
                   [&](HWND dialog) {
                       SetDlgItemTextW(dialog, IDC_CONDITION_1, L"needle");
                       SetDlgItemTextW(dialog, IDC_LINES_BEFORE, L"1");
                       SetDlgItemTextW(dialog, IDC_LINES_AFTER, L"1");
                       PostMessageW(dialog, WM_COMMAND, IDOK, 0);
                   });
        CLogView* extracted = m_app->Views().Active();
        EXPECT_NE(view, extracted);
        if (extracted == nullptr || extracted == view) return false;
        EXPECT_EQ(52 * 3 - 1, extracted->Lines()->Count());  // line 0 has no line before it
        UpdateWindow(extracted->Window());
        Command(IDM_ERROR_LOG);
        EXPECT_EQ(3, ViewCount());
        Pump();

        // Copy three rows of the active view, the error log.
        CLogView* active = m_app->Views().Active();
        EXPECT_NE(nullptr, active);
        if (active == nullptr) return false;
        UpdateWindow(active->Window());
        ClearClipboard();
        Click(active, WM_LBUTTONDOWN, CellX(active, 30), RowY(active, 0), MK_LBUTTON);
        Click(active, WM_MOUSEMOVE, CellX(active, 40), RowY(active, 2), MK_LBUTTON);
        Click(active, WM_LBUTTONUP, CellX(active, 40), RowY(active, 2));
        Command(IDM_COPY);
        m_copied = ClipboardText();
        EXPECT_NE(std::wstring::npos, m_copied.find(L"\r\n")) << m_copied.size();

        Command(IDM_CLOSE);
        Pump();
        EXPECT_EQ(nullptr, m_app->Views().First());
        EXPECT_FALSE(m_app->LogFile().IsOpen());
        return !HasFailure();
    }

    // What the system itself keeps of one round's clipboard use and two dialogs, without the
    // program: Wine keeps about a kilobyte of heap per clipboard round trip.
    void SystemRound(const std::wstring& text) {
        ClearClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        if (memory != nullptr) {
            std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
            GlobalUnlock(memory);
            if (OpenClipboard(m_frame)) {
                EmptyClipboard();
                if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
                CloseClipboard();
            } else {
                GlobalFree(memory);
            }
        }
        (void)ClipboardText();
        for (int id : {IDD_SEARCH_LOG_EN, IDD_EXTRACTION_LOG_EN}) {
            WithDialog(
                [&] { DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), m_frame, BareDialog, 0); },
                [&](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
        }
    }

    static INT_PTR CALLBACK BareDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
        if (message == WM_INITDIALOG) return TRUE;
        if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, 0);
            return TRUE;
        }
        return FALSE;
    }

    std::wstring m_copied;
};

TEST_F(EnduranceTest, TwoHundredRoundsLeaveHandlesAndMemoryFlat) {
    testing_support::WriteBytes(m_dir.FsPath("keyword_default.xml"), kKeywords);
    Usage start = Measure();
    Start(0);
    const std::wstring path = WriteLog("endurance.log", EnduranceLog());
    // A few rounds first: fonts, dialog templates and the clipboard are set up once.
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(Cycle(path)) << "warm-up round " << i;
    Usage before = Measure();
    const int kRounds = 200;
    Usage half;
    auto began = std::chrono::steady_clock::now();
    for (int i = 0; i < kRounds; ++i) {
        ASSERT_TRUE(Cycle(path)) << "round " << i;
        if (i == kRounds / 2 - 1) half = Measure();
    }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
    Usage after = Measure();
    for (int i = 0; i < kRounds; ++i) SystemRound(m_copied);
    Usage system = Measure();
    const SIZE_T systemHeap = system.heapBytes > after.heapBytes ? system.heapBytes - after.heapBytes : 0;
    Print("before the application", start);
    Print("after 5 warm-up rounds", before);
    Print("after 100 rounds", half);
    Print("after 200 rounds", after);
    std::printf(
        "[ endurance ] %d rounds in %.1f s; the system alone keeps %.1f KiB of heap for the same clipboard and dialog "
        "use\n",
        kRounds, seconds, static_cast<double>(systemHeap) / 1024.0);

    // The figures must be real ones, or the comparisons below prove nothing.
    ASSERT_GT(before.gdi, 0u);
    ASSERT_GT(before.user, 0u);
    ASSERT_GT(before.handles, 0u);
    ASSERT_GT(before.heapBytes, 0u);
    // One object kept per round would show as 200; allow what a system cache may add.
    EXPECT_LE(after.gdi, before.gdi + 10);
    EXPECT_LE(after.user, before.user + 10);
    EXPECT_LE(after.handles, before.handles + 10);
    // The index of this log alone is 160 KB: kept once a round it would be 32 MB; one
    // string of 100 bytes kept a round would be 20 KB of heap beyond what the system keeps.
    EXPECT_LE(after.heapBytes, before.heapBytes + systemHeap + (16u << 10));
    EXPECT_LE(after.privateBytes, before.privateBytes + systemHeap + (4u << 20));
    // And the second hundred rounds must not grow where the first did.
    EXPECT_LE(after.privateBytes, half.privateBytes + (2u << 20));
}

// The real program, closed while it loads a large file: it must end within a bounded time
// and leave its settings and keyword files as they were, with no temporary file beside them.
TEST(EnduranceExit, ExitWhileALargeFileLoads) {
    testing_support::TempDir dir;
    namespace fs = std::filesystem;
    const std::string settings =
        "<?xml version=\"1.0\" ?>\r\n<config><language>0</language>\r\n<font_size>14</font_size>\r\n</config>\r\n";
    testing_support::WriteBytes(dir.FsPath("quillon.ini"), settings);
    testing_support::WriteBytes(dir.FsPath("keyword_default.xml"), kKeywords);
    // 4 GiB: real lines first, then holes with a break every 4 MiB, so that the load is
    // surely still running when the exit comes.
    std::string lines;
    for (int i = 0; i < 20000; ++i) lines += "2021-03-04 05:06:07.123 a line of a large log, ERROR now and then\r\n";
    std::vector<std::pair<uint64_t, std::string>> pieces = {{0, lines}};
    for (uint64_t at = 4u << 20; at < (4ull << 30); at += 4u << 20) pieces.emplace_back(at, "\n");
    if (!reliability::MakeSparseFile(dir.File("big.log"), 4ull << 30, pieces)) {
        GTEST_SKIP() << "this file system does not keep sparse files";
    }
    // quillon.exe is built beside the tests: build/windows/src/shell.
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    fs::path program = fs::path(self).parent_path().parent_path() / L"src" / L"shell" / L"quillon.exe";
    ASSERT_TRUE(fs::exists(program)) << program.string();
    std::wstring command = L"\"" + program.wstring() + L"\" big.log";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::wstring folder = dir.Path().wstring();
    ASSERT_TRUE(
        CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &process));

    // Wait for its progress dialog: then the worker is reading.
    struct Found {
        DWORD pid;
        HWND frame = nullptr;
        HWND dialog = nullptr;
    } found{process.dwProcessId};
    auto scan = [](HWND window, LPARAM p) -> BOOL {
        auto* f = reinterpret_cast<Found*>(p);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != f->pid || !IsWindowVisible(window)) return TRUE;
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (std::wstring(name) == L"QUILLON MAIN WINDOW") f->frame = window;
        if (std::wstring(name) == L"#32770") f->dialog = window;
        return TRUE;
    };
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while ((found.frame == nullptr || found.dialog == nullptr) && std::chrono::steady_clock::now() < deadline) {
        found.frame = nullptr;
        found.dialog = nullptr;
        EnumWindows(scan, reinterpret_cast<LPARAM>(&found));
        Sleep(20);
    }
    ASSERT_NE(nullptr, found.frame);
    ASSERT_NE(nullptr, found.dialog) << "the load ended before the exit could be asked for";

    auto asked = std::chrono::steady_clock::now();
    PostMessageW(found.frame, WM_COMMAND, IDM_EXIT, 0);
    DWORD waited = WaitForSingleObject(process.hProcess, 20000);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - asked).count();
    if (waited != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::printf("[ endurance ] exit during the load of a 4 GiB file: the process ended %.2f s after the request\n",
                seconds);
    ASSERT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), waited) << "still running 20 s after Exit";
    EXPECT_EQ(0u, code);

    // Whole, with the user's values; the exit adds only the recent log and the frame's layout.
    std::string kept = testing_support::ReadBytes(dir.FsPath("quillon.ini"));
    EXPECT_EQ(0u, kept.find("<?xml version=\"1.0\" ?>\r\n<config><language>0</language>\r\n")) << kept;
    EXPECT_NE(std::string::npos, kept.find("<font_size>14</font_size>"));
    EXPECT_NE(std::string::npos, kept.find("big.log</path>"));
    EXPECT_EQ(kept.size() - 11, kept.rfind("</config>\r\n"));
    EXPECT_EQ(std::string(kKeywords), testing_support::ReadBytes(dir.FsPath("keyword_default.xml")));
    for (const auto& entry : fs::directory_iterator(dir.Path())) {
        EXPECT_NE(".tmp", entry.path().extension().string()) << entry.path().string();
    }
}

}  // namespace
