// CDaoTableDef: creating tables, fields and indexes, and reading their definitions.
// A new definition collects fields and indexes until Append makes the table in one
// transaction; on an existing table each CreateField/CreateIndex takes effect at once.
#include <set>

#include "DaoErrors.h"
#include "DaoStore.h"
#include "Relations.h"
#include "SchemaInfo.h"
#include "afxdao.h"
#include "server/ServerSchema.h"

using namespace tabrik::dao;

struct CDaoTableDef::Pending {
  TableSchema schema;
};

namespace {

DAODatabase& storeOf(CDaoDatabase* db) {
  if (!db || !db->IsOpen()) AfxThrowDaoException(AFX_DAO_ERROR_OBJECT_NOT_OPEN);
  return *db->m_pDAODatabase;
}

long fixedSize(short type) {
  switch (type) {
    case dbBoolean:
    case dbByte:
      return 1;
    case dbInteger:
      return 2;
    case dbLong:
    case dbSingle:
      return 4;
    case dbCurrency:
    case dbDouble:
    case dbDate:
      return 8;
    default:
      return 0;
  }
}

bool supportedType(short type) {
  return (type >= dbBoolean && type <= dbDate) || type == dbText || type == dbMemo;
}

std::string columnDecl(DAODatabase& d, const FieldDef& f) {
  const tabrik::dao::storage::Dialect& dialect = d.conn->dialect();
  return quoteId(f.name) + " " + storageType(dialect, f.type) + (f.isText() ? dialect.jetText : "");
}

std::string indexSql(DAODatabase& d, const std::wstring& table, const IndexDef& ix) {
  const tabrik::dao::storage::Dialect& dialect = d.conn->dialect();
  std::string sql = std::string("CREATE ") + (ix.unique || ix.primary ? "UNIQUE " : "") + "INDEX " +
                    quoteId(tabrik::dao::fromUtf8(ix.physical.c_str())) + " ON " + quoteId(table) +
                    " (";
  for (size_t i = 0; i < ix.fields.size(); ++i)
    sql += (i ? ", " : "") + quoteId(ix.fields[i].name) +
           (ix.fields[i].descending ? dialect.descending : dialect.ascending);
  return sql + ")";
}

// An index name not yet used in the database.
std::string physicalIndexName(DAODatabase& d, const std::wstring& table,
                              const std::wstring& index) {
  if (!d.db) return tabrik::dao::server::freeIndexName(d, table, index);
  std::string base = toUtf8(table) + "_" + toUtf8(index);
  std::string name = base;
  for (int n = 2;; ++n) {
    Statement s = d.prepare("SELECT 1 FROM sqlite_master WHERE name = ? COLLATE NOCASE");
    s.bindText(1, tabrik::dao::fromUtf8(name.c_str()));
    if (!s.step()) return name;
    name = base + "_" + std::to_string(n);
  }
}

FieldDef makeField(const CDaoFieldInfo& info) {
  std::wstring name = info.m_strName.GetString();
  checkName(name);
  if (!supportedType(info.m_nType)) daoThrow(3259, {}, L"DAO.Field");
  FieldDef f;
  f.name = name;
  f.type = info.m_nType;
  f.attributes = info.m_lAttributes & (dbAutoIncrField | dbFixedField | dbVariableField);
  if (f.isAutoIncrement() && f.type != dbLong) daoThrow(3001, {}, L"DAO.Field");
  if (f.type == dbText) {
    f.size = info.m_lSize == 0 ? AFX_DAO_TEXT_DEFAULT_SIZE : info.m_lSize;
    if (f.size < 1 || f.size > 255) daoThrow(3001, {}, L"DAO.Field");
  } else {
    f.size = fixedSize(f.type);
  }
  f.attributes = (f.attributes & dbAutoIncrField) | (f.isText() ? dbVariableField : dbFixedField);
  f.required = info.m_bRequired;
  f.allowZeroLength = info.m_bAllowZeroLength && f.isText();
  f.defaultValue = info.m_strDefaultValue.GetString();
  f.collatingOrder = info.m_lCollatingOrder ? info.m_lCollatingOrder : dbSortGeneral;
  f.validationRule = info.m_strValidationRule.GetString();
  f.validationText = info.m_strValidationText.GetString();
  return f;
}

}  // namespace

