// Conversions between variants and stored values by DAO field type.
#include "FieldValues.h"

#include <cmath>

#include "DaoErrors.h"

namespace tabrik::dao {

namespace {

VARTYPE variantType(short daoType) {
  switch (daoType) {
    case dbBoolean:
      return VT_BOOL;
    case dbByte:
      return VT_UI1;
    case dbInteger:
      return VT_I2;
    case dbLong:
      return VT_I4;
    case dbCurrency:
      return VT_CY;
    case dbSingle:
      return VT_R4;
    case dbDouble:
      return VT_R8;
    case dbDate:
      return VT_DATE;
    default:
      return VT_BSTR;
  }
}

// A stored value as a plain variant, before it takes the field's type.
COleVariant rawVariant(const Value& v) {
  switch (v.kind) {
    case Value::Int:
      if (v.i >= INT32_MIN && v.i <= INT32_MAX) return COleVariant(static_cast<int>(v.i));
      return COleVariant(static_cast<double>(v.i));
    case Value::Real:
      return COleVariant(v.r);
    case Value::Text:
      return COleVariant(v.text.c_str());
    case Value::Null:
      break;
  }
  COleVariant n;
  n.vt = VT_NULL;
  return n;
}

bool isWord(const std::wstring& s, const wchar_t* w) {
  return CString(s.c_str()).CompareNoCase(w) == 0;
}

}  // namespace

COleVariant toVariant(const FieldDef& f, const Value& v) {
  COleVariant out;
  if (v.isNull()) {
    out.vt = VT_NULL;
    return out;
  }
  switch (f.type) {
    case dbBoolean:
      out.vt = VT_BOOL;
      out.boolVal = (v.kind == Value::Int    ? v.i != 0
                     : v.kind == Value::Real ? v.r != 0
                                             : !v.text.empty())
                        ? VARIANT_TRUE
                        : VARIANT_FALSE;
      return out;
    case dbCurrency:
      if (v.kind == Value::Int) {
        out.vt = VT_CY;
        out.cyVal.int64 = v.i;
        return out;
      }
      break;
    case dbText:
    case dbMemo:
      if (v.kind == Value::Text) return COleVariant(v.text.c_str());
      break;
    default:
      break;
  }
  // Stored in the field's own form in all but hand-made files; otherwise the closest
  // reading of what is there.
  COleVariant raw = rawVariant(v);
  VARIANT converted;
  VariantInit(&converted);
  if (SUCCEEDED(VariantChangeType(&converted, &raw, 0, variantType(f.type)))) {
    out.Attach(converted);
    return out;
  }
  return raw;
}

Value fromVariant(const FieldDef& f, const VARIANT& in) {
  if (in.vt == VT_EMPTY || in.vt == VT_NULL) return Value::null();
  VARIANT src = in;  // shallow view; never cleared
  COleVariant holder;
  if (f.type == dbBoolean && in.vt == VT_BSTR && in.bstrVal) {
    // Jet reads Yes/No and On/Off as well as True/False.
    std::wstring t(in.bstrVal);
    if (isWord(t, L"Yes") || isWord(t, L"On"))
      holder = COleVariant(short(1), VT_BOOL);
    else if (isWord(t, L"No") || isWord(t, L"Off"))
      holder = COleVariant(short(0), VT_BOOL);
    if (holder.vt != VT_EMPTY) src = holder;
  }
  VARIANT v;
  VariantInit(&v);
  USHORT flags = f.isText() ? VARIANT_ALPHABOOL : 0;
  if (FAILED(VariantChangeType(&v, &src, flags, variantType(f.type))))
    daoThrow(3421, {}, L"DAO.Field");
  COleVariant owned;
  owned.Attach(v);
  switch (f.type) {
    case dbBoolean:
      return Value::ofInt(owned.boolVal ? -1 : 0);
    case dbByte:
      return Value::ofInt(owned.bVal);
    case dbInteger:
      return Value::ofInt(owned.iVal);
    case dbLong:
      return Value::ofInt(owned.lVal);
    case dbCurrency:
      return Value::ofInt(owned.cyVal.int64);
    case dbSingle:
      return Value::ofReal(owned.fltVal);
    case dbDouble:
      return Value::ofReal(owned.dblVal);
    case dbDate:
      return Value::ofReal(owned.date);
    default:
      break;
  }
  std::wstring text(owned.bstrVal ? owned.bstrVal : L"", SysStringLen(owned.bstrVal));
  if (f.type == dbText && f.size > 0 && static_cast<long>(text.size()) > f.size)
    daoThrow(3163, {}, L"DAO.Field");
  return Value::ofText(std::move(text));
}

Value defaultValue(const FieldDef& f) {
  std::wstring d = f.defaultValue;
  while (!d.empty() && d.back() == L' ') d.pop_back();
  while (!d.empty() && d.front() == L' ') d.erase(0, 1);
  // Jet keeps a Yes/No field as a bit that is never Null: without a default a new
  // record starts at No.
  if (d.empty() && f.type == dbBoolean) return Value::ofInt(0);
  if (d.empty() || f.isAutoIncrement()) return Value::null();
  COleVariant v;
  if (d.size() >= 2 && (d.front() == L'"' || d.front() == L'\'') && d.back() == d.front()) {
    std::wstring inner;
    wchar_t q = d.front();
    for (size_t i = 1; i + 1 < d.size(); ++i) {
      inner.push_back(d[i]);
      if (d[i] == q && i + 2 < d.size() && d[i + 1] == q) ++i;  // a doubled quote
    }
    v = COleVariant(inner.c_str());
  } else if (isWord(d, L"True") || isWord(d, L"Yes") || isWord(d, L"On")) {
    v = COleVariant(short(1), VT_BOOL);
  } else if (isWord(d, L"False") || isWord(d, L"No") || isWord(d, L"Off")) {
    v = COleVariant(short(0), VT_BOOL);
  } else if (isWord(d, L"Now()") || isWord(d, L"=Now()")) {
    v = COleDateTime::GetCurrentTime();
  } else if (isWord(d, L"Date()") || isWord(d, L"=Date()")) {
    v = COleDateTime(std::floor(COleDateTime::GetCurrentTime().m_dt));
  } else {
    v = COleVariant(d.c_str());
  }
  try {
    return fromVariant(f, v);
  } catch (CDaoException* e) {
    e->Delete();
    return Value::null();
  }
}

Value plainValue(const VARIANT& v) {
  switch (v.vt) {
    case VT_I2:
      return Value::ofInt(v.iVal);
    case VT_I4:
      return Value::ofInt(v.lVal);
    case VT_I8:
      return Value::ofInt(v.llVal);
    case VT_UI1:
      return Value::ofInt(v.bVal);
    case VT_ERROR:
      return Value::ofInt(v.scode);
    case VT_BOOL:
      return Value::ofInt(v.boolVal ? -1 : 0);
    case VT_R4:
      return Value::ofReal(v.fltVal);
    case VT_R8:
      return Value::ofReal(v.dblVal);
    case VT_DATE:
      return Value::ofReal(v.date);
    case VT_CY:
      return Value::ofReal(static_cast<double>(v.cyVal.int64) / 10000.0);
    case VT_BSTR:
      return Value::ofText(v.bstrVal ? std::wstring(v.bstrVal, SysStringLen(v.bstrVal)) : L"");
    default:
      return Value::null();
  }
}

}  // namespace tabrik::dao
