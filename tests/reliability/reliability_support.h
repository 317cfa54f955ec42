// Helpers of the reliability tests: loading a file with the loader, the line rules in their
// plainest form, reading lines back, sparse files, and whether permission bits bind us.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "document/log_file.h"
#include "loader/log_loader.h"
#include "foundation/convert.h"
#include "keywords/keyword_set.h"

namespace reliability {

struct Loaded {
    bool ok = false;
    std::vector<CLogLine> lines;
    std::vector<CLogLine> errors;
};

// Loads an open file with LoadLogLines and copies the results out.
inline Loaded LoadOpen(CLogFile& file, const CLoadRequest& request) {
    Loaded r;
    CLogLineList errors;
    std::unique_ptr<CLogLineList> lines = LoadLogLines(&file, request, &errors);
    if (lines == nullptr) return r;
    r.ok = true;
    for (int32_t i = 0; i < lines->Count(); ++i) r.lines.push_back((*lines)[i]);
    for (int32_t i = 0; i < errors.Count(); ++i) r.errors.push_back(errors[i]);
    return r;
}

// The expected (offset, length) of every non-empty line: a line begins at a byte that is
// not CR or LF and ends after its first break (both bytes of CR LF or LF CR) or at the end.
inline std::vector<std::pair<uint64_t, uint32_t>> SplitLines(const std::string& s) {
    std::vector<std::pair<uint64_t, uint32_t>> out;
    auto brk = [](char c) { return c == '\r' || c == '\n'; };
    size_t p = 0;
    while (p < s.size()) {
        if (brk(s[p])) {
            ++p;
            continue;
        }
        size_t j = p;
        while (j < s.size() && !brk(s[j])) ++j;
        size_t e = j == s.size() ? j : j + 1;
        if (j + 1 < s.size() && brk(s[j]) && brk(s[j + 1]) && s[j] != s[j + 1]) e = j + 2;
        out.emplace_back(p, static_cast<uint32_t>(e - p));
        p = e;
    }
    return out;
}

// ReadLine into a string of the returned length.
inline std::string ReadLineText(CLogFile& file, uint64_t offset, uint32_t length) {
    std::string s(length, '\0');
    uint32_t n = length == 0 ? 0 : file.ReadLine(&s[0], length, offset);
    s.resize(n);
    return s;
}

// A keyword set of error keywords with a valid first-character table.
inline void ErrorKeywords(CKeywordSet& set, std::initializer_list<const char16_t*> words) {
    for (const char16_t* w : words) set.Add(w, 6, 0, 1);
    set.BuildFlagTable();
}

// Creates a sparse file of size bytes holding the given pieces at their offsets. Returns
// false when the file system allocates the holes (the caller skips then).
bool MakeSparseFile(const std::u16string& path, uint64_t size,
                    const std::vector<std::pair<uint64_t, std::string>>& pieces);

// True when the permission bits of files bind this process (not so for root, nor on Windows).
bool PermissionsBind();

}  // namespace reliability
