// BSTR allocation, VARIANT management and conversion, and OLE dates (conversion to
// and from calendar parts and the en-US text forms).
#include "oleauto.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <limits>
#include <string>

#include "afxstr.h"

// --- BSTR -----------------------------------------------------------------------
// A BSTR points at its first character; the 32-bit character count sits just before
// it and a null follows the last character, as on Windows.

BSTR SysAllocStringLen(const OLECHAR* pch, UINT cch) {
  auto* block = static_cast<char*>(
      std::malloc(sizeof(std::uint64_t) + (static_cast<size_t>(cch) + 1) * sizeof(OLECHAR)));
  if (!block) return nullptr;
  auto* len = reinterpret_cast<std::uint64_t*>(block);
  *len = cch;
  auto* s = reinterpret_cast<OLECHAR*>(block + sizeof(std::uint64_t));
  if (pch)
    std::wmemcpy(s, pch, cch);
  else
    std::wmemset(s, 0, cch);
  s[cch] = 0;
  return s;
}

BSTR SysAllocString(const OLECHAR* psz) {
  if (!psz) return nullptr;
  return SysAllocStringLen(psz, static_cast<UINT>(std::wcslen(psz)));
}

void SysFreeString(BSTR bstr) {
  if (bstr) std::free(reinterpret_cast<char*>(bstr) - sizeof(std::uint64_t));
}

UINT SysStringLen(BSTR bstr) {
  if (!bstr) return 0;
  return static_cast<UINT>(
      *reinterpret_cast<std::uint64_t*>(reinterpret_cast<char*>(bstr) - sizeof(std::uint64_t)));
}

int SysReAllocString(BSTR* pbstr, const OLECHAR* psz) {
  BSTR fresh = SysAllocString(psz);
  if (psz && !fresh) return FALSE;
  SysFreeString(*pbstr);
  *pbstr = fresh;
  return TRUE;
}

// --- VARIANT management -------------------------------------------------------------

void VariantInit(VARIANTARG* v) {
  std::memset(v, 0, sizeof(VARIANT));
  v->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* v) {
  if (!v) return E_INVALIDARG;
  if (v->vt == VT_BSTR) SysFreeString(v->bstrVal);
  VariantInit(v);
  return S_OK;
}

HRESULT VariantCopy(VARIANTARG* dst, const VARIANTARG* src) {
  if (!dst || !src) return E_INVALIDARG;
  if (dst == src) return S_OK;
  VARIANT copy = *src;
  if (src->vt == VT_BSTR && src->bstrVal) {
    copy.bstrVal = SysAllocStringLen(src->bstrVal, SysStringLen(src->bstrVal));
    if (!copy.bstrVal) return E_OUTOFMEMORY;
  }
  VariantClear(dst);
  *dst = copy;
  return S_OK;
}

// --- OLE dates ------------------------------------------------------------------------

namespace {

// Days from 1 March of year 0 based civil calendar (proleptic Gregorian).
long long daysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, int& y, unsigned& m, unsigned& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long yy = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(yy + (m <= 2));
}

const long long kEpoch = daysFromCivil(1899, 12, 30);
constexpr double kMinDate = -657434.0;
constexpr double kMaxDate = 2958466.0;  // exclusive

bool validDate(double d) { return std::isfinite(d) && d >= kMinDate && d < kMaxDate; }

unsigned daysInMonth(int y, unsigned m) {
  static const unsigned kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : kDays[m - 1];
}

// Splits a DATE into calendar parts, rounding the time to the nearest second (a
// fraction above one half rounds up and may carry into the next day). Also reports
// whether the day part is zero and whether the time part is (before rounding) zero,
// which decide the text form.
struct DateParts {
  int year;
  unsigned month, day;
  int hour, minute, second;
  int dayOfWeek;  // 0 = Sunday
  bool dayIsZero;
  bool timeIsZero;
};

DateParts splitDate(double x) {
  double whole = x < 0 ? std::ceil(x) : std::floor(x);
  double frac = std::fabs(x - whole);
  double secs = frac * 86400.0;
  long long s = static_cast<long long>(secs);
  if (secs - static_cast<double>(s) > 0.5) ++s;
  long long days = static_cast<long long>(whole) + kEpoch;
  if (s >= 86400) {
    ++days;
    s -= 86400;
  }
  DateParts p{};
  civilFromDays(days, p.year, p.month, p.day);
  p.hour = static_cast<int>(s / 3600);
  p.minute = static_cast<int>((s / 60) % 60);
  p.second = static_cast<int>(s % 60);
  long long dow = (days + 4) % 7;  // 1 Jan 1970 was a Thursday
  p.dayOfWeek = static_cast<int>(dow < 0 ? dow + 7 : dow);
  p.dayIsZero = whole == 0;
  p.timeIsZero = frac < 1e-12;
  return p;
}

