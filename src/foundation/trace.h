// The process-wide debug trace output: a wide printf-style function pointer.
// Windows: start-up points it at "tracewprintf" of the optional "tracelib64.dll".
// POSIX: there is no library; a front end may point it at its own function.
// Written only at start-up and exit; called from the UI and the worker thread.
#pragma once

using TraceFunction = int (*)(const char16_t* format, ...);

int TraceNone(const char16_t* format, ...);
extern TraceFunction TraceOutput;

// Loads the trace library and points TraceOutput at its export; returns 1 when found.
int LoadTraceLibrary();
// Points TraceOutput back at TraceNone, then releases the library.
void ReleaseTraceLibrary();
