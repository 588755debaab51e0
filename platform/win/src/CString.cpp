// CString over std::wstring, and the translation of the Windows printf dialect into
// the C library's wide printf.
#include "afxstr.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "oleauto.h"
#include "stringapiset.h"

wchar_t AfxCharUpper(wchar_t c) {
  if (c >= L'a' && c <= L'z') return c - 32;
  if (c < 0x80) return c;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 0x20;
  if (c == 0xFF) return 0x178;
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c & ~1;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c : c - 1;
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 0x20;
  if (c >= 0x430 && c <= 0x44F) return c - 0x20;
  if (c >= 0x450 && c <= 0x45F) return c - 0x50;
  return c;
}

wchar_t AfxCharLower(wchar_t c) {
  if (c >= L'A' && c <= L'Z') return c + 32;
  if (c < 0x80) return c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  if (c == 0x178) return 0xFF;
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c | 1;
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c & 1) ? c + 1 : c;
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  return c;
}

namespace {

std::wstring fromUtf8(const char* s) {
  if (!s) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, s, -1, w.data(), n);
  w.resize(static_cast<size_t>(n) - 1);  // drop the terminating null
  return w;
}

bool contains(LPCWSTR set, wchar_t c) { return set && c != 0 && std::wcschr(set, c) != nullptr; }

// Rewrites a Windows wide printf format for the C library: in a wide format Windows
// reads %s/%c as wide and %S/%C/%hs/%hc as narrow, while the C library reads %s/%c as
// narrow and %ls/%lc as wide. %I64 / %I32 / %I become ll / (nothing) / z.
std::wstring translateFormat(LPCWSTR fmt) {
  std::wstring out;
  if (!fmt) return out;
  for (const wchar_t* p = fmt; *p; ++p) {
    out.push_back(*p);
    if (*p != L'%') continue;
    ++p;
    if (*p == L'%') {
      out.push_back(L'%');
      continue;
    }
    // flags, width, precision
    while (*p && std::wcschr(L"-+ #0123456789.*", *p)) out.push_back(*p++);
    bool narrow = false, wide = false;
    if (p[0] == L'I' && p[1] == L'6' && p[2] == L'4') {
      out += L"ll";
      p += 3;
    } else if (p[0] == L'I' && p[1] == L'3' && p[2] == L'2') {
      p += 3;
    } else if (p[0] == L'I') {
      out.push_back(L'z');
      ++p;
    } else if (*p == L'h' && (p[1] == L's' || p[1] == L'c' || p[1] == L'S' || p[1] == L'C')) {
      narrow = true;
      ++p;
    } else if ((*p == L'l' || *p == L'w') &&
               (p[1] == L's' || p[1] == L'c' || p[1] == L'S' || p[1] == L'C')) {
      wide = true;
      ++p;
    } else {
      while (*p && std::wcschr(L"hlLqjzt", *p)) out.push_back(*p++);
    }
    if (!*p) break;
    wchar_t conv = *p;
    if (conv == L's' || conv == L'c') {
      if (!narrow) out.push_back(L'l');
      out.push_back(conv);
    } else if (conv == L'S' || conv == L'C') {
      if (wide) out.push_back(L'l');
      out.push_back(static_cast<wchar_t>(conv + (L'a' - L'A')));
    } else {
      out.push_back(conv);
    }
  }
  return out;
}

std::wstring formatV(LPCWSTR fmt, va_list args) {
  std::wstring f = translateFormat(fmt);
  std::vector<wchar_t> buf(256);
  for (;;) {
    va_list copy;
    va_copy(copy, args);
    int n = std::vswprintf(buf.data(), buf.size(), f.c_str(), copy);
    va_end(copy);
    if (n >= 0) return std::wstring(buf.data(), static_cast<size_t>(n));
    if (buf.size() > (1u << 26)) return {};  // defensive: a format that never fits
    buf.resize(buf.size() * 4);
  }
}

}  // namespace

CString::CString(LPCWSTR psz) : m_s(psz ? psz : L"") {}
CString::CString(LPCWSTR pch, int nLength)
    : m_s(pch && nLength > 0 ? std::wstring(pch, nLength) : std::wstring()) {}
CString::CString(const char* pszUtf8) : m_s(fromUtf8(pszUtf8)) {}
CString::CString(wchar_t ch, int nRepeat)
    : m_s(nRepeat > 0 ? static_cast<size_t>(nRepeat) : 0, ch) {}

CString& CString::operator=(LPCWSTR psz) {
  m_s = psz ? psz : L"";
  return *this;
}
CString& CString::operator=(const char* pszUtf8) {
  m_s = fromUtf8(pszUtf8);
  return *this;
}
CString& CString::operator=(wchar_t ch) {
  m_s.assign(1, ch);
  return *this;
}

