// OLE Automation values: BSTR strings, CY currency, DATE and the VARIANT that carries
// any of them (the subset of wtypes.h and oleauto.h that DAO and MFC use).
//
// VARIANT layout (as in wtypes.h): a 16-bit type tag `vt`, three reserved words,
// then one union member that the tag selects:
//
//   vt          member    C type         meaning
//   VT_EMPTY    -         -              no value
//   VT_NULL     -         -              SQL Null
//   VT_I2       iVal      SHORT          16-bit integer
//   VT_I4       lVal      LONG           32-bit integer
//   VT_R4       fltVal    FLOAT          4-byte real
//   VT_R8       dblVal    DOUBLE         8-byte real
//   VT_CY       cyVal     CY             currency, value x 10000 in a 64-bit integer
//   VT_DATE     date      DATE           OLE date: days since 30 Dec 1899 (see below)
//   VT_BSTR     bstrVal   BSTR           length-prefixed wide string, owned by the variant
//   VT_ERROR    scode     SCODE          error code
//   VT_BOOL     boolVal   VARIANT_BOOL   VARIANT_TRUE (-1) or VARIANT_FALSE (0)
//   VT_UI1      bVal      BYTE           unsigned byte
//   VT_I8       llVal     LONGLONG       64-bit integer
//
// OLE DATE: the whole part counts days from 30 December 1899 (negative before it);
// the fraction is the time of day read as an absolute value, so -1.25 is 29 Dec 1899
// 06:00. Valid range -657434.0 (1 Jan 100) to 2958465.99999 (31 Dec 9999).
#pragma once
#include "windef.h"

typedef WCHAR OLECHAR;
typedef OLECHAR* BSTR;
typedef const OLECHAR* LPCOLESTR;
typedef OLECHAR* LPOLESTR;
typedef double DATE;
typedef short VARIANT_BOOL;
typedef unsigned short VARTYPE;

#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

typedef union tagCY {
  struct {
    ULONG Lo;
    LONG Hi;
  };
  LONGLONG int64;
} CY;

enum VARENUM : unsigned short {
  VT_EMPTY = 0,
  VT_NULL = 1,
  VT_I2 = 2,
  VT_I4 = 3,
  VT_R4 = 4,
  VT_R8 = 5,
  VT_CY = 6,
  VT_DATE = 7,
  VT_BSTR = 8,
  VT_ERROR = 10,
  VT_BOOL = 11,
  VT_VARIANT = 12,
  VT_UI1 = 17,
  VT_I8 = 20,
  VT_BSTRT = 0xfff,  // MFC's marker for "build a BSTR from narrow text"
};

typedef struct tagVARIANT {
  VARTYPE vt;
  WORD wReserved1;
  WORD wReserved2;
  WORD wReserved3;
  union {
    LONG lVal;
    BYTE bVal;
    SHORT iVal;
    FLOAT fltVal;
    DOUBLE dblVal;
    VARIANT_BOOL boolVal;
    SCODE scode;
    CY cyVal;
    DATE date;
    BSTR bstrVal;
    LONGLONG llVal;
  };
} VARIANT;
typedef VARIANT* LPVARIANT;
typedef const VARIANT* LPCVARIANT;
typedef VARIANT VARIANTARG;

typedef struct _SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;  // 0 = Sunday
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
} SYSTEMTIME;

// BSTR: the caller owns what SysAlloc* returns and frees it with SysFreeString.
BSTR SysAllocString(const OLECHAR* psz);
BSTR SysAllocStringLen(const OLECHAR* pch, UINT cch);
void SysFreeString(BSTR bstr);
UINT SysStringLen(BSTR bstr);
int SysReAllocString(BSTR* pbstr, const OLECHAR* psz);

// VARIANT management. VariantClear frees what the variant owns and leaves VT_EMPTY.
void VariantInit(VARIANTARG* pvarg);
HRESULT VariantClear(VARIANTARG* pvarg);
HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc);

// Conversion between the variant types above, with Automation's rules: reals round
// half to even into integers, DISP_E_OVERFLOW outside the target's range,
// DISP_E_TYPEMISMATCH for text that does not read as the target or for Null.
#define VARIANT_NOVALUEPROP 0x01
#define VARIANT_ALPHABOOL 0x02  // VT_BOOL to text as "True"/"False" instead of "-1"/"0"
HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags,
                          VARTYPE vt);

// Date to text as the user's default locale writes it (en-US here): "M/d/yyyy",
// "h:mm:ss AM", or both joined by a blank; a whole day prints without a time and a
// day part of zero prints the time alone. E_INVALIDARG outside the DATE range.
HRESULT VarBstrFromDate(DATE dateIn, LCID lcid, ULONG dwFlags, BSTR* pbstrOut);
// Text to date in the en-US forms ("3/5/2024", "3/5/2024 2:07:09 PM", "2024-03-05",
// "14:07"); DISP_E_TYPEMISMATCH when the text is not a date.
HRESULT VarDateFromStr(LPCOLESTR strIn, LCID lcid, ULONG dwFlags, DATE* pdateOut);
int SystemTimeToVariantTime(const SYSTEMTIME* lpSystemTime, double* pvtime);
int VariantTimeToSystemTime(double vtime, SYSTEMTIME* lpSystemTime);
