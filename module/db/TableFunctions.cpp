// The tb_ functions of table cursors: tb_table, tb_close_table, tb_closeall_tables,
// the moves tb_top, tb_bottom, tb_skip and tb_seek, and tb_count. Each acts on the
// current table of the current connection and answers with the record it lands on.
#include <cmath>
#include <string>

#include <acedads.h>

#include "db/CDBConnection.h"
#include "db/ConnectionList.h"
#include "db/DatabaseCall.h"
#include "db/RecordLists.h"
#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "host/ResultValues.h"
#include "host/VariantConversion.h"

namespace tabrik::arx::fn {
namespace {

using Move = bool (CDBConnection::*)(DBRecord& record);

// Moves the current table's cursor; the record it lands on, or the failure report.
template <typename Step>
int moveAndAnswer(db::DatabaseCall& call, Step&& step) {
  DBRecord record;
  return call.run([&](CDBConnection& connection) { return step(connection, record); },
                  [&] { db::retRecord(record); });
}

int moveAndAnswer(Move move) {
  db::DatabaseCall call;
  return moveAndAnswer(call, [move](CDBConnection& connection, DBRecord& record) {
    return (connection.*move)(record);
  });
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
  db::DatabaseCall call;
  if (call.atEnd()) {
    return kTooFewArguments;
  }
  std::wstring table;
  std::wstring index;
  if (!call.readStrings(table) || (!call.atEnd() && !call.readStrings(index))) {
    return kWrongType;
  }
  return call.run(
      [&](CDBConnection& connection) { return connection.OpenTable(table.c_str(), index.c_str()); },
      [&] { acedRetStr(table.c_str()); });
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

int tb_top() { return moveAndAnswer(&CDBConnection::MoveFirst); }

int tb_bottom() { return moveAndAnswer(&CDBConnection::MoveLast); }

int tb_skip() {
  db::DatabaseCall call;
  // An optional argument its reader cannot read takes its default, as everywhere.
  std::int32_t count = 1;
  static_cast<void>(readInteger(call.cursor(), count));
  return moveAndAnswer(call, [count](CDBConnection& connection, DBRecord& record) {
    return connection.Skip(count, record);
  });
}

int tb_seek() {
  db::DatabaseCall call;
  ArgCursor cursor = call.cursor();
  if (cursor == nullptr) {
    return kTooFewArguments;
  }
  if (cursor->restype == RT3DPOINT) {
    const double* p = cursor->resval.rpoint;
    return moveAndAnswer(call, [p](CDBConnection& connection, DBRecord& record) {
      return connection.Seek3(COleVariant(p[0]), COleVariant(p[1]), COleVariant(p[2]), record);
    });
  }
  if (cursor->restype == RTPOINT) {
    const double* p = cursor->resval.rpoint;
    return moveAndAnswer(call, [p](CDBConnection& connection, DBRecord& record) {
      return connection.Seek2(COleVariant(p[0]), COleVariant(p[1]), record);
    });
  }
  if (cursor->rbnext == nullptr && cursor->restype != RTLB) {
    if (cursor->restype == RTNIL) {
      return kResultOk;
    }
    COleVariant key;
    if (!resbufToVariant(cursor, key)) {
      return kWrongType;
    }
    return moveAndAnswer(call, [&key](CDBConnection& connection, DBRecord& record) {
      return connection.Seek1(key, record);
    });
  }
  COleVariant keys[kMaxSeekKeys];
  int count = 0;
  if (!readSeekKeys(cursor, keys, count)) {
    return kWrongType;
  }
  return moveAndAnswer(call, [&keys, count](CDBConnection& connection, DBRecord& record) {
    return connection.SeekArray(keys, count, record);
  });
}

int tb_count() {
  db::DatabaseCall call;
  long count = 0;
  return call.run([&](CDBConnection& connection) { return connection.GetRecordCount(count); },
                  [&] { retInteger(count); });
}

}  // namespace tabrik::arx::fn
