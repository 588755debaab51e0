// The two record shapes of the LISP side: the record list LISP receives, one
// (field-name . value) pair per field in field order, and the record LISP supplies,
// read as a flat run of names and values in which list openings, closings and dots
// are skipped, so that ((name value) ...) and name value ... are both accepted.
#pragma once
#include "db/CDBConnection.h"
#include "host/ArgReaders.h"

namespace tabrik::arx::db {

// Returns the record list to LISP (acedRetList); a field whose name begins with "s_"
// keeps the blanks of its text.
void retRecord(const DBRecord& record);

// Reads the supplied record from the cursor to the end of the arguments. A name
// alone in its sub-list, (name), stands for Null. False, with nothing to write, when
// there is no pair, a name is not a string, a value cannot be stored (points, entity
// names, nested lists) or a dot stands where a value should be: (name . value).
bool readSuppliedRecord(ArgCursor cursor, DBRecord& record);

}  // namespace tabrik::arx::db
