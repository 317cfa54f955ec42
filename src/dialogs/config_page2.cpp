// The empty second settings page: it only records that it was applied.
#include "dialogs/config_page2.h"

QUILLON_DIALOG_BINDING(CConfigPage2)

void CConfigPage2::OnApply(HWND) { m_applied = 1; }
