// Jet's functions as SQL functions of a PostgreSQL server (see JetServerFunctions.h).
// Jet's values are dynamically typed where the server's are not: each function is made
// once per kind of argument the engine stores (BIGINT, DOUBLE PRECISION, TEXT), each
// overload converting its arguments as the file's functions convert them.
#include "JetServerFunctions.h"

#include <cstring>
#include <vector>

#include "../store/Store.h"
#include "../store/Value.h"

namespace tabrik::dao::jetsql {

namespace {

// Raised with every change to the definitions below, so that a server database made
// by an older engine gets the new ones at its next writable open.
constexpr int kVersion = 6;

const char* const kNames[] = {"jet_truth",
                              "jet_not",
                              "jet_cond",
                              "jet_concat",
                              "jet_add",
                              "jet_intdiv",
                              "jet_mod",
                              "jet_like",
                              "jet_between",
                              "jet_ceil",
                              "jet_param_number",
                              "jet_param_date",
                              "jet_param_bool",
                              "jet_param_text",
                              "iif",
                              "nz",
                              "left",
                              "right",
                              "mid",
                              "len",
                              "ucase",
                              "lcase",
                              "trim",
                              "ltrim",
                              "rtrim",
                              "instr",
                              "val",
                              "cstr",
                              "cint",
                              "clng",
                              "cdbl",
                              "cbool",
                              "int",
                              "fix",
                              "now",
                              "date"};

struct Kind {
  const char* type;
  bool text;
};
const Kind kKinds[] = {{"bigint", false}, {"double precision", false}, {"text", true}};

// An argument as text and as a number, as the file's functions read it.
std::string asText(const Kind& k, const std::string& arg) {
  return k.text ? arg : std::string("tabrik_jet.jet_str(") + arg + ")";
}
std::string asNumber(const Kind& k, const std::string& arg) {
  return k.text ? "tabrik_jet.jet_num(" + arg + ")" : arg + "::double precision";
}

std::string fn(const std::string& name, const std::string& args, const std::string& result,
               const std::string& body, const char* volatility = "IMMUTABLE") {
  return "CREATE OR REPLACE FUNCTION tabrik_jet." + name + "(" + args + ") RETURNS " + result +
         " LANGUAGE sql " + volatility + " AS $jet$ " + body + " $jet$;\n";
}

}  // namespace

bool isServerFunction(const char* lowerName) {
  if (!lowerName) return false;
  for (const char* n : kNames)
    if (std::strcmp(n, lowerName) == 0) return true;
  return isServerVbaFunction(lowerName);
}

std::string serverFunctionsSql() {
  std::string sql = "CREATE SCHEMA IF NOT EXISTS tabrik_jet;\n";
  // A function's failure, as the file's functions fail (DAO's reserved error, the
  // message kept as the detail). Volatile, so that the server never raises one while
  // folding the constants of a branch that is not taken.
  sql +=
      "CREATE OR REPLACE FUNCTION tabrik_jet.jet_fail(message text) RETURNS text LANGUAGE "
      "plpgsql VOLATILE AS $jet$ BEGIN RAISE EXCEPTION 'DAO 3000 1' USING DETAIL = message; END "
      "$jet$;\n";
  // Val: the leading number, blanks inside it ignored; 0 when there is none.
  // &H and &O numbers: hexadecimal and octal digits up to the first other character;
  // four digits or fewer read as an Integer (&HFFFF is -1), more as a Long.
  sql +=
      "CREATE OR REPLACE FUNCTION tabrik_jet.jet_radix(t text) RETURNS double precision LANGUAGE "
      "plpgsql IMMUTABLE AS $jet$ DECLARE s text COLLATE \"C\" := lower(ltrim(t, ' ' || "
      "chr(9) || chr(10) || chr(13))); ch text[] := string_to_array(s, NULL); "
      "base int := CASE WHEN ch[2] = 'h' THEN 16 ELSE 8 END; v numeric := 0; i int := 3; "
      "d int; BEGIN WHILE i <= coalesce(array_length(ch, 1), 0) LOOP "
      "d := strpos(left('0123456789abcdef', base), ch[i]) - 1; EXIT WHEN d < 0; "
      "v := (v * base + d) % 18446744073709551616; i := i + 1; END LOOP; "
      "IF v <= 65535 THEN RETURN CASE WHEN v >= 32768 THEN v - 65536 ELSE v END; END IF; "
      "v := v % 4294967296; "
      "RETURN CASE WHEN v >= 2147483648 THEN v - 4294967296 ELSE v END; END $jet$;\n";
  sql +=
      fn("jet_num", "text", "double precision",
         "SELECT CASE WHEN $1 COLLATE \"C\" ~* '^[ \\t\\n\\r]*&[ho]' THEN tabrik_jet.jet_radix($1) "
         "ELSE coalesce(substring(replace(replace(replace($1 COLLATE \"C\", ' ', ''), chr(9), ''), "
         "chr(10), "
         "'') from '^[-+]?(?:[0-9]+[.]?[0-9]*|[.][0-9]+)(?:[eEdD][-+]?[0-9]+)?')::double "
         "precision, 0) END");
  // Numbers as text: integral values without a fraction, others to 15 significant
  // digits (the server's numeric of a double keeps that many), as VBA's CStr.
  sql += fn("jet_str", "bigint", "text", "SELECT $1::text");
  sql += fn("jet_str", "double precision", "text",
            "SELECT CASE WHEN $1 = trunc($1) AND abs($1) < 1e15 THEN trunc($1)::bigint::text "
            "WHEN abs($1) >= 1e-4 AND abs($1) < 1e15 THEN trim_scale($1::numeric)::text "
            "ELSE $1::text END");
  sql += fn("jet_str", "text", "text", "SELECT $1");
  sql += fn("jet_truth", "boolean", "bigint", "SELECT CASE WHEN $1 THEN -1 WHEN NOT $1 THEN 0 END");
  sql += fn("jet_truth", "bigint", "bigint", "SELECT $1");
  sql += fn("jet_truth", "double precision", "double precision", "SELECT $1");
  sql += fn("jet_not", "boolean", "boolean", "SELECT NOT $1");
  sql += fn("jet_not", "bigint", "bigint", "SELECT ~$1");
  sql += fn("jet_not", "double precision", "bigint", "SELECT ~round($1)::bigint");
  sql += fn("jet_cond", "boolean", "boolean", "SELECT $1");
  sql += fn("jet_cond", "bigint", "boolean", "SELECT $1 <> 0");
  sql += fn("jet_cond", "double precision", "boolean", "SELECT $1 <> 0");
  sql += fn("jet_cond", "text", "boolean", "SELECT tabrik_jet.jet_num($1) <> 0");
  sql += fn("jet_ceil", "double precision", "double precision", "SELECT ceil($1)");
  sql += fn("jet_between", "anycompatible, anycompatible, anycompatible", "boolean",
            "SELECT $1 BETWEEN SYMMETRIC $2 AND $3");
  // Texts compare without their trailing blanks, as Jet compares them.
  sql += fn("jet_between", "text, text, text", "boolean",
            "SELECT rtrim($1, ' ') BETWEEN SYMMETRIC rtrim($2, ' ') AND rtrim($3, ' ')");
  sql += fn("nz", "anycompatible, anycompatible", "anycompatible", "SELECT coalesce($1, $2)");
  sql +=
      fn("now", "", "double precision",
         "SELECT extract(epoch from localtimestamp)::double precision / 86400 + 25569", "STABLE");
  sql += fn("date", "", "double precision", "SELECT floor(tabrik_jet.now())", "STABLE");
  // Jet's Like: * ? # [list] [!list], without regard to case, as a regular expression.
  sql +=
      "CREATE OR REPLACE FUNCTION tabrik_jet.jet_pattern(p text) RETURNS text LANGUAGE plpgsql "
      "IMMUTABLE AS $jet$ DECLARE r text := '^'; i int := 1; c text; j int; BEGIN "
      "WHILE i <= length(p) LOOP c := substr(p, i, 1); "
      "IF c = '*' THEN r := r || '.*'; ELSIF c = '?' THEN r := r || '.'; "
      "ELSIF c = '#' THEN r := r || '[0-9]'; "
      "ELSIF c = '[' AND strpos(substr(p, i + 1), ']') > 0 THEN "
      "j := i + strpos(substr(p, i + 1), ']'); c := substr(p, i + 1, j - i - 1); "
      "IF left(c, 1) = '!' THEN c := '^' || substr(c, 2); END IF; "
      "r := r || '[' || replace(c, '\\', '\\\\') || ']'; i := j; "
      "ELSE r := r || regexp_replace(c, '([.^$|()\\[\\]{}*+?\\\\])', '\\\\\\1', 'g'); END IF; "
      "i := i + 1; END LOOP; RETURN r || '$'; END $jet$;\n";
  for (const Kind& k : kKinds) {
    std::string a = k.type, t1 = asText(k, "$1"), n1 = asNumber(k, "$1");
    sql += fn("jet_like", a + ", text", "boolean",
              "SELECT (" + t1 + ") COLLATE \"C\" ~* tabrik_jet.jet_pattern($2 COLLATE \"C\")");
    sql += fn("left", a + ", double precision", "text",
              "SELECT CASE WHEN $2 < 0 THEN tabrik_jet.jet_fail('Invalid procedure call or "
              "argument') ELSE pg_catalog.left(" +
                  t1 + ", least($2, 1e9)::int) END");
    sql += fn("right", a + ", double precision", "text",
              "SELECT CASE WHEN $2 < 0 THEN tabrik_jet.jet_fail('Invalid procedure call or "
              "argument') ELSE pg_catalog.right(" +
                  t1 + ", least($2, 1e9)::int) END");
    sql += fn("mid", a + ", double precision", "text",
              "SELECT CASE WHEN $2 < 1 THEN tabrik_jet.jet_fail('Invalid procedure call or "
              "argument') ELSE substr(" +
                  t1 + ", least($2, 1e9)::int) END");
    sql += fn("mid", a + ", double precision, double precision", "text",
              "SELECT CASE WHEN $2 < 1 OR $3 < 0 THEN tabrik_jet.jet_fail('Invalid procedure "
              "call or argument') ELSE substr(" +
                  t1 +
                  ", least($2, 1e9)::int, least($3, "
                  "1e9)::int) END");
    sql += fn("len", a, "bigint", "SELECT length(" + t1 + ")::bigint");
    sql += fn("ucase", a, "text", "SELECT upper(" + t1 + ")");
    sql += fn("lcase", a, "text", "SELECT lower(" + t1 + ")");
    sql += fn("trim", a, "text", "SELECT btrim(" + t1 + ", ' ')");
    sql += fn("ltrim", a, "text", "SELECT pg_catalog.ltrim(" + t1 + ", ' ')");
    sql += fn("rtrim", a, "text", "SELECT pg_catalog.rtrim(" + t1 + ", ' ')");
    sql += fn("val", a, "double precision",
              "SELECT CASE WHEN $1 IS NULL THEN tabrik_jet.jet_fail('Invalid use of "
              "Null')::double precision ELSE " +
                  n1 + " END");
    sql += fn("cstr", a, "text",
              "SELECT CASE WHEN $1 IS NULL THEN tabrik_jet.jet_fail('Invalid use of Null') "
              "ELSE " +
                  t1 + " END");
    sql += fn("cdbl", a, "double precision", "SELECT " + n1);
    if (!k.text)  // a text's is its own (JetServerVba.cpp)
      sql += fn("cbool", a, "bigint", "SELECT CASE WHEN " + n1 + " <> 0 THEN -1 ELSE 0 END");
    const char* ranges[][3] = {{"cint", "-32768", "32767"}, {"clng", "-2147483648", "2147483647"}};
    for (auto& r : ranges)
      sql += fn(r[0], a, "bigint",
                std::string("SELECT CASE WHEN round(") + n1 + ") BETWEEN " + r[1] + " AND " + r[2] +
                    " THEN round(" + n1 +
                    ")::bigint ELSE tabrik_jet.jet_fail('Overflow')::bigint END");
    sql += fn("int", a, k.text ? "double precision" : a,
              k.text ? "SELECT floor(" + n1 + ")" : "SELECT floor($1)");
    sql += fn("fix", a, k.text ? "double precision" : a,
              k.text ? "SELECT trunc(" + n1 + ")" : "SELECT trunc($1)");
    sql += fn("nz", a, a, k.text ? "SELECT coalesce($1, '')" : "SELECT coalesce($1, 0)");
    sql += fn("iif", a + ", anycompatible, anycompatible", "anycompatible",
              "SELECT CASE WHEN " + n1 + " <> 0 THEN $2 ELSE $3 END");
    sql += fn("jet_param_" + std::string(k.text ? "text" : "number"), a, a, "SELECT $1");
    for (const Kind& k2 : kKinds) {
      std::string ab = a + ", " + k2.type, t2 = asText(k2, "$2"), n2 = asNumber(k2, "$2");
      sql += fn("jet_concat", ab, "text",
                "SELECT CASE WHEN $1 IS NULL AND $2 IS NULL THEN NULL ELSE coalesce(" + t1 +
                    ", '') || coalesce(" + t2 + ", '') END");
      std::string add = k.text && k2.text ? t1 + " || " + t2 : n1 + " + " + n2;
      bool integral = !k.text && !k2.text && std::strcmp(k.type, "bigint") == 0 &&
                      std::strcmp(k2.type, "bigint") == 0;
      const char* sum = k.text && k2.text ? "text" : integral ? "bigint" : "double precision";
      sql += fn("jet_add", ab, sum, integral ? std::string("SELECT $1 + $2") : "SELECT " + add);
      sql += fn("jet_intdiv", ab, "bigint",
                "SELECT round(" + n1 + ")::bigint / round(" + n2 + ")::bigint");
      sql += fn("jet_mod", ab, "bigint",
                "SELECT round(" + n1 + ")::bigint % round(" + n2 + ")::bigint");
      // The server's substring search needs a deterministic collation: "C" on
      // upper-cased text is Jet's text compare.
      sql += fn("instr", ab, "bigint",
                "SELECT CASE WHEN " + t2 + " = '' THEN 1 ELSE strpos(upper(" + t1 +
                    ") COLLATE \"C\", upper(" + t2 + ") COLLATE \"C\")::bigint END");
    }
  }
  sql += fn("instr", "double precision, text, text", "bigint",
            "SELECT CASE WHEN $1 < 1 THEN tabrik_jet.jet_fail('Invalid procedure call or "
            "argument')::bigint WHEN $1 > length($2) THEN 0 WHEN $3 = '' THEN $1::bigint ELSE "
            "(SELECT CASE WHEN f = 0 THEN 0 ELSE f + $1::bigint - 1 END FROM (SELECT "
            "strpos(upper(substr($2, $1::int)) COLLATE \"C\", upper($3) COLLATE \"C\") AS f) "
            "AS found) END");
  sql += fn("iif", "boolean, anycompatible, anycompatible", "anycompatible",
            "SELECT CASE WHEN $1 THEN $2 ELSE $3 END");
  sql += serverVbaSql();
  sql += fn("jet_param_bool", "text", "bigint",
            "SELECT CASE WHEN lower($1) IN ('true', 'yes', 'on', '-1') THEN -1 WHEN lower($1) IN "
            "('false', 'no', 'off', '0') THEN 0 ELSE tabrik_jet.cbool($1) END");
  sql += fn("jet_version", "", "integer", "SELECT " + std::to_string(kVersion));
  return sql;
}

void installServerFunctions(storage::Connection& conn, bool mayWrite) {
  {
    std::unique_ptr<storage::Cursor> c = conn.prepare(
        "SELECT coalesce((SELECT p.prosrc FROM pg_proc p JOIN pg_namespace n ON n.oid = "
        "p.pronamespace WHERE n.nspname = 'tabrik_jet' AND p.proname = 'jet_version'), '')");
    std::wstring have = c->step(3218) ? c->columnText(0) : std::wstring();
    if (have.find(L"SELECT " + std::to_wstring(kVersion) + L" ") != std::wstring::npos) return;
  }
  if (!mayWrite) return;
  // Two sessions opening a database at once make the functions one after the other.
  bool own = !conn.inTransaction();
  if (own) conn.beginWrite(3211);
  try {
    conn.exec("SELECT pg_advisory_xact_lock(7406214); " + serverFunctionsSql(), 3211);
    if (own) conn.commit(3211);
  } catch (...) {
    if (own) conn.rollbackQuietly();
    throw;
  }
}

}  // namespace tabrik::dao::jetsql
