// Schema changes in a server's own language (rules in ServerSchema.h).
#include "server/ServerSchema.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "../DaoErrors.h"
#include "../DaoStore.h"
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
      "RAISE EXCEPTION USING MESSAGE = " + quoteText(L"DAO 3201 " + r.table) + ";";
  const std::string hasChildren =
      "RAISE EXCEPTION USING MESSAGE = " + quoteText(L"DAO 3200 " + r.foreign) + ";";
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

}  // namespace tabrik::dao::server
