// Opening compressed logs: the zip file choice, the refusals and the notes about them.
#include "shell/packed_open.h"

#include "config/app_parameter.h"
#include "config/ui_text.h"
#include "document/file.h"
#include "document/zip_directory.h"
#include "foundation/format.h"
#include "foundation/wide.h"
#include "res/resource.h"
#include "shell/app_main.h"
#include "shell/zip_entry_dialog.h"

namespace {

// The entry of a zip archive of several files that the user picks: its index, -1 for an
// archive of one file (or any other file), or -2 when the choice was cancelled.
int ChooseEntry(HWND owner, CFile* file) {
    unsigned char head[4] = {};
    uint32_t got = file->ReadPacked(head, sizeof head, 0);
    if (SniffPackedFormat(head, got) != CPackedFormat::kZipDeflate) return -1;
    // A directory that cannot be read is reported by Unpack.
    CZipDirectory directory;
    if (!directory.Read(file) || directory.Count() < 2) return -1;
    CZipEntryDialog dialog;
    dialog.m_directory = &directory;
    return RunDialog(dialog, IDD_ZIP_ENTRY_JA, owner) == 1 ? dialog.m_choice : -2;
}

const char16_t* FormatName(CPackedFormat format) { return format == CPackedFormat::kGzip ? u"gzip" : u"zip"; }

}  // namespace

void FormatByteSize(uint64_t bytes, char16_t* out, int capacity) {
    static const char16_t* const kUnits[] = {u"KB", u"MB", u"GB", u"TB", u"PB", u"EB"};
    if (bytes < 1024) {
        FormatString(out, capacity, u"%llu B", static_cast<unsigned long long>(bytes));
        return;
    }
    int unit = 0;
    uint64_t scale = 1024;
    while (unit + 1 < 6 && bytes / scale >= 1024) {
        scale *= 1024;
        ++unit;
    }
    uint64_t whole = bytes / scale;
    auto tenths = static_cast<unsigned>((bytes % scale) * 10 / scale);
    FormatString(out, capacity, u"%llu.%u %s", static_cast<unsigned long long>(whole), tenths, kUnits[unit]);
}

int UnpackForViewing(HWND owner, CFile* file) {
    int entry = ChooseEntry(owner, file);
    if (entry == -2) return 0;
    if (file->Unpack(entry)) return 1;
    MessageBoxW(owner, W(UiText(UnpackErrorTextId(file->UnpackError()))), W(UiText(TextId::kUnpackCaption)),
                MB_OK | MB_ICONWARNING);
    return 0;
}

std::u16string PackedStatusText(const CFile& file) {
    if (!file.IsPacked()) return std::u16string();
    if (file.UnpackError() != CUnpackError::kNone) return UiText(TextId::kPackedIncompleteStatus);
    char16_t packed[32];
    char16_t unpacked[32] = u"?";
    FormatByteSize(file.PackedSize(), packed, 32);
    if (file.SizeKnown()) FormatByteSize(file.Size(), unpacked, 32);
    char16_t text[160];
    FormatString(text, 160, UiText(TextId::kPackedStatusFormat), FormatName(file.PackedFormat()), packed, unpacked);
    return text;
}

void ShowPackedStatus(CAppMain& app) {
    CLogFile& file = app.LogFile();
    if (!file.IsPacked()) return;
    // One text fits the part: that the rows are not the whole log comes first, then why
    // follow mode does nothing.
    bool damaged = file.UnpackError() != CUnpackError::kNone;
    std::u16string text = PackedStatusText(file);
    if (!damaged && AppConfig().m_follow != 0) text = UiText(TextId::kFollowPacked);
    app.Follower().ShowStatus(text.c_str());
}

void ReportDamage(HWND owner, CUnpackError damage, const char16_t* name) {
    std::u16string text = UiText(UnpackErrorTextId(damage));
    if (name != nullptr) text = std::u16string(name) + u": " + text;
    MessageBoxW(owner, W(text.c_str()), W(UiText(TextId::kUnpackCaption)), MB_OK | MB_ICONWARNING);
}
