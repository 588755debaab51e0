// Linked tables: the connect string, checking a link, attaching each linked file
// read-only to a file's connection with a TEMP VIEW under the local name (layout in
// DaoStore.h), and the temporary copies through which a link between back ends is
// read. Opening, moving and reading through a link are the recordset's.
#include <cctype>
#include <cstdio>
#include <cstring>

#include "DaoErrors.h"
#include "DaoStore.h"
#include "server/ConnectString.h"
#include "store/PgStore.h"
#include "tabrik/AccessConversion.h"
#include "tabrik/TextConversion.h"

using namespace tabrik::dao;

// A link read through a copy: the source database, open read-only for as long as the
// link is, and what the copy in this session was made from.
struct DAODatabase::LinkCopy {
  std::unique_ptr<DAODatabase> source;
  std::wstring sourceTable;
  std::wstring localName;  // as the catalog spells it
  ChangeStamp stamp;       // the source's, taken before its records were read
  long long session = 0;   // the server session the copy lives in (a lost one takes it along)
  bool made = false;
};

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

namespace {

bool namesServer(const std::wstring& connect) {
  return server::parseConnectString(toUtf8(connect)).has_value();
}

// What a link's connect string opens: an ODBC connect string as it is (another
// driver's is 3151 when opened), else the file of Jet's ";DATABASE=path" (empty when
// there is none).
std::wstring linkTarget(const std::wstring& connect) {
  if (namesServer(connect) || upper(connect.substr(0, 5)) == L"ODBC;") return connect;
  std::wstring path = DAODatabase::linkPath(connect);
  return path.empty() ? path : linkedFile(path);
}

// The source database of a link, read-only, holding the source table (3011 when it
// does not, or only as a link of its own).
std::unique_ptr<DAODatabase> openLinkSource(const std::wstring& connect,
                                            const std::wstring& sourceTable) {
  std::wstring target = linkTarget(connect);
  if (target.empty()) daoThrow(3001, {}, L"DAO.TableDef");
  auto other = std::make_unique<DAODatabase>();
  other->open(target, /*exclusive=*/false, /*readOnly=*/true, /*create=*/false, L"");
  if (!other->hasTable(sourceTable) || other->schema(sourceTable).isLinked())
    daoThrow(3011, {sourceTable}, L"DAO.TableDef");
  return other;
}

}  // namespace

void DAODatabase::checkLink(const std::wstring& connect, const std::wstring& sourceTable) {
  openLinkSource(connect, sourceTable);
}

std::string DAODatabase::linkedRows(const std::wstring& localName) const {
  return std::string(db ? "temp." : "pg_temp.") + quoteId(localName);
}

void DAODatabase::syncLinkCopies() {
  for (auto it = m_linkCopies.begin(); it != m_linkCopies.end();) {
    auto s = m_schemas.find(it->first);
    if (s != m_schemas.end() && s->second.isLinked()) {
      ++it;
      continue;
    }
    // Gone from the catalog: its copy goes too, whether this session still counts it
    // as made or not (the name keeps its case in the catalog only, so the copy is found
    // by the link's record of it). A read-only server session drops it in a
    // transaction of its own that may write.
    const bool own = !db && !conn->inTransaction();
    std::string drop = "DROP TABLE IF EXISTS " + linkedRows(it->second->localName);
    if (own) drop = "BEGIN READ WRITE; " + drop + "; COMMIT";
    try {
      conn->exec(drop, 3218);
    } catch (CDaoException* e) {
      e->Delete();
      if (own) conn->rollbackQuietly();
    }
    it = m_linkCopies.erase(it);
  }
  for (auto& [key, t] : m_schemas) {
    if (!t.isLinked() || (db && !namesServer(t.connect))) continue;  // a file attaches files
    std::shared_ptr<LinkCopy>& copy = m_linkCopies[key];
    if (!copy || copy->sourceTable != t.sourceTable) {
      auto made = std::make_shared<LinkCopy>();
      try {
        made->source = openLinkSource(t.connect, t.sourceTable);
      } catch (CDaoException* e) {
        e->Delete();
        m_linkCopies.erase(key);
        continue;  // a broken link: found when used
      }
      made->sourceTable = t.sourceTable;
      copy = std::move(made);
    }
    copy->localName = t.name;
    // The fields are the source table's.
    t.fields = copy->source->schema(t.sourceTable).fields;
  }
}

