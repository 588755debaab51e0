// Where new databases go once an office keeps its databases on a server.
//
// Programs make their project databases by path (tb_create_db "job.mdb"). When the
// environment variable TABRIK_DATABASE_SERVER holds a connect string to a PostgreSQL
// server, such a database is made on that server instead: a server database of its
// own (named after the file, made unique), with a pointer file at the path naming it.
// Every later open of the path reaches the server, so the program does not change.
// The server's user needs the CREATEDB privilege. Deleting the pointer file leaves the
// server database in place, as deleting a shortcut leaves its target.
#pragma once
#include <optional>
#include <string>

#include "server/ConnectString.h"

namespace tabrik::dao::server {

constexpr const char* kNewDatabasesVariable = "TABRIK_DATABASE_SERVER";

// The connect string of the server new databases go to; nullopt when none is set.
// Throws 3151 naming the variable's value (password masked) when it is set but is not
// a connect string to a PostgreSQL server.
std::optional<std::string> serverForNewDatabases();

// A connect string naming `address` without its password, as a pointer file holds it:
// the password comes from the password file or the environment of each user.
std::string pointerConnectString(const ServerAddress& address);

// The server database name made for a new database file: the file's name without its
// folder and extension, in lower-case letters, digits and underscores, at most 40
// characters, then "_" and 8 hex digits of `unique`.
std::string serverDatabaseName(const std::string& nativePath, unsigned unique);

// Makes an empty server database for a database file about to be created at
// nativePath, on the server `serverConnect` names, and returns the connect string of
// the new database (no password). The pointer file is the caller's to write. Throws
// DAO's 3151 when the server cannot be reached and 3146 when it refuses (no CREATEDB).
std::string createServerDatabase(const std::string& serverConnect, const std::string& nativePath);

// Drops a database createServerDatabase made, when making its catalog failed. Quiet.
void dropServerDatabase(const std::string& serverConnect, const std::string& databaseConnect);

}  // namespace tabrik::dao::server
