// The module's two LISP function tables (database functions, then drawing functions),
// the handler the host calls for each entry, and their registration in a drawing.
#pragma once
#include <span>

#include <adsdef.h>

#include "db/ConnectionList.h"
#include "host/CallWrapper.h"

namespace tabrik::arx {

// One LISP function: the name the host defines, exactly as LISP programs spell it, and
// the handler attached to its function code.
struct LispFunctionEntry {
  const ACHAR* name;
  int (*handler)();
};

// The drawing functions in registration order; their codes start where the database
// table's end (db::databaseFunctionCount()).
std::span<const LispFunctionEntry> drawingFunctionTable();
// The tb_ functions in registration order, function codes 0 to 62.
std::span<const LispFunctionEntry> databaseFunctionTable();

// Defines every entry's name in the current drawing with code firstCode + i
// (acedDefun) and attaches its handler to that code (acedRegFunc). A name whose
// registration fails is simply not available in that drawing.
void registerFunctionTable(std::span<const LispFunctionEntry> table, int firstCode);

// The handler of a drawing function: the body inside the common call wrapper.
template <LispBody Body>
int drawingHandler() {
  return callWrapper(Body);
}

// The handler of a tb_ function: the active drawing's connection is made current
// before the drawing is locked, then the body runs inside the wrapper.
template <LispBody Body>
int databaseHandler() {
  db::documentSwitch();
  return callWrapper(Body);
}

}  // namespace tabrik::arx
