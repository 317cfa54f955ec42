// Whole-file reading and saving of XML documents, shared by the settings and keyword files.
// Paths are UTF-16. Saving never truncates the old file: the document is written to
// "<path>.tmp" in the same folder, flushed, and then moved over the old file in one step.
#pragma once

#include <cstdint>

#include "xml/xml.h"

// Reads the file whole (one read of its size) and parses it with xml. Returns the first
// top-level element (the caller frees it with CXml::FreeElements), or null when the file
// cannot be opened, is empty or larger than 2 GiB, cannot be read whole, or does not parse.
CXmlElement* LoadXmlFile(CXml& xml, const char16_t* path);

// Writes length bytes to path through the temporary file. 1 when every byte was written,
// flushed and the file replaced, or when the file already holds exactly these bytes (it is
// then not touched); 0 otherwise, with the old file unchanged and no temporary file left behind.
int SaveBytesAtomic(const char16_t* path, const char* bytes, uint32_t length);

// CXml::Write of first, then SaveBytesAtomic. 1 or 0.
int SaveXmlFile(CXml& xml, CXmlElement* first, const char16_t* path);
