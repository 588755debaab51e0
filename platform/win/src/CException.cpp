// CException and the simple exception classes of afx.h.
#include "afx.h"

#include <cwchar>

void CException::Delete() {
  if (m_bAutoDelete > 0) delete this;
}

BOOL CException::CopyMessage(LPCTSTR message, LPTSTR lpszError, UINT nMaxError) {
  if (!lpszError || nMaxError == 0) return FALSE;
  size_t n = std::wcslen(message);
  if (n > nMaxError - 1) n = nMaxError - 1;
  std::wmemcpy(lpszError, message, n);
  lpszError[n] = L'\0';
  return TRUE;
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  if (lpszError && nMaxError > 0) *lpszError = L'\0';
  return FALSE;
}

BOOL CMemoryException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                                       PUINT pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  return CopyMessage(L"Out of memory.", lpszError, nMaxError);
}

BOOL CInvalidArgException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                                           PUINT pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = 0;
  return CopyMessage(L"Encountered an improper argument.", lpszError, nMaxError);
}

void AfxThrowMemoryException() { throw new CMemoryException(); }
void AfxThrowInvalidArgException() { throw new CInvalidArgException(); }
