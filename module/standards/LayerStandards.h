// The database side of the layer customization dialog: the rows of its three grids
// as read from the standards tables, and every change the dialog makes, each through
// the record cursors or the fixed statements. A statement that fails prints
// "\nDatabase Error: %s" with the connection's error text and reports false.
#pragma once
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "db/CDBConnection.h"

namespace tabrik::arx::standards {

// The general system's id in the systems grid; it has no tblLayerSystem row.
inline constexpr long kGeneralSystemId = -1;
inline constexpr const wchar_t* kGeneralSystemName = L"General";

struct SystemRow {
  long id = kGeneralSystemId;
  CString name;
  long sortOrder = 0;
};

struct KeyRow {
  CString shown;  // what "util-LayerkeyRename" makes of the key
  long keyId = 0;
  CString sortText;  // what "util-createLayerKeySortText" makes of it
  long layerId = 0;
  CString layerName;
};

struct LayerRow {
  long id = 0;
  CString name;
  long color = 7;
  CString linetype;
  bool plot = true;
  CString lineweight;  // as shown: "Default", "0.25 mm", ...
  CString plotStyle;
};

// Runs an action statement; prints the failure.
bool runStatement(CDBConnection& connection, const CString& statement);

// "General" first, then every tblLayerSystem row in the order of the "iSortOrder" index.
bool loadSystemRows(CDBConnection& connection, std::vector<SystemRow>& rows);
// The keys of a system (kGeneralSystemId: the general one) that the LISP application
// shows, sorted by their sort text.
bool loadKeyRows(CDBConnection& connection, long system, const CString& databasePath,
                 const std::map<long, CString>& layerNames, std::vector<KeyRow>& rows);
// Every tblLayer row in the order of the "sName" index.
bool loadLayerRows(CDBConnection& connection, std::vector<LayerRow>& rows);

// Whether a key maps to the layer (false when the query fails, after printing it).
bool layerIsReferenced(CDBConnection& connection, long layer);
// Whether another tblLayer row (not `except`) has the name, compared without case.
bool layerNameTaken(CDBConnection& connection, const CString& name, long except);

// Appends a tblLayer row with the values (name included); its new id.
std::optional<long> appendLayer(CDBConnection& connection, const LayerRow& values);
bool deleteLayer(CDBConnection& connection, long layer);

// Appends the system (sort order after the highest), copies the keys of `source` to it
// and tells the LISP application ("util-createPipeLabels"); its new id.
std::optional<long> createLayerSystem(CDBConnection& connection, const CString& name, long source);
// Deletes the system's keys, tells the LISP application ("util-deletePipeLabels"),
// then deletes the system.
bool deleteLayerSystem(CDBConnection& connection, long system);

// What OK writes: each system row at grid position i (from 1) that names a
// tblLayerSystem row gets its name and the sort order i; each key its layer; each
// layer its properties. False at the first failure.
// Runs a save of several rows as one transaction: its writes stay when `save` reports
// success, else none of them does. A transaction that cannot begin or commit prints
// the database error; false whenever nothing was kept.
bool saveTogether(CDBConnection& connection, const std::function<bool()>& save);
bool saveSystemRows(CDBConnection& connection, const std::vector<SystemRow>& gridOrder);
bool saveKeyRows(CDBConnection& connection, const std::vector<KeyRow>& rows);
bool saveLayerRows(CDBConnection& connection, const std::vector<LayerRow>& rows);

}  // namespace tabrik::arx::standards
