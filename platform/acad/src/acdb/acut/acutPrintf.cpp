// acutPrintf: formatted text on the host's command line (standard output).
#include <cstdarg>

#include "acutads.h"
#include "acdb/acut/WideFormat.h"
#include "acdb/acut/Console.h"

int acutPrintf(const ACHAR* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring text = tabrik::acad::formatWide(format, args);
  va_end(args);
  tabrik::acad::writeConsole(text);
  return static_cast<int>(text.size());
}
