// The tb_ functions of table cursors: tb_table, tb_close_table, tb_closeall_tables,
// the moves tb_top, tb_bottom, tb_skip and tb_seek, and tb_count. Each acts on the
// current table of the current connection and answers with the record it lands on.
#include <cmath>
#include <string>

#include <acedads.h>

#include "db/CDBConnection.h"
#include "db/ConnectionList.h"
#include "db/FailureReport.h"
#include "db/RecordLists.h"
#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "host/ResultValues.h"
#include "host/VariantConversion.h"

namespace tabrik::arx::fn {
namespace {

// The record on success, the failure report otherwise.
int answerRecord(bool moved, const DBRecord& record) {
  if (!moved) {
    db::reportFailure();
    return kResultOk;
  }
  db::retRecord(record);
  return kResultOk;
}

// Reads up to ten key values from the cursor (or from inside the list it opens),
// stopping at the end of the arguments or of that list.
bool readSeekKeys(ArgCursor cursor, COleVariant* keys, int& count) {
  count = 0;
  const bool inList = readListStart(cursor);
  while (cursor != nullptr && count < kMaxSeekKeys) {
    if (inList && cursor->restype == RTLE) {
      break;
    }
    if (!resbufToVariant(cursor, keys[count])) {
      return false;
    }
    ++count;
    cursor = cursor->rbnext;
  }
  return true;
}

}  // namespace

int tb_table() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  if (cursor == nullptr) {
    return kTooFewArguments;
  }
  std::wstring table;
  if (!readString(cursor, table)) {
    return kWrongType;
  }
  std::wstring index;
  if (cursor != nullptr && !readString(cursor, index)) {
    return kWrongType;
  }
  CDBConnection* connection = db::currentConnection();
  if (connection == nullptr) {
    return kResultOk;
  }
  if (!connection->OpenTable(table.c_str(), index.c_str())) {
    db::reportFailure();
    return kResultOk;
  }
  acedRetStr(table.c_str());
  return kResultOk;
}

int tb_close_table() {
  acedRetNil();
  if (CDBConnection* connection = db::currentConnection()) {
    static_cast<void>(connection->CloseTable());
  }
  return kResultOk;
}

int tb_closeall_tables() {
  acedRetNil();
  if (CDBConnection* connection = db::currentConnection()) {
    static_cast<void>(connection->CloseAllTables());
  }
  return kResultOk;
}

int tb_top() {
  acedRetNil();
  CDBConnection* connection = db::currentConnection();
  if (connection == nullptr) {
    return kResultOk;
  }
  DBRecord record;
  return answerRecord(connection->MoveFirst(record), record);
}

int tb_bottom() {
  acedRetNil();
  CDBConnection* connection = db::currentConnection();
  if (connection == nullptr) {
    return kResultOk;
  }
  DBRecord record;
  return answerRecord(connection->MoveLast(record), record);
}

int tb_skip() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  // An optional argument its reader cannot read takes its default, as everywhere.
  std::int32_t count = 1;
  static_cast<void>(readInteger(cursor, count));
  CDBConnection* connection = db::currentConnection();
  if (connection == nullptr) {
    return kResultOk;
  }
  DBRecord record;
  return answerRecord(connection->Skip(count, record), record);
}

int tb_seek() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  if (cursor == nullptr) {
    return kTooFewArguments;
  }
  CDBConnection* connection = db::currentConnection();
  DBRecord record;
  if (cursor->restype == RT3DPOINT) {
    if (connection == nullptr) {
      return kResultOk;
    }
    const double* p = cursor->resval.rpoint;
    return answerRecord(
        connection->Seek3(COleVariant(p[0]), COleVariant(p[1]), COleVariant(p[2]), record), record);
  }
  if (cursor->restype == RTPOINT) {
    if (connection == nullptr) {
      return kResultOk;
    }
    const double* p = cursor->resval.rpoint;
    return answerRecord(connection->Seek2(COleVariant(p[0]), COleVariant(p[1]), record), record);
  }
  if (cursor->rbnext == nullptr && cursor->restype != RTLB) {
    if (cursor->restype == RTNIL) {
      return kResultOk;
    }
    COleVariant key;
    if (!resbufToVariant(cursor, key)) {
      return kWrongType;
    }
    if (connection == nullptr) {
      return kResultOk;
    }
    return answerRecord(connection->Seek1(key, record), record);
  }
  COleVariant keys[kMaxSeekKeys];
  int count = 0;
  if (!readSeekKeys(cursor, keys, count)) {
    return kWrongType;
  }
  if (connection == nullptr) {
    return kResultOk;
  }
  return answerRecord(connection->SeekArray(keys, count, record), record);
}

int tb_count() {
  acedRetNil();
  CDBConnection* connection = db::currentConnection();
  if (connection == nullptr) {
    return kResultOk;
  }
  long count = 0;
  if (!connection->GetRecordCount(count)) {
    db::reportFailure();
    return kResultOk;
  }
  retInteger(count);
  return kResultOk;
}

}  // namespace tabrik::arx::fn
