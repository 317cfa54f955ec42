// CLogFile::Load: the loader as the application's worker thread runs it, with the inputs
// the application copied for it when it asked for the load.
#include "document/log_file.h"
#include "loader/log_loader.h"

std::unique_ptr<CLogLineList> CLogFile::Load(unsigned codePage, const CKeywordSet* keywords,
                                             CProgressListener* listener, const std::atomic<int>* cancel,
                                             const CStampRules* stamps, CStampCount* stampCount,
                                             CLoadResult* result) {
    CLoadRequest request;
    request.codePage = codePage;
    request.keywords = keywords;
    request.listener = listener;
    request.cancel = cancel;
    request.result = result;
    request.stamps = stamps;
    request.stampCount = stampCount;
    return LoadLogLines(this, request, &m_errorLines);
}
