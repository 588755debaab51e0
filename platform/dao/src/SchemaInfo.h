// DAO's information structures filled from the engine's schema, and the rules for
// object names, shared by table definitions and recordsets.
#pragma once
#include "DaoStore.h"

namespace tabrik::dao {

// updatable: the field belongs to an updatable recordset, which adds
// dbUpdatableField to every field but an auto-number.
void fillFieldInfo(const FieldDef& f, int ordinal, CDaoFieldInfo& info, DWORD options,
                   bool updatable);
void fillIndexInfo(const IndexDef& ix, CDaoIndexInfo& info, DWORD options);

// Jet object names: 1 to 64 characters, not starting with a blank, without control
// characters or any of . ! ` [ ]. Throws 3125 otherwise.
void checkName(const std::wstring& name);

}  // namespace tabrik::dao
