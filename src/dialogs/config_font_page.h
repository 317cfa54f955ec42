// CConfigFontPage: the settings sheet's font page: the fixed-pitch face list, the size
// list of the chosen face and a preview. The face and size are a working copy that
// OnApply writes into the configuration. Owns its preview font.
#pragma once

#include <cstdint>

#include "dialogs/dialog.h"

constexpr int kFaceNameCapacity = 32;  // LF_FACESIZE: 31 characters and the terminator

class CConfigFontPage : public CPropertyPage {
    QUILLON_DIALOG_DECLARE(CConfigFontPage)
    ~CConfigFontPage() override;
    void OnInitDialog(HWND window) override;
    void OnCommand(HWND window, int id, int code) override;
    // Writes the face and size into the configuration and saves it.
    void OnApply(HWND window) override;

    // Takes the face name (at most 31 characters are kept).
    void SetFaceName(const char16_t* face);
    // Fills the size list for the page's face: 10..20 in steps of 2 for a scalable face,
    // the face's own heights for a raster face; selects the first size not below m_size.
    void FillSizeList();
    // Makes the preview font from the face and size and gives it to the preview text.
    void UpdatePreview();

    char16_t m_faceName[kFaceNameCapacity] = {};
    int32_t m_size = 0;
    HFONT m_previewFont = nullptr;
    int32_t m_applied = 0;

private:
    void FillFaceList();
};
