// The one place where the host converts between its wide text (ACHAR, UTF-32 on this
// platform) and the UTF-8 of files, terminals and the LISP runtime.
#pragma once
#include <string>
#include <string_view>

namespace tabrik::acad {

// Code points that UTF-8 cannot carry (surrogates, values past U+10FFFF) become U+FFFD.
std::string toUtf8(std::wstring_view text);
// Malformed UTF-8 bytes are taken one by one as Latin-1 characters, so that text in a
// Windows code page still arrives readable and nothing is dropped.
std::wstring fromUtf8(std::string_view text);

}  // namespace tabrik::acad
