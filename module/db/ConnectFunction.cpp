// tb_connect: opens an Access database for the active drawing, reusing a connection
// that some record already holds on the same database, finding the file in the
// host's search folders ("ACADPREFIX") when the path names none, and asking the LISP
// application to repair a file DAO cannot open. An ODBC connect string in place of the
// path names a server database and goes to DAO as it was given. Records and the current connection
// are ConnectionList's; this file decides which of them the drawing keeps.
#include <algorithm>
#include <string>

#include <acedads.h>
#include <acutads.h>
#include <fileapi.h>

#include "db/CDBConnection.h"
#include "db/ConnectionList.h"
#include "db/FailureReport.h"
#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"

namespace tabrik::arx::fn {
namespace {

std::wstring upperWithBackslashes(std::wstring text) {
  for (wchar_t& c : text) {
    c = c == L'/' ? L'\\' : static_cast<wchar_t>(std::towupper(c));
  }
  return text;
}

// The connection is open on the database `path` names: the same name, or the path
// inside the name DAO reports (a relative path names a file of that full name).
bool isSameDatabase(CDBConnection* connection, const std::wstring& path) {
  if (connection == nullptr || !connection->IsIntact() || !connection->IsOpen()) {
    return false;
  }
  const std::wstring name = upperWithBackslashes(connection->GetDatabaseName().GetString());
  const std::wstring wanted = upperWithBackslashes(path);
  return name == wanted || name.find(wanted) != std::wstring::npos;
}

// Whether a file (not a folder) exists at a path written in the host's Windows form.
bool fileExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The path itself when a file is there or it is a connect string (no file to look
// for: DAO reaches the server it names), else the first "folder\path" of the host's
// search folders that exists; empty when none does.
std::wstring locateDatabase(const std::wstring& path) {
  if (CDBConnection::IsConnectString(path) || fileExists(path)) {
    return path;
  }
  resbuf prefix{};
  if (acedGetVar(L"ACADPREFIX", &prefix) != RTNORM || prefix.restype != RTSTR ||
      prefix.resval.rstring == nullptr) {
    return std::wstring();
  }
  const std::wstring folders = prefix.resval.rstring;
  // The host allocated the text as it allocates a list's strings: a buffer of the
  // list's kind carries it back for release.
  resbuf* owner = acutNewRb(RTSTR);
  owner->resval.rstring = prefix.resval.rstring;
  acutRelRb(owner);
  std::size_t start = 0;
  while (start <= folders.size()) {
    std::size_t end = folders.find(L';', start);
    if (end == std::wstring::npos) {
      end = folders.size();
    }
    const std::wstring folder = folders.substr(start, end - start);
    if (!folder.empty()) {
      const std::wstring candidate = folder + L"\\" + path;
      if (fileExists(candidate)) {
        return candidate;
      }
    }
    start = end + 1;
  }
  return std::wstring();
}

// Asks the LISP application to repair the file: (compactDatabase path nil "Repair").
// True when it answered with a non-nil value.
bool askForRepair(const std::wstring& path) {
  resbuf* call =
      acutBuildList(RTSTR, L"compactDatabase", RTSTR, path.c_str(), RTNIL, RTSTR, L"Repair", 0);
  if (call == nullptr) {
    return false;
  }
  resbuf* result = nullptr;
  const int status = acedInvoke(call, &result);
  acutRelRb(call);
  const bool repaired = status == RTNORM && result != nullptr && result->restype != RTNIL;
  if (result != nullptr) {
    acutRelRb(result);
  }
  return repaired;
}

// Drops the records that hold nothing: no drawing and no connection.
void dropEmptyRecords() {
  auto& records = db::connectionList();
  records.remove_if(
      [](const auto& record) { return record->docName.empty() && record->connection == nullptr; });
}

// Step of tb_connect that lets the drawing adopt a connection some record holds on
// the same database, after giving up its own claims when it has to.
void releaseAndAdopt(const std::wstring& path, const std::wstring& document) {
  auto& records = db::connectionList();
  if (records.empty()) {
    return;
  }
  DB_INFO& first = *records.front();
  if (isSameDatabase(first.connection, path)) {
    if (first.connection != db::currentConnection()) {
      db::SetCurrent(first.connection, first.dbPath, first.readOnly);
    }
    return;
  }
  for (auto& record : records) {
    if (record->docName != document) {
      continue;
    }
    if (record->connection == db::currentConnection() && record->connection != nullptr) {
      db::ClearCurrent();
    }
    // The record keeps its connection open: a free connection for whoever comes next.
    record->docName.clear();
  }
  auto adopted = std::find_if(records.begin(), records.end(), [&](const auto& record) {
    return isSameDatabase(record->connection, path) &&
           (record->docName == document || record->docName.empty());
  });
  if (adopted == records.end()) {
    return;
  }
  (*adopted)->docName = document;
  if (records.front()->docName == document && adopted != records.begin()) {
    records.front()->docName.clear();
  }
  std::swap(*adopted, records.front());
  const DB_INFO& now = *records.front();
  db::SetCurrent(now.connection, now.dbPath, now.readOnly);
}

// The connect failed: the report shows the new connection's error (it is current for
// the report only), the connection goes and the drawing is left without one.
int connectFailed(CDBConnection* connection, const std::wstring& path, bool readOnly,
                  bool failHard) {
  db::SetCurrent(connection, path, readOnly);
  db::reportFailure();
  db::ClearCurrent();
  db::destroyConnection(connection);
  return failHard ? kAlreadyReported : kResultOk;
}

// An open that succeeded may still have something to say (an Access file opens
// read-only and says how to make it writable): it becomes the last error, once.
void tellWhatTheOpenSaid(const CDBConnection& connection) {
  if (!connection.HasError()) return;
  long code = 0;
  CString description;
  connection.GetLastError(code, description);
  db::setLastErrorText(L"(" + std::to_wstring(code) + L") " + description.GetString());
}

}  // namespace

int tb_connect() {
  acedRetNil();
  dropEmptyRecords();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring path;
  if (!readString(cursor, path)) {
    return kWrongType;
  }
  std::wstring mode = L"w";
  bool failHard = false;
  if (readString(cursor, mode)) {
    readBoolean(cursor, failHard);
  }
  const bool readOnly = mode != L"w";
  const std::wstring document = db::activeDocumentName();
  const bool sameAsCurrent = isSameDatabase(db::currentConnection(), path);

  releaseAndAdopt(path, document);

  if (CDBConnection* current = db::currentConnection(); current != nullptr && current->IsIntact()) {
    if (current->IsOpen() && sameAsCurrent && current->CanUpdate() == !readOnly) {
      acedRetT();
      return kResultOk;
    }
    if (current->IsOpen()) {
      current->Close();
      auto& records = db::connectionList();
      if (!records.empty()) {
        records.front()->connection = nullptr;
        records.front()->dbPath.clear();
      }
    }
    // No record may keep naming the connection that goes now.
    for (auto& record : db::connectionList()) {
      if (record->connection == current) {
        record->connection = nullptr;
        record->dbPath.clear();
      }
    }
    db::ClearCurrent();
    db::destroyConnection(current);
  }

  if (db::currentConnection() == nullptr) {
    const std::wstring located = locateDatabase(path);
    if (located.empty()) {
      return kResultOk;
    }
    path = located;
    CDBConnection* connection = db::createConnection();
    CString opened = connection->Open(path.c_str(), /*exclusive=*/false, readOnly);
    if (opened == CDBConnection::kRepairMarker) {
      connection->Close();
      if (!askForRepair(path)) {
        return connectFailed(connection, path, readOnly, failHard);
      }
      opened = connection->Open(path.c_str(), /*exclusive=*/false, readOnly);
      if (opened == CDBConnection::kRepairMarker) {
        return connectFailed(connection, path, readOnly, failHard);
      }
    }
    if (opened.IsEmpty()) {
      return connectFailed(connection, path, readOnly, failHard);
    }
    db::SetCurrent(connection, path, readOnly);
    tellWhatTheOpenSaid(*connection);
  }

  auto record = std::make_unique<DB_INFO>();
  record->docName = document;
  record->connection = db::currentConnection();
  record->dbPath = path;
  record->readOnly = readOnly;
  db::connectionList().push_front(std::move(record));
  acedRetT();
  return kResultOk;
}

}  // namespace tabrik::arx::fn
