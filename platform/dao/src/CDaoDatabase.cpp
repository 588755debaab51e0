// CDaoDatabase over the engine's DAODatabase, and the engine's start and stop.
#include <cstdlib>
#include <set>

#include "DaoErrors.h"
#include "DaoStore.h"
#include "Relations.h"
#include "afxdao.h"
#include "jetsql/JetDdl.h"
#include "jetsql/JetTranslator.h"
#include "server/ServerSchema.h"
#include "tabrik/AccessConversion.h"
#include "tabrik/DaoMaintenance.h"

using namespace tabrik::dao;

namespace {

bool g_started = false;
// Every CDaoDatabase in existence, so that AfxDaoTerm can close what is still open.
std::set<CDaoDatabase*>& allDatabases() {
  static std::set<CDaoDatabase*> kAll;
  return kAll;
}

void requireOpen(const CDaoDatabase* db) {
  if (!db->IsOpen()) AfxThrowDaoException(AFX_DAO_ERROR_OBJECT_NOT_OPEN);
}

}  // namespace

int tabrik::dao::checkpointOpenDatabases() {
  int done = 0;
  for (CDaoDatabase* db : allDatabases())
    if (db->IsOpen() && db->m_pDAODatabase->checkpointIfWritten()) ++done;
  return done;
}

void AfxDaoInit() {
  if (g_started) return;
  const char* fail = std::getenv("TABRIK_DAO_INIT_FAIL");
  if (fail && *fail && std::string(fail) != "0")
    AfxThrowDaoException(AFX_DAO_ERROR_ENGINE_INITIALIZATION);
  if (sqlite3_initialize() != SQLITE_OK) AfxThrowDaoException(AFX_DAO_ERROR_ENGINE_INITIALIZATION);
  g_started = true;
}

void AfxDaoTerm() {
  if (!g_started) return;
  for (CDaoDatabase* db : allDatabases()) {
    if (!db->IsOpen()) continue;
    db->Close();
    db->m_nStatus |= AFX_DAO_IMPLICIT_CLOSE;
  }
  g_started = false;
}

CDaoDatabase::CDaoDatabase(CDaoWorkspace* pWorkspace)
    : m_pWorkspace(pWorkspace), m_pDAODatabase(nullptr), m_bOpen(FALSE), m_nStatus(0) {
  allDatabases().insert(this);
  if (m_pWorkspace) m_pWorkspace->registerDatabase(this);
}

CDaoDatabase::~CDaoDatabase() {
  Close();
  if (m_pWorkspace) m_pWorkspace->unregisterDatabase(this);
  allDatabases().erase(this);
}

void CDaoDatabase::openStore(LPCTSTR lpszName, bool exclusive, bool readOnly, bool create) {
  if (m_nStatus & AFX_DAO_IMPLICIT_CLOSE) daoThrow(3420);
  AfxDaoInit();
  if (IsOpen()) Close();
  const std::wstring name = lpszName ? lpszName : L"";
  auto store = std::make_unique<DAODatabase>();
  if (!create && isAccessFile(name)) {
    // An Access file is never written: it is read through a converted copy.
    if (!readOnly) throwWritesNeedConversion(name);
    store->open(convertedCopyOf(name), exclusive, /*readOnly=*/true, false, dbLangGeneral);
    store->name = name;
    store->accessFile = true;
  } else {
    store->open(name, exclusive, readOnly, create, dbLangGeneral);
  }
  m_pDAODatabase = store.release();
  m_bOpen = TRUE;
  if (!m_pWorkspace) m_nStatus |= AFX_DAO_IMPLICIT_WS;
}

void CDaoDatabase::Open(LPCTSTR lpszName, BOOL bExclusive, BOOL bReadOnly, LPCTSTR) {
  openStore(lpszName, bExclusive, bReadOnly, /*create=*/false);
}

void CDaoDatabase::Create(LPCTSTR lpszName, LPCTSTR lpszLocale, int) {
  if (m_nStatus & AFX_DAO_IMPLICIT_CLOSE) daoThrow(3420);
  AfxDaoInit();
  if (IsOpen()) Close();
  auto store = std::make_unique<DAODatabase>();
  store->open(lpszName ? lpszName : L"", false, false, /*create=*/true,
              lpszLocale ? lpszLocale : dbLangGeneral);
  m_pDAODatabase = store.release();
  m_bOpen = TRUE;
  if (!m_pWorkspace) m_nStatus |= AFX_DAO_IMPLICIT_WS;
}

void CDaoDatabase::Close() {
  while (!m_recordsets.IsEmpty()) m_recordsets.GetHead()->databaseClosing();
  delete m_pDAODatabase;
  m_pDAODatabase = nullptr;
  m_bOpen = FALSE;
}

BOOL CDaoDatabase::IsOpen() const { return m_bOpen && m_pDAODatabase != nullptr; }

BOOL CDaoDatabase::CanUpdate() {
  requireOpen(this);
  return !m_pDAODatabase->readOnly;
}

BOOL CDaoDatabase::CanTransact() {
  requireOpen(this);
  return TRUE;
}

CString CDaoDatabase::GetName() {
  requireOpen(this);
  return CString(m_pDAODatabase->name);
}

CString CDaoDatabase::GetConnect() {
  requireOpen(this);
  // A file of another format is named by its kind, as DAO names an installable ISAM's.
  if (m_pDAODatabase->accessFile)
    return CString(L"MS Access;DATABASE=") + m_pDAODatabase->name.c_str();
  return CString();
}

CString CDaoDatabase::GetVersion() {
  requireOpen(this);
  return CString(L"4.0");
}

long CDaoDatabase::GetRecordsAffected() {
  requireOpen(this);
  return m_pDAODatabase->recordsAffected;
}

