// Relations: CDaoDatabase's relation methods and their enforcement by triggers.
#include "Relations.h"

#include "DaoErrors.h"
#include "SchemaInfo.h"
#include "afxdao.h"
#include "server/ServerSchema.h"

namespace tabrik::dao {

namespace {

const wchar_t kSource[] = L"DAO.Relations";

bool hasCatalog(DAODatabase& d) { return d.hasEngineTable("MSysRelationships"); }

void ensureCatalog(DAODatabase& d) {
  if (hasCatalog(d)) return;  // files made before relations existed get the tables now
  d.exec(
      "CREATE TABLE MSysRelationships (Name TEXT COLLATE NOCASE, TableName TEXT COLLATE NOCASE, "
      "ForeignTable "
      "TEXT COLLATE NOCASE, Attributes INTEGER, PRIMARY KEY (Name))");
  d.exec(
      "CREATE TABLE MSysRelationshipColumns (Name TEXT COLLATE NOCASE, Position INTEGER, "
      "ColumnName TEXT COLLATE "
      "NOCASE, ForeignName TEXT COLLATE NOCASE, PRIMARY KEY (Name, Position))");
}

std::string triggerName(const RelationDef& r, const char* kind) {
  return quoteId(L"MSysRel_" + r.name + L"_" + fromUtf8(kind));
}

void dropTriggers(DAODatabase& d, const RelationDef& r) {
  if (!d.db) {
    server::dropRelationTriggers(d, r);
    return;
  }
  for (const char* kind : {"ins", "upd", "del", "key"})
    d.exec("DROP TRIGGER IF EXISTS " + triggerName(r, kind));
}

void makeTriggers(DAODatabase& d, const RelationDef& r) {
  if (!d.db) {
    server::makeRelationTriggers(d, r);
    return;
  }
  dropTriggers(d, r);
  if (r.attributes & dbRelationDontEnforce) return;
  std::string P = quoteId(r.table), F = quoteId(r.foreign);
  std::string newNotNull, parentMatchesNew, childMatchesOld, foreignCols, primaryCols, keyChanged,
      cascadeSet;
  for (size_t i = 0; i < r.fields.size(); ++i) {
    std::string p = quoteId(r.fields[i].first), f = quoteId(r.fields[i].second);
    const char* sep = i ? " AND " : "";
    newNotNull += sep + ("NEW." + f + " IS NOT NULL");
    parentMatchesNew += sep + (P + "." + p + " = NEW." + f);
    childMatchesOld += sep + (F + "." + f + " = OLD." + p);
    foreignCols += (i ? ", " : "") + f;
    primaryCols += (i ? ", " : "") + p;
    keyChanged += (i ? " OR " : "") + ("OLD." + p + " IS NOT NEW." + p);
    cascadeSet += (i ? ", " : "") + (f + " = NEW." + p);
  }
  std::string missingParent = "SELECT RAISE(ABORT, " + quoteText(L"DAO 3201 " + r.table) + ")";
  std::string hasChildren = "SELECT RAISE(ABORT, " + quoteText(L"DAO 3200 " + r.foreign) + ")";
  std::string orphan = " WHEN " + newNotNull + " AND NOT EXISTS (SELECT 1 FROM " + P + " WHERE " +
                       parentMatchesNew + ")";
  d.exec("CREATE TRIGGER " + triggerName(r, "ins") + " BEFORE INSERT ON " + F + orphan + " BEGIN " +
         missingParent + "; END");
  d.exec("CREATE TRIGGER " + triggerName(r, "upd") + " BEFORE UPDATE OF " + foreignCols + " ON " +
         F + orphan + " BEGIN " + missingParent + "; END");
  std::string children = "EXISTS (SELECT 1 FROM " + F + " WHERE " + childMatchesOld + ")";
  if (r.attributes & dbRelationDeleteCascade) {
    d.exec("CREATE TRIGGER " + triggerName(r, "del") + " AFTER DELETE ON " + P +
           " BEGIN DELETE FROM " + F + " WHERE " + childMatchesOld + "; END");
  } else {
    d.exec("CREATE TRIGGER " + triggerName(r, "del") + " BEFORE DELETE ON " + P + " WHEN " +
           children + " BEGIN " + hasChildren + "; END");
  }
  if (r.attributes & dbRelationUpdateCascade) {
    d.exec("CREATE TRIGGER " + triggerName(r, "key") + " AFTER UPDATE OF " + primaryCols + " ON " +
           P + " WHEN " + keyChanged + " BEGIN UPDATE " + F + " SET " + cascadeSet + " WHERE " +
           childMatchesOld + "; END");
  } else {
    d.exec("CREATE TRIGGER " + triggerName(r, "key") + " BEFORE UPDATE OF " + primaryCols + " ON " +
           P + " WHEN (" + keyChanged + ") AND " + children + " BEGIN " + hasChildren + "; END");
  }
}

void removeRelation(DAODatabase& d, const RelationDef& r) {
  dropTriggers(d, r);
  if (d.hasTable(r.foreign)) {  // the foreign index made with the relation
    const TableSchema& f = d.schema(r.foreign);
    int at = f.findIndex(r.name);
    if (at >= 0 && f.indexes[static_cast<size_t>(at)].foreign) {
      d.exec("DROP INDEX IF EXISTS " +
             quoteId(fromUtf8(f.indexes[static_cast<size_t>(at)].physical.c_str())));
      for (const char* sql :
           {"DELETE FROM MSysIndexes WHERE TableName = ? AND Name = ?",
            "DELETE FROM MSysIndexColumns WHERE TableName = ? AND IndexName = ?"}) {
        Statement s = d.prepare(sql);
        s.bindText(1, f.name);
        s.bindText(2, r.name);
        s.step(3211);
      }
    }
  }
  for (const char* sql : {"DELETE FROM MSysRelationships WHERE Name = ?",
                          "DELETE FROM MSysRelationshipColumns WHERE Name = ?"}) {
    Statement s = d.prepare(sql);
    s.bindText(1, r.name);
    s.step(3211);
  }
  d.schemaChanged();
}

template <class Body>
void inWrite(DAODatabase& d, Body body) {
  d.beginWrite(3211);
  try {
    body();
  } catch (...) {
    d.endWrite(false);
    d.schemaChanged();
    throw;
  }
  d.endWrite(true, 3211);
  d.schemaChanged();
}

DAODatabase& storeOf(CDaoDatabase* db) {
  if (!db || !db->IsOpen()) AfxThrowDaoException(AFX_DAO_ERROR_OBJECT_NOT_OPEN);
  return *db->m_pDAODatabase;
}

void fill(const RelationDef& r, CDaoRelationInfo& info) {
  if (info.m_bCleanupFieldInfo) delete[] info.m_pFieldInfos;
  info.m_strName = r.name.c_str();
  info.m_strTable = r.table.c_str();
  info.m_strForeignTable = r.foreign.c_str();
  info.m_lAttributes = r.attributes;
  info.m_nFields = static_cast<short>(r.fields.size());
  info.m_pFieldInfos = new CDaoRelationFieldInfo[r.fields.empty() ? 1 : r.fields.size()];
  info.m_bCleanupFieldInfo = TRUE;
  for (size_t i = 0; i < r.fields.size(); ++i) {
    info.m_pFieldInfos[i].m_strName = r.fields[i].first.c_str();
    info.m_pFieldInfos[i].m_strForeignName = r.fields[i].second.c_str();
  }
}

bool sameFieldSet(const IndexDef& ix, const RelationDef& r) {
  if (ix.fields.size() != r.fields.size()) return false;
  for (const auto& pair : r.fields) {
    bool found = false;
    for (const auto& f : ix.fields) found = found || upper(f.name) == upper(pair.first);
    if (!found) return false;
  }
  return true;
}

}  // namespace

std::vector<RelationDef> loadRelations(DAODatabase& d) {
  std::vector<RelationDef> out;
  if (!hasCatalog(d)) return out;
  {
    Statement s = d.prepare(
        std::string("SELECT Name, TableName, ForeignTable, Attributes FROM MSysRelationships "
                    "ORDER BY Name") +
        d.conn->dialect().catalogText);
    while (s.step())
      out.push_back({s.columnText(0),
                     s.columnText(1),
                     s.columnText(2),
                     static_cast<long>(s.columnInt(3)),
                     {}});
  }
  for (auto& r : out) {
    Statement c = d.prepare(
        "SELECT ColumnName, ForeignName FROM MSysRelationshipColumns WHERE Name = ? ORDER BY "
        "Position");
    c.bindText(1, r.name);
    while (c.step()) r.fields.emplace_back(c.columnText(0), c.columnText(1));
  }
  return out;
}

bool takesPartInRelations(DAODatabase& d, const std::wstring& table) {
  for (const auto& r : loadRelations(d))
    if (upper(r.table) == upper(table) || upper(r.foreign) == upper(table)) return true;
  return false;
}

void renameInRelations(DAODatabase& d, const std::wstring& oldName, const std::wstring& newName) {
  if (!hasCatalog(d)) return;
  for (const char* sql :
       {"UPDATE MSysRelationships SET TableName = ?1 WHERE TableName = ?2",
        "UPDATE MSysRelationships SET ForeignTable = ?1 WHERE ForeignTable = ?2"}) {
    Statement s = d.prepare(sql);
    s.bindText(1, newName);
    s.bindText(2, oldName);
    s.step(3211);
  }
  for (const auto& r : loadRelations(d))
    if (upper(r.table) == upper(newName) || upper(r.foreign) == upper(newName)) makeTriggers(d, r);
}

}  // namespace tabrik::dao

