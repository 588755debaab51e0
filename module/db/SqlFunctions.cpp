// The tb_ functions of SQL: tb_sql, tb_sql-nil and tb_sql-error (a SELECT whose rows
// come back as LISP lists; a failing statement is retried once after the database
// was closed and opened again), tb_command (action statements), tb_query (stored
// queries with parameters) and tb_create_query.
#include <string>
#include <utility>
#include <vector>

#include <acedads.h>
#include <acutads.h>
#include <winuser.h>

#include "db/CDBConnection.h"
#include "db/ConnectionCalls.h"
#include "db/ConnectionList.h"
#include "db/DatabaseCall.h"
#include "db/FailureReport.h"
#include "db/SqlResultList.h"
#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "host/ResultValues.h"
#include "host/VariantConversion.h"

namespace tabrik::arx::fn {
namespace {

// What a statement that failed for good answers.
enum class FailureMode {
  kDialog = 0,  // the connection-error box; Yes ends in a LISP error
  kNil = 1,
  kErrorText = 2,  // the string "*ERROR*"
};

constexpr const wchar_t* kErrorMarker = L"*ERROR*";
constexpr const wchar_t* kConnectionErrorText =
    L"Database connection error.\nClose and reopen AutoCAD.\n\nIf you are getting this error "
    L"frequently, press "
    L"\"Yes\" to send an error report to Norvane Support.";
// Yes and No, No the default, the stop icon.
constexpr UINT kConnectionErrorStyle = MB_YESNO | MB_ICONSTOP | MB_DEFBUTTON2;

FailureMode failureModeOf(std::int32_t mode) {
  if (mode == 1) {
    return FailureMode::kNil;
  }
  if (mode == 2) {
    return FailureMode::kErrorText;
  }
  return FailureMode::kDialog;
}

// The statement failed for good. The dialog's Yes prints which attempt failed and
// the statement, reports the DAO error and makes the call a LISP error.
int statementFailed(FailureMode mode, const wchar_t* attempt, const std::wstring& statement) {
  acedRetNil();
  if (mode == FailureMode::kNil) {
    return kResultOk;
  }
  if (mode == FailureMode::kErrorText) {
    acedRetStr(kErrorMarker);
    return kResultOk;
  }
  HWND previous = GetActiveWindow();
  const int answer = MessageBoxW(previous, kConnectionErrorText, L"Norvane", kConnectionErrorStyle);
  SetActiveWindow(previous);
  if (answer != IDYES) {
    return kResultOk;
  }
  acutPrintf(L"%ls%ls", attempt, statement.c_str());
  db::reportFailure();
  return kBadData;
}

// Runs the SELECT with its rows read straight into the LISP list, which is returned
// when the statement ran to its end (a failure part-way returns nothing).
bool selectIntoList(CDBConnection& connection, const std::wstring& statement) {
  db::ListPtr list;
  const bool ran = connection.OpenQuery(
      statement.c_str(), [&](CDaoRecordset& rows) { list.reset(db::queryResultList(rows)); });
  if (ran) {
    db::retQueryList(std::move(list));
  }
  return ran;
}

// The tb_sql family once its arguments are read.
int runSelect(const std::wstring& statement, FailureMode mode) {
  acedRetNil();
  CDBConnection* connection = db::currentConnection();
  if (connection == nullptr) {
    return kResultOk;
  }
  if (selectIntoList(*connection, statement)) {
    return kResultOk;
  }
  // Whatever the error, the database is closed and opened again, and the statement
  // runs once more: a connection DAO has given up on comes back this way.
  CString path = connection->GetDatabaseName();
  bool readOnly = false;
  if (!path.IsEmpty()) {
    readOnly = !connection->CanUpdate();
    connection->Close();
  } else {
    path = db::currentPath().c_str();
    readOnly = db::currentReadOnly() != 0;
  }
  if (path.IsEmpty()) {
    return statementFailed(mode, L"\nQuery 1: ", statement);
  }
  const CString opened = connection->Open(path, /*exclusive=*/false, readOnly);
  if (opened.IsEmpty() || opened == CDBConnection::kRepairMarker) {
    db::reportFailure();
    if (mode == FailureMode::kNil) {
      return kResultOk;
    }
    if (mode == FailureMode::kErrorText) {
      acedRetStr(kErrorMarker);
      return kResultOk;
    }
    return kBadData;
  }
  if (selectIntoList(*connection, statement)) {
    return kResultOk;
  }
  return statementFailed(mode, L"\nQuery 2: ", statement);
}

// tb_sql-nil and tb_sql-error: the statement is their only argument.
int selectWithFixedMode(FailureMode mode) {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring statement;
  if (!readString(cursor, statement)) {
    return kWrongType;
  }
  return runSelect(statement, mode);
}

// Query parameters as they travel to the database layer: list openings, closings and
// dots become the strings "*RTLB*", "*RTLE*" and "*RTDOTE*", every other element its
// database value. False when an element has none (a point, an entity name, ...).
bool flattenArguments(ArgCursor cursor, std::vector<COleVariant>& tokens) {
  for (; cursor != nullptr; cursor = cursor->rbnext) {
    const wchar_t* marker = cursor->restype == RTLB     ? L"*RTLB*"
                            : cursor->restype == RTLE   ? L"*RTLE*"
                            : cursor->restype == RTDOTE ? L"*RTDOTE*"
                                                        : nullptr;
    if (marker != nullptr) {
      tokens.emplace_back(marker, VT_BSTRT);
      continue;
    }
    COleVariant value;
    if (!resbufToVariant(cursor, value)) {
      return false;
    }
    tokens.push_back(value);
  }
  return true;
}

}  // namespace

int tb_sql() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  if (cursor == nullptr) {
    return kTooFewArguments;
  }
  std::wstring statement;
  if (!readString(cursor, statement)) {
    return kWrongType;
  }
  std::int32_t mode = 0;
  if (cursor != nullptr && !readInteger(cursor, mode)) {
    mode = 0;
  }
  return runSelect(statement, failureModeOf(mode));
}

int tb_sql_nil() { return selectWithFixedMode(FailureMode::kNil); }

int tb_sql_error() { return selectWithFixedMode(FailureMode::kErrorText); }

int tb_command() {
  db::DatabaseCall call;
  if (call.atEnd()) {
    return kTooFewArguments;
  }
  std::wstring statement;
  if (!call.readStrings(statement)) {
    return kWrongType;
  }
  long affected = 0;
  return call.run(
      [&](CDBConnection& connection) {
        return connection.ExecuteCommand(statement.c_str(), affected);
      },
      [&] { retInteger(affected); });
}

int tb_query() {
  db::DatabaseCall call;
  std::wstring name;
  if (!call.readStrings(name)) {
    return kWrongType;
  }
  // Without a connection the parameters are not read at all.
  if (db::currentConnection() == nullptr) {
    return kResultOk;
  }
  std::vector<COleVariant> tokens;
  if (!flattenArguments(call.cursor(), tokens)) {
    return kResultOk;
  }
  db::ListPtr list;
  return call.run(
      [&](CDBConnection& connection) {
        return connection.RunQuery(name.c_str(), tokens, [&](CDaoRecordset& rows) {
          list.reset(db::queryResultList(rows));
        });
      },
      [&] { db::retQueryList(std::move(list)); });
}

int tb_create_query() { return db::runTwoNameOperation(&CDBConnection::CreateQuery); }

}  // namespace tabrik::arx::fn
