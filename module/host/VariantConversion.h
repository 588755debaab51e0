// Conversions between LISP values (result buffers) and database values (OLE variants,
// the value type of DAO's fields, parameters and index keys).
//
// Database value to LISP value:
//   VT_I2, VT_I4, VT_UI1   RTLONG (VT_I2 sign-extended)
//   VT_R4, VT_R8           RTREAL (not-a-number becomes 0.0)
//   VT_BOOL                RTLONG, -1 true, 0 false
//   VT_DATE                RTSTR, VarBstrFromDate for the user's locale, trailing blanks removed
//   VT_BSTR                RTSTR under the string rule below
//   anything else          RTNIL (empty, Null, currency, ...)
// LISP value to database value:
//   RTREAL VT_R8, RTSHORT VT_I4 (sign-extended), RTLONG VT_I4, RTSTR VT_BSTR,
//   RTNIL VT_EMPTY, RTT VT_BOOL true; anything else is not converted.
#pragma once
#include <string>

#include <afxdisp.h>

#include <adsdef.h>

namespace tabrik::arx {

// How the text of a database value comes back to LISP. Text fields are stored with an
// empty text written as one blank; fields whose names begin with "s_" keep their
// blanks, every other text loses its trailing blanks.
enum class StringRule {
  kTrimTrailingBlanks,
  // Unchanged, except that exactly one blank reads as the empty text.
  kKeepBlanks,
};

// kKeepBlanks for a field name beginning with "s_" (case-sensitive), else trimming.
StringRule stringRuleForField(const std::wstring& fieldName);
// The text of a database value as LISP receives it.
std::wstring applyStringRule(const std::wstring& text, StringRule rule);

// One new result buffer holding the LISP form of `value`; the caller releases it with
// acutRelRb. Throws std::bad_alloc when the host has no memory for it.
resbuf* variantToResbuf(const VARIANT& value, StringRule rule);

// The database value of one LISP element; false (and `value` unchanged) for elements
// that have none (lists, points, entity names, ...).
bool resbufToVariant(const resbuf* element, COleVariant& value);

}  // namespace tabrik::arx
