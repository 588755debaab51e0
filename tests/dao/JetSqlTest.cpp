// Jet SQL through the engine: each construct as a statement in and rows out, with the
// results Access gives where they are well known; the syntax errors DAO reports; and
// the invariant that a SELECT wrapped in a sub-select returns the same rows.
#include <string>

#include "DaoTestSupport.h"

namespace {

using namespace daotest;

std::string show(const COleVariant& v) { return showValue(v); }
std::string rows(CDaoDatabase& db, const wchar_t* sql) { return snapshotRows(db, sql); }

class JetSql : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Create(dir.database("jet.mdb"));
    makeTable(db, L"People",
              {{L"ID", dbLong, 4},
               {L"Name", dbText, 50},
               {L"Born", dbDate, 8},
               {L"Active", dbBoolean, 1},
               {L"Score", dbDouble, 8},
               {L"Note", dbText, 50, 0, false, /*allowZeroLength=*/true}});
    CDaoRecordset rs(&db);
    rs.Open(dbOpenTable, L"People");
    struct Person {
      long id;
      const wchar_t* name;
      double born;  // OLE date
      bool active;
      double score;
      const wchar_t* note;  // null for Null
    };
    const Person people[] = {
        {1, L"alice", 45356.0 /* 3/5/2024 */, true, 10.5, L"x"},
        {2, L"Bob", 36526.0 /* 1/1/2000 */, false, 7.0, nullptr},
        {3, L"carol", 45356.5 /* 3/5/2024 noon */, true, 2.5, L"y"},
        {4, L"Dave", 1.0 /* 12/31/1899 */, false, -3.5, nullptr},
        {5, L"P9", 0.0, false, 0.0, L"%"},
    };
    for (const Person& p : people) {
      rs.AddNew();
      rs.SetFieldValue(L"ID", COleVariant(p.id));
      rs.SetFieldValue(L"Name", COleVariant(p.name, VT_BSTRT));
      COleVariant born;
      born.vt = VT_DATE;
      born.date = p.born;
      rs.SetFieldValue(L"Born", born);
      rs.SetFieldValue(L"Active", COleVariant(static_cast<short>(p.active ? -1 : 0), VT_BOOL));
      rs.SetFieldValue(L"Score", COleVariant(p.score));
      rs.SetFieldValue(L"Note", p.note ? COleVariant(p.note, VT_BSTRT) : nullValue());
      rs.Update();
    }
  }
  ScratchDir dir;
  CDaoDatabase db;
};

struct Case {
  const char* name;
  const wchar_t* sql;
  const char* expected;
};

