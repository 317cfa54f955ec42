// CProgressDialog: the modal dialog shown while a background job runs (a load, or a scan
// that lasts): a progress bar and a text with what is done so far. UI thread only (the
// runner's progress arrives as posted messages). Cancel asks the job to stop at its next block.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "dialogs/dialog.h"
#include "shell/scan_worker.h"

class CProgressDialog : public CDialog {
    QUILLON_DIALOG_DECLARE(CProgressDialog)

public:
    // The flag that Cancel sets; the loader reads it between blocks. May be null.
    void SetCancelFlag(std::atomic<int>* flag) { m_cancelFlag = flag; }

    void OnInitDialog(HWND window) override;
    int OnOK(HWND window) override;
    int OnCancel(HWND window) override;

    // What the next Run shows: the caption and the unit of the text (bytes for a load, rows
    // for a scan).
    void SetKind(CScanKind kind) { m_kind = kind; }
    // Bar and text for position of total; nothing while the dialog has no window.
    void SetProgress(uint64_t position, uint64_t total);
    // Runs the dialog modally over owner (template 1002, or 1102 in English); returns its result.
    INT_PTR Run(HWND owner);
    // Ends the dialog if it is showing (result 0).
    void Close();
    // The dialog's window while it runs, else null.
    HWND Window() const { return m_shown.load(); }

private:
    void Forget();

    std::atomic<int>* m_cancelFlag = nullptr;
    CScanKind m_kind = CScanKind::kLoad;
    // The window as the worker sees it: set on WM_INITDIALOG, cleared before the dialog ends.
    std::atomic<HWND> m_shown{nullptr};
};
