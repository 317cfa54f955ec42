// timeline and rows --at-time: the lines of the index seen as a view's rows.
#include "timeline_command.h"

#include <cstdio>

#include "document/row_source.h"
#include "search/line_scan.h"
#include "search/row_navigation.h"
#include "search/timeline.h"

namespace {

// The index as rows, borrowed: the console keeps its list for the other commands.
class CBorrowedRows : public CRowSource {
public:
    explicit CBorrowedRows(const CLogLineList& lines) : m_lines(lines) {}
    int64_t Count() const override { return m_lines.Count(); }
    bool Entry(CRow row, CLogLine* line) const override { return m_lines.Get(row.Value(), line); }
    int64_t ReadRows(CRow first, int64_t n, CLogLine* out) const override {
        return m_lines.Read(first.Value(), n, out);
    }
    CLogFile* FileOf(CRow /*row*/) const override { return nullptr; }
    CLogFile* File() const override { return nullptr; }

private:
    const CLogLineList& m_lines;
};

// A console may print many more buckets than a window draws.
constexpr int64_t kConsoleBuckets = int64_t{1} << 22;

}  // namespace

int PrintTimeline(const CLogLineList& lines, const CLogLineList& errors, int32_t bucketSeconds, const char* log,
                  CProgressBar* bar) {
    return PrintTimeline(CBorrowedRows(lines), errors, bucketSeconds, log, bar);
}

int PrintTimeline(const CRowSource& rows, const CLogLineList& errors, int32_t bucketSeconds, const char* log,
                  CProgressBar* bar) {
    CTimelineRequest request;
    request.rows = &rows;
    request.errors = &errors;
    request.widthMs = int64_t{bucketSeconds} * 1000;
    request.maxBuckets = kConsoleBuckets;
    request.listener = bar;
    CTimeline timeline;
    int built = timeline.Build(request);
    bar->Finish();
    if (built == kTimelineTooManyBuckets) {
        std::fprintf(stderr, "quillon-cli: buckets of %d s over the time range of '%s' would be more than %lld\n",
                     bucketSeconds, log, static_cast<long long>(kConsoleBuckets));
        return 2;
    }
    if (built != 1) {
        std::fprintf(stderr, "quillon-cli: not enough memory for the timeline of '%s'\n", log);
        return 2;
    }
    if (!timeline.HasStamps()) {
        std::fprintf(stderr, "quillon-cli: '%s' has no time stamps\n", log);
        return 1;
    }
    for (int64_t i = 0; i < timeline.BucketCount(); ++i) {
        char start[40];
        FormatStampKey(timeline.BucketStart(i), timeline.Clock().Dated(), start, sizeof start);
        const CTimeBucket& bucket = timeline.Bucket(i);
        std::printf("%s\t%lld\t%lld\n", start, static_cast<long long>(bucket.rows),
                    static_cast<long long>(bucket.errors));
    }
    return 0;
}

int64_t RowAtTime(const CLogLineList& lines, const CTimeQuery& query) {
    return FirstRowAtOrAfter(CBorrowedRows(lines), query);
}
