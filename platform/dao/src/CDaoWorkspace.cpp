// CDaoWorkspace: transactions across the databases of a workspace (as savepoints of
// each database's write transaction), and compaction and repair of closed files.
#include <sys/stat.h>
#include <unistd.h>

#include "DaoErrors.h"
#include "DaoStore.h"
#include "afxdao.h"
#include "server/ConnectString.h"
#include "tabrik/DatabaseCopy.h"
#include "tabrik/TextConversion.h"

using namespace tabrik::dao;

namespace {

std::string savepoint(int level) { return "dao_trans_" + std::to_string(level); }

std::wstring machineName() {
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) != 0) return L"(unknown)";
  return fromUtf8(host);
}

std::string nativePath(const std::wstring& path) { return tabrik::text::nativePath(path); }

// Whether a name stands for a server database: a connect string, or a pointer file.
bool namesServer(const std::wstring& name) {
  std::string utf8 = toUtf8(name);
  return server::parseConnectString(utf8) || server::readPointerFile(nativePath(name));
}

// A server keeps its own storage compact; a compacted copy of a server database, or
// one made on a server, is a copy through the DAO classes, as `tabrik copy-db` makes.
// The destination must not exist yet (3204), as a file's must not.
void compactByCopy(const std::wstring& src, const std::wstring& dst) {
  if (!namesServer(dst)) {
    std::string dstPath = nativePath(dst);
    struct stat st {};
    if (dstPath.empty() || stat(tabrik::text::parentFolder(dstPath).c_str(), &st) != 0 ||
        !S_ISDIR(st.st_mode))
      daoThrow(3044, {dst}, L"DAO.DBEngine");
    if (stat(dstPath.c_str(), &st) == 0) daoThrow(3204, {}, L"DAO.DBEngine");
  }
  try {
    copyDatabaseBetween(src, dst, {});
  } catch (const CopyRefused&) {
    daoThrow(3204, {}, L"DAO.DBEngine");
  }
}

// Opens a closed database for maintenance: exclusively when it may be written, so that
// nobody has it open for writing meanwhile.
void openForMaintenance(DAODatabase& store, const std::wstring& name, bool writable) {
  try {
    store.open(name, /*exclusive=*/writable, /*readOnly=*/!writable, /*create=*/false, L"");
  } catch (CDaoException* e) {
    long code = e->m_pErrorInfo ? e->m_pErrorInfo->m_lErrorCode : 0;
    if (code != 3045 && code != 3051) throw;
    e->Delete();
    daoThrow(3356, {machineName(), L"Admin"}, L"DAO.DBEngine");
  }
}

}  // namespace

CDaoWorkspace::CDaoWorkspace() : m_bOpen(FALSE), m_nTransactions(0) {}

CDaoWorkspace::~CDaoWorkspace() { Close(); }

void CDaoWorkspace::Open(LPCTSTR lpszName) {
  AfxDaoInit();
  m_strName = lpszName ? lpszName : L"#Default Workspace#";
  m_bOpen = TRUE;
}

void CDaoWorkspace::Create(LPCTSTR lpszName, LPCTSTR, LPCTSTR) {
  AfxDaoInit();
  m_strName = lpszName ? lpszName : L"";
  m_bOpen = TRUE;
}

void CDaoWorkspace::Close() {
  while (m_nTransactions > 0) {
    try {
      Rollback();
    } catch (CDaoException* e) {
      e->Delete();  // defensive: closing goes on whatever the rollback met
      m_nTransactions = 0;
    }
  }
  while (!m_databases.IsEmpty()) {
    CDaoDatabase* db = m_databases.RemoveHead();
    db->Close();
    db->m_pWorkspace = nullptr;
  }
  m_bOpen = FALSE;
}

void CDaoWorkspace::registerDatabase(CDaoDatabase* db) {
  if (!m_databases.Find(db)) m_databases.AddTail(db);
}

void CDaoWorkspace::unregisterDatabase(CDaoDatabase* db) {
  if (POSITION p = m_databases.Find(db)) m_databases.RemoveAt(p);
}

