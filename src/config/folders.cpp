// The platform-independent part of the folder seam: the test overrides and path joining.
#include "config/folders.h"

CFolderOverrides g_folderOverrides;

int CopyPath(char16_t* out, int capacity, const char16_t* src) {
    if (out == nullptr || capacity <= 0) return 0;
    out[0] = 0;
    return AppendPath(out, capacity, src);
}

int AppendPath(char16_t* out, int capacity, const char16_t* src) {
    if (out == nullptr || capacity <= 0) return 0;
    int n = 0;
    while (n < capacity - 1 && out[n] != 0) ++n;
    if (src != nullptr) {
        for (int i = 0; src[i] != 0 && n < capacity - 1; ++i) out[n++] = src[i];
    }
    out[n] = 0;
    return n;
}
