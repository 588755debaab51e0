// Key text: "count,byte,byte,...".
#include "host/KeyText.h"

#include <cwctype>

namespace tabrik::arx {

std::wstring keyText(const std::vector<unsigned char>& bytes) {
  std::wstring text = std::to_wstring(bytes.size());
  for (unsigned char b : bytes) {
    text += L',';
    text += std::to_wstring(b);
  }
  return text;
}

namespace {

// A decimal number of at most `limit`, surrounding blanks allowed; false otherwise.
bool decimal(const std::wstring& field, unsigned long limit, unsigned long& value) {
  size_t i = 0;
  while (i < field.size() && std::iswspace(static_cast<wint_t>(field[i]))) ++i;
  size_t digits = 0;
  value = 0;
  for (; i < field.size() && field[i] >= L'0' && field[i] <= L'9'; ++i, ++digits) {
    value = value * 10 + static_cast<unsigned long>(field[i] - L'0');
    if (value > limit) return false;
  }
  while (i < field.size() && std::iswspace(static_cast<wint_t>(field[i]))) ++i;
  return digits > 0 && i == field.size();
}

}  // namespace

std::optional<std::vector<unsigned char>> parseKeyText(const std::wstring& text) {
  std::vector<std::wstring> fields;
  size_t start = 0;
  while (true) {
    const size_t comma = text.find(L',', start);
    fields.push_back(text.substr(start, comma == std::wstring::npos ? comma : comma - start));
    if (comma == std::wstring::npos) break;
    start = comma + 1;
  }
  unsigned long count = 0;
  // No key or signature comes near a megabyte; a larger count is not a key text.
  if (!decimal(fields[0], 1UL << 20, count) || fields.size() - 1 < count) return std::nullopt;
  std::vector<unsigned char> bytes;
  bytes.reserve(count);
  for (unsigned long i = 1; i <= count; ++i) {
    unsigned long value = 0;
    if (!decimal(fields[i], 255, value)) return std::nullopt;
    bytes.push_back(static_cast<unsigned char>(value));
  }
  return bytes;
}

}  // namespace tabrik::arx
