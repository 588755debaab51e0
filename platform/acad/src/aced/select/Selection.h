// Picking entities and selection sets of the host. A pick takes the model-space
// entity nearest the point within the pick tolerance (host variable PICKBOX, drawing
// units): curves by their closest point, other entities by their extents. Selection
// sets are named by an ads_name whose first word is the set's number (what LISP
// prints as <Selection set: N>) and whose second word marks it as the host's.
#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "adsdef.h"
#include "dbid.h"

class AcDbDatabase;

namespace tabrik::acad {

// The entity picked at the point in the database's model space, if any.
std::optional<AcDbObjectId> pickEntity(AcDbDatabase* database, const double point[3]);
// Every model-space entity within the pick tolerance of the point (the ":E" pick).
std::vector<AcDbObjectId> pickAll(AcDbDatabase* database, const double point[3]);
// Model-space entities inside the window, or (crossing) inside it or crossing its edge.
std::vector<AcDbObjectId> windowSelect(AcDbDatabase* database, const double corner1[3],
                                       const double corner2[3], bool crossing);
// Likewise for a polygon of at least three corners (XY; closed back to the first).
std::vector<AcDbObjectId> polygonSelect(AcDbDatabase* database,
                                        const std::vector<std::array<double, 3>>& polygon,
                                        bool crossing);
// Model-space entities that the open fence line crosses.
std::vector<AcDbObjectId> fenceSelect(AcDbDatabase* database,
                                      const std::vector<std::array<double, 3>>& fence);
// Every model-space entity, in drawing order.
std::vector<AcDbObjectId> allEntities(AcDbDatabase* database);
// Every entity of the drawing ("X"): model space, then paper space, each in drawing
// order.
std::vector<AcDbObjectId> drawingEntities(AcDbDatabase* database);

// --- selection sets
// A new set holding the ids; its name goes to `name`.
void newSelectionSet(std::vector<AcDbObjectId> ids, ads_name name);
// The ids of a live set, nullptr for a name that is no live set.
std::vector<AcDbObjectId>* selectionSet(const ads_name name);
bool freeSelectionSet(const ads_name name);
// Also forgets the previous and the implied selections.
void freeAllSelectionSets();

// The previous selection (what the last selection chose; "P") and the implied one
// (the pickfirst set; "I"). Erased entities drop out when the set is read.
void setPreviousSelection(const std::vector<AcDbObjectId>& ids);
std::vector<AcDbObjectId> previousSelection();
void setImpliedSelection(const std::vector<AcDbObjectId>& ids);
std::vector<AcDbObjectId> impliedSelection();

// Entity names: the ads_name of an object id and back (the drawing database's).
bool entityName(AcDbObjectId id, ads_name name);
std::optional<AcDbObjectId> entityId(const ads_name name);

}  // namespace tabrik::acad
