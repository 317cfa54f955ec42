// The dialog templates of the resources and the controls each must hold, for the preview
// and its layout check. Ids are the Japanese ones; the English twin adds IDD_EN_OFFSET.
#pragma once

struct ExpectedControl {
    int id;
    const wchar_t* className;  // window class, compared without case
};

struct TemplateInfo {
    int id;            // Japanese template id
    const char* name;  // for messages
    bool page;         // a property-sheet page (child dialog)
    const ExpectedControl* controls;
    int controlCount;
};

extern const TemplateInfo kTemplates[];
extern const int kTemplateCount;

// Null when the id (Japanese or English) is not a dialog template of the resources.
const TemplateInfo* FindTemplate(int id);

// True for an English template id.
inline bool IsEnglishTemplate(int id) { return (id % 1000) / 100 == 1; }
