// The host's names for the platform's one conversion between its wide text (ACHAR,
// UTF-32 on this platform) and the UTF-8 of files, terminals and the LISP runtime
// (tabrik/TextConversion.h).
#pragma once
#include <string>
#include <string_view>

namespace tabrik::acad {

// A surrogate pair becomes its code point; code points that UTF-8 cannot carry (lone
// surrogates, values past U+10FFFF) become U+FFFD.
std::string toUtf8(std::wstring_view text);
// Malformed UTF-8 bytes are taken one by one as Latin-1 characters, so that text in a
// Windows code page still arrives readable and nothing is dropped.
std::wstring fromUtf8(std::string_view text);

}  // namespace tabrik::acad
