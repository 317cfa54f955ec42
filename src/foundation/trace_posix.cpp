// POSIX has no trace library: loading always falls back to TraceNone.
#include "foundation/trace.h"

int LoadTraceLibrary() {
    TraceOutput = TraceNone;
    return 0;
}

void ReleaseTraceLibrary() { TraceOutput = TraceNone; }
