// What the host does with the duct solid component's solids beyond the drawing
// database: measure them and exchange them as STEP files with other modelling tools.
// The component offers these through C entry points that the host looks up in the
// loaded modules, so nothing here works (every call fails) without the component.
#pragma once
#include <string>

#include "dbid.h"

namespace tabrik::acad {

class Document;

// The volume of the solid entity; false when it is not a solid of the component.
bool solidVolume(AcDbObjectId id, double& volume);
// Writes the solids of the drawing's model space to a STEP file: how many, 0 when the
// drawing has none (no file written), -1 on failure.
int saveDrawingStep(Document& document, const std::wstring& path);
// Reads a STEP file: the total volume of its solids and how many; -1 when it cannot be
// read.
int stepFileVolume(const std::wstring& path, double& volume);

}  // namespace tabrik::acad
