// How a program names a database server: DAO's ODBC connect string
// "ODBC;DRIVER={PostgreSQL};SERVER=..;PORT=..;DATABASE=..;UID=..;PWD=..", a pointer
// file holding one in place of a database file, and the libpq connection text both
// become.
#pragma once
#include <optional>
#include <string>

namespace tabrik::dao::server {

// One server database as a connect string names it; empty members are left to
// libpq's defaults (PGHOST, PGPORT, PGUSER, PGPASSWORD, the password file).
struct ServerAddress {
  std::string host, port, database, user, password, options;
};

// nullopt when the text is not a connect string to a PostgreSQL server.
std::optional<ServerAddress> parseConnectString(const std::string& connect);

// The connect string when the file at nativePath is a pointer file (its first line
// that is neither blank nor a '#' comment is a server connect string).
std::optional<std::string> readPointerFile(const std::string& nativePath);

// libpq's connection text: keywords quoted, the password omitted when empty.
std::string libpqConnInfo(const ServerAddress& address);

}  // namespace tabrik::dao::server
