// The tb_ functions that read and write whole records of the current table:
// tb_getrec, tb_append, tb_append_withindex, tb_replace and tb_delete. Supplied
// records are read by RecordLists; writing and its conflict retries are
// CDBConnection's.
#include <cstdint>
#include <string>

#include <acedads.h>

#include "db/CDBConnection.h"
#include "db/ConnectionList.h"
#include "db/DatabaseCall.h"
#include "db/FailureReport.h"
#include "db/RecordLists.h"
#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"

namespace tabrik::arx::fn {
namespace {

// The first field's value as a 32-bit integer; 0 when it has none.
std::int32_t firstFieldAsLong(const DBRecord& record) {
  if (record.empty()) {
    return 0;
  }
  COleVariant value = record.front().value;
  try {
    value.ChangeType(VT_I4);
  } catch (COleException* e) {
    e->Delete();
    return 0;
  }
  return value.lVal;
}

// Writes through the current connection; the record as written, or the failure report.
template <typename Write>
int writeAndAnswer(db::DatabaseCall& call, Write&& write) {
  DBRecord record;
  return call.run([&](CDBConnection& connection) { return write(connection, record); },
                  [&] { db::retRecord(record); });
}

}  // namespace

int tb_getrec() {
  db::DatabaseCall call;
  DBRecord record;
  return call.run([&](CDBConnection& connection) { return connection.GetRecord(record); },
                  [&] { db::retRecord(record); });
}

int tb_append() {
  db::DatabaseCall call;
  ArgCursor& cursor = call.cursor();
  bool fill = false;
  if (cursor != nullptr &&
      (cursor->restype == RTSHORT || cursor->restype == RTLONG || cursor->restype == RTREAL)) {
    double number = 0;
    readReal(cursor, number);
    fill = number != 0;
  }
  DBRecord values;
  if (!db::readSuppliedRecord(cursor, values)) {
    return kResultOk;
  }
  return writeAndAnswer(call, [&](CDBConnection& connection, DBRecord& record) {
    return connection.AppendRecord(values, fill, record);
  });
}

int tb_append_withindex() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::int32_t index = 0;
  if (!readInteger(cursor, index)) {
    return kWrongType;
  }
  DBRecord values;
  if (!db::readSuppliedRecord(cursor, values)) {
    return kResultOk;
  }
  CDBConnection* connection = db::currentConnection();
  if (connection == nullptr) {
    return kResultOk;
  }
  DBRecord last;
  const std::int32_t highest = connection->MoveLast(last) ? firstFieldAsLong(last) : 0;
  static constexpr const wchar_t* kUnmatched = L"error - unable to match index";
  if (index < highest) {
    acedRetStr(kUnmatched);
    return kResultOk;
  }
  // Each pass takes one auto-number, so the counter reaches the index in the end; a
  // key beyond it can no longer be matched.
  for (;;) {
    DBRecord record;
    if (!connection->AppendRecord(values, /*fill=*/false, record)) {
      db::reportFailure();
      return kResultOk;
    }
    const std::int32_t key = firstFieldAsLong(record);
    if (key == index) {
      db::retRecord(record);
      return kResultOk;
    }
    const wchar_t* result = key > index ? kUnmatched : nullptr;
    if (!connection->DeleteRecord()) {
      result = L"error - failed to delete record";
    }
    if (result != nullptr) {
      acedRetStr(result);
      return kResultOk;
    }
  }
}

int tb_replace() {
  db::DatabaseCall call;
  DBRecord values;
  if (!db::readSuppliedRecord(call.cursor(), values)) {
    return kResultOk;
  }
  return writeAndAnswer(call, [&](CDBConnection& connection, DBRecord& record) {
    return connection.ReplaceRecord(values, record);
  });
}

int tb_delete() {
  db::DatabaseCall call;
  return call.run([](CDBConnection& connection) { return connection.DeleteRecord(); },
                  [] { acedRetT(); });
}

}  // namespace tabrik::arx::fn
