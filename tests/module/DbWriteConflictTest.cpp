// CDBConnection's writes against a lock held by another process: a forked child opens
// the same database and keeps a record in pessimistic edit, so the writes here meet
// DAO's conflict errors and retry. The two processes agree by pipes; the connection
// under test replaces its wait between attempts by a step that counts the attempts
// and, at the chosen one, has the child release its lock. The failure text is
// checked against DAO's documented descriptions.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include <afxdao.h>

#include "db/CDBConnection.h"
#include "db/ConnectionList.h"
#include "db/FailureReport.h"
#include "host/DaoStartup.h"

namespace {

// A forked process running `body`; it talks to the test through two pipes and leaves
// with _exit, never returning into the test framework.
class Child {
 public:
  explicit Child(const std::function<int(Child&)>& body) {
    if (pipe(m_up) != 0 || pipe(m_down) != 0) return;
    m_pid = fork();
    if (m_pid == 0) {
      close(m_up[0]);
      close(m_down[1]);
      int code = 99;
      try {
        code = body(*this);
      } catch (CException* e) {
        e->Delete();
        code = 98;
      }
      _exit(code);
    }
    close(m_up[1]);
    close(m_down[0]);
  }
  ~Child() {
    close(m_up[0]);
    close(m_down[1]);
    if (m_pid > 0 && !m_reaped) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // In the child.
  void tell(int value) { (void)!write(m_up[1], &value, sizeof value); }
  void awaitGo() {
    char c;
    (void)!read(m_down[0], &c, 1);
  }
  // In the test.
  int hear() {
    int value = -1;
    return read(m_up[0], &value, sizeof value) == static_cast<ssize_t>(sizeof value) ? value : -1;
  }
  void go() { (void)!write(m_down[1], "g", 1); }
  int exitCode() {
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_reaped = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  bool started() const { return m_pid > 0; }

 private:
  int m_up[2] = {-1, -1};
  int m_down[2] = {-1, -1};
  pid_t m_pid = -1;
  bool m_reaped = false;
};

constexpr int kLocked = 1;
constexpr int kReleased = 2;
constexpr int kNever = 0;

// The child: opens the database, edits the first record of T pessimistically (which
// locks it), reports kLocked, and on the go-ahead saves the edit and reports kReleased.
int holdLock(Child& me, const CString& path) {
  CDaoDatabase database;
  database.Open(path);
  CDaoRecordset cursor(&database);
  cursor.Open(dbOpenTable, L"T");
  cursor.SetLockingMode(/*bPessimistic=*/TRUE);
  cursor.Edit();
  cursor.SetFieldValue(L"Name", COleVariant(L"child", VT_BSTR));
  me.tell(kLocked);
  me.awaitGo();
  cursor.Update();
  me.tell(kReleased);
  me.awaitGo();
  return 0;
}

// A connection whose wait between attempts is a step of the test: at attempt
// `releaseAt` the child saves its edit, and the next attempt finds the lock gone.
class ConflictedConnection : public CDBConnection {
 public:
  ConflictedConnection(Child& child, int releaseAt) : m_child(child), m_releaseAt(releaseAt) {}
  int waits() const { return m_waits; }
  bool released() const { return m_released; }

 protected:
  void waitAfterConflict(int attemptsMade) override {
    ++m_waits;
    EXPECT_EQ(attemptsMade, m_waits);
    if (attemptsMade == m_releaseAt) {
      m_child.go();
      m_released = m_child.hear() == kReleased;
    }
  }

 private:
  Child& m_child;
  int m_releaseAt;
  int m_waits = 0;
  bool m_released = false;
};

// DAO's texts for the conflict errors a blocked write meets.
const std::map<long, std::wstring> kConflictTexts = {
    {3046, L"Could not save; currently locked by another user."},
    {3158, L"Could not save record; currently locked by another user."},
    {3188, L"Could not update; currently locked by another session on this machine."},
    {3202, L"Could not save; currently locked by another user."},
    {3218, L"Could not update; currently locked."},
};

enum class Write { kReplace, kAppend, kDelete };

COleVariant text(const wchar_t* value) { return COleVariant(value, VT_BSTR); }

class DbWriteConflictTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/tabrik_conflict_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    m_folder = folder;
    m_path = CString((m_folder + "/shared.mdb").c_str());
    ASSERT_TRUE(tabrik::arx::startDatabaseEngine(m_startedDao));
    CDaoDatabase database;
    database.Create(m_path);
    CDaoTableDef table(&database);
    table.Create(L"T");
    CDaoFieldInfo id;
    id.m_strName = L"ID";
    id.m_nType = dbLong;
    id.m_lSize = 4;
    id.m_lAttributes = dbAutoIncrField;
    table.CreateField(id);
    CDaoFieldInfo name;
    name.m_strName = L"Name";
    name.m_nType = dbText;
    name.m_lSize = 20;
    table.CreateField(name);
    table.Append();
    CDaoRecordset cursor(&database);
    cursor.Open(dbOpenTable, L"T");
    cursor.AddNew();
    cursor.SetFieldValue(L"Name", text(L"first"));
    cursor.Update();
  }
  void TearDown() override {
    m_connection.reset();
    m_child.reset();
    tabrik::arx::db::ClearCurrent();
    tabrik::arx::db::setLastErrorText(L"");
    if (m_startedDao) tabrik::arx::stopDatabaseEngine();
    std::system(("rm -rf '" + m_folder + "'").c_str());
  }

