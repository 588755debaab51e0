// COleDateTime and COleCurrency: thin classes over the OLE DATE and CY values.
#include <cmath>
#include <ctime>
#include <cwchar>

#include "afxdisp.h"

COleDateTime COleDateTime::GetCurrentTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return COleDateTime(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                      local.tm_min, local.tm_sec);
}

COleDateTime::COleDateTime(const VARIANT& v) : m_dt(0), m_status(valid) {
  if (v.vt == VT_NULL) {
    m_status = null;
    return;
  }
  VARIANT d;
  VariantInit(&d);
  if (FAILED(VariantChangeType(&d, &v, 0, VT_DATE))) {
    m_status = invalid;
    return;
  }
  m_dt = d.date;
}

COleDateTime::COleDateTime(int y, int mo, int d, int h, int mi, int s) : m_dt(0), m_status(valid) {
  SetDateTime(y, mo, d, h, mi, s);
}

COleDateTime::COleDateTime(const SYSTEMTIME& st)
    : COleDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond) {}

int COleDateTime::SetDateTime(int y, int mo, int d, int h, int mi, int s) {
  SYSTEMTIME st{
      static_cast<WORD>(y),  static_cast<WORD>(mo), 0, static_cast<WORD>(d), static_cast<WORD>(h),
      static_cast<WORD>(mi), static_cast<WORD>(s),  0};
  bool inRange =
      y >= 100 && y <= 9999 && mo >= 1 && mo <= 12 && d >= 1 && h >= 0 && mi >= 0 && s >= 0;
  if (inRange && SystemTimeToVariantTime(&st, &m_dt)) {
    m_status = valid;
    return 0;
  }
  m_dt = 0;
  m_status = invalid;
  return 1;
}

BOOL COleDateTime::GetAsSystemTime(SYSTEMTIME& st) const {
  return m_status == valid && VariantTimeToSystemTime(m_dt, &st);
}

namespace {
SYSTEMTIME partsOf(const COleDateTime& t) {
  SYSTEMTIME st{};
  t.GetAsSystemTime(st);
  return st;
}
}  // namespace

int COleDateTime::GetYear() const { return partsOf(*this).wYear; }
int COleDateTime::GetMonth() const { return partsOf(*this).wMonth; }
int COleDateTime::GetDay() const { return partsOf(*this).wDay; }
int COleDateTime::GetHour() const { return partsOf(*this).wHour; }
int COleDateTime::GetMinute() const { return partsOf(*this).wMinute; }
int COleDateTime::GetSecond() const { return partsOf(*this).wSecond; }
int COleDateTime::GetDayOfWeek() const { return partsOf(*this).wDayOfWeek + 1; }
int COleDateTime::GetDayOfYear() const {
  SYSTEMTIME st = partsOf(*this);
  COleDateTime jan1(st.wYear, 1, 1, 0, 0, 0);
  return static_cast<int>(std::floor(std::floor(m_dt) - jan1.m_dt)) + 1;
}

bool COleDateTime::operator<(const COleDateTime& o) const {
  // Negative dates carry their time as an absolute value; compare by the instant.
  auto instant = [](double d) {
    double whole = d < 0 ? std::ceil(d) : std::floor(d);
    return whole + std::fabs(d - whole);
  };
  return instant(m_dt) < instant(o.m_dt);
}

CString COleDateTime::Format(DWORD dwFlags, LCID lcid) const {
  if (m_status == null) return CString();
  if (m_status != valid) return CString(L"Invalid DateTime");
  BSTR b = nullptr;
  if (FAILED(VarBstrFromDate(m_dt, lcid, dwFlags, &b))) return CString(L"Invalid DateTime");
  CString s(b);
  SysFreeString(b);
  return s;
}

