// Registration of a LISP function table in the current drawing.
#include "host/LispFunctionTable.h"

#include <acedads.h>

namespace tabrik::arx {

void registerFunctionTable(std::span<const LispFunctionEntry> table, int firstCode) {
  int code = firstCode;
  for (const LispFunctionEntry& entry : table) {
    acedDefun(entry.name, code);
    acedRegFunc(entry.handler, code);
    ++code;
  }
}

}  // namespace tabrik::arx
