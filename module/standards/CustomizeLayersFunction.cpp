// nv_nv-customizeLayers: the layer customization dialog on a standards database of its
// own connection: the file given, or the current connection's file (then deleting a
// layer system asks the LISP application about the drawing's objects first). nil.
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
  standards::CLayerCustomization dialog(database.Connection(), database.Path(), path.empty(),
                                        AfxGetMainWnd());
  standards::runStandardsDialog(dialog);
  return kResultOk;
}

}  // namespace tabrik::arx::fn
