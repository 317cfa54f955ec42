// The factory colour tables and the colour names (their texts are in config/ui_text).
#pragma once

#include "config/comm_config.h"

// CCommConfig alone: 2 entries, 2 names.
extern const CColorEntry kBaseColors[2];
extern const CColorName kBaseColorNames[2];
// CAppParameter: 23 entries, 17 names (in the settings dialog's order).
extern const CColorEntry kAppColors[23];
extern const CColorName kAppColorNames[17];
