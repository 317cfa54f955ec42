// Checks of the linked resources, run by `dialog_preview --check` (a CTest test under Wine).
// Text is measured with the dialog's own font, so a label that would be clipped in this
// font set-up is reported; margins follow the common controls' drawing.
#include "layout_check.h"

#include <commctrl.h>
#include <shlwapi.h>
#include <stdarg.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "preview_content.h"
#include "resource.h"
#include "dialogs/sheet_fit.h"
#include "shell/command_table.h"
#include "template_table.h"

namespace {

int g_problems = 0;

std::string Utf8(const std::wstring& text) {
    int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], n, nullptr, nullptr);
    return out;
}

void Problem(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    printf("\n");
    ++g_problems;
}

std::wstring WindowText(HWND window) {
    wchar_t buffer[512];
    int n = GetWindowTextW(window, buffer, 512);
    return std::wstring(buffer, n > 0 ? n : 0);
}

std::wstring ClassOf(HWND window) {
    wchar_t buffer[64];
    int n = GetClassNameW(window, buffer, 64);
    return std::wstring(buffer, n > 0 ? n : 0);
}

// Skips a name-or-ordinal field of a dialog template.
const WORD* SkipNameOrOrdinal(const WORD* p) {
    if (*p == 0) return p + 1;
    if (*p == 0xFFFF) return p + 2;
    while (*p) ++p;
    return p + 1;
}

// Reads the font of a DIALOGEX template.
bool TemplateFont(HINSTANCE instance, int id, std::wstring* face, int* points, int* charset) {
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));  // RT_DIALOG
    if (!found) return false;
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(instance, found)));
    if (!data || SizeofResource(instance, found) < 26) return false;
    const WORD* words = reinterpret_cast<const WORD*>(data);
    if (words[0] != 1 || words[1] != 0xFFFF) return false;  // not DIALOGEX
    DWORD style;
    memcpy(&style, data + 12, sizeof style);
    if (!(style & DS_SETFONT)) return false;
    const WORD* p = reinterpret_cast<const WORD*>(data + 26);
    p = SkipNameOrOrdinal(p);  // menu
    p = SkipNameOrOrdinal(p);  // class
    while (*p) ++p;            // title
    ++p;
    *points = p[0];
    *charset = HIBYTE(p[2]);
    *face = reinterpret_cast<const wchar_t*>(p + 3);
    return true;
}

struct Child {
    HWND window;
    int id;
    std::wstring className;
    std::wstring text;
    LONG style;
    RECT rect;  // in the dialog's client coordinates
};

