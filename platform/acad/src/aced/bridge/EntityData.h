// Entity data: an object's DXF groups as the chain of group-coded result buffers
// that acdbEntGet returns and acdbEntMod/acdbEntMake take. Both directions go
// through the object's own dxfOutFields/dxfInFields, so the group codes an entity
// files to DXF are exactly the ones LISP programs see.
//
// | group | in entity data                                            |
// |-------|-----------------------------------------------------------|
// | -1    | the object's entity name                                  |
// | 0     | its DXF type ("LINE", "LAYER", ...)                       |
// | 330   | its owner (entity name), 5 its handle (text)              |
// | -2    | of a SEQEND: the POLYLINE or INSERT it ends (last group)  |
// | 410   | for entities of model or paper space: "Model"/"Layout1"   |
// | 100   | subclass markers, as in DXF                               |
// | 50-58 | angles in radians (DXF files hold degrees)                |
// | 210   | the normal of planar entities, the Z axis included        |
// | -3    | marks the start of extended data: 1001 application, items |
//
// Reading back ignores -2, -1, 0, 5, 100, 102, 330, 360 and 410 (what names the object
// and where it lives is not the list's to change) and the extended data, which the
// callers apply with setXData.
#pragma once
#include <string>

#include "adsdef.h"
#include "dbmain.h"

namespace tabrik::acad {

// The object's DXF type name; "" for a class that has none.
std::wstring dxfTypeOf(const AcDbObject* object);

// acdbEntGet's chain for an object (see the table above). With `apps`, a chain of
// RTSTR application names (wildcards allowed), the extended data of the matching
// applications follows a -3 buffer. The caller releases the chain with acutRelRb.
resbuf* entityDataOf(const AcDbObject* object, const resbuf* apps);

// Applies the groups of a chain to an object open for write. The groups may come in
// any order and without their subclass markers: each part of the object (AcDbEntity,
// AcDbLine, ...) takes the codes it knows from the whole list. The chain stops at -3.
// Names (layers, linetypes, styles, blocks) resolve in `database`, by default the
// object's own (an object about to be added is in none yet).
Acad::ErrorStatus applyEntityData(AcDbObject* object, const resbuf* data,
                                  AcDbDatabase* database = nullptr);

// The first buffer after a -3 marker (the 1001 of the first application), or null.
const resbuf* extendedDataOf(const resbuf* data);

// The first buffer with the group code, or null (-3 ends the search).
const resbuf* findGroup(const resbuf* data, int code);

// The name of the block the last ENDBLK given to acdbEntMake defined (an anonymous
// block's "*Un" included); entmake returns it.
std::wstring lastEntMakeBlockName();

}  // namespace tabrik::acad