CDaoTableDef::CDaoTableDef(CDaoDatabase* pDatabase)
    : m_pDatabase(pDatabase), m_pending(nullptr), m_bOpen(FALSE), m_bNew(FALSE) {}

CDaoTableDef::~CDaoTableDef() { Close(); }

void CDaoTableDef::Open(LPCTSTR lpszName) {
  DAODatabase& d = storeOf(m_pDatabase);
  Close();
  std::wstring name = lpszName ? lpszName : L"";
  if (!d.hasTable(name)) daoThrow(3265, {}, L"DAO.TableDefs");
  m_strName = d.schema(name).name.c_str();
  m_bOpen = TRUE;
}

void CDaoTableDef::Create(LPCTSTR lpszName, long lAttributes, LPCTSTR lpszSrcTable,
                          LPCTSTR lpszConnect) {
  storeOf(m_pDatabase);
  Close();
  std::wstring name = lpszName ? lpszName : L"";
  checkName(name);
  m_pending = new Pending;
  m_pending->schema.name = name;
  m_pending->schema.attributes = lAttributes & ~static_cast<long>(dbSystemObject);
  m_pending->schema.sourceTable = lpszSrcTable ? lpszSrcTable : L"";
  m_pending->schema.connect = lpszConnect ? lpszConnect : L"";
  m_strName = name.c_str();
  m_bNew = TRUE;
}

void CDaoTableDef::Append() {
  DAODatabase& d = storeOf(m_pDatabase);
  if (!m_bNew || !m_pending) daoThrow(3219, {}, L"DAO.TableDefs");
  TableSchema& t = m_pending->schema;
  if (d.hasTable(t.name)) daoThrow(3010, {t.name}, L"DAO.TableDefs");
  if (!t.connect.empty()) {
    // A linked table: only the catalog row; each connection attaches the file.
    DAODatabase::checkLink(t.connect, t.sourceTable);
    t.attributes |= dbAttachedTable;
    t.fields.clear();
    t.indexes.clear();
    t.created = t.updated = COleDateTime::GetCurrentTime().m_dt;
    d.beginWrite(3211);
    try {
      d.catalogAddTable(t);
      d.bumpSchema();
    } catch (...) {
      d.endWrite(false);
      throw;
    }
    d.endWrite(true, 3211);
    d.schemaChanged();
    delete m_pending;
    m_pending = nullptr;
    m_bNew = FALSE;
    m_bOpen = TRUE;
    return;
  }
  if (t.fields.empty()) daoThrow(3264, {}, L"DAO.TableDefs");
  t.created = t.updated = COleDateTime::GetCurrentTime().m_dt;
  d.beginWrite(3211);
  try {
    std::string ddl = "CREATE TABLE " + quoteId(t.name) + " (" + d.conn->dialect().rowidColumn;
    for (size_t i = 0; i < t.fields.size(); ++i)
      ddl += (i ? ", " : "") + columnDecl(d, t.fields[i]);
    d.exec(ddl + ")", 3211);
    d.catalogAddTable(t);
    for (size_t i = 0; i < t.fields.size(); ++i)
      d.catalogAddField(t.name, t.fields[i], static_cast<int>(i));
    for (size_t i = 0; i < t.indexes.size(); ++i) {
      t.indexes[i].physical = physicalIndexName(d, t.name, t.indexes[i].name);
      d.exec(indexSql(d, t.name, t.indexes[i]), 3211);
      d.catalogAddIndex(t.name, t.indexes[i], static_cast<int>(i));
    }
    d.installCounterTriggers(t);
  } catch (...) {
    d.endWrite(false);
    d.schemaChanged();
    throw;
  }
  d.endWrite(true, 3211);
  d.schemaChanged();
  delete m_pending;
  m_pending = nullptr;
  m_bNew = FALSE;
  m_bOpen = TRUE;
}

