// The process-wide debug trace output: a wide printf-style function pointer.
// Windows: start-up points it at "tracewprintf" of the optional "tracelib64.dll" that lies
// beside the executable.
// POSIX: there is no library; a front end may point it at its own function.
// Written only at start-up and exit; called from the UI and the worker thread.
#pragma once

using TraceFunction = int (*)(const char16_t* format, ...);

int TraceNone(const char16_t* format, ...);
extern TraceFunction TraceOutput;

// Loads the trace library from the program's own folder, and only from there, and points
// TraceOutput at its export; returns 1 when found. It first takes the current folder out of
// the process's library search, so a library planted there is never loaded by name.
int LoadTraceLibrary();
// Points TraceOutput back at TraceNone, then releases the library.
void ReleaseTraceLibrary();

// The trace library's full path: the folder of exePath, a full path of the executable ('\\'
// and '/' both separate), then "tracelib64.dll". 1, or 0 with out empty when exePath is not
// a full path or the result does not fit in capacity units.
int TraceLibraryPath(const char16_t* exePath, char16_t* out, int capacity);