bool makeDate(int y, int mo, int d, int h, int mi, int s, double& out) {
  if (y < 100 || y > 9999 || mo < 1 || mo > 12 || d < 1 ||
      d > static_cast<int>(daysInMonth(y, static_cast<unsigned>(mo))))
    return false;
  if (h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 || s > 59) return false;
  double days = static_cast<double>(
      daysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) - kEpoch);
  double t = (h * 3600.0 + mi * 60.0 + s) / 86400.0;
  out = days >= 0 ? days + t : days - t;
  return true;
}

std::wstring enUsDate(double x) {
  DateParts p = splitDate(x);
  wchar_t date[32], time[32];
  std::swprintf(date, 32, L"%u/%u/%d", p.month, p.day, p.year);
  std::swprintf(time, 32, L"%d:%02d:%02d %ls", p.hour % 12 == 0 ? 12 : p.hour % 12, p.minute,
                p.second, p.hour < 12 ? L"AM" : L"PM");
  if (p.dayIsZero) return time;
  if (p.timeIsZero) return date;
  return std::wstring(date) + L" " + time;
}

// --- date text parsing (en-US) ---

struct Scanner {
  const wchar_t* p;
  void blanks() {
    while (*p && std::iswspace(static_cast<wint_t>(*p))) ++p;
  }
  bool number(int& v, int maxDigits = 9) {
    if (!std::iswdigit(static_cast<wint_t>(*p))) return false;
    v = 0;
    int n = 0;
    while (std::iswdigit(static_cast<wint_t>(*p)) && n < maxDigits) {
      v = v * 10 + (*p++ - L'0');
      ++n;
    }
    return !std::iswdigit(static_cast<wint_t>(*p));
  }
  bool accept(wchar_t c) {
    if (*p != c) return false;
    ++p;
    return true;
  }
};

bool parseTime(Scanner& sc, int& h, int& mi, int& s) {
  mi = s = 0;
  if (!sc.number(h, 2)) return false;
  bool hasColon = false;
  if (sc.accept(L':')) {
    hasColon = true;
    if (!sc.number(mi, 2)) return false;
    if (sc.accept(L':') && !sc.number(s, 2)) return false;
  }
  sc.blanks();
  wchar_t a = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(sc.p[0])));
  if ((a == L'A' || a == L'P') && std::towupper(static_cast<wint_t>(sc.p[1])) == L'M') {
    sc.p += 2;
    if (h < 1 || h > 12) return false;
    if (a == L'A' && h == 12) h = 0;
    if (a == L'P' && h != 12) h += 12;
    return true;
  }
  return hasColon;
}

bool parseDateText(const wchar_t* text, double& out) {
  Scanner sc{text};
  sc.blanks();
  int y = 1899, mo = 12, d = 30, h = 0, mi = 0, s = 0;
  const wchar_t* start = sc.p;
  int a = 0, b = 0, c = 0;
  bool haveDate = false;
  if (sc.number(a) && (sc.accept(L'/') || sc.accept(L'-'))) {
    wchar_t sep = sc.p[-1];
    if (!sc.number(b) || !sc.accept(sep) || !sc.number(c)) return false;
    if (sep == L'-' && a >= 100) {  // ISO yyyy-mm-dd
      y = a, mo = b, d = c;
    } else {  // US m/d/y
      mo = a, d = b, y = c;
      if (sc.p - start > 0 && y < 100) y += y < 30 ? 2000 : 1900;
    }
    haveDate = true;
    sc.blanks();
    if (*sc.p == L'T') ++sc.p;
  } else {
    sc.p = start;
  }
  sc.blanks();
  if (*sc.p) {
    if (!parseTime(sc, h, mi, s)) return false;
    sc.blanks();
    if (*sc.p) return false;
  } else if (!haveDate) {
    return false;
  }
  return makeDate(y, mo, d, h, mi, s, out);
}

}  // namespace

int SystemTimeToVariantTime(const SYSTEMTIME* st, double* out) {
  if (!st || !out) return FALSE;
  return makeDate(st->wYear, st->wMonth, st->wDay, st->wHour, st->wMinute, st->wSecond, *out)
             ? TRUE
             : FALSE;
}

