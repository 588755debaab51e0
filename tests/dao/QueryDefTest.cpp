// Query definitions: temporary and stored queries, their parameters, action queries
// and the errors around them.
#include "DaoTestSupport.h"

using namespace daotest;

namespace {

class QueryDefs : public testing::Test {
 protected:
  void SetUp() override {
    db.Create(dir.database("q.mdb"));
    makeTable(db, L"T", {{L"A", dbLong, 0}, {L"B", dbText, 10}});
    db.Execute(L"INSERT INTO T VALUES (1, 'one'), (2, 'two'), (3, 'three')");
  }
  ScratchDir dir;
  CDaoDatabase db;
};

TEST_F(QueryDefs, TemporaryQueryWithParametersOpensAsASnapshot) {
  CDaoQueryDef q(&db);
  q.Create(NULL, L"SELECT B FROM T WHERE A >= :low AND A <= :high ORDER BY A");
  EXPECT_TRUE(q.IsOpen());
  EXPECT_EQ(q.GetType(), dbQSelect);
  ASSERT_EQ(q.GetParameterCount(), 2);
  CDaoParameterInfo info;
  q.GetParameterInfo(1, info);
  EXPECT_STREQ(info.m_strName, L"high");
  CDaoRecordset rs(&db);
  CString msg;
  EXPECT_EQ(daoError([&] { rs.Open(&q, dbOpenSnapshot); }, &msg), 3061);
  EXPECT_STREQ(msg, L"Too few parameters. Expected 2.");
  q.SetParamValue(L"LOW", COleVariant(2L));
  q.SetParamValue(L"high", COleVariant(9L));
  EXPECT_EQ(daoError([&] { q.SetParamValue(L"middle", COleVariant(1L)); }), 3265);
  rs.Open(&q, dbOpenSnapshot);
  EXPECT_EQ(rs.GetRecordCount(), 2);
  EXPECT_STREQ(text(rs.GetFieldValue(0)), L"two");
  EXPECT_EQ(daoError([&] { q.Execute(); }, &msg), 3065);
  EXPECT_STREQ(msg, L"Cannot execute a select query.");
}

TEST_F(QueryDefs, ActionQueriesReportTheRecordsAffected) {
  CDaoQueryDef q(&db);
  q.Create(NULL, L"UPDATE T SET B = 'many' WHERE A > $min");
  EXPECT_EQ(q.GetType(), dbQAction);
  q.SetParamValue(L"min", COleVariant(1L));
  q.Execute();
  EXPECT_EQ(q.GetRecordsAffected(), 2);
  CDaoRecordset rs(&db);
  rs.Open(dbOpenSnapshot, L"SELECT count(*) FROM T WHERE B = 'MANY'");
  EXPECT_EQ(rs.GetFieldValue(0).lVal, 2);
  CDaoRecordset action(&db);
  EXPECT_EQ(daoError([&] { action.Open(&q); }), 3219);  // an action query has no records to open
}

TEST_F(QueryDefs, StoredQueriesPersistAndCanBeReplaced) {
  {
    CDaoQueryDef q(&db);
    q.Create(L"Small", L"SELECT A FROM T WHERE A < 3");
    EXPECT_FALSE(q.IsOpen());
    q.Append();
    EXPECT_TRUE(q.IsOpen());
    CDaoQueryDef again(&db);
    again.Create(L"small", L"SELECT 1");
    CString msg;
    EXPECT_EQ(daoError([&] { again.Append(); }, &msg), 3012);
    EXPECT_STREQ(msg, L"Object 'small' already exists.");
    CDaoQueryDef clash(&db);
    clash.Create(L"T", L"SELECT 1");
    EXPECT_EQ(daoError([&] { clash.Append(); }), 3012);  // tables and queries share their names
  }
  db.Close();
  db.Open(dir.database("q.mdb"));
  ASSERT_EQ(db.GetQueryDefCount(), 1);
  CDaoQueryDefInfo info;
  db.GetQueryDefInfo(0, info, AFX_DAO_ALL_INFO);
  EXPECT_STREQ(info.m_strName, L"Small");
  EXPECT_STREQ(info.m_strSQL, L"SELECT A FROM T WHERE A < 3");
  EXPECT_TRUE(info.m_bReturnsRecords);

  CDaoQueryDef q(&db);
  EXPECT_EQ(daoError([&] { q.Open(L"Missing"); }), 3265);
  q.Open(L"SMALL");
  q.SetSQL(L"SELECT A FROM T WHERE A < 2");
  CDaoQueryDef reread(&db);
  reread.Open(L"Small");
  EXPECT_STREQ(reread.GetSQL(), L"SELECT A FROM T WHERE A < 2");
  CDaoRecordset rs(&db);
  rs.Open(&reread);
  EXPECT_EQ(rs.GetRecordCount(), 1);
  rs.Close();
  db.DeleteQueryDef(L"small");
  EXPECT_EQ(db.GetQueryDefCount(), 0);
  EXPECT_EQ(daoError([&] { db.DeleteQueryDef(L"small"); }), 3265);
  EXPECT_EQ(daoError([&] { db.GetQueryDefInfo(L"small", info); }), 3265);
}

TEST_F(QueryDefs, StatementsThatAreNotQueries) {
  CDaoQueryDef q(&db);
  q.Create(NULL, L"SELEKT nothing");
  EXPECT_EQ(daoError([&] { q.Execute(); }), 3129);
  q.SetSQL(L"DELETE FROM Nowhere");
  EXPECT_EQ(daoError([&] { q.Execute(); }), 3078);
  CDaoRecordset rs(&db);
  EXPECT_EQ(daoError([&] { rs.Open(dbOpenSnapshot, L"SELECT * FROM Nowhere"); }), 3078);
  EXPECT_EQ(daoError([&] { rs.Open(dbOpenSnapshot, L"WITH x AS (SELECT 1) DELETE FROM T"); }),
            3129);  // Jet has no WITH
  CDaoRecordset all(&db);
  all.Open(dbOpenTable, L"T");
  EXPECT_EQ(all.GetRecordCount(), 3);  // the refused statement did not run
}

}  // namespace
