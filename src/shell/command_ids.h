// The shell's lists of commands, by the ids of res/resource.h.
#pragma once

#include "res/resource.h"

// Commands that read the log or change its views: greyed and refused while a background job runs.
inline constexpr int kLogCommands[] = {
    IDM_OPEN_LOG, IDM_COPY, IDM_SEARCH, IDM_SEARCH_PREVIOUS, IDM_SEARCH_NEXT, IDM_HIGHLIGHT_SEARCH, IDM_EXTRACTION,
    IDM_ERROR_LOG, IDM_JUMP_TOP, IDM_JUMP_END, IDM_JUMP, IDM_MARKER_TOGGLE, IDM_MARKER_PREVIOUS, IDM_MARKER_NEXT,
    IDM_MARKER_CLEAR_ALL, IDM_MARKER_LIST, IDM_SELECTION_SEARCH_PREVIOUS, IDM_SELECTION_SEARCH_NEXT,
    IDM_SELECTION_EXTRACTION, IDM_SETTING_HIGHLIGHT, IDM_SELECT_ALL};

inline bool IsLogCommand(int id) {
    for (int command : kLogCommands) {
        if (command == id) return true;
    }
    return false;
}
