// nv_nv-createLayer: makes sure a layer exists in the current drawing, built from the
// tblLayer row of that name in the standards database of the drawing's current tb_
// connection. A layer the drawing already has is only unlocked; the database is not
// read then. The true-colour columns are not used: the layer takes the colour index.
#include <cwchar>
#include <memory>
#include <string>

#include <acdocman.h>
#include <acedads.h>
#include <dbmain.h>
#include <dbsymtb.h>

#include "db/ConnectionList.h"
#include "draw/DrawingOperations.h"
#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "standards/TblLayer.h"

namespace tabrik::arx::fn {
namespace {

using standards::CTblLayer;

// Unlocks the layer when the drawing has it; false when it does not.
bool unlockExistingLayer(AcDbDatabase* database, const wchar_t* name) {
  AcDbLayerTable* table = nullptr;
  if (database->getLayerTable(table, AcDb::kForRead) != Acad::eOk) return false;
  AcDbObjectId id;
  const bool exists = table->getAt(name, id) == Acad::eOk;
  table->close();
  if (!exists) return false;
  AcDbLayerTableRecord* layer = nullptr;
  if (acdbOpenObject(layer, id, AcDb::kForWrite) == Acad::eOk) {
    layer->setIsLocked(false);
    layer->close();
  }
  return true;
}

// The drawing's linetype of that name; a linetype the drawing lacks is not loaded.
bool findLinetype(AcDbDatabase* database, const wchar_t* name, AcDbObjectId& id) {
  AcDbLinetypeTable* table = nullptr;
  if (database->getLinetypeTable(table, AcDb::kForRead) != Acad::eOk) return false;
  const bool found = table->getAt(name, id) == Acad::eOk;
  table->close();
  return found;
}

// The new layer's properties from the standards row, all but the plot style, which
// needs the layer to be in the drawing first.
std::unique_ptr<AcDbLayerTableRecord> layerFromRow(AcDbDatabase* database, const wchar_t* name,
                                                   const CTblLayer& row) {
  auto layer = std::make_unique<AcDbLayerTableRecord>();
  if (layer->setName(name) != Acad::eOk) return nullptr;  // a name the host refuses
  if (!row.IsNull(CTblLayer::kColor)) {
    AcCmColor color;
    color.setColorIndex(static_cast<Adesk::UInt16>(row.GetLong(CTblLayer::kColor)));
    layer->setColor(color);
  }
  layer->setIsPlottable(row.GetBool(CTblLayer::kPlot));
  CString linetype = row.GetText(CTblLayer::kLinetype);
  CString upper = linetype;
  upper.MakeUpper();
  AcDbObjectId linetypeId;
  if (!linetype.IsEmpty() && upper != L"CONTINUOUS" &&
      findLinetype(database, linetype.GetString(), linetypeId)) {
    layer->setLinetypeObjectId(linetypeId);
  }
  CString lineweight = row.GetText(CTblLayer::kLineweight);
  if (!row.IsNull(CTblLayer::kLineweight) && !lineweight.IsEmpty()) {
    // An invalid weight is refused by the layer, which keeps the drawing's default.
    layer->setLineWeight(
        static_cast<AcDb::LineWeight>(std::wcstol(lineweight.GetString(), nullptr, 10)));
  }
  return layer;
}

// Adds the layer with the current document locked for writing; the plot style name
// is set once the layer is in the table.
bool addLayer(AcDbDatabase* database, std::unique_ptr<AcDbLayerTableRecord> layer,
              const CTblLayer& row) {
  if (layer == nullptr) return false;
  AcApDocument* document = acDocManager->document(database);
  const bool locked =
      document != nullptr && acDocManager->lockDocument(document, AcAp::kWrite) == Acad::eOk;
  bool added = false;
  AcDbLayerTable* table = nullptr;
  if (database->getLayerTable(table, AcDb::kForWrite) == Acad::eOk) {
    AcDbObjectId id;
    if (table->add(id, layer.get()) == Acad::eOk) {
      AcDbLayerTableRecord* record = layer.release();  // the database owns it now
      if (!row.IsNull(CTblLayer::kPlotstyle)) {
        record->setPlotStyleName(row.GetText(CTblLayer::kPlotstyle).GetString());
      }
      record->close();
      added = true;
    }
    table->close();
  }
  if (locked) acDocManager->unlockDocument(document);
  return added;
}

}  // namespace

int nv_nv_createLayer() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring name;
  if (!readString(cursor, name)) return kWrongType;
  AcDbDatabase* database = draw::currentDatabase();
  if (database == nullptr) return kResultOk;
  if (unlockExistingLayer(database, name.c_str())) {
    acedRetT();
    return kResultOk;
  }
  CDBConnection* connection = db::currentConnection();
  if (connection == nullptr) return kResultOk;
  CTblLayer row(connection);
  if (!row.FindByName(CString(name.c_str()))) return kResultOk;
  if (addLayer(database, layerFromRow(database, name.c_str(), row), row)) acedRetT();
  return kResultOk;
}

}  // namespace tabrik::arx::fn
