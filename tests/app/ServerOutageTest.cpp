// The server going away in the middle of a session: the call that finds it gone fails
// with DAO's error for a lost connection, nothing crashes, and once the server is
// back the next call reconnects and sees everything committed before.
#include <cstdlib>

#include "../dao/DaoTestSupport.h"
#include "ServerTestSupport.h"

namespace {

using daotest::daoError;
using daotest::snapshotRows;

// Stops or starts the test server through the script that started it.
int serverControl(const char* verb) {
  const char* dir = std::getenv("TABRIK_TEST_PG_DIR");
  if (dir == nullptr) return -1;
  const std::string command = std::string(TABRIK_SOURCE_DIR) + "/scripts/pg-server.sh " + verb +
                              " '" + dir + "' >/dev/null 2>&1";
  return std::system(command.c_str());
}

// The engine's error for a connection lost under a call, and for every call while the
// server cannot be reached again (3151 is only for an open that never connected).
bool isLostConnection(long code) { return code == 3043; }

TEST(ServerOutage, ACallAfterTheServerStoppedFailsAndTheNextReconnects) {
  auto server = daotest::TestServerDatabase::make("outage");
  if (!server) GTEST_SKIP() << daotest::TestServerDatabase::whyNot();
  if (std::getenv("TABRIK_TEST_PG_DIR") == nullptr)
    GTEST_SKIP() << "the test server was not started by scripts/pg-server.sh";
  // Other tests use a shared server meanwhile; ctest's app_tests/server-outage runs
  // this on a server started for it alone (tests/dao/on-test-server.sh).
  if (std::getenv("TABRIK_TEST_PG_PRIVATE") == nullptr)
    GTEST_SKIP() << "the test server is shared with other tests: it is not stopped under them";
  const CString connect(server->connectString().c_str());
  CDaoDatabase db;
  db.Open(connect, FALSE, FALSE, connect);
  daotest::makeTable(db, L"Parts", {{L"ID", dbLong, 0}, {L"Name", dbText, 20}});
  db.Execute(L"INSERT INTO Parts VALUES (1, 'before')");

  ASSERT_EQ(serverControl("halt"), 0);
  struct Case {
    const char* name;
    std::function<void()> call;
  };
  const Case whileDown[] = {
      {"a statement", [&] { db.Execute(L"INSERT INTO Parts VALUES (2, 'lost')"); }},
      {"a query", [&] { snapshotRows(db, L"SELECT Name FROM Parts"); }},
      {"a table's records",
       [&] {
         CDaoRecordset rs(&db);
         rs.Open(dbOpenTable, L"Parts");
       }},
  };
  for (const Case& c : whileDown) {
    SCOPED_TRACE(c.name);
    CString why;
    const long code = daoError(c.call, &why);
    EXPECT_TRUE(isLostConnection(code)) << code;
    // the message names the server, never its password
    EXPECT_EQ(std::wstring(why.GetString()).find(L"PWD="), std::wstring::npos);
  }
  ASSERT_EQ(serverControl("resume"), 0);

  EXPECT_EQ(daoError([&] { db.Execute(L"INSERT INTO Parts VALUES (3, 'after')"); }), 0);
  EXPECT_EQ(snapshotRows(db, L"SELECT ID, Name FROM Parts ORDER BY ID"), "1|before;3|after");
}

}  // namespace
