#include "standards/OptionalArgs.h"

#include <acedads.h>
#include <adsdef.h>

namespace tabrik::arx::standards {

bool readOptionalString(ArgCursor& cursor, std::wstring& value) {
  value.clear();
  if (cursor == nullptr) return true;
  if (cursor->restype == RTNIL) {
    cursor = cursor->rbnext;
    return true;
  }
  return readString(cursor, value);
}

}  // namespace tabrik::arx::standards
