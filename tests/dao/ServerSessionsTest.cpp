// Sessions of one server database: a walk through a table keeps what it read only
// until a commit is signalled (its own, another connection's, another process's), and
// the open modes keep each other out with DAO's errors as a file's lock does. Runs
// where the engine's suites run on the test server (TABRIK_TEST_PG_ENGINE).
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

#include "DaoStore.h"
#include "DaoTestSupport.h"

using namespace daotest;

namespace {

class ServerEngineWalk : public testing::Test {
 protected:
  void SetUp() override {
    if (!engineServer())
      GTEST_SKIP() << "TABRIK_TEST_PG_ENGINE and TABRIK_TEST_PG are not set: no test server";
    connect = dir.database("walk.mdb");
    writer.Create(connect);
    makeTable(writer, L"Parts", {{L"ID", dbLong, 0}, {L"Name", dbText, 40}},
              {{L"PK", {{L"ID", false}}, true, true}});
    writer.Execute(L"INSERT INTO Parts VALUES (1, 'bolt'), (2, 'nut'), (3, 'washer'), (4, 'pin')");
    reader.Open(connect);
  }

  ScratchDir dir;
  CString connect;
  CDaoDatabase writer, reader;
};

// Renames record 3 from a child process, a session of its own, and waits for it.
void renameInAnotherProcess(const CString& connect, const wchar_t* name) {
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    int status = 1;
    try {
      CDaoDatabase own;
      own.Open(connect);
      own.Execute(CString(L"UPDATE Parts SET Name = '") + name + L"' WHERE ID = 3");
      status = 0;
    } catch (CDaoException* e) {
      e->Delete();
    }
    _exit(status);
  }
  int status = -1;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(ServerEngineWalk, AWalkSeesEveryCommittedChange) {
  struct Case {
    const char* writer;
    std::function<void(const wchar_t*)> rename;
    // Another process's commit reaches the walk with the server's notification, a
    // moment after the commit: the walk waits for that signal, never for a time.
    bool waitForSignal;
  };
  auto renameVia = [](CDaoDatabase& db) {
    return [&db](const wchar_t* name) {
      db.Execute(CString(L"UPDATE Parts SET Name = '") + name + L"' WHERE ID = 3");
    };
  };
  const Case cases[] = {
      {"the walk's own session", renameVia(reader), false},
      {"another session of this process", renameVia(writer), false},
      {"another process", [&](const wchar_t* name) { renameInAnotherProcess(connect, name); },
       true},
  };
  DAODatabase& d = *reader.m_pDAODatabase;
  int round = 0;
  for (const Case& c : cases) {
    CString name;
    name.Format(L"renamed%d", ++round);
    CDaoRecordset rs(&reader);
    rs.Open(dbOpenTable, L"Parts");
    rs.SetCurrentIndex(L"PK");
    rs.MoveNext();  // on record 2, with the records after it read ahead
    ASSERT_EQ(showValue(rs.GetFieldValue(L"ID")), "2") << c.writer;
    DAODatabase::ChangeStamp before = d.changeStamp();
    c.rename(name.GetString());
    if (c.waitForSignal) {
      auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
      while (d.changeStamp() == before && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    rs.MoveNext();
    EXPECT_EQ(showValue(rs.GetFieldValue(L"Name")), "renamed" + std::to_string(round)) << c.writer;
    rs.MoveNext();
    EXPECT_EQ(showValue(rs.GetFieldValue(L"Name")), "pin") << c.writer;
  }
}

// Nothing committed, nothing signalled: the stamp stands, so a walk reads ahead in
// batches instead of asking the server at every step.
TEST_F(ServerEngineWalk, TheStampStandsWhileNobodyCommits) {
  DAODatabase& d = *reader.m_pDAODatabase;
  // Notifications of the set-up's own commits may still be on their way.
  DAODatabase::ChangeStamp stamp = d.changeStamp();
  for (int settled = 0, tries = 0; settled < 5 && tries < 500; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    DAODatabase::ChangeStamp now = d.changeStamp();
    settled = now == stamp ? settled + 1 : 0;
    stamp = now;
  }
  CDaoRecordset rs(&reader);
  rs.Open(dbOpenTable, L"Parts");
  for (; !rs.IsEOF(); rs.MoveNext()) {
  }
  EXPECT_TRUE(d.changeStamp() == stamp);
  writer.Execute(L"DELETE FROM Parts WHERE ID = 4");
  EXPECT_FALSE(d.changeStamp() == stamp);
}

TEST(ServerEngineOpenModes, ExclusiveKeepsOthersOutAsOnAFile) {
  if (!engineServer()) GTEST_SKIP() << "TABRIK_TEST_PG_ENGINE and TABRIK_TEST_PG are not set";
  ScratchDir dir;
  CString connect = dir.database("modes.mdb");
  {
    CDaoDatabase made;
    made.Create(connect);
  }
  struct Open {
    bool exclusive, readOnly;
  };
  const Open writer{false, false}, reader{false, true}, exclusive{true, false};
  struct Case {
    const char* what;
    Open held;    // a session that stays open
    Open wanted;  // another one's open
    long code;    // what the other gets
  };
  const Case cases[] = {
      {"writer, then exclusive", writer, exclusive, 3045},
      {"writer, then writer", writer, writer, 0},
      {"reader, then exclusive", reader, exclusive, 0},
      {"exclusive, then writer", exclusive, writer, 3051},
      {"exclusive, then exclusive", exclusive, exclusive, 3045},
      {"exclusive, then reader", exclusive, reader, 0},
  };
  for (const Case& c : cases) {
    CDaoDatabase held;
    held.Open(connect, c.held.exclusive, c.held.readOnly);
    CDaoDatabase other;
    CString msg;
    EXPECT_EQ(daoError([&] { other.Open(connect, c.wanted.exclusive, c.wanted.readOnly); }, &msg),
              c.code)
        << c.what;
    if (c.code == 3045) {
      EXPECT_STREQ(msg, L"Could not use '" + connect + L"'; file already in use.");
    }
    if (c.code == 3051) {
      EXPECT_STREQ(msg, L"The Microsoft Jet database engine cannot open the file '" + connect +
                            L"'.  It is already opened exclusively by another user, or you need "
                            L"permission to view its data.");
    }
  }
  // Once the exclusive session is gone, so is its hold.
  CDaoDatabase a, b;
  a.Open(connect, TRUE, FALSE);
  a.Close();
  b.Open(connect, TRUE, FALSE);
  EXPECT_TRUE(b.CanUpdate());
}

// Whatever fails, a password given in a connect string is never in the message: not
// for a server that cannot be reached, another ODBC driver's string, or a link.
TEST(ServerConnectStrings, APasswordNeverReachesAMessage) {
  ScratchDir dir;
  struct Case {
    const char* what;
    CString given;
    long code;
    CString message;  // empty: only checked for the password
  };
  const Case cases[] = {
      {"no server there",
       L"ODBC;DRIVER={PostgreSQL};SERVER=127.0.0.1;PORT=1;DATABASE=x;PWD=TopSecret", 3151,
       L"ODBC--connection to 'x on 127.0.0.1' failed."},
      {"another driver", L"ODBC;DRIVER={SQL Server};SERVER=h;DATABASE=d;PWD=TopSecret", 3151,
       L"ODBC--connection to 'ODBC;DRIVER={SQL Server};SERVER=h;DATABASE=d;PWD=***' failed."},
      {"another driver, any case", L"odbc;driver={SQL Server};pwd={Top;Secret}", 3151, L""},
  };
  for (const Case& c : cases) {
    CDaoDatabase db;
    CString msg;
    EXPECT_EQ(daoError([&] { db.Open(c.given); }, &msg), c.code) << c.what;
    EXPECT_EQ(msg.Find(L"Secret"), -1) << c.what;
    if (!c.message.IsEmpty()) {
      EXPECT_STREQ(msg, c.message) << c.what;
    }
  }
  CDaoDatabase db;
  db.Create(dir.file("main.mdb"));
  for (const Case& c : cases) {
    CDaoTableDef link(&db);
    link.Create(L"Far", 0, L"Src", c.given);
    CString msg;
    EXPECT_EQ(daoError([&] { link.Append(); }, &msg), c.code) << c.what;
    EXPECT_EQ(msg.Find(L"Secret"), -1) << c.what;
  }
}

}  // namespace
