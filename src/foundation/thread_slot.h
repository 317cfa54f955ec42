// CThreadSlot: one object per thread, made at the thread's first Get and deleted when that
// thread ends. Objects with destructors cannot simply be thread_local: MinGW frees their
// storage before it runs their destructors, which then read freed memory.
// Windows: fiber-local storage with a callback; POSIX: a pthread key with a destructor.
// A slot lives as long as the process (the object of a thread still running at exit stays).
#pragma once

class CThreadOwned {
public:
    CThreadOwned() = default;
    virtual ~CThreadOwned() = default;
    CThreadOwned(const CThreadOwned&) = delete;
    CThreadOwned& operator=(const CThreadOwned&) = delete;
};

class CThreadSlot {
public:
    // Makes the calling thread's object; null when it cannot be had.
    using Make = CThreadOwned* (*)();

    explicit CThreadSlot(Make make);
    CThreadSlot(const CThreadSlot&) = delete;
    CThreadSlot& operator=(const CThreadSlot&) = delete;

    // The calling thread's object, or null when it (or the slot) could not be made.
    CThreadOwned* Get() const;

private:
    Make m_make;
    unsigned long m_key = 0;  // the platform's index of the slot
    bool m_valid = false;
};
