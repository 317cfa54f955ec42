// Fuzzes CFileName::SetPath against a reference splitter: one object splits up to four
// paths in turn (a reused object keeps the pieces a later path does not have), and after
// each path every piece and both indexes must equal the reference's.
#include <string>

#include "foundation/file_name.h"
#include "fuzz_support.h"

namespace {

using fuzzing::FuzzInput;

struct RefName {
    std::string path, folder, fileName, baseName, extension;
    int nameStart = -1;
    int extensionStart = -1;
};

std::string Trimmed(const std::string& s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    size_t b = 0, e = s.size();
    while (b < e && blank(s[b])) ++b;
    while (e > b && blank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

int SkipSpaces(const std::string& s, size_t from) {
    size_t i = from;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    return i < s.size() ? static_cast<int>(i) : -1;
}

void RefSetPath(RefName& r, const std::string& p) {
    r.path = p;
    size_t n = p.size();
    long s = -1, e = -1;  // just after the last separator / the last dot after it
    for (size_t i = 0; i < n; ++i) {
        if (p[i] == '\\' || p[i] == '/') {
            s = static_cast<long>(i) + 1;
            e = -1;
        } else if (p[i] == '.') {
            e = static_cast<long>(i) + 1;
        }
    }
    size_t start = s < 0 ? 0 : static_cast<size_t>(s);
    if (s > 1) {
        r.folder = Trimmed(p.substr(0, static_cast<size_t>(s) - 1));
        if (start < n) r.fileName = Trimmed(p.substr(start));
    }
    if (e >= 0) {
        size_t dot = static_cast<size_t>(e);
        if (dot - start > 1) {
            if (dot < n) r.extension = Trimmed(p.substr(dot));
            r.baseName = Trimmed(p.substr(start, dot - start - 1));
        } else {
            r.baseName.clear();
        }
    } else if (start < n) {
        r.baseName = Trimmed(p.substr(start));
    }
    r.nameStart = SkipSpaces(p, start);
    r.extensionStart = e < 0 ? -1 : SkipSpaces(p, static_cast<size_t>(e));
}

std::string Bytes(const CString& s) {
    return s.Data() != nullptr ? std::string(s.Data(), static_cast<size_t>(s.Length())) : std::string();
}

const char* const kPieces[] = {"\\",  "/",   ".",   " ",  "\t", "\r",           "C:",      "logs",
                               "app", "log", "tar", "gz", "..", "\xe3\x81\x82", "\x81\x5c"};

std::string Path(FuzzInput& in) {
    std::string s;
    uint32_t pieces = in.Below(16);
    for (uint32_t k = 0; k < pieces && !in.Empty(); ++k) {
        uint8_t b = in.Byte();
        if (b < 200) {
            s += kPieces[b % (sizeof(kPieces) / sizeof(kPieces[0]))];
        } else {
            char c = static_cast<char>(in.Byte());
            if (c != 0) s.push_back(c);
        }
    }
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    CFileName name;
    RefName ref;
    FUZZ_CHECK(name.SetPath(nullptr) == 0);
    uint32_t paths = 1 + in.Below(4);
    for (uint32_t k = 0; k < paths; ++k) {
        std::string path = Path(in);
        FUZZ_CHECK(name.SetPath(path.c_str()) == 1);
        RefSetPath(ref, path);
        FUZZ_CHECK(Bytes(name.m_path) == ref.path);
        FUZZ_CHECK(Bytes(name.m_folder) == ref.folder);
        FUZZ_CHECK(Bytes(name.m_fileName) == ref.fileName);
        FUZZ_CHECK(Bytes(name.m_baseName) == ref.baseName);
        FUZZ_CHECK(Bytes(name.m_extension) == ref.extension);
        FUZZ_CHECK(name.m_nameStart == ref.nameStart);
        FUZZ_CHECK(name.m_extensionStart == ref.extensionStart);
    }
    return 0;
}
