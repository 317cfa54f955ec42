// A loaded log in the state a user works in - keywords, an error line, the interval check,
// markers, a selection, the caret, the overview strip and the timeline - checked in both languages; and one with
// long rows wrapped and colour labels, light in English and dark in Japanese. With the environment variable
// QUILLON_SCREENSHOTS naming a folder, the frame is also saved there as view-en.bmp / view-ja.bmp and wrap-en.bmp /
// wrap-dark-ja.bmp (the README's screenshots come from this); on a display of another scale the frame is as much
// larger, and the files are view-en-192dpi.bmp and so on. Logs merged by time are saved as merged-en.bmp /
// merged-ja.bmp.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/app_parameter.h"
#include "config/dark_colors.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "winui/dpi.h"
#include "view/log_view.h"
#include "view/timeline_pane.h"
#include "view_test_support.h"

namespace {

const char kSampleLog[] =
    "2024-05-17 09:14:02.118 [main] INFO  Quillon demo service starting, version 2.4.1\r\n"
    "2024-05-17 09:14:02.305 [main] INFO  config loaded from /etc/demo/service.conf\r\n"
    "2024-05-17 09:14:02.311 [main] DEBUG pool size=8 queue=256 retry=0x1F\r\n"
    "2024-05-17 09:14:03.027 [net-1] INFO  listening on 0.0.0.0:8080\r\n"
    "2024-05-17 09:14:05.544 [net-1] WARN  slow handshake from 10.0.4.17 (812 ms)\r\n"
    "2024-05-17 09:14:05.610 [worker-3] INFO  job 4711 accepted\r\n"
    "2024-05-17 09:14:05.612 [worker-3] DEBUG job 4711 payload=1832 bytes\r\n"
    "2024-05-17 09:14:09.877 [worker-3] ERROR job 4711 failed: timeout after 4000 ms\r\n"
    "    at demo.jobs.Runner.run(Runner.java:88)\r\n"
    "    at demo.jobs.Pool$Worker.loop(Pool.java:141)\r\n"
    "2024-05-17 09:14:09.880 [worker-3] INFO  job 4711 rescheduled, attempt 2\r\n"
    "2024-05-17 09:14:10.002 [net-2] INFO  client 10.0.4.22 connected\r\n"
    "2024-05-17 09:14:10.118 [worker-1] INFO  job 4712 accepted\r\n"
    "2024-05-17 09:14:10.245 [worker-1] INFO  job 4712 done in 127 ms\r\n"
    "2024-05-17 09:14:12.731 [worker-3] WARN  job 4711 retry slow (2486 ms)\r\n"
    "2024-05-17 09:14:12.733 [worker-3] INFO  job 4711 done\r\n"
    "2024-05-17 09:14:13.090 [net-2] INFO  client 10.0.4.22 closed\r\n"
    "2024-05-17 09:14:20.400 [main] ERROR disk usage 97% on /var/lib/demo\r\n"
    "2024-05-17 09:14:20.402 [main] INFO  cleanup scheduled\r\n"
    "2024-05-17 09:14:21.000 [main] INFO  heartbeat ok\r\n";

// Saves the frame as it is on the screen as a 24-bit BMP.
bool SaveFrame(HWND frame, const std::string& path) {
    RECT r;
    GetWindowRect(frame, &r);
    int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(dc, old);
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    int stride = (w * 3 + 3) & ~3;
    std::vector<char> bits(static_cast<size_t>(stride) * h);
    GetDIBits(dc, bitmap, 0, static_cast<UINT>(h), bits.data(), reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(bits.size());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(bits.data(), static_cast<std::streamsize>(bits.size()));
    return static_cast<bool>(out);
}

class ViewScreenshotTest : public ViewTest {};

// Long rows: a request's JSON body, a query and a chain of causes.
const char kWrapLog[] =
    "2024-05-17 09:14:05.544 [net-1] INFO  request from 10.0.4.22 POST /api/orders\r\n"
    "2024-05-17 09:14:05.610 [worker-3] DEBUG job 4711 payload={\"id\":4711,\"user\":\"k.tanaka\",\"items\":"
    "[{\"sku\":\"A-100\",\"qty\":2},{\"sku\":\"B-220\",\"qty\":1},{\"sku\":\"C-310\",\"qty\":5}],"
    "\"shipping\":{\"method\":\"express\",\"address\":\"1-2-3 Jingumae, Shibuya-ku, Tokyo 150-0001\"},"
    "\"note\":\"please leave the parcel at the door, ring twice\"}\r\n"
    "2024-05-17 09:14:05.702 [worker-3] DEBUG job 4711 query=SELECT o.id, o.user, i.sku, i.qty FROM orders o JOIN "
    "items i ON i.order_id = o.id WHERE o.user = 'k.tanaka' AND o.state IN ('new', 'paid') ORDER BY o.id DESC\r\n"
    "2024-05-17 09:14:09.877 [worker-3] ERROR job 4711 failed: timeout after 4000 ms waiting for stock service at "
    "10.0.4.17:9090; caused by: connection reset by peer; caused by: read timed out after 4000 ms\r\n"
    "2024-05-17 09:14:09.880 [worker-3] INFO  job 4711 rescheduled, attempt 2\r\n"
    "2024-05-17 09:14:10.002 [net-2] INFO  client 10.0.4.22 connected\r\n"
    "2024-05-17 09:14:10.245 [worker-1] INFO  job 4712 done in 127 ms for k.tanaka\r\n"
    "2024-05-17 09:14:12.733 [worker-3] INFO  job 4711 done, 3 items reserved for k.tanaka, shipping express to "
    "1-2-3 Jingumae, Shibuya-ku, Tokyo 150-0001, invoice sent to the address on file\r\n"
    "2024-05-17 09:14:13.090 [net-2] INFO  client 10.0.4.22 closed\r\n";

TEST_F(ViewScreenshotTest, WorkingStateInBothLanguages) {
    for (int language : {0, 1}) {
        // Each language's picture is a first look at the log: nothing kept from the last one.
        std::filesystem::remove(m_dir.FsPath("quillon_state.xml"));
        Start(language);
        int dpi = m_app->Dpi();
        MoveWindow(m_frame, 0, 0, ScaleToDpi(1200, dpi), ScaleToDpi(900, dpi), TRUE);
        Pump();
        CAppParameter& config = AppConfig();
        CKeywordSet& keywords = config.Keywords();
        keywords.Add(u"ERROR", 6, 1, 1);  // Highlighting 1, bold, error keyword
        keywords.Add(u"WARN", 8, 0, 0);   // Highlighting 3
        keywords.Add(u"timeout", 10, 0, 0);
        keywords.Add(u"job", 12, 0, 0);
        keywords.BuildFlagTable();
        config.m_intervalCheck = 1;
        config.m_intervalTime = 2000;
        config.m_overview = 1;
        CLogView* v = OpenAndWait(WriteLog("sample.log", kSampleLog));
        ASSERT_NE(nullptr, v);
        ShowWindow(v->Window(), SW_MAXIMIZE);
        Pump();
        Paint(v);
        EXPECT_EQ(20, v->Lines()->Count());
        EXPECT_EQ(2, m_app->LogFile().ErrorLines().Count());
        SendMessageW(m_frame, WM_COMMAND, IDM_TIMELINE, 0);
        Pump();
        ASSERT_NE(nullptr, v->TimelinePane());
        // Markers on the failed job and the disk warning, a selection on the stack trace.
        for (int row : {7, 17}) Click(v, WM_LBUTTONDBLCLK, CellX(v, 20), RowY(v, row), MK_LBUTTON);
        EXPECT_EQ(2, v->Markers().Count());
        Click(v, WM_LBUTTONDOWN, CellX(v, 34), RowY(v, 8), MK_LBUTTON);
        Click(v, WM_MOUSEMOVE, CellX(v, 60), RowY(v, 9), MK_LBUTTON);
        Click(v, WM_LBUTTONUP, CellX(v, 60), RowY(v, 9));
        EXPECT_EQ(CSelectionMode::kMade, v->SelectionState());
        EXPECT_EQ(9, v->CaretLine());
        // The pointer over the timeline's bar of 09:14:09, where the job failed.
        HWND pane = v->TimelinePane()->Window();
        int x = 0;
        while (x < 2000 && v->TimelinePane()->BucketAt(x) != 7) ++x;
        SendMessageW(pane, WM_MOUSEMOVE, 0, MAKELPARAM(x, 30));
        EXPECT_NE(std::wstring::npos, StatusText(0).find(L"09:14:09"));
        v->Invalidate();
        UpdateWindow(v->Window());
        Pump(10);
        const char* folder = std::getenv("QUILLON_SCREENSHOTS");
        if (folder != nullptr && folder[0] != 0) {
            std::string name = language == 1 ? "view-ja" : "view-en";
            if (dpi != kDefaultDpi) name += "-" + std::to_string(dpi) + "dpi";
            std::string path = std::string(folder) + "\\" + name + ".bmp";
            EXPECT_TRUE(SaveFrame(m_frame, path)) << path;
        }
        TearDown();
    }
}

// Three services' logs merged by time (one in UTF-16), for the merged view's screenshot.
const char kWebLog[] =
    "2024-05-17 09:14:02.120 web  GET /api/jobs 200 12 ms\r\n"
    "2024-05-17 09:14:05.601 web  POST /api/jobs 202 4 ms (job 4711)\r\n"
    "2024-05-17 09:14:09.902 web  GET /api/jobs/4711 500 ERROR upstream timeout\r\n"
    "2024-05-17 09:14:10.010 web  GET /api/jobs/4711 200 8 ms\r\n"
    "2024-05-17 09:14:13.100 web  GET /health 200 1 ms\r\n";
const char kDbLog[] =
    "2024-05-17 09:14:02.300 db   connection pool ready (8)\r\n"
    "2024-05-17 09:14:05.620 db   INSERT jobs id=4711\r\n"
    "2024-05-17 09:14:09.850 db   WARN lock wait 3900 ms on jobs\r\n"
    "2024-05-17 09:14:12.740 db   UPDATE jobs id=4711 state=done\r\n";
const char kWorkerLog[] =
    "2024-05-17 09:14:05.610 worker job 4711 accepted\r\n"
    "2024-05-17 09:14:09.877 worker ERROR job 4711 failed: timeout after 4000 ms\r\n"
    "2024-05-17 09:14:09.880 worker job 4711 rescheduled, attempt 2\r\n"
    "2024-05-17 09:14:12.733 worker job 4711 done\r\n"
    "2024-05-17 09:14:20.400 worker ERROR disk usage 97% on /var/lib/demo\r\n";

std::string Utf16(const std::string& ascii) {
    std::string out = "\xFF\xFE";
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

TEST_F(ViewScreenshotTest, MergedLogsInBothLanguages) {
    for (int language : {0, 1}) {
        std::filesystem::remove(m_dir.FsPath("quillon_state.xml"));
        Start(language);
        int dpi = m_app->Dpi();
        MoveWindow(m_frame, 0, 0, ScaleToDpi(1200, dpi), ScaleToDpi(640, dpi), TRUE);
        Pump();
        CAppParameter& config = AppConfig();
        CKeywordSet& keywords = config.Keywords();
        keywords.Add(u"ERROR", 6, 1, 1);
        keywords.Add(u"WARN", 8, 0, 0);
        keywords.Add(u"4711", 12, 0, 0);
        keywords.BuildFlagTable();
        config.m_intervalCheck = 1;
        config.m_intervalTime = 2000;
        config.m_overview = 1;
        std::wstring web = WriteLog("web.log", kWebLog);
        std::wstring db = WriteLog("db.log", Utf16(kDbLog));
        std::wstring worker = WriteLog("worker.log", kWorkerLog);
        m_app->ProcessCommandLine((L"--merge \"" + web + L"\" \"" + db + L"\" \"" + worker + L"\"").c_str());
        ASSERT_TRUE(PumpUntil([&] {
            CLogView* v = m_app->Views().First();
            return v != nullptr && v->RowLogs() != nullptr && !m_app->Runner().Busy();
        }));
        CLogView* v = m_app->Views().First();
        ShowWindow(v->Window(), SW_MAXIMIZE);
        Pump();
        EXPECT_EQ(14, v->Rows().Count());
        EXPECT_EQ(3, v->RowLogs()->LogCount());
        // A marker on the failed job; the caret on the db's lock wait shows its log and line.
        Click(v, WM_LBUTTONDBLCLK, CellX(v, 20), RowY(v, 6), MK_LBUTTON);
        v->GoToLine(5);
        EXPECT_NE(std::wstring::npos, StatusText(1).find(L"db.log:3")) << StatusText(1);
        v->Invalidate();
        UpdateWindow(v->Window());
        Pump(10);
        const char* folder = std::getenv("QUILLON_SCREENSHOTS");
        if (folder != nullptr && folder[0] != 0) {
            std::string name = language == 1 ? "merged-ja" : "merged-en";
            if (dpi != kDefaultDpi) name += "-" + std::to_string(dpi) + "dpi";
            std::string path = std::string(folder) + "\\" + name + ".bmp";
            EXPECT_TRUE(SaveFrame(m_frame, path)) << path;
        }
        TearDown();
    }
}

// View > Wrap Long Lines with three colour labels; the Japanese frame in the dark theme.
TEST_F(ViewScreenshotTest, WrappedRowsWithColourLabels) {
    for (int language : {0, 1}) {
        std::filesystem::remove(m_dir.FsPath("quillon_state.xml"));
        Start(language);
        int dpi = m_app->Dpi();
        MoveWindow(m_frame, 0, 0, ScaleToDpi(1200, dpi), ScaleToDpi(700, dpi), TRUE);
        Pump();
        CAppParameter& config = AppConfig();
        config.Keywords().Add(u"ERROR", 6, 1, 1);
        config.Keywords().Add(u"timeout", 10, 0, 0);
        config.Keywords().BuildFlagTable();
        config.m_overview = 1;
        config.m_wrapLines = 1;
        config.m_darkTheme = language == 1 ? kDarkThemeOn : kDarkThemeOff;
        CLogView* v = OpenAndWait(WriteLog("wrap.log", kWrapLog));
        ASSERT_NE(nullptr, v);
        ShowWindow(v->Window(), SW_MAXIMIZE);
        Pump();
        Paint(v);
        m_app->Labels().Set(0, u"4711", 4);
        m_app->Labels().Set(4, u"k.tanaka", 8);
        m_app->Labels().Set(6, u"10.0.4.22", 9);
        EXPECT_TRUE(v->Wraps());
        EXPECT_GT(v->LinesOf(1), 1);
        EXPECT_LT(v->ShownRows(), v->VisibleRows());
        v->GoToLine(3);
        v->Invalidate();
        UpdateWindow(v->Window());
        Pump(10);
        const char* folder = std::getenv("QUILLON_SCREENSHOTS");
        if (folder != nullptr && folder[0] != 0) {
            std::string name = language == 1 ? "wrap-dark-ja" : "wrap-en";
            if (dpi != kDefaultDpi) name += "-" + std::to_string(dpi) + "dpi";
            std::string path = std::string(folder) + "\\" + name + ".bmp";
            EXPECT_TRUE(SaveFrame(m_frame, path)) << path;
        }
        TearDown();
    }
}

}  // namespace
