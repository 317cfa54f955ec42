// CHelperThread on Win32 threads.
#include <windows.h>

#include "document/helper_thread.h"

bool g_helperThreadsRefused = false;

struct CHelperThreadEntry {
    static DWORD WINAPI Run(LPVOID self) {
        auto* t = static_cast<CHelperThread*>(self);
        t->m_function(t->m_context);
        return 0;
    }
};

CHelperThread::~CHelperThread() { Join(); }

int CHelperThread::Start(Function function, void* context) {
    if (m_thread != nullptr || function == nullptr || g_helperThreadsRefused) return 0;
    m_function = function;
    m_context = context;
    HANDLE handle = CreateThread(nullptr, 0, CHelperThreadEntry::Run, this, 0, nullptr);
    if (handle == nullptr) return 0;
    m_thread = handle;
    return 1;
}

void CHelperThread::Join() {
    if (m_thread == nullptr) return;
    WaitForSingleObject(static_cast<HANDLE>(m_thread), INFINITE);
    CloseHandle(static_cast<HANDLE>(m_thread));
    m_thread = nullptr;
}

int CHelperThread::ProcessorCount() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 0 ? static_cast<int>(info.dwNumberOfProcessors) : 1;
}
