// One save of a standards dialog as a single transaction of its connection: the rows
// it writes land together or not at all. The guard rolls back unless committed, so
// that a save leaving early (a failed row, an exception) undoes every row before it.
#pragma once
#include "db/CDBConnection.h"

namespace tabrik::arx::standards {

class SaveTransaction {
 public:
  explicit SaveTransaction(CDBConnection& connection)
      : m_connection(connection), m_pending(connection.BeginTrans()) {}
  ~SaveTransaction() {
    if (m_pending) m_connection.Rollback();
  }
  SaveTransaction(const SaveTransaction&) = delete;
  SaveTransaction& operator=(const SaveTransaction&) = delete;

  // False when the transaction could not begin; the connection holds why.
  bool Begun() const { return m_pending; }
  // Ends the transaction keeping its writes. A failed commit loses them all; either
  // way nothing is left to roll back.
  bool Commit() {
    if (!m_pending) return false;
    m_pending = false;
    return m_connection.CommitTrans();
  }

 private:
  CDBConnection& m_connection;
  bool m_pending;
};

}  // namespace tabrik::arx::standards
