// How a program names a database server: DAO's ODBC connect strings, the pointer file
// that stands where a database file is expected, and the libpq connection text both
// become. Connecting, and everything after it, belongs to the server back end.
#pragma once
#include <optional>
#include <string>

namespace tabrik::dao::server {

// One server database as a connect string names it. An empty member is left to libpq's
// own defaults (PGHOST, PGPORT, PGDATABASE, PGUSER, and PGPASSWORD or the password file
// PGPASSFILE / ~/.pgpass), so a string that names only the driver and the database
// still reaches the server an administrator configured.
//
// `options` holds further libpq connection parameters, already in libpq's
// `keyword='value'` form, separated by spaces: those the connect string gave through
// SSLMODE, CONNECT_TIMEOUT and the driver's pass-through key PQOPT.
struct ServerAddress {
  std::string host, port, database, user, password, options;
};

// A DAO ODBC connect string to a PostgreSQL server:
//
//   ODBC;DRIVER={PostgreSQL};SERVER=host;PORT=5432;DATABASE=name;UID=user;PWD=secret
//
// | key                     | member   | note                                     |
// |-------------------------|----------|------------------------------------------|
// | DRIVER                  | -        | required: PostgreSQL, PostgreSQL Unicode, |
// |                         |          | PostgreSQL ANSI (any name whose first    |
// |                         |          | word is PostgreSQL, e.g. "(x64)" forms)  |
// | SERVER, SERVERNAME, HOST| host     |                                          |
// | PORT                    | port     |                                          |
// | DATABASE, DB            | database |                                          |
// | UID, USER, USERNAME     | user     |                                          |
// | PWD, PASSWORD           | password |                                          |
// | SSLMODE                 | options  | sslmode='...'                            |
// | CONNECT_TIMEOUT         | options  | connect_timeout='...'                    |
// | PQOPT                   | options  | libpq parameters, passed on verbatim     |
//
// Keys are case-insensitive and may carry spaces around them; a value in braces may
// hold ';' and '=' (a '}' inside braces is doubled); a bare value is trimmed. As
// ODBC's driver manager does, the first occurrence of a repeated key wins. Unknown keys
// are ignored, as ODBC drivers ignore keywords they do not know. A data source name
// (DSN=) is not looked up: these strings are DSN-less.
//
// nullopt when the text is not a connect string to a PostgreSQL server (a file path,
// Jet's ";DATABASE=path", another ODBC driver): the caller then treats it as before.
std::optional<ServerAddress> parseConnectString(const std::string& connect);

// A pointer file: a small text file standing where a database file is expected, so
// that programs passing a path reach a server once an administrator replaces the file.
//
//   # Project standards, moved to the office server
//   ODBC;DRIVER={PostgreSQL};SERVER=db.office.lan;DATABASE=standards;UID=drafting
//
// UTF-8 (a byte-order mark is skipped), LF or CRLF line ends, at most 64 KiB. Blank
// lines and lines whose first non-blank character is '#' are comments; the first other
// line is the connect string, and must be one parseConnectString accepts; anything
// after it is ignored. Keep the password out of it: the password file serves instead.
//
// The connect string when the file at nativePath is a pointer file; nullopt for a file
// that is not one (a database, any binary file, text with another first line), and for
// a path that is missing or not a regular file.
std::optional<std::string> readPointerFile(const std::string& nativePath);

// libpq's connection text for an address: `host='h' port='5432' dbname='d' user='u'`,
// each value quoted (a quote or backslash inside escaped with a backslash), empty
// members omitted, the password too when empty (libpq then uses PGPASSWORD or the
// password file), the options appended.
std::string libpqConnInfo(const ServerAddress& address);

// The connect string fit for a message or a log: the values of PWD and PASSWORD (and a
// PQOPT that names a password) replaced by "***", everything else as given. Other text
// (a message quoting a connect string, libpq's keyword text, a postgresql:// address)
// has every `PWD=` and `password=` value and an address's password masked the same way.
std::string maskConnectString(const std::string& connect);

}  // namespace tabrik::dao::server
