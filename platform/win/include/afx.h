// MFC's core: CObject, the exception classes thrown by pointer (the catcher calls
// Delete()), CString and the collections. Include this first, as MFC code does.
#pragma once
#include "afxstr.h"
#include "windef.h"

class CObject {
 public:
  virtual ~CObject() = default;

 protected:
  CObject() = default;
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};

// MFC throws exceptions as heap objects: `throw new CXxxException(...)`, and the
// handler calls e->Delete(). Delete frees only auto-delete exceptions, so an exception
// object on the stack (auto-delete FALSE) may be thrown by address too.
class CException : public CObject {
 public:
  explicit CException(BOOL bAutoDelete = TRUE) : m_bAutoDelete(bAutoDelete) {}
  ~CException() override = default;

  void Delete();
  // Copies the message into the caller's buffer (truncated to nMaxError - 1
  // characters and null-terminated); FALSE when there is no message.
  virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const;

 protected:
  // Shared by the derived classes: copy a message into the caller's buffer.
  static BOOL CopyMessage(LPCTSTR message, LPTSTR lpszError, UINT nMaxError);

  BOOL m_bAutoDelete;
};

class CMemoryException : public CException {
 public:
  using CException::CException;
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;
};

class CInvalidArgException : public CException {
 public:
  using CException::CException;
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext = NULL) const override;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowInvalidArgException();

#include "afxcoll.h"
