// More of Jet's dialect, statement in and rows out: TOP with its ties, DISTINCTROW over
// joins, truth values of -1, parameters named with blanks, ALTER TABLE ... DROP
// COLUMN, the aggregates and conversions SQLite lacks, and make-table queries.
// Expected values are Access's documented results or worked by hand.
#include <string>

#include "DaoTestSupport.h"

namespace {

using namespace daotest;

std::string show(const COleVariant& v) { return showValue(v, 10); }
std::string rows(CDaoDatabase& db, const wchar_t* sql) { return snapshotRows(db, sql, 10); }

// Scores with ties: 9, 8, 8, 7, 7, 7, 5 (IDs 1..7), and customers with orders.
class JetDialect : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Create(dir.database("dialect.mdb"));
    db.Execute(
        L"CREATE TABLE Scores (ID LONG PRIMARY KEY, Name TEXT(20), Score LONG, Grp TEXT(1), Weight "
        L"DOUBLE)");
    const wchar_t* inserts[] = {
        L"INSERT INTO Scores VALUES (1, 'ann', 9, 'a', 2)",
        L"INSERT INTO Scores VALUES (2, 'bea', 8, 'a', 4)",
        L"INSERT INTO Scores VALUES (3, 'cy', 8, 'b', 4)",
        L"INSERT INTO Scores VALUES (4, 'dov', 7, 'b', 4)",
        L"INSERT INTO Scores VALUES (5, 'eve', 7, 'a', 5)",
        L"INSERT INTO Scores VALUES (6, 'fay', 7, 'b', 5)",
        L"INSERT INTO Scores VALUES (7, 'gus', 5, 'a', 7)",
        L"CREATE TABLE Customers (CustID LONG PRIMARY KEY, Name TEXT(20))",
        L"CREATE TABLE Orders (OrderID LONG PRIMARY KEY, CustID LONG, Amount DOUBLE)",
        L"INSERT INTO Customers VALUES (1, 'Smith')",
        L"INSERT INTO Customers VALUES (2, 'Smith')",
        L"INSERT INTO Customers VALUES (3, 'Jones')",
        L"INSERT INTO Orders VALUES (10, 1, 5)",
        L"INSERT INTO Orders VALUES (11, 1, 6)",
        L"INSERT INTO Orders VALUES (12, 2, 7)",
        L"INSERT INTO Orders VALUES (13, 2, 8)",
    };
    for (const wchar_t* sql : inserts) db.Execute(sql);
  }
  ScratchDir dir;
  CDaoDatabase db;
};

struct Case {
  const char* name;
  const wchar_t* sql;
  const char* expected;
};

void expectRows(CDaoDatabase& db, const Case* cases, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    SCOPED_TRACE(cases[i].name);
    std::string got;
    CString message;
    long err = daoError([&] { got = rows(db, cases[i].sql); }, &message);
    EXPECT_EQ(err, 0) << show(COleVariant(message.GetString(), VT_BSTRT));
    EXPECT_EQ(got, cases[i].expected);
  }
}

