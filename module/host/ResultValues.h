// Single results that follow a rule of their own: integers that LISP's 16-bit
// integers cannot hold go back as reals, and entities go back as entity names.
#pragma once
#include <cstdint>

class AcDbObjectId;

namespace tabrik::arx {

// acedRetInt for a value that fits a signed 16-bit integer, acedRetReal otherwise.
void retInteger(std::int64_t value);
// The entity name of an object id (acedRetName); nil when the host cannot form one.
void retEntity(const AcDbObjectId& id);

}  // namespace tabrik::arx
