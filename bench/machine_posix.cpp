// Linux figures: VmRSS / VmHWM from /proc/self/status (the mark is reset through
// /proc/self/clear_refs), the CPU model from /proc/cpuinfo, grep through popen.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "machine.h"

namespace {

uint64_t StatusField(const char* name) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (f == nullptr) return 0;
    char line[256];
    uint64_t value = 0;
    size_t n = std::strlen(name);
    while (std::fgets(line, sizeof line, f) != nullptr) {
        if (std::strncmp(line, name, n) == 0 && line[n] == ':') {
            value = std::strtoull(line + n + 1, nullptr, 10) * 1024;
            break;
        }
    }
    std::fclose(f);
    return value;
}

std::string Quoted(const char* text) {
    std::string q = "'";
    for (const char* p = text; *p != 0; ++p) {
        if (*p == '\'') {
            q += "'\\''";
        } else {
            q += *p;
        }
    }
    return q + "'";
}

}  // namespace

uint64_t CurrentMemory() { return StatusField("VmRSS"); }

uint64_t PeakMemory() { return StatusField("VmHWM"); }

bool ResetPeakMemory() {
    std::FILE* f = std::fopen("/proc/self/clear_refs", "w");
    if (f == nullptr) return false;
    bool ok = std::fputs("5", f) >= 0;
    return std::fclose(f) == 0 && ok;
}

double ProcessCpuSeconds() {
    rusage usage = {};
    if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void DescribeMachine(char* out, size_t capacity) {
    char model[256] = "unknown processor";
    std::FILE* f = std::fopen("/proc/cpuinfo", "r");
    if (f != nullptr) {
        char line[512];
        while (std::fgets(line, sizeof line, f) != nullptr) {
            if (std::strncmp(line, "model name", 10) == 0) {
                const char* colon = std::strchr(line, ':');
                if (colon != nullptr) {
                    std::snprintf(model, sizeof model, "%s", colon + 2);
                    model[std::strcspn(model, "\n")] = 0;
                }
                break;
            }
        }
        std::fclose(f);
    }
    std::snprintf(out, capacity, "%ld x %s", sysconf(_SC_NPROCESSORS_ONLN), model);
}

namespace {

// The seconds a shell command takes that prints a count, and the count in *count; -1 when it
// cannot be run. A command that prints nothing counted 0 when noOutputIsZero, else failed.
double TimedCount(const std::string& command, bool noOutputIsZero, int64_t* count) {
    auto start = std::chrono::steady_clock::now();
    std::FILE* p = popen(command.c_str(), "r");
    if (p == nullptr) return -1;
    char output[64] = {};
    bool read = std::fgets(output, sizeof output, p) != nullptr;
    int status = pclose(p);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (status == -1 || (!read && !noOutputIsZero)) return -1;
    *count = read ? std::strtoll(output, nullptr, 10) : 0;
    return seconds;
}

}  // namespace

double TimeGrepCount(const char* path, const char* options, const char* text, int64_t* count) {
    return TimedCount(std::string("grep -c ") + options + " -- " + Quoted(text) + " " + Quoted(path), false, count);
}

double TimeRgCount(const char* path, const char* options, const char* text, int64_t* count) {
    if (std::system("command -v rg >/dev/null 2>&1") != 0) return -1;
    // rg prints nothing and exits with 1 when no line matches.
    return TimedCount(
        std::string("rg --no-mmap -j1 -c ") + options + " -- " + Quoted(text) + " " + Quoted(path) + " || true", true,
        count);
}

double TimeNewlineCount(const char* path, int64_t* count) {
    constexpr size_t kBlock = 10u << 20;
    char* block = static_cast<char*>(std::malloc(kBlock));
    if (block == nullptr) return -1;
    auto start = std::chrono::steady_clock::now();
    int fd = open(path, O_RDONLY);
    if (fd < 0) {
        std::free(block);
        return -1;
    }
    int64_t n = 0;
    ssize_t got;
    while ((got = read(fd, block, kBlock)) > 0) {
        const char* end = block + got;
        for (const char* p = block; (p = static_cast<const char*>(std::memchr(p, '\n', end - p))) != nullptr; ++p) ++n;
    }
    close(fd);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::free(block);
    if (got < 0) return -1;
    *count = n;
    return seconds;
}
