// CString: MFC's wide string (CStringW in a Unicode build), over std::wstring.
// Format takes the Windows printf dialect: in a wide format "%s" and "%c" are wide,
// "%hs"/"%S" narrow, "%I64d" a 64-bit integer; pass a CString as (LPCTSTR)s.
// Case mapping and CompareNoCase fold ASCII and the Latin-1 and Latin Extended-A
// letters; other scripts compare as written.
#pragma once
#include <cstdarg>
#include <string>

#include "windef.h"

class CString {
 public:
  CString() = default;
  CString(const CString&) = default;
  CString(CString&&) noexcept = default;
  CString(LPCWSTR psz);  // null gives the empty string
  CString(LPCWSTR pch, int nLength);
  CString(const char* pszUtf8);  // narrow text is read as UTF-8
  CString(wchar_t ch, int nRepeat = 1);
  CString(const std::wstring& s) : m_s(s) {}
  CString& operator=(const CString&) = default;
  CString& operator=(CString&&) noexcept = default;
  CString& operator=(LPCWSTR psz);
  CString& operator=(const char* pszUtf8);
  CString& operator=(wchar_t ch);

  int GetLength() const { return static_cast<int>(m_s.size()); }
  BOOL IsEmpty() const { return m_s.empty(); }
  void Empty() { m_s.clear(); }
  wchar_t GetAt(int i) const;
  void SetAt(int i, wchar_t ch);
  wchar_t operator[](int i) const { return GetAt(i); }
  operator LPCWSTR() const { return m_s.c_str(); }
  LPCWSTR GetString() const { return m_s.c_str(); }
  const std::wstring& str() const { return m_s; }

  // GetBuffer hands out the characters for writing, at least nMinBufLength long;
  // ReleaseBuffer(-1) takes the length up to the first null.
  LPWSTR GetBuffer();
  LPWSTR GetBuffer(int nMinBufLength);
  LPWSTR GetBufferSetLength(int nNewLength);
  void ReleaseBuffer(int nNewLength = -1);

  CString Left(int nCount) const;
  CString Right(int nCount) const;
  CString Mid(int iFirst) const;
  CString Mid(int iFirst, int nCount) const;
  CString SpanIncluding(LPCWSTR pszCharSet) const;
  CString SpanExcluding(LPCWSTR pszCharSet) const;
  CString Tokenize(LPCWSTR pszTokens, int& iStart) const;

  int Find(wchar_t ch, int iStart = 0) const;
  int Find(LPCWSTR pszSub, int iStart = 0) const;
  int ReverseFind(wchar_t ch) const;
  int FindOneOf(LPCWSTR pszCharSet) const;

  int Replace(wchar_t chOld, wchar_t chNew);
  int Replace(LPCWSTR pszOld, LPCWSTR pszNew);
  int Remove(wchar_t ch);
  int Insert(int iIndex, wchar_t ch);
  int Insert(int iIndex, LPCWSTR psz);
  int Delete(int iIndex, int nCount = 1);

  CString& MakeUpper();
  CString& MakeLower();
  CString& MakeReverse();
  CString& Trim();
  CString& Trim(wchar_t chTarget);
  CString& Trim(LPCWSTR pszTargets);
  CString& TrimLeft();
  CString& TrimLeft(wchar_t chTarget);
  CString& TrimLeft(LPCWSTR pszTargets);
  CString& TrimRight();
  CString& TrimRight(wchar_t chTarget);
  CString& TrimRight(LPCWSTR pszTargets);

  void Format(LPCWSTR pszFormat, ...);
  void AppendFormat(LPCWSTR pszFormat, ...);
  void FormatV(LPCWSTR pszFormat, va_list args);
  void AppendFormatV(LPCWSTR pszFormat, va_list args);
  void Append(LPCWSTR psz) { *this += psz; }
  void AppendChar(wchar_t ch) { m_s.push_back(ch); }

  int Compare(LPCWSTR psz) const;
  int CompareNoCase(LPCWSTR psz) const;

  // BSTR the caller frees with SysFreeString.
  wchar_t* AllocSysString() const;

  CString& operator+=(const CString& s);
  CString& operator+=(LPCWSTR psz);
  CString& operator+=(wchar_t ch);

  friend CString operator+(const CString& a, const CString& b);
  friend CString operator+(const CString& a, LPCWSTR b);
  friend CString operator+(LPCWSTR a, const CString& b);
  friend CString operator+(const CString& a, wchar_t b);
  friend CString operator+(wchar_t a, const CString& b);

 private:
  std::wstring m_s;
};

bool operator==(const CString& a, const CString& b);
bool operator==(const CString& a, LPCWSTR b);
bool operator==(LPCWSTR a, const CString& b);
bool operator!=(const CString& a, const CString& b);
bool operator!=(const CString& a, LPCWSTR b);
bool operator!=(LPCWSTR a, const CString& b);
bool operator<(const CString& a, const CString& b);
bool operator>(const CString& a, const CString& b);
bool operator<=(const CString& a, const CString& b);
bool operator>=(const CString& a, const CString& b);

typedef CString CStringW;

// Case mapping of single characters as CString does it (exposed for collations that
// must agree with CompareNoCase).
wchar_t AfxCharUpper(wchar_t ch);
wchar_t AfxCharLower(wchar_t ch);
