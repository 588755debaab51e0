// Stored queries read as tables. Jet lets a statement name a stored select query
// wherever a table may stand ("SELECT * FROM [Current Product List]"), and queries
// build on queries. SQLite knows only tables and views, so when it reports a name it
// does not know, and that name is a stored select query without parameters, the
// query becomes a temporary view of this connection and the statement is compiled
// again. The views go whenever the schema changes, and are made again on demand.
#include <cstring>

#include "DaoStore.h"
#include "jetsql/JetTranslator.h"

namespace {

// Nested queries resolve one missing name per attempt.
constexpr int kMostNestedQueries = 32;

bool startsWithWord(const std::wstring& text, const wchar_t* word) {
  size_t i = 0;
  while (i < text.size() && iswspace(text[i])) ++i;
  const size_t n = wcslen(word);
  if (text.size() - i < n) return false;
  for (size_t k = 0; k < n; ++k)
    if (towupper(static_cast<wint_t>(text[i + k])) != static_cast<wint_t>(word[k])) return false;
  return true;
}

}  // namespace

int DAODatabase::prepareCaller(const std::string& sql, sqlite3_stmt** statement) {
  requireSqlSupport();
  for (int attempt = 0;; ++attempt) {
    int rc;
    {
      CallerSql caller(*this);
      rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), statement, nullptr);
    }
    if (rc == SQLITE_OK || attempt == kMostNestedQueries) return rc;
    sqlite3_finalize(*statement);
    *statement = nullptr;
    if (!viewForMissingTable()) {
      // Looking for the query replaced SQLite's message: compile once more, so the
      // caller reads why the statement failed.
      CallerSql caller(*this);
      return sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), statement, nullptr);
    }
  }
}

bool DAODatabase::viewForMissingTable() {
  static const char kMissing[] = "no such table: ";
  const char* message = sqlite3_errmsg(db);
  if (std::strncmp(message, kMissing, sizeof kMissing - 1) != 0) return false;
  const std::wstring name = tabrik::dao::fromUtf8(message + sizeof kMissing - 1);
  std::wstring stored;
  try {
    tabrik::dao::Statement exists =
        prepare("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'MSysQueries'");
    if (!exists.step()) return false;
    tabrik::dao::Statement query = prepare(
        "SELECT SQL FROM MSysQueries WHERE Name = ? AND Type = " + std::to_string(dbQSelect));
    query.bindText(1, name);
    if (!query.step()) return false;
    stored = query.columnText(0);
  } catch (CDaoException* e) {
    e->Delete();
    return false;
  }
  // A query that asks for parameters has no rows of its own to show.
  if (startsWithWord(stored, L"PARAMETERS")) return false;
  std::string body;
  try {
    auto jet = translateJet(tabrik::dao::toUtf8(stored));
    if (jet->kind != tabrik::dao::jetsql::Translation::Select) return false;
    body = jet->sql;
  } catch (CDaoException* e) {
    e->Delete();
    return false;
  }
  while (!body.empty() && (body.back() == ';' || isspace(static_cast<unsigned char>(body.back()))))
    body.pop_back();
  const std::string create = "CREATE TEMP VIEW " + tabrik::dao::quoteId(name) + " AS " + body;
  if (sqlite3_exec(db, create.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) return false;
  m_queryViews.push_back(name);
  return true;
}

void DAODatabase::dropQueryViews() {
  if (!db) {
    m_queryViews.clear();
    return;
  }
  for (const std::wstring& name : m_queryViews)
    sqlite3_exec(db, ("DROP VIEW IF EXISTS temp." + tabrik::dao::quoteId(name)).c_str(), nullptr,
                 nullptr, nullptr);
  m_queryViews.clear();
}

bool DAODatabase::isStoredQuery(const std::string& name) {
  if (!hasEngineTable("MSysQueries")) return false;
  try {
    tabrik::dao::Statement query = prepare("SELECT 1 FROM MSysQueries WHERE Name = ?");
    query.bindText(1, tabrik::dao::fromUtf8(name.c_str()));
    return query.step();
  } catch (CDaoException* e) {
    e->Delete();
    return false;
  }
}
