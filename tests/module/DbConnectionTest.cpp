// CDBConnection on its own: how Open answers for a writable file, a file without
// write permission (DAO's 3051, opened read-only instead), a file that is not a
// database (the repair marker), and what creation and the table test keep as the
// last error.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "db/CDBConnection.h"
#include "host/DaoStartup.h"

namespace {

class DbConnectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/tabrik_dbconn_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    m_folder = folder;
    ASSERT_TRUE(tabrik::arx::startDatabaseEngine(m_startedDao));
  }
  void TearDown() override {
    if (m_startedDao) tabrik::arx::stopDatabaseEngine();
    std::system(("chmod -R u+w '" + m_folder + "'; rm -rf '" + m_folder + "'").c_str());
  }
  CString file(const char* name) const { return CString((m_folder + "/" + name).c_str()); }

  std::string m_folder;
  bool m_startedDao = false;
};

long lastErrorCode(const CDBConnection& connection) {
  long code = 0;
  CString description;
  connection.GetLastError(code, description);
  return code;
}

}  // namespace

TEST_F(DbConnectionTest, OpensWritableFilesAsAskedAndUnwritableOnesReadOnly) {
  CDBConnection creator;
  ASSERT_TRUE(creator.CreateDatabase(file("a.mdb")));
  {
    CDBConnection connection;
    EXPECT_EQ(connection.Open(file("a.mdb"), /*exclusive=*/false, /*readOnly=*/false),
              file("a.mdb"));
    EXPECT_FALSE(connection.IsReadOnly());
    EXPECT_TRUE(connection.HasNoTables());
    EXPECT_EQ(connection.Open(file("a.mdb"), /*exclusive=*/false, /*readOnly=*/true),
              file("a.mdb"));
    EXPECT_TRUE(connection.IsReadOnly());
  }
  ASSERT_EQ(chmod((m_folder + "/a.mdb").c_str(), 0444), 0);
  CDBConnection connection;
  EXPECT_EQ(connection.Open(file("a.mdb"), /*exclusive=*/false, /*readOnly=*/false), file("a.mdb"));
  EXPECT_TRUE(connection.IsOpen());
  EXPECT_TRUE(connection.IsReadOnly());
  EXPECT_FALSE(connection.HasError());
}

TEST_F(DbConnectionTest, FileThatIsNoDatabaseAsksForRepair) {
  std::ofstream(m_folder + "/junk.mdb") << "not a database\n";
  CDBConnection connection;
  EXPECT_EQ(connection.Open(file("junk.mdb"), /*exclusive=*/false, /*readOnly=*/false),
            CString(CDBConnection::kRepairMarker));
  EXPECT_FALSE(connection.IsOpen());
  EXPECT_TRUE(connection.HasError());
  EXPECT_NE(lastErrorCode(connection), 3051);
  // Closing keeps the reason for the report.
  connection.Close();
  EXPECT_TRUE(connection.HasError());
  EXPECT_TRUE(connection.IsReadOnly());
  EXPECT_TRUE(connection.GetDatabaseName().IsEmpty());
}

TEST_F(DbConnectionTest, CreationAndTableTestKeepDaoErrors) {
  CDBConnection connection;
  ASSERT_TRUE(connection.CreateDatabase(file("b.mdb")));
  EXPECT_FALSE(connection.CreateDatabase(file("b.mdb")));
  EXPECT_TRUE(connection.HasError());
  EXPECT_EQ(lastErrorCode(connection), 3204);  // Database already exists.
  // Not open: no answer and no error.
  bool exists = true;
  EXPECT_FALSE(connection.TableExists(L"Parts", exists));
  EXPECT_FALSE(exists);
  EXPECT_FALSE(connection.HasError());
  // No current table: every cursor operation fails without an error.
  DBRecord record;
  long count = 0;
  EXPECT_FALSE(connection.MoveFirst(record));
  EXPECT_FALSE(connection.Skip(1, record));
  EXPECT_FALSE(connection.GetRecordCount(count));
  EXPECT_FALSE(connection.CloseTable());
  EXPECT_TRUE(connection.CloseAllTables());
  EXPECT_FALSE(connection.HasError());
  EXPECT_TRUE(connection.GetCurrentTable().IsEmpty());
}
