// The connection list, the current connection and the document steps of the database
// layer (see ConnectionList.h).
#include "db/ConnectionList.h"

#include <algorithm>
#include <vector>

#include <acdocman.h>

#include "db/CDBConnection.h"

namespace tabrik::arx::db {
namespace {

// Module-wide state, alive from initialisation to unload; the host calls in on its
// main thread only.
struct DatabaseState {
  ConnectionList records;
  CDBConnection* current = nullptr;
  std::wstring currentPath;
  short currentReadOnly = 0;
  std::wstring lastError;
  std::vector<std::unique_ptr<CDBConnection>> connections;
};

DatabaseState& state() {
  static DatabaseState instance;
  return instance;
}

void makeCurrent(const DB_INFO& record) {
  SetCurrent(record.connection, record.dbPath, record.readOnly);
}

}  // namespace

ConnectionList& connectionList() { return state().records; }

CDBConnection* currentConnection() { return state().current; }
const std::wstring& currentPath() { return state().currentPath; }
short currentReadOnly() { return state().currentReadOnly; }

void SetCurrent(CDBConnection* connection, const std::wstring& path, bool readOnly) {
  DatabaseState& s = state();
  s.current = connection;
  s.currentPath = path;
  s.currentReadOnly = readOnly ? -1 : 0;
}

void ClearCurrent() { SetCurrent(nullptr, std::wstring(), /*readOnly=*/false); }

const std::wstring& lastErrorText() { return state().lastError; }
void setLastErrorText(std::wstring text) { state().lastError = std::move(text); }

CDBConnection* createConnection() {
  auto& connections = state().connections;
  connections.push_back(std::make_unique<CDBConnection>());
  return connections.back().get();
}

void destroyConnection(CDBConnection* connection) {
  auto& connections = state().connections;
  auto found = std::find_if(connections.begin(), connections.end(),
                            [connection](const auto& owned) { return owned.get() == connection; });
  if (found != connections.end()) {
    connections.erase(found);
  }
}

void discardAllConnections() {
  DatabaseState& s = state();
  s.records.clear();
  s.current = nullptr;
  s.currentPath.clear();
  s.currentReadOnly = 0;
  s.connections.clear();
}

std::wstring activeDocumentName() {
  // The document the host is working in: the active one during a LISP call, and the
  // closing one while its unload message runs (it need not be the active window).
  AcApDocument* document = acDocManager->curDocument();
  if (document == nullptr || document->fileName() == nullptr) {
    return std::wstring();
  }
  return document->fileName();
}

void CloseCurrentDatabase() {
  DatabaseState& s = state();
  if (s.current == nullptr) {
    return;
  }
  s.current->Close();
  s.currentPath.clear();
  if (!s.records.empty()) {
    s.records.front()->dbPath.clear();
  }
}

void documentSwitch() {
  DatabaseState& s = state();
  const std::wstring name = activeDocumentName();
  if (s.records.empty()) {
    ClearCurrent();
    return;
  }
  DB_INFO& first = *s.records.front();
  if (first.docName == name) {
    if (first.connection != s.current) {
      makeCurrent(first);
    }
  } else {
    auto found = std::find_if(s.records.begin(), s.records.end(),
                              [&name](const auto& record) { return record->docName == name; });
    if (found == s.records.end()) {
      ClearCurrent();
      return;
    }
    std::swap(*found, s.records.front());
    makeCurrent(*s.records.front());
  }

  if (s.current == nullptr || (s.current->IsIntact() && s.current->IsOpen())) {
    return;
  }
  if (s.current->IsIntact()) {
    CloseCurrentDatabase();
    return;
  }
  // DAO has invalidated the connection: nobody may use it any longer.
  ClearCurrent();
  for (auto& record : s.records) {
    if (record->connection != nullptr && !record->connection->IsIntact()) {
      record->connection = nullptr;
      record->dbPath.clear();
    }
  }
}

bool AddDocumentRecord() {
  auto record = std::make_unique<DB_INFO>();
  AcApDocument* document = acDocManager->curDocument();
  if (document != nullptr && document->fileName() != nullptr) {
    record->docName = document->fileName();
  }
  state().records.push_front(std::move(record));
  return true;
}

void ReleaseDocument() {
  DatabaseState& s = state();
  documentSwitch();
  if (CDBConnection* closing = s.current) {
    closing->Close();
    // The closing drawing's connection may still be named by free records; none of them
    // may keep a pointer to it.
    for (auto& record : s.records) {
      if (record->connection == closing) {
        record->connection = nullptr;
        record->dbPath.clear();
      }
    }
    ClearCurrent();
    destroyConnection(closing);
  }
  if (!s.records.empty()) {
    s.records.pop_front();
  }
  if (acDocManager->documentCount() <= 1) {
    CloseAll();
  }
}

void CloseAll() {
  DatabaseState& s = state();
  while (!s.records.empty()) {
    DB_INFO& record = *s.records.front();
    if (record.connection != nullptr) {
      record.connection->Close();
      record.connection = nullptr;
      record.dbPath.clear();
    }
    s.records.pop_front();
  }
}

}  // namespace tabrik::arx::db
