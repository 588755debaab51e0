// The integer result rule (see ResultValues.h); retEntity lives with the other
// object-id conversions in EntityValues.cpp.
#include "host/ResultValues.h"

#include <limits>

#include <acedads.h>

namespace tabrik::arx {

void retInteger(std::int64_t value) {
  if (value >= std::numeric_limits<std::int16_t>::min() &&
      value <= std::numeric_limits<std::int16_t>::max()) {
    acedRetInt(static_cast<int>(value));
    return;
  }
  acedRetReal(static_cast<double>(value));
}

}  // namespace tabrik::arx
