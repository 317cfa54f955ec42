// The folder queries on Windows.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "config/folders.h"
#include "foundation/wide.h"

namespace {

int Fail(char16_t* out, int capacity) {
    if (out != nullptr && capacity > 0) out[0] = 0;
    return 0;
}

}  // namespace

int QueryExecutablePath(char16_t* out, int capacity) {
    if (g_folderOverrides.executablePath != nullptr) return CopyPath(out, capacity, g_folderOverrides.executablePath);
    if (out == nullptr || capacity <= 0) return 0;
    DWORD n = GetModuleFileNameW(nullptr, W(out), static_cast<DWORD>(capacity));
    if (n == 0 || n >= static_cast<DWORD>(capacity)) return Fail(out, capacity);  // cut paths are useless
    return static_cast<int>(n);
}

int QueryCurrentFolder(char16_t* out, int capacity) {
    if (g_folderOverrides.currentFolder != nullptr) return CopyPath(out, capacity, g_folderOverrides.currentFolder);
    if (out == nullptr || capacity <= 0) return 0;
    DWORD n = GetCurrentDirectoryW(static_cast<DWORD>(capacity), W(out));
    if (n == 0 || n >= static_cast<DWORD>(capacity)) return Fail(out, capacity);
    return static_cast<int>(n);
}

int QueryUserDataRoot(char16_t* out, int capacity) {
    if (g_folderOverrides.failUserDataRoot) return Fail(out, capacity);
    if (g_folderOverrides.userDataRoot != nullptr) return CopyPath(out, capacity, g_folderOverrides.userDataRoot);
    if (out == nullptr || capacity < MAX_PATH) return Fail(out, capacity);
    // CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE
    if (FAILED(SHGetFolderPathW(nullptr, 0x801C, nullptr, 0, W(out)))) return Fail(out, capacity);
    int n = 0;
    while (out[n] != 0) ++n;
    return n;
}

int PathExists(const char16_t* path) { return path != nullptr && PathFileExistsW(W(path)) ? 1 : 0; }

int CreateFolder(const char16_t* path) { return path != nullptr && CreateDirectoryW(W(path), nullptr) ? 1 : 0; }