TEST_F(JetDialect, TopKeepsTheRowsTiedWithTheLast) {
  const Case cases[] = {
      {"tie at the cut", L"SELECT TOP 2 ID FROM Scores ORDER BY Score DESC, ID", "1;2"},
      {"tie at the cut, one key", L"SELECT TOP 2 ID FROM Scores ORDER BY Score DESC", "1;2;3"},
      {"three-way tie", L"SELECT TOP 4 Name FROM Scores ORDER BY Score DESC",
       "ann;bea;cy;dov;eve;fay"},
      {"no tie", L"SELECT TOP 1 Name FROM Scores ORDER BY Score", "gus"},
      {"key not selected", L"SELECT TOP 3 Name FROM Scores ORDER BY Score DESC", "ann;bea;cy"},
      {"ordinal key", L"SELECT TOP 2 Name, Score FROM Scores ORDER BY 2 DESC", "ann|9;bea|8;cy|8"},
      {"alias key", L"SELECT TOP 2 Name, Score * 2 AS Twice FROM Scores ORDER BY Twice DESC",
       "ann|18;bea|16;cy|16"},
      {"expression key", L"SELECT TOP 1 ID FROM Scores ORDER BY Score Mod 2, ID DESC", "3"},
      // 7 rows: 30 percent is 2.1, rounded up to 3; the third row ties with nobody below.
      {"percent", L"SELECT TOP 30 PERCENT ID FROM Scores ORDER BY Score DESC, ID", "1;2;3"},
      // 50 percent is 3.5, so 4 rows, and the fourth (7) ties with two more.
      {"percent with ties", L"SELECT TOP 50 PERCENT ID FROM Scores ORDER BY Score DESC",
       "1;2;3;4;5;6"},
      {"with where", L"SELECT TOP 1 ID FROM Scores WHERE Grp = 'b' ORDER BY Score", "4;6"},
      {"grouped", L"SELECT TOP 1 Grp, count(*) AS N FROM Scores GROUP BY Grp ORDER BY count(*)",
       "b|3"},
      {"without order", L"SELECT count(*) FROM (SELECT TOP 3 ID FROM Scores)", "3"},
      {"in a sub-select", L"SELECT count(*) FROM (SELECT TOP 2 ID FROM Scores ORDER BY Score DESC)",
       "3"},
      {"more than there are", L"SELECT TOP 50 ID FROM Scores ORDER BY Score DESC, ID",
       "1;2;3;4;5;6;7"},
  };
  expectRows(db, cases, std::size(cases));
}

TEST_F(JetDialect, DistinctRowCountsSourceRecordsNotOutputValues) {
  const Case cases[] = {
      // Two customers named Smith, each with orders: one row per customer record.
      {"join, one table's fields",
       L"SELECT DISTINCTROW Customers.Name FROM Customers INNER JOIN Orders ON Customers.CustID = "
       L"Orders.CustID "
       L"ORDER BY Customers.Name",
       "Smith;Smith"},
      {"distinct collapses them",
       L"SELECT DISTINCT Customers.Name FROM Customers INNER JOIN Orders ON Customers.CustID = "
       L"Orders.CustID",
       "Smith"},
      {"plain join repeats them",
       L"SELECT count(*) FROM (SELECT Customers.Name FROM Customers INNER JOIN Orders ON "
       L"Customers.CustID = "
       L"Orders.CustID)",
       "4"},
      {"fields of both tables",
       L"SELECT DISTINCTROW Customers.CustID, Orders.OrderID FROM Customers, Orders "
       L"WHERE Customers.CustID = Orders.CustID ORDER BY Orders.OrderID",
       "1|10;1|11;2|12;2|13"},
      {"star of one table",
       L"SELECT DISTINCTROW Customers.* FROM Customers INNER JOIN Orders ON Customers.CustID = "
       L"Orders.CustID "
       L"ORDER BY Customers.CustID",
       "1|Smith;2|Smith"},
      {"one table", L"SELECT DISTINCTROW Name FROM Customers ORDER BY CustID", "Smith;Smith;Jones"},
  };
  expectRows(db, cases, std::size(cases));
}

