// The database layer's per-drawing bookkeeping: the connection list (one DB_INFO per
// claim of a drawing on a connection, most recently used first), the current
// connection every tb_ function acts on, the last-error text, and the steps the
// drawing load and unload messages and the document switch perform on them.
//
// Ownership: every CDBConnection is created and destroyed through this file
// (createConnection / destroyConnection). Records only name connections; a connection
// that no record names any longer (CloseAll closes connections but keeps them) is
// freed when the module unloads (discardAllConnections).
#pragma once
#include <list>
#include <memory>
#include <string>

#include "db/DB_INFO.h"

class CDBConnection;

namespace tabrik::arx::db {

using ConnectionList = std::list<std::unique_ptr<DB_INFO>>;

// The number of tb_ functions; the drawing functions' codes start here.
int databaseFunctionCount();

ConnectionList& connectionList();

// --- the current connection ----------------------------------------------------
CDBConnection* currentConnection();
const std::wstring& currentPath();
// DAO's automation boolean: -1 read-only, 0 read-write.
short currentReadOnly();
// Sets the connection, its path and its read-only flag together.
void SetCurrent(CDBConnection* connection, const std::wstring& path, bool readOnly);
// Null, the empty path and 0.
void ClearCurrent();

// --- the last-error text (tb_lastError) -----------------------------------------
const std::wstring& lastErrorText();
void setLastErrorText(std::wstring text);

// --- connections -----------------------------------------------------------------
CDBConnection* createConnection();
// Destroys a connection made by createConnection; nullptr is ignored. The caller has
// already removed it from every record and from the current connection.
void destroyConnection(CDBConnection* connection);
// At module unload: frees every connection still alive.
void discardAllConnections();

// --- document steps ---------------------------------------------------------------
// The active document's file name; empty when the host has no active document.
std::wstring activeDocumentName();
// Makes the active drawing's record the first one and its connection current; drops a
// connection that DAO has invalidated and closes the work of one found closed.
void documentSwitch();
// tb_close_db's work: closes the current connection (which stays current), empties
// the current path and the first record's dbPath.
void CloseCurrentDatabase();
// On every drawing load: a fresh record for the current document at the front.
bool AddDocumentRecord();
// On every drawing unload: the closing drawing's record and connection are discarded;
// with the last drawing, every record goes (CloseAll).
void ReleaseDocument();
// Closes the connection of every record and destroys every record.
void CloseAll();

}  // namespace tabrik::arx::db
