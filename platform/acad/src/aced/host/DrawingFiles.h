// Opening and saving drawings as files: DXF in and out through the drawing
// database, with the editor's save notifications.
#pragma once
#include <string>

namespace tabrik::acad {

class Document;

// Opens the file as a new active document named by the path; nullptr (and a
// diagnostic on standard error) when it cannot be read.
Document* openDrawingFile(const std::wstring& path);
// Writes the document's drawing as DXF to path, renames the document after it and
// lets the editor reactors hear the save. False (with a diagnostic) on failure.
bool saveDrawingAs(Document& document, const std::wstring& path);
// Writes a copy of the document's drawing as DXF to path with every entity of a
// module's class (a custom entity) replaced by the plain entities that show it (lines,
// circles, arcs, text, and the block references it draws), for readers that drop
// entities of classes they do not know. The document, its name and its drawing
// stay as they were. False (with a diagnostic) on failure.
bool saveDrawingExploded(Document& document, const std::wstring& path);

}  // namespace tabrik::acad
