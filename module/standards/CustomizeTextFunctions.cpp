// nv_nv-customizeTextStyles and nv_nv-customizeLabelGroup: the text style and label
// order dialogs on a standards database given by path, or on the drawing's current
// connection. Both answer nil.
#include <memory>

#include <acedads.h>
#include <adsdef.h>
#include <afxwin.h>

#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "standards/CTextStyleCustomization.h"
#include "standards/LabelOrderCustomization.h"
#include "standards/OptionalArgs.h"
#include "standards/StandardsDialogRun.h"

namespace tabrik::arx::fn {
namespace {

using standards::StandardsDatabase;

// A path opens a connection of the call's own (failures as the tb_ functions report
// them); without one the current connection is used, and without that nothing happens.
bool openDatabase(const std::wstring& path, StandardsDatabase& database) {
  if (!path.empty()) return database.Open(path.c_str(), StandardsDatabase::Report::TabrikError);
  return database.UseCurrent();
}

// The key strings of a list argument; other items are skipped. A missing list or nil
// gives none.
std::vector<CString> readKeyList(ArgCursor& cursor) {
  std::vector<CString> keys;
  if (cursor == nullptr || cursor->restype != RTLB) return keys;
  int depth = 0;
  for (; cursor != nullptr; cursor = cursor->rbnext) {
    if (cursor->restype == RTLB) {
      ++depth;
    } else if (cursor->restype == RTLE || cursor->restype == RTDOTE) {
      if (--depth == 0) break;
    } else if (depth == 1 && cursor->restype == RTSTR && cursor->resval.rstring != nullptr) {
      keys.emplace_back(cursor->resval.rstring);
    }
  }
  return keys;
}

}  // namespace

int nv_nv_customizeTextStyles() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring path, focus;
  if (!standards::readOptionalString(cursor, path) ||
      !standards::readOptionalString(cursor, focus)) {
    return kWrongType;
  }
  StandardsDatabase database;
  if (!openDatabase(path, database)) return kResultOk;
  standards::runStandardsDialog([&]() -> std::unique_ptr<CDialog> {
    return std::make_unique<standards::CTextStyleCustomization>(database.Connection(),
                                                                focus.c_str(), AfxGetMainWnd());
  });
  return kResultOk;
}

int nv_nv_customizeLabelGroup() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring group, title, path, mode;
  if (!readString(cursor, group) || !readString(cursor, title)) return kWrongType;
  if (!standards::readOptionalString(cursor, path) ||
      !standards::readOptionalString(cursor, mode)) {
    return kWrongType;
  }
  std::vector<CString> keys = readKeyList(cursor);
  StandardsDatabase database;
  if (!openDatabase(path, database)) return kResultOk;
  standards::runStandardsDialog([&]() -> std::unique_ptr<CDialog> {
    return std::make_unique<standards::LabelOrderCustomization>(
        database.Connection(), group.c_str(), title.c_str(), mode.c_str(), std::move(keys),
        AfxGetMainWnd());
  });
  return kResultOk;
}

}  // namespace tabrik::arx::fn
