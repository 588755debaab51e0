// The mechanical LISP functions that plain AutoLISP lacks: asin, acos, nv::pow,
// nv_atof and nv_nv-rand.
#include <cmath>
#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <string>

#include <acedads.h>

#include "host/ArgReaders.h"
#include "host/CallWrapper.h"
#include "host/LispFunctions.h"
#include "host/ResultValues.h"
#include "host/RuntimeRandom.h"

namespace tabrik::arx {
namespace {

// The length of the decimal number at the start of text, as the runtime's atof reads
// it: blanks, a sign, digits with at most one decimal point, and an exponent only when
// digits follow it. Hexadecimal forms, "inf" and "nan" are not numbers to it.
std::size_t decimalPrefixLength(const std::wstring& text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  auto isDigit = [&](std::size_t at) { return at < n && text[at] >= L'0' && text[at] <= L'9'; };
  while (i < n && std::iswspace(static_cast<wint_t>(text[i]))) {
    ++i;
  }
  if (i < n && (text[i] == L'+' || text[i] == L'-')) {
    ++i;
  }
  std::size_t digits = 0;
  while (isDigit(i)) {
    ++i;
    ++digits;
  }
  if (i < n && text[i] == L'.') {
    ++i;
    while (isDigit(i)) {
      ++i;
      ++digits;
    }
  }
  if (digits == 0) {
    return 0;
  }
  if (i < n && (text[i] == L'e' || text[i] == L'E')) {
    std::size_t exponent = i + 1;
    if (exponent < n && (text[exponent] == L'+' || text[exponent] == L'-')) {
      ++exponent;
    }
    if (isDigit(exponent)) {
      while (isDigit(exponent)) {
        ++exponent;
      }
      i = exponent;
    }
  }
  return i;
}

// The body of asin and acos: one real (integers accepted), code 2 otherwise.
int unaryReal(double (*function)(double)) {
  ArgList args;
  ArgCursor cursor = args.first();
  double x = 0.0;
  if (!readReal(cursor, x)) {
    return kWrongType;
  }
  acedRetReal(function(x));
  return kResultOk;
}

}  // namespace

namespace fn {

int asin() {
  return unaryReal([](double x) { return std::asin(x); });
}

int acos() {
  return unaryReal([](double x) { return std::acos(x); });
}

int nv_pow() {
  ArgList args;
  ArgCursor cursor = args.first();
  double x = 0.0;
  double y = 0.0;
  if (!readReal(cursor, x) || !readReal(cursor, y)) {
    return kWrongType;
  }
  acedRetReal(std::pow(x, y));
  return kResultOk;
}

int nv_atof() {
  acedRetNil();
  ArgList args;
  ArgCursor cursor = args.first();
  std::wstring text;
  if (!readString(cursor, text)) {
    return kResultOk;
  }
  const std::wstring number = text.substr(0, decimalPrefixLength(text));
  acedRetReal(number.empty() ? 0.0 : std::wcstod(number.c_str(), nullptr));
  return kResultOk;
}

int nv_nv_rand() {
  ArgList args;
  ArgCursor cursor = args.first();
  std::int32_t modulus = -1;
  if (!readInteger(cursor, modulus)) {
    modulus = -1;
  }
  const int value = nextRandom();
  // A modulus of 0 has no remainder to give; the value is returned as drawn.
  if (modulus == -1 || modulus == 0) {
    retInteger(value);
    return kResultOk;
  }
  retInteger(value % modulus);
  return kResultOk;
}

}  // namespace fn
}  // namespace tabrik::arx