int VariantTimeToSystemTime(double x, SYSTEMTIME* st) {
  if (!st || !validDate(x)) return FALSE;
  DateParts p = splitDate(x);
  st->wYear = static_cast<WORD>(p.year);
  st->wMonth = static_cast<WORD>(p.month);
  st->wDay = static_cast<WORD>(p.day);
  st->wDayOfWeek = static_cast<WORD>(p.dayOfWeek);
  st->wHour = static_cast<WORD>(p.hour);
  st->wMinute = static_cast<WORD>(p.minute);
  st->wSecond = static_cast<WORD>(p.second);
  st->wMilliseconds = 0;
  return TRUE;
}

HRESULT VarBstrFromDate(DATE dateIn, LCID, ULONG, BSTR* out) {
  if (!out) return E_INVALIDARG;
  *out = nullptr;
  if (!validDate(dateIn)) return E_INVALIDARG;
  *out = SysAllocString(enUsDate(dateIn).c_str());
  return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT VarDateFromStr(LPCOLESTR strIn, LCID, ULONG, DATE* out) {
  if (!strIn || !out) return E_INVALIDARG;
  double d = 0;
  if (!parseDateText(strIn, d)) return DISP_E_TYPEMISMATCH;
  *out = d;
  return S_OK;
}

// --- VariantChangeType -------------------------------------------------------------

namespace {

double roundHalfEven(double v) {
  double r = std::nearbyint(v);  // the default rounding mode is to nearest, ties to even
  return r;
}

std::wstring numberText(double v, int digits) {
  if (std::isnan(v)) return L"NaN";
  wchar_t buf[64];
  std::swprintf(buf, 64, L"%.*G", digits, v);
  return buf;
}

std::wstring currencyText(LONGLONG c) {
  bool neg = c < 0;
  unsigned long long a =
      neg ? 0ull - static_cast<unsigned long long>(c) : static_cast<unsigned long long>(c);
  wchar_t buf[64];
  std::swprintf(buf, 64, L"%ls%llu.%04llu", neg ? L"-" : L"", a / 10000, a % 10000);
  std::wstring s = buf;
  while (s.back() == L'0') s.pop_back();
  if (s.back() == L'.') s.pop_back();
  return s;
}

// Reads a whole text as a number (blanks around it allowed); false when it is not one.
bool parseNumber(const wchar_t* s, double& v) {
  if (!s) return false;
  while (std::iswspace(static_cast<wint_t>(*s))) ++s;
  if (!*s) return false;
  wchar_t* end = nullptr;
  v = std::wcstod(s, &end);
  if (end == s) return false;
  while (std::iswspace(static_cast<wint_t>(*end))) ++end;
  return *end == 0 && std::isfinite(v);
}

bool equalsNoCase(const wchar_t* a, const wchar_t* b) { return CString(a).CompareNoCase(b) == 0; }

// The source as a number, for the numeric targets.
HRESULT sourceNumber(const VARIANT& s, VARTYPE target, double& v) {
  switch (s.vt) {
    case VT_EMPTY:
      v = 0;
      return S_OK;
    case VT_I2:
      v = s.iVal;
      return S_OK;
    case VT_I4:
      v = s.lVal;
      return S_OK;
    case VT_I8:
      v = static_cast<double>(s.llVal);
      return S_OK;
    case VT_UI1:
      v = s.bVal;
      return S_OK;
    case VT_R4:
      v = s.fltVal;
      return S_OK;
    case VT_R8:
      v = s.dblVal;
      return S_OK;
    case VT_DATE:
      v = s.date;
      return S_OK;
    case VT_BOOL:
      v = s.boolVal ? -1 : 0;
      return S_OK;
    case VT_CY:
      v = static_cast<double>(s.cyVal.int64) / 10000.0;
      return S_OK;
    case VT_ERROR:
      v = s.scode;
      return S_OK;
    case VT_BSTR: {
      const wchar_t* t = s.bstrVal ? s.bstrVal : L"";
      if (target == VT_DATE && parseDateText(t, v)) return S_OK;
      if (target == VT_BOOL) {
        if (equalsNoCase(t, L"True")) {
          v = -1;
          return S_OK;
        }
        if (equalsNoCase(t, L"False")) {
          v = 0;
          return S_OK;
        }
      }
      return parseNumber(t, v) ? S_OK : DISP_E_TYPEMISMATCH;
    }
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

HRESULT toText(const VARIANT& s, USHORT flags, std::wstring& out) {
  switch (s.vt) {
    case VT_EMPTY:
      out.clear();
      return S_OK;
    case VT_I2:
      out = std::to_wstring(s.iVal);
      return S_OK;
    case VT_I4:
      out = std::to_wstring(s.lVal);
      return S_OK;
    case VT_I8:
      out = std::to_wstring(s.llVal);
      return S_OK;
    case VT_UI1:
      out = std::to_wstring(s.bVal);
      return S_OK;
    case VT_ERROR:
      out = std::to_wstring(s.scode);
      return S_OK;
    case VT_R4:
      out = numberText(s.fltVal, 7);
      return S_OK;
    case VT_R8:
      out = numberText(s.dblVal, 15);
      return S_OK;
    case VT_CY:
      out = currencyText(s.cyVal.int64);
      return S_OK;
    case VT_BOOL:
      out = (flags & VARIANT_ALPHABOOL) ? (s.boolVal ? L"True" : L"False")
                                        : (s.boolVal ? L"-1" : L"0");
      return S_OK;
    case VT_DATE:
      if (!validDate(s.date)) return E_INVALIDARG;
      out = enUsDate(s.date);
      return S_OK;
    case VT_BSTR:
      out = s.bstrVal ? std::wstring(s.bstrVal, SysStringLen(s.bstrVal)) : L"";
      return S_OK;
    default:
      return DISP_E_TYPEMISMATCH;
  }
}

}  // namespace

HRESULT VariantChangeType(VARIANTARG* dst, const VARIANTARG* src, USHORT flags, VARTYPE vt) {
  if (!dst || !src) return E_INVALIDARG;
  if (src->vt == vt) return VariantCopy(dst, src);
  VARIANT r;
  VariantInit(&r);
  r.vt = vt;
  if (src->vt == VT_NULL) {
    if (vt != VT_NULL) return DISP_E_TYPEMISMATCH;
  } else if (vt == VT_EMPTY || vt == VT_NULL) {
    r.vt = vt;
  } else if (vt == VT_BSTR) {
    std::wstring text;
    HRESULT hr = toText(*src, flags, text);
    if (FAILED(hr)) return hr;
    r.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!r.bstrVal) return E_OUTOFMEMORY;
  } else {
    double v = 0;
    HRESULT hr = sourceNumber(*src, vt, v);
    if (FAILED(hr)) return hr;
    switch (vt) {
      case VT_I2: {
        double x = roundHalfEven(v);
        if (!(x >= -32768 && x <= 32767)) return DISP_E_OVERFLOW;
        r.iVal = static_cast<SHORT>(x);
        break;
      }
      case VT_I4: {
        double x = roundHalfEven(v);
        if (!(x >= -2147483648.0 && x <= 2147483647.0)) return DISP_E_OVERFLOW;
        r.lVal = static_cast<LONG>(x);
        break;
      }
      case VT_ERROR: {
        double x = roundHalfEven(v);
        if (!(x >= -2147483648.0 && x <= 2147483647.0)) return DISP_E_OVERFLOW;
        r.scode = static_cast<SCODE>(x);
        break;
      }
      case VT_UI1: {
        double x = roundHalfEven(v);
        if (!(x >= 0 && x <= 255)) return DISP_E_OVERFLOW;
        r.bVal = static_cast<BYTE>(x);
        break;
      }
      case VT_R4:
        if (std::fabs(v) > std::numeric_limits<float>::max()) return DISP_E_OVERFLOW;
        r.fltVal = static_cast<FLOAT>(v);
        break;
      case VT_R8:
        r.dblVal = v;
        break;
      case VT_I8:
        if (src->vt == VT_I2 || src->vt == VT_I4 || src->vt == VT_UI1 || src->vt == VT_BOOL) {
          r.llVal = static_cast<LONGLONG>(v);
          break;
        }
        if (!(v > -9.2233720368547758e18 && v < 9.2233720368547758e18)) return DISP_E_OVERFLOW;
        r.llVal = static_cast<LONGLONG>(roundHalfEven(v));
        break;
      case VT_BOOL:
        r.boolVal = v != 0 ? VARIANT_TRUE : VARIANT_FALSE;
        break;
      case VT_DATE:
        if (!validDate(v)) return DISP_E_OVERFLOW;
        r.date = v;
        break;
      case VT_CY: {
        if (src->vt == VT_I2 || src->vt == VT_I4 || src->vt == VT_UI1 || src->vt == VT_BOOL) {
          r.cyVal.int64 = static_cast<LONGLONG>(v) * 10000;
          break;
        }
        double x = roundHalfEven(v * 10000.0);
        if (!(x > -9.2233720368547758e18 && x < 9.2233720368547758e18)) return DISP_E_OVERFLOW;
        r.cyVal.int64 = static_cast<LONGLONG>(x);
        break;
      }
      default:
        return DISP_E_BADVARTYPE;
    }
  }
  VariantClear(dst);
  *dst = r;
  return S_OK;
}
