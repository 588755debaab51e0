// Saves of several rows as one transaction on the sample standards database: a save
// that fails anywhere (a duplicate in a unique index, a statement refused, the save
// giving up) leaves every row as it was, a save that succeeds keeps them all, and a
// save that cannot take the write lock runs nothing. Also the connection's nesting of
// transaction levels, which the guard relies on.
#include "StandardsTestDatabase.h"
#include "standards/LayerStandards.h"
#include "standards/SaveTransaction.h"
#include "standards/TblLayer.h"

namespace {

using namespace tabrik::arx::standards;
using Strings = std::vector<std::wstring>;
using tabrik::testing::narrow;

class SaveTransactionTest : public tabrik::testing::StandardsDatabaseTest {
 public:  // the table's saves call these on the fixture they are given
  bool rename(long layer, const wchar_t* name) {
    CTblLayer record(&m_connection);
    if (!record.FindByKey(layer)) return false;
    record.Edit();
    record.SetText(CTblLayer::kName, name);
    return record.Save();
  }
  bool statement(const wchar_t* text) {
    long affected = 0;
    return m_connection.ExecuteSQL(text, affected) && !m_connection.HasError();
  }
  Strings layers() {
    return column(L"SELECT sName FROM tblLayer WHERE ixLayer IN (3, 5) ORDER BY ixLayer");
  }
  Strings system() {
    return column(L"SELECT sDescription FROM tblLayerSystem WHERE ixLayerSystem = 1");
  }
};

TEST_F(SaveTransactionTest, FailureAnywhereUndoesEveryRowOfTheSave) {
  // Two layers may not share a name, so the second rename below can fail.
  run(L"CREATE UNIQUE INDEX uxName ON tblLayer (sName)");
  const Strings layersBefore = layers();
  const Strings systemBefore = system();
  ASSERT_EQ(layersBefore, (Strings{L"M-DUCT-EXHS", L"M-EQPM"}));

  struct Case {
    const char* name;
    std::function<bool(SaveTransactionTest&)> save;
    bool kept;
    Strings layers;  // empty: as before
    Strings system;  // empty: as before
    long errorCode;  // the error the connection reports afterwards; 0 for none
  };
  const std::vector<Case> cases = {
      {"every row written",
       [](SaveTransactionTest& t) {
         return t.statement(
                    L"UPDATE tblLayerSystem SET sDescription = 'S' WHERE ixLayerSystem = 1") &&
                t.rename(3, L"A") && t.rename(5, L"B");
       },
       true,
       {L"A", L"B"},
       {L"S"},
       0},
      {"second row duplicates the first",
       [](SaveTransactionTest& t) {
         return t.statement(
                    L"UPDATE tblLayerSystem SET sDescription = 'S' WHERE ixLayerSystem = 1") &&
                t.rename(3, L"X") && t.rename(5, L"X");
       },
       false,
       {},
       {},
       3022},
      {"statement refused after rows written",
       [](SaveTransactionTest& t) {
         return t.rename(3, L"A") && t.rename(5, L"B") &&
                t.statement(L"UPDATE tblLayer SET sName = 'X' WHERE ixLayer IN (3, 5)");
       },
       false,
       {},
       {},
       3022},
      {"save gives up without an error",
       [](SaveTransactionTest& t) {
         // Both writes must succeed for the giving up to be what undoes them.
         const bool wrote = t.rename(3, L"A") &&
                            t.statement(L"DELETE FROM tblLayerSystem WHERE ixLayerSystem = 1");
         return !wrote;
       },
       false,
       {},
       {},
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(saveTogether(m_connection, [&] { return c.save(*this); }), c.kept);
    long code = 0;
    CString description;
    m_connection.GetLastError(code, description);
    // The failure's own error survives the rollback, for the message the dialog shows.
    EXPECT_EQ(m_connection.HasError() ? code : 0, c.errorCode) << narrow(description);
    EXPECT_EQ(layers(), c.layers.empty() ? layersBefore : c.layers);
    EXPECT_EQ(system(), c.system.empty() ? systemBefore : c.system);
    // Put the kept case back, so that each case starts from the same rows.
    if (c.kept) {
      ASSERT_TRUE(rename(3, layersBefore[0].c_str()));
      ASSERT_TRUE(rename(5, layersBefore[1].c_str()));
      ASSERT_TRUE(statement((L"UPDATE tblLayerSystem SET sDescription = '" + systemBefore[0] +
                             L"' WHERE ixLayerSystem = 1")
                                .c_str()));
    }
  }
  // No transaction is left open: a write now lands at once, as outside any save.
  ASSERT_TRUE(rename(3, L"After"));
  CDBConnection other;
  ASSERT_EQ(other.Open(m_path, false, true), m_path);
  DBQueryResult seen;
  ASSERT_TRUE(other.OpenQuery(L"SELECT sName FROM tblLayer WHERE ixLayer = 3", seen));
  ASSERT_EQ(seen.values.size(), 1u);
  EXPECT_EQ(CString(seen.values[0].bstrVal), CString(L"After"));
}

TEST_F(SaveTransactionTest, SaveThatCannotTakeTheWriteLockRunsNothing) {
  CDBConnection other;
  ASSERT_EQ(other.Open(m_path, false, false), m_path);
  ASSERT_TRUE(other.BeginTrans());  // holds the file's write lock
  bool ran = false;
  EXPECT_FALSE(saveTogether(m_connection, [&] {
    ran = true;
    return true;
  }));
  EXPECT_FALSE(ran);
  long code = 0;
  CString description;
  m_connection.GetLastError(code, description);
  EXPECT_TRUE(m_connection.HasError());
  EXPECT_TRUE(CDBConnection::isConflictError(code)) << code << " " << narrow(description);
  EXPECT_TRUE(other.Rollback());
  // With the lock released the same save goes through.
  EXPECT_TRUE(saveTogether(m_connection, [&] { return rename(5, L"Free"); }));
  EXPECT_EQ(layers(), (Strings{L"M-DUCT-EXHS", L"Free"}));
}

TEST_F(SaveTransactionTest, LevelsNestAndEndInnermostFirst) {
  struct Case {
    const char* name;
    bool commitInner;
    bool commitOuter;
    const wchar_t* expected;
  };
  const Case cases[] = {
      {"inner rolled back, outer committed", false, true, L"Outer"},
      {"inner committed, outer rolled back", true, false, L"M-EQPM"},
      {"both committed", true, true, L"Inner"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_TRUE(m_connection.BeginTrans());
    ASSERT_TRUE(rename(5, L"Outer"));
    ASSERT_TRUE(m_connection.BeginTrans());
    ASSERT_TRUE(rename(5, L"Inner"));
    EXPECT_TRUE(c.commitInner ? m_connection.CommitTrans() : m_connection.Rollback());
    EXPECT_TRUE(c.commitOuter ? m_connection.CommitTrans() : m_connection.Rollback());
    EXPECT_EQ(layers()[1], c.expected);
    ASSERT_TRUE(rename(5, L"M-EQPM"));
  }
  // Ending a level that was never begun is DAO's error, kept on the connection.
  for (bool commit : {true, false}) {
    EXPECT_FALSE(commit ? m_connection.CommitTrans() : m_connection.Rollback());
    long code = 0;
    CString description;
    m_connection.GetLastError(code, description);
    EXPECT_EQ(code, 3034);
  }
}

TEST_F(SaveTransactionTest, GuardRollsBackUnlessCommitted) {
  {
    SaveTransaction transaction(m_connection);
    ASSERT_TRUE(transaction.Begun());
    ASSERT_TRUE(rename(3, L"Dropped"));
  }
  {
    SaveTransaction transaction(m_connection);
    ASSERT_TRUE(rename(5, L"Kept"));
    EXPECT_TRUE(transaction.Commit());
    EXPECT_FALSE(transaction.Commit());  // once only
  }
  EXPECT_EQ(layers(), (Strings{L"M-DUCT-EXHS", L"Kept"}));
}

}  // namespace