wchar_t CString::GetAt(int i) const { return i >= 0 && i < GetLength() ? m_s[i] : L'\0'; }
void CString::SetAt(int i, wchar_t ch) {
  if (i >= 0 && i < GetLength()) m_s[i] = ch;
}

LPWSTR CString::GetBuffer() { return m_s.data(); }
LPWSTR CString::GetBuffer(int nMinBufLength) {
  if (nMinBufLength > GetLength()) m_s.resize(static_cast<size_t>(nMinBufLength));
  return m_s.data();
}
LPWSTR CString::GetBufferSetLength(int nNewLength) {
  m_s.resize(static_cast<size_t>(std::max(nNewLength, 0)));
  return m_s.data();
}
void CString::ReleaseBuffer(int nNewLength) {
  if (nNewLength < 0) nNewLength = static_cast<int>(std::wcslen(m_s.c_str()));
  m_s.resize(static_cast<size_t>(std::min(nNewLength, GetLength())));
}

CString CString::Left(int n) const {
  return CString(m_s.substr(0, static_cast<size_t>(std::clamp(n, 0, GetLength()))));
}
CString CString::Right(int n) const {
  n = std::clamp(n, 0, GetLength());
  return CString(m_s.substr(static_cast<size_t>(GetLength() - n)));
}
CString CString::Mid(int iFirst) const { return Mid(iFirst, GetLength()); }
CString CString::Mid(int iFirst, int nCount) const {
  iFirst = std::clamp(iFirst, 0, GetLength());
  nCount = std::clamp(nCount, 0, GetLength() - iFirst);
  return CString(m_s.substr(static_cast<size_t>(iFirst), static_cast<size_t>(nCount)));
}
CString CString::SpanIncluding(LPCWSTR set) const {
  size_t n = 0;
  while (n < m_s.size() && contains(set, m_s[n])) ++n;
  return CString(m_s.substr(0, n));
}
CString CString::SpanExcluding(LPCWSTR set) const {
  size_t n = 0;
  while (n < m_s.size() && !contains(set, m_s[n])) ++n;
  return CString(m_s.substr(0, n));
}
CString CString::Tokenize(LPCWSTR tokens, int& iStart) const {
  if (iStart < 0 || iStart >= GetLength()) {
    iStart = -1;
    return CString();
  }
  size_t b = static_cast<size_t>(iStart);
  while (b < m_s.size() && contains(tokens, m_s[b])) ++b;
  if (b >= m_s.size()) {
    iStart = -1;
    return CString();
  }
  size_t e = b;
  while (e < m_s.size() && !contains(tokens, m_s[e])) ++e;
  iStart = static_cast<int>(e + 1);
  return CString(m_s.substr(b, e - b));
}

int CString::Find(wchar_t ch, int iStart) const {
  if (iStart < 0 || iStart > GetLength()) return -1;
  size_t p = m_s.find(ch, static_cast<size_t>(iStart));
  return p == std::wstring::npos ? -1 : static_cast<int>(p);
}
int CString::Find(LPCWSTR sub, int iStart) const {
  if (!sub || iStart < 0 || iStart > GetLength()) return -1;
  size_t p = m_s.find(sub, static_cast<size_t>(iStart));
  return p == std::wstring::npos ? -1 : static_cast<int>(p);
}
int CString::ReverseFind(wchar_t ch) const {
  size_t p = m_s.rfind(ch);
  return p == std::wstring::npos ? -1 : static_cast<int>(p);
}
int CString::FindOneOf(LPCWSTR set) const {
  for (size_t i = 0; i < m_s.size(); ++i)
    if (contains(set, m_s[i])) return static_cast<int>(i);
  return -1;
}

int CString::Replace(wchar_t chOld, wchar_t chNew) {
  int n = 0;
  for (auto& c : m_s)
    if (c == chOld) {
      c = chNew;
      ++n;
    }
  return n;
}
int CString::Replace(LPCWSTR pszOld, LPCWSTR pszNew) {
  if (!pszOld || !*pszOld) return 0;
  std::wstring oldS(pszOld), newS(pszNew ? pszNew : L"");
  int n = 0;
  for (size_t p = m_s.find(oldS); p != std::wstring::npos; p = m_s.find(oldS, p + newS.size())) {
    m_s.replace(p, oldS.size(), newS);
    ++n;
  }
  return n;
}
int CString::Remove(wchar_t ch) {
  size_t before = m_s.size();
  m_s.erase(std::remove(m_s.begin(), m_s.end(), ch), m_s.end());
  return static_cast<int>(before - m_s.size());
}
int CString::Insert(int i, wchar_t ch) {
  m_s.insert(static_cast<size_t>(std::clamp(i, 0, GetLength())), 1, ch);
  return GetLength();
}
int CString::Insert(int i, LPCWSTR psz) {
  if (psz) m_s.insert(static_cast<size_t>(std::clamp(i, 0, GetLength())), psz);
  return GetLength();
}
int CString::Delete(int i, int nCount) {
  if (i >= 0 && i < GetLength() && nCount > 0)
    m_s.erase(static_cast<size_t>(i), static_cast<size_t>(nCount));
  return GetLength();
}

