// Line separators and capitals of the small dialogs' texts (see EditLines.h).
#include "support/EditLines.h"

#include <cwctype>

namespace tabrik::arx {

std::wstring toEditLines(const std::wstring& text) {
  std::wstring out;
  for (const wchar_t c : text) {
    if (c == L'\n') {
      out += L'\r';
    }
    out += c;
  }
  return out;
}

std::wstring fromEditLines(const std::wstring& text) {
  std::wstring out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') {
      continue;
    }
    out += text[i];
  }
  return out;
}

std::wstring capitals(const std::wstring& text) {
  std::wstring out = text;
  for (wchar_t& c : out) {
    c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
  }
  return out;
}

}  // namespace tabrik::arx
