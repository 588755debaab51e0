// Picking entities and selection sets of the host. A pick takes the model-space
// entity nearest the point within the pick tolerance (host variable PICKBOX, drawing
// units): curves by their closest point, other entities by their extents. Selection
// sets are named by an ads_name whose first word is the set's number (what LISP
// prints as <Selection set: N>) and whose second word marks it as the host's.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "adsdef.h"
#include "dbid.h"

class AcDbDatabase;

namespace tabrik::acad {

// The entity picked at the point in the database's model space, if any.
std::optional<AcDbObjectId> pickEntity(AcDbDatabase* database, const double point[3]);
// Model-space entities whose extents meet the window (crossing) or lie inside it.
std::vector<AcDbObjectId> windowSelect(AcDbDatabase* database, const double corner1[3], const double corner2[3],
                                       bool crossing);
// Every model-space entity, in drawing order.
std::vector<AcDbObjectId> allEntities(AcDbDatabase* database);

// A filter list of entity data (group 0 type, 2 block name, 8 layer, 62 colour);
// false with a reason for a group code the host does not filter by.
bool filterIsSupported(const resbuf* filter, std::string& reason);
bool matchesFilter(AcDbObjectId id, const resbuf* filter);

// --- selection sets
// A new set holding the ids; its name goes to `name`.
void newSelectionSet(std::vector<AcDbObjectId> ids, ads_name name);
// The ids of a live set, nullptr for a name that is no live set.
std::vector<AcDbObjectId>* selectionSet(const ads_name name);
bool freeSelectionSet(const ads_name name);
void freeAllSelectionSets();

// Entity names: the ads_name of an object id and back (the drawing database's).
bool entityName(AcDbObjectId id, ads_name name);
std::optional<AcDbObjectId> entityId(const ads_name name);

}  // namespace tabrik::acad
