// UTF-8 <-> wide text conversions of the host: the platform's one conversion.
#include "acdb/acut/WideText.h"

#include "tabrik/TextConversion.h"

namespace tabrik::acad {

std::string toUtf8(std::wstring_view text) { return text::toUtf8(text); }

std::wstring fromUtf8(std::string_view text) { return text::fromUtf8(text); }

}  // namespace tabrik::acad
