// DXF files of the host's drawing database: whole drawings written as ASCII DXF R2000
// (AC1015) and read back from R2000 or later. install() hands the reader and writer
// to the database, so that AcDbDatabase::dxfIn, dxfOut, readDwgFile and saveAs use
// them; the host calls it once at start-up.
#pragma once
#include <string>
#include <string_view>

#include "dbmain.h"

namespace tabrik::dxf {

void install();

// The drawing as DXF text (LF line ends, ASCII; other characters as \U+XXXX).
Acad::ErrorStatus writeDrawing(AcDbDatabase* database, std::string& text);
// Reads a DXF drawing into a database made with buildDefaultDrawing false. On a
// malformed file the result is eDwgNotRecoverable (or eBadDxfSequence) and `message`
// says where and why; the database is then left with what was read.
Acad::ErrorStatus readDrawing(AcDbDatabase* database, std::string_view text,
                              std::wstring* message = nullptr);

Acad::ErrorStatus writeFile(AcDbDatabase* database, const std::wstring& path);
Acad::ErrorStatus readFile(AcDbDatabase* database, const std::wstring& path,
                           std::wstring* message = nullptr);

}  // namespace tabrik::dxf
