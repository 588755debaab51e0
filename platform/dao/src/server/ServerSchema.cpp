// Schema changes in a server's own language (rules in ServerSchema.h).
#include "server/ServerSchema.h"

#include <libpq-fe.h>

#include <cstdint>
#include <cstdio>
#include <vector>

#include "../DaoErrors.h"
#include "../DaoStore.h"
#include "afxdao.h"
#include "jetsql/JetTranslator.h"
#include "store/PgStore.h"

namespace tabrik::dao::server {

namespace {

// The server keeps at most this many bytes of an identifier and cuts the rest without
// a word, so every name the engine makes fits.
constexpr std::size_t kIdentifierBytes = 63;

// At most `bytes` bytes of a UTF-8 text, cut on a character boundary.
std::string prefix(const std::string& text, std::size_t bytes) {
  if (text.size() <= bytes) return text;
  std::size_t end = bytes;
  while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
  return text.substr(0, end);
}

std::string literal(const std::wstring& text) {
  std::string out = "'";
  for (char c : toUtf8(text)) {
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

// A function body between dollar quotes that the body itself does not contain.
std::string dollarQuoted(const std::string& body) {
  std::string tag = "$f$";
  for (int n = 1; body.find(tag) != std::string::npos; ++n) tag = "$f" + std::to_string(n) + "$";
  return tag + body + tag;
}

std::uint32_t fnv1a(const std::string& text) {
  std::uint32_t h = 2166136261u;
  for (unsigned char c : text) {
    h ^= c;
    h *= 16777619u;
  }
  return h;
}

// "_<hash>_" of a name that the engine compares without regard to case.
std::string hashOf(const std::wstring& name) {
  char hash[12];
  std::snprintf(hash, sizeof hash, "_%08x_", fnv1a(toUtf8(upper(name))));
  return hash;
}

// "MSysRel_<relation>_<hash>_<kind>": relation names differing only in case are one
// relation, so the hash is of the upper-cased name.
std::wstring triggerName(const RelationDef& r, const char* kind) {
  std::string name = "MSysRel_" + prefix(toUtf8(r.name), 36) + hashOf(r.name) + kind;
  return fromUtf8(name.c_str());
}

void makeFunction(DAODatabase& d, const std::wstring& name, const std::string& body) {
  d.exec("CREATE OR REPLACE FUNCTION " + quoteId(name) + "() RETURNS trigger LANGUAGE plpgsql AS " +
             dollarQuoted("BEGIN " + body + " END"),
         3211);
}

}  // namespace

std::wstring counterFunctionName(const std::wstring& table, int n) {
  std::string name =
      "MSysAutoNumber_" + prefix(toUtf8(table), 30) + hashOf(table) + std::to_string(n);
  return fromUtf8(name.c_str());
}

void dropRelationTriggers(DAODatabase& d, const RelationDef& r) {
  for (const char* kind : {"ins", "del", "key"})
    d.exec("DROP FUNCTION IF EXISTS " + quoteId(triggerName(r, kind)) + "() CASCADE", 3211);
}

void makeRelationTriggers(DAODatabase& d, const RelationDef& r) {
  dropRelationTriggers(d, r);
  if (r.attributes & dbRelationDontEnforce) return;
  const std::string P = quoteId(r.table), F = quoteId(r.foreign);
  std::string newNotNull, parentMatchesNew, childMatchesOld, foreignCols, primaryCols, keyChanged,
      cascadeSet;
  for (std::size_t i = 0; i < r.fields.size(); ++i) {
    const std::string p = quoteId(r.fields[i].first), f = quoteId(r.fields[i].second);
    const char* both = i ? " AND " : "";
    const char* list = i ? ", " : "";
    newNotNull += both + ("NEW." + f + " IS NOT NULL");
    parentMatchesNew += both + (P + "." + p + " = NEW." + f);
    childMatchesOld += both + (F + "." + f + " = OLD." + p);
    foreignCols += list + f;
    primaryCols += list + p;
    keyChanged += (i ? " OR " : "") + ("OLD." + p + " IS DISTINCT FROM NEW." + p);
    cascadeSet += list + (f + " = NEW." + p);
  }
  const std::string missingParent =
      "RAISE EXCEPTION USING MESSAGE = " + literal(L"DAO 3201 " + r.table) + ";";
  const std::string hasChildren =
      "RAISE EXCEPTION USING MESSAGE = " + literal(L"DAO 3200 " + r.foreign) + ";";
  const std::string children = "EXISTS (SELECT 1 FROM " + F + " WHERE " + childMatchesOld + ")";

  const std::wstring ins = triggerName(r, "ins");
  makeFunction(d, ins,
               "PERFORM 1 FROM " + P + " WHERE " + parentMatchesNew +
                   " FOR KEY SHARE; IF NOT FOUND THEN " + missingParent + " END IF; RETURN NEW;");
  d.exec("CREATE TRIGGER " + quoteId(ins) + " BEFORE INSERT OR UPDATE OF " + foreignCols + " ON " +
             F + " FOR EACH ROW WHEN (" + newNotNull + ") EXECUTE FUNCTION " + quoteId(ins) + "()",
         3211);

  const std::wstring del = triggerName(r, "del");
  if (r.attributes & dbRelationDeleteCascade) {
    makeFunction(d, del, "DELETE FROM " + F + " WHERE " + childMatchesOld + "; RETURN NULL;");
    d.exec("CREATE TRIGGER " + quoteId(del) + " AFTER DELETE ON " + P +
               " FOR EACH ROW EXECUTE FUNCTION " + quoteId(del) + "()",
           3211);
  } else {
    makeFunction(d, del, "IF " + children + " THEN " + hasChildren + " END IF; RETURN OLD;");
    d.exec("CREATE TRIGGER " + quoteId(del) + " BEFORE DELETE ON " + P +
               " FOR EACH ROW EXECUTE FUNCTION " + quoteId(del) + "()",
           3211);
  }

  const std::wstring key = triggerName(r, "key");
  if (r.attributes & dbRelationUpdateCascade) {
    makeFunction(
        d, key,
        "UPDATE " + F + " SET " + cascadeSet + " WHERE " + childMatchesOld + "; RETURN NULL;");
    d.exec("CREATE TRIGGER " + quoteId(key) + " AFTER UPDATE OF " + primaryCols + " ON " + P +
               " FOR EACH ROW WHEN (" + keyChanged + ") EXECUTE FUNCTION " + quoteId(key) + "()",
           3211);
  } else {
    makeFunction(d, key, "IF " + children + " THEN " + hasChildren + " END IF; RETURN NEW;");
    d.exec("CREATE TRIGGER " + quoteId(key) + " BEFORE UPDATE OF " + primaryCols + " ON " + P +
               " FOR EACH ROW WHEN (" + keyChanged + ") EXECUTE FUNCTION " + quoteId(key) + "()",
           3211);
  }
}

void dropCounterTriggers(DAODatabase& d, const std::wstring& table) {
  std::vector<std::string> functions;
  {
    Statement s = d.prepare(
        "SELECT DISTINCT t.tgfoid::regprocedure::text FROM pg_trigger t WHERE t.tgrelid = "
        "to_regclass(?) AND t.tgname LIKE 'MSysAutoNumber%'");
    s.bindText(1, fromUtf8(quoteId(table).c_str()));
    while (s.step()) functions.push_back(toUtf8(s.columnText(0)));
  }
  for (const std::string& f : functions) d.exec("DROP FUNCTION IF EXISTS " + f + " CASCADE", 3211);
}

std::string freeIndexName(DAODatabase& d, const std::wstring& table, const std::wstring& index) {
  // Room for "_<number>" after the name.
  const std::string base = prefix(toUtf8(table) + "_" + toUtf8(index), kIdentifierBytes - 8);
  std::string name = base;
  for (int n = 2;; ++n) {
    Statement s = d.prepare(
        "SELECT 1 FROM pg_class WHERE lower(relname) = lower(?) AND relnamespace = "
        "current_schema()::regnamespace");
    s.bindText(1, fromUtf8(name.c_str()));
    if (!s.step()) return name;
    name = base + "_" + std::to_string(n);
  }
}

void makeTable(CDaoDatabase& db, const std::string& select, const std::wstring& table,
               long* recordsAffected) {
  DAODatabase& d = *db.m_pDAODatabase;
  std::shared_ptr<const jetsql::Translation> jet = d.translateJet(select);
  if (jet->kind != jetsql::Translation::Select) daoThrow(3129);
  if (!jet->parameters.empty())
    daoThrow(3061, {std::to_wstring(jet->parameters.size())}, L"DAO.Database");
  const std::string& sql = jet->sql;
  std::vector<CDaoFieldInfo> fields;
  {
    std::unique_ptr<storage::Cursor> cursor;
    try {
      DAODatabase::CallerSql caller(d);
      cursor = d.conn->prepare(sql);
    } catch (CDaoException* e) {
      jetsql::mapServerSyntaxError(e, *jet, d.conn->syntaxErrorOffset());
      throw;
    }
    Statement rows(std::move(cursor));
    const int columns = rows.columnCount();
    if (columns == 0) daoThrow(3129);
    // Where each column comes from: a field of a table (the server names the table and
    // the column's number in it), or an expression.
    std::vector<std::pair<unsigned, int>> origins(static_cast<std::size_t>(columns), {0u, 0});
    if (auto* pg = dynamic_cast<storage::PgConnection*>(d.conn.get())) {
      int count = 0;
      std::string numbered = storage::numberedParameters(sql, count);
      PGresult* prepared = PQprepare(pg->handle(), "", numbered.c_str(), 0, nullptr);
      PQclear(prepared);
      PGresult* described = PQdescribePrepared(pg->handle(), "");
      if (PQresultStatus(described) == PGRES_COMMAND_OK && PQnfields(described) == columns)
        for (int c = 0; c < columns; ++c)
          origins[static_cast<std::size_t>(c)] = {PQftable(described, c),
                                                  PQftablecol(described, c)};
      PQclear(described);
    }
    bool hasRow = false;
    {
      DAODatabase::CallerSql caller(d);
      try {
        hasRow = rows.step();
      } catch (CDaoException* e) {
        jetsql::mapServerSyntaxError(e, *jet, d.conn->syntaxErrorOffset());
        throw;
      }
    }
    fields.resize(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) {
      CDaoFieldInfo& f = fields[static_cast<std::size_t>(c)];
      f.m_strName = fromUtf8(rows.cursor().columnName(c).c_str()).c_str();
      f.m_bAllowZeroLength = TRUE;
      const auto [oid, number] = origins[static_cast<std::size_t>(c)];
      if (oid != InvalidOid && number > 0) {
        std::wstring from, column;
        {
          Statement s = d.prepare(
              "SELECT c.relname::text, a.attname::text FROM pg_class c JOIN pg_attribute a ON "
              "a.attrelid = c.oid WHERE c.oid = ?::oid AND a.attnum = ?");
          s.bindInt(1, oid);
          s.bindInt(2, number);
          if (s.step()) {
            from = s.columnText(0);
            column = s.columnText(1);
          }
        }
        if (!from.empty() && d.hasTable(from)) {
          const TableSchema& source = d.schema(from);
          int at = source.findField(column);
          if (at >= 0) {
            const FieldDef& def = source.fields[static_cast<std::size_t>(at)];
            f.m_nType = def.type;
            f.m_lSize = def.size;
            continue;
          }
        }
      }
      // An expression takes the type of its first value, as a file's does.
      Value::Kind kind = hasRow ? rows.column(c).kind : Value::Null;
      f.m_nType = kind == Value::Int ? dbLong : kind == Value::Real ? dbDouble : dbText;
      f.m_lSize = f.m_nType == dbText ? 255 : 0;
    }
  }
  std::string insert = "INSERT INTO " + quoteId(table) + " (";
  for (std::size_t c = 0; c < fields.size(); ++c)
    insert += (c ? ", " : "") + quoteId(fields[c].m_strName.GetString());
  insert += ") " + sql;
  d.beginWrite(3211);
  try {
    CDaoTableDef td(&db);
    td.Create(table.c_str());
    for (auto& f : fields) td.CreateField(f);
    td.Append();
    DAODatabase::CallerSql rowsOfCaller(d);
    d.exec(insert, 3218);
    if (recordsAffected) *recordsAffected = static_cast<long>(d.conn->changes());
  } catch (...) {
    d.syncWriteDepth();
    d.endWrite(false);
    d.schemaChanged();
    throw;
  }
  d.endWrite(true, 3211);
  d.schemaChanged();
}

}  // namespace tabrik::dao::server
