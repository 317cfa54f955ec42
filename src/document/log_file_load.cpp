// CLogFile::Load: the loader with its inputs taken from the configuration, as the
// application's worker thread runs it.
#include "config/app_parameter.h"
#include "document/log_file.h"
#include "document/log_loader.h"

CLogLineList* CLogFile::Load(CProgressListener* listener, const std::atomic<int>* cancel) {
    CLoadRequest request;
    const CAppParameter* config = GetAppParameter();
    if (config != nullptr) {
        request.codePage = config->m_codePage;
        request.keywords = &config->Keywords();
    }
    request.listener = listener;
    request.cancel = cancel;
    return LoadLogLines(this, request, &m_errorLines);
}
