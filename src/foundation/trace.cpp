// The trace pointer and its do-nothing default.
#include "foundation/trace.h"

int TraceNone(const char16_t*, ...) {
    return 0;
}

TraceFunction TraceOutput = TraceNone;
