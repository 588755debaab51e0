// UTF-8 <-> wide conversion: the one place where narrow text becomes wide.
#include "stringapiset.h"

#include "tabrik/TextConversion.h"

#include <cwchar>
#include <string>

namespace {

// Decodes one UTF-8 sequence at s[i]; advances i. Invalid input yields U+FFFD and
// consumes one byte, so every byte string converts.
char32_t decodeOne(const unsigned char* s, int n, int& i) {
  unsigned char c = s[i];
  int len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
  if (len == 0 || i + len > n) {
    ++i;
    return 0xFFFD;
  }
  char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
  for (int k = 1; k < len; ++k) {
    if ((s[i + k] & 0xC0) != 0x80) {
      ++i;
      return 0xFFFD;
    }
    cp = (cp << 6) | (s[i + k] & 0x3F);
  }
  static const char32_t kMin[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return 0xFFFD;
  }
  i += len;
  return cp;
}

}  // namespace

int MultiByteToWideChar(UINT, DWORD, LPCSTR src, int srcBytes, LPWSTR dst, int dstChars) {
  if (!src) return 0;
  bool counted = srcBytes >= 0;
  int n = counted ? srcBytes : static_cast<int>(std::char_traits<char>::length(src)) + 1;
  std::wstring out;
  const auto* s = reinterpret_cast<const unsigned char*>(src);
  for (int i = 0; i < n;) out.push_back(static_cast<wchar_t>(decodeOne(s, n, i)));
  int need = static_cast<int>(out.size());
  if (dstChars == 0) return need;
  if (!dst || dstChars < need) return 0;
  out.copy(dst, out.size());
  return need;
}

int WideCharToMultiByte(UINT, DWORD, LPCWSTR src, int srcChars, LPSTR dst, int dstBytes, LPCSTR,
                        BOOL* usedDefaultChar) {
  if (usedDefaultChar) *usedDefaultChar = FALSE;
  if (!src) return 0;
  int n = srcChars >= 0 ? srcChars : static_cast<int>(std::wcslen(src)) + 1;
  std::string out = tabrik::text::toUtf8(std::wstring_view(src, static_cast<size_t>(n)));
  int need = static_cast<int>(out.size());
  if (dstBytes == 0) return need;
  if (!dst || dstBytes < need) return 0;
  out.copy(dst, out.size());
  return need;
}
