// LoadLogFile: the loader as the application's worker thread runs it, on the open log file
// whose error-line list it fills.
#include "document/log_file.h"
#include "loader/log_loader.h"

std::unique_ptr<CLogLineList> LoadLogFile(CLogFile* file, const CLoadRequest& request) {
    return LoadLogLines(file, request, &file->ErrorLines());
}