using namespace tabrik::dao;

CDaoRelationInfo::~CDaoRelationInfo() {
  if (m_bCleanupFieldInfo) delete[] m_pFieldInfos;
}

void CDaoDatabase::CreateRelation(LPCTSTR lpszName, LPCTSTR lpszTable, LPCTSTR lpszForeignTable,
                                  long lAttributes, LPCTSTR lpszField, LPCTSTR lpszForeignField) {
  CDaoRelationFieldInfo field;
  field.m_strName = lpszField;
  field.m_strForeignName = lpszForeignField;
  CDaoRelationInfo info;
  info.m_strName = lpszName;
  info.m_strTable = lpszTable;
  info.m_strForeignTable = lpszForeignTable;
  info.m_lAttributes = lAttributes;
  info.m_pFieldInfos = &field;
  info.m_nFields = 1;
  CreateRelation(info);
  info.m_pFieldInfos = nullptr;
}

void CDaoDatabase::CreateRelation(CDaoRelationInfo& info) {
  DAODatabase& d = storeOf(this);
  RelationDef r;
  r.name = info.m_strName.GetString();
  checkName(r.name);
  if (!d.hasTable(info.m_strTable.GetString()) || !d.hasTable(info.m_strForeignTable.GetString()))
    daoThrow(3265, {}, kSource);
  TableSchema primary = d.schema(info.m_strTable.GetString());
  TableSchema foreign = d.schema(info.m_strForeignTable.GetString());
  r.table = primary.name;
  r.foreign = foreign.name;
  r.attributes = info.m_lAttributes;
  if (info.m_nFields <= 0 || !info.m_pFieldInfos) daoThrow(3264, {}, kSource);
  if (info.m_nFields > 14) daoThrow(3001, {}, kSource);
  for (int i = 0; i < info.m_nFields; ++i) {
    int p = primary.findField(info.m_pFieldInfos[i].m_strName.GetString());
    int f = foreign.findField(info.m_pFieldInfos[i].m_strForeignName.GetString());
    if (p < 0 || f < 0) daoThrow(3265, {}, L"DAO.Fields");
    r.fields.emplace_back(primary.fields[static_cast<size_t>(p)].name,
                          foreign.fields[static_cast<size_t>(f)].name);
  }
  for (const auto& existing : loadRelations(d))
    if (upper(existing.name) == upper(r.name)) daoThrow(3012, {r.name}, kSource);
  if (!(r.attributes & dbRelationDontEnforce)) {
    bool unique = false;
    for (const auto& ix : primary.indexes)
      unique = unique || ((ix.unique || ix.primary) && sameFieldSet(ix, r));
    if (!unique) daoThrow(3173, {}, kSource);
  }
  inWrite(d, [&] {
    ensureCatalog(d);
    Statement s = d.prepare(
        "INSERT INTO MSysRelationships (Name, TableName, ForeignTable, Attributes) VALUES (?, ?, "
        "?, ?)");
    s.bindText(1, r.name);
    s.bindText(2, r.table);
    s.bindText(3, r.foreign);
    s.bindInt(4, r.attributes);
    s.step(3211);
    for (size_t i = 0; i < r.fields.size(); ++i) {
      Statement c = d.prepare(
          "INSERT INTO MSysRelationshipColumns (Name, Position, ColumnName, ForeignName) VALUES "
          "(?, ?, ?, ?)");
      c.bindText(1, r.name);
      c.bindInt(2, static_cast<long long>(i));
      c.bindText(3, r.fields[i].first);
      c.bindText(4, r.fields[i].second);
      c.step(3211);
    }
    if (foreign.findIndex(r.name) <
        0) {  // Jet indexes the foreign fields under the relation's name
      IndexDef ix;
      ix.name = r.name;
      ix.foreign = true;
      for (const auto& pair : r.fields) ix.fields.push_back({pair.second, false});
      std::string physical = toUtf8(foreign.name) + "_" + toUtf8(r.name);
      if (!d.db) physical = server::freeIndexName(d, foreign.name, r.name);
      for (int n = 2; d.db; ++n) {
        Statement probe = d.prepare("SELECT 1 FROM sqlite_master WHERE name = ? COLLATE NOCASE");
        probe.bindText(1, fromUtf8(physical.c_str()));
        if (!probe.step()) break;
        physical = toUtf8(foreign.name) + "_" + toUtf8(r.name) + "_" + std::to_string(n);
      }
      ix.physical = physical;
      std::string cols;
      for (size_t i = 0; i < ix.fields.size(); ++i)
        cols += (i ? ", " : "") + quoteId(ix.fields[i].name) + d.conn->dialect().ascending;
      d.exec("CREATE INDEX " + quoteId(fromUtf8(physical.c_str())) + " ON " +
             quoteId(foreign.name) + " (" + cols + ")");
      d.catalogAddIndex(foreign.name, ix, static_cast<int>(foreign.indexes.size()));
    }
    makeTriggers(d, r);
  });
}

void CDaoDatabase::DeleteRelation(LPCTSTR lpszName) {
  DAODatabase& d = storeOf(this);
  std::wstring name = upper(lpszName ? lpszName : L"");
  for (const auto& r : loadRelations(d)) {
    if (upper(r.name) != name) continue;
    inWrite(d, [&] { removeRelation(d, r); });
    return;
  }
  daoThrow(3265, {}, kSource);
}

short CDaoDatabase::GetRelationCount() {
  return static_cast<short>(loadRelations(storeOf(this)).size());
}

void CDaoDatabase::GetRelationInfo(int nIndex, CDaoRelationInfo& info, DWORD) {
  auto all = loadRelations(storeOf(this));
  if (nIndex < 0 || nIndex >= static_cast<int>(all.size())) daoThrow(3265, {}, kSource);
  fill(all[static_cast<size_t>(nIndex)], info);
}

void CDaoDatabase::GetRelationInfo(LPCTSTR lpszName, CDaoRelationInfo& info, DWORD) {
  std::wstring name = upper(lpszName ? lpszName : L"");
  for (const auto& r : loadRelations(storeOf(this)))
    if (upper(r.name) == name) return fill(r, info);
  daoThrow(3265, {}, kSource);
}
