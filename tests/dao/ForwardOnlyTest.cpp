// Forward-only recordsets of statements: the same rows, values and value types as a
// snapshot of the statement (the invariant every case checks), moving forward only
// (DAO's 3251 for every other move, 3021 past the end), the record count growing with
// the rows read, and the parameters of a stored query.
#include <string>
#include <vector>

#include "DaoTestSupport.h"

namespace {

using namespace daotest;

// A value with its variant type, so that a number read as text shows.
std::string typed(const COleVariant& v) { return std::to_string(v.vt) + ":" + showValue(v); }

// Every row as typed values ('|' between fields, ';' between rows), moving with
// MoveNext only, and the field types as DAO reports them after the last row.
std::string readAll(CDaoRecordset& rs, std::string* types = nullptr) {
  std::string out;
  const short fields = rs.GetFieldCount();
  for (; !rs.IsEOF(); rs.MoveNext()) {
    if (!out.empty()) out += ';';
    for (short i = 0; i < fields; ++i) out += (i ? "|" : "") + typed(rs.GetFieldValue(i));
  }
  if (types != nullptr) {
    for (short i = 0; i < fields; ++i) {
      CDaoFieldInfo info;
      rs.GetFieldInfo(i, info);
      *types += (i ? "," : "") + std::to_string(info.m_nType);
    }
  }
  return out;
}

class ForwardOnly : public ::testing::Test {
 protected:
  void SetUp() override {
    db.Create(dir.database("forward.mdb"));
    makeTable(db, L"Parts",
              {{L"ID", dbLong, 4},
               {L"Name", dbText, 50},
               {L"Weight", dbDouble, 8},
               {L"Made", dbDate, 8},
               {L"Ok", dbBoolean, 1}});
    db.Execute(
        L"INSERT INTO Parts VALUES (1, 'bolt  ', 2.5, #3/5/2024#, True), (2, Null, Null, Null, "
        L"False), (3, 'nut', 0.25, #1/1/2000#, True), (4, 'washer', 1, #12/31/1999#, False)");
  }

