// CDaoQueryDef: temporary and stored queries (MSysQueries), their parameters and the
// running of action queries. Recordsets open query definitions as snapshots.
#include "DaoErrors.h"
#include "DaoStore.h"
#include "QueryParameters.h"
#include "SchemaInfo.h"
#include "afxdao.h"
#include "jetsql/JetDdl.h"
#include "jetsql/JetTranslator.h"

using namespace tabrik::dao;

namespace {

const wchar_t kSource[] = L"DAO.QueryDef";

DAODatabase& storeOf(CDaoDatabase* db) {
  if (!db || !db->IsOpen()) AfxThrowDaoException(AFX_DAO_ERROR_OBJECT_NOT_OPEN);
  return *db->m_pDAODatabase;
}

// The statement compiled, or null with the DAO error thrown for its text.
sqlite3_stmt* compile(DAODatabase& d, const CString& sql) {
  std::shared_ptr<const jetsql::Translation> jet = d.translateJet(toUtf8(sql.GetString()));
  const std::string& text = jet->sql;
  sqlite3_stmt* stmt = nullptr;
  int rc = d.prepareCaller(text, &stmt);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(stmt);
    jetsql::throwIfSyntaxError(d.db, *jet);
    throwSqlite(d.db, rc, 3218, d.name);
  }
  if (!stmt) daoThrow(3129, {}, kSource);
  return stmt;
}

// For looking at a statement without running it: a statement the translator cannot
// read is looked at as given, and fails when it is run.
std::string translatedOrAsGiven(const CString& sql) {
  std::string text = toUtf8(sql.GetString());
  try {
    return jetsql::translateSql(text);
  } catch (CDaoException* e) {
    e->Delete();
    return text;
  }
}

bool hasQueryCatalog(DAODatabase& d) { return d.hasEngineTable("MSysQueries"); }

}  // namespace

CDaoQueryDef::CDaoQueryDef(CDaoDatabase* pDatabase)
    : m_pDatabase(pDatabase),
      m_pParameters(nullptr),
      m_bOpen(FALSE),
      m_bNew(FALSE),
      m_lRecordsAffected(0) {}

CDaoQueryDef::~CDaoQueryDef() { Close(); }

void CDaoQueryDef::Create(LPCTSTR lpszName, LPCTSTR lpszSQL) {
  storeOf(m_pDatabase);
  Close();
  m_strName = lpszName ? lpszName : L"";
  if (!m_strName.IsEmpty()) checkName(m_strName.GetString());
  m_strSQL = lpszSQL ? lpszSQL : L"";
  m_bNew = !m_strName.IsEmpty();
  m_bOpen = !m_bNew;  // a temporary query is usable at once, a named one after Append
  readParameters();
}

void CDaoQueryDef::Open(LPCTSTR lpszName) {
  DAODatabase& d = storeOf(m_pDatabase);
  Close();
  std::wstring name = lpszName ? lpszName : L"";
  if (!hasQueryCatalog(d)) daoThrow(3265, {}, L"DAO.QueryDefs");
  Statement s = d.prepare("SELECT Name, SQL FROM MSysQueries WHERE Name = ?");
  s.bindText(1, name);
  if (!s.step()) daoThrow(3265, {}, L"DAO.QueryDefs");
  m_strName = s.columnText(0).c_str();
  m_strSQL = s.columnText(1).c_str();
  m_bOpen = TRUE;
  readParameters();
}

void CDaoQueryDef::Append() {
  DAODatabase& d = storeOf(m_pDatabase);
  if (!m_bNew) daoThrow(3219, {}, L"DAO.QueryDefs");
  std::wstring name = m_strName.GetString();
  if (d.hasTable(name)) daoThrow(3012, {name}, L"DAO.QueryDefs");
  d.beginWrite(3211);
  try {
    if (!hasQueryCatalog(d)) {  // a file made before stored queries existed
      const storage::Dialect& dialect = d.conn->dialect();
      d.exec(std::string("CREATE TABLE MSysQueries (Name ") + dialect.text + dialect.catalogText +
             ", SQL " + dialect.text + ", Type " + dialect.integer + ", DateCreate " +
             dialect.real + ", DateUpdate " + dialect.real + ", PRIMARY KEY (Name))");
    }
    Statement exists = d.prepare("SELECT 1 FROM MSysQueries WHERE Name = ?");
    exists.bindText(1, name);
    if (exists.step()) daoThrow(3012, {name}, L"DAO.QueryDefs");
    double now = COleDateTime::GetCurrentTime().m_dt;
    Statement s = d.prepare(
        "INSERT INTO MSysQueries (Name, SQL, Type, DateCreate, DateUpdate) VALUES (?, ?, ?, ?, ?)");
    s.bindText(1, name);
    s.bindText(2, m_strSQL.GetString());
    s.bindInt(3, GetType());
    s.bind(4, Value::ofReal(now));
    s.bind(5, Value::ofReal(now));
    s.step(3211);
    // A server's statements read stored queries in by the catalog's version.
    if (!d.db) d.bumpSchema();
  } catch (...) {
    d.endWrite(false);
    d.schemaChanged();
    throw;
  }
  d.endWrite(true, 3211);
  d.schemaChanged();
  m_bNew = FALSE;
  m_bOpen = TRUE;
}

