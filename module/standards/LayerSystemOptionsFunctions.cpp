// nv_nv-LayerSystemOptionsElec, -HVAC and -Plumb: one discipline's options dialog on
// one layer system row, on a connection of the call's own. All three answer nil.
#include <acedads.h>
#include <adsdef.h>
#include <afxwin.h>

#include <cstdint>
#include <memory>

#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "standards/CLayerSystemOptionsElec.h"
#include "standards/CLayerSystemOptionsHVAC.h"
#include "standards/CLayerSystemOptionsPlumb.h"
#include "standards/OptionalArgs.h"
#include "standards/StandardsDialogRun.h"

namespace tabrik::arx::fn {
namespace {

using standards::CTblLayerSystem;
using standards::StandardsDatabase;

// Reads up to `maxStrings` leading strings (nil for one left out), then the layer system id; false
// when the id is missing or not an integer.
bool readStringsAndId(int maxStrings, std::wstring* strings, std::int32_t& id) {
  ArgList args;
  ArgCursor cursor = args.first();
  // A string left out may also be given as nil.
  for (int i = 0; i < maxStrings && cursor != nullptr &&
                  (cursor->restype == RTSTR || cursor->restype == RTNIL);
       ++i) {
    standards::readOptionalString(cursor, strings[i]);
  }
  return readInteger(cursor, id);
}

// The frame of all three: open, refuse read-only, run the dialog made for the row.
template <typename MakeDialog>
int runOptions(const std::wstring& path, std::int32_t id, MakeDialog makeDialog) {
  StandardsDatabase database;
  if (!database.Open(path.c_str(), StandardsDatabase::Report::DatabaseError)) return kResultOk;
  CTblLayerSystem record(database.Connection());
  standards::runStandardsDialog(
      [&]() -> std::unique_ptr<CDialog> { return makeDialog(record, static_cast<long>(id)); });
  return kResultOk;
}

}  // namespace

int nv_nv_LayerSystemOptionsElec() {
  acedRetNil();
  std::wstring strings[2];
  std::int32_t id = 0;
  if (!readStringsAndId(2, strings, id)) return kResultOk;
  const CString product = strings[0].c_str();
  return runOptions(strings[1], id, [&](CTblLayerSystem& record, long row) {
    return std::make_unique<standards::CLayerSystemOptionsElec>(product, record, row, nullptr);
  });
}

int nv_nv_LayerSystemOptionsHVAC() {
  acedRetNil();
  std::wstring path;
  std::int32_t id = 0;
  if (!readStringsAndId(1, &path, id)) return kResultOk;
  return runOptions(path, id, [](CTblLayerSystem& record, long row) {
    return std::make_unique<standards::CLayerSystemOptionsHVAC>(record, row, nullptr);
  });
}

int nv_nv_LayerSystemOptionsPlumb() {
  acedRetNil();
  std::wstring path;
  std::int32_t id = 0;
  if (!readStringsAndId(1, &path, id)) return kResultOk;
  return runOptions(path, id, [](CTblLayerSystem& record, long row) {
    return std::make_unique<standards::CLayerSystemOptionsPlumb>(record, row, nullptr);
  });
}

}  // namespace tabrik::arx::fn
