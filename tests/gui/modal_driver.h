// Drives modal dialogs from inside their own message loops: a thread timer waits for the
// dialog that an action opens over a given owner and hands it to a body, which may in
// turn open dialogs of its own (the edit dialog over the keyword list, a file dialog).
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Runs action; when a visible dialog owned by owner appears (owner null: any dialog of
// this thread), body gets it and must end it. A dialog that body leaves open is
// cancelled. Returns true when such a dialog was seen.
bool OnDialogOver(HWND owner, const std::function<void()>& action, const std::function<void(HWND)>& body);

// Presses a dialog's button as a click would (BN_CLICKED from the control).
void ClickButton(HWND dialog, int id);
// Picks a row of a list box or combo box in a dialog and notifies the dialog.
void PickListRow(HWND dialog, int id, int row);
std::wstring ControlText(HWND dialog, int id);
// Chooses path in a file dialog of this system and confirms it.
void ConfirmFileDialog(HWND fileDialog, const std::wstring& path);
// Sets the colour in a colour chooser and confirms it.
void ConfirmColorDialog(HWND colorDialog, COLORREF color);
