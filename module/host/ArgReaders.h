// The readers every LISP function body uses to take its arguments from the host's
// argument list, one element at a time, and the guard that owns that list.
// A reader that reads converts the element under the cursor and moves the cursor past
// what it consumed; a reader that does not read leaves the cursor and its output as
// they were, and the body decides what that means (usually result code 2).
#pragma once
#include <cstdint>
#include <string>

#include <adsdef.h>

class AcDbObjectId;

namespace tabrik::arx {

// The element under the cursor; nullptr at the end of the list.
using ArgCursor = const resbuf*;

// The argument list of the call being evaluated, fetched with acedGetArgs and released
// with acutRelRb when the guard goes out of scope.
class ArgList {
 public:
  ArgList();
  ~ArgList();
  ArgList(const ArgList&) = delete;
  ArgList& operator=(const ArgList&) = delete;

  ArgCursor first() const { return m_list; }

 private:
  resbuf* m_list;
};

// RTSTR.
bool readString(ArgCursor& cursor, std::wstring& value);
// RTREAL, or whatever readInteger accepts, converted to a real.
bool readReal(ArgCursor& cursor, double& value);
// RTREAL only.
bool readRealStrict(ArgCursor& cursor, double& value);
// RTSHORT (sign-extended), RTLONG, RTREAL truncated toward zero. A real that is not a
// number or lies outside the 32-bit range is not read. Elements of entity data (type
// codes below 1000) are not read either.
bool readInteger(ArgCursor& cursor, std::int32_t& value);
// RTPOINT (z = 0), RT3DPOINT or an entity-data point (group codes 10 to 17); otherwise
// two or three numbers in a row (x, y and optionally z; z = 0 when the third element is
// not a number).
bool readPoint(ArgCursor& cursor, ads_point value);
// RTNIL is false; RTLE is false without moving (a flag omitted at the end of a nested
// list); RTLB and the end of the list are not read; anything else is true.
bool readBoolean(ArgCursor& cursor, bool& value);
// As readBoolean, as DAO's Yes/No: -1 for true, 0 for false.
bool readDatabaseFlag(ArgCursor& cursor, short& value);
// RTENAME.
bool readEntityName(ArgCursor& cursor, ads_name value);
// RTENAME whose name the host converts to an object id.
bool readObjectId(ArgCursor& cursor, AcDbObjectId& value);
bool readListStart(ArgCursor& cursor);
bool readListEnd(ArgCursor& cursor);
// Moves past one element of any type; nothing at the end of the list.
void skipArgument(ArgCursor& cursor);

}  // namespace tabrik::arx
