// CDBConnection: one Access database opened through DAO, with its open table cursors.
// This much of the class is what the connection list and the document switch rely
// on: whether the connection is intact and open, and closing it.
#pragma once
#include <afxdao.h>

class CDBConnection {
 public:
  CDBConnection() = default;
  virtual ~CDBConnection();
  CDBConnection(const CDBConnection&) = delete;
  CDBConnection& operator=(const CDBConnection&) = delete;

  // The database object is usable: its status word is 0 or 1 (at most the implicit
  // workspace bit). DAO sets other bits when it closes databases behind the module's
  // back (AfxDaoTerm); such a connection is lost and the document switch drops it.
  virtual bool IsIntact() const;
  // Intact, and the database is open.
  virtual bool IsOpen() const;
  // Closes every table cursor, then the database when it is intact and open; DAO
  // errors while closing are swallowed.
  virtual void Close();

 protected:
  // Created without a workspace: DAO's default workspace is used.
  CDaoDatabase m_database;
};
