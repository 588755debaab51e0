// One open drawing: its file name, database, lock count, quiescence, the external
// functions its LISP environment knows (name -> code -> handler) and the lines sent
// to it for later execution.
#pragma once
#include <deque>
#include <map>
#include <vector>
#include <memory>
#include <string>

#include "acdocman.h"
#include "aced/doc/LispEnvironment.h"

namespace tabrik::acad {

class LoadedModule;
using ExternalHandler = int (*)();

class Document : public AcApDocument {
 public:
  Document(std::wstring fileName, std::unique_ptr<AcDbDatabase> database);
  ~Document() override;

  const ACHAR* fileName() const override { return m_fileName.c_str(); }
  const ACHAR* docTitle() const override { return m_title.c_str(); }
  AcDbDatabase* database() const override { return m_database.get(); }
  AcAp::DocLockMode lockMode(bool includeMyLocks = false) const override;
  bool isQuiescent() const override { return m_quiescent; }

  void setFileName(std::wstring fileName);
  void setQuiescent(bool quiescent) { m_quiescent = quiescent; }
  int lockCount() const { return m_lockCount; }
  void lock() { ++m_lockCount; }
  // False when the document was not locked.
  bool unlock();

  // --- external functions (the ads registration rules)
  // Gives the upper-cased name the code; a name holds one code, so redefinition
  // replaces the old code. RTNORM, or RTERROR for a bad name or code.
  int defun(const std::wstring& name, int code, const LoadedModule* owner);
  // Removes name when it has that code.
  int undef(const std::wstring& name, int code);
  int regFunc(ExternalHandler handler, int code, const LoadedModule* owner);
  ExternalHandler handler(int code) const;
  // The module that attached the handler of code (nullptr: the host or a test).
  const LoadedModule* handlerOwner(int code) const;
  // The code of an external function name (any case), or -1.
  int codeOf(const std::wstring& name) const;
  // Every external function name defined in this drawing, upper-cased, in name order.
  std::vector<std::wstring> externalNames() const;
  // Forgets what a module registered (it is being unloaded).
  void forgetModule(const LoadedModule* owner);

  LispEnvironment* lisp() const { return m_lisp.get(); }
  void setLisp(std::unique_ptr<LispEnvironment> lisp) { m_lisp = std::move(lisp); }

  std::deque<std::wstring>& pendingLines() { return m_pending; }

 private:
  struct Registration {
    int code;
    const LoadedModule* owner;
  };
  struct Handler {
    ExternalHandler function;
    const LoadedModule* owner;
  };
  std::wstring m_fileName;
  std::wstring m_title;
  std::unique_ptr<AcDbDatabase> m_database;
  int m_lockCount = 0;
  bool m_quiescent = true;
  std::map<std::wstring, Registration> m_names;
  std::map<int, Handler> m_handlers;
  std::unique_ptr<LispEnvironment> m_lisp;
  std::deque<std::wstring> m_pending;
};

std::wstring upperCase(const std::wstring& text);
bool equalsIgnoringCase(const std::wstring& a, const std::wstring& b);

}  // namespace tabrik::acad