SIZE TextSize(HWND control, const std::wstring& text) {
    SIZE size = {0, 0};
    HDC dc = GetDC(control);
    HFONT font = (HFONT)SendMessageW(control, WM_GETFONT, 0, 0);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    std::wstring shown;
    for (size_t i = 0; i < text.size(); ++i) {  // "&&" shows one ampersand, "&x" none
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        shown += text[i];
    }
    GetTextExtentPoint32W(dc, shown.c_str(), static_cast<int>(shown.size()), &size);
    if (old) SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

int FontHeight(HWND control) {
    TEXTMETRICW metrics = {};
    HDC dc = GetDC(control);
    HFONT font = (HFONT)SendMessageW(control, WM_GETFONT, 0, 0);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    GetTextMetricsW(dc, &metrics);
    if (old) SelectObject(dc, old);
    ReleaseDC(control, dc);
    return metrics.tmHeight;
}

bool Is(const Child& c, const wchar_t* className) { return lstrcmpiW(c.className.c_str(), className) == 0; }

int ButtonKind(const Child& c) { return Is(c, L"Button") ? (c.style & BS_TYPEMASK) : -1; }

bool IsGroupBox(const Child& c) { return ButtonKind(c) == BS_GROUPBOX; }

void CheckItemTexts(const char* where, const Child& c, UINT countMessage, UINT lengthMessage, UINT textMessage,
                    int available) {
    int count = (int)SendMessageW(c.window, countMessage, 0, 0);
    for (int i = 0; i < count; ++i) {
        int length = (int)SendMessageW(c.window, lengthMessage, i, 0);
        if (length <= 0 || length > 500) continue;
        std::wstring item(length + 1, L'\0');
        SendMessageW(c.window, textMessage, i, (LPARAM)&item[0]);
        item.resize(length);
        int width = TextSize(c.window, item).cx;
        if (width > available) {
            Problem("%s: item \"%s\" of control %d is clipped (%d > %d pixels)", where, Utf8(item).c_str(), c.id, width,
                    available);
        }
    }
}

// The size of text wrapped at word breaks within width, in the control's font.
SIZE WrappedTextSize(HWND window, const std::wstring& text, int width) {
    RECT r = {0, 0, width, 0};
    HDC dc = GetDC(window);
    HFONT font = (HFONT)SendMessageW(window, WM_GETFONT, 0, 0);
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    DrawTextW(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL);
    if (old) SelectObject(dc, old);
    ReleaseDC(window, dc);
    return SIZE{r.right, r.bottom};
}

void CheckTextFits(const char* where, const Child& c) {
    const int width = c.rect.right - c.rect.left;
    const int height = c.rect.bottom - c.rect.top;
    const int fontHeight = FontHeight(c.window);
    const SIZE text = TextSize(c.window, c.text);
    int needWidth = 0;
    int needHeight = 0;
    if (Is(c, L"Static")) {
        if ((c.style & SS_TYPEMASK) == SS_ICON || c.text.empty()) return;
        needWidth = text.cx;
        needHeight = fontHeight;
        if ((c.style & SS_TYPEMASK) == SS_LEFT && height >= 2 * fontHeight) {
            // Room for more than one line: the text wraps at word breaks, as the static draws it.
            SIZE wrapped = WrappedTextSize(c.window, c.text, width);
            needWidth = wrapped.cx;
            needHeight = wrapped.cy;
        }
    } else if (Is(c, L"Button")) {
        switch (ButtonKind(c)) {
            case BS_PUSHBUTTON:
            case BS_DEFPUSHBUTTON:
                needWidth = text.cx + 8;
                needHeight = fontHeight + 4;
                break;
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
            case BS_RADIOBUTTON:
            case BS_AUTORADIOBUTTON:
                needWidth = text.cx + GetSystemMetrics(SM_CXMENUCHECK) + 4;
                needHeight = fontHeight;
                if ((c.style & BS_MULTILINE) != 0 && height >= 2 * fontHeight) {
                    // Room for more than one line: the text wraps beside the box.
                    int box = GetSystemMetrics(SM_CXMENUCHECK) + 4;
                    SIZE wrapped = WrappedTextSize(c.window, c.text, width - box);
                    needWidth = wrapped.cx + box;
                    needHeight = wrapped.cy;
                }
                break;
            case BS_GROUPBOX:
                needWidth = c.text.empty() ? 0 : text.cx + 16;
                needHeight = fontHeight + 4;
                break;
            default:
                return;  // owner-drawn
        }
    } else if (Is(c, L"Edit")) {
        RECT client;
        GetClientRect(c.window, &client);
        if (client.bottom < fontHeight) {
            Problem("%s: edit %d is lower than its font (%d < %d pixels)", where, c.id, (int)client.bottom, fontHeight);
        }
        // Read-only edits show what the program puts there; it must be seen whole.
        if ((c.style & ES_READONLY) && text.cx > client.right - 4) {
            Problem("%s: text \"%s\" of edit %d is clipped (%d > %d pixels)", where, Utf8(c.text).c_str(), c.id,
                    (int)text.cx, (int)client.right - 4);
        }
        return;
    } else if (Is(c, L"ComboBox")) {
        const int available = width - GetSystemMetrics(SM_CXVSCROLL) - 6;
        CheckItemTexts(where, c, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, available);
        return;
    } else if (Is(c, L"ListBox")) {
        RECT client;
        GetClientRect(c.window, &client);
        // A shown scroll bar is already outside the client area.
        CheckItemTexts(where, c, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, client.right - 4);
        return;
    } else {
        return;
    }
    if (needWidth > width) {
        Problem("%s: text \"%s\" of control %d is clipped (needs %d, has %d pixels)", where, Utf8(c.text).c_str(), c.id,
                needWidth, width);
    }
    if (needHeight > height) {
        Problem("%s: control %d (\"%s\") is lower than its text (needs %d, has %d pixels)", where, c.id,
                Utf8(c.text).c_str(), needHeight, height);
    }
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

void CheckPlacement(const char* where, const std::vector<Child>& children, const RECT& client) {
    for (size_t i = 0; i < children.size(); ++i) {
        const Child& a = children[i];
        if (!Inside(a.rect, client)) {
            Problem("%s: control %d (\"%s\") reaches outside the dialog (%ld, %ld beyond %ld, %ld)", where, a.id,
                    Utf8(a.text).c_str(), a.rect.right, a.rect.bottom, client.right, client.bottom);
        }
        for (size_t j = i + 1; j < children.size(); ++j) {
            const Child& b = children[j];
            RECT overlap;
            if (!IntersectRect(&overlap, &a.rect, &b.rect)) continue;
            const Child* group = IsGroupBox(a) ? &a : IsGroupBox(b) ? &b : nullptr;
            const Child* other = group == &a ? &b : &a;
            if (group && !IsGroupBox(*other) && Inside(other->rect, group->rect)) {
                // Inside a group box, controls start below its label.
                if (other->rect.top < group->rect.top + FontHeight(group->window)) {
                    Problem("%s: control %d touches the label of group box \"%s\"", where, other->id,
                            Utf8(group->text).c_str());
                }
                continue;
            }
            Problem("%s: controls %d (\"%s\") and %d (\"%s\") overlap", where, a.id, Utf8(a.text).c_str(), b.id,
                    Utf8(b.text).c_str());
        }
    }
}

INT_PTR CALLBACK CheckDialogProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        FillSampleContent(window, static_cast<int>(lParam));
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK CheckPageProc(HWND window, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        FitSheetToPage(window);  // as the program's pages do
        FillSampleContent(window, static_cast<int>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam));
        return TRUE;
    }
    return FALSE;
}