void CDaoWorkspace::BeginTrans() {
  int level = m_nTransactions + 1;
  for (POSITION p = m_databases.GetHeadPosition(); p;) {
    CDaoDatabase* db = m_databases.GetNext(p);
    if (!db->IsOpen() || db->m_pDAODatabase->readOnly) continue;
    DAODatabase& d = *db->m_pDAODatabase;
    d.beginWrite(3218);
    d.run("SAVEPOINT " + savepoint(level));
  }
  m_nTransactions = level;
}

void CDaoWorkspace::CommitTrans() {
  if (m_nTransactions == 0) daoThrow(3034, {}, L"DAO.Workspace");
  int level = m_nTransactions--;
  for (POSITION p = m_databases.GetHeadPosition(); p;) {
    CDaoDatabase* db = m_databases.GetNext(p);
    if (!db->IsOpen() || db->m_pDAODatabase->readOnly) continue;
    DAODatabase& d = *db->m_pDAODatabase;
    // A cancelled write took SQLite's transaction with it (and reported 3059): there is
    // nothing left of it to end.
    if (d.writeDepth == 0) continue;
    d.run("RELEASE " + savepoint(level));
    d.endWrite(true);
  }
}

void CDaoWorkspace::Rollback() {
  if (m_nTransactions == 0) daoThrow(3034, {}, L"DAO.Workspace");
  int level = m_nTransactions--;
  for (POSITION p = m_databases.GetHeadPosition(); p;) {
    CDaoDatabase* db = m_databases.GetNext(p);
    if (!db->IsOpen() || db->m_pDAODatabase->readOnly) continue;
    DAODatabase& d = *db->m_pDAODatabase;
    if (d.writeDepth == 0) continue;  // gone with a cancelled write, as in CommitTrans
    d.run("ROLLBACK TO " + savepoint(level));
    d.run("RELEASE " + savepoint(level));
    d.endWrite(true);  // what is left of the transaction belongs to outer holders
    d.schemaChanged();
  }
}

void CDaoWorkspace::CompactDatabase(LPCTSTR lpszSrcName, LPCTSTR lpszDestName, LPCTSTR lpszLocale,
                                    int) {
  AfxDaoInit();
  std::wstring src = lpszSrcName ? lpszSrcName : L"";
  std::wstring dst = lpszDestName ? lpszDestName : L"";
  std::string dstPath = nativePath(dst);
  if (nativePath(src) == dstPath) daoThrow(3204, {}, L"DAO.DBEngine");
  if (namesServer(src) || namesServer(dst)) {
    // Nobody else may have a server database open while it is copied, as for a file:
    // the copy then holds one state of it. The copy reads it read-only, beside this.
    DAODatabase guard;
    if (namesServer(src)) openForMaintenance(guard, src, /*writable=*/true);
    compactByCopy(src, dst);
    return;
  }
  DAODatabase source;
  openForMaintenance(source, src, userMayWrite(nativePath(src)));
  std::string dstDir = tabrik::text::parentFolder(dstPath);
  struct stat st {};
  if (dstPath.empty() || stat(dstDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    daoThrow(3044, {dst}, L"DAO.DBEngine");
  if (stat(dstPath.c_str(), &st) == 0) daoThrow(3204, {}, L"DAO.DBEngine");
  {
    Statement v = source.prepare("VACUUM INTO ?");
    v.bindText(1, fromUtf8(dstPath.c_str()));
    v.step(3045);
  }
  source.close();
  DAODatabase made;
  made.open(dst, false, false, false, L"");
  made.beginWrite(3046);
  Statement locale = made.prepare("UPDATE MSysDb SET Value = ? WHERE Property = 'Locale'");
  locale.bindText(1, lpszLocale ? lpszLocale : dbLangGeneral);
  locale.step(3046);
  made.endWrite(true, 3046);
}

void CDaoWorkspace::RepairDatabase(LPCTSTR lpszName) {
  AfxDaoInit();
  std::wstring name = lpszName ? lpszName : L"";
  DAODatabase store;
  if (namesServer(name)) {
    // The server keeps its own storage whole: reaching the database is all there is.
    store.open(name, false, true, false, L"");
    return;
  }
  openForMaintenance(store, name, userMayWrite(nativePath(name)));
  if (!store.readOnly) store.exec("REINDEX", 3045);
  Statement check = store.prepare("PRAGMA integrity_check");
  if (!check.step(3045) || check.columnText(0) != L"ok") daoThrow(3049, {name}, L"DAO.DBEngine");
}
