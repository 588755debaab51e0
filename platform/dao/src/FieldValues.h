// Field values between DAO's variants and the stored form, by the field's DAO type:
// Jet's conversions, range checks and size limits.
#pragma once
#include "DaoStore.h"

namespace tabrik::dao {

// The variant a field of this type reads as (Yes/No as VT_BOOL -1/0, Byte as VT_UI1,
// Integer VT_I2, Long VT_I4, Currency VT_CY, Single VT_R4, Double VT_R8, Date/Time
// VT_DATE, Text/Memo VT_BSTR, Null as VT_NULL).
COleVariant toVariant(const FieldDef& f, const Value& v);

// The stored form of a value assigned to a field. Empty and Null give Null. Throws
// 3421 when the value does not convert to the field's type or is out of its range,
// 3163 when a text is longer than a Text field's size.
Value fromVariant(const FieldDef& f, const VARIANT& v);

// The field's DefaultValue evaluated for a new record: a quoted text, a number, True/
// False/Yes/No, Now() or Date(), or else the text itself; Null when there is none or
// it does not convert to the field's type.
Value defaultValue(const FieldDef& f);

// A value without a field to shape it (parameters): integers, reals (dates and
// currency as their numbers), text; Yes/No as -1/0; Empty and Null as Null.
Value plainValue(const VARIANT& v);

}  // namespace tabrik::dao
