// quillon-cli --merge: several logs indexed as the viewer does, merged into one view ordered
// by time (merge/log_merge.h), and the commands over it; each row printed after its log's name.
#pragma once

#include "cli_options.h"
#include "config/app_parameter.h"
#include "stamps/stamp_rules.h"

// What the console settled before the logs are opened.
struct CMergeSettings {
    const CCliOptions* options = nullptr;
    CAppParameter* config = nullptr;
    const CStampRules* stampRules = nullptr;
    bool hideEscapes = false;
    bool showProgress = false;
    int checkOn = 0;
    int32_t threshold = 0;
};

// Runs the command on the merged logs; the exit status, as RunCli.
int RunMergedCommand(const CMergeSettings& settings);