void CDaoQueryDef::Close() {
  delete m_pParameters;
  m_pParameters = nullptr;
  m_bOpen = FALSE;
  m_bNew = FALSE;
}

void CDaoQueryDef::SetSQL(LPCTSTR lpszSQL) {
  DAODatabase& d = storeOf(m_pDatabase);
  m_strSQL = lpszSQL ? lpszSQL : L"";
  readParameters();
  if (!m_bOpen || m_bNew || m_strName.IsEmpty()) return;
  d.beginWrite(3211);
  try {
    Statement s =
        d.prepare("UPDATE MSysQueries SET SQL = ?, Type = ?, DateUpdate = ? WHERE Name = ?");
    s.bindText(1, m_strSQL.GetString());
    s.bindInt(2, GetType());
    s.bind(3, Value::ofReal(COleDateTime::GetCurrentTime().m_dt));
    s.bindText(4, m_strName.GetString());
    s.step(3211);
    if (!d.db) d.bumpSchema();
  } catch (...) {
    d.endWrite(false);
    throw;
  }
  d.endWrite(true, 3211);
  d.schemaChanged();  // a file's view of the query is made again from the new text
}

short CDaoQueryDef::GetType() {
  DAODatabase& d = storeOf(m_pDatabase);
  if (!d.db) {
    // A server's statement is not compiled to be looked at: its kind is what it says.
    try {
      return d.translateJet(toUtf8(m_strSQL.GetString()))->kind == jetsql::Translation::Select
                 ? dbQSelect
                 : dbQAction;
    } catch (CDaoException* e) {
      e->Delete();
      return dbQAction;
    }
  }
  d.requireSqlSupport();
  std::string text = translatedOrAsGiven(m_strSQL);
  sqlite3_stmt* stmt = nullptr;
  // Compiled as a caller's statement is, so that one reading other stored queries sees
  // them as the tables they are there.
  d.prepareCaller(text, &stmt);
  DAODatabase::forgetRefusal();
  short type = stmt && sqlite3_column_count(stmt) > 0 ? dbQSelect : dbQAction;
  sqlite3_finalize(stmt);
  return type;
}

BOOL CDaoQueryDef::GetReturnsRecords() { return GetType() == dbQSelect; }

BOOL CDaoQueryDef::CanUpdate() { return !storeOf(m_pDatabase).readOnly; }

void CDaoQueryDef::readParameters() {
  Parameters* fresh = new Parameters;
  DAODatabase* d = m_pDatabase && m_pDatabase->IsOpen() ? m_pDatabase->m_pDAODatabase : nullptr;
  if (d && d->db) {
    std::string text = translatedOrAsGiven(m_strSQL);
    DAODatabase::CallerSql caller(*d);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(d->db, text.c_str(), static_cast<int>(text.size()), &stmt, nullptr);
    DAODatabase::forgetRefusal();
    int n = stmt ? sqlite3_bind_parameter_count(stmt) : 0;
    for (int i = 1; i <= n; ++i) {
      const char* raw = sqlite3_bind_parameter_name(stmt, i);
      std::wstring name = fromUtf8(jetsql::parameterName(raw).c_str());
      fresh->names.push_back(name);
      fresh->values.emplace_back();
      fresh->given.push_back(false);
      if (!m_pParameters) continue;
      for (size_t k = 0; k < m_pParameters->names.size(); ++k)  // a value set before stays
        if (m_pParameters->given[k] && upper(m_pParameters->names[k]) == upper(name) &&
            !name.empty()) {
          fresh->values.back() = m_pParameters->values[k];
          fresh->given.back() = true;
        }
    }
    sqlite3_finalize(stmt);
  } else if (d) {
    // A server's statement names its parameters in the translation, once each.
    std::vector<std::string> numbered;
    try {
      numbered = d->translateJet(toUtf8(m_strSQL.GetString()))->parameters;
    } catch (CDaoException* e) {
      e->Delete();  // looked at, not run: it fails when it is run
    }
    for (const std::string& raw : numbered) {
      std::wstring name = fromUtf8(jetsql::parameterName(raw.c_str()).c_str());
      fresh->names.push_back(name);
      fresh->values.emplace_back();
      fresh->given.push_back(false);
      if (!m_pParameters) continue;
      for (size_t k = 0; k < m_pParameters->names.size(); ++k)
        if (m_pParameters->given[k] && upper(m_pParameters->names[k]) == upper(name) &&
            !name.empty()) {
          fresh->values.back() = m_pParameters->values[k];
          fresh->given.back() = true;
        }
    }
  }
  delete m_pParameters;
  m_pParameters = fresh;
}

