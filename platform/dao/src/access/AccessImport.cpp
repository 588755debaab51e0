#include "access/AccessImport.h"

#include <memory>

#include "DaoErrors.h"
#include "DaoStore.h"
#include "FieldValues.h"
#include "access/QueryText.h"
#include "afxdao.h"
#include "server/NewDatabases.h"

namespace tabrik::dao::access {

namespace {

std::wstring errorText(CDaoException* e) {
  std::wstring text = e->m_pErrorInfo ? std::wstring(e->m_pErrorInfo->m_strDescription.GetString())
                                      : std::wstring(L"unknown error");
  e->Delete();
  return text;
}

// The engine's table for one source table, with the fields it can hold.
std::vector<size_t> createTable(CDaoDatabase& db, const SourceTable& table,
                                AccessTableReport& report) {
  std::vector<size_t> kept;
  CDaoTableDef def(&db);
  def.Create(table.name.c_str());
  for (size_t i = 0; i < table.fields.size(); ++i) {
    const SourceField& f = table.fields[i];
    if (!f.note.empty()) report.notes.push_back(f.name + L": " + f.note);
    if (f.daoType == 0) continue;
    CDaoFieldInfo info;
    info.m_strName = f.name.c_str();
    info.m_nType = f.daoType;
    info.m_lSize = f.size;
    info.m_lAttributes = f.autoNumber && f.daoType == dbLong ? dbAutoIncrField : 0;
    info.m_bRequired = f.required;
    info.m_bAllowZeroLength = f.allowZeroLength || f.daoType != dbText;
    info.m_strDefaultValue = f.defaultValue.c_str();
    def.CreateField(info);
    kept.push_back(i);
  }
  def.Append();
  return kept;
}

// Every record, in one write transaction, through one prepared statement. A record the
// engine refuses (a value out of its range) is counted and named in the report once.
void copyRecords(CDaoDatabase& db, MdbSource& source, const SourceTable& table,
                 const std::vector<size_t>& kept, AccessTableReport& report) {
  DAODatabase& store = *db.m_pDAODatabase;
  const TableSchema& schema = store.schema(table.name);
  std::string columns, marks;
  for (size_t i = 0; i < schema.fields.size(); ++i) {
    columns += (i ? ", " : "") + quoteId(schema.fields[i].name);
    marks += i ? ", ?" : "?";
  }
  if (schema.fields.empty()) return;
  Statement insert = store.prepare("INSERT INTO " + quoteId(schema.name) + " (" + columns +
                                   ") VALUES (" + marks + ")");
  std::wstring firstRefusal;
  store.beginWrite(3218);
  try {
    source.forEachRecord(table.name, [&](std::vector<COleVariant>& values) {
      try {
        for (size_t i = 0; i < kept.size(); ++i)
          insert.bind(static_cast<int>(i) + 1, fromVariant(schema.fields[i], values[kept[i]]));
        insert.step();
        ++report.records;
      } catch (CDaoException* e) {
        const std::wstring why = errorText(e);
        if (firstRefusal.empty()) firstRefusal = why;
        ++report.recordsLeftOut;
      }
      insert.reset();
    });
  } catch (...) {
    store.endWrite(false);
    throw;
  }
  store.endWrite(true);
  if (report.recordsLeftOut > 0)
    report.notes.push_back(std::to_wstring(report.recordsLeftOut) + L" records left out: " +
                           firstRefusal);
}

void createIndexes(CDaoDatabase& db, const SourceTable& table, AccessTableReport& report) {
  if (table.indexes.empty()) return;
  CDaoTableDef def(&db);
  def.Open(table.name.c_str());
  for (const SourceIndex& index : table.indexes) {
    std::vector<CDaoIndexFieldInfo> fields(index.fields.size());
    for (size_t i = 0; i < fields.size(); ++i) {
      fields[i].m_strName = index.fields[i].name.c_str();
      fields[i].m_bDescending = index.fields[i].descending;
    }
    CDaoIndexInfo info;
    info.m_strName = index.name.c_str();
    info.m_bPrimary = index.primary;
    info.m_bUnique = index.unique;
    info.m_bIgnoreNulls = index.ignoreNulls;
    info.m_bRequired = index.required;
    info.m_pFieldInfos = fields.data();
    info.m_nFields = static_cast<short>(fields.size());
    try {
      def.CreateIndex(info);
    } catch (CDaoException* e) {
      report.notes.push_back(L"index " + index.name + L" left out: " + errorText(e));
    }
    info.m_pFieldInfos = nullptr;  // the vector owns them
    info.m_nFields = 0;
  }
}

long createRelations(CDaoDatabase& db, MdbSource& source, ImportSink& sink) {
  long made = 0;
  for (const SourceRelation& r : source.relations()) {
    std::vector<CDaoRelationFieldInfo> fields(r.fields.size());
    for (size_t i = 0; i < fields.size(); ++i) {
      fields[i].m_strName = r.fields[i].first.c_str();
      fields[i].m_strForeignName = r.fields[i].second.c_str();
    }
    CDaoRelationInfo info;
    info.m_strName = r.name.c_str();
    info.m_strTable = r.table.c_str();
    info.m_strForeignTable = r.foreignTable.c_str();
    info.m_lAttributes = r.attributes;
    info.m_pFieldInfos = fields.data();
    info.m_nFields = static_cast<short>(fields.size());
    try {
      db.CreateRelation(info);
      ++made;
    } catch (CDaoException* e) {
      sink.note(L"relation " + r.name + L": " + errorText(e));
    }
    info.m_pFieldInfos = nullptr;
    info.m_nFields = 0;
  }
  return made;
}

long createQueries(CDaoDatabase& db, MdbSource& source, ImportSink& sink) {
  long made = 0;
  for (const SourceQuery& q : source.queries()) {
    std::wstring sql, why;
    if (!queryStatement(q, sql, why)) {
      sink.note(L"query " + q.name + L": " + why);
      continue;
    }
    try {
      CDaoQueryDef def(&db);
      def.Create(q.name.c_str(), sql.c_str());
      def.Append();
      ++made;
    } catch (CDaoException* e) {
      sink.note(L"query " + q.name + L": " + errorText(e));
    }
  }
  return made;
}

}  // namespace

void importAccess(MdbSource& source, const std::wstring& outPath, ImportSink& sink) {
  CDaoDatabase db;
  {
    // The converted copy is a file beside its cache or where convert-mdb was told,
    // even in an office that keeps its new databases on a server.
    server::NewDatabasesStayFiles local;
    db.Create(outPath.c_str());
  }
  for (const std::wstring& name : source.userTables()) {
    SourceTable table = source.table(name);
    AccessTableReport report;
    report.name = name;
    const std::vector<size_t> kept = createTable(db, table, report);
    copyRecords(db, source, table, kept, report);
    createIndexes(db, table, report);
    sink.tableDone(report);
  }
  const long relations = createRelations(db, source, sink);
  const long queries = createQueries(db, source, sink);
  sink.totals(relations, queries);
  db.Close();
}

}  // namespace tabrik::dao::access
