// The application's commands, one row each: the id (res/resource.h), the handler that runs
// it, what it needs to be enabled, whether it reads the log (then it is greyed and refused
// while a background job runs), and whether the frame's menus hold it. Dispatch, the menu
// and toolbar state and the layout check's list of menu commands all come from this table:
// a new command is an id, its menu rows and one row here (and its handler).
#pragma once

#include "res/resource.h"

// What a command needs to be enabled.
enum class CNeeds {
    kNothing,     // its state is never changed
    kNoLog,       // no log is open (Open)
    kLog,         // a log is open
    kSelection,   // the active view has a selection
    kLines,       // the active view has its rows
    kMarkers,     // the active view has rows and markers
    kStamps,      // the active view has rows with time stamps
    kErrorLines,  // the active view has rows and the log has error lines
    kSlowRows,    // the active view has stamped rows and the interval check is on
    kFollowable,  // no log is open, or one that can be followed (not a compressed one)
    kMerged,      // logs are open merged into one view, and merged
    kNever,       // shown, always greyed
};

// X(id, handler, needs, readsLog, inMenu)
#define QUILLON_COMMANDS(X)                                                  \
    X(IDM_OPEN_LOG, OpenLog, kNoLog, true, true)                             \
    X(IDM_OPEN_MERGED, OpenMerged, kNoLog, true, true)                       \
    X(IDM_OPEN_ROTATED, OpenRotated, kNoLog, true, true)                     \
    X(IDM_CLOSE, CloseLog, kLog, false, true)                                \
    X(IDM_SAVE_ROWS, SaveRows, kLines, true, true)                           \
    X(IDM_CLOSE_ALL, CloseLog, kNothing, false, true)                        \
    X(IDM_EXIT, Base, kNothing, false, true)                                 \
    X(IDM_RECENT_1, OpenRecent, kNothing, true, false)                       \
    X(IDM_RECENT_2, OpenRecent, kNothing, true, false)                       \
    X(IDM_RECENT_3, OpenRecent, kNothing, true, false)                       \
    X(IDM_RECENT_4, OpenRecent, kNothing, true, false)                       \
    X(IDM_RECENT_5, OpenRecent, kNothing, true, false)                       \
    X(IDM_RECENT_6, OpenRecent, kNothing, true, false)                       \
    X(IDM_RECENT_7, OpenRecent, kNothing, true, false)                       \
    X(IDM_RECENT_8, OpenRecent, kNothing, true, false)                       \
    X(IDM_RECENT_9, OpenRecent, kNothing, true, false)                       \
    X(IDM_RECENT_10, OpenRecent, kNothing, true, false)                      \
    X(IDM_COPY, Copy, kSelection, true, true)                                \
    X(IDM_SELECT_ALL, SelectAll, kLines, true, true)                         \
    X(IDM_SAVE_CSV, SaveCsv, kNothing, false, false)                         \
    X(IDM_COMPARE, Compare, kNothing, false, false)                          \
    X(IDM_PRINT, Nothing, kNever, false, false)                              \
    X(IDM_RESERVED, Nothing, kNever, false, false)                           \
    X(IDM_FOLLOW, Follow, kFollowable, false, true)                          \
    X(IDM_OVERVIEW, Overview, kNothing, false, true)                         \
    X(IDM_TIMELINE, Timeline, kLines, true, true)                            \
    X(IDM_WRAP_LINES, WrapLines, kNothing, false, true)                      \
    X(IDM_LOG_TIME_OFFSET, LogTimeOffset, kMerged, true, true)               \
    X(IDM_DARK_THEME_OFF, DarkTheme, kNothing, false, true)                  \
    X(IDM_DARK_THEME_ON, DarkTheme, kNothing, false, true)                   \
    X(IDM_DARK_THEME_SYSTEM, DarkTheme, kNothing, false, true)               \
    X(IDC_ENCODING_COMBO, CodePage, kNothing, false, false)                  \
    X(IDM_SETTING_HIGHLIGHT, EditKeywords, kNothing, true, true)             \
    X(IDM_SETTING, EditSettings, kNothing, false, true)                      \
    X(IDM_SEARCH, Search, kLines, true, true)                                \
    X(IDM_SEARCH_PREVIOUS, SearchPrevious, kLines, true, true)               \
    X(IDM_SEARCH_NEXT, SearchNext, kLines, true, true)                       \
    X(IDM_SELECTION_SEARCH_PREVIOUS, SelectionSearch, kNothing, true, false) \
    X(IDM_SELECTION_SEARCH_NEXT, SelectionSearch, kNothing, true, false)     \
    X(IDM_HIGHLIGHT_SEARCH, HighlightSearch, kLines, true, true)             \
    X(IDM_EXTRACTION, Extraction, kLines, true, true)                        \
    X(IDM_SELECTION_EXTRACTION, SelectionExtraction, kNothing, true, false)  \
    X(IDM_ERROR_LOG, ErrorLog, kLines, true, true)                           \
    X(IDM_HIDE_ROWS, HideRows, kLines, true, true)                           \
    X(IDM_JUMP_TOP, JumpTop, kLines, true, true)                             \
    X(IDM_JUMP_END, JumpEnd, kLines, true, true)                             \
    X(IDM_JUMP, Jump, kLines, true, true)                                    \
    X(IDM_MARKER_TOGGLE, ToggleMarker, kLines, true, true)                   \
    X(IDM_MARKER_PREVIOUS, PreviousMarker, kMarkers, true, true)             \
    X(IDM_MARKER_NEXT, NextMarker, kMarkers, true, true)                     \
    X(IDM_MARKER_CLEAR_ALL, ClearMarkers, kMarkers, true, true)              \
    X(IDM_MARKER_LIST, MarkerList, kMarkers, true, true)                     \
    X(IDM_JUMP_TIME, JumpTime, kStamps, true, true)                          \
    X(IDM_ERROR_NEXT, NextError, kErrorLines, true, true)                    \
    X(IDM_ERROR_PREVIOUS, PreviousError, kErrorLines, true, true)            \
    X(IDM_SLOW_NEXT, NextSlow, kSlowRows, true, true)                        \
    X(IDM_SLOW_PREVIOUS, PreviousSlow, kSlowRows, true, true)                \
    X(IDM_CLOSE_VIEW, CloseView, kNothing, false, false)                     \
    X(IDM_LABEL_1, ColorLabel, kSelection, true, false)                      \
    X(IDM_LABEL_2, ColorLabel, kSelection, true, false)                      \
    X(IDM_LABEL_3, ColorLabel, kSelection, true, false)                      \
    X(IDM_LABEL_4, ColorLabel, kSelection, true, false)                      \
    X(IDM_LABEL_5, ColorLabel, kSelection, true, false)                      \
    X(IDM_LABEL_6, ColorLabel, kSelection, true, false)                      \
    X(IDM_LABEL_7, ColorLabel, kSelection, true, false)                      \
    X(IDM_LABEL_8, ColorLabel, kSelection, true, false)                      \
    X(IDM_LABEL_9, ColorLabel, kSelection, true, false)                      \
    X(IDM_LABEL_CLEAR, ClearLabels, kNothing, false, false)                  \
    X(IDM_TOOLBAR, Base, kNothing, false, true)                              \
    X(IDM_STATUSBAR, Base, kNothing, false, true)                            \
    X(IDM_TILE_HORIZONTAL, Base, kNothing, false, true)                      \
    X(IDM_TILE_VERTICAL, Base, kNothing, false, true)                        \
    X(IDM_CASCADE, Base, kNothing, false, true)                              \
    X(IDM_HELP, Base, kNothing, false, true)                                 \
    X(IDM_LANGUAGE, Base, kNothing, false, true)                             \
    X(IDM_ABOUT, Base, kNothing, false, true)

