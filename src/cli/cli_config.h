// What quillon-cli reads of the viewer's configuration, and how it names a file that
// cannot be opened. It never writes a file.
#pragma once

#include <cstddef>

#include "cli_options.h"
#include "config/app_parameter.h"
#include "document/file.h"
#include "document/packed_format.h"

// Fills config from the files the viewer would read ("quillon.ini" in the current folder,
// else in the program's folder; then, when that was read, "keyword_default.xml" in the
// current folder), or from the files named with --settings / --keywords, or from nothing
// with --no-config. Returns 1, or 0 with a one-line message in error when a named file
// cannot be opened.
int LoadCliConfiguration(const CCliOptions& options, CAppParameter* config, char* error, size_t capacity);

// 1 when the UTF-8 path opens for reading; otherwise 0 with the reason ("no such file", ...).
int CheckReadable(const char* path, const char** reason);

// Why a compressed log cannot be read (whole), for a message.
const char* UnpackErrorText(CUnpackError error);
// The entry of the zip archive that file holds (not unpacked yet) that --entry names (its
// name, or its number from 1): its index; -1 for the default (no --entry, or no archive);
// -2 when the archive has no such entry.
int EntryOf(CFile* file, const char* entry);
// The info lines of a compressed log: its format and compressed size, the zip entry, and the
// damage that ended it. Nothing for a plain log.
void PrintPackedInfo(CFile& file, const char* entry);
