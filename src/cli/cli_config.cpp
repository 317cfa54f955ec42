// Configuration for quillon-cli: the viewer's search for "quillon.ini" without its start-up
// side effects (the viewer also creates its per-user folder; the console tool writes nothing).
#include "cli_config.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "config/folders.h"
#include "document/file.h"
#include "document/zip_directory.h"
#include "foundation/convert.h"

namespace {

// The UTF-16 form of a UTF-8 path, freed with std::free.
char16_t* WidePath(const char* path) { return MultiByteToWideAlloc(path, -1, kCodePageUtf8); }

bool Opens(const char16_t* path) {
    CFile probe;
    return probe.Open(path) != 0;
}

// The viewer's settings file: the current folder's when it opens, else the program's.
void ViewerSettingsPath(CAppParameter* config, char16_t* out, int capacity) {
    char16_t name[32] = {kPathSeparator, 0};
    AppendPath(name, 32, u"quillon.ini");
    CopyPath(out, capacity, config->m_currentFolder.GetWideOrEmpty());
    AppendPath(out, capacity, name);
    if (Opens(out)) return;
    CopyPath(out, capacity, config->m_appFolder.GetWideOrEmpty());
    AppendPath(out, capacity, name);
}

}  // namespace

int CheckReadable(const char* path, const char** reason) {
    char16_t* wide = WidePath(path);
    bool ok = wide != nullptr && Opens(wide);
    std::free(wide);
    if (ok) return 1;
    std::error_code ec;
    std::filesystem::file_status status = std::filesystem::status(std::filesystem::u8path(path), ec);
    if (status.type() == std::filesystem::file_type::not_found) {
        *reason = "no such file";
    } else if (status.type() == std::filesystem::file_type::directory) {
        *reason = "it is a folder";
    } else {
        *reason = "it cannot be read";
    }
    return 0;
}

int LoadCliConfiguration(const CCliOptions& o, CAppParameter* config, char* error, size_t capacity) {
    const char* reason = "";
    if (o.settingsFile != nullptr && !CheckReadable(o.settingsFile, &reason)) {
        std::snprintf(error, capacity, "cannot open settings file '%s': %s", o.settingsFile, reason);
        return 0;
    }
    if (o.keywordsFile != nullptr && !CheckReadable(o.keywordsFile, &reason)) {
        std::snprintf(error, capacity, "cannot open keyword file '%s': %s", o.keywordsFile, reason);
        return 0;
    }
    char16_t path[kMaxPath] = {};
    bool haveSettings = true;
    if (o.settingsFile != nullptr) {
        char16_t* wide = WidePath(o.settingsFile);
        if (wide != nullptr) CopyPath(path, kMaxPath, wide);
        std::free(wide);
    } else if (!o.noConfig) {
        ViewerSettingsPath(config, path, kMaxPath);
    } else {
        haveSettings = false;
    }
    if (haveSettings) {
        config->m_settingsFile.AssignWide(path, -1);
        if (!o.noConfig && o.keywordsFile == nullptr) {
            config->Load();  // the settings, then the keyword file beside the viewer's current folder
        } else {
            config->CCommConfig::Load();
        }
    }
    if (o.keywordsFile != nullptr) {
        char16_t* wide = WidePath(o.keywordsFile);
        if (wide != nullptr) config->m_keywords.LoadFile(wide);
        std::free(wide);
    }
    return 1;
}

const char* UnpackErrorText(CUnpackError error) {
    switch (error) {
        case CUnpackError::kTruncated:
            return "its compressed data ends early";
        case CUnpackError::kCorrupt:
            return "its compressed data is damaged";
        case CUnpackError::kBadCheck:
            return "its data fails its check (CRC-32 or length)";
        case CUnpackError::kUnsupported:
            return "the zip entry uses a compression method or an encryption that is not supported";
        case CUnpackError::kTooLarge:
            return "the zip entry declares a size its compressed bytes cannot hold";
        case CUnpackError::kBadArchive:
            return "the zip archive's directory cannot be read";
        case CUnpackError::kNoEntry:
            return "the zip archive has no such entry";
        case CUnpackError::kNoMemory:
            return "not enough memory to decompress it";
        case CUnpackError::kReadFailed:
            return "it cannot be read";
        default:
            return "";
    }
}

int EntryOf(CFile* file, const char* entry) {
    if (entry == nullptr) return -1;
    CZipDirectory directory;
    unsigned char head[4] = {};
    uint32_t got = file->ReadPacked(head, sizeof head, 0);
    if (SniffPackedFormat(head, got) != CPackedFormat::kZipDeflate || !directory.Read(file)) return -1;
    int index = directory.Find(entry);
    if (index >= 0) return index;
    char* end = nullptr;
    long number = std::strtol(entry, &end, 10);
    if (end != entry && *end == 0 && number >= 1 && number <= directory.Count()) return static_cast<int>(number - 1);
    return -2;
}

void PrintPackedInfo(CFile& file, const char* entry) {
    static const char* const kFormats[] = {"", "gzip", "zip, deflate", "zip, stored"};
    if (!file.IsPacked()) return;
    std::printf("compressed\t%s\ncompressed size\t%llu\n", kFormats[static_cast<int>(file.PackedFormat())],
                static_cast<unsigned long long>(file.PackedSize()));
    if (file.PackedFormat() != CPackedFormat::kGzip) {
        CZipDirectory directory;
        int index = EntryOf(&file, entry);
        if (directory.Read(&file) && directory.Count() > 0) {
            if (index < 0) index = 0;
            std::printf("entry\t%s (%d of %d)\n", directory.Name(index), index + 1, directory.Count());
        }
    }
    if (file.UnpackError() != CUnpackError::kNone) {
        std::printf("incomplete\t%s\n", UnpackErrorText(file.UnpackError()));
    }
}
