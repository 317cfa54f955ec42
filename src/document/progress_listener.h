// CProgressListener: what a long operation (loading, a scan over many lines) reports its
// progress to. Called on the thread that runs the operation, never from a helper thread.
#pragma once

#include <cstdint>

class CProgressListener {
public:
    virtual ~CProgressListener() = default;
    // position of total units done (bytes for a load, rows for a scan); position <= total.
    virtual void OnProgress(uint64_t position, uint64_t total) = 0;
};
