// Sample content for the previewed dialogs: the longest texts the program puts into their
// controls, so that screenshots and the layout check see the dialogs as users do.
#pragma once

#include <windows.h>

// Fills the controls of a dialog created from the template id (Japanese or English).
void FillSampleContent(HWND dialog, int templateId);

// Draws an owner-drawn colour button of the colour page; returns false for other items.
bool DrawSampleColorButton(const DRAWITEMSTRUCT* item);

// Frees what FillSampleContent created for the dialog (the preview font).
void ReleaseSampleContent(HWND dialog);