  ScratchDir dir;
  CDaoDatabase db;
};

TEST_F(ForwardOnly, ReadsWhatASnapshotReads) {
  const struct {
    const char* name;
    const wchar_t* sql;
    int rows;
  } cases[] = {
      {"every field", L"SELECT * FROM Parts ORDER BY ID", 4},
      {"expressions", L"SELECT Name & '!' AS Tag, Weight * 2, ID \\ 2 FROM Parts ORDER BY ID", 4},
      // The column's first values are Null: its later ones still read as numbers.
      {"leading Nulls", L"SELECT IIf(ID > 2, ID * 10, Null) AS Late FROM Parts ORDER BY ID", 4},
      {"leading Null text", L"SELECT IIf(ID > 1, Name, Null) FROM Parts ORDER BY ID", 4},
      {"all Null", L"SELECT IIf(ID > 100, ID, Null) AS Never FROM Parts", 4},
      {"no rows", L"SELECT * FROM Parts WHERE ID > 100", 0},
      {"one row", L"SELECT Name FROM Parts WHERE ID = 3", 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CDaoRecordset snapshot(&db);
    snapshot.Open(dbOpenSnapshot, c.sql);
    std::string snapshotTypes;
    const std::string expected = readAll(snapshot, &snapshotTypes);

    CDaoRecordset forward(&db);
    forward.Open(dbOpenForwardOnly, c.sql);
    EXPECT_EQ(forward.GetType(), dbOpenForwardOnly);
    EXPECT_EQ(forward.IsBOF() && forward.IsEOF(), c.rows == 0);
    std::string forwardTypes;
    EXPECT_EQ(readAll(forward, &forwardTypes), expected);
    EXPECT_EQ(forwardTypes, snapshotTypes);
    EXPECT_EQ(forward.GetRecordCount(), c.rows);
  }
}

TEST_F(ForwardOnly, LeadingNullsDoNotMakeNumbersText) {
  CDaoRecordset rs(&db);
  rs.Open(dbOpenForwardOnly, L"SELECT IIf(ID > 2, ID * 10, Null) AS Late FROM Parts ORDER BY ID");
  // VT_NULL is 1, VT_I4 3: a Long expression reads as Long once it has values.
  EXPECT_EQ(readAll(rs), "1:Null;1:Null;3:30;3:40");
}

TEST_F(ForwardOnly, MovesOnlyForward) {
  const struct {
    const char* name;
    void (*move)(CDaoRecordset&);
    long error;
  } cases[] = {
      {"MovePrev", [](CDaoRecordset& rs) { rs.MovePrev(); }, 3251},
      {"MoveFirst", [](CDaoRecordset& rs) { rs.MoveFirst(); }, 3251},
      {"MoveLast", [](CDaoRecordset& rs) { rs.MoveLast(); }, 3251},
      {"Move 0", [](CDaoRecordset& rs) { rs.Move(0); }, 3251},
      {"Move -1", [](CDaoRecordset& rs) { rs.Move(-1); }, 3251},
      {"GetBookmark", [](CDaoRecordset& rs) { rs.GetBookmark(); }, 3251},
      {"MoveNext", [](CDaoRecordset& rs) { rs.MoveNext(); }, 0},
      {"Move 2", [](CDaoRecordset& rs) { rs.Move(2); }, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    CDaoRecordset rs(&db);
    rs.Open(dbOpenForwardOnly, L"SELECT ID FROM Parts ORDER BY ID");
    EXPECT_FALSE(rs.CanBookmark());
    EXPECT_EQ(daoError([&] { c.move(rs); }), c.error);
  }
}

TEST_F(ForwardOnly, SkipsCountsAndEnds) {
  CDaoRecordset rs(&db);
  rs.Open(dbOpenForwardOnly, L"SELECT ID FROM Parts ORDER BY ID");
  EXPECT_EQ(rs.GetRecordCount(), 1);
  rs.Move(2);
  EXPECT_EQ(showValue(rs.GetFieldValue(0)), "3");
  EXPECT_EQ(rs.GetRecordCount(), 3);
  rs.Move(5);  // past the end: EOF, no current record
  EXPECT_TRUE(rs.IsEOF());
  EXPECT_FALSE(rs.IsBOF());
  EXPECT_EQ(rs.GetRecordCount(), 4);
  EXPECT_EQ(daoError([&] { rs.GetFieldValue(0); }), 3021);
  EXPECT_EQ(daoError([&] { rs.MoveNext(); }), 3021);

  CDaoRecordset empty(&db);
  empty.Open(dbOpenForwardOnly, L"SELECT ID FROM Parts WHERE ID < 0");
  EXPECT_TRUE(empty.IsBOF());
  EXPECT_TRUE(empty.IsEOF());
  EXPECT_EQ(empty.GetRecordCount(), 0);
  EXPECT_EQ(daoError([&] { empty.MoveNext(); }), 3021);
}

TEST_F(ForwardOnly, StoredQueryParametersAndReadOnly) {
  CDaoQueryDef query(&db);
  query.Create(L"Heavier",
               L"PARAMETERS [Least] Double; SELECT Name FROM Parts WHERE Weight > "
               L"[Least] ORDER BY Weight");
  query.Append();
  const struct {
    double least;
    const char* rows;
  } cases[] = {{0.5, "8:washer;8:bolt  "}, {2.0, "8:bolt  "}, {10.0, ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.least);
    query.SetParamValue(L"Least", COleVariant(c.least));
    CDaoRecordset rs(&db);
    rs.Open(&query, dbOpenForwardOnly);
    EXPECT_EQ(readAll(rs), c.rows);
  }
  CDaoRecordset rs(&db);
  rs.Open(&query, dbOpenForwardOnly);
  EXPECT_FALSE(rs.CanUpdate());
  EXPECT_EQ(daoError([&] { rs.Edit(); }), 3027);
}

TEST_F(ForwardOnly, ClosingPartWayEndsTheRead) {
  {
    CDaoRecordset rs(&db);
    rs.Open(dbOpenForwardOnly, L"SELECT * FROM Parts ORDER BY ID");
    rs.MoveNext();
  }
  // The statement of the closed recordset holds no read: the table can be changed
  // and dropped at once.
  db.Execute(L"DELETE FROM Parts WHERE ID = 1");
  db.Execute(L"DROP TABLE Parts");
  EXPECT_EQ(daoError([&] {
              CDaoRecordset rs(&db);
              rs.Open(dbOpenForwardOnly, L"SELECT * FROM Parts");
            }),
            3078);
}

}  // namespace
