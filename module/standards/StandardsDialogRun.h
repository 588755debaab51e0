// The frame every standards dialog runs in: the database it works on (a connection of
// the call's own, or the drawing's current one), the read-only refusal, and the run
// itself with the drawing unlocked for its length.
#pragma once
#include <functional>
#include <memory>

#include "db/CDBConnection.h"

class CDialog;

namespace tabrik::arx::standards {

class StandardsDatabase {
 public:
  enum class Report { DatabaseError, TabrikError };

  StandardsDatabase() = default;
  ~StandardsDatabase();
  StandardsDatabase(const StandardsDatabase&) = delete;
  StandardsDatabase& operator=(const StandardsDatabase&) = delete;

  // Opens the file on a connection of its own: `path`, or when empty the file that the
  // drawing's current connection has open. An open failure is printed in the given
  // form; a read-only database shows "Database is read-only. Cannot be viewed at this
  // time." (caption "Norvane"). False in both cases.
  bool Open(const CString& path, Report report);
  // Works on the drawing's current connection itself; false when there is none. The
  // read-only refusal as above.
  bool UseCurrent();

  CDBConnection* Connection() const { return m_connection; }
  // The file the dialog works on, as the LISP callbacks receive it.
  const CString& Path() const { return m_path; }

 private:
  bool refuseReadOnly();

  std::unique_ptr<CDBConnection> m_own;
  CDBConnection* m_connection = nullptr;
  CString m_path;
};

// Runs the dialog that `make` creates modally, with the drawing unlocked for its
// length, in the module's dialog hosting steps (resources current until the dialog is
// gone, the active window given back, the component-missing prompt when it could not
// be created); the run's result (-1 when it could not be created).
INT_PTR runStandardsDialog(const std::function<std::unique_ptr<CDialog>()>& make);

}  // namespace tabrik::arx::standards