  // Runs the write with the child holding its lock; the child releases it at the wait
  // after attempt `releaseAt` (kNever: not before the write gives up).
  bool writeAgainstLock(Write write, int releaseAt, ConflictedConnection*& used, DBRecord& record) {
    const CString path = m_path;
    m_child = std::make_unique<Child>([path](Child& me) { return holdLock(me, path); });
    EXPECT_TRUE(m_child->started());
    EXPECT_EQ(m_child->hear(), kLocked);
    m_connection = std::make_unique<ConflictedConnection>(*m_child, releaseAt);
    used = m_connection.get();
    EXPECT_EQ(m_connection->Open(m_path, /*exclusive=*/false, /*readOnly=*/false), m_path);
    EXPECT_TRUE(m_connection->OpenTable(L"T", L""));
    switch (write) {
      case Write::kReplace:
        return m_connection->ReplaceRecord({{L"Name", text(L"parent")}}, record);
      case Write::kAppend:
        return m_connection->AppendRecord({{L"Name", text(L"added")}}, /*fill=*/false, record);
      case Write::kDelete:
        return m_connection->DeleteRecord();
    }
    return false;
  }
  // Lets a child that still holds its lock save and leave.
  int finishChild() {
    if (!m_connection->released()) {
      m_child->go();
      EXPECT_EQ(m_child->hear(), kReleased);
    }
    m_child->go();
    return m_child->exitCode();
  }

  std::string m_folder;
  CString m_path;
  bool m_startedDao = false;
  std::unique_ptr<Child> m_child;
  std::unique_ptr<ConflictedConnection> m_connection;
};

CString valueOf(const DBRecord& record, const wchar_t* name) {
  for (const DBField& field : record) {
    if (field.name == name && field.value.vt == VT_BSTR) return CString(field.value.bstrVal);
  }
  return CString(L"<none>");
}

TEST_F(DbWriteConflictTest, WritesSucceedOnceTheLockIsReleasedWithinTheAttempts) {
  struct Case {
    const char* name;
    Write write;
    int releaseAt;
    const wchar_t* expectedName;  // of the record the write produces
  };
  const Case cases[] = {
      {"replace, released after the first attempt", Write::kReplace, 1, L"parent"},
      {"replace, released after the nineteenth", Write::kReplace, 19, L"parent"},
      {"append, released after the third", Write::kAppend, 3, L"added"},
      {"delete, released after the second", Write::kDelete, 2, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    ConflictedConnection* connection = nullptr;
    DBRecord record;
    EXPECT_TRUE(writeAgainstLock(c.write, c.releaseAt, connection, record));
    EXPECT_EQ(connection->waits(), c.releaseAt);
    EXPECT_TRUE(connection->released());
    EXPECT_FALSE(connection->HasError());
    if (c.expectedName != nullptr) {
      EXPECT_EQ(valueOf(record, L"Name"), CString(c.expectedName));
    }
    EXPECT_EQ(finishChild(), 0);
    // What the table holds once both processes are done: the child's edit was saved
    // first, then this process's write.
    long count = 0;
    DBRecord first;
    ASSERT_TRUE(connection->OpenTable(L"T", L""));
    ASSERT_TRUE(connection->GetRecordCount(count));
    switch (c.write) {
      case Write::kReplace:
        EXPECT_EQ(count, 1);
        ASSERT_TRUE(connection->MoveFirst(first));
        EXPECT_EQ(valueOf(first, L"Name"), CString(L"parent"));
        break;
      case Write::kAppend:
        EXPECT_EQ(count, 2);
        ASSERT_TRUE(connection->MoveFirst(first));
        EXPECT_EQ(valueOf(first, L"Name"), CString(L"child"));
        break;
      case Write::kDelete:
        EXPECT_EQ(count, 0);
        break;
    }
    m_connection.reset();
  }
}

TEST_F(DbWriteConflictTest, WritesGiveUpAfterTwentyAttemptsAndReportTheConflict) {
  struct Case {
    const char* name;
    Write write;
    bool errorKept;  // a delete that gives up keeps no error
  };
  const Case cases[] = {
      {"replace", Write::kReplace, true},
      {"append", Write::kAppend, true},
      {"delete", Write::kDelete, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    ConflictedConnection* connection = nullptr;
    DBRecord record;
    EXPECT_FALSE(writeAgainstLock(c.write, kNever, connection, record));
    // Twenty attempts, with a wait between each two of them.
    EXPECT_EQ(connection->waits(), 19);
    EXPECT_FALSE(connection->released());
    EXPECT_EQ(connection->HasError(), c.errorKept);

    namespace db = tabrik::arx::db;
    db::setLastErrorText(L"untouched");
    db::SetCurrent(connection, m_path.GetString(), /*readOnly=*/false);
    EXPECT_EQ(db::reportFailure(), c.errorKept);
    if (c.errorKept) {
      long code = 0;
      CString description;
      connection->GetLastError(code, description);
      ASSERT_EQ(kConflictTexts.count(code), 1u) << code;
      EXPECT_EQ(db::lastErrorText(),
                L"(" + std::to_wstring(code) + L") " + kConflictTexts.at(code));
    } else {
      EXPECT_EQ(db::lastErrorText(), L"untouched");
    }
    db::ClearCurrent();
    EXPECT_EQ(finishChild(), 0);
    m_connection.reset();
  }
}

}  // namespace
