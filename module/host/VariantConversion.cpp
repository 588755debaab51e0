// Conversions between result buffers and OLE variants (see VariantConversion.h).
#include "host/VariantConversion.h"

#include <cmath>
#include <cwchar>
#include <new>

#include <acutads.h>

namespace tabrik::arx {
namespace {

resbuf* newBuffer(int type) {
  resbuf* buffer = acutNewRb(type);
  if (buffer == nullptr) {
    throw std::bad_alloc();
  }
  return buffer;
}

resbuf* newLong(std::int32_t value) {
  resbuf* buffer = newBuffer(RTLONG);
  buffer->resval.rlong = value;
  return buffer;
}

resbuf* newReal(double value) {
  resbuf* buffer = newBuffer(RTREAL);
  buffer->resval.rreal = std::isnan(value) ? 0.0 : value;
  return buffer;
}

resbuf* newString(const std::wstring& text) {
  resbuf* buffer = newBuffer(RTSTR);
  buffer->resval.rstring = acutNewString(text.c_str());
  if (buffer->resval.rstring == nullptr) {
    acutRelRb(buffer);
    throw std::bad_alloc();
  }
  return buffer;
}

std::wstring trimTrailingBlanks(std::wstring text) {
  const std::size_t end = text.find_last_not_of(L' ');
  text.erase(end == std::wstring::npos ? 0 : end + 1);
  return text;
}

// The text of a BSTR under the string rule, copied once: straight into the host's
// string, which is then cut where the rule ends it. The rule looks at the whole
// BSTR; the host's string ends at the first NUL, as every wide string does.
resbuf* textToResbuf(BSTR text, StringRule rule) {
  if (text == nullptr) {
    return newString(std::wstring());
  }
  const std::size_t full = SysStringLen(text);
  std::size_t length = full;
  if (rule == StringRule::kTrimTrailingBlanks) {
    while (length > 0 && text[length - 1] == L' ') {
      --length;
    }
  } else if (length == 1 && text[0] == L' ') {
    length = 0;
  }
  resbuf* buffer = newBuffer(RTSTR);
  buffer->resval.rstring = acutNewString(text);
  if (buffer->resval.rstring == nullptr) {
    acutRelRb(buffer);
    throw std::bad_alloc();
  }
  if (length < full && length < std::wcslen(buffer->resval.rstring)) {
    buffer->resval.rstring[length] = L'\0';
  }
  return buffer;
}

resbuf* dateToResbuf(DATE date) {
  BSTR text = nullptr;
  if (FAILED(VarBstrFromDate(date, LANG_USER_DEFAULT, /*dwFlags=*/0, &text))) {
    // Defensive: DAO never hands out a date outside the range that has a text.
    return newBuffer(RTNIL);
  }
  std::wstring formatted =
      text != nullptr ? std::wstring(text, SysStringLen(text)) : std::wstring();
  SysFreeString(text);
  return newString(trimTrailingBlanks(std::move(formatted)));
}

}  // namespace

StringRule stringRuleForField(const std::wstring& fieldName) {
  return fieldName.starts_with(L"s_") ? StringRule::kKeepBlanks : StringRule::kTrimTrailingBlanks;
}

std::wstring applyStringRule(const std::wstring& text, StringRule rule) {
  if (rule == StringRule::kTrimTrailingBlanks) {
    return trimTrailingBlanks(text);
  }
  return text == L" " ? std::wstring() : text;
}

resbuf* variantToResbuf(const VARIANT& value, StringRule rule) {
  switch (value.vt) {
    case VT_I2:
      return newLong(value.iVal);
    case VT_I4:
      return newLong(value.lVal);
    case VT_UI1:
      return newLong(value.bVal);
    case VT_R4:
      return newReal(value.fltVal);
    case VT_R8:
      return newReal(value.dblVal);
    case VT_BOOL:
      return newLong(value.boolVal != VARIANT_FALSE ? -1 : 0);
    case VT_DATE:
      return dateToResbuf(value.date);
    case VT_BSTR:
      return textToResbuf(value.bstrVal, rule);
    default:
      return newBuffer(RTNIL);
  }
}

bool resbufToVariant(const resbuf* element, COleVariant& value) {
  if (element == nullptr) {
    return false;
  }
  switch (element->restype) {
    case RTREAL:
      value = element->resval.rreal;
      return true;
    case RTSHORT:
      value = COleVariant(static_cast<int>(element->resval.rint), VT_I4);
      return true;
    case RTLONG:
      value = COleVariant(static_cast<int>(element->resval.rlong), VT_I4);
      return true;
    case RTSTR:
      value =
          COleVariant(element->resval.rstring != nullptr ? element->resval.rstring : L"", VT_BSTR);
      return true;
    case RTNIL:
      value.Clear();
      return true;
    case RTT:
      value = COleVariant(static_cast<short>(VARIANT_TRUE), VT_BOOL);
      return true;
    default:
      return false;
  }
}

}  // namespace tabrik::arx
