// The figure for the further stamp forms: the same log written in each form, loaded with every
// form on (as new installations are), beside the log in the line-start form, all in one run.
// The loads take turns, so that a busy moment of the machine falls on every file alike; the
// processor time of each load is shown too, which a machine shared with others disturbs less
// (the time its processors are lent to others counts in the wall time only).
#include "bench_timing.h"
#include "stamp_forms_bench.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "document/log_file.h"
#include "foundation/convert.h"
#include "loader/log_loader.h"
#include "machine.h"

namespace {

struct CFormLog {
    const char* path;
    CLogFile file;
    double best = 1e30;
    double bestCpu = 1e30;
    std::vector<double> ratios;     // each round's load over the first log's loads around it
    std::vector<double> cpuRatios;  // the same for their processor time
    double bestAround = 1e30;       // the best of the first log's loads around it (the mean of each pair)
    int64_t lines = 0;
    CStampCount found;
};

// The median of each round's ratio of the log's load to the first log's: within a round the
// first log is loaded before and after each other log, and the ratio is to the mean of those
// two loads, so that a machine whose speed drifts (a shared one) moves both sides alike, where
// the best of each may come from different moments.
double PairedRatio(std::vector<double> ratios) {
    if (ratios.empty()) return 0;
    std::sort(ratios.begin(), ratios.end());
    size_t n = ratios.size();
    return n % 2 == 1 ? ratios[n / 2] : (ratios[n / 2 - 1] + ratios[n / 2]) / 2;
}

// The wall time of one load, and its processor time in *cpu.
double TimedLoad(CFormLog* log, const CStampRules* rules, CStampCount* found, double* cpu) {
    CLoadRequest request;
    request.stamps = rules;
    request.stampCount = found;
    CLogLineList errors;
    double startCpu = ProcessCpuSeconds();
    double start = Now();
    std::unique_ptr<CLogLineList> lines = LoadLogLines(&log->file, request, &errors);
    double t = Now() - start;
    *cpu = ProcessCpuSeconds() - startCpu;
    log->lines = lines != nullptr ? lines->Count() : 0;
    return t;
}

bool Open(CFormLog* log) {
    char16_t* wide = MultiByteToWideAlloc(log->path, -1, kCodePageAnsi);
    bool opened = wide != nullptr && log->file.Open(wide);
    std::free(wide);
    if (!opened) std::fprintf(stderr, "quillon-bench: cannot open %s\n", log->path);
    return opened;
}

void PrintLog(const CFormLog& log, const CFormLog& basic) {
    double ratio = log.best / basic.best;
    double perLine = log.lines > 0 && basic.lines > 0 ? ratio * static_cast<double>(basic.lines) / log.lines : 0;
    // JSON lines are held to more: their stamp is a key's value anywhere in the line.
    double target = log.found.firstForm == StampForm::kJsonField ? 1.5 : 1.3;
    double paired = PairedRatio(log.ratios);
    double pairedCpu = PairedRatio(log.cpuRatios);
    std::printf("  %-40s %8.3f s   %6.2fx (per line %5.2fx)  target <= %.1fx  %s\n", log.path, log.best, ratio, perLine,
                target, ratio <= target ? "met" : "MISSED");
    std::printf("    each round's ratio, median of %zu: %.2fx  %s\n", log.ratios.size(), paired,
                paired <= target ? "met" : "MISSED");
    // The first log's best comes from every round's loads of it, this log's from its own few:
    // the same number of the first log's loads, those around this log's, make an even match.
    double even = log.best / log.bestAround;
    std::printf("    beside the best of the first log's loads around its own (%.3f s): %.2fx  %s\n", log.bestAround,
                even, even <= target ? "met" : "MISSED");
    std::printf("    processor time %.3f s, %.2fx the first's %.3f s; each round's ratio, median: %.2fx  %s\n",
                log.bestCpu, log.bestCpu / basic.bestCpu, basic.bestCpu, pairedCpu,
                pairedCpu <= target ? "met" : "MISSED");
    std::printf("    %lld lines, %lld with a stamp of their own, the first in the form %s\n",
                static_cast<long long>(log.lines), static_cast<long long>(log.found.stamped),
                StampFormName(log.found.firstForm));
}

}  // namespace

int RunStampFormsBench(const char* const* paths, int count, int repeat) {
    std::vector<std::unique_ptr<CFormLog>> logs;
    for (int i = 0; i < count; ++i) {
        logs.emplace_back(new CFormLog);
        logs.back()->path = paths[i];
        if (!Open(logs.back().get())) return 2;
    }
    CStampRules every;
    every.moreForms = true;
    double lineStartOnly = 1e30;
    // The first log, then each other log followed by the first again.
    struct CTimes {
        double wall, cpu;
    };
    auto load = [&every](CFormLog* log) {
        double cpu = 0;
        double t = TimedLoad(log, &every, &log->found, &cpu);
        if (t < log->best) log->best = t;
        if (cpu < log->bestCpu) log->bestCpu = cpu;
        return CTimes{t, cpu};
    };
    for (int round = 0; round < repeat; ++round) {
        CTimes before = load(logs[0].get());
        for (size_t k = 1; k < logs.size(); ++k) {
            CTimes t = load(logs[k].get());
            CTimes after = load(logs[0].get());
            logs[k]->ratios.push_back(t.wall / ((before.wall + after.wall) / 2));
            logs[k]->bestAround = std::min(logs[k]->bestAround, (before.wall + after.wall) / 2);
            logs[k]->cpuRatios.push_back(t.cpu / ((before.cpu + after.cpu) / 2));
            before = after;
        }
        CStampCount ignored;
        double cpu = 0;
        double t = TimedLoad(logs[0].get(), nullptr, &ignored, &cpu);
        if (t < lineStartOnly) lineStartOnly = t;
    }
    const CFormLog& basic = *logs[0];
    std::printf("Loads with every stamp form on, best of %d runs each, beside %s\n", repeat, basic.path);
    std::printf("  %-40s %8.3f s   (the same log with the line-start recogniser alone: %.3f s)\n", basic.path,
                basic.best, lineStartOnly);
    for (size_t k = 1; k < logs.size(); ++k) PrintLog(*logs[k], basic);
    return 0;
}
