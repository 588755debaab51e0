// tb_connect: opens an Access database for the active drawing. Its arguments: the
// path (a string, required), an optional mode ("w" exactly opens read-write, any other
// string read-only) and, only after a mode, an optional fail-hard flag.
#include <string>

#include <acedads.h>

#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"

namespace tabrik::arx::fn {

int tb_connect() {
  acedRetNil();
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
  // Opening the database needs CDBConnection's DAO side; until it is there no database
  // opens, which LISP sees as a connect that found nothing (nil).
  static_cast<void>(readOnly);
  static_cast<void>(failHard);
  return kResultOk;
}

}  // namespace tabrik::arx::fn