// The ids of the commands that the frame's menus hold, each once in each language.
#define QUILLON_MENU_COMMAND_ID(id, handler, needs, readsLog, inMenu) inMenu ? id : 0,
inline constexpr int kMenuCommandIds[] = {QUILLON_COMMANDS(QUILLON_MENU_COMMAND_ID)};
#undef QUILLON_MENU_COMMAND_ID

class CAppMain;
class CLogView;

struct CCommand {
    int id;
    // Runs the command on the application and its active view (null when none).
    void (*run)(CAppMain& app, CLogView* view, int id, int code);
    CNeeds needs;
    bool readsLog;
};

// What the commands' state is derived from.
struct CCommandState {
    bool logOpen = false;     // a log file is open
    bool viewOpen = false;    // it has its view
    bool lines = false;       // the active view has its rows
    bool markers = false;     // ... and markers
    bool selection = false;   // the active view has a selection
    bool stamps = false;      // the active view's rows have time stamps
    bool errorLines = false;  // the log has error lines
    bool intervalCheck = false;
    bool followable = true;  // no log is open, or it can be followed
    bool merged = false;     // logs are open merged into one view
    bool busy = false;       // a job that is not quiet runs in the background
};

// The row of id, or null.
const CCommand* FindCommand(int id);
// Whether the command is enabled in state.
bool IsEnabledIn(const CCommand& command, const CCommandState& state);
// Calls f(command) for every row.
template <typename F>
void ForEachCommand(F f);

extern const CCommand kCommands[];
extern const int kCommandCount;

template <typename F>
void ForEachCommand(F f) {
    for (int i = 0; i < kCommandCount; ++i) f(kCommands[i]);
}
