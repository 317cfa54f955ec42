// The Follow command and the toolbar's code-page box.
#pragma once

class CAppMain;

// Follow on or off (kept in the settings); on, the first view's log is polled.
void ToggleFollow(CAppMain& app);
// The code-page box changed (code: its notification): the choice is kept in the settings
// and the open log is decoded with it.
void ChooseEncoding(CAppMain& app, int code);
