// CDBConnection's state and closing (see CDBConnection.h).
#include "db/CDBConnection.h"

CDBConnection::~CDBConnection() { Close(); }

bool CDBConnection::IsIntact() const { return m_database.m_nStatus == 0 || m_database.m_nStatus == 1; }

bool CDBConnection::IsOpen() const { return IsIntact() && m_database.IsOpen(); }

void CDBConnection::Close() {
  if (!IsOpen()) {
    return;
  }
  try {
    m_database.Close();
  } catch (CDaoException* e) {
    e->Delete();
  }
}
