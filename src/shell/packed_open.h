// Compressed logs in the viewer: reading a log as the uncompressed bytes it holds (with the
// choice of a zip archive's file), and what the status bar and the message boxes say of it.
// UI thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "document/packed_format.h"

class CAppMain;
class CFile;

// A byte count as the status bar and the choice of a file show it: "512 B", "1.2 MB" (units
// of 1024, one decimal, cut rather than rounded). Always NUL-terminated within capacity.
void FormatByteSize(uint64_t bytes, char16_t* out, int capacity);

// Makes file, just opened, read as the log it holds: a zip archive of several files asks over
// owner which one. 1 when it reads (a plain file as it is); 0 when the choice was cancelled,
// or after a message box over owner that says why it cannot be read (the caller closes it).
int UnpackForViewing(HWND owner, CFile* file);

// The status bar's note of a compressed log: its format and both sizes (the uncompressed one
// once known), or that its data ended early at a damage; empty for a plain log.
std::u16string PackedStatusText(const CFile& file);
// Shows it in the status bar's follow part for the open log; while follow mode is on, a log
// read whole shows why it is not followed instead. Nothing for a plain log.
void ShowPackedStatus(CAppMain& app);

// The message box over owner after a load that met damage: what is wrong, after the log's
// name when given (a log of a merged set).
void ReportDamage(HWND owner, CUnpackError damage, const char16_t* name = nullptr);
