// quillon-loggen: writes the benchmark's generated log.
//   quillon-loggen [--size BYTES[K|M|G]] [--seed N] [--eol crlf|lf|mixed] [--form STYLE] <output-file>
// STYLE: basic (the default), iso-zone, access-log, c-library, compact, epoch, epoch-ms or prefix.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "log_generator.h"

namespace {

bool ParseSize(const char* text, uint64_t* size) {
    char* end = nullptr;
    unsigned long long n = std::strtoull(text, &end, 10);
    if (end == text) return false;
    uint64_t unit = 1;
    if (*end == 'K' || *end == 'k') unit = 1ull << 10;
    if (*end == 'M' || *end == 'm') unit = 1ull << 20;
    if (*end == 'G' || *end == 'g') unit = 1ull << 30;
    if (unit != 1) ++end;
    if (*end != 0) return false;
    *size = n * unit;
    return true;
}

int Usage() {
    std::fputs(
        "usage: quillon-loggen [--size BYTES[K|M|G]] [--seed N] [--eol crlf|lf|mixed]\n"
        "                      [--form "
        "basic|iso-zone|access-log|c-library|compact|epoch|epoch-ms|prefix|logfmt|glog|time-only|json]\n"
        "                      <output-file>\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    CLogGeneratorOptions options;
    const char* path = nullptr;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (std::strcmp(a, "--size") == 0 && i + 1 < argc) {
            if (!ParseSize(argv[++i], &options.size)) return Usage();
        } else if (std::strcmp(a, "--seed") == 0 && i + 1 < argc) {
            options.seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (std::strcmp(a, "--form") == 0 && i + 1 < argc) {
            if (!ParseStampStyle(argv[++i], &options.stamps)) return Usage();
        } else if (std::strcmp(a, "--eol") == 0 && i + 1 < argc) {
            const char* e = argv[++i];
            if (std::strcmp(e, "crlf") == 0) {
                options.lineEnds = CLineEnds::kCrLf;
            } else if (std::strcmp(e, "lf") == 0) {
                options.lineEnds = CLineEnds::kLf;
            } else if (std::strcmp(e, "mixed") == 0) {
                options.lineEnds = CLineEnds::kMixed;
            } else {
                return Usage();
            }
        } else if (a[0] == '-' || path != nullptr) {
            return Usage();
        } else {
            path = a;
        }
    }
    if (path == nullptr) return Usage();
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "quillon-loggen: cannot create %s\n", path);
        return 2;
    }
    static char buffer[1 << 20];
    std::setvbuf(out, buffer, _IOFBF, sizeof buffer);
    int64_t lines = GenerateLog(options, out);
    bool closed = std::fclose(out) == 0;
    if (lines < 0 || !closed) {
        std::fprintf(stderr, "quillon-loggen: writing %s failed\n", path);
        return 2;
    }
    std::printf("%s: %lld lines\n", path, static_cast<long long>(lines));
    return 0;
}
