// The copy goes through the DAO classes only, so it runs between any two back ends the
// engine opens. Order matters: a table's records go in before its indexes (one write
// per record, no index upkeep), and relations after every table (their tables and
// unique indexes must exist); stored queries last, since one may read another.
#include "tabrik/DatabaseCopy.h"

#include <sys/stat.h>
#include <unistd.h>

#include <memory>
#include <utility>

#include "afxdao.h"
#include "server/ConnectString.h"
#include "tabrik/TextConversion.h"

namespace tabrik::dao {

namespace {

using text::fromUtf8;
using text::nativePath;
using text::toUtf8;

std::wstring bracketed(const CString& name) {
  std::wstring out = L"[";
  for (const wchar_t* p = name.GetString(); *p; ++p) {
    out += *p;
    if (*p == L']') out += L']';  // a bracket inside a name is doubled
  }
  return out + L"]";
}

bool isSystemTable(const CDaoTableDefInfo& info) {
  return (info.m_lAttributes & dbSystemObject) != 0 ||
         std::wstring(info.m_strName.GetString()).rfind(L"MSys", 0) == 0;
}

void copyDefinition(CDaoDatabase& from, CDaoDatabase& to, const CString& name) {
  CDaoTableDef source(&from);
  source.Open(name);
  CDaoTableDef made(&to);
  made.Create(name);
  for (short i = 0; i < source.GetFieldCount(); ++i) {
    CDaoFieldInfo field;
    source.GetFieldInfo(i, field, AFX_DAO_ALL_INFO);
    made.CreateField(field);
  }
  made.Append();
}

// Every record through one parameterised INSERT: a recordset's AddNew cannot give an
// AutoNumber field its value (3164), an INSERT can, so counters keep their numbers
// and the records that refer to them stay right.
long copyRecords(CDaoDatabase& from, CDaoDatabase& to, CDaoWorkspace* workspace,
                 const CString& name) {
  CDaoTableDef def(&from);
  def.Open(name);
  const short fields = def.GetFieldCount();
  if (fields == 0) return 0;
  std::wstring columns, marks;
  for (short i = 0; i < fields; ++i) {
    CDaoFieldInfo info;
    def.GetFieldInfo(i, info);
    columns += (i ? L", " : L"") + bracketed(info.m_strName);
    marks += (i ? L", :p" : L":p") + std::to_wstring(i);
  }
  CDaoRecordset rows(&from);
  rows.Open(dbOpenForwardOnly, (L"SELECT " + columns + L" FROM " + bracketed(name)).c_str());
  CDaoQueryDef insert(&to);
  insert.Create(
      nullptr,
      (L"INSERT INTO " + bracketed(name) + L" (" + columns + L") VALUES (" + marks + L")").c_str());
  long count = 0;
  if (workspace) workspace->BeginTrans();
  try {
    for (; !rows.IsEOF(); rows.MoveNext()) {
      for (short i = 0; i < fields; ++i) insert.SetParamValue(i, rows.GetFieldValue(i));
      insert.Execute();
      ++count;
    }
  } catch (...) {
    if (workspace) workspace->Rollback();
    throw;
  }
  if (workspace) workspace->CommitTrans();
  return count;
}

// Indexes that a relation made on its foreign table are left to the relation, which
// makes them again on the other side.
void copyIndexes(CDaoDatabase& from, CDaoDatabase& to, const CString& name) {
  CDaoTableDef source(&from);
  source.Open(name);
  CDaoTableDef made(&to);
  made.Open(name);
  for (short i = 0; i < source.GetIndexCount(); ++i) {
    CDaoIndexInfo index;
    source.GetIndexInfo(i, index, AFX_DAO_ALL_INFO);
    if (index.m_bForeign) continue;
    made.CreateIndex(index);
  }
}

bool fileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

void removeDatabaseFiles(const std::string& path) {
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) ::unlink((path + suffix).c_str());
  const size_t dot = path.rfind('.');
  if (dot != std::string::npos) ::unlink((path.substr(0, dot) + ".ldb").c_str());
}

// The connect string a name stands for: itself, or the one in a pointer file.
std::optional<std::string> serverConnect(const std::wstring& name) {
  const std::string utf8 = toUtf8(name);
  if (server::parseConnectString(utf8)) return utf8;
  return server::readPointerFile(nativePath(name));
}

// A server is named by its connect string, given both as the name (as tb_connect gives
// it) and as DAO's connect argument.
void openDatabase(CDaoDatabase& db, const std::wstring& name, bool readOnly) {
  if (const auto connect = serverConnect(name)) {
    const std::wstring text = fromUtf8(*connect);
    db.Open(text.c_str(), /*bExclusive=*/FALSE, readOnly, text.c_str());
    return;
  }
  db.Open(name.c_str(), /*bExclusive=*/FALSE, readOnly);
}

}  // namespace

