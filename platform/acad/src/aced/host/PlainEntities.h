// Custom entities as plain entities: what a custom entity draws (its worldDraw) turned
// into the host's own entities, for files read by software that knows no custom
// class. Lines stay lines, circles and arcs stay circles and arcs, text stays text, and
// a block reference the entity draws stays a block reference of the same block.
#pragma once
#include <vector>

class AcDbEntity;

namespace tabrik::acad {

// New entities (in no database; the caller owns them) that show the entity as it
// draws itself, each with the entity's properties and the layer and colour it drew
// with. Empty when the entity draws nothing.
std::vector<AcDbEntity*> plainEntitiesOf(AcDbEntity* entity);

}  // namespace tabrik::acad