void CDaoDatabase::Execute(LPCTSTR lpszSQL, int) {
  requireOpen(this);
  DAODatabase& d = *m_pDAODatabase;
  std::string given = toUtf8(lpszSQL ? lpszSQL : L"");
  if (jetsql::executeDdl(
          *this, given,
          &d.recordsAffected)) {  // through the table definitions, so the catalog stays true
    return;
  }
  std::shared_ptr<const jetsql::Translation> jet = d.translateJet(given);
  const std::string& sql = jet->sql;
  if (!d.db) {
    // A server database: the translation is in the server's dialect and runs as any
    // statement of the engine's, inside the engine's transaction.
    if (sql.find_first_not_of(" \t\r\n;") == std::string::npos) daoThrow(3129);  // no statement
    if (!jet->parameters.empty())
      daoThrow(3061, {std::to_wstring(jet->parameters.size())}, L"DAO.Database");
    try {
      Statement s(d.conn->prepare(sql));
      d.beginWrite(3218);
      d.finishCallerAction(s);
    } catch (CDaoException* e) {
      jetsql::mapServerSyntaxError(e, *jet, d.conn->syntaxErrorOffset());
      throw;
    }
    return;
  }
  d.beginWrite(3218);
  // The caller's statement is compiled and run as a caller's (DaoStore.h); the
  // transaction around it is the engine's.
  sqlite3_stmt* raw = nullptr;
  int rc = d.prepareCaller(sql, &raw);
  if (rc == SQLITE_OK && !raw) {
    d.endWrite(true);
    daoThrow(3129);
  }
  if (rc != SQLITE_OK) {
    sqlite3_finalize(raw);
    try {
      jetsql::throwIfSyntaxError(d.db, *jet);
      throwSqlite(d.db, rc, 3218,
                  d.name);  // reads SQLite's message before the rollback replaces it
    } catch (...) {
      d.endWrite(false);
      throw;
    }
  }
  Statement s = adoptSqlite(d.db, raw);
  d.finishCallerAction(s);
  d.schemaChanged();
}

short CDaoDatabase::GetTableDefCount() {
  requireOpen(this);
  return static_cast<short>(m_pDAODatabase->tableNames().size());
}

namespace {
void fillTableDefInfo(DAODatabase& d, const TableSchema& t, CDaoTableDefInfo& info, DWORD options) {
  info.m_strName = t.name.c_str();
  info.m_bUpdatable = !d.readOnly && !t.isSystem();
  info.m_lAttributes = t.attributes;
  info.m_dateCreated = COleDateTime(t.created);
  info.m_dateLastUpdated = COleDateTime(t.updated);
  info.m_strSrcTableName = t.sourceTable.c_str();
  info.m_strConnect = t.connect.c_str();
  info.m_lRecordCount = 0;
  if (options & AFX_DAO_ALL_INFO) {
    Statement s = d.prepare("SELECT count(*) FROM " + quoteId(t.name));
    if (s.step()) info.m_lRecordCount = static_cast<long>(s.columnInt(0));
  }
}
}  // namespace

void CDaoDatabase::GetTableDefInfo(int nIndex, CDaoTableDefInfo& info, DWORD dwInfoOptions) {
  requireOpen(this);
  auto names = m_pDAODatabase->tableNames();
  if (nIndex < 0 || nIndex >= static_cast<int>(names.size())) daoThrow(3265);
  fillTableDefInfo(*m_pDAODatabase, m_pDAODatabase->schema(names[static_cast<size_t>(nIndex)]),
                   info, dwInfoOptions);
}

void CDaoDatabase::GetTableDefInfo(LPCTSTR lpszName, CDaoTableDefInfo& info, DWORD dwInfoOptions) {
  requireOpen(this);
  std::wstring name = lpszName ? lpszName : L"";
  if (!m_pDAODatabase->hasTable(name)) daoThrow(3265);
  fillTableDefInfo(*m_pDAODatabase, m_pDAODatabase->schema(name), info, dwInfoOptions);
}

void CDaoDatabase::DeleteTableDef(LPCTSTR lpszName) {
  requireOpen(this);
  DAODatabase& d = *m_pDAODatabase;
  std::wstring name = lpszName ? lpszName : L"";
  if (!d.hasTable(name)) daoThrow(3265);
  TableSchema t = d.schema(name);
  if (t.isSystem()) daoThrow(3219);
  // Jet keeps a relation's tables: its relations must be deleted first.
  if (takesPartInRelations(d, t.name)) daoThrow(3281);
  d.beginWrite(3211);
  try {
    if (t.isLinked()) {
      d.bumpSchema();  // only the catalog row goes; the link's file stays
    } else {
      if (!d.db) server::dropCounterTriggers(d, t.name);  // their functions outlive the table
      d.exec("DROP TABLE " + quoteId(t.name), 3211);
    }
    for (const char* table :
         {"MSysObjects", "MSysColumns", "MSysIndexes", "MSysIndexColumns", "MSysCounters"}) {
      std::string column = std::string(table) == "MSysObjects" ? "Name" : "TableName";
      Statement s = d.prepare(std::string("DELETE FROM ") + table + " WHERE " + column + " = ?");
      s.bindText(1, t.name);
      s.step(3211);
    }
  } catch (...) {
    d.endWrite(false);
    throw;
  }
  d.endWrite(true, 3211);
  d.schemaChanged();
}

void CDaoDatabase::registerRecordset(CDaoRecordset* rs) {
  if (!m_recordsets.Find(rs)) m_recordsets.AddTail(rs);
}

void CDaoDatabase::unregisterRecordset(CDaoRecordset* rs) {
  if (POSITION p = m_recordsets.Find(rs)) m_recordsets.RemoveAt(p);
}
