// Relations between tables: the catalog rows, the foreign index and the triggers that
// enforce them (layout in DaoStore.h). CDaoDatabase's relation methods are built on
// these; table definitions call the two table hooks.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "DaoStore.h"

namespace tabrik::dao {

struct RelationDef {
  std::wstring name;
  std::wstring table;    // primary
  std::wstring foreign;  // foreign
  long attributes = 0;
  std::vector<std::pair<std::wstring, std::wstring>> fields;  // primary field, foreign field
};

std::vector<RelationDef> loadRelations(DAODatabase& d);  // by name
// Whether the table is the primary or the foreign table of a relation.
bool takesPartInRelations(DAODatabase& d, const std::wstring& table);
// Inside a write transaction, after the table was renamed: updates the catalog and
// makes the relations' triggers again.
void renameInRelations(DAODatabase& d, const std::wstring& oldName, const std::wstring& newName);

}  // namespace tabrik::dao
