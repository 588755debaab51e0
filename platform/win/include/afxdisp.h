// MFC's OLE automation value classes: COleVariant (a VARIANT that owns its value),
// COleDateTime (an OLE DATE with a status), COleCurrency (a CY with a status), and
// COleException, which COleVariant::ChangeType throws when a conversion fails.
#pragma once
#include "afx.h"
#include "oleauto.h"

class COleCurrency;
class COleDateTime;

class COleException : public CException {
 public:
  explicit COleException(SCODE sc, BOOL bAutoDelete = TRUE) : CException(bAutoDelete), m_sc(sc) {}
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;
  SCODE m_sc;
};
[[noreturn]] void AfxThrowOleException(SCODE sc);

class COleVariant : public tagVARIANT {
 public:
  COleVariant();
  COleVariant(const VARIANT& varSrc);
  COleVariant(const COleVariant& varSrc);
  COleVariant(LPCVARIANT pSrc);
  COleVariant(LPCTSTR lpszSrc);
  COleVariant(LPCTSTR lpszSrc, VARTYPE vtSrc);  // VT_BSTR or VT_BSTRT
  COleVariant(const CString& strSrc);
  COleVariant(BYTE nSrc);
  COleVariant(short nSrc, VARTYPE vtSrc = VT_I2);  // VT_I2 or VT_BOOL
  COleVariant(long lSrc, VARTYPE vtSrc = VT_I4);   // VT_I4, VT_ERROR or VT_BOOL
  // LONG is 32 bits here and `long` 64, so LONG values and int literals need their own
  // overload; the value is stored as VT_I4 (or the given VT_BOOL / VT_ERROR).
  COleVariant(int nSrc, VARTYPE vtSrc = VT_I4);
  COleVariant(const COleCurrency& curSrc);
  COleVariant(float fltSrc);
  COleVariant(double dblSrc);
  COleVariant(const COleDateTime& timeSrc);
  ~COleVariant();

  void Clear();
  // Converts in place (or from pSrc into this); throws COleException* on failure.
  void ChangeType(VARTYPE vartype, LPVARIANT pSrc = NULL);
  void Attach(VARIANT& varSrc);
  VARIANT Detach();
  void SetString(LPCTSTR lpszSrc, VARTYPE vtSrc);

  operator LPVARIANT() { return this; }
  operator LPCVARIANT() const { return this; }

  const COleVariant& operator=(const VARIANT& varSrc);
  const COleVariant& operator=(const COleVariant& varSrc);
  const COleVariant& operator=(LPCVARIANT pSrc);
  const COleVariant& operator=(LPCTSTR lpszSrc);
  const COleVariant& operator=(const CString& strSrc);
  const COleVariant& operator=(BYTE nSrc);
  const COleVariant& operator=(short nSrc);
  const COleVariant& operator=(long lSrc);
  const COleVariant& operator=(int nSrc);
  const COleVariant& operator=(const COleCurrency& curSrc);
  const COleVariant& operator=(float fltSrc);
  const COleVariant& operator=(double dblSrc);
  const COleVariant& operator=(const COleDateTime& dateSrc);

  // Same type and same value (strings compared exactly).
  BOOL operator==(const VARIANT& varSrc) const;
  BOOL operator==(LPCVARIANT pSrc) const;
  BOOL operator==(const COleVariant& varSrc) const {
    return operator==(static_cast<const VARIANT&>(varSrc));
  }
  BOOL operator!=(const VARIANT& varSrc) const { return !operator==(varSrc); }
};

class COleDateTime {
 public:
  enum DateTimeStatus { error = -1, valid = 0, invalid = 1, null = 2 };

  static COleDateTime GetCurrentTime();

  COleDateTime() : m_dt(0), m_status(valid) {}
  COleDateTime(DATE dtSrc) : m_dt(dtSrc), m_status(valid) {}
  COleDateTime(const VARIANT& varSrc);
  COleDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);
  COleDateTime(const SYSTEMTIME& st);

  DateTimeStatus GetStatus() const { return m_status; }
  void SetStatus(DateTimeStatus status) { m_status = status; }
  // Returns 0 on success and 1 (status invalid) for a date outside the DATE range or
  // parts out of range.
  int SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);
  int SetDate(int nYear, int nMonth, int nDay) { return SetDateTime(nYear, nMonth, nDay, 0, 0, 0); }
  int SetTime(int nHour, int nMin, int nSec) {
    return SetDateTime(1899, 12, 30, nHour, nMin, nSec);
  }
  BOOL GetAsSystemTime(SYSTEMTIME& st) const;

  int GetYear() const;
  int GetMonth() const;
  int GetDay() const;
  int GetHour() const;
  int GetMinute() const;
  int GetSecond() const;
  int GetDayOfWeek() const;  // 1 = Sunday
  int GetDayOfYear() const;  // 1 = 1 January

  // Without a format: VarBstrFromDate's text. With one: strftime-style codes
  // (%Y %m %d %H %M %S %y %b %B %a %A %p %I %j %%); "%#d" drops the leading zero.
  CString Format(DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT) const;
  CString Format(LPCTSTR lpszFormat) const;
  // Reads the en-US text forms of VarDateFromStr; FALSE and status invalid otherwise.
  bool ParseDateTime(LPCTSTR lpszDate, DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT);

  operator DATE() const { return m_dt; }
  bool operator==(const COleDateTime& o) const { return m_dt == o.m_dt; }
  bool operator!=(const COleDateTime& o) const { return m_dt != o.m_dt; }
  bool operator<(const COleDateTime& o) const;
  bool operator>(const COleDateTime& o) const { return o < *this; }

  DATE m_dt;
  DateTimeStatus m_status;
};

class COleCurrency {
 public:
  enum CurrencyStatus { valid = 0, invalid = 1, null = 2 };

  COleCurrency() : m_status(valid) { m_cur.int64 = 0; }
  COleCurrency(CY cySrc) : m_cur(cySrc), m_status(valid) {}
  // nUnits whole units and nFractionalUnits ten-thousandths.
  COleCurrency(long nUnits, long nFractionalUnits);
  COleCurrency(const VARIANT& varSrc);

  CurrencyStatus GetStatus() const { return m_status; }
  void SetStatus(CurrencyStatus status) { m_status = status; }
  void SetCurrency(long nUnits, long nFractionalUnits);
  // "1234.5678" with trailing zeros of the fraction dropped ("12.5", "3").
  CString Format(DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT) const;

  operator CY() const { return m_cur; }
  bool operator==(const COleCurrency& o) const { return m_cur.int64 == o.m_cur.int64; }
  bool operator!=(const COleCurrency& o) const { return m_cur.int64 != o.m_cur.int64; }
  bool operator<(const COleCurrency& o) const { return m_cur.int64 < o.m_cur.int64; }
  COleCurrency operator+(const COleCurrency& o) const;
  COleCurrency operator-(const COleCurrency& o) const;

  CY m_cur;
  CurrencyStatus m_status;
};
