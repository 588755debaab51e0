// The failure report: what LISP and the user see after an operation of a connection
// failed. LISP gets nil; when the connection recorded a DAO error, the last-error text
// becomes "(code) description" and the error is printed (3021, no current record, is
// kept but not printed).
#pragma once

class CDBConnection;

namespace tabrik::arx::db {

// The tb_ functions' form, on the current connection: "\nTabrik Error: ...". Returns
// whether an error was recorded.
bool reportFailure();
// The tb_ functions' form on another connection (a standards dialog's own).
bool reportTabrikFailure(CDBConnection* connection);
// The standards dialogs' form, on their own connection: "\nDatabase Error: ...".
bool reportFailure(CDBConnection* connection);
// Only the last-error text, from the given connection; nothing printed.
bool recordFailure(CDBConnection* connection);

}  // namespace tabrik::arx::db