// A page is checked inside a (hidden, modeless) property sheet: the sheet, not the page's
// own font, decides how much room the page gets.
HWND CreatePageInSheet(HINSTANCE instance, int id, HWND* sheet) {
    PROPSHEETPAGEW page = {};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_DEFAULT;
    page.hInstance = instance;
    page.pszTemplate = MAKEINTRESOURCEW(id);
    page.pfnDlgProc = CheckPageProc;
    page.lParam = id;
    PROPSHEETHEADERW header = {};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW | PSH_MODELESS;
    header.hInstance = instance;
    header.pszCaption = L"";
    header.nPages = 1;
    header.ppsp = &page;
    *sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
    if (!*sheet || *sheet == reinterpret_cast<HWND>(-1)) {
        *sheet = nullptr;
        return nullptr;
    }
    return reinterpret_cast<HWND>(SendMessageW(*sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

// Checks one template; returns its controls' ids and classes in template order.
std::vector<std::pair<int, std::wstring>> CheckTemplate(HINSTANCE instance, int id, const TemplateInfo& info) {
    std::vector<std::pair<int, std::wstring>> signature;
    char where[64];
    snprintf(where, sizeof where, "%d (%s, %s)", id, info.name, IsEnglishTemplate(id) ? "English" : "Japanese");

    std::wstring face;
    int points = 0, charset = 0;
    if (!TemplateFont(instance, id, &face, &points, &charset)) {
        Problem("%s: no DIALOGEX template with a font", where);
    } else {
        const wchar_t* wanted = IsEnglishTemplate(id) ? L"MS Shell Dlg" : L"ＭＳ Ｐゴシック";
        if (face != wanted || points != 9) {
            Problem("%s: font \"%s\" %d pt, expected \"%s\" 9 pt", where, Utf8(face).c_str(), points,
                    Utf8(wanted).c_str());
        }
    }

    HWND sheet = nullptr;
    HWND dialog = info.page ? CreatePageInSheet(instance, id, &sheet)
                            : CreateDialogParamW(instance, MAKEINTRESOURCEW(id), nullptr, CheckDialogProc, id);
    if (!dialog) {
        Problem("%s: the template cannot be created", where);
        if (sheet) DestroyWindow(sheet);
        return signature;
    }
    const LONG style = GetWindowLongW(dialog, GWL_STYLE);
    if (info.page && !(style & WS_CHILD)) Problem("%s: a page must be a child dialog", where);
    if (!info.page && (style & WS_CHILD)) Problem("%s: a dialog must be a popup", where);
    if (WindowText(dialog).empty()) Problem("%s: no caption", where);

    for (int i = 0; i < info.controlCount; ++i) {
        const ExpectedControl& e = info.controls[i];
        HWND control = GetDlgItem(dialog, e.id);
        if (!control) {
            Problem("%s: control %d is missing", where, e.id);
        } else if (lstrcmpiW(ClassOf(control).c_str(), e.className) != 0) {
            Problem("%s: control %d is a %s, expected a %s", where, e.id, Utf8(ClassOf(control)).c_str(),
                    Utf8(e.className).c_str());
        }
    }

    RECT client;
    GetClientRect(dialog, &client);
    std::vector<Child> children;
    for (HWND w = GetWindow(dialog, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        Child c;
        c.window = w;
        c.id = GetDlgCtrlID(w);
        c.className = ClassOf(w);
        c.text = WindowText(w);
        c.style = GetWindowLongW(w, GWL_STYLE);
        GetWindowRect(w, &c.rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&c.rect), 2);
        children.push_back(c);
        signature.emplace_back(c.id, c.className);
        CheckTextFits(where, c);
    }
    CheckPlacement(where, children, client);
    ReleaseSampleContent(dialog);
    DestroyWindow(sheet ? sheet : dialog);
    return signature;
}

void CollectMenu(HMENU menu, std::vector<int>* shape, std::vector<int>* commands) {
    const int count = GetMenuItemCount(menu);
    shape->push_back(count);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
        GetMenuItemInfoW(menu, i, TRUE, &item);
        if (item.hSubMenu) {
            shape->push_back(-1);
            CollectMenu(item.hSubMenu, shape, commands);
        } else if (item.fType & MFT_SEPARATOR) {
            shape->push_back(0);
        } else {
            shape->push_back(static_cast<int>(item.wID));
            commands->push_back(static_cast<int>(item.wID));
        }
    }
}

void CheckMenus(HINSTANCE instance) {
    std::vector<int> shapes[2];
    for (int m = 0; m < 2; ++m) {
        const int id = m == 0 ? IDR_MENU_JA : IDR_MENU_EN;
        HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(id));
        if (!menu) {
            Problem("menu %d cannot be loaded", id);
            continue;
        }
        // File, Search, View, Help, each with a mnemonic (the frame finds them by position).
        if (GetMenuItemCount(menu) != 4) Problem("menu %d: %d top-level menus, expected 4", id, GetMenuItemCount(menu));
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            wchar_t title[64] = {};
            GetMenuStringW(menu, i, title, 64, MF_BYPOSITION);
            if (!GetSubMenu(menu, i)) Problem("menu %d: top-level item %d has no menu", id, i);
            if (!wcschr(title, L'&')) Problem("menu %d: \"%s\" has no mnemonic", id, Utf8(title).c_str());
        }
        std::vector<int> commands;
        CollectMenu(menu, &shapes[m], &commands);
        // The shell's command table says which commands its menus hold.
        int expected = 0;
        for (int command : kMenuCommandIds) {
            if (command == 0) continue;
            ++expected;
            int found = 0;
            for (int c : commands) found += c == command;
            if (found != 1) Problem("menu %d: command %d appears %d times", id, command, found);
        }
        if (static_cast<int>(commands.size()) != expected) {
            Problem("menu %d: %d commands, expected %d", id, (int)commands.size(), expected);
        }
        DestroyMenu(menu);
    }
    if (shapes[0] != shapes[1]) Problem("menus %d and %d differ in their items", IDR_MENU_JA, IDR_MENU_EN);
}