TEST_F(JetDialect, TruthValuesAreMinusOneAndZero) {
  const Case cases[] = {
      {"comparisons", L"SELECT 1 = 1, 1 <> 1, 2 > 1, 'a' = 'A'", "-1|0|-1|-1"},
      {"null compares to null", L"SELECT Null = 1", "Null"},
      {"logic", L"SELECT (1 = 1) AND (2 = 2), (1 = 2) OR (2 = 2), NOT (1 = 2)", "-1|-1|-1"},
      {"arithmetic on a truth value", L"SELECT 3 + (1 = 1), 3 * (2 > 1)", "2|-3"},
      {"is null and in", L"SELECT Name Is Null, ID In (1, 2) FROM Scores WHERE ID = 2", "0|-1"},
      {"field comparison",
       L"SELECT ID, Score > 7 AS High FROM Scores WHERE ID IN (1, 7) ORDER BY ID", "1|-1;7|0"},
      {"iif condition",
       L"SELECT IIf(Score > 8, 'top', 'rest') FROM Scores WHERE ID < 3 ORDER BY ID", "top;rest"},
      {"case", L"SELECT CASE WHEN Score = 9 THEN 1 = 1 ELSE 2 END FROM Scores WHERE ID = 1", "-1"},
      {"sub-select keeps its own", L"SELECT (SELECT count(*) FROM Scores WHERE Score = 7)", "3"},
      {"exists", L"SELECT EXISTS (SELECT 1 FROM Scores WHERE Score = 7)", "-1"},
      {"like and between", L"SELECT 'abc' Like 'a*', 5 Between 1 And 3, 'x' Not Like 'y'",
       "-1|0|-1"},
      {"equals true", L"SELECT count(*) FROM Scores WHERE (Score > 7) = True", "3"},
      {"operand of arithmetic", L"SELECT count(*) FROM Scores WHERE 5 + (Score = 7) = 4", "3"},
      {"conditions in parentheses",
       L"SELECT ID FROM Scores WHERE ((Scores.Score)=9) OR (Score < 6 AND Grp = 'a')", "1;7"},
      {"function argument", L"SELECT ID FROM Scores WHERE IIf(Score = 9, True, False) = True", "1"},
  };
  expectRows(db, cases, std::size(cases));
  db.Execute(L"ALTER TABLE Scores ADD COLUMN High YESNO");
  db.Execute(L"UPDATE Scores SET High = (Score >= 8), Weight = Weight + (1 = 1)");
  EXPECT_EQ(rows(db, L"SELECT High, Weight FROM Scores WHERE ID IN (1, 7) ORDER BY ID"),
            "-1|1;0|6");
  db.Execute(L"INSERT INTO Scores (ID, Score, High) VALUES (8, 2 > 1, 1 = 2)");
  EXPECT_EQ(rows(db, L"SELECT Score, High FROM Scores WHERE ID = 8"), "-1|0");
}

TEST_F(JetDialect, DeclaredParametersKeepNamesWithBlanks) {
  CDaoQueryDef q(&db);
  q.Create(L"Between Scores",
           L"PARAMETERS [Lowest score] Long, [Enter a group] Text, Top_ Long; "
           L"SELECT ID FROM Scores WHERE Score >= [Lowest score] AND Grp = [Enter a group] "
           L"AND Score <= Top_ ORDER BY ID");
  q.Append();
  ASSERT_EQ(q.GetParameterCount(), 3);
  const wchar_t* names[] = {L"Lowest score", L"Enter a group", L"Top_"};
  for (short i = 0; i < 3; ++i) {
    SCOPED_TRACE(::testing::Message() << "parameter " << i);
    CDaoParameterInfo info;
    q.GetParameterInfo(i, info);
    EXPECT_STREQ(info.m_strName, names[i]);
  }
  q.SetParamValue(L"LOWEST SCORE", COleVariant(7L));
  q.SetParamValue(L"enter a group", COleVariant(L"b", VT_BSTRT));
  q.SetParamValue(L"Top_", COleVariant(8L));
  EXPECT_EQ(daoError([&] { q.SetParamValue(L"Lowest_score", COleVariant(1L)); }), 3265);
  CDaoRecordset rs(&db);
  rs.Open(&q, dbOpenSnapshot);
  std::string got;
  for (; !rs.IsEOF(); rs.MoveNext()) got += show(rs.GetFieldValue(0)) + ";";
  EXPECT_EQ(got, "3;4;6;");
}