long userObjectCount(CDaoDatabase& db) {
  long count = db.GetQueryDefCount();
  for (short i = 0; i < db.GetTableDefCount(); ++i) {
    CDaoTableDefInfo info;
    db.GetTableDefInfo(i, info);
    if (!isSystemTable(info)) ++count;
  }
  return count;
}

DatabaseCopyReport copyDatabase(CDaoDatabase& from, CDaoDatabase& to,
                                const std::function<void(const CopiedTable&)>& progress) {
  if (const long held = userObjectCount(to); held > 0)
    throw CopyRefused("the target already holds " + std::to_string(held) +
                      " tables and queries; copy into an empty database");
  DatabaseCopyReport report;
  std::vector<CString> tables;
  for (short i = 0; i < from.GetTableDefCount(); ++i) {
    CDaoTableDefInfo info;
    from.GetTableDefInfo(i, info, AFX_DAO_SECONDARY_INFO);
    if (isSystemTable(info)) continue;
    CopiedTable copied;
    copied.name = info.m_strName.GetString();
    if ((info.m_lAttributes & dbAttachedTable) != 0) {
      CDaoTableDef link(&to);
      link.Create(info.m_strName, 0, info.m_strSrcTableName, info.m_strConnect);
      link.Append();
      copied.linked = true;
    } else {
      copyDefinition(from, to, info.m_strName);
      copied.records = copyRecords(from, to, to.m_pWorkspace, info.m_strName);
      copyIndexes(from, to, info.m_strName);
    }
    report.tables.push_back(copied);
    if (progress) progress(copied);
  }
  for (short i = 0; i < from.GetRelationCount(); ++i) {
    CDaoRelationInfo relation;
    from.GetRelationInfo(i, relation, AFX_DAO_ALL_INFO);
    to.CreateRelation(relation);
    ++report.relations;
  }
  std::vector<std::pair<CString, CString>> queries;
  for (short i = 0; i < from.GetQueryDefCount(); ++i) {
    CDaoQueryDefInfo info;
    from.GetQueryDefInfo(i, info, AFX_DAO_ALL_INFO);
    queries.emplace_back(info.m_strName, info.m_strSQL);
  }
  // A query that reads another may come before it in name order: those refused are
  // tried again after the others, for as long as each round stores one more; the last
  // refusal is thrown.
  while (!queries.empty()) {
    std::vector<std::pair<CString, CString>> refused;
    CDaoException* last = nullptr;
    for (const auto& [name, sql] : queries) {
      try {
        CDaoQueryDef query(&to);
        query.Create(name, sql);
        query.Append();
        ++report.queries;
      } catch (CDaoException* e) {
        if (last) last->Delete();
        last = e;
        refused.emplace_back(name, sql);
      }
    }
    if (refused.size() == queries.size()) throw last;
    if (last) last->Delete();
    queries = std::move(refused);
  }
  return report;
}

DatabaseCopyReport copyDatabaseBetween(const std::wstring& source, const std::wstring& target,
                                       const std::function<void(const CopiedTable&)>& progress) {
  CDaoDatabase from;
  openDatabase(from, source, /*readOnly=*/true);
  CDaoWorkspace workspace;
  workspace.Open();
  const std::string file = nativePath(target);
  if (serverConnect(target) || fileExists(file)) {
    CDaoDatabase to(&workspace);
    openDatabase(to, target, /*readOnly=*/false);
    return copyDatabase(from, to, progress);
  }
  // A new file: made beside the target and moved into place only when complete.
  const std::string temporary = file + ".copying-" + std::to_string(::getpid()) + ".mdb";
  removeDatabaseFiles(temporary);
  DatabaseCopyReport report;
  try {
    CDaoDatabase to(&workspace);
    to.Create(fromUtf8(temporary).c_str());
    report = copyDatabase(from, to, progress);
    to.Close();
  } catch (...) {
    removeDatabaseFiles(temporary);
    throw;
  }
  // link() fails rather than replace a file that appeared meanwhile.
  const bool placed = ::link(temporary.c_str(), file.c_str()) == 0;
  removeDatabaseFiles(temporary);
  if (!placed) throw CopyRefused("the target " + toUtf8(target) + " appeared during the copy");
  return report;
}

}  // namespace tabrik::dao
