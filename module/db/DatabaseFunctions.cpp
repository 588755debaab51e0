// The tb_ functions that ask about or act on the current connection's database as a
// whole: tb_mdb, tb_create_db, tb_close_db, tb_exist, tb_readonly, tb_current_table
// and tb_current_index. Opening is tb_connect's (ConnectFunction.cpp).
#include <string>

#include <acedads.h>

#include "db/CDBConnection.h"
#include "db/ConnectionCalls.h"
#include "db/ConnectionList.h"
#include "db/DatabaseCall.h"
#include "db/FailureReport.h"
#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"

namespace tabrik::arx::fn {

int tb_mdb() {
  db::DatabaseCall call;
  CString name;
  return call.run(
      [&](CDBConnection& connection) {
        name = connection.GetDatabaseName();
        return !name.IsEmpty();
      },
      [&] { acedRetStr(name.GetString()); });
}

int tb_create_db() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring path;
  if (!readString(cursor, path)) {
    return kWrongType;
  }
  // A connection of its own: the new file is not opened, the current one is untouched.
  CDBConnection creator;
  if (creator.CreateDatabase(path.c_str())) {
    acedRetT();
    return kResultOk;
  }
  db::reportFailure();
  return kResultOk;
}

int tb_close_db() {
  acedRetNil();
  db::CloseCurrentDatabase();
  return kResultOk;
}

int tb_exist() { return db::answerNameQuestion(&CDBConnection::TableExists); }

int tb_readonly() {
  CDBConnection* connection = db::currentConnection();
  if (connection == nullptr || connection->IsReadOnly()) {
    acedRetT();
  } else {
    acedRetNil();
  }
  return kResultOk;
}

int tb_current_table() {
  acedRetNil();
  if (CDBConnection* connection = db::currentConnection()) {
    acedRetStr(connection->GetCurrentTable().GetString());
  }
  return kResultOk;
}

int tb_current_index() {
  acedRetNil();
  if (CDBConnection* connection = db::currentConnection()) {
    acedRetStr(connection->GetCurrentIndex().GetString());
  }
  return kResultOk;
}

}  // namespace tabrik::arx::fn
