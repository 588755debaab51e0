// The engine's state of one recordset: where it stands, its copy buffer and its
// rows when it is a snapshot (its statement when it is forward-only). Only
// CDaoRecordset and the snapshot reader use it.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "DaoStore.h"
#include "TableCursor.h"

struct DAODatabase;

struct DAORecordset {
  using TableSchema = tabrik::dao::TableSchema;
  using TableCursor = tabrik::dao::TableCursor;
  using Row = tabrik::dao::Row;

  int type = dbOpenTable;
  bool tableBased = false;  // over one stored table (table type or dynaset)
  bool readOnly = false;
  bool pessimistic = true;
  std::wstring source;  // the table name or statement given to Open
  TableSchema schema;   // the table's definition, or the snapshot's columns
  int index = -1;       // current index in schema.indexes
  std::unique_ptr<TableCursor> cursor;

  bool bof = true;
  bool eof = true;
  bool onRecord = false;
  bool deleted = false;
  long long rowid = 0;
  Row row;

  std::vector<Row> rows;  // snapshot
  long pos = -1;          // snapshot: the current row; forward-only: rows read - 1
  // Forward-only: the statement positioned on the current row (null once it is done),
  // and the columns whose type waits for their first value that is not Null.
  bool forwardOnly = false;
  std::unique_ptr<tabrik::dao::Statement> stream;
  std::vector<bool> untyped;
  // The connection the stream steps on; its steps run as a caller's SQL (cancellable).
  DAODatabase* streamDatabase = nullptr;

  int editMode = dbEditNone;
  Row buffer;
  Row original;
  bool lockHeld = false;
  bool hasLastModified = false;
  long long lastModified = 0;
};
