#include "standards/LayerStandards.h"

#include <algorithm>

#include <acutads.h>

#include "standards/LayerRules.h"
#include "standards/LispCallback.h"
#include "standards/SaveTransaction.h"
#include "standards/StandardsSql.h"
#include "standards/TblLayer.h"
#include "standards/TblLayerKey.h"
#include "standards/TblLayerSystem.h"

namespace tabrik::arx::standards {
namespace {

void printDatabaseError(CDBConnection& connection) {
  long code = 0;
  CString description;
  connection.GetLastError(code, description);
  acutPrintf(L"\nDatabase Error: %ls", description.GetString());
}

// A string answer, or a single blank when the function gives none.
CString stringOrBlank(const LispAnswer& answer) {
  std::optional<CString> text = answer.String();
  return text ? *text : CString(L" ");
}

// The rows' ids in a column of a query.
bool queryIds(CDBConnection& connection, const CString& statement, std::vector<long>& ids) {
  DBQueryResult result;
  if (!connection.OpenQuery(statement, result)) {
    printDatabaseError(connection);
    return false;
  }
  const std::size_t width = result.columns.size();
  for (std::size_t at = 0; width != 0 && at < result.values.size(); at += width) {
    COleVariant value = result.values[at];
    value.ChangeType(VT_I4);
    ids.push_back(value.vt == VT_I4 ? value.lVal : 0);
  }
  return true;
}

void storeLayer(CTblLayer& record, const LayerRow& row) {
  record.SetText(CTblLayer::kName, row.name);
  record.SetLong(CTblLayer::kColor, clampColorIndex(row.color));
  record.SetText(CTblLayer::kLinetype, row.linetype);
  record.SetBool(CTblLayer::kPlot, row.plot);
  if (std::optional<CString> weight = lineweightStored(row.lineweight)) {
    record.SetText(CTblLayer::kLineweight, *weight);
  } else {
    record.SetNull(CTblLayer::kLineweight);
  }
  if (row.plotStyle.IsEmpty()) {
    record.SetNull(CTblLayer::kPlotstyle);
  } else {
    record.SetText(CTblLayer::kPlotstyle, row.plotStyle);
  }
}

}  // namespace

bool runStatement(CDBConnection& connection, const CString& statement) {
  long affected = 0;
  if (connection.ExecuteSQL(statement, affected) && !connection.HasError()) return true;
  printDatabaseError(connection);
  return false;
}

bool loadSystemRows(CDBConnection& connection, std::vector<SystemRow>& rows) {
  rows.push_back(SystemRow{kGeneralSystemId, kGeneralSystemName, 0});
  CTblLayerSystem record(&connection);
  if (!record.SetIndex(L"iSortOrder")) return false;
  for (bool more = record.MoveFirst(); more; more = record.MoveNext()) {
    rows.push_back(SystemRow{record.Key(), record.GetText(CTblLayerSystem::kDescription),
                             record.GetLong(CTblLayerSystem::kSortOrder)});
  }
  return !connection.HasError();
}

bool loadKeyRows(CDBConnection& connection, long system, const CString& databasePath,
                 const std::map<long, CString>& layerNames, std::vector<KeyRow>& rows) {
  DBQueryResult result;
  const CString statement =
      system == kGeneralSystemId ? sql::layerKeysOfGeneralSystem() : sql::layerKeysOfSystem(system);
  if (!connection.OpenQuery(statement, result)) {
    printDatabaseError(connection);
    return false;
  }
  const std::size_t width = result.columns.size();
  if (width < 3) return false;
  for (std::size_t at = 0; at + width <= result.values.size(); at += width) {
    COleVariant keyId = result.values[at], layerId = result.values[at + 1],
                key = result.values[at + 2];
    keyId.ChangeType(VT_I4);
    layerId.ChangeType(VT_I4);
    key.ChangeType(VT_BSTR);
    CString keyText =
        key.vt == VT_BSTR && key.bstrVal != nullptr ? CString(key.bstrVal) : CString();
    keyText.TrimRight(L' ');
    invokeLisp(L"util-layerKeySetElecGlobals", {databasePath});
    if (invokeLisp(L"util-showLayerKey", {keyText}).IsNil()) continue;
    KeyRow row;
    row.shown = stringOrBlank(invokeLisp(L"util-LayerkeyRename", {keyText}));
    row.sortText = stringOrBlank(invokeLisp(L"util-createLayerKeySortText", {keyText}));
    row.keyId = keyId.vt == VT_I4 ? keyId.lVal : 0;
    row.layerId = layerId.vt == VT_I4 ? layerId.lVal : 0;
    auto name = layerNames.find(row.layerId);
    if (name != layerNames.end()) row.layerName = name->second;
    rows.push_back(row);
  }
  std::stable_sort(rows.begin(), rows.end(), [](const KeyRow& a, const KeyRow& b) {
    return a.sortText.CompareNoCase(b.sortText) < 0;
  });
  return true;
}

bool loadLayerRows(CDBConnection& connection, std::vector<LayerRow>& rows) {
  CTblLayer record(&connection);
  if (!record.SetIndex(L"sName")) return false;
  for (bool more = record.MoveFirst(); more; more = record.MoveNext()) {
    LayerRow row;
    row.id = record.Key();
    row.name = record.GetText(CTblLayer::kName);
    row.color = record.IsNull(CTblLayer::kColor) ? 7 : record.GetLong(CTblLayer::kColor);
    row.linetype = record.GetText(CTblLayer::kLinetype);
    row.plot = record.GetBool(CTblLayer::kPlot);
    row.lineweight =
        lineweightShown(record.IsNull(CTblLayer::kLineweight)
                            ? std::nullopt
                            : std::optional<CString>(record.GetText(CTblLayer::kLineweight)));
    row.plotStyle = record.GetText(CTblLayer::kPlotstyle);
    rows.push_back(row);
  }
  return !connection.HasError();
}

bool layerIsReferenced(CDBConnection& connection, long layer) {
  std::vector<long> keys;
  return queryIds(connection, sql::keysReferencingLayer(layer), keys) && !keys.empty();
}

bool layerNameTaken(CDBConnection& connection, const CString& name, long except) {
  // The "sName" index finds one row of a name; scan them all, as a name may repeat.
  CTblLayer record(&connection);
  if (!record.SetIndex(L"sName")) return false;
  for (bool more = record.MoveFirst(); more; more = record.MoveNext()) {
    if (record.Key() != except && record.GetText(CTblLayer::kName).CompareNoCase(name) == 0) {
      return true;
    }
  }
  return false;
}

std::optional<long> appendLayer(CDBConnection& connection, const LayerRow& values) {
  CTblLayer record(&connection);
  record.New();
  storeLayer(record, values);
  if (!record.Save()) {
    printDatabaseError(connection);
    return std::nullopt;
  }
  return record.Key();
}

bool deleteLayer(CDBConnection& connection, long layer) {
  CTblLayer record(&connection);
  if (!record.FindByKey(layer)) return false;
  if (record.Delete()) return true;
  printDatabaseError(connection);
  return false;
}

std::optional<long> createLayerSystem(CDBConnection& connection, const CString& name, long source) {
  long highest = 0;
  {
    CTblLayerSystem last(&connection);
    if (last.SetIndex(L"iSortOrder") && last.MoveLast()) {
      highest = last.GetLong(CTblLayerSystem::kSortOrder);
    }
  }
  CTblLayerSystem record(&connection);
  record.New();
  record.SetText(CTblLayerSystem::kDescription, name);
  record.SetLong(CTblLayerSystem::kSortOrder, highest + 1);
  if (!record.Save()) {
    printDatabaseError(connection);
    return std::nullopt;
  }
  const long id = record.Key();
  runStatement(connection, sql::copySystemKeys(id, source));
  invokeLisp(L"util-createPipeLabels", {id});
  return id;
}

bool deleteLayerSystem(CDBConnection& connection, long system) {
  if (!runStatement(connection, sql::deleteSystemKeys(system))) return false;
  invokeLisp(L"util-deletePipeLabels", {system});
  return runStatement(connection, sql::deleteSystem(system));
}

bool saveTogether(CDBConnection& connection, const std::function<bool()>& save) {
  SaveTransaction transaction(connection);
  if (!transaction.Begun()) {
    printDatabaseError(connection);
    return false;
  }
  if (!save()) return false;  // the row that failed was printed; the guard undoes the rest
  if (transaction.Commit()) return true;
  printDatabaseError(connection);
  return false;
}

bool saveSystemRows(CDBConnection& connection, const std::vector<SystemRow>& gridOrder) {
  CTblLayerSystem record(&connection);
  for (std::size_t i = 0; i < gridOrder.size(); ++i) {
    if (gridOrder[i].id == kGeneralSystemId || !record.FindByKey(gridOrder[i].id)) continue;
    record.Edit();
    record.SetText(CTblLayerSystem::kDescription, gridOrder[i].name);
    record.SetLong(CTblLayerSystem::kSortOrder, static_cast<long>(i + 1));
    if (!record.Save()) {
      printDatabaseError(connection);
      return false;
    }
  }
  return true;
}

bool saveKeyRows(CDBConnection& connection, const std::vector<KeyRow>& rows) {
  CTblLayerKey record(&connection);
  for (const KeyRow& row : rows) {
    if (!record.FindByKey(row.keyId)) continue;
    record.Edit();
    record.SetLong(CTblLayerKey::kIxLayer, row.layerId);
    if (!record.Save()) {
      printDatabaseError(connection);
      return false;
    }
  }
  return true;
}

bool saveLayerRows(CDBConnection& connection, const std::vector<LayerRow>& rows) {
  CTblLayer record(&connection);
  for (const LayerRow& row : rows) {
    if (!record.FindByKey(row.id)) continue;
    record.Edit();
    storeLayer(record, row);
    if (!record.Save()) {
      printDatabaseError(connection);
      return false;
    }
  }
  return true;
}

}  // namespace tabrik::arx::standards
