// The tb_ functions that maintain database files: tb_link_table (a table of another
// database file attached to the current one) and tb_compact (a closed file compacted
// into a new one, with the "Database Error" box naming the computer on failure).
#include <string>

#include <acedads.h>
#include <acutads.h>
#include <sysinfoapi.h>
#include <winuser.h>

#include "db/CDBConnection.h"
#include "db/ConnectionList.h"
#include "db/DatabaseCall.h"
#include "db/FailureReport.h"
#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "host/ResultValues.h"

namespace tabrik::arx::fn {
namespace {

constexpr long kNoCurrentRecord = 3021;
constexpr long kDiskError = 3043;
// The buffer the computer's name is read into, in characters.
constexpr DWORD kComputerNameBuffer = 15;

// The failure report's printing, for an error of a connection that is not current.
void printDaoError(long code, const CString& description) {
  if (code == kNoCurrentRecord) {
    return;
  }
  if (code == kDiskError) {
    acutPrintf(L"\nA disk or network error occurred while trying to access the database.");
    acutPrintf(
        L"Try the command again. If it continues to not work, try restarting AutoCAD. If that does "
        L"not fix "
        L"the error, try restarting your computer.");
    return;
  }
  acutPrintf(L"\nTabrik Error: %ls", description.GetString());
}

int countArguments(ArgCursor cursor) {
  int count = 0;
  for (; cursor != nullptr; cursor = cursor->rbnext) {
    ++count;
  }
  return count;
}

}  // namespace

int tb_link_table() {
  db::DatabaseCall call;
  if (countArguments(call.cursor()) < 3) {
    return kTooFewArguments;
  }
  std::wstring localName;
  std::wstring path;
  std::wstring sourceTable;
  if (!call.readStrings(localName, path, sourceTable)) {
    return kWrongType;
  }
  return call.run(
      [&](CDBConnection& connection) {
        bool linked = false;
        return connection.LinkTable(localName.c_str(), path.c_str(), sourceTable.c_str(), linked) &&
               linked;
      },
      [] { acedRetT(); });
}

int tb_compact() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  if (countArguments(cursor) < 2) {
    return kTooFewArguments;
  }
  std::wstring source;
  std::wstring destination;
  if (!readString(cursor, source) || !readString(cursor, destination)) {
    return kWrongType;
  }
  bool dialog = true;
  if (cursor != nullptr && !readBoolean(cursor, dialog)) {
    dialog = true;
  }
  // A connection of its own, on no file: compaction needs the source closed and
  // leaves the current connection alone.
  CDBConnection compactor;
  if (compactor.CompactDatabase(source.c_str(), destination.c_str())) {
    acedRetStr(L"OK");
    return kResultOk;
  }
  long code = 0;
  CString description;
  if (compactor.HasError()) {
    compactor.GetLastError(code, description);
    db::setLastErrorText(L"(" + std::to_wstring(code) + L") " + description.GetString());
    printDaoError(code, description);
  }
  wchar_t computer[kComputerNameBuffer] = {};
  DWORD size = kComputerNameBuffer;
  if (dialog && ::GetComputerNameW(computer, &size)) {
    const CString text = description + L"\n(Your computer name is " + computer + L".)";
    MessageBoxW(nullptr, text.GetString(), L"Database Error", MB_OK | MB_ICONSTOP);
  }
  retInteger(code);
  return kResultOk;
}

}  // namespace tabrik::arx::fn