namespace {
// A query definition's action statement on a server database, its parameters bound in
// the server's numbering.
void executeOnServer(DAODatabase& d, const CString& sql, const CDaoQueryDef::Parameters& params,
                     long& affected) {
  std::shared_ptr<const jetsql::Translation> jet = d.translateJet(toUtf8(sql.GetString()));
  if (jet->kind == jetsql::Translation::Select) daoThrow(3065, {}, kSource);
  if (int missing = params.missing()) daoThrow(3061, {std::to_wstring(missing)}, kSource);
  std::unique_ptr<storage::Cursor> cursor;
  try {
    cursor = d.conn->prepare(jet->sql);
  } catch (CDaoException* e) {
    jetsql::mapServerSyntaxError(e, *jet, d.conn->syntaxErrorOffset());
    throw;
  }
  Statement s(std::move(cursor));
  params.bindNumbered(s, jet->parameters);
  d.beginWrite(3218);
  affected = d.finishCallerAction(s);
}
}  // namespace

void CDaoQueryDef::Execute(int) {
  DAODatabase& d = storeOf(m_pDatabase);
  // Jet DDL goes through the table definitions, as CDaoDatabase::Execute sends it, so
  // the catalog describes what the statement made.
  if (jetsql::executeDdl(*m_pDatabase, toUtf8(m_strSQL.GetString()), &m_lRecordsAffected)) {
    d.recordsAffected = m_lRecordsAffected;
    return;
  }
  if (!m_pParameters) readParameters();
  if (!d.db) {
    executeOnServer(d, m_strSQL, *m_pParameters, m_lRecordsAffected);
    return;
  }
  Statement s = adoptSqlite(d.db, compile(d, m_strSQL));
  if (s.columnCount() > 0) daoThrow(3065, {}, kSource);
  if (int missing = m_pParameters->missing()) daoThrow(3061, {std::to_wstring(missing)}, kSource);
  m_pParameters->bindAll(s);
  d.beginWrite(3218);
  m_lRecordsAffected = d.finishCallerAction(s);
  d.schemaChanged();
}

short CDaoQueryDef::GetParameterCount() {
  if (!m_pParameters) readParameters();
  return static_cast<short>(m_pParameters->names.size());
}

void CDaoQueryDef::GetParameterInfo(int nIndex, CDaoParameterInfo& info, DWORD) {
  if (nIndex < 0 || nIndex >= GetParameterCount()) daoThrow(3265, {}, L"DAO.Parameters");
  info.m_strName = m_pParameters->names[static_cast<size_t>(nIndex)].c_str();
  info.m_nType = 0;
  info.m_varValue = m_pParameters->values[static_cast<size_t>(nIndex)];
}

namespace {
int parameterIndex(CDaoQueryDef::Parameters* p, LPCTSTR name) {
  std::wstring wanted = upper(name ? name : L"");
  for (size_t i = 0; p && i < p->names.size(); ++i)
    if (upper(p->names[i]) == wanted) return static_cast<int>(i);
  daoThrow(3265, {}, L"DAO.Parameters");
}
}  // namespace

COleVariant CDaoQueryDef::GetParamValue(LPCTSTR lpszName) {
  GetParameterCount();
  return m_pParameters->values[static_cast<size_t>(parameterIndex(m_pParameters, lpszName))];
}

