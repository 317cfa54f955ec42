// Starts quillon.exe of a folder as a first start would, and checks what the user sees:
// the language dialog, then (after OK) the main window; then closes the program.
// Usage: release_probe <folder> [seconds]. Exit code 0 on success, 1 on a failure, each
// step reported on stdout; the program is terminated when it does not end in time.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

constexpr int kLanguageCombo = 10102;

struct Search {
    DWORD process;
    const wchar_t* className;
    int controlId;  // a child the window must have, 0 for none
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window)) return TRUE;
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (lstrcmpW(name, search->className) != 0) return TRUE;
    if (search->controlId != 0 && GetDlgItem(window, search->controlId) == nullptr) return TRUE;
    search->found = window;
    return FALSE;
}

// Polls the top-level windows until one matches, the process ends or the deadline passes.
HWND WaitForWindow(HANDLE process, DWORD processId, const wchar_t* className, int controlId, DWORD deadline) {
    while (GetTickCount() < deadline) {
        Search search = {processId, className, controlId, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) return search.found;
        if (WaitForSingleObject(process, 100) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
}

std::string Narrow(const wchar_t* text) {
    char bytes[512] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes - 1, nullptr, nullptr);
    return bytes;
}

int Fail(const char* what, PROCESS_INFORMATION& child) {
    std::printf("FAIL %s\n", what);
    std::fflush(stdout);
    if (child.hProcess != nullptr) TerminateProcess(child.hProcess, 1);
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) {
        std::printf("usage: release_probe <folder> [seconds]\n");
        return 2;
    }
    std::wstring folder = argv[1];
    DWORD seconds = argc > 2 ? static_cast<DWORD>(_wtoi(argv[2])) : 60;
    DWORD deadline = GetTickCount() + seconds * 1000;
    std::wstring exe = folder + L"\\quillon.exe";
    std::wstring commandLine = L"\"" + exe + L"\"";

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                        &child)) {
        return Fail("cannot start quillon.exe", child);
    }

    HWND language = WaitForWindow(child.hProcess, child.dwProcessId, L"#32770", kLanguageCombo, deadline);
    if (language == nullptr) return Fail("no language dialog", child);
    wchar_t caption[256] = {};
    GetWindowTextW(language, caption, 256);
    std::printf("LANGUAGE_DIALOG %s\n", Narrow(caption).c_str());
    PostMessageW(language, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);

    HWND frame = WaitForWindow(child.hProcess, child.dwProcessId, L"QUILLON MAIN WINDOW", 0, deadline);
    if (frame == nullptr) return Fail("no main window after the language dialog", child);
    GetWindowTextW(frame, caption, 256);
    std::printf("MAIN_WINDOW %s\n", Narrow(caption).c_str());
    std::fflush(stdout);

    PostMessageW(frame, WM_CLOSE, 0, 0);
    DWORD left = deadline > GetTickCount() ? deadline - GetTickCount() : 0;
    if (WaitForSingleObject(child.hProcess, left < 5000 ? 5000 : left) != WAIT_OBJECT_0) {
        return Fail("quillon.exe did not end after WM_CLOSE", child);
    }
    DWORD code = 0;
    GetExitCodeProcess(child.hProcess, &code);
    std::printf("EXITED %lu\n", static_cast<unsigned long>(code));
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return 0;
}
