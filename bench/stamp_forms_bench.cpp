// The figure for the further stamp forms: the same log written in each form, loaded with every
// form on (as new installations are), beside the log in the line-start form, all in one run.
// The loads take turns, so that a busy moment of the machine falls on every file alike.
#include "stamp_forms_bench.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "document/log_file.h"
#include "foundation/convert.h"
#include "loader/log_loader.h"

namespace {

double Now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

struct CFormLog {
    const char* path;
    CLogFile file;
    double best = 1e30;
    int64_t lines = 0;
    CStampCount found;
};

double TimedLoad(CFormLog* log, const CStampRules* rules, CStampCount* found) {
    CLoadRequest request;
    request.stamps = rules;
    request.stampCount = found;
    CLogLineList errors;
    double start = Now();
    std::unique_ptr<CLogLineList> lines = LoadLogLines(&log->file, request, &errors);
    double t = Now() - start;
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

void PrintLog(const CFormLog& log, double basic, double basicPerLine) {
    double ratio = log.best / basic;
    double perLine = log.lines > 0 ? log.best / static_cast<double>(log.lines) / basicPerLine : 0;
    std::printf("  %-40s %8.3f s   %6.2fx (per line %5.2fx)  target <= 1.3x  %s\n", log.path, log.best, ratio, perLine,
                ratio <= 1.3 ? "met" : "MISSED");
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
    for (int round = 0; round < repeat; ++round) {
        for (auto& log : logs) {
            double t = TimedLoad(log.get(), &every, &log->found);
            if (t < log->best) log->best = t;
        }
        CStampCount ignored;
        double t = TimedLoad(logs[0].get(), nullptr, &ignored);
        if (t < lineStartOnly) lineStartOnly = t;
    }
    const CFormLog& basic = *logs[0];
    double basicPerLine = basic.best / static_cast<double>(basic.lines > 0 ? basic.lines : 1);
    std::printf("Loads with every stamp form on, best of %d runs each, beside %s\n", repeat, basic.path);
    std::printf("  %-40s %8.3f s   (the same log with the line-start recogniser alone: %.3f s)\n", basic.path,
                basic.best, lineStartOnly);
    for (size_t k = 1; k < logs.size(); ++k) PrintLog(*logs[k], basic.best, basicPerLine);
    return 0;
}
