// The three forms of the failure report (see FailureReport.h).
#include "db/FailureReport.h"

#include <string>

#include <acedads.h>
#include <acutads.h>

#include "db/CDBConnection.h"
#include "db/ConnectionList.h"

namespace tabrik::arx::db {
namespace {

constexpr long kNoCurrentRecord = 3021;
constexpr long kDiskError = 3043;

enum class Printing { kTabrik, kDatabase };

// Sets the last-error text from the connection's error; false when it recorded none.
bool keepLastError(CDBConnection* connection, long& code, CString& description) {
  if (connection == nullptr || !connection->HasError()) {
    return false;
  }
  // Through the connection's automation slot, as every holder of a connection reads it.
  LONG slotCode = 0;
  BSTR slotDescription = nullptr;
  connection->raw_GetLastError(&slotCode, &slotDescription);
  code = slotCode;
  description = slotDescription != nullptr ? CString(slotDescription) : CString();
  SysFreeString(slotDescription);
  setLastErrorText(L"(" + std::to_wstring(code) + L") " + description.GetString());
  return true;
}

bool report(CDBConnection* connection, Printing printing) {
  acedRetNil();
  long code = 0;
  CString description;
  if (!keepLastError(connection, code, description)) {
    return false;
  }
  if (code == kNoCurrentRecord) {
    return true;
  }
  if (code == kDiskError) {
    acutPrintf(L"\nA disk or network error occurred while trying to access the database.");
    acutPrintf(
        L"Try the command again. If it continues to not work, try restarting AutoCAD. If that does "
        L"not fix "
        L"the error, try restarting your computer.");
    return true;
  }
  acutPrintf(printing == Printing::kTabrik ? L"\nTabrik Error: %ls" : L"\nDatabase Error: %ls",
             description.GetString());
  return true;
}

}  // namespace

bool reportFailure() { return report(currentConnection(), Printing::kTabrik); }

bool reportTabrikFailure(CDBConnection* connection) {
  return report(connection, Printing::kTabrik);
}

bool reportFailure(CDBConnection* connection) { return report(connection, Printing::kDatabase); }

bool recordFailure(CDBConnection* connection) {
  long code = 0;
  CString description;
  return keepLastError(connection, code, description);
}

}  // namespace tabrik::arx::db
