// The drawing operations that every drawing function of the module shares: adding an
// entity to model space (with the host alerts for each failure), looking up layers and
// blocks (a missing block may come in from a drawing file named after it on the host's
// search path), the leader scale, and the entity result. Leader, jig, entity, duct and
// hanger functions all use these; none of them reaches into another's folder for them.
#pragma once
#include <acadstrc.h>
#include <dbid.h>

class AcDbEntity;
class AcDbObject;
class AcDbDatabase;

namespace tabrik::arx::draw {

// The drawing database of the host's current document (the working database when no
// document is current); null when there is neither.
AcDbDatabase* currentDatabase();

// Appends the entity (in no database yet) to the current drawing's model space, with
// that drawing's document locked for write while it does. The entity stays open for
// the caller to close. On failure the host alert says why ("Failed to get block
// table!", "Failed to get block table record!" and the status, "Failed to append
// entity!", after which the entity is deleted) and the result is false.
bool appendToModelSpace(AcDbEntity* entity);
// appendToModelSpace, then closes the entity; nothing for a null entity. False when the
// append failed (the entity is then gone).
bool appendAndClose(AcDbEntity* entity);

// The layer of that name in the current drawing's layer table.
bool findLayer(const ACHAR* name, AcDbObjectId& layerId);
// The block of that name in the current drawing. A block the drawing lacks is brought
// in from "<name>.dwg" found on the host's search path, as a block of that name; when
// no such file exists, the LISP application hears of it ("nvBlock-alertMissing" with
// the name) and the lookup fails.
bool findBlock(const ACHAR* name, AcDbObjectId& blockId);

// The leader scale: the current drawing's DIMSCALE, read afresh at each call (1 when
// no drawing is current). Offsets that LISP passes are relative to it.
double leaderScale();

// The entity name of an open object as the LISP result; nil when the host cannot name
// it.
void retObject(const AcDbObject* object);

}  // namespace tabrik::arx::draw
