// New databases on an office's server: a database created by path goes to the server
// TABRIK_DATABASE_SERVER names, with a pointer file at the path that every later open
// follows, and nothing is left behind by a create that fails.
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "DaoTestSupport.h"
#include "server/ConnectString.h"
#include "server/NewDatabases.h"

using namespace tabrik::dao::server;
using namespace daotest;

namespace {

TEST(ServerNewDatabases, DatabaseNamesComeFromTheFileName) {
  struct Case {
    const char* path;
    unsigned unique;
    const char* expected;
  };
  const Case cases[] = {
      {"/jobs/Tour-A.mdb", 0x1a2b, "tour_a_00001a2b"},
      {"plain", 0xffffffffu, "plain_ffffffff"},
      {"/jobs/2024 plan.accdb", 7, "db_2024_plan_00000007"},
      {"/jobs/Ünïcode.mdb", 1, "__n__code_00000001"},
      {"/jobs/.mdb", 2, "_mdb_00000002"},
      {"/a/b/", 3, "db__00000003"},
      {"/jobs/a-very-long-name-that-goes-on-and-on-past-forty-characters.mdb", 4,
       "a_very_long_name_that_goes_on_and_on_pas_00000004"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(serverDatabaseName(c.path, c.unique), c.expected);
  }
}

TEST(ServerNewDatabases, PointerStringsNameTheServerButNoPassword) {
  ServerAddress address{"db.office", "5433", "job_1", "ann", "secret", "sslmode='require'"};
  std::string connect = pointerConnectString(address);
  EXPECT_EQ(connect.find("secret"), std::string::npos);
  std::optional<ServerAddress> back = parseConnectString(connect);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->host, "db.office");
  EXPECT_EQ(back->port, "5433");
  EXPECT_EQ(back->database, "job_1");
  EXPECT_EQ(back->user, "ann");
  EXPECT_EQ(back->password, "");
  EXPECT_EQ(back->options, "sslmode='require'");
  // A value that would split the string travels in braces.
  address.database = "a;b}c";
  back = parseConnectString(pointerConnectString(address));
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(back->database, "a;b}c");
}

class ServerNewDatabasesOnServer : public testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("TABRIK_TEST_PG")) GTEST_SKIP() << "TABRIK_TEST_PG is not set: no test server";
    setenv(kNewDatabasesVariable, "ODBC;DRIVER={PostgreSQL}", 1);
  }
  void TearDown() override { unsetenv(kNewDatabasesVariable); }
  static std::string fileText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static bool exists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
  }
  ScratchDir dir;
};

TEST_F(ServerNewDatabasesOnServer, ACreatedPathPointsToANewServerDatabase) {
  std::string path = dir.path() + "/Job 7.mdb";
  {
    CDaoDatabase db;
    db.Create(CString(path.c_str()));
    makeTable(db, L"Parts", {{L"ID", dbLong, 4}, {L"Name", dbText, 20}});
    db.Execute(L"INSERT INTO Parts VALUES (1, 'bolt')");
  }
  std::optional<std::string> pointed = readPointerFile(path);
  ASSERT_TRUE(pointed.has_value()) << fileText(path);
  std::optional<ServerAddress> address = parseConnectString(*pointed);
  ASSERT_TRUE(address.has_value());
  EXPECT_EQ(address->database.rfind("job_7_", 0), 0u) << address->database;
  // Opened again by its path, and by the string the file holds: the same records.
  for (const std::string& name : {path, *pointed}) {
    CDaoDatabase again;
    again.Open(CString(name.c_str()));
    CDaoRecordset rs(&again);
    rs.Open(dbOpenSnapshot, L"SELECT Name FROM Parts");
    ASSERT_FALSE(rs.IsEOF());
    EXPECT_EQ(CString(rs.GetFieldValue(0).bstrVal), CString(L"bolt"));
  }
  // A path that is taken stays as it is.
  CDaoDatabase twice;
  EXPECT_EQ(daoError([&] { twice.Create(CString(path.c_str())); }), 3204);
  EXPECT_EQ(readPointerFile(path), pointed);
  PGconn* admin = PQconnectdb(std::getenv("TABRIK_TEST_PG"));
  std::string drop = "DROP DATABASE IF EXISTS \"" + address->database + "\" WITH (FORCE)";
  PGresult* dropped = PQexec(admin, drop.c_str());
  EXPECT_EQ(PQresultStatus(dropped), PGRES_COMMAND_OK) << PQerrorMessage(admin);
  PQclear(dropped);
  PQfinish(admin);
}

TEST_F(ServerNewDatabasesOnServer, AFailedCreateLeavesNothingBehind) {
  struct Case {
    const char* setting;
    long error;
  };
  const Case cases[] = {
      {"not a connect string", 3151},
      {"ODBC;DRIVER={PostgreSQL};SERVER=127.0.0.1;PORT=1", 3151},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.setting);
    setenv(kNewDatabasesVariable, c.setting, 1);
    std::string path = dir.path() + "/failed.mdb";
    CDaoDatabase db;
    EXPECT_EQ(daoError([&] { db.Create(CString(path.c_str())); }), c.error);
    EXPECT_FALSE(exists(path));
  }
  // A folder that does not exist fails before anything is made on the server.
  setenv(kNewDatabasesVariable, "ODBC;DRIVER={PostgreSQL}", 1);
  CDaoDatabase db;
  EXPECT_EQ(daoError([&] { db.Create(CString((dir.path() + "/no/such/folder.mdb").c_str())); }),
            3044);
}

}  // namespace
