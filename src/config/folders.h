// The folder queries of the configuration: the executable's path, the current directory,
// the per-user data root, and folder existence and creation. Paths are UTF-16 without a
// trailing separator; each query writes a NUL-terminated path into the caller's buffer of
// capacity units and returns its length, or 0 on failure (out then holds the empty text).
// Windows: GetModuleFileNameW, GetCurrentDirectoryW, SHGetFolderPathW (0x801C: the local
// application-data folder, created if missing), PathFileExistsW, CreateDirectoryW.
// POSIX: /proc/self/exe, getcwd, $XDG_DATA_HOME or ~/.local/share (created if missing), stat, mkdir.
#pragma once

#ifdef _WIN32
constexpr char16_t kPathSeparator = u'\\';
constexpr int kMaxPath = 260;
#else
constexpr char16_t kPathSeparator = u'/';
constexpr int kMaxPath = 4096;
#endif

int QueryExecutablePath(char16_t* out, int capacity);
int QueryCurrentFolder(char16_t* out, int capacity);
int QueryUserDataRoot(char16_t* out, int capacity);
// 1 when something exists at path.
int PathExists(const char16_t* path);
// Creates one folder (its parent must exist); 1 or 0.
int CreateFolder(const char16_t* path);

// Test hooks: a non-null path replaces the system's answer to that query, and
// failUserDataRoot makes the user data query fail. Set before constructing a configuration.
struct CFolderOverrides {
    const char16_t* executablePath = nullptr;
    const char16_t* currentFolder = nullptr;
    const char16_t* userDataRoot = nullptr;
    bool failUserDataRoot = false;
};
extern CFolderOverrides g_folderOverrides;

// Copies src into out (capacity units, NUL included), cut to fit; returns the length.
int CopyPath(char16_t* out, int capacity, const char16_t* src);
// Appends src to the path in out, keeping the whole within capacity - 1 units; returns the length.
int AppendPath(char16_t* out, int capacity, const char16_t* src);