void CheckImages(HINSTANCE instance) {
    // The images at 96 DPI are 16 x 15; those for scaled displays are square.
    const struct {
        int id, width, height;
    } kToolbars[] = {{IDB_TOOLBAR, 16, 15}, {IDB_TOOLBAR_24, 24, 24}, {IDB_TOOLBAR_32, 32, 32}};
    for (const auto& t : kToolbars) {
        HBITMAP bitmap = (HBITMAP)LoadImageW(instance, MAKEINTRESOURCEW(t.id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
        DIBSECTION dib = {};
        if (!bitmap || GetObjectW(bitmap, sizeof dib, &dib) != sizeof dib) {
            Problem("toolbar bitmap %d cannot be loaded", t.id);
        } else if (dib.dsBm.bmWidth != 18 * t.width || dib.dsBm.bmHeight != t.height || dib.dsBmih.biBitCount != 4) {
            Problem("toolbar bitmap %d is %dx%d at %d bits, expected %dx%d at 4 bits", t.id, (int)dib.dsBm.bmWidth,
                    (int)dib.dsBm.bmHeight, (int)dib.dsBmih.biBitCount, 18 * t.width, t.height);
        }
        if (bitmap) DeleteObject(bitmap);
    }

    HRSRC group = FindResourceW(instance, MAKEINTRESOURCEW(IDI_QUILLON), MAKEINTRESOURCEW(14));
    BYTE* directory = group ? (BYTE*)LockResource(LoadResource(instance, group)) : nullptr;
    if (!directory) {
        Problem("icon %d cannot be found", IDI_QUILLON);
        return;
    }
    for (int size : {16, 32}) {
        int image = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
        HRSRC found = image ? FindResourceW(instance, MAKEINTRESOURCEW(image), MAKEINTRESOURCEW(3)) : nullptr;
        const BITMAPINFOHEADER* header =
            found ? (const BITMAPINFOHEADER*)LockResource(LoadResource(instance, found)) : nullptr;
        if (!header || header->biWidth != size) {
            Problem("icon %d has no %dx%d image", IDI_QUILLON, size, size);
        }
    }
}

std::wstring VersionString(const std::vector<BYTE>& info, const wchar_t* name) {
    wchar_t path[128];
    wsprintfW(path, L"\\StringFileInfo\\040904b0\\%s", name);
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(info.data(), path, (void**)&value, &length) || !value) return L"";
    return value;
}

void CheckVersionAndManifest() {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    DWORD size = GetFileVersionInfoSizeW(path, nullptr);
    std::vector<BYTE> info(size ? size : 1);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!size || !GetFileVersionInfoW(path, 0, size, info.data()) ||
        !VerQueryValueW(info.data(), L"\\", (void**)&fixed, &length) || !fixed) {
        Problem("no version resource");
    } else {
        if (fixed->dwFileVersionMS != MAKELONG(0, 1) || fixed->dwFileVersionLS != 0) {
            Problem("file version is not 1.0.0.0");
        }
        if (VersionString(info, L"ProductName") != L"Quillon") Problem("product name is not Quillon");
        if (VersionString(info, L"CompanyName") != L"Tarnwick") Problem("company is not Tarnwick");
        if (VersionString(info, L"FileVersion") != L"1.0.0.0") Problem("FileVersion is not 1.0.0.0");
    }

    // The manifest asks for common controls 6: the comctl32 in use then reports version 6,
    // or (Wine reports 5.81 for both) comes from the side-by-side store.
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    auto getVersion =
        comctl ? (HRESULT(CALLBACK*)(DLLVERSIONINFO*))(void*)GetProcAddress(comctl, "DllGetVersion") : nullptr;
    DLLVERSIONINFO version = {};
    version.cbSize = sizeof version;
    if (getVersion) getVersion(&version);
    wchar_t module[MAX_PATH] = {};
    if (comctl) GetModuleFileNameW(comctl, module, MAX_PATH);
    CharLowerW(module);
    if (version.dwMajorVersion < 6 && !wcsstr(module, L"common-controls")) {
        Problem("common controls %d (%s) in use, expected 6 (manifest)", (int)version.dwMajorVersion,
                Utf8(module).c_str());
    }
}

}  // namespace

int RunLayoutCheck(HINSTANCE instance) {
    g_problems = 0;
    for (int i = 0; i < kTemplateCount; ++i) {
        const TemplateInfo& info = kTemplates[i];
        auto japanese = CheckTemplate(instance, info.id, info);
        auto english = CheckTemplate(instance, info.id + IDD_EN_OFFSET, info);
        if (japanese != english) {
            Problem("%d and %d (%s) differ in their controls", info.id, info.id + IDD_EN_OFFSET, info.name);
        }
    }
    CheckMenus(instance);
    CheckImages(instance);
    CheckVersionAndManifest();
    printf("%d problem(s)\n", g_problems);
    return g_problems;
}
