// Linked tables: the connect string, checking a link, and attaching each linked
// file read-only to the connection with a TEMP VIEW under the local name (layout in
// DaoStore.h). Opening, moving and reading through a link are the recordset's.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "DaoErrors.h"
#include "DaoStore.h"
#include "tabrik/AccessConversion.h"
#include "tabrik/TextConversion.h"

using namespace tabrik::dao;

void DAODatabase::bumpSchema() {
  if (!db) {
    // A server's sessions watch the catalog's version instead of a schema cookie.
    exec("UPDATE msysschema SET version = version + 1");
    return;
  }
  exec("CREATE TABLE MSysSchemaChange (x)");
  exec("DROP TABLE MSysSchemaChange");
}

namespace {

// The file a link reads: the engine's copy of an Access file, else the file itself.
std::wstring linkedFile(const std::wstring& path) {
  return isAccessFile(path) ? convertedCopyOf(path) : path;
}

}  // namespace

std::wstring DAODatabase::linkPath(const std::wstring& connect) {
  std::wstring up = upper(connect);
  size_t at = up.find(L";DATABASE=");
  if (at == std::wstring::npos) return L"";
  size_t start = at + 10;
  size_t end = connect.find(L';', start);
  return connect.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
}

void DAODatabase::checkLink(const std::wstring& connect, const std::wstring& sourceTable) {
  std::wstring path = linkPath(connect);
  if (path.empty()) daoThrow(3001, {}, L"DAO.TableDef");
  DAODatabase other;
  other.open(linkedFile(path), /*exclusive=*/false, /*readOnly=*/true, /*create=*/false, L"");
  if (!other.hasTable(sourceTable) || other.schema(sourceTable).isLinked())
    daoThrow(3011, {sourceTable}, L"DAO.TableDef");
}

bool DAODatabase::syncLinks() {
  if (!db) return true;  // a server database attaches no files
  bool done = true;
  // Links no longer in the catalog.
  for (auto it = m_links.begin(); it != m_links.end();) {
    auto s = m_schemas.find(it->first);
    if (s != m_schemas.end() && s->second.isLinked()) {
      ++it;
      continue;
    }
    sqlite3_exec(db, ("DROP VIEW IF EXISTS temp." + quoteId(it->first)).c_str(), nullptr, nullptr,
                 nullptr);
    if (sqlite3_exec(db, ("DETACH DATABASE " + it->second).c_str(), nullptr, nullptr, nullptr) !=
        SQLITE_OK) {
      done = false;
      ++it;
      continue;
    }
    it = m_links.erase(it);
  }
  for (auto& [key, t] : m_schemas) {
    if (!t.isLinked()) continue;
    auto found = m_links.find(key);
    if (found == m_links.end()) {
      std::string alias = "lnk_" + std::to_string(++m_nextLink);
      std::string native;
      try {
        native = tabrik::text::nativePath(linkedFile(linkPath(t.connect)));
      } catch (CDaoException* e) {
        e->Delete();
        continue;  // a broken link: found when used
      }
      std::string parameters = readOnlyParameters(native);
      std::string uri = sqliteUri(native, parameters.empty() ? "mode=ro" : parameters);
      sqlite3_stmt* attach = nullptr;
      sqlite3_prepare_v2(db, ("ATTACH DATABASE ? AS " + alias).c_str(), -1, &attach, nullptr);
      sqlite3_bind_text(attach, 1, uri.c_str(), -1, SQLITE_TRANSIENT);
      int rc = attach ? sqlite3_step(attach) : SQLITE_ERROR;
      sqlite3_finalize(attach);
      if (rc != SQLITE_DONE) {
        if (sqlite3_get_autocommit(db) == 0) done = false;  // try again outside the transaction
        continue;                                           // a broken link: found when used
      }
      sqlite3_exec(db, ("DROP VIEW IF EXISTS temp." + quoteId(t.name)).c_str(), nullptr, nullptr,
                   nullptr);
      std::string view = "CREATE TEMP VIEW " + quoteId(t.name) + " AS SELECT * FROM " + alias +
                         "." + quoteId(t.sourceTable);
      sqlite3_exec(db, view.c_str(), nullptr, nullptr, nullptr);
      found = m_links.emplace(key, alias).first;
    }
    // The fields are the source table's.
    sqlite3_stmt* cols = nullptr;
    std::string sql = "SELECT Name, Type, Size, Attributes, Required, AllowZeroLength FROM " +
                      found->second + ".MSysColumns WHERE TableName = ? ORDER BY Ordinal";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &cols, nullptr) == SQLITE_OK) {
      Statement s = adoptSqlite(db, cols);
      s.bindText(1, t.sourceTable);
      t.fields.clear();
      while (sqlite3_step(cols) == SQLITE_ROW) {
        FieldDef f;
        f.name = s.columnText(0);
        f.type = static_cast<short>(s.columnInt(1));
        f.size = static_cast<long>(s.columnInt(2));
        f.attributes = static_cast<long>(s.columnInt(3));
        f.required = s.columnInt(4) != 0;
        f.allowZeroLength = s.columnInt(5) != 0;
        t.fields.push_back(std::move(f));
      }
    } else {
      sqlite3_finalize(cols);
    }
  }
  return done;
}