bool DAODatabase::syncLinks() {
  syncLinkCopies();
  if (!db) return true;  // a server database attaches no files: every link is a copy
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
    if (!t.isLinked() || namesServer(t.connect)) continue;
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

namespace {

long long sessionOf(tabrik::dao::storage::Connection& conn) {
  auto* pg = dynamic_cast<tabrik::dao::storage::PgConnection*>(&conn);
  return pg && pg->handle() ? PQbackendPID(pg->handle()) : 0;
}

}  // namespace

void DAODatabase::refreshLinkCopies() {
  for (auto& [key, copy] : m_linkCopies) {
    const bool standing = copy->made && copy->session == sessionOf(*conn);
    if (standing && copy->source->changeStamp() == copy->stamp) continue;
    try {
      makeLinkCopy(copy->localName, *copy);
    } catch (CDaoException* e) {
      // A copy that cannot be made again now (a statement of this connection still
      // reads it) is read as it stands, and made again next time.
      if (!standing) throw;
      e->Delete();
      copy->made = true;
    }
  }
}

void DAODatabase::forgetLinkCopies() {
  for (auto& [key, copy] : m_linkCopies) copy->made = false;
}

void DAODatabase::makeLinkCopy(const std::wstring& localName, LinkCopy& copy) {
  // The copy is the engine's own work, even when a caller's statement asks for it.
  int callerDepth = m_callerDepth;
  m_callerDepth = 0;
  struct Restore {
    int& depth;
    int saved;
    ~Restore() { depth = saved; }
  } restore{m_callerDepth, callerDepth};

  DAODatabase& source = *copy.source;
  ChangeStamp stamp = source.changeStamp();  // before reading: a later change shows again
  const TableSchema& from = source.schema(copy.sourceTable);
  const storage::Dialect& dialect = conn->dialect();
  std::string target = linkedRows(localName);
  std::string columns, select, marks;
  for (size_t i = 0; i < from.fields.size(); ++i) {
    const FieldDef& f = from.fields[i];
    columns += (i ? ", " : "") + quoteId(f.name) + " " + storageType(dialect, f.type) +
               (f.isText() ? dialect.jetText : "");
    select += (i ? ", " : "") + quoteId(f.name);
    marks += i ? ", ?" : "?";
  }
  const bool own = !conn->inTransaction();
  // A read-only server session writes its own temporary tables in a transaction of
  // its own that may write (its default transaction may not).
  if (own) conn->exec(db ? "BEGIN" : "BEGIN READ WRITE", 3218);
  try {
    conn->exec("DROP TABLE IF EXISTS " + target, 3218);
    // Numbered as a table's records are, in the source's order, so that a statement
    // ordered by its record number (ties under ORDER BY) reads the copy as the table.
    conn->exec(
        "CREATE TEMP TABLE " + quoteId(localName) + " (" + dialect.rowidColumn + columns + ")",
        3218);
    std::unique_ptr<storage::Cursor> insert =
        conn->prepare("INSERT INTO " + target + " (" + select + ") VALUES (" + marks + ")");
    Statement rows = source.prepare("SELECT " + select + " FROM " + quoteId(from.name));
    while (rows.step()) {
      for (size_t i = 0; i < from.fields.size(); ++i)
        insert->bind(static_cast<int>(i + 1), rows.column(static_cast<int>(i)));
      while (insert->step(3218)) {
      }
      insert->reset();
    }
    // Read-only to a caller's statements, as a link to a file is: on a server the
    // session's own rights on it go (SQLite's authorizer refuses writes to temp tables).
    if (!db)
      conn->exec("REVOKE INSERT, UPDATE, DELETE, TRUNCATE ON " + target + " FROM CURRENT_USER",
                 3218);
    if (own) conn->exec("COMMIT", 3218);
  } catch (...) {
    if (own) conn->rollbackQuietly();
    copy.made = false;
    throw;
  }
  copy.stamp = stamp;
  copy.session = sessionOf(*conn);
  copy.made = true;
}
