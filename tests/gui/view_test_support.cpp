// Helpers of the log-view and loading GUI tests.
#include "view_test_support.h"

#include <cstring>
#include <commctrl.h>

#include "config/app_parameter.h"
#include "shell/app_main.h"
#include "winui/dpi.h"
#include "view/log_view.h"

COLORREF ViewPicture::At(int x, int y) const {
    uint32_t p = pixels[static_cast<size_t>(y) * width + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int ViewPicture::Count(COLORREF c, int left, int top, int right, int bottom) const {
    int n = 0;
    for (int y = top < 0 ? 0 : top; y < bottom && y < height; ++y) {
        for (int x = left < 0 ? 0 : left; x < right && x < width; ++x) n += At(x, y) == c;
    }
    return n;
}

bool ViewPicture::Span(COLORREF c, int from, int top, int to, int bottom, int* left, int* right) const {
    *left = width;
    *right = -1;
    for (int y = top < 0 ? 0 : top; y < bottom && y < height; ++y) {
        for (int x = from < 0 ? 0 : from; x < to && x < width; ++x) {
            if (At(x, y) != c) continue;
            if (x < *left) *left = x;
            if (x > *right) *right = x;
        }
    }
    return *right >= 0;
}

void ViewTest::Start(int language) {
    StartApp(language);
    MoveWindow(m_frame, 0, 0, 1200, 900, TRUE);
    Pump();
}

std::wstring ViewTest::WriteLog(const std::string& name, const std::string& text) {
    testing_support::WriteBytes(m_dir.FsPath(name), text);
    std::u16string path = m_dir.File(name);
    return std::wstring(path.begin(), path.end());
}

bool ViewTest::PumpUntil(const std::function<bool()>& done, int milliseconds) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > static_cast<DWORD>(milliseconds)) return done();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    return true;
}

CLogView* ViewTest::OpenAndWait(const std::wstring& path) {
    m_app->OpenLogFile(path.c_str());
    bool loaded = PumpUntil([&] {
        CLogView* v = m_app->Views().First();
        return v != nullptr && v->Lines() != nullptr && !m_app->Runner().Busy() &&
               m_app->Runner().Progress().Window() == nullptr;
    });
    Pump();
    return loaded ? m_app->Views().First() : nullptr;
}

void ViewTest::SizeView(CLogView* view, int width, int height) {
    RECT client = {0, 0, width, height};
    HWND window = view->Window();
    AdjustWindowRectEx(&client, static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)));
    MoveWindow(window, 0, 0, client.right - client.left, client.bottom - client.top, TRUE);
    Pump();
}

ViewPicture ViewTest::Paint(CLogView* view) {
    ViewPicture picture;
    RECT client;
    GetClientRect(view->Window(), &client);
    picture.width = client.right;
    picture.height = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    view->OnPaint(dc);
    GdiFlush();
    auto* p = static_cast<uint32_t*>(bits);
    picture.pixels.assign(p, p + static_cast<size_t>(picture.width) * picture.height);
    for (uint32_t& px : picture.pixels) px &= 0xFFFFFF;
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return picture;
}

// The hit test counts cells from 4 pixels in and rows from 2 pixels down, at 96 DPI.
int ViewTest::CellX(CLogView* view, int cell) {
    return ScaleToDpi(4, view->Dpi()) + cell * view->CharWidth() + view->CharWidth() / 2;
}

int ViewTest::RowY(CLogView* view, int windowRow) {
    return ScaleToDpi(2, view->Dpi()) + (windowRow + 1) * view->RowPitch() + view->RowPitch() / 2;
}

void ViewTest::Click(CLogView* view, UINT message, int x, int y, WPARAM keys) {
    SendMessageW(view->Window(), message, keys, MAKELPARAM(x, y));
}

std::wstring ViewTest::StatusText(int part) {
    wchar_t text[256] = {};
    HWND bar = m_app->StatusBar() != nullptr ? m_app->StatusBar()->m_window : nullptr;
    if (bar == nullptr) return L"";
    SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text));
    return text;
}

void ViewTest::SetColor(int entry, COLORREF text, COLORREF background) {
    CAppParameter& config = AppConfig();
    ASSERT_LT(entry, config.m_colorCount);
    config.m_colors[entry].text = text;
    config.m_colors[entry].background = background;
    m_app->ApplyViewSettings();
}

std::wstring ViewTest::ClipboardText() {
    std::wstring text;
    if (!OpenClipboard(m_frame)) return L"(clipboard busy)";
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    if (data != nullptr) {
        auto* p = static_cast<const wchar_t*>(GlobalLock(data));
        if (p != nullptr) text = p;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void ViewTest::ClearClipboard() {
    if (!OpenClipboard(m_frame)) return;
    EmptyClipboard();
    CloseClipboard();
}

void ViewTest::SetClipboard(const std::wstring& text) {
    if (!OpenClipboard(m_frame)) return;
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (memory != nullptr) {
        std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        GlobalUnlock(memory);
        if (SetClipboardData(CF_UNICODETEXT, memory) == nullptr) GlobalFree(memory);
    }
    CloseClipboard();
}

CLogView* ViewAfter(const CLogView* view) {
    const CViewList& views = GetAppMain()->Views();
    for (auto it = views.begin(); it != views.end(); ++it) {
        if (it->get() == view) return ++it != views.end() ? it->get() : nullptr;
    }
    return nullptr;
}
