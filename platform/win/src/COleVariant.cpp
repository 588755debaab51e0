// COleVariant: a VARIANT that owns its value; COleException for failed conversions.
#include "afxdisp.h"

#include <cwchar>

#include "stringapiset.h"

BOOL COleException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  const wchar_t* text = m_sc == DISP_E_TYPEMISMATCH ? L"Type mismatch."
                        : m_sc == DISP_E_OVERFLOW   ? L"Overflow."
                        : m_sc == E_OUTOFMEMORY     ? L"Out of memory."
                                                    : L"OLE error.";
  return CopyMessage(text, lpszError, nMaxError);
}

void AfxThrowOleException(SCODE sc) { throw new COleException(sc); }

namespace {
void check(HRESULT hr) {
  if (FAILED(hr)) AfxThrowOleException(hr);
}
}  // namespace

COleVariant::COleVariant() { VariantInit(this); }
COleVariant::COleVariant(const VARIANT& src) {
  VariantInit(this);
  check(VariantCopy(this, &src));
}
COleVariant::COleVariant(const COleVariant& src) : COleVariant(static_cast<const VARIANT&>(src)) {}
COleVariant::COleVariant(LPCVARIANT pSrc) {
  VariantInit(this);
  if (pSrc) check(VariantCopy(this, pSrc));
}
COleVariant::COleVariant(LPCTSTR s) {
  VariantInit(this);
  SetString(s, VT_BSTR);
}
COleVariant::COleVariant(LPCTSTR s, VARTYPE vtSrc) {
  VariantInit(this);
  SetString(s, vtSrc);
}
COleVariant::COleVariant(const CString& s) {
  VariantInit(this);
  vt = VT_BSTR;
  bstrVal = s.AllocSysString();
}
COleVariant::COleVariant(BYTE n) {
  VariantInit(this);
  vt = VT_UI1;
  bVal = n;
}
COleVariant::COleVariant(short n, VARTYPE vtSrc) {
  VariantInit(this);
  if (vtSrc == VT_BOOL) {
    vt = VT_BOOL;
    boolVal = n ? VARIANT_TRUE : VARIANT_FALSE;
  } else {
    vt = VT_I2;
    iVal = n;
  }
}
COleVariant::COleVariant(long n, VARTYPE vtSrc) : COleVariant(static_cast<int>(n), vtSrc) {}
COleVariant::COleVariant(int n, VARTYPE vtSrc) {
  VariantInit(this);
  if (vtSrc == VT_BOOL) {
    vt = VT_BOOL;
    boolVal = n ? VARIANT_TRUE : VARIANT_FALSE;
  } else if (vtSrc == VT_ERROR) {
    vt = VT_ERROR;
    scode = n;
  } else {
    vt = VT_I4;
    lVal = n;
  }
}
COleVariant::COleVariant(const COleCurrency& c) {
  VariantInit(this);
  vt = VT_CY;
  cyVal = c.m_cur;
}
COleVariant::COleVariant(float f) {
  VariantInit(this);
  vt = VT_R4;
  fltVal = f;
}
COleVariant::COleVariant(double d) {
  VariantInit(this);
  vt = VT_R8;
  dblVal = d;
}
COleVariant::COleVariant(const COleDateTime& t) {
  VariantInit(this);
  vt = VT_DATE;
  date = t.m_dt;
}
COleVariant::~COleVariant() { VariantClear(this); }

void COleVariant::Clear() { VariantClear(this); }

void COleVariant::ChangeType(VARTYPE vartype, LPVARIANT pSrc) {
  if (!pSrc) pSrc = this;
  if (pSrc != this || vartype != vt) check(VariantChangeType(this, pSrc, 0, vartype));
}

void COleVariant::Attach(VARIANT& src) {
  VariantClear(this);
  static_cast<VARIANT&>(*this) = src;
  src.vt = VT_EMPTY;
}

VARIANT COleVariant::Detach() {
  VARIANT out = *this;
  vt = VT_EMPTY;
  return out;
}

void COleVariant::SetString(LPCTSTR s, VARTYPE vtSrc) {
  VariantClear(this);
  vt = VT_BSTR;
  bstrVal = SysAllocString(s ? s : L"");
  (void)vtSrc;  // VT_BSTRT: the text is already wide here
}

const COleVariant& COleVariant::operator=(const VARIANT& src) {
  check(VariantCopy(this, &src));
  return *this;
}
const COleVariant& COleVariant::operator=(const COleVariant& src) {
  return operator=(static_cast<const VARIANT&>(src));
}
const COleVariant& COleVariant::operator=(LPCVARIANT pSrc) {
  if (pSrc)
    check(VariantCopy(this, pSrc));
  else
    Clear();
  return *this;
}
const COleVariant& COleVariant::operator=(LPCTSTR s) {
  SetString(s, VT_BSTR);
  return *this;
}
const COleVariant& COleVariant::operator=(const CString& s) {
  SetString(s, VT_BSTR);
  return *this;
}
const COleVariant& COleVariant::operator=(BYTE n) {
  Clear();
  vt = VT_UI1;
  bVal = n;
  return *this;
}
const COleVariant& COleVariant::operator=(short n) {
  Clear();
  vt = VT_I2;
  iVal = n;
  return *this;
}
const COleVariant& COleVariant::operator=(long n) { return operator=(static_cast<int>(n)); }
const COleVariant& COleVariant::operator=(int n) {
  Clear();
  vt = VT_I4;
  lVal = n;
  return *this;
}
const COleVariant& COleVariant::operator=(const COleCurrency& c) {
  Clear();
  vt = VT_CY;
  cyVal = c.m_cur;
  return *this;
}
const COleVariant& COleVariant::operator=(float f) {
  Clear();
  vt = VT_R4;
  fltVal = f;
  return *this;
}
const COleVariant& COleVariant::operator=(double d) {
  Clear();
  vt = VT_R8;
  dblVal = d;
  return *this;
}
const COleVariant& COleVariant::operator=(const COleDateTime& t) {
  Clear();
  vt = VT_DATE;
  date = t.m_dt;
  return *this;
}

BOOL COleVariant::operator==(const VARIANT& o) const {
  if (vt != o.vt) return FALSE;
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
      return TRUE;
    case VT_I2:
      return iVal == o.iVal;
    case VT_I4:
      return lVal == o.lVal;
    case VT_I8:
      return llVal == o.llVal;
    case VT_ERROR:
      return scode == o.scode;
    case VT_UI1:
      return bVal == o.bVal;
    case VT_R4:
      return fltVal == o.fltVal;
    case VT_R8:
      return dblVal == o.dblVal;
    case VT_DATE:
      return date == o.date;
    case VT_BOOL:
      return boolVal == o.boolVal;
    case VT_CY:
      return cyVal.int64 == o.cyVal.int64;
    case VT_BSTR: {
      UINT a = SysStringLen(bstrVal), b = SysStringLen(o.bstrVal);
      return a == b && (a == 0 || std::wmemcmp(bstrVal, o.bstrVal, a) == 0);
    }
    default:
      return FALSE;
  }
}
BOOL COleVariant::operator==(LPCVARIANT p) const { return p && operator==(*p); }