// A value given as text takes the declared type, as Jet coerces parameters.
TEST_F(JetDialect, ParametersTakeTheirDeclaredType) {
  db.Execute(L"CREATE TABLE Events (ID LONG, At DATETIME, Done YESNO, Code TEXT(5))");
  db.Execute(L"INSERT INTO Events VALUES (1, #1/5/2020#, True, '7')");
  db.Execute(L"INSERT INTO Events VALUES (2, #6/1/2021 12:00#, False, '12')");
  const struct {
    const char* name;
    const wchar_t* declaration;
    const wchar_t* condition;
    COleVariant value;
    const char* expected;
  } cases[] = {
      {"date from text", L"[Since] DateTime", L"At >= [Since]", COleVariant(L"1/1/2021", VT_BSTRT),
       "2;"},
      {"date with time from text", L"[Since] Date", L"At = [Since]",
       COleVariant(L"6/1/2021 12:00:00 PM", VT_BSTRT), "2;"},
      {"number from text", L"[Least] Long", L"ID >= [Least]", COleVariant(L" 2 ", VT_BSTRT), "2;"},
      {"truth from text", L"[Flag] YesNo", L"Done = [Flag]", COleVariant(L"True", VT_BSTRT), "1;"},
      {"truth from a number", L"[Flag] Bit", L"Done = [Flag]", COleVariant(1L), "1;"},
      {"text from a number", L"[C] Text", L"Code = [C]", COleVariant(12L), "2;"},
      {"undeclared type left alone", L"[C] Value", L"Code = [C]", COleVariant(L"7", VT_BSTRT),
       "1;"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CDaoQueryDef q(&db);
    std::wstring sql = std::wstring(L"PARAMETERS ") + c.declaration +
                       L"; SELECT ID FROM Events WHERE " + c.condition + L" ORDER BY ID";
    q.Create(nullptr, sql.c_str());
    q.SetParamValue(0, c.value);
    CDaoRecordset rs(&db);
    rs.Open(&q, dbOpenSnapshot);
    std::string got;
    for (; !rs.IsEOF(); rs.MoveNext()) got += show(rs.GetFieldValue(0)) + ";";
    EXPECT_EQ(got, c.expected);
  }
}

TEST_F(JetDialect, DropColumnRemovesTheFieldAndItsCatalogRows) {
  db.Execute(
      L"CREATE TABLE Parts (ID COUNTER, Code TEXT(10), Note TEXT(30), Qty LONG, Price CURRENCY)");
  db.Execute(L"CREATE UNIQUE INDEX ByCode ON Parts (Code)");
  db.Execute(L"INSERT INTO Parts (Code, Note, Qty, Price) VALUES ('a', 'first', 3, 1.5)");
  db.Execute(L"ALTER TABLE Parts DROP COLUMN Note");
  db.Execute(L"ALTER TABLE Parts DROP COLUMN [qty]");  // names compare without regard to case
  CDaoTableDef td(&db);
  td.Open(L"Parts");
  const wchar_t* left[] = {L"ID", L"Code", L"Price"};
  ASSERT_EQ(td.GetFieldCount(), 3);
  for (short i = 0; i < 3; ++i) {
    SCOPED_TRACE(::testing::Message() << "field " << i);
    CDaoFieldInfo info;
    td.GetFieldInfo(i, info, AFX_DAO_ALL_INFO);
    EXPECT_STREQ(info.m_strName, left[i]);
    EXPECT_EQ(info.m_nOrdinalPosition, i);
  }
  EXPECT_EQ(rows(db, L"SELECT * FROM Parts"), "1|a|1.5");
  // The auto-number keeps counting after a drop that rebuilt its trigger.
  db.Execute(L"DELETE FROM Parts");
  db.Execute(L"INSERT INTO Parts (Code) VALUES ('b')");
  EXPECT_EQ(rows(db, L"SELECT ID, Code FROM Parts"), "2|b");
  db.Execute(
      L"ALTER TABLE Orders ADD CONSTRAINT CustOrders FOREIGN KEY (CustID) REFERENCES Customers "
      L"(CustID)");
  const struct {
    const char* name;
    const wchar_t* sql;
    long code;
  } refused[] = {
      {"indexed field", L"ALTER TABLE Parts DROP COLUMN Code", 3280},
      {"foreign field of a relation", L"ALTER TABLE Orders DROP COLUMN CustID",
       3280},  // its relation's index
      {"missing field", L"ALTER TABLE Parts DROP COLUMN Nothing", 3265},
      {"missing table", L"ALTER TABLE Nowhere DROP COLUMN Code", 3376},
      {"without COLUMN", L"ALTER TABLE Parts DROP Price", 3293},
      {"two names", L"ALTER TABLE Parts DROP COLUMN Price Code", 3293},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(r.name);
    EXPECT_EQ(daoError([&] { db.Execute(r.sql); }), r.code);
  }
  // A relation's primary field that no index of its own table holds any longer.
  db.Execute(L"CREATE TABLE Kinds (Kind TEXT(5), Label TEXT(20))");
  db.Execute(L"CREATE TABLE Items (ItemID LONG, Kind TEXT(5))");
  CDaoRelationInfo rel;
  CDaoRelationFieldInfo pair;
  pair.m_strName = L"Kind";
  pair.m_strForeignName = L"Kind";
  rel.m_strName = L"KindItems";
  rel.m_strTable = L"Kinds";
  rel.m_strForeignTable = L"Items";
  rel.m_lAttributes = dbRelationDontEnforce;
  rel.m_pFieldInfos = &pair;
  rel.m_nFields = 1;
  // Not enforced: no index is needed on either side.
  EXPECT_EQ(daoError([&] { db.CreateRelation(rel); }), 0);
  rel.m_pFieldInfos = nullptr;
  CString text;
  EXPECT_EQ(daoError([&] { db.Execute(L"ALTER TABLE Kinds DROP COLUMN Kind"); }, &text), 3303);
  EXPECT_STREQ(text, L"Cannot delete this field.  It is part of one or more relationships.");
  EXPECT_EQ(daoError([&] { db.Execute(L"ALTER TABLE Kinds DROP COLUMN Label"); }), 0);
  EXPECT_EQ(daoError([&] { db.Execute(L"ALTER TABLE Parts DROP COLUMN Code"); }, &text), 3280);
  EXPECT_STREQ(text, L"Cannot delete a field that is part of an index or is needed by the system.");
}

TEST_F(JetDialect, AggregatesAndConversionsOfVba) {
  const Case cases[] = {
      // Weights 2, 4, 4, 4, 5, 5, 7: mean 31/7, squares about the mean 1260/49 - ...
      // worked out: sum of squares 151, so population variance 151/7 - (31/7)^2.
      {"varp", L"SELECT Round(VarP(Weight), 6) FROM Scores", "1.959184"},
      {"var", L"SELECT Round(Var(Weight), 6) FROM Scores", "2.285714"},
      {"stdevp", L"SELECT Round(StDevP(Weight), 6) FROM Scores", "1.399708"},
      {"stdev", L"SELECT Round(StDev(Weight), 6) FROM Scores", "1.511858"},
      {"one value",
       L"SELECT StDev(Weight), StDevP(Weight), Var(Weight), VarP(Weight) FROM Scores WHERE ID = 1",
       "Null|0|Null|0"},
      {"nulls ignored", L"SELECT VarP(IIf(ID < 3, Weight, Null)) FROM Scores", "1"},
      {"grouped", L"SELECT Grp, VarP(Score) FROM Scores GROUP BY Grp ORDER BY Grp",
       "a|2.1875;b|0.2222222222"},
      {"first and last",
       L"SELECT Grp, First(Name), Last(Name) FROM (SELECT * FROM Scores ORDER BY ID) GROUP BY Grp "
       L"ORDER BY Grp",
       "a|ann|gus;b|cy|fay"},
      {"cdate of text", L"SELECT CDate('3/5/2024'), CDate('2024-03-05 12:00')", "45356|45356.5"},
      {"cdate of a number", L"SELECT CDate(45356.25) = #3/5/2024 6:00:00 AM#", "-1"},
      {"cbool", L"SELECT CBool(5), CBool(0), CBool('True'), CBool('false'), CBool(' 2 ')",
       "-1|0|-1|0|-1"},
      {"ccur rounds half to even",
       L"SELECT CCur(1.23456), CCur(0.03125), CCur(0.09375), CCur('2.5')",
       "1.2346|0.0312|0.0938|2.5"},
  };
  expectRows(db, cases, std::size(cases));
  const struct {
    const char* name;
    const wchar_t* sql;
  } refused[] = {
      {"cdate of words", L"SELECT CDate('soon')"},  {"cdate of null", L"SELECT CDate(Null)"},
      {"cbool of words", L"SELECT CBool('maybe')"}, {"ccur of words", L"SELECT CCur('x1')"},
      {"ccur overflow", L"SELECT CCur(1e300)"},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(r.name);
    EXPECT_NE(daoError([&] { rows(db, r.sql); }), 0);
  }
}

TEST_F(JetDialect, SelectIntoMakesATable) {
  db.Execute(
      L"SELECT ID, Name, Score * 1.5 AS Scaled, Grp & '!' AS Tag INTO Best FROM Scores WHERE Score "
      L">= 8");
  EXPECT_EQ(db.GetRecordsAffected(), 3);
  CDaoTableDef td(&db);
  td.Open(L"Best");
  const struct {
    const wchar_t* name;
    short type;
    long size;
  } fields[] = {
      {L"ID", dbLong, 4}, {L"Name", dbText, 20}, {L"Scaled", dbDouble, 8}, {L"Tag", dbText, 255}};
  ASSERT_EQ(td.GetFieldCount(), 4);
  for (short i = 0; i < 4; ++i) {
    SCOPED_TRACE(::testing::Message() << "field " << i);
    CDaoFieldInfo info;
    td.GetFieldInfo(i, info);
    EXPECT_STREQ(info.m_strName, fields[i].name);
    EXPECT_EQ(info.m_nType, fields[i].type);
    EXPECT_EQ(info.m_lSize, fields[i].size);
  }
  EXPECT_EQ(rows(db, L"SELECT * FROM Best ORDER BY ID"), "1|ann|13.5|a!;2|bea|12|a!;3|cy|12|b!");
  // Through a temporary query definition, as tb_command runs it.
  CDaoQueryDef q(&db);
  q.Create(nullptr, L"SELECT Name INTO [Low Scores] FROM Scores WHERE Score < 8");
  q.Execute(dbFailOnError);
  EXPECT_EQ(q.GetRecordsAffected(), 4);
  EXPECT_EQ(rows(db, L"SELECT count(*) FROM [Low Scores]"), "4");
  // An existing table is refused; a statement that fails leaves no table behind.
  EXPECT_EQ(daoError([&] { db.Execute(L"SELECT ID INTO Best FROM Scores"); }), 3010);
  EXPECT_NE(daoError([&] { db.Execute(L"SELECT ID, CDate('soon') AS D INTO Broken FROM Scores"); }),
            0);
  CDaoTableDefInfo info;
  EXPECT_EQ(daoError([&] { db.GetTableDefInfo(L"Broken", info); }), 3265);
}

// A link made through one connection is a table for the first statement of another.
TEST_F(JetDialect, LinkedTablesAnswerTheFirstStatementOfANewConnection) {
  CDaoDatabase other;
  other.Create(dir.file("other.mdb"));
  other.Execute(L"CREATE TABLE Colours (Code LONG, Name TEXT(10))");
  other.Execute(L"INSERT INTO Colours VALUES (5, 'blue')");
  other.Close();
  CDaoTableDef link(&db);
  link.Create(L"Palette", 0, L"Colours", CString(L";DATABASE=") + dir.file("other.mdb"));
  link.Append();
  link.Close();
  db.Close();
  CDaoDatabase again;
  again.Open(dir.database("dialect.mdb"));
  EXPECT_EQ(rows(again, L"SELECT Name FROM Palette WHERE Code = 5"), "blue");
}

}  // namespace