void CDaoTableDef::Close() {
  delete m_pending;
  m_pending = nullptr;
  m_bNew = FALSE;
  m_bOpen = FALSE;
}

void CDaoTableDef::CreateField(LPCTSTR lpszName, short nType, long lSize, long lAttributes) {
  CDaoFieldInfo info;
  info.m_strName = lpszName;
  info.m_nType = nType;
  info.m_lSize = lSize;
  info.m_lAttributes = lAttributes;
  CreateField(info);
}

void CDaoTableDef::CreateField(CDaoFieldInfo& info) {
  DAODatabase& d = storeOf(m_pDatabase);
  FieldDef f = makeField(info);
  if (m_bNew && m_pending) {
    if (m_pending->schema.findField(f.name) >= 0) daoThrow(3191, {}, L"DAO.Fields");
    m_pending->schema.fields.push_back(f);
    return;
  }
  if (!m_bOpen) AfxThrowDaoException(AFX_DAO_ERROR_OBJECT_NOT_OPEN);
  TableSchema t = d.schema(m_strName.GetString());
  if (t.isSystem()) daoThrow(3219);
  if (t.findField(f.name) >= 0) daoThrow(3191, {}, L"DAO.Fields");
  d.beginWrite(3211);
  try {
    d.exec("ALTER TABLE " + quoteId(t.name) + " ADD COLUMN " + columnDecl(d, f), 3211);
    d.catalogAddField(t.name, f, static_cast<int>(t.fields.size()));
    if (f.isAutoIncrement()) {
      t.fields.push_back(f);
      d.installCounterTriggers(t);
      // Existing records get numbers in their stored order, as Jet numbers them.
      std::vector<long long> rowids;
      {
        Statement s = d.prepare("SELECT rowid FROM " + quoteId(t.name) + " ORDER BY rowid");
        while (s.step()) rowids.push_back(s.columnInt(0));
      }
      for (long long rowid : rowids) {
        Statement u = d.prepare("UPDATE " + quoteId(t.name) + " SET " + quoteId(f.name) +
                                " = ? WHERE rowid = ?");
        u.bindInt(1, d.takeCounter(t, f));
        u.bindInt(2, rowid);
        u.step(3211);
      }
    }
  } catch (...) {
    d.endWrite(false);
    d.schemaChanged();
    throw;
  }
  d.endWrite(true, 3211);
  d.schemaChanged();
}

void CDaoTableDef::CreateIndex(CDaoIndexInfo& info) {
  DAODatabase& d = storeOf(m_pDatabase);
  IndexDef ix;
  ix.name = info.m_strName.GetString();
  checkName(ix.name);
  ix.primary = info.m_bPrimary;
  ix.unique = info.m_bUnique || info.m_bPrimary;
  ix.ignoreNulls = info.m_bIgnoreNulls;
  ix.required = info.m_bRequired || info.m_bPrimary;
  ix.foreign = info.m_bForeign;
  ix.clustered = info.m_bClustered;
  if (info.m_nFields <= 0 || !info.m_pFieldInfos) daoThrow(3264, {}, L"DAO.Indexes");
  if (info.m_nFields > 10) daoThrow(3277, {}, L"DAO.Indexes");
  for (int i = 0; i < info.m_nFields; ++i)
    ix.fields.push_back({info.m_pFieldInfos[i].m_strName.GetString(),
                         info.m_pFieldInfos[i].m_bDescending != FALSE});

  bool pending = m_bNew && m_pending;
  if (!pending && !m_bOpen) AfxThrowDaoException(AFX_DAO_ERROR_OBJECT_NOT_OPEN);
  TableSchema t = pending ? m_pending->schema : d.schema(m_strName.GetString());
  if (t.isSystem()) daoThrow(3219);
  if (t.findIndex(ix.name) >= 0) daoThrow(3284, {}, L"DAO.Indexes");
  if (ix.primary)
    for (const auto& other : t.indexes)
      if (other.primary) daoThrow(3283, {}, L"DAO.Indexes");
  for (auto& field : ix.fields) {
    int at = t.findField(field.name);
    if (at < 0) daoThrow(3265, {}, L"DAO.Fields");
    field.name = t.fields[static_cast<size_t>(at)].name;
  }
  if (pending) {
    m_pending->schema.indexes.push_back(ix);
    return;
  }
  d.beginWrite(3211);
  try {
    ix.physical = physicalIndexName(d, t.name, ix.name);
    d.exec(indexSql(d, t.name, ix), 3211);
    d.catalogAddIndex(t.name, ix, static_cast<int>(t.indexes.size()));
  } catch (...) {
    d.endWrite(false);
    d.schemaChanged();
    throw;
  }
  d.endWrite(true, 3211);
  d.schemaChanged();
}

