// Following a growing log: a writer appends time-stamped lines at a fixed rate while
// `quillon-cli rows --follow` prints them; each printed row carries the moment it was
// written, so the lag to its printing is measured, and the follower's CPU time is read
// when it is stopped. POSIX only.
// Usage: quillon-follow-bench <quillon-cli> <folder> [lines a second] [seconds]
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

long long MicrosecondsNow() {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch()).count();
}

// Appends rate lines a second in batches of 10 ms for seconds seconds.
void Write(const std::string& path, int rate, int seconds) {
    FILE* out = std::fopen(path.c_str(), "ab");
    if (out == nullptr) return;
    int perBatch = rate / 100;
    Clock::time_point next = Clock::now();
    long long number = 0;
    for (int batch = 0; batch < seconds * 100; ++batch) {
        long long now = MicrosecondsNow();
        for (int i = 0; i < perBatch; ++i, ++number) {
            std::fprintf(out,
                         "2024-01-01 00:00:%02lld.%03lld written=%lld line %lld of the writer, some text after it\r\n",
                         (number / 1000) % 60, number % 1000, now, number);
        }
        std::fflush(out);
        next += std::chrono::milliseconds(10);
        std::this_thread::sleep_until(next);
    }
    std::fclose(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: quillon-follow-bench <quillon-cli> <folder> [lines a second] [seconds]\n");
        return 2;
    }
    int rate = argc > 3 ? std::atoi(argv[3]) : 100000;
    int seconds = argc > 4 ? std::atoi(argv[4]) : 5;
    std::string path = std::string(argv[2]) + "/follow.log";
    FILE* start = std::fopen(path.c_str(), "wb");
    if (start == nullptr) return 1;
    std::fputs("2024-01-01 00:00:00 the log begins\r\n", start);
    std::fclose(start);

    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return 1;
    pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], 1);
        close(pipeEnds[0]);
        execl(argv[1], argv[1], "--no-config", "rows", path.c_str(), "--follow", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    std::thread writer(Write, path, rate, seconds);
    FILE* rows = fdopen(pipeEnds[0], "r");
    char line[512];
    long long expected = static_cast<long long>(rate / 100) * 100 * seconds;
    long long seen = 0;
    double lagSum = 0;
    double lagMax = 0;
    while (seen < expected && std::fgets(line, sizeof line, rows) != nullptr) {
        const char* mark = std::strstr(line, "written=");
        if (mark == nullptr) continue;
        double lag = (MicrosecondsNow() - std::atoll(mark + 8)) / 1000.0;
        lagSum += lag;
        if (lag > lagMax) lagMax = lag;
        ++seen;
    }
    writer.join();
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    struct rusage usage = {};
    getrusage(RUSAGE_CHILDREN, &usage);
    double cpu =
        usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf(
        "follow, %d lines/s for %d s: %lld of %lld rows printed, lag mean %.0f ms, max %.0f ms (target 500), "
        "follower CPU %.2f s = %.0f%% of one core (target under 100%%)\n",
        rate, seconds, seen, expected, seen > 0 ? lagSum / seen : 0.0, lagMax, cpu, cpu * 100 / seconds);
    std::remove(path.c_str());
    return seen == expected ? 0 : 1;
}
