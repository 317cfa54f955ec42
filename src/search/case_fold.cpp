// Case-insensitive comparison of UTF-16 text: the text is folded unit by unit as it is
// compared, so a line is never copied.
#include "search/case_fold.h"

void FoldText(const char16_t* text, int n, char16_t* out) {
    for (int i = 0; i < n; ++i) out[i] = FoldAt(text, i);
}

int FindUnitsFolded(const char16_t* text, int n, const char16_t* folded, int m) {
    if (m <= 0 || m > n) return -1;
    char16_t first = folded[0];
    for (int j = 0; j + m <= n; ++j) {
        if (FoldAt(text, j) != first) continue;
        int k = 1;
        while (k < m && FoldAt(text, j + k) == folded[k]) ++k;
        if (k == m) return j;
    }
    return -1;
}