void CDaoTableDef::DeleteIndex(LPCTSTR lpszName) {
  DAODatabase& d = storeOf(m_pDatabase);
  std::wstring name = lpszName ? lpszName : L"";
  if (m_bNew && m_pending) {
    int at = m_pending->schema.findIndex(name);
    if (at < 0) daoThrow(3265, {}, L"DAO.Indexes");
    m_pending->schema.indexes.erase(m_pending->schema.indexes.begin() + at);
    return;
  }
  if (!m_bOpen) AfxThrowDaoException(AFX_DAO_ERROR_OBJECT_NOT_OPEN);
  TableSchema t = d.schema(m_strName.GetString());
  int at = t.findIndex(name);
  if (at < 0) daoThrow(3265, {}, L"DAO.Indexes");
  const IndexDef& ix = t.indexes[static_cast<size_t>(at)];
  d.beginWrite(3211);
  try {
    d.exec("DROP INDEX " + quoteId(tabrik::dao::fromUtf8(ix.physical.c_str())), 3211);
    for (const char* sql : {"DELETE FROM MSysIndexes WHERE TableName = ? AND Name = ?",
                            "DELETE FROM MSysIndexColumns WHERE TableName = ? AND IndexName = ?"}) {
      Statement s = d.prepare(sql);
      s.bindText(1, t.name);
      s.bindText(2, ix.name);
      s.step(3211);
    }
  } catch (...) {
    d.endWrite(false);
    d.schemaChanged();
    throw;
  }
  d.endWrite(true, 3211);
  d.schemaChanged();
}

CString CDaoTableDef::GetName() { return m_strName; }

void CDaoTableDef::SetName(LPCTSTR lpszName) {
  DAODatabase& d = storeOf(m_pDatabase);
  std::wstring name = lpszName ? lpszName : L"";
  checkName(name);
  if (m_bNew && m_pending) {
    m_pending->schema.name = name;
    m_strName = name.c_str();
    return;
  }
  if (!m_bOpen) AfxThrowDaoException(AFX_DAO_ERROR_OBJECT_NOT_OPEN);
  std::wstring old = m_strName.GetString();
  if (upper(old) != upper(name) && d.hasTable(name)) daoThrow(3010, {name}, L"DAO.TableDef");
  TableSchema renamed = d.schema(old);
  if (renamed.isSystem()) daoThrow(3219);
  renamed.name = name;
  d.beginWrite(3211);
  try {
    if (upper(old) == upper(name)) {
      // SQLite, like Jet, compares table names without regard to case and refuses a
      // new name it already holds: a change of case goes through a name of its own.
      if (old != name) {
        const std::wstring passing = old + L"~renaming";
        d.exec("ALTER TABLE " + quoteId(old) + " RENAME TO " + quoteId(passing), 3211);
        d.exec("ALTER TABLE " + quoteId(passing) + " RENAME TO " + quoteId(name), 3211);
      }
    } else {
      d.exec("ALTER TABLE " + quoteId(old) + " RENAME TO " + quoteId(name), 3211);
    }
    for (const char* sql : {"UPDATE MSysObjects SET Name = ?1 WHERE Name = ?2",
                            "UPDATE MSysColumns SET TableName = ?1 WHERE TableName = ?2",
                            "UPDATE MSysIndexes SET TableName = ?1 WHERE TableName = ?2",
                            "UPDATE MSysIndexColumns SET TableName = ?1 WHERE TableName = ?2",
                            "UPDATE MSysCounters SET TableName = ?1 WHERE TableName = ?2"}) {
      Statement s = d.prepare(sql);
      s.bindText(1, name);
      s.bindText(2, old);
      s.step(3211);
    }
    d.installCounterTriggers(renamed);
    renameInRelations(d, old, name);
  } catch (...) {
    d.endWrite(false);
    d.schemaChanged();
    throw;
  }
  d.endWrite(true, 3211);
  d.schemaChanged();
  m_strName = name.c_str();
}