CString& CString::MakeUpper() {
  for (auto& c : m_s) c = AfxCharUpper(c);
  return *this;
}
CString& CString::MakeLower() {
  for (auto& c : m_s) c = AfxCharLower(c);
  return *this;
}
CString& CString::MakeReverse() {
  std::reverse(m_s.begin(), m_s.end());
  return *this;
}

static bool isBlank(wchar_t c) { return std::iswspace(static_cast<wint_t>(c)) != 0; }

CString& CString::TrimLeft() {
  size_t b = 0;
  while (b < m_s.size() && isBlank(m_s[b])) ++b;
  m_s.erase(0, b);
  return *this;
}
CString& CString::TrimLeft(wchar_t ch) {
  size_t b = 0;
  while (b < m_s.size() && m_s[b] == ch) ++b;
  m_s.erase(0, b);
  return *this;
}
CString& CString::TrimLeft(LPCWSTR set) {
  size_t b = 0;
  while (b < m_s.size() && contains(set, m_s[b])) ++b;
  m_s.erase(0, b);
  return *this;
}
CString& CString::TrimRight() {
  while (!m_s.empty() && isBlank(m_s.back())) m_s.pop_back();
  return *this;
}
CString& CString::TrimRight(wchar_t ch) {
  while (!m_s.empty() && m_s.back() == ch) m_s.pop_back();
  return *this;
}
CString& CString::TrimRight(LPCWSTR set) {
  while (!m_s.empty() && contains(set, m_s.back())) m_s.pop_back();
  return *this;
}
CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(wchar_t ch) { return TrimRight(ch).TrimLeft(ch); }
CString& CString::Trim(LPCWSTR set) { return TrimRight(set).TrimLeft(set); }

void CString::Format(LPCWSTR fmt, ...) {
  va_list args;
  va_start(args, fmt);
  FormatV(fmt, args);
  va_end(args);
}
void CString::AppendFormat(LPCWSTR fmt, ...) {
  va_list args;
  va_start(args, fmt);
  AppendFormatV(fmt, args);
  va_end(args);
}
void CString::FormatV(LPCWSTR fmt, va_list args) { m_s = formatV(fmt, args); }
void CString::AppendFormatV(LPCWSTR fmt, va_list args) { m_s += formatV(fmt, args); }

int CString::Compare(LPCWSTR psz) const {
  int c = m_s.compare(psz ? psz : L"");
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}
int CString::CompareNoCase(LPCWSTR psz) const {
  const wchar_t* a = m_s.c_str();
  const wchar_t* b = psz ? psz : L"";
  for (;; ++a, ++b) {
    wchar_t x = AfxCharLower(*a), y = AfxCharLower(*b);
    if (x != y) return x < y ? -1 : 1;
    if (!x) return 0;
  }
}

wchar_t* CString::AllocSysString() const {
  return SysAllocStringLen(m_s.data(), static_cast<UINT>(m_s.size()));
}

CString& CString::operator+=(const CString& s) {
  m_s += s.m_s;
  return *this;
}
CString& CString::operator+=(LPCWSTR psz) {
  if (psz) m_s += psz;
  return *this;
}
CString& CString::operator+=(wchar_t ch) {
  m_s.push_back(ch);
  return *this;
}

CString operator+(const CString& a, const CString& b) { return CString(a.m_s + b.m_s); }
CString operator+(const CString& a, LPCWSTR b) { return CString(a.m_s + (b ? b : L"")); }
CString operator+(LPCWSTR a, const CString& b) { return CString((a ? a : L"") + b.m_s); }
CString operator+(const CString& a, wchar_t b) { return CString(a.m_s + b); }
CString operator+(wchar_t a, const CString& b) { return CString(a + b.m_s); }

bool operator==(const CString& a, const CString& b) { return a.str() == b.str(); }
bool operator==(const CString& a, LPCWSTR b) { return a.Compare(b) == 0; }
bool operator==(LPCWSTR a, const CString& b) { return b.Compare(a) == 0; }
bool operator!=(const CString& a, const CString& b) { return !(a == b); }
bool operator!=(const CString& a, LPCWSTR b) { return !(a == b); }
bool operator!=(LPCWSTR a, const CString& b) { return !(a == b); }
bool operator<(const CString& a, const CString& b) { return a.str() < b.str(); }
bool operator>(const CString& a, const CString& b) { return b < a; }
bool operator<=(const CString& a, const CString& b) { return !(b < a); }
bool operator>=(const CString& a, const CString& b) { return !(a < b); }
