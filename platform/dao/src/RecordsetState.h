// The engine's state of one recordset: where it stands, its copy buffer and its
// rows when it is a snapshot. Only CDaoRecordset and the snapshot reader use it.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "DaoStore.h"
#include "TableCursor.h"

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
  long pos = -1;

  int editMode = dbEditNone;
  Row buffer;
  Row original;
  bool lockHeld = false;
  bool hasLastModified = false;
  long long lastModified = 0;
};