TEST_F(JetSql, ConstructsGiveAccessResults) {
  const Case cases[] = {
      // Like under DAO (ANSI-89): * ? # [list] [!list], without regard to case.
      {"star", L"SELECT ID FROM People WHERE Name Like 'a*' ORDER BY ID", "1"},
      {"star is case-blind", L"SELECT ID FROM People WHERE Name Like '*B*' ORDER BY ID", "2"},
      {"question mark", L"SELECT ID FROM People WHERE Name Like '?ob'", "2"},
      {"digit", L"SELECT ID FROM People WHERE Name Like 'P#'", "5"},
      {"list range", L"SELECT ID FROM People WHERE Name Like '[a-c]*' ORDER BY ID", "1;2;3"},
      {"negated list", L"SELECT ID FROM People WHERE Name Like '[!a-c]*' ORDER BY ID", "4;5"},
      {"not like", L"SELECT ID FROM People WHERE Name Not Like '*a*' ORDER BY ID", "2;5"},
      {"percent is literal", L"SELECT ID FROM People WHERE Note Like '%'", "5"},
      {"double-quoted pattern", L"SELECT ID FROM People WHERE Name Like \"d*\"", "4"},
      // #dates# are month/day/year and compare with stored OLE dates.
      {"date literal", L"SELECT ID FROM People WHERE Born = #3/5/2024#", "1"},
      {"iso date", L"SELECT ID FROM People WHERE Born = #2000-01-01#", "2"},
      {"date with time", L"SELECT ID FROM People WHERE Born = #3/5/2024 12:00:00 PM#", "3"},
      {"date range",
       L"SELECT ID FROM People WHERE Born >= #1/1/2000# AND Born < #3/6/2024# ORDER BY ID",
       "1;2;3"},
      {"impossible month read as day", L"SELECT #13/5/2024# = #5/13/2024#", "-1"},
      {"date value", L"SELECT #12/31/1899#", "1"},
      // Yes/No reads back as -1/0; True/Yes and False/No are the same literals.
      {"true", L"SELECT ID FROM People WHERE Active = True ORDER BY ID", "1;3"},
      {"yes", L"SELECT ID FROM People WHERE Active = Yes ORDER BY ID", "1;3"},
      {"false", L"SELECT count(*) FROM People WHERE Active = False", "3"},
      {"no", L"SELECT count(*) FROM People WHERE Active = No", "3"},
      {"true is -1", L"SELECT True, False", "-1|0"},
      // & converts to text; Null & x = x; Null & Null = Null.
      {"concat", L"SELECT Name & '-' & ID FROM People WHERE ID = 1", "alice-1"},
      {"concat null", L"SELECT 'a' & Null", "a"},
      {"concat null null", L"SELECT Null & Null", "Null"},
      {"concat binds looser than +", L"SELECT 1 + 2 & 3", "33"},
      // / divides as floating point; \ and Mod round half to even first.
      // + joins two texts and adds anything else; Null propagates.
      {"plus texts", L"SELECT 'a' + 'b'", "ab"},
      {"plus null", L"SELECT 'a' + Null", "Null"},
      {"plus numbers", L"SELECT 1 + 2, 10 - 2 + 3, 2 * 3 + 1, -1 + +2", "3|11|7|1"},
      {"plus numeric text", L"SELECT 1 + '2'", "3"},
      {"plus field", L"SELECT Score + 1 FROM People WHERE ID + 1 = 3", "8"},
      {"slash", L"SELECT 7/2", "3.5"},
      {"backslash", L"SELECT 7\\2", "3"},
      {"backslash 11 4", L"SELECT 11 \\ 4, -11 \\ 4", "2|-2"},
      {"backslash rounds", L"SELECT 2.5 \\ 1, 3.5 \\ 1", "2|4"},
      {"mod", L"SELECT 10 Mod 3, -7 Mod 3, 7 Mod -3", "1|-1|1"},
      {"mod rounds", L"SELECT 12.6 Mod 5, 12 Mod 4.3, 19 Mod 6.7", "3|0|5"},
      {"mod binds tighter than +", L"SELECT 1 + 10 Mod 3", "2"},
      // TOP n keeps the first rows of the ORDER BY; PERCENT rounds up.
      {"top", L"SELECT TOP 2 ID FROM People ORDER BY Score DESC", "1;2"},
      {"top percent", L"SELECT TOP 50 PERCENT ID FROM People ORDER BY ID", "1;2;3"},
      {"top in sub-select", L"SELECT count(*) FROM (SELECT TOP 3 ID FROM People ORDER BY ID)", "3"},
      {"distinctrow", L"SELECT DISTINCTROW ID FROM People WHERE ID < 3 ORDER BY ID", "1;2"},
      // Bracketed names and double-quoted strings.
      {"bracketed", L"SELECT [Name] FROM [People] WHERE [ID] = 2", "Bob"},
      {"double quotes", L"SELECT ID FROM People WHERE Name = \"bob\"", "2"},
      {"doubled quote", L"SELECT \"say \"\"hi\"\"\"", "say \"hi\""},
      // Text compares and sorts without regard to case.
      {"equal ignores case", L"SELECT ID FROM People WHERE Name = 'ALICE'", "1"},
      {"literals compare like Jet", L"SELECT count(*) FROM People WHERE 'abc' = 'ABC'", "5"},
      {"order by ignores case", L"SELECT Name FROM People WHERE ID < 5 ORDER BY Name",
       "alice;Bob;carol;Dave"},
      {"order by expression", L"SELECT Name FROM People WHERE ID < 5 ORDER BY LCase(Name) DESC",
       "Dave;carol;Bob;alice"},
      // VBA functions.
      {"iif", L"SELECT IIf(Score > 5, 'high', 'low') FROM People WHERE ID IN (1, 3) ORDER BY ID",
       "high;low"},
      {"iif null is false", L"SELECT IIf(Null, 1, 2)", "2"},
      {"nz", L"SELECT Nz(Note, 'none') FROM People WHERE ID IN (1, 2) ORDER BY ID", "x;none"},
      {"left right", L"SELECT Left('hello', 2), Right('hello', 3)", "he|llo"},
      {"mid", L"SELECT Mid('hello', 2, 3), Mid('hello', 9), Mid('hello', 3)", "ell||llo"},
      {"null in null out", L"SELECT Left(Null, 2)", "Null"},
      {"len", L"SELECT Len('hello'), Len('')", "5|0"},
      {"case", L"SELECT UCase('abc'), LCase('ABC')", "ABC|abc"},
      {"trims", L"SELECT '[' & Trim('  a  ') & ']' & LTrim('  b ') & ']' & RTrim(' c  ') & ']'",
       "[a]b ] c]"},
      {"instr", L"SELECT InStr('abcABC', 'B'), InStr(4, 'abcabc', 'b'), InStr('abc', 'z')",
       "2|5|0"},
      {"val", L"SELECT Val('    1615 198th Street N.E.'), Val('&HFFFF'), Val('2.5x')",
       "1615198|-1|2.5"},
      {"cstr", L"SELECT CStr(12) & CStr(2.5)", "122.5"},
      {"cint rounds half even", L"SELECT CInt(0.5), CInt(1.5), CInt(2.5), CLng(-2.5)", "0|2|2|-2"},
      {"cdbl", L"SELECT CDbl('2.25') * 2", "4.5"},
      {"format date", L"SELECT Format(#3/5/2024 2:07:09 PM#, 'yyyy-mm-dd hh:nn:ss')",
       "2024-03-05 14:07:09"},
      {"format short date", L"SELECT Format(#3/5/2024#, 'Short Date')", "3/5/2024"},
      {"format numbers",
       L"SELECT Format(1234.5, 'Standard'), Format(1234.5, '0.000'), Format(0.25, 'Percent')",
       "1,234.50|1234.500|25.00%"},
      {"format currency", L"SELECT Format(-1234.5, 'Currency')", "($1,234.50)"},
      {"format yes no", L"SELECT Format(Active, 'Yes/No') FROM People WHERE ID < 3 ORDER BY ID",
       "Yes;No"},
      {"date is today", L"SELECT Date() = Int(Now())", "-1"},
      {"date has no time", L"SELECT Date() = Int(Date())", "-1"},
      // Between takes its bounds in either order.
      {"between", L"SELECT ID FROM People WHERE Score Between 2.5 And 7 ORDER BY ID", "2;3"},
      {"between swapped", L"SELECT ID FROM People WHERE Score Between 7 And 2.5 ORDER BY ID",
       "2;3"},
      {"5 between 10 and 1", L"SELECT 5 Between 10 And 1", "-1"},
      {"not between", L"SELECT ID FROM People WHERE ID Not Between 2 And 4 ORDER BY ID", "1;5"},
      {"between text", L"SELECT ID FROM People WHERE Name Between 'B' And 'CAROL' ORDER BY ID",
       "2;3"},
      {"between dates",
       L"SELECT ID FROM People WHERE Born Between #3/6/2024# And #1/1/2000# ORDER BY ID", "1;2;3"},
      {"trailing semicolon", L"SELECT ID FROM People WHERE ID = 4;", "4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string got;
    long err = daoError([&] { got = rows(db, c.sql); });
    EXPECT_EQ(err, 0);
    EXPECT_EQ(got, c.expected);
  }
}

TEST_F(JetSql, ActionStatementsAreJetSqlToo) {
  db.Execute(L"UPDATE People SET Note = Name & '!' WHERE Name Like '[ab]*'");
  EXPECT_EQ(db.GetRecordsAffected(), 2);
  EXPECT_EQ(rows(db, L"SELECT Note FROM People WHERE Note Like '*!' ORDER BY ID"), "alice!;Bob!");
  db.Execute(L"INSERT INTO People (ID, Name, Born, Active) VALUES (6, \"Eve\", #12/25/2023#, Yes)");
  EXPECT_EQ(rows(db, L"SELECT Born, Active FROM People WHERE ID = 6"), "45285|-1");
  db.Execute(L"DELETE FROM People WHERE Born < #1/1/1900#");
  EXPECT_EQ(db.GetRecordsAffected(), 2);  // 12/31/1899 and 12/30/1899
}

// What Jet's DELETE names before FROM changes nothing: whole records go.
TEST_F(JetSql, DeleteNamesWhatItDeletesBeforeFrom) {
  struct Case {
    const wchar_t* sql;
    long deleted;
  };
  const Case cases[] = {
      {L"DELETE * FROM People WHERE ID = 6", 0},
      {L"DELETE People.* FROM People WHERE Name = 'Bob'", 1},
      {L"DELETE Name, Score FROM People WHERE Name Like 'a*'", 1},
      {L"delete * from People", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.deleted);
    EXPECT_EQ(daoError([&] { db.Execute(c.sql); }), 0);
    EXPECT_EQ(db.GetRecordsAffected(), c.deleted);
  }
  EXPECT_EQ(rows(db, L"SELECT count(*) FROM People"), "0");
}

TEST_F(JetSql, StoredQueriesDeclareParametersByName) {
  CDaoQueryDef q(&db);
  q.Create(L"ByScore",
           L"PARAMETERS [Low score] Double, High Double; "
           L"SELECT ID FROM People WHERE Score >= [Low score] AND Score <= High ORDER BY ID");
  q.Append();
  ASSERT_EQ(q.GetParameterCount(), 2);
  q.SetParamValue(L"Low score", COleVariant(2.0));
  q.SetParamValue(L"HIGH", COleVariant(8.0));
  CDaoRecordset rs(&db);
  rs.Open(&q, dbOpenSnapshot);
  std::string got;
  while (!rs.IsEOF()) {
    got += show(rs.GetFieldValue(0)) + ";";
    rs.MoveNext();
  }
  EXPECT_EQ(got, "2;3;");
}

TEST_F(JetSql, UnreadableStatementsFailWithDaoSyntaxErrors) {
  const struct {
    const char* name;
    const wchar_t* sql;
    long code;
    const wchar_t* text;  // null: not checked
  } cases[] = {
      {"unterminated string", L"SELECT ID FROM People WHERE Name = 'abc", 3075,
       L"Syntax error in string in query expression ''abc'."},
      {"bad date", L"SELECT ID FROM People WHERE Born = #13/45/2024#", 3075,
       L"Syntax error in date in query expression '#13/45/2024#'."},
      {"unterminated date", L"SELECT #1/2/2024", 3075,
       L"Syntax error in date in query expression '#1/2/2024'."},
      {"missing operator", L"SELECT a b c FROM People", 3075,
       L"Syntax error (missing operator) in query expression 'a b c'."},
      {"from clause", L"SELECT ID FROM People People People", 3131,
       L"Syntax error in FROM clause."},
      {"insert", L"INSERT INTO People (ID VALUES (1)", 3134,
       L"Syntax error in INSERT INTO statement."},
      {"update", L"UPDATE People SET WHERE ID = 1", 3144, L"Syntax error in UPDATE statement."},
      {"after the end", L"SELECT ID FROM People; SELECT 1", 3142,
       L"Characters found after end of SQL statement."},
      {"unbalanced", L"SELECT (ID FROM People", 3075, nullptr},
      {"operator without operand", L"SELECT 1 & FROM People", 3075, nullptr},
      {"not a statement", L"SELEKT 1", 3129, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CString msg;
    long viaSnapshot = daoError(
        [&] {
          CDaoRecordset rs(&db);
          rs.Open(dbOpenSnapshot, c.sql);
        },
        &msg);
    long viaExecute = daoError([&] { db.Execute(c.sql); });
    bool isSelect = std::wstring(c.sql).rfind(L"SELECT", 0) == 0;
    EXPECT_EQ(viaExecute, c.code);
    if (isSelect) {
      EXPECT_EQ(viaSnapshot, c.code);
      if (c.text) {
        EXPECT_STREQ(msg, c.text);
      }
    } else if (c.text) {
      CString execMsg;
      daoError([&] { db.Execute(c.sql); }, &execMsg);
      EXPECT_STREQ(execMsg, c.text);
    }
  }
}

// Wrapping a SELECT in `SELECT * FROM (...)` must not change its rows: the rewriting
// of an inner statement is the same as of an outer one.
TEST_F(JetSql, ASubSelectGivesTheSameRows) {
  const wchar_t* statements[] = {
      L"SELECT ID, Name & '/' & ID AS Tag FROM People WHERE Name Like '*a*' ORDER BY Name",
      L"SELECT ID, 17 \\ ID AS Q, 17 Mod ID AS R FROM People ORDER BY ID",
      L"SELECT TOP 2 Name FROM People ORDER BY Score",
      L"SELECT ID, IIf(Active, 'on', 'off') AS S FROM People WHERE Born > #1/1/1900# ORDER BY ID",
      L"SELECT Name FROM People WHERE Name = 'BOB' OR Name = 'DAVE' ORDER BY Name DESC",
      L"SELECT Format(Born, 'yyyy-mm-dd') AS D, ID FROM People ORDER BY ID",
  };
  for (std::size_t i = 0; i < std::size(statements); ++i) {
    const wchar_t* sql = statements[i];
    SCOPED_TRACE(::testing::Message() << "statement " << i);
    std::string plain = rows(db, sql);
    std::string wrapped = rows(db, (std::wstring(L"SELECT * FROM (") + sql + L")").c_str());
    EXPECT_FALSE(plain.empty());
    EXPECT_EQ(wrapped, plain);
  }
}

// Jet's Like truth table (case-insensitive; % is an ordinary character under DAO).
TEST_F(JetSql, LikeFollowsJetsTruthTable) {
  const struct {
    const wchar_t* text;
    const wchar_t* pattern;
    bool matches;
  } cases[] = {
      {L"aa", L"a*a", true},          {L"aBa", L"a*a", true},
      {L"aBBBa", L"a*a", true},       {L"aBC", L"a*a", false},
      {L"abc", L"*ab*", true},        {L"AABB", L"*ab*", true},
      {L"Xab", L"*ab*", true},        {L"aZb", L"*ab*", false},
      {L"bac", L"*ab*", false},       {L"a*a", L"a[*]a", true},
      {L"aaa", L"a[*]a", false},      {L"abcdefg", L"ab*", true},
      {L"cab", L"ab*", false},        {L"aab", L"ab*", false},
      {L"a3a", L"a?a", true},         {L"aBBBa", L"a?a", false},
      {L"a0a", L"a#a", true},         {L"aaa", L"a#a", false},
      {L"a10a", L"a#a", false},       {L"f", L"[a-z]", true},
      {L"2", L"[a-z]", false},        {L"&", L"[a-z]", false},
      {L"9", L"[!a-z]", true},        {L"%", L"[!a-z]", true},
      {L"b", L"[!a-z]", false},       {L"~", L"[!0-9]", true},
      {L"0", L"[!0-9]", false},       {L"An9", L"a[!b-m]#", true},
      {L"az0", L"a[!b-m]#", true},    {L"abc", L"a[!b-m]#", false},
      {L"aj0", L"a[!b-m]#", false},   {L"A Bad One  ", L"A Bad One", false},
      {L"x%y", L"x%y", true},         {L"xzzy", L"x%y", false},
      {L"PB123", L"P[A-F]###", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "pattern " << (&c - cases));
    std::wstring sql = std::wstring(L"SELECT count(*) FROM People WHERE ID = 1 AND '") + c.text +
                       L"' Like '" + c.pattern + L"'";
    EXPECT_EQ(rows(db, sql.c_str()), c.matches ? "1" : "0");
  }
  // '=' forgives trailing blanks where Like does not.
  EXPECT_EQ(rows(db, L"SELECT count(*) FROM People WHERE ID = 1 AND 'A Bad One  ' = 'A Bad One'"),
            "1");
}

// Any statement, however broken, fails with a DAO error or runs: never a crash, never
// an exception of another kind.
TEST_F(JetSql, ArbitraryStatementsFailCleanly) {
  const wchar_t* pieces[] = {
      L"SELECT", L"TOP",  L"5",          L"PERCENT",    L"*",           L"FROM",   L"People",
      L"WHERE",  L"Name", L"Like",       L"'a*'",       L"&",           L"\\",     L"Mod",
      L"(",      L")",    L",",          L"#1/2/2024#", L"#",           L"[",      L"]",
      L"\"",     L"'",    L"Not",        L"ORDER",      L"BY",          L"=",      L"IIf",
      L"Left",   L";",    L"PARAMETERS", L"CREATE",     L"TABLE",       L"INDEX",  L"ON",
      L"ALTER",  L"DROP", L"TEXT",       L"(255)",      L"DISTINCTROW", L"Format", L"1e999",
      L"CInt",   L"-",    L"/",          L"Null",       L"True",        L"CASE"};
  unsigned seed = 12345;
  for (int round = 0; round < 400; ++round) {
    std::wstring sql;
    int n = 1 + static_cast<int>(seed % 12);
    for (int k = 0; k < n; ++k) {
      seed = seed * 1103515245u + 12345u;
      sql += pieces[(seed >> 8) % std::size(pieces)];
      sql += L' ';
    }
    SCOPED_TRACE(::testing::Message() << "round " << round);
    try {
      CDaoRecordset rs(&db);
      rs.Open(dbOpenSnapshot, sql.c_str());
    } catch (CDaoException* e) {
      e->Delete();
    }
    try {
      db.Execute(sql.c_str());
    } catch (CDaoException* e) {
      e->Delete();
    }
  }
  EXPECT_EQ(rows(db, L"SELECT count(*) FROM People WHERE ID <= 5"), "5");
}

// Output columns that are neither fields nor aliased are named Expr1000, Expr1001, ...
TEST_F(JetSql, ExpressionColumnsAreNamedAsJetNamesThem) {
  CDaoRecordset rs(&db);
  rs.Open(dbOpenSnapshot,
          L"SELECT ID, Name & '!', People.Score, Len(Name) AS L, count(*) FROM People GROUP BY ID, "
          L"Name, Score");
  const wchar_t* expected[] = {L"ID", L"Expr1000", L"Score", L"L", L"Expr1001"};
  ASSERT_EQ(rs.GetFieldCount(), 5);
  for (short i = 0; i < 5; ++i) {
    SCOPED_TRACE(::testing::Message() << "column " << i);
    CDaoFieldInfo info;
    rs.GetFieldInfo(i, info);
    EXPECT_STREQ(info.m_strName, expected[i]);
  }
  EXPECT_STREQ(text(rs.GetFieldValue(L"Expr1000")), L"alice!");
}

}  // namespace
