// printf formatting with the host's wide-format conventions, as the module's compiler
// and runtime define them: in a wide format, %s and %c take wide text and %S, %C,
// %hs and %hc take narrow text (%ls, %lc, %ws always wide). %I64d, %I32d and %Id
// size integers as that runtime does. Narrow text is read as UTF-8 (bytes that are not
// UTF-8 as Latin-1). %n writes nothing.
#pragma once
#include <cstdarg>
#include <string>

namespace tabrik::acad {

std::wstring formatWide(const wchar_t* format, va_list args);

}  // namespace tabrik::acad
