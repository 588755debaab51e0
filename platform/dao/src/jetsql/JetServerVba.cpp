// The VBA functions of a server database that take more than one expression: Format,
// the conversions that read a text as a date or a strict number (CDate, CCur, CBool,
// a date parameter), Jet's aggregates the server names otherwise (StDev, Var, First,
// Last) and the key text compares by. Each reads its arguments as the file's
// functions in JetFunctions.cpp read theirs, so that a statement gives the same rows
// on either back end.
#include <cstring>

#include "JetServerFunctions.h"

namespace tabrik::dao::jetsql {

namespace {

const char* const kVbaNames[] = {"format", "cdate", "cvdate", "ccur", "stdev",   "stdevp",
                                 "var",    "varp",  "first",  "last", "jet_key", "round"};

// The helpers, once: PL/pgSQL ports of the file's Format, date literal and number
// readers. A PL/pgSQL function's text variables take the collation of its arguments,
// and a field's (jettext) allows no substring search: those searched are declared in
// the "C" collation.
const char kHelpers[] = R"sql(
CREATE OR REPLACE FUNCTION tabrik_jet.jet_round_even(x numeric, d int) RETURNS numeric
LANGUAGE sql IMMUTABLE AS $jet$
  SELECT round(CASE WHEN abs(x * power(10::numeric, d) - trunc(x * power(10::numeric, d))) = 0.5
    THEN (trunc(x * power(10::numeric, d)) + CASE WHEN trunc(x * power(10::numeric, d)) % 2 = 0
          THEN 0 ELSE sign(x) END) / power(10::numeric, d)
    ELSE x END, d) $jet$;
CREATE OR REPLACE FUNCTION tabrik_jet.jet_fixed(v double precision, decimals int,
  thousands boolean) RETURNS text LANGUAGE plpgsql IMMUTABLE AS $jet$
DECLARE r numeric := tabrik_jet.jet_round_even(abs(v)::numeric, decimals); w text; rest text := '';
BEGIN
  w := split_part(r::text, '.', 1);
  IF decimals > 0 THEN rest := '.' || split_part(r::text, '.', 2); END IF;
  IF thousands THEN w := reverse(regexp_replace(reverse(w), '([0-9]{3})(?=[0-9])', '\1,', 'g'));
  END IF;
  RETURN CASE WHEN v < 0 AND r <> 0 THEN '-' ELSE '' END || w || rest;
END $jet$;
CREATE OR REPLACE FUNCTION tabrik_jet.jet_format_date(ole double precision, pic text)
RETURNS text LANGUAGE plpgsql IMMUTABLE AS $jet$
DECLARE
  p text COLLATE "C" := pic;
  -- the picture's characters and the output's pieces as arrays, which index and grow
  -- in constant time where a text's characters are counted from its start
  ch text[] := string_to_array(pic COLLATE "C", NULL); o text[] := '{}';
  whole double precision := trunc(ole); secs bigint; d date; y int; mo int; dy int;
  h int; mi int; s int; hr int; ampm boolean; i int := 1; n int;
  c text COLLATE "C"; piece text;
  r int; after boolean := false;
  months text[] := ARRAY['January', 'February', 'March', 'April', 'May', 'June', 'July',
    'August', 'September', 'October', 'November', 'December'];
BEGIN
  n := coalesce(array_length(ch, 1), 0);
  ampm := strpos(p, 'AM/PM') > 0 OR strpos(p, 'am/pm') > 0;
  secs := round((abs(ole - whole) * 86400)::numeric);
  IF secs >= 86400 THEN
    secs := secs - 86400;
    whole := whole + CASE WHEN ole >= 0 THEN 1 ELSE -1 END;
  END IF;
  d := DATE '1899-12-30' + whole::int;
  y := extract(year FROM d); mo := extract(month FROM d); dy := extract(day FROM d);
  h := secs / 3600; mi := secs / 60 % 60; s := secs % 60;
  hr := CASE WHEN NOT ampm THEN h WHEN h % 12 = 0 THEN 12 ELSE h % 12 END;
  WHILE i <= n LOOP
    c := lower(ch[i]);
    r := 1;
    WHILE i + r <= n AND lower(ch[i + r]) = c LOOP r := r + 1; END LOOP;
    IF c = 'y' THEN
      piece := CASE WHEN r >= 4 THEN y::text ELSE lpad((y % 100)::text, 2, '0') END;
    ELSIF c = 'm' AND after THEN
      piece := CASE WHEN r >= 2 THEN lpad(mi::text, 2, '0') ELSE mi::text END;
    ELSIF c = 'm' THEN
      piece := CASE WHEN r >= 4 THEN months[mo] WHEN r = 3 THEN left(months[mo], 3)
                    WHEN r = 2 THEN lpad(mo::text, 2, '0') ELSE mo::text END;
    ELSIF c = 'd' THEN piece := CASE WHEN r >= 2 THEN lpad(dy::text, 2, '0') ELSE dy::text END;
    ELSIF c = 'h' THEN piece := CASE WHEN r >= 2 THEN lpad(hr::text, 2, '0') ELSE hr::text END;
    ELSIF c = 'n' THEN piece := CASE WHEN r >= 2 THEN lpad(mi::text, 2, '0') ELSE mi::text END;
    ELSIF c = 's' THEN piece := CASE WHEN r >= 2 THEN lpad(s::text, 2, '0') ELSE s::text END;
    ELSIF c = 'a' AND array_to_string(ch[i:i + 4], '') = 'AM/PM' THEN
      piece := CASE WHEN h < 12 THEN 'AM' ELSE 'PM' END; r := 5;
    ELSIF c = 'a' AND array_to_string(ch[i:i + 4], '') = 'am/pm' THEN
      piece := CASE WHEN h < 12 THEN 'am' ELSE 'pm' END; r := 5;
    ELSE
      piece := ch[i]; r := 1;
    END IF;
    o := array_append(o, piece);
    after := c = 'h' OR (after AND (c = ':' OR c = ' '));
    i := i + r;
  END LOOP;
  RETURN array_to_string(o, '');
END $jet$;
CREATE OR REPLACE FUNCTION tabrik_jet.jet_format(t text, d double precision, fmt text)
RETURNS text LANGUAGE plpgsql IMMUTABLE AS $jet$
DECLARE f text COLLATE "C" := lower(coalesce(fmt, '')); dot int; decimals int := 0;
BEGIN
  IF f = '' OR f = 'general number' THEN RETURN t; END IF;
  IF f = 'fixed' THEN RETURN tabrik_jet.jet_fixed(d, 2, false); END IF;
  IF f = 'standard' THEN RETURN tabrik_jet.jet_fixed(d, 2, true); END IF;
  IF f = 'percent' THEN RETURN tabrik_jet.jet_fixed(d * 100, 2, false) || '%'; END IF;
  IF f = 'currency' THEN
    RETURN CASE WHEN d < 0 THEN '($' || tabrik_jet.jet_fixed(-d, 2, true) || ')'
                ELSE '$' || tabrik_jet.jet_fixed(d, 2, true) END;
  END IF;
  IF f = 'yes/no' THEN RETURN CASE WHEN d <> 0 THEN 'Yes' ELSE 'No' END; END IF;
  IF f = 'true/false' THEN RETURN CASE WHEN d <> 0 THEN 'True' ELSE 'False' END; END IF;
  IF f = 'on/off' THEN RETURN CASE WHEN d <> 0 THEN 'On' ELSE 'Off' END; END IF;
  IF f IN ('short date', 'medium date', 'long date', 'short time', 'long time')
     OR f ~ '[ymdhns]' THEN
    -- past 12/31/9999 there is no date to show
    IF NOT abs(d) < 2958466 THEN RETURN t; END IF;
    RETURN tabrik_jet.jet_format_date(d, CASE f
      WHEN 'short date' THEN 'm/d/yyyy' WHEN 'medium date' THEN 'dd-mmm-yy'
      WHEN 'long date' THEN 'mmmm d, yyyy' WHEN 'short time' THEN 'hh:nn'
      WHEN 'long time' THEN 'h:nn:ss AM/PM' ELSE fmt END);
  END IF;
  IF f ~ '[0#]' THEN
    dot := strpos(f, '.');
    IF dot > 0 THEN decimals := length(substring(substr(f, dot + 1) FROM '^[0#]*')); END IF;
    RETURN tabrik_jet.jet_fixed(d, decimals, strpos(f, ',') > 0);
  END IF;
  RETURN t;
END $jet$;
CREATE OR REPLACE FUNCTION tabrik_jet.jet_strict_number(t text) RETURNS double precision
LANGUAGE sql IMMUTABLE AS $jet$
  SELECT CASE WHEN t COLLATE "C" ~ '^ *[-+]?([0-9]+[.]?[0-9]*|[.][0-9]+)([eE][-+]?[0-9]+)? *$'
    THEN btrim(t, ' ')::double precision END $jet$;
CREATE OR REPLACE FUNCTION tabrik_jet.jet_date_literal(t text) RETURNS double precision
LANGUAGE plpgsql IMMUTABLE AS $jet$
DECLARE
  ch text[] := string_to_array(t COLLATE "C", NULL); nums bigint[] := '{}'; seps text[] := '{}'; pm boolean := false;
  am boolean := false; i int := 1; n int; c text COLLATE "C"; v bigint; digits int; at int := 1;
  has_date boolean; y bigint; m bigint; dd bigint; sw bigint; hh bigint := 0; mi bigint := 0;
  ss bigint := 0; parts int; k int; days double precision := 0; tm double precision;
BEGIN
  IF t IS NULL THEN RETURN NULL; END IF;
  n := coalesce(array_length(ch, 1), 0);
  WHILE i <= n LOOP
    c := ch[i];
    IF c BETWEEN '0' AND '9' THEN
      v := 0; digits := 0;
      WHILE i <= n AND ch[i] BETWEEN '0' AND '9' LOOP
        digits := digits + 1;
        IF digits > 4 THEN RETURN NULL; END IF;
        v := v * 10 + ascii(ch[i]) - 48; i := i + 1;
      END LOOP;
      nums := nums || v;
      CONTINUE;
    END IF;
    IF c IN ('/', '-', ':') THEN
      IF coalesce(array_length(seps, 1), 0) >= coalesce(array_length(nums, 1), 0) THEN
        RETURN NULL;
      END IF;
      seps := seps || c;
    ELSIF c = ' ' THEN
      IF coalesce(array_length(nums, 1), 0) > 0
         AND coalesce(array_length(seps, 1), 0) < array_length(nums, 1) THEN
        seps := seps || c;
      END IF;
    ELSIF lower(c) IN ('a', 'p') AND i < n AND lower(ch[i + 1]) = 'm' THEN
      IF lower(c) = 'p' THEN pm := true; ELSE am := true; END IF;
      i := i + 1;
    ELSE
      RETURN NULL;
    END IF;
    i := i + 1;
  END LOOP;
  WHILE coalesce(array_length(seps, 1), 0) > 0
        AND array_length(seps, 1) >= coalesce(array_length(nums, 1), 0) LOOP
    IF seps[array_length(seps, 1)] <> ' ' THEN RETURN NULL; END IF;
    seps := seps[1:array_length(seps, 1) - 1];
  END LOOP;
  n := coalesce(array_length(nums, 1), 0);
  has_date := n >= 3 AND seps[1] IN ('/', '-') AND seps[2] = seps[1];
  IF has_date THEN
    IF nums[1] > 31 THEN
      y := nums[1]; m := nums[2]; dd := nums[3];
    ELSE
      m := nums[1]; dd := nums[2]; y := nums[3];
      IF m > 12 AND dd <= 12 THEN sw := m; m := dd; dd := sw; END IF;
      IF y < 30 THEN y := y + 2000; ELSIF y < 100 THEN y := y + 1900; END IF;
    END IF;
    IF m < 1 OR m > 12 OR y < 100 OR y > 9999 OR dd < 1
       OR dd > extract(day FROM make_date(y::int, m::int, 1) + interval '1 month' - interval '1 day')
    THEN
      RETURN NULL;
    END IF;
    days := make_date(y::int, m::int, dd::int) - DATE '1899-12-30';
    at := 4;
    IF at <= n AND seps[3] <> ' ' THEN RETURN NULL; END IF;
  END IF;
  IF at <= n THEN
    parts := n - at + 1;
    IF parts < 2 OR parts > 3 THEN RETURN NULL; END IF;
    FOR k IN at + 1 .. n LOOP
      IF seps[k - 1] <> ':' THEN RETURN NULL; END IF;
    END LOOP;
    hh := nums[at]; mi := nums[at + 1];
    IF parts = 3 THEN ss := nums[at + 2]; END IF;
    IF pm OR am THEN
      IF hh < 1 OR hh > 12 THEN RETURN NULL; END IF;
      hh := hh % 12 + CASE WHEN pm THEN 12 ELSE 0 END;
    END IF;
    IF hh > 23 OR mi > 59 OR ss > 59 THEN RETURN NULL; END IF;
  ELSIF NOT has_date OR pm OR am THEN
    RETURN NULL;
  END IF;
  tm := (hh * 3600 + mi * 60 + ss) / 86400.0;
  -- before 1899 the fraction still counts forward in the day
  RETURN CASE WHEN days >= 0 THEN days + tm ELSE days - tm END;
END $jet$;
CREATE OR REPLACE FUNCTION tabrik_jet.jet_cdate(d double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE AS $jet$
  SELECT CASE WHEN d IS NULL THEN tabrik_jet.jet_fail('Type mismatch')::double precision
    WHEN d >= -657434 AND d < 2958466 THEN d
    ELSE tabrik_jet.jet_fail('Overflow')::double precision END $jet$;
CREATE OR REPLACE FUNCTION tabrik_jet.jet_ccur(d double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE AS $jet$
  SELECT CASE WHEN d IS NULL THEN tabrik_jet.jet_fail('Type mismatch')::double precision
    WHEN abs(d) <= 922337203685477.5807
    THEN (tabrik_jet.jet_round_even(d::numeric * 10000, 0) / 10000)::double precision
    ELSE tabrik_jet.jet_fail('Overflow')::double precision END $jet$;
CREATE OR REPLACE FUNCTION tabrik_jet.jet_first_step(s anyarray, v anyelement) RETURNS anyarray
LANGUAGE sql IMMUTABLE AS $jet$ SELECT CASE WHEN s IS NULL THEN ARRAY[v] ELSE s END $jet$;
CREATE OR REPLACE FUNCTION tabrik_jet.jet_last_step(s anyarray, v anyelement) RETURNS anyarray
LANGUAGE sql IMMUTABLE AS $jet$ SELECT ARRAY[v] $jet$;
CREATE OR REPLACE FUNCTION tabrik_jet.jet_kept(s anyarray) RETURNS anyelement
LANGUAGE sql IMMUTABLE AS $jet$ SELECT s[1] $jet$;
CREATE OR REPLACE AGGREGATE tabrik_jet.first(anyelement) (SFUNC = tabrik_jet.jet_first_step,
  STYPE = anyarray, FINALFUNC = tabrik_jet.jet_kept);
CREATE OR REPLACE AGGREGATE tabrik_jet.last(anyelement) (SFUNC = tabrik_jet.jet_last_step,
  STYPE = anyarray, FINALFUNC = tabrik_jet.jet_kept);
CREATE OR REPLACE AGGREGATE tabrik_jet.stdev(double precision) (SFUNC = float8_accum,
  STYPE = float8[], FINALFUNC = float8_stddev_samp, INITCOND = '{0,0,0}');
CREATE OR REPLACE AGGREGATE tabrik_jet.stdevp(double precision) (SFUNC = float8_accum,
  STYPE = float8[], FINALFUNC = float8_stddev_pop, INITCOND = '{0,0,0}');
CREATE OR REPLACE AGGREGATE tabrik_jet.var(double precision) (SFUNC = float8_accum,
  STYPE = float8[], FINALFUNC = float8_var_samp, INITCOND = '{0,0,0}');
CREATE OR REPLACE AGGREGATE tabrik_jet.varp(double precision) (SFUNC = float8_accum,
  STYPE = float8[], FINALFUNC = float8_var_pop, INITCOND = '{0,0,0}');
)sql";

struct Kind {
  const char* type;
  bool text;
};
const Kind kKinds[] = {{"bigint", false}, {"double precision", false}, {"text", true}};

std::string fn(const std::string& name, const std::string& args, const std::string& result,
               const std::string& body) {
  return "CREATE OR REPLACE FUNCTION tabrik_jet." + name + "(" + args + ") RETURNS " + result +
         " LANGUAGE sql IMMUTABLE AS $jet$ " + body + " $jet$;\n";
}

}  // namespace

bool isServerVbaFunction(const char* lowerName) {
  if (!lowerName) return false;
  for (const char* n : kVbaNames)
    if (std::strcmp(n, lowerName) == 0) return true;
  return false;
}

std::string serverVbaSql() {
  std::string sql = kHelpers;
  const std::string nullFail = "tabrik_jet.jet_fail('Invalid use of Null')";
  for (const Kind& k : kKinds) {
    std::string a = k.type;
    std::string text = k.text ? "$1" : "tabrik_jet.jet_str($1)";
    std::string number = k.text ? "tabrik_jet.jet_num($1)" : "$1::double precision";
    // Format(value [, format]): Null stays Null, a Null format is none.
    sql += fn("format", a + ", text", "text",
              "SELECT CASE WHEN $1 IS NULL THEN NULL ELSE tabrik_jet.jet_format(" + text + ", " +
                  number + ", $2) END");
    sql += fn("format", a, "text", "SELECT tabrik_jet.format($1, NULL::text)");
    // Round as the file's (SQLite's): halves away from zero, a Double either way.
    sql += fn("round", a + ", double precision", "double precision",
              "SELECT round((" + number + ")::numeric, least($2, 1000)::int)::double precision");
    sql += fn("round", a, "double precision",
              "SELECT round((" + number + ")::numeric)::double precision");
    // Text keys as Jet compares them: trailing blanks do not count.
    sql += fn("jet_key", a, a, k.text ? "SELECT rtrim($1, ' ')" : "SELECT $1");
    // CDate and CCur read a text strictly (a date literal, a number, nothing else).
    std::string date = k.text ? "coalesce(tabrik_jet.jet_date_literal($1), "
                                "tabrik_jet.jet_strict_number($1))"
                              : number;
    for (const char* name : {"cdate", "cvdate"})
      sql += fn(name, a, "double precision",
                "SELECT CASE WHEN $1 IS NULL THEN " + nullFail +
                    "::double precision ELSE tabrik_jet.jet_cdate(" + date + ") END");
    std::string amount = k.text ? "tabrik_jet.jet_strict_number($1)" : number;
    sql += fn("ccur", a, "double precision",
              "SELECT CASE WHEN $1 IS NULL THEN " + nullFail +
                  "::double precision ELSE tabrik_jet.jet_ccur(" + amount + ") END");
  }
  // CBool of a text: True, False or a number, nothing else.
  sql += fn("cbool", "text", "bigint",
            "SELECT CASE WHEN $1 IS NULL THEN " + nullFail +
                "::bigint WHEN upper(btrim($1, ' ')) COLLATE \"C\" = 'TRUE' THEN -1 WHEN "
                "upper(btrim($1, ' ')) COLLATE \"C\" = 'FALSE' THEN 0 WHEN "
                "tabrik_jet.jet_strict_number($1) IS NULL THEN tabrik_jet.jet_fail('Type "
                "mismatch')::bigint WHEN tabrik_jet.jet_strict_number($1) <> 0 THEN -1 ELSE 0 END");
  // A date parameter given as text: a date literal or a number becomes the date,
  // anything else stays as given, as a file reads it.
  sql += fn("jet_param_date", "text", "double precision",
            "SELECT coalesce(tabrik_jet.jet_date_literal($1), tabrik_jet.jet_strict_number($1), "
            "tabrik_jet.jet_num($1))");
  return sql;
}

}  // namespace tabrik::dao::jetsql