COleVariant CDaoQueryDef::GetParamValue(int nIndex) {
  if (nIndex < 0 || nIndex >= GetParameterCount()) daoThrow(3265, {}, L"DAO.Parameters");
  return m_pParameters->values[static_cast<size_t>(nIndex)];
}

void CDaoQueryDef::SetParamValue(LPCTSTR lpszName, const COleVariant& varValue) {
  GetParameterCount();
  SetParamValue(parameterIndex(m_pParameters, lpszName), varValue);
}

void CDaoQueryDef::SetParamValue(int nIndex, const COleVariant& varValue) {
  if (nIndex < 0 || nIndex >= GetParameterCount()) daoThrow(3265, {}, L"DAO.Parameters");
  // Every occurrence of a name shares one value.
  std::wstring name = upper(m_pParameters->names[static_cast<size_t>(nIndex)]);
  for (size_t i = 0; i < m_pParameters->names.size(); ++i) {
    if (i != static_cast<size_t>(nIndex) &&
        (name.empty() || upper(m_pParameters->names[i]) != name))
      continue;
    m_pParameters->values[i] = varValue;
    m_pParameters->given[i] = true;
  }
}

// --- the database's stored queries ------------------------------------------------------

namespace {
struct StoredQuery {
  std::wstring name, sql;
  short type;
  double created, updated;
};

std::vector<StoredQuery> storedQueries(DAODatabase& d) {
  std::vector<StoredQuery> out;
  if (!hasQueryCatalog(d)) return out;
  Statement s = d.prepare(
      std::string("SELECT Name, SQL, Type, DateCreate, DateUpdate FROM MSysQueries ORDER BY Name") +
      d.conn->dialect().catalogText);
  while (s.step())
    out.push_back({s.columnText(0), s.columnText(1), static_cast<short>(s.columnInt(2)),
                   s.columnReal(3), s.columnReal(4)});
  return out;
}

void fill(const StoredQuery& q, CDaoQueryDefInfo& info, DWORD options, bool updatable) {
  info.m_strName = q.name.c_str();
  info.m_nType = q.type;
  info.m_dateCreated = COleDateTime(q.created);
  info.m_dateLastUpdated = COleDateTime(q.updated);
  info.m_bUpdatable = updatable;
  info.m_bReturnsRecords = q.type == dbQSelect;
  info.m_strSQL = options & AFX_DAO_ALL_INFO ? q.sql.c_str() : L"";
  info.m_strConnect.Empty();
}
}  // namespace

short CDaoDatabase::GetQueryDefCount() {
  return static_cast<short>(storedQueries(storeOf(this)).size());
}

void CDaoDatabase::GetQueryDefInfo(int nIndex, CDaoQueryDefInfo& info, DWORD dwInfoOptions) {
  DAODatabase& d = storeOf(this);
  auto all = storedQueries(d);
  if (nIndex < 0 || nIndex >= static_cast<int>(all.size())) daoThrow(3265, {}, L"DAO.QueryDefs");
  fill(all[static_cast<size_t>(nIndex)], info, dwInfoOptions, !d.readOnly);
}

void CDaoDatabase::GetQueryDefInfo(LPCTSTR lpszName, CDaoQueryDefInfo& info, DWORD dwInfoOptions) {
  DAODatabase& d = storeOf(this);
  std::wstring wanted = upper(lpszName ? lpszName : L"");
  for (const auto& q : storedQueries(d))
    if (upper(q.name) == wanted) return fill(q, info, dwInfoOptions, !d.readOnly);
  daoThrow(3265, {}, L"DAO.QueryDefs");
}

void CDaoDatabase::DeleteQueryDef(LPCTSTR lpszName) {
  DAODatabase& d = storeOf(this);
  std::wstring name = lpszName ? lpszName : L"";
  if (!hasQueryCatalog(d)) daoThrow(3265, {}, L"DAO.QueryDefs");
  d.beginWrite(3211);
  try {
    Statement s = d.prepare("DELETE FROM MSysQueries WHERE Name = ?");
    s.bindText(1, name);
    s.step(3211);
    if (!d.db && d.conn->changes() > 0) d.bumpSchema();
  } catch (...) {
    d.endWrite(false);
    throw;
  }
  bool deleted = d.conn->changes() > 0;
  d.endWrite(deleted, 3211);
  d.schemaChanged();
  if (!deleted) daoThrow(3265, {}, L"DAO.QueryDefs");
}
