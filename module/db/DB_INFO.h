// DB_INFO: one drawing document's claim on a database connection, an element of the
// connection list (ConnectionList.h).
#pragma once
#include <string>

class CDBConnection;

struct DB_INFO {
  // File name of the drawing document as the host reports it; empty when the record
  // belongs to no document (a free connection kept for reuse).
  std::wstring docName;
  // Not owned by the record: several records may name one connection over time, and
  // the connection list keeps every connection alive (see ConnectionList.h).
  CDBConnection* connection = nullptr;
  // The path the database was opened with; empty when none.
  std::wstring dbPath;
  bool readOnly = false;
};
