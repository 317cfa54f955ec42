// The folder queries on POSIX. Paths are UTF-8 bytes to the system, UTF-16 to the caller.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "config/folders.h"
#include "foundation/convert.h"
#include "foundation/string.h"

namespace {

int Fail(char16_t* out, int capacity) {
    if (out != nullptr && capacity > 0) out[0] = 0;
    return 0;
}

int FromBytes(const char* bytes, char16_t* out, int capacity) {
    if (out == nullptr || capacity <= 0) return 0;
    int length = static_cast<int>(std::strlen(bytes));
    int needed = MultiByteToWide(kCodePageUtf8, bytes, length, nullptr, 0);
    if (needed <= 0 || needed >= capacity) return Fail(out, capacity);
    int n = MultiByteToWide(kCodePageUtf8, bytes, length, out, capacity);
    if (n <= 0) return Fail(out, capacity);
    out[n] = 0;
    return n;
}

// mkdir -p for an absolute UTF-8 path.
void MakeFolders(char* path) {
    for (char* p = path + 1; *p != 0; ++p) {
        if (*p != '/') continue;
        *p = 0;
        mkdir(path, 0700);
        *p = '/';
    }
    mkdir(path, 0700);
}

}  // namespace

int QueryExecutablePath(char16_t* out, int capacity) {
    if (g_folderOverrides.executablePath != nullptr) return CopyPath(out, capacity, g_folderOverrides.executablePath);
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
    if (n <= 0) return Fail(out, capacity);
    buffer[n] = 0;
    return FromBytes(buffer, out, capacity);
}

int QueryCurrentFolder(char16_t* out, int capacity) {
    if (g_folderOverrides.currentFolder != nullptr) return CopyPath(out, capacity, g_folderOverrides.currentFolder);
    char buffer[4096];
    if (getcwd(buffer, sizeof(buffer)) == nullptr) return Fail(out, capacity);
    return FromBytes(buffer, out, capacity);
}

int QueryUserDataRoot(char16_t* out, int capacity) {
    if (g_folderOverrides.failUserDataRoot) return Fail(out, capacity);
    if (g_folderOverrides.userDataRoot != nullptr) return CopyPath(out, capacity, g_folderOverrides.userDataRoot);
    // The XDG base directory rule: $XDG_DATA_HOME when absolute, else ~/.local/share.
    char buffer[4096];
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        if (std::strlen(xdg) >= sizeof(buffer)) return Fail(out, capacity);
        std::strcpy(buffer, xdg);
    } else if (home != nullptr && home[0] == '/') {
        static const char kShare[] = "/.local/share";
        if (std::strlen(home) + sizeof(kShare) > sizeof(buffer)) return Fail(out, capacity);
        std::strcpy(buffer, home);
        std::strcat(buffer, kShare);
    } else {
        return Fail(out, capacity);
    }
    size_t n = std::strlen(buffer);
    while (n > 1 && buffer[n - 1] == '/') buffer[--n] = 0;
    MakeFolders(buffer);  // like the Windows query's create flag
    struct stat st;
    if (stat(buffer, &st) != 0 || !S_ISDIR(st.st_mode)) return Fail(out, capacity);
    return FromBytes(buffer, out, capacity);
}

int PathExists(const char16_t* path) {
    if (path == nullptr) return 0;
    CString bytes(path);
    struct stat st;
    return bytes.Data() != nullptr && stat(bytes.Data(), &st) == 0 ? 1 : 0;
}

int CreateFolder(const char16_t* path) {
    if (path == nullptr) return 0;
    CString bytes(path);
    return bytes.Data() != nullptr && mkdir(bytes.Data(), 0700) == 0 ? 1 : 0;
}
