// tbEditorReactor (see tbEditorReactor.h).
#include "host/tbEditorReactor.h"

#include <acdocman.h>

#include "db/ConnectionList.h"

void tbEditorReactor::saveComplete(AcDbDatabase* database, const ACHAR* actualName) {
  namespace db = tabrik::arx::db;
  AcApDocument* active = acDocManager->mdiActiveDocument();
  if (active == nullptr || active->database() != database) {
    return;
  }
  db::ConnectionList& records = db::connectionList();
  if (records.empty()) {
    return;
  }
  const DB_INFO& first = *records.front();
  const std::wstring savedAs = actualName != nullptr ? actualName : L"";
  // A save under the drawing's own name keeps its database open.
  if (first.docName != savedAs && first.connection == db::currentConnection()) {
    db::CloseCurrentDatabase();
  }
}