CString COleDateTime::Format(LPCTSTR fmt) const {
  if (m_status == null) return CString();
  SYSTEMTIME st{};
  if (!GetAsSystemTime(st)) return CString(L"Invalid DateTime");
  static const wchar_t* kMonths[] = {L"January",   L"February", L"March",    L"April",
                                     L"May",       L"June",     L"July",     L"August",
                                     L"September", L"October",  L"November", L"December"};
  static const wchar_t* kDays[] = {L"Sunday",   L"Monday", L"Tuesday", L"Wednesday",
                                   L"Thursday", L"Friday", L"Saturday"};
  CString out;
  for (const wchar_t* p = fmt ? fmt : L""; *p; ++p) {
    if (*p != L'%' || !p[1]) {
      out += *p;
      continue;
    }
    ++p;
    bool noPad = false;
    if (*p == L'#' && p[1]) {
      noPad = true;
      ++p;
    }
    const wchar_t* two = noPad ? L"%d" : L"%02d";
    CString piece;
    int hour12 = st.wHour % 12 == 0 ? 12 : st.wHour % 12;
    switch (*p) {
      case L'Y':
        piece.Format(L"%d", st.wYear);
        break;
      case L'y':
        piece.Format(two, st.wYear % 100);
        break;
      case L'm':
        piece.Format(two, st.wMonth);
        break;
      case L'd':
        piece.Format(two, st.wDay);
        break;
      case L'H':
        piece.Format(two, st.wHour);
        break;
      case L'I':
        piece.Format(two, hour12);
        break;
      case L'M':
        piece.Format(two, st.wMinute);
        break;
      case L'S':
        piece.Format(two, st.wSecond);
        break;
      case L'p':
        piece = st.wHour < 12 ? L"AM" : L"PM";
        break;
      case L'j':
        piece.Format(noPad ? L"%d" : L"%03d", GetDayOfYear());
        break;
      case L'B':
        piece = kMonths[st.wMonth - 1];
        break;
      case L'b':
        piece = CString(kMonths[st.wMonth - 1]).Left(3);
        break;
      case L'A':
        piece = kDays[st.wDayOfWeek];
        break;
      case L'a':
        piece = CString(kDays[st.wDayOfWeek]).Left(3);
        break;
      case L'%':
        piece = L"%";
        break;
      default:
        piece = CString(L'%') + *p;
        break;
    }
    out += piece;
  }
  return out;
}

bool COleDateTime::ParseDateTime(LPCTSTR text, DWORD dwFlags, LCID lcid) {
  DATE d = 0;
  if (FAILED(VarDateFromStr(text, lcid, dwFlags, &d))) {
    m_dt = 0;
    m_status = invalid;
    return false;
  }
  m_dt = d;
  m_status = valid;
  return true;
}

COleCurrency::COleCurrency(long nUnits, long nFractionalUnits) : m_status(valid) {
  SetCurrency(nUnits, nFractionalUnits);
}

COleCurrency::COleCurrency(const VARIANT& v) : m_status(valid) {
  m_cur.int64 = 0;
  if (v.vt == VT_NULL) {
    m_status = null;
    return;
  }
  VARIANT c;
  VariantInit(&c);
  if (FAILED(VariantChangeType(&c, &v, 0, VT_CY))) {
    m_status = invalid;
    return;
  }
  m_cur = c.cyVal;
}

void COleCurrency::SetCurrency(long nUnits, long nFractionalUnits) {
  m_cur.int64 = static_cast<LONGLONG>(nUnits) * 10000 + nFractionalUnits;
  m_status = valid;
}

CString COleCurrency::Format(DWORD dwFlags, LCID) const {
  if (m_status == null) return CString();
  if (m_status != valid) return CString(L"Invalid Currency");
  VARIANT v, t;
  VariantInit(&v);
  VariantInit(&t);
  v.vt = VT_CY;
  v.cyVal = m_cur;
  if (FAILED(VariantChangeType(&t, &v, static_cast<USHORT>(dwFlags), VT_BSTR)))
    return CString(L"Invalid Currency");
  CString s(t.bstrVal);
  VariantClear(&t);
  return s;
}

COleCurrency COleCurrency::operator+(const COleCurrency& o) const {
  CY c;
  c.int64 = m_cur.int64 + o.m_cur.int64;
  return COleCurrency(c);
}
COleCurrency COleCurrency::operator-(const COleCurrency& o) const {
  CY c;
  c.int64 = m_cur.int64 - o.m_cur.int64;
  return COleCurrency(c);
}
