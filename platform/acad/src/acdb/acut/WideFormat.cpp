// The wide printf formatter behind acutPrintf. Each conversion is parsed here and
// numbers are formatted one at a time by the C library's narrow snprintf, which keeps
// the result independent of the process locale.
#include "acdb/acut/WideFormat.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string_view>

#include "acdb/acut/WideText.h"

namespace tabrik::acad {

namespace {

enum class Size {
  kDefault,
  kChar,
  kShort,
  kLong,
  kLongLong,
  kInt64,
  kInt32,
  kPointer,
  kLongDouble,
  kWide
};

struct Field {
  std::string flags;
  int width = -1;
  int precision = -1;
  Size size = Size::kDefault;
  wchar_t conversion = 0;
};

const wchar_t* parseSize(const wchar_t* p, Size& size) {
  if (p[0] == L'h' && p[1] == L'h') return size = Size::kChar, p + 2;
  if (p[0] == L'l' && p[1] == L'l') return size = Size::kLongLong, p + 2;
  if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') return size = Size::kInt64, p + 3;
  if (p[0] == L'I' && p[1] == L'3' && p[2] == L'2') return size = Size::kInt32, p + 3;
  switch (*p) {
    case L'h':
      return size = Size::kShort, p + 1;
    case L'l':
      return size = Size::kLong, p + 1;
    case L'L':
      return size = Size::kLongDouble, p + 1;
    case L'q':
      return size = Size::kLongLong, p + 1;
    case L'I':
    case L'z':
    case L'j':
    case L't':
      return size = Size::kPointer, p + 1;
    case L'w':
      return size = Size::kWide, p + 1;
    default:
      return p;
  }
}

std::string narrowField(const Field& field, const char* lengthModifier, char conversion) {
  std::string text = "%" + field.flags;
  if (field.width >= 0) text += std::to_string(field.width);
  if (field.precision >= 0) text += "." + std::to_string(field.precision);
  text += lengthModifier;
  text += conversion;
  return text;
}

template <typename Value>
void appendNumber(std::wstring& out, const std::string& format, Value value) {
  char small[128];
  int length = std::snprintf(small, sizeof small, format.c_str(), value);
  if (length < 0) return;
  if (static_cast<size_t>(length) < sizeof small) {
    out.append(small, small + length);
    return;
  }
  std::string big(static_cast<size_t>(length) + 1, '\0');
  std::snprintf(big.data(), big.size(), format.c_str(), value);
  out.append(big.begin(), big.begin() + length);
}

// Text conversions: precision cuts, width pads (left-justified with '-').
void appendText(std::wstring& out, const Field& field, std::wstring_view text) {
  if (field.precision >= 0 && static_cast<size_t>(field.precision) < text.size())
    text = text.substr(0, field.precision);
  size_t pad = field.width > 0 && static_cast<size_t>(field.width) > text.size()
                   ? field.width - text.size()
                   : 0;
  bool left = field.flags.find('-') != std::string::npos;
  if (!left) out.append(pad, L' ');
  out.append(text);
  if (left) out.append(pad, L' ');
}

void appendSigned(std::wstring& out, const Field& field, va_list& args) {
  long long value;
  switch (field.size) {
    case Size::kChar:
      value = static_cast<signed char>(va_arg(args, int));
      break;
    case Size::kShort:
      value = static_cast<short>(va_arg(args, int));
      break;
    case Size::kLong:
      value = va_arg(args, long);
      break;
    case Size::kLongLong:
    case Size::kInt64:
      value = va_arg(args, long long);
      break;
    case Size::kPointer:
      value = va_arg(args, std::intptr_t);
      break;
    default:
      value = va_arg(args, int);
      break;
  }
  appendNumber(out, narrowField(field, "ll", 'd'), value);
}

void appendUnsigned(std::wstring& out, const Field& field, char conversion, va_list& args) {
  unsigned long long value;
  switch (field.size) {
    case Size::kChar:
      value = static_cast<unsigned char>(va_arg(args, unsigned));
      break;
    case Size::kShort:
      value = static_cast<unsigned short>(va_arg(args, unsigned));
      break;
    case Size::kLong:
      value = va_arg(args, unsigned long);
      break;
    case Size::kLongLong:
    case Size::kInt64:
      value = va_arg(args, unsigned long long);
      break;
    case Size::kPointer:
      value = va_arg(args, std::uintptr_t);
      break;
    default:
      value = va_arg(args, unsigned);
      break;
  }
  appendNumber(out, narrowField(field, "ll", conversion), value);
}

void appendString(std::wstring& out, const Field& field, bool wide, va_list& args) {
  if (wide) {
    const wchar_t* text = va_arg(args, const wchar_t*);
    appendText(out, field, text ? std::wstring_view(text) : std::wstring_view(L"(null)"));
    return;
  }
  const char* text = va_arg(args, const char*);
  appendText(out, field, text ? fromUtf8(text) : std::wstring(L"(null)"));
}

void appendChar(std::wstring& out, const Field& field, bool wide, va_list& args) {
  wchar_t c = wide ? static_cast<wchar_t>(va_arg(args, wint_t))
                   : static_cast<wchar_t>(static_cast<unsigned char>(va_arg(args, int)));
  Field noPrecision = field;
  noPrecision.precision = -1;
  appendText(out, noPrecision, std::wstring_view(&c, 1));
}

}  // namespace

std::wstring formatWide(const wchar_t* format, va_list args) {
  std::wstring out;
  if (format == nullptr) return out;
  va_list ap;
  va_copy(ap, args);
  const wchar_t* p = format;
  while (*p != L'\0') {
    if (*p != L'%') {
      out.push_back(*p++);
      continue;
    }
    const wchar_t* start = p++;
    if (*p == L'%') {
      out.push_back(L'%');
      ++p;
      continue;
    }
    Field field;
    while (*p != L'\0' && std::wcschr(L"-+ #0", *p) != nullptr)
      field.flags.push_back(static_cast<char>(*p++));
    if (*p == L'*') {
      field.width = va_arg(ap, int);
      if (field.width < 0) {
        field.flags.push_back('-');
        field.width = -field.width;
      }
      ++p;
    } else {
      while (*p >= L'0' && *p <= L'9')
        field.width = (field.width < 0 ? 0 : field.width * 10) + (*p++ - L'0');
    }
    if (*p == L'.') {
      ++p;
      field.precision = 0;
      if (*p == L'*') {
        field.precision = va_arg(ap, int);
        ++p;
      } else {
        while (*p >= L'0' && *p <= L'9') field.precision = field.precision * 10 + (*p++ - L'0');
      }
    }
    // Absurd widths would only exhaust memory; the runtime caps them likewise.
    if (field.width > 4096) field.width = 4096;
    if (field.precision > 4096) field.precision = 4096;
    p = parseSize(p, field.size);
    field.conversion = *p;
    if (*p != L'\0') ++p;
    bool narrowSize = field.size == Size::kShort;
    bool wideSize = field.size == Size::kLong || field.size == Size::kWide;
    switch (field.conversion) {
      case L'd':
      case L'i':
        appendSigned(out, field, ap);
        break;
      case L'u':
      case L'o':
      case L'x':
      case L'X':
        appendUnsigned(out, field, static_cast<char>(field.conversion), ap);
        break;
      case L'e':
      case L'E':
      case L'f':
      case L'F':
      case L'g':
      case L'G':
      case L'a':
      case L'A':
        if (field.size == Size::kLongDouble) {
          appendNumber(out, narrowField(field, "L", static_cast<char>(field.conversion)),
                       va_arg(ap, long double));
        } else {
          appendNumber(out, narrowField(field, "", static_cast<char>(field.conversion)),
                       va_arg(ap, double));
        }
        break;
      case L's':
        appendString(out, field, /*wide=*/!narrowSize, ap);
        break;
      case L'S':
        appendString(out, field, /*wide=*/wideSize, ap);
        break;
      case L'c':
        appendChar(out, field, /*wide=*/!narrowSize, ap);
        break;
      case L'C':
        appendChar(out, field, /*wide=*/wideSize, ap);
        break;
      case L'p':
        appendNumber(out, narrowField(field, "", 'p'), va_arg(ap, void*));
        break;
      case L'n':
        (void)va_arg(ap, void*);
        break;
      default:
        // Not a conversion: the text stands as written.
        out.append(start, p);
        break;
    }
  }
  va_end(ap);
  return out;
}

}  // namespace tabrik::acad
