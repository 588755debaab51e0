// Readers of the host's argument list (see ArgReaders.h). The readers of entity names
// that need the drawing database's object ids live in EntityValues.cpp.
#include "host/ArgReaders.h"

#include <cmath>
#include <limits>

#include <acedads.h>
#include <acutads.h>

namespace tabrik::arx {
namespace {

bool isNumber(const resbuf* element) {
  return element != nullptr &&
         (element->restype == RTREAL || element->restype == RTLONG || element->restype == RTSHORT);
}

// The value of an element for which isNumber holds.
double numberValue(const resbuf* element) {
  switch (element->restype) {
    case RTREAL:
      return element->resval.rreal;
    case RTLONG:
      return element->resval.rlong;
    default:
      return element->resval.rint;
  }
}

// Group codes of points in entity data (primary point, other points).
bool isEntityDataPoint(short type) { return type >= 10 && type <= 17; }

bool isOfType(ArgCursor cursor, short type) { return cursor != nullptr && cursor->restype == type; }

}  // namespace

ArgList::ArgList() : m_list(acedGetArgs()) {}

ArgList::~ArgList() {
  if (m_list != nullptr) {
    acutRelRb(m_list);
  }
}

bool readString(ArgCursor& cursor, std::wstring& value) {
  if (!isOfType(cursor, RTSTR)) {
    return false;
  }
  // Defensive: the host never hands out an RTSTR without text.
  value = cursor->resval.rstring != nullptr ? cursor->resval.rstring : L"";
  cursor = cursor->rbnext;
  return true;
}

bool readRealStrict(ArgCursor& cursor, double& value) {
  if (!isOfType(cursor, RTREAL)) {
    return false;
  }
  value = cursor->resval.rreal;
  cursor = cursor->rbnext;
  return true;
}

bool readReal(ArgCursor& cursor, double& value) {
  if (readRealStrict(cursor, value)) {
    return true;
  }
  std::int32_t integer = 0;
  if (!readInteger(cursor, integer)) {
    return false;
  }
  value = integer;
  return true;
}

bool readInteger(ArgCursor& cursor, std::int32_t& value) {
  if (cursor == nullptr) {
    return false;
  }
  switch (cursor->restype) {
    case RTSHORT:
      value = cursor->resval.rint;
      break;
    case RTLONG:
      value = cursor->resval.rlong;
      break;
    case RTREAL: {
      const double truncated = std::trunc(cursor->resval.rreal);
      // A real beyond the 32-bit range has no integer to truncate to.
      if (!(truncated >= std::numeric_limits<std::int32_t>::min() &&
            truncated <= std::numeric_limits<std::int32_t>::max())) {
        return false;
      }
      value = static_cast<std::int32_t>(truncated);
      break;
    }
    default:
      return false;
  }
  cursor = cursor->rbnext;
  return true;
}

bool readPoint(ArgCursor& cursor, ads_point value) {
  if (cursor == nullptr) {
    return false;
  }
  if (cursor->restype == RTPOINT) {
    value[X] = cursor->resval.rpoint[X];
    value[Y] = cursor->resval.rpoint[Y];
    value[Z] = 0.0;
    cursor = cursor->rbnext;
    return true;
  }
  if (cursor->restype == RT3DPOINT || isEntityDataPoint(cursor->restype)) {
    value[X] = cursor->resval.rpoint[X];
    value[Y] = cursor->resval.rpoint[Y];
    value[Z] = cursor->resval.rpoint[Z];
    cursor = cursor->rbnext;
    return true;
  }
  const resbuf* second = cursor->rbnext;
  if (!isNumber(cursor) || !isNumber(second)) {
    return false;
  }
  value[X] = numberValue(cursor);
  value[Y] = numberValue(second);
  const resbuf* third = second->rbnext;
  if (isNumber(third)) {
    value[Z] = numberValue(third);
    cursor = third->rbnext;
  } else {
    value[Z] = 0.0;
    cursor = third;
  }
  return true;
}

bool readBoolean(ArgCursor& cursor, bool& value) {
  if (cursor == nullptr || cursor->restype == RTLB) {
    return false;
  }
  if (cursor->restype == RTLE) {
    value = false;
    return true;
  }
  value = cursor->restype != RTNIL;
  cursor = cursor->rbnext;
  return true;
}

bool readDatabaseFlag(ArgCursor& cursor, short& value) {
  bool flag = false;
  if (!readBoolean(cursor, flag)) {
    return false;
  }
  value = flag ? -1 : 0;
  return true;
}

bool readEntityName(ArgCursor& cursor, ads_name value) {
  if (!isOfType(cursor, RTENAME)) {
    return false;
  }
  value[0] = cursor->resval.rlname[0];
  value[1] = cursor->resval.rlname[1];
  cursor = cursor->rbnext;
  return true;
}

bool readListStart(ArgCursor& cursor) {
  if (!isOfType(cursor, RTLB)) {
    return false;
  }
  cursor = cursor->rbnext;
  return true;
}

bool readListEnd(ArgCursor& cursor) {
  if (!isOfType(cursor, RTLE)) {
    return false;
  }
  cursor = cursor->rbnext;
  return true;
}

void skipArgument(ArgCursor& cursor) {
  if (cursor != nullptr) {
    cursor = cursor->rbnext;
  }
}

}  // namespace tabrik::arx
