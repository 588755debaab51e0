// acrx_abort: the host stops with the message on its command line and on standard
// error, as it does when a module reports a state it cannot work in.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "acdb/acut/Console.h"
#include "acdb/acut/WideFormat.h"
#include "acdb/acut/WideText.h"
#include "rxregsvc.h"

void acrx_abort(const ACHAR* format, ...) {
  va_list args;
  va_start(args, format);
  std::wstring text = tabrik::acad::formatWide(format, args);
  va_end(args);
  tabrik::acad::writeConsole(L"\n" + text + L"\n");
  std::fprintf(stderr, "host stopped: %s\n", tabrik::acad::toUtf8(text).c_str());
  std::fflush(nullptr);
  std::abort();
}
