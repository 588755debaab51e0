// CDBConnection: one Access database opened through DAO, with its open table cursors.
// This is the part of the class that the connection list and the document switch rely
// on: whether the connection is intact and open, and closing it.
#pragma once

class CDBConnection {
 public:
  CDBConnection() = default;
  virtual ~CDBConnection() = default;
  CDBConnection(const CDBConnection&) = delete;
  CDBConnection& operator=(const CDBConnection&) = delete;

  // The database object is usable (its status word is 0 or 1). A connection that is
  // not intact has been invalidated by DAO and is dropped by the document switch.
  virtual bool IsIntact() const { return true; }
  // Intact, and the database is open.
  virtual bool IsOpen() const { return false; }
  // Closes every table cursor, then the database; DAO errors while closing are
  // swallowed.
  virtual void Close() {}
};
