// Optional arguments of the standards functions: a string that may be left out, or
// given as nil to skip it.
#pragma once
#include <string>

#include "host/ArgReaders.h"

namespace tabrik::arx::standards {

// Reads an optional string: the end of the list or nil leaves `value` empty (nil is
// consumed); anything else that is not a string is not read and gives false.
bool readOptionalString(ArgCursor& cursor, std::wstring& value);

}  // namespace tabrik::arx::standards
