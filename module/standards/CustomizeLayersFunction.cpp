// nv_nv-customizeLayers: the layer customization dialog on a standards database of its
// own connection: the file given, or the current connection's file (then deleting a
// layer system asks the LISP application about the drawing's objects first). nil.
#include <memory>

#include <acedads.h>
#include <afxwin.h>

#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "standards/CLayerCustomization.h"
#include "standards/OptionalArgs.h"
#include "standards/StandardsDialogRun.h"

namespace tabrik::arx::fn {

int nv_nv_customizeLayers() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring path;
  if (!standards::readOptionalString(cursor, path)) return kWrongType;
  standards::StandardsDatabase database;
  if (!database.Open(path.c_str(), standards::StandardsDatabase::Report::DatabaseError))
    return kResultOk;
  const bool checkObjects = path.empty();
  standards::runStandardsDialog([&]() -> std::unique_ptr<CDialog> {
    return std::make_unique<standards::CLayerCustomization>(database.Connection(), database.Path(),
                                                            checkObjects, AfxGetMainWnd());
  });
  return kResultOk;
}

}  // namespace tabrik::arx::fn
