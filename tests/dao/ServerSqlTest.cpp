// A caller's Jet SQL on a server database computes what it computes on a file: each
// statement runs on both back ends, with the same table and records, and the rows
// must be the same. The translation into the server's dialect is checked for the
// constructs the server reads differently from SQLite.
#include "DaoTestSupport.h"

#include "jetsql/JetTranslator.h"

using namespace daotest;

namespace {

std::string narrow(const wchar_t* s) {
  std::string out;
  for (; *s; ++s) out += *s < 128 ? static_cast<char>(*s) : '?';
  return out;
}

// The rows, or the DAO error that reading them gave.
std::string rowsOrError(CDaoDatabase& db, const wchar_t* sql) {
  std::string rows;
  long code = daoError([&] { rows = snapshotRows(db, sql); });
  return code ? "error " + std::to_string(code) : rows;
}

// Each statement's rows on the server are the file's, and the file gives rows.
void expectSameRows(CDaoDatabase& onFile, CDaoDatabase& onServer,
                    const std::vector<const wchar_t*>& statements) {
  for (const wchar_t* sql : statements) {
    SCOPED_TRACE(narrow(sql));
    std::string file = rowsOrError(onFile, sql), server = rowsOrError(onServer, sql);
    EXPECT_FALSE(file.empty());
    EXPECT_EQ(file.rfind("error", 0), std::string::npos) << file;
    EXPECT_EQ(server, file);
  }
}

// Each statement fails as a snapshot, and gives the same DAO error (or none) on both
// back ends, opened as a snapshot and executed; executed it fails too when
// `executeFails`.
void expectSameErrors(CDaoDatabase& onFile, CDaoDatabase& onServer, bool executeFails,
                      const std::vector<const wchar_t*>& statements) {
  for (const wchar_t* sql : statements) {
    SCOPED_TRACE(narrow(sql));
    long file = daoError([&] { snapshotRows(onFile, sql); });
    long server = daoError([&] { snapshotRows(onServer, sql); });
    long fileExec = daoError([&] { onFile.Execute(sql); });
    long serverExec = daoError([&] { onServer.Execute(sql); });
    EXPECT_NE(file, 0);
    if (executeFails) {
      EXPECT_NE(fileExec, 0);
    }
    EXPECT_EQ(server, file);
    EXPECT_EQ(serverExec, fileExec);
  }
}

// Two databases with the same table: one file, one on the test server.
class ServerSql : public testing::Test {
 protected:
  void SetUp() override {
    if (!engineServer())
      GTEST_SKIP() << "TABRIK_TEST_PG_ENGINE and TABRIK_TEST_PG are not set: no test server";
    onFile.Create(dir.file("same.mdb"));
    onServer.Create(dir.database("same.mdb"));
    for (CDaoDatabase* db : {&onFile, &onServer}) {
      makeTable(*db, L"Parts",
                {{L"ID", dbLong, 4},
                 {L"Name", dbText, 40},
                 {L"Qty", dbLong, 4},
                 {L"Price", dbDouble, 8},
                 {L"Made", dbDate, 8},
                 {L"Stocked", dbBoolean, 1}});
      db->Execute(
          L"INSERT INTO Parts VALUES (1, 'bolt', 10, 0.25, #3/5/2024#, True), "
          L"(2, 'Nut', 0, 0.1, #1/1/2000 12:00#, False), "
          L"(3, 'washer', 7, 1.5, #12/31/1999#, True), "
          L"(4, Null, Null, Null, Null, False), "
          L"(5, 'ÉCROU', 3, -2.5, #7/4/1976#, True)");
    }
  }
  ScratchDir dir;
  CDaoDatabase onFile, onServer;
};

TEST_F(ServerSql, StatementsGiveTheSameRowsOnBothBackEnds) {
  expectSameRows(
      onFile, onServer,
      {
          // names without regard to case, *, ordering with Nulls first going up
          L"SELECT * FROM Parts ORDER BY ID",
          L"select name, qty from parts order by NAME",
          L"SELECT Name FROM Parts ORDER BY Name DESC",
          L"SELECT p.* FROM Parts AS p WHERE p.ID < 3 ORDER BY p.ID",
          // text compared as Jet compares it
          L"SELECT ID FROM Parts WHERE Name = 'NUT'",
          L"SELECT ID FROM Parts WHERE Name > 'm' ORDER BY ID",
          L"SELECT count(*) FROM Parts WHERE 'abc' = 'ABC'",
          // Like's wildcards
          L"SELECT ID FROM Parts WHERE Name Like 'b*' OR Name Like '?ut' ORDER BY ID",
          L"SELECT ID FROM Parts WHERE Name Like '[a-c]*' ORDER BY ID",
          L"SELECT ID FROM Parts WHERE Name Not Like '*o*' ORDER BY ID",
          L"SELECT ID FROM Parts WHERE Name Like '*[!aeiou]' ORDER BY ID",
          L"SELECT count(*) FROM Parts WHERE 'P9' Like 'P#' AND 'a.b' Like 'a.b' AND 'axb' Like "
          L"'a.b'",
          // operators, truth values, dates
          L"SELECT ID, Qty + 1, Price * 2, Name & '/' & ID, Qty \\ 3, Qty Mod 3 FROM Parts ORDER "
          L"BY ID",
          L"SELECT ID, Qty > 5, Stocked, Not Stocked FROM Parts ORDER BY ID",
          L"SELECT ID FROM Parts WHERE Stocked = True AND Made > #1/1/1990# ORDER BY ID",
          L"SELECT ID FROM Parts WHERE Made Between #1/1/2000# And #1/1/1999# ORDER BY ID",
          L"SELECT ID FROM Parts WHERE Qty Between 10 And 3 ORDER BY ID",
          L"SELECT ID FROM Parts WHERE Name Is Null OR ID In (2, 3) ORDER BY ID",
          L"SELECT ID, IIf(Qty > 5, 'many', 'few') AS Amount FROM Parts ORDER BY ID",
          // the VBA functions
          L"SELECT Left(Name, 2), Right(Name, 2), Mid(Name, 2, 2), Mid(Name, 3), Len(Name) FROM "
          L"Parts "
          L"ORDER BY ID",
          L"SELECT UCase(Name), LCase(Name), Trim('  x  '), LTrim('  x'), RTrim('x  ') FROM Parts "
          L"ORDER BY ID",
          L"SELECT InStr(Name, 'T'), InStr(2, 'abcabc', 'B'), InStr('abc', '') FROM Parts ORDER BY "
          L"ID",
          L"SELECT Nz(Qty, -1), Nz(Name, '?'), Val('  12 3abc'), CStr(ID) FROM Parts "
          L"ORDER BY ID",
          L"SELECT CInt(2.5), CInt(3.5), CLng(-2.5), CDbl('1.25'), Int(-2.5), Fix(-2.5), "
          L"Int(Price), "
          L"Fix(Price) FROM Parts ORDER BY ID",
          // aggregates, grouping, DISTINCT, TOP, sub-selects, joins
          L"SELECT Stocked, count(*), sum(Qty), min(Name), max(Price), avg(Qty) FROM Parts "
          L"GROUP BY Stocked HAVING count(*) > 1 ORDER BY Stocked",
          L"SELECT DISTINCT Stocked FROM Parts ORDER BY Stocked",
          L"SELECT TOP 2 Name FROM Parts ORDER BY Qty DESC",
          L"SELECT TOP 40 PERCENT ID FROM Parts ORDER BY ID",
          L"SELECT ID FROM Parts WHERE ID < 3 UNION SELECT ID FROM Parts AS q WHERE ID > 3 ORDER "
          L"BY 1",
          L"SELECT * FROM (SELECT ID, Name FROM Parts WHERE Qty > 0) ORDER BY ID",
          L"SELECT a.ID, b.ID FROM Parts AS a INNER JOIN Parts AS b ON a.Qty = b.ID ORDER BY a.ID",
          L"SELECT a.ID, b.Name FROM Parts AS a LEFT JOIN Parts AS b ON a.Qty = b.ID ORDER BY a.ID",
          L"SELECT ID FROM Parts WHERE Qty = (SELECT max(Qty) FROM Parts)",
          L"SELECT ID FROM Parts WHERE EXISTS (SELECT * FROM Parts AS q WHERE q.ID = Parts.Qty) "
          L"ORDER BY ID",
      });
}

TEST_F(ServerSql, ActionStatementsChangeTheSameRecords) {
  const wchar_t* actions[] = {
      L"UPDATE Parts SET Qty = Qty + 1, Name = UCase(Name) WHERE Stocked",
      L"DELETE FROM Parts WHERE Name Like 'n*'",
      L"INSERT INTO Parts (ID, Name, Made) VALUES (9, 'pin' & 'ion', #2/29/2024 6:00#)",
      L"INSERT INTO Parts (ID, Name, Qty) SELECT ID + 10, Name, Qty * 2 FROM Parts WHERE ID < 4",
      L"UPDATE Parts SET Stocked = (Qty > 10)",
  };
  for (const wchar_t* sql : actions) {
    SCOPED_TRACE(narrow(sql));
    ASSERT_EQ(daoError([&] { onFile.Execute(sql); }), 0);
    ASSERT_EQ(daoError([&] { onServer.Execute(sql); }), 0);
    EXPECT_EQ(onServer.GetRecordsAffected(), onFile.GetRecordsAffected());
    EXPECT_EQ(rowsOrError(onServer, L"SELECT * FROM Parts ORDER BY ID"),
              rowsOrError(onFile, L"SELECT * FROM Parts ORDER BY ID"));
  }
}

TEST_F(ServerSql, QueryParametersBindAlikeOnBothBackEnds) {
  struct Case {
    const wchar_t* sql;
    std::vector<std::pair<const wchar_t*, long>> named;  // empty name: by position
  };
  const Case cases[] = {
      {L"PARAMETERS [Low] Long, [High] Long; SELECT ID FROM Parts WHERE ID >= [Low] AND ID <= "
       L"[High] AND Qty > [low] ORDER BY ID",
       {{L"Low", 2}, {L"High", 5}}},
      {L"SELECT ID FROM Parts WHERE ID > ? AND Qty < ? ORDER BY ID", {{nullptr, 1}, {nullptr, 9}}},
      {L"PARAMETERS [Which] Long, NewQty Long; UPDATE Parts SET Qty = [NewQty] WHERE ID = [Which]",
       {{L"Which", 3}, {L"NewQty", 42}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(narrow(c.sql));
    std::string results[2];
    CDaoDatabase* dbs[] = {&onFile, &onServer};
    for (int b = 0; b < 2; ++b) {
      CDaoQueryDef q(dbs[b]);
      q.Create(nullptr, c.sql);
      ASSERT_EQ(q.GetParameterCount(), static_cast<short>(c.named.size()));
      for (std::size_t i = 0; i < c.named.size(); ++i) {
        if (c.named[i].first)
          q.SetParamValue(c.named[i].first, COleVariant(c.named[i].second));
        else
          q.SetParamValue(static_cast<int>(i), COleVariant(c.named[i].second));
      }
      if (q.GetReturnsRecords()) {
        CDaoRecordset rs(dbs[b]);
        rs.Open(&q, dbOpenSnapshot);
        for (; !rs.IsEOF(); rs.MoveNext()) results[b] += showValue(rs.GetFieldValue(0)) + ";";
      } else {
        q.Execute();
        results[b] = snapshotRows(*dbs[b], L"SELECT ID, Qty FROM Parts ORDER BY ID");
      }
    }
    EXPECT_FALSE(results[0].empty());
    EXPECT_EQ(results[1], results[0]);
  }
}

TEST_F(ServerSql, ErrorsAreDaosOnBothBackEnds) {
  expectSameErrors(
      onFile, onServer, /*executeFails=*/false,
      {
          L"SELECT ID FROM Nowhere",
          L"SELECT ID FROM Parts WHERE",
          L"SELECT a b c FROM Parts",
          L"UPDATE Parts SET WHERE ID = 1",
          L"INSERT INTO Parts (ID VALUES (1)",
          L"SELECT NoSuchFunction(ID) FROM Parts",
          // The server's own functions are not Jet's: a caller may not reach them.
          L"SELECT version() FROM Parts",
          L"SELECT pg_sleep(0) FROM Parts",
          L"SELECT current_setting('search_path') FROM Parts",
          L"SELECT ID FROM Parts WHERE set_config('search_path', 'public', false) = 'public'",
          L"SELECT Left(Name, -1) FROM Parts",
          L"INSERT INTO Parts (ID, Name) VALUES (6, 'this name is longer than forty characters, "
          L"so')",
          L"DROP DATABASE x",
      });
}

TEST_F(ServerSql, FormatGivesTheFilesText) {
  expectSameRows(
      onFile, onServer,
      {
          L"SELECT Format(Made, 'Short Date'), Format(Made, 'Medium Date'), Format(Made, 'Long "
          L"Date'), Format(Made, 'Short Time'), Format(Made, 'Long Time') FROM Parts ORDER BY ID",
          L"SELECT Format(Made, 'yyyy-mm-dd hh:nn:ss'), Format(Made, 'd/m/yy h:n:s AM/PM'), "
          L"Format(Made, 'mmmm mmm mm m dddd'), Format(Made, 'hh:mm am/pm') FROM Parts ORDER BY ID",
          L"SELECT Format(Price, 'Fixed'), Format(Price, 'Standard'), Format(Price, 'Percent'), "
          L"Format(Price, 'Currency'), Format(Qty * 1000.5, '#,##0.00'), Format(Price, '0.000') "
          L"FROM Parts ORDER BY ID",
          L"SELECT Format(Stocked, 'Yes/No'), Format(Stocked, 'True/False'), Format(Qty, "
          L"'On/Off'), Format(Price), Format(Name, 'General Number'), Format(ID, Null) FROM Parts "
          L"ORDER BY ID",
          // numbers round half to even at the last place, a negative zero has no sign
          L"SELECT Format(0.125, '0.00'), Format(-0.004, '0.00'), Format(1234567.891, '#,##0'), "
          L"Format(1e20, 'Standard'), Format('12.5', 'Fixed'), Format(3e6, 'Long Date')",
          L"SELECT ID FROM Parts WHERE Format(Made, 'yyyy') = '2024'",
      });
}

TEST_F(ServerSql, ConversionsAndAggregatesGiveTheFilesValues) {
  expectSameRows(
      onFile, onServer,
      {
          L"SELECT CDate('3/5/2024'), CDate('2024-03-05 18:30'), CDate('6:15 PM'), "
          L"CDate('13/1/2020'), CDate(Price) FROM Parts WHERE ID <> 4 ORDER BY ID",
          L"SELECT CCur(Price * 1.00005), CCur('2.5'), CBool('True'), CBool(' 0 '), "
          L"Val('&H7FFF'), Val('&o17x'), Val(Name), Val(Name & '12') FROM Parts WHERE ID <> 4 "
          L"ORDER BY ID",
          L"SELECT Round(StDev(Price), 6), Round(VarP(Qty), 6), First(Name), Last(ID), "
          L"Round(2.345, 2) FROM Parts",
          L"SELECT (Qty > 1) And (Price > 0), CASE WHEN Stocked THEN 1 ELSE 2 END FROM Parts "
          L"ORDER BY ID",
          L"SELECT ID, Not Stocked Or Qty > 5, IIf(Stocked And Qty, 'y', 'n') FROM Parts WHERE "
          L"Not Stocked And ID > 1 Or Not (ID < 5) ORDER BY ID",
      });
  // Long arguments: each function reads a text once, as the file's do.
  const std::wstring picture(100000, L'y'), digits(100000, L'F'), blanks(100000, L' ');
  const std::wstring longOnes = L"SELECT Len(Format(Made, '" + picture + L"')), Val('&H" + digits +
                                L"'), CDate('" + blanks + L"1/2/2020') FROM Parts WHERE ID = 1";
  expectSameRows(onFile, onServer, {longOnes.c_str()});
  for (const wchar_t* sql : {L"SELECT CDate('soon')", L"SELECT CCur('x1')", L"SELECT CBool('x')",
                             L"SELECT CDate(Null)", L"SELECT CCur(1e300)"}) {
    SCOPED_TRACE(narrow(sql));
    long file = daoError([&] { snapshotRows(onFile, sql); });
    EXPECT_NE(file, 0);
    EXPECT_EQ(daoError([&] { snapshotRows(onServer, sql); }), file);
  }
}

// Jet does not count trailing blanks when it compares text; the server's collation does,
// so the translation drops them.
TEST_F(ServerSql, TrailingBlanksDoNotCountInComparisons) {
  for (CDaoDatabase* db : {&onFile, &onServer}) {
    db->Execute(
        L"INSERT INTO Parts (ID, Name, Qty) VALUES (6, 'Bolt  ', 1), (7, 'nut ', 2), (8, 'bolt _', "
        L"3), (9, 'BOLT      ', 4)");
    db->Execute(L"UPDATE Parts SET Qty = 5 WHERE Name = 'NUT   '");
  }
  expectSameRows(onFile, onServer,
                 {
                     L"SELECT ID, Qty FROM Parts WHERE Name = 'bolt' ORDER BY ID",
                     L"SELECT ID FROM Parts WHERE 'nut' = Name ORDER BY ID",
                     L"SELECT ID FROM Parts WHERE Name <> 'BOLT ' ORDER BY ID",
                     L"SELECT ID FROM Parts WHERE Name >= 'nut  ' AND Name < 'nutz' ORDER BY ID",
                     L"SELECT ID, Name = 'Bolt' FROM Parts ORDER BY ID",
                     L"SELECT count(*) FROM Parts WHERE 'ab  ' = 'AB' AND NOT 'a ' <> 'a'",
                     L"SELECT ID, Len(Name) FROM Parts WHERE ID > 5 ORDER BY ID",
                     L"SELECT ID FROM Parts WHERE Name IN ('bolt', 'x ') ORDER BY ID",
                     L"SELECT ID FROM Parts WHERE Name NOT IN ('BOLT', 'nut  ') ORDER BY ID",
                     L"SELECT ID FROM Parts WHERE Name Between 'bolt  ' And 'Bolt' ORDER BY ID",
                 });
}

// A stored select query stands where a table may, on a server as in a file, and what
// it reads follows changes to the query and to its tables.
TEST_F(ServerSql, StoredQueriesReadAsTables) {
  for (CDaoDatabase* db : {&onFile, &onServer}) {
    CDaoQueryDef stocked(db);
    stocked.Create(L"Stocked Parts", L"SELECT ID, Name, Qty FROM Parts WHERE Stocked");
    stocked.Append();
    CDaoQueryDef many(db);
    many.Create(L"Many", L"SELECT * FROM [stocked parts] WHERE Qty > 5");
    many.Append();
    CDaoQueryDef asking(db);
    asking.Create(L"Asking", L"PARAMETERS [Least] Long; SELECT ID FROM Parts WHERE Qty > [Least]");
    asking.Append();
    CDaoQueryDef circle(db);
    circle.Create(L"Circle", L"SELECT ID FROM Circle");
    circle.Append();
  }
  const auto same = [&] {
    expectSameRows(
        onFile, onServer,
        {
            L"SELECT * FROM [Stocked Parts] ORDER BY ID",
            L"SELECT s.Name, p.Price FROM [STOCKED PARTS] AS s INNER JOIN Parts AS p ON s.ID = "
            L"p.ID ORDER BY s.ID",
            L"SELECT count(*) FROM Many",
            L"SELECT ID FROM Parts WHERE ID IN (SELECT ID FROM Many) ORDER BY ID",
            L"SELECT TOP 1 Name FROM [Stocked Parts] ORDER BY Qty",
        });
  };
  same();
  for (CDaoDatabase* db : {&onFile, &onServer}) {
    CDaoQueryDef stocked(db);
    stocked.Open(L"Stocked Parts");
    stocked.SetSQL(L"SELECT ID, Name, Qty FROM Parts WHERE Qty > 0");
  }
  same();
  for (CDaoDatabase* db : {&onFile, &onServer})
    db->Execute(L"UPDATE Parts SET Qty = 20 WHERE ID = 5");
  same();
  // A query with parameters has no rows to read as a table, nor one that reads itself;
  // a deleted one is gone.
  for (const wchar_t* sql :
       {L"SELECT * FROM Asking", L"SELECT * FROM Gone", L"SELECT * FROM Circle"}) {
    SCOPED_TRACE(narrow(sql));
    long file = daoError([&] { snapshotRows(onFile, sql); });
    EXPECT_NE(file, 0);
    EXPECT_EQ(daoError([&] { snapshotRows(onServer, sql); }), file);
  }
  onFile.DeleteQueryDef(L"Many");
  onServer.DeleteQueryDef(L"Many");
  EXPECT_EQ(daoError([&] { snapshotRows(onServer, L"SELECT count(*) FROM Many"); }),
            daoError([&] { snapshotRows(onFile, L"SELECT count(*) FROM Many"); }));
}

COleCurrency cy(long long tenThousandths) {
  CY c;
  c.int64 = tenThousandths;
  return COleCurrency(c);
}

// A Currency value given to a statement as a parameter lands in a Currency field as
// the amount, exact, and compares with the amounts there.
TEST_F(ServerSql, CurrencyParametersWriteTheAmount) {
  std::string results[2];
  CDaoDatabase* dbs[] = {&onFile, &onServer};
  for (int b = 0; b < 2; ++b) {
    makeTable(*dbs[b], L"Prices", {{L"ID", dbLong, 4}, {L"Amount", dbCurrency, 8}});
    CDaoQueryDef insert(dbs[b]);
    insert.Create(nullptr, L"INSERT INTO Prices (ID, Amount) VALUES (:id, :amount)");
    // ten-thousandths: 12.5, -0.0001, 1234567.8912, 0.3333
    const std::pair<long, long long> rows[] = {{1, 125000}, {2, -1}, {3, 12345678912}, {4, 3333}};
    for (const auto& [id, amount] : rows) {
      insert.SetParamValue(L"id", COleVariant(id));
      insert.SetParamValue(L"amount", COleVariant(cy(amount)));
      insert.Execute();
    }
    CDaoQueryDef update(dbs[b]);
    update.Create(nullptr, L"UPDATE Prices SET Amount = Amount + :more WHERE Amount = :was");
    update.SetParamValue(L"more", COleVariant(cy(2500)));
    update.SetParamValue(L"was", COleVariant(cy(125000)));
    update.Execute();
    EXPECT_EQ(update.GetRecordsAffected(), 1);
    // Read back through a table recordset, which reads the field as the engine stores it.
    CDaoRecordset rs(dbs[b]);
    rs.Open(dbOpenTable, L"Prices");
    for (; !rs.IsEOF(); rs.MoveNext())
      results[b] += showValue(rs.GetFieldValue(0)) + "|" + showValue(rs.GetFieldValue(1)) + ";";
  }
  EXPECT_EQ(results[0], "1|12.75;2|-0.0001;3|1234567.8912;4|0.3333;");
  EXPECT_EQ(results[1], results[0]);
}

// A server shows a statement its own tables and views beside the database's; a
// caller's statement reaches neither them nor a write to the catalog, as on a file.
TEST_F(ServerSql, TheServersOwnTablesAndTheCatalogAreOutOfReach) {
  expectSameErrors(onFile, onServer, /*executeFails=*/true,
                   {
                       L"SELECT * FROM pg_user",
                       L"SELECT * FROM pg_catalog.pg_authid",
                       L"SELECT * FROM information_schema.tables",
                       L"SELECT * FROM msysschema",
                       L"SELECT * FROM (pg_user)",
                       L"SELECT * FROM Parts, pg_roles",
                       L"SELECT * FROM (Parts INNER JOIN pg_user ON Parts.ID = pg_user.usesysid)",
                       L"SELECT ID FROM Parts WHERE ID IN (SELECT usesysid FROM pg_user)",
                       L"SELECT ID FROM Parts WHERE EXISTS (SELECT * FROM pg_stat_activity)",
                       L"UPDATE msysschema SET version = 0",
                       L"DELETE FROM MSysObjects",
                       L"DELETE * FROM MSysColumns WHERE Name = 'ID'",
                       L"UPDATE MSysObjects SET Name = 'Gone' WHERE Name = 'Parts'",
                       L"INSERT INTO MSysIndexes (Name) VALUES ('x')",
                       L"INSERT INTO Parts (ID) SELECT usesysid FROM pg_user",
                   });
  // A make-table query may not make a catalog table either.
  const wchar_t* into = L"SELECT ID INTO MSysQueries FROM Parts";
  EXPECT_NE(daoError([&] { onFile.Execute(into); }), 0);
  EXPECT_EQ(daoError([&] { onServer.Execute(into); }), daoError([&] { onFile.Execute(into); }));
  // Reading the catalog stays allowed, and nothing above changed it.
  const wchar_t* catalog = L"SELECT count(*) FROM MSysObjects";
  EXPECT_EQ(rowsOrError(onServer, catalog), rowsOrError(onFile, catalog));
  EXPECT_EQ(rowsOrError(onServer, L"SELECT count(*) FROM Parts"), "5");
  CDaoTableDefInfo parts;
  onServer.GetTableDefInfo(L"Parts", parts, AFX_DAO_ALL_INFO);
  EXPECT_EQ(parts.m_strName, CString(L"Parts"));
}

// The catalog's tables read as on a file: their columns named as a file names them,
// and a name in a statement that reads them only is their column, though a user's
// table has a field spelled alike (Parts.Name).
TEST_F(ServerSql, TheCatalogReadsAsOnAFile) {
  auto names = [](CDaoDatabase& db, const wchar_t* sql) {
    CDaoRecordset rs(&db);
    rs.Open(dbOpenSnapshot, sql);
    std::string out;
    for (short i = 0; i < rs.GetFieldCount(); ++i) {
      CDaoFieldInfo info;
      rs.GetFieldInfo(i, info);
      out += narrow(info.m_strName) + ";";
    }
    return out;
  };
  const wchar_t* statements[] = {
      L"SELECT * FROM MSysObjects WHERE Name = 'Parts'",
      L"SELECT Name, Type FROM MSysObjects WHERE Name = 'Parts'",
      L"SELECT DISTINCT Type, name FROM MSysObjects AS o WHERE o.Name = 'Parts'",
      L"SELECT c.* FROM MSysColumns AS c WHERE c.Name = 'Qty'",
  };
  for (const wchar_t* sql : statements) {
    SCOPED_TRACE(narrow(sql));
    EXPECT_EQ(names(onServer, sql), names(onFile, sql));
  }
  EXPECT_EQ(rowsOrError(onServer, statements[1]), rowsOrError(onFile, statements[1]));
  EXPECT_EQ(rowsOrError(onServer, statements[1]), "Parts|1");
  // A statement that reads a user's table keeps its own fields' spelling.
  EXPECT_EQ(rowsOrError(onServer, L"SELECT Name FROM Parts WHERE ID = 2"), "Nut");
}

// A column that is a table's field reads as that field, whatever the back end sends.
TEST_F(ServerSql, ColumnsOfATableKeepTheirFieldsTypes) {
  const wchar_t* sql = L"SELECT p.Made, Stocked, Name, Qty, Price FROM Parts AS p";
  CDaoRecordset file(&onFile), server(&onServer);
  file.Open(dbOpenSnapshot, sql);
  server.Open(dbOpenSnapshot, sql);
  ASSERT_EQ(server.GetFieldCount(), file.GetFieldCount());
  for (short i = 0; i < file.GetFieldCount(); ++i) {
    CDaoFieldInfo a, b;
    file.GetFieldInfo(i, a);
    server.GetFieldInfo(i, b);
    SCOPED_TRACE(narrow(a.m_strName));
    EXPECT_EQ(b.m_nType, a.m_nType);
    EXPECT_EQ(b.m_lSize, a.m_lSize);
  }
  CDaoFieldInfo made;
  server.GetFieldInfo(0, made);
  EXPECT_EQ(made.m_nType, dbDate);
}

// What the server reads differently from SQLite, in the translation itself.
TEST(ServerSqlDialect, TranslationsUseTheServersSpelling) {
  tabrik::dao::jetsql::ServerNames names;
  names.spelling = {{"PARTS", "Parts"}, {"ID", "ID"}, {"NAME", "Name"}};
  names.fields = {{"PARTS", {"ID", "Name"}}};
  names.queries = {{"SMALL", {"Small", "SELECT ID FROM Parts WHERE ID < 3"}},
                   {"SMALLER", {"Smaller", "SELECT ID FROM [small] WHERE ID < 2"}},
                   {"LOOP", {"Loop", "SELECT ID FROM Loop"}}};
  struct Case {
    const char* jet;
    const char* has;  // a part of the translation
  };
  const Case cases[] = {
      {"SELECT name FROM parts", "SELECT \"Name\" FROM \"Parts\""},
      {"SELECT * FROM Parts", "\"Parts\" . \"ID\" , \"Parts\" . \"Name\" FROM"},
      {"INSERT INTO Parts VALUES (1, 'a')", "INTO \"Parts\" ( \"ID\" , \"Name\" ) VALUES"},
      {"SELECT Left(Name, 2) FROM Parts", "tabrik_jet.left ("},
      {"SELECT Now()", "tabrik_jet.now ("},
      {"SELECT ID FROM Parts ORDER BY Name", "ORDER BY \"Name\" NULLS FIRST"},
      {"SELECT ID FROM Parts ORDER BY Name DESC", "\"Name\" DESC NULLS LAST"},
      {"SELECT ID > 1 FROM Parts", "tabrik_jet.jet_truth ("},
      {"SELECT ID FROM Parts WHERE 'a' = 'A'", "'A' COLLATE JETTEXT"},
      {"SELECT * FROM (SELECT ID FROM Parts)", ") AS jet_sub"},
      {"PARAMETERS [Low] Long; SELECT ID FROM Parts WHERE ID > [Low] AND ID < [low] + 5",
       "> tabrik_jet.jet_param_number ( ?1 )"},
      {"SELECT ID FROM Parts WHERE ID = ? OR ID = ?", "\"ID\" = ?2"},
      // text compared without its trailing blanks, a field's index still usable
      {"SELECT ID FROM Parts WHERE name = 'a  '",
       "( \"Name\" >= 'a' COLLATE JETTEXT AND \"Name\" < 'a !' COLLATE JETTEXT AND "
       "tabrik_jet.jet_key ( \"Name\" ) = 'a' COLLATE JETTEXT )"},
      {"SELECT ID FROM Parts WHERE 'b ' > Left(Name, 1)",
       "'b' COLLATE JETTEXT > tabrik_jet.jet_key ( tabrik_jet.left ( \"Name\" , 1 ) )"},
      {"UPDATE Parts SET Name = 'a ' WHERE ID = 1", "SET \"Name\" = 'a ' WHERE"},
      {"SELECT ID FROM Parts WHERE Name Not In ('a ', 'b')",
       "tabrik_jet.jet_key ( \"Name\" ) Not In ( 'a' COLLATE JETTEXT , 'b' COLLATE JETTEXT )"},
      // ties in the order of the records
      {"SELECT TOP 1 ID FROM Parts AS p ORDER BY Name",
       "\"Name\" NULLS FIRST , \"p\" . \"rowid\" LIMIT"},
      // And, Or and WHEN take values as conditions
      {"SELECT (ID > 1) AND ID FROM Parts", "AND tabrik_jet.jet_cond ( \"ID\" )"},
      // stored queries read as tables, their own first; one that reads itself is left
      {"SELECT * FROM smaller",
       "WITH \"Smaller\" AS (WITH \"Small\" AS (SELECT \"ID\" FROM \"Parts\" WHERE \"ID\" < "
       "3) SELECT \"ID\" FROM \"Small\" WHERE \"ID\" < 2) SELECT \"Smaller\" . * FROM "
       "\"Smaller\""},
      {"SELECT ID FROM Loop", "WITH \"Loop\" AS (WITH \"Loop\" AS ("},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.jet);
    std::string sql =
        tabrik::dao::jetsql::translate(c.jet, tabrik::dao::jetsql::Target::Postgres, &names).sql;
    EXPECT_NE(sql.find(c.has), std::string::npos) << sql;
    // Nothing of SQLite's spelling reaches the server.
    EXPECT_EQ(sql.find("COLLATE JETTEXT") != std::string::npos,
              std::string(c.has).find("COLLATE") != std::string::npos)
        << sql;
  }
  // A declared parameter used twice is one server parameter.
  auto t = tabrik::dao::jetsql::translate(
      "PARAMETERS [Low] Long; SELECT ID FROM Parts WHERE ID > [Low] AND ID < [low] + 5",
      tabrik::dao::jetsql::Target::Postgres, &names);
  EXPECT_EQ(t.parameters.size(), 1u);
  EXPECT_EQ(t.sql.find("?2"), std::string::npos) << t.sql;
}

}  // namespace
