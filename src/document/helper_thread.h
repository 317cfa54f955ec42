// CHelperThread: one extra thread that a long operation starts to use a second core.
// Windows: CreateThread and WaitForSingleObject; POSIX: a pool of threads, each reused by
// the next Start once it has been joined.
// The function runs once with its context; Join waits for it (the destructor joins too).
#pragma once

class CHelperThread {
public:
    using Function = void (*)(void* context);

    CHelperThread() = default;
    ~CHelperThread();
    CHelperThread(const CHelperThread&) = delete;
    CHelperThread& operator=(const CHelperThread&) = delete;

    // 1 when the thread runs, 0 when it could not be started (the caller does the work itself).
    int Start(Function function, void* context);
    // Waits until the function has returned; does nothing when no thread runs.
    void Join();

    // How many threads the machine runs at once (at least 1).
    static int ProcessorCount();

private:
    void* m_thread = nullptr;  // the platform's thread object, owned
    Function m_function = nullptr;
    void* m_context = nullptr;

    friend struct CHelperThreadEntry;
};

// Test hook: while set, Start refuses as when the system can start no thread, and the
// callers do the work on their own thread (in a fixed order, which a fuzzer replays).
extern bool g_helperThreadsRefused;
