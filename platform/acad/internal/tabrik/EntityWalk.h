// The walk entnext and entlast make over a drawing: the main entities of model and
// paper space in handle order, each followed by its sub-entities (attributes or
// vertices) and its SEQEND; a walk started inside a block definition stays in that
// block. Erased entities keep their place but are never returned. Each step costs
// constant time (amortised over a walk, erased entities being stepped over): the
// database keeps the order and every entity remembers its place in it.
#pragma once
#include "dbmain.h"

namespace tabrik::acad {

// The first live entity of the drawing; null when there is none.
AcDbObjectId firstWalkedEntity(AcDbDatabase* database);
// The live entity that follows `from` on its walk (the drawing's for entities of
// model or paper space and their sub-entities, the block's for the others; erased
// entities may be walked from). Null at the end, or when `from` is on no walk.
AcDbObjectId nextWalkedEntity(AcDbDatabase* database, AcDbObjectId from);
// The newest live main entity of model or paper space; null when there is none.
AcDbObjectId lastMainEntity(AcDbDatabase* database);

}  // namespace tabrik::acad