namespace {
const TableSchema& schemaOf(CDaoTableDef::Pending* pending, DAODatabase& d, const CString& name) {
  if (pending) return pending->schema;
  return d.schema(name.GetString());
}
}  // namespace

long CDaoTableDef::GetAttributes() {
  return schemaOf(m_pending, storeOf(m_pDatabase), m_strName).attributes;
}

BOOL CDaoTableDef::CanUpdate() {
  DAODatabase& d = storeOf(m_pDatabase);
  return !d.readOnly && !schemaOf(m_pending, d, m_strName).isSystem();
}

long CDaoTableDef::GetRecordCount() {
  DAODatabase& d = storeOf(m_pDatabase);
  if (m_pending) return 0;
  Statement s = d.prepare("SELECT count(*) FROM " + quoteId(d.schema(m_strName.GetString()).name));
  return s.step() ? static_cast<long>(s.columnInt(0)) : 0;
}

short CDaoTableDef::GetFieldCount() {
  return static_cast<short>(schemaOf(m_pending, storeOf(m_pDatabase), m_strName).fields.size());
}

void CDaoTableDef::GetFieldInfo(int nIndex, CDaoFieldInfo& info, DWORD dwInfoOptions) {
  const TableSchema& t = schemaOf(m_pending, storeOf(m_pDatabase), m_strName);
  if (nIndex < 0 || nIndex >= static_cast<int>(t.fields.size())) daoThrow(3265, {}, L"DAO.Fields");
  fillFieldInfo(t.fields[static_cast<size_t>(nIndex)], nIndex, info, dwInfoOptions, false);
}

void CDaoTableDef::GetFieldInfo(LPCTSTR lpszName, CDaoFieldInfo& info, DWORD dwInfoOptions) {
  const TableSchema& t = schemaOf(m_pending, storeOf(m_pDatabase), m_strName);
  int at = t.findField(lpszName ? lpszName : L"");
  if (at < 0) daoThrow(3265, {}, L"DAO.Fields");
  fillFieldInfo(t.fields[static_cast<size_t>(at)], at, info, dwInfoOptions, false);
}

short CDaoTableDef::GetIndexCount() {
  return static_cast<short>(schemaOf(m_pending, storeOf(m_pDatabase), m_strName).indexes.size());
}

void CDaoTableDef::GetIndexInfo(int nIndex, CDaoIndexInfo& info, DWORD dwInfoOptions) {
  const TableSchema& t = schemaOf(m_pending, storeOf(m_pDatabase), m_strName);
  if (nIndex < 0 || nIndex >= static_cast<int>(t.indexes.size()))
    daoThrow(3265, {}, L"DAO.Indexes");
  fillIndexInfo(t.indexes[static_cast<size_t>(nIndex)], info, dwInfoOptions);
}

void CDaoTableDef::GetIndexInfo(LPCTSTR lpszName, CDaoIndexInfo& info, DWORD dwInfoOptions) {
  const TableSchema& t = schemaOf(m_pending, storeOf(m_pDatabase), m_strName);
  int at = t.findIndex(lpszName ? lpszName : L"");
  if (at < 0) daoThrow(3265, {}, L"DAO.Indexes");
  fillIndexInfo(t.indexes[static_cast<size_t>(at)], info, dwInfoOptions);
}
