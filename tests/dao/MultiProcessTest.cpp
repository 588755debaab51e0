// Several processes on one database file (real processes, synchronised by pipes):
// exclusive use, lock conflicts surfacing as DAO's conflict errors, readers never
// blocked, changes of others seen at once, and a writer killed in mid-write.
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "DaoTestSupport.h"

using namespace daotest;

namespace {

// A forked process running `body`; it talks to the test through two pipes. The
// child never returns into the test framework: it leaves with _exit.
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
      } catch (...) {
        code = 97;
      }
      _exit(code);
    }
    close(m_up[1]);
    close(m_down[0]);
  }
  ~Child() {
    if (m_pid > 0 && !m_reaped) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
    }
  }
  // In the child: tell the test something (4 bytes) / wait for its go-ahead.
  void tell(int value) { (void)!write(m_up[1], &value, sizeof value); }
  void awaitGo() {
    char c;
    (void)!read(m_down[0], &c, 1);
  }
  // In the test.
  bool hear(int& value) {
    return read(m_up[0], &value, sizeof value) == static_cast<ssize_t>(sizeof value);
  }
  void go() { (void)!write(m_down[1], "g", 1); }
  int exitCode() {
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_reaped = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  void killHard() {
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
    m_reaped = true;
  }
  bool started() const { return m_pid > 0; }

 private:
  int m_up[2] = {-1, -1};
  int m_down[2] = {-1, -1};
  pid_t m_pid = -1;
  bool m_reaped = false;
};

bool isConflict(long code) {
  for (long c : {3009L, 3046L, 3158L, 3164L, 3186L, 3187L, 3188L, 3189L, 3202L, 3211L, 3212L, 3218L,
                 3225L, 3260L, 3261L, 3262L, 3624L})
    if (code == c) return true;
  return false;
}

// Each case runs with write-ahead logging (local disks) and with the rollback
// journal (network file systems).
class MultiProcess : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    setenv("TABRIK_DAO_JOURNAL", GetParam(), 1);
    path = dir.file("shared.mdb");
    CDaoDatabase db;
    db.Create(path);
    makeTable(db, L"T", {{L"ID", dbLong, 0, dbAutoIncrField}, {L"Name", dbText, 20}},
              {{L"PK", {{L"ID", false}}, true, true}});
    CDaoRecordset rs(&db);
    rs.Open(dbOpenTable, L"T");
    rs.AddNew();
    rs.SetFieldValue(L"Name", COleVariant(L"first"));
    rs.Update();
  }
  void TearDown() override { unsetenv("TABRIK_DAO_JOURNAL"); }

  ScratchDir dir;
  CString path;
};

TEST_P(MultiProcess, ExclusiveUseElsewhereLeavesReadOnlyHere) {
  CString p = path;
  Child child([p](Child& me) {
    CDaoDatabase db;
    db.Open(p, /*bExclusive=*/TRUE);
    me.tell(1);
    me.awaitGo();
    return 0;
  });
  ASSERT_TRUE(child.started());
  int ready = 0;
  ASSERT_TRUE(child.hear(ready));
  CDaoDatabase db;
  EXPECT_EQ(daoError([&] { db.Open(path); }), 3051);
  db.Open(path, FALSE, /*bReadOnly=*/TRUE);
  EXPECT_FALSE(db.CanUpdate());
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"T", dbReadOnly);
  EXPECT_EQ(rs.GetRecordCount(), 1);
  EXPECT_STREQ(text(rs.GetFieldValue(L"Name")), L"first");
  child.go();
  EXPECT_EQ(child.exitCode(), 0);
}

TEST_P(MultiProcess, ALockHeldElsewhereIsAConflictThatARetryOvercomes) {
  CString p = path;
  Child child([p](Child& me) {
    CDaoDatabase db;
    db.Open(p);
    CDaoRecordset rs(&db);
    rs.Open(dbOpenTable, L"T");
    rs.SetLockingMode(TRUE);
    rs.Edit();  // holds the lock until Update
    rs.SetFieldValue(L"Name", COleVariant(L"edited"));
    me.tell(1);
    me.awaitGo();
    rs.Update();
    me.tell(2);
    me.awaitGo();
    return 0;
  });
  ASSERT_TRUE(child.started());
  int said = 0;
  ASSERT_TRUE(child.hear(said));
  CDaoDatabase db;
  db.Open(path);
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"T");
  // Reading is never blocked by the lock.
  EXPECT_EQ(rs.GetRecordCount(), 1);
  EXPECT_STREQ(text(rs.GetFieldValue(L"Name")), L"first");
  rs.AddNew();
  rs.SetFieldValue(L"Name", COleVariant(L"second"));
  long addError = daoError([&] { rs.Update(); });
  EXPECT_TRUE(isConflict(addError)) << addError;
  EXPECT_EQ(rs.GetEditMode(), dbEditAdd);  // still pending: the caller may retry
  long editError = daoError([&] { rs.Edit(); });
  EXPECT_TRUE(isConflict(editError)) << editError;
  long deleteError = daoError([&] { rs.Delete(); });
  EXPECT_TRUE(isConflict(deleteError)) << deleteError;

  child.go();
  ASSERT_TRUE(child.hear(said));
  rs.AddNew();
  rs.SetFieldValue(L"Name", COleVariant(L"second"));
  rs.Update();  // the retry after the lock is gone
  EXPECT_EQ(rs.GetRecordCount(), 2);
  rs.Move(0);
  EXPECT_STREQ(text(rs.GetFieldValue(L"Name")),
               L"edited");  // the other process's change, seen at once
  child.go();
  EXPECT_EQ(child.exitCode(), 0);
}

TEST_P(MultiProcess, AnOpenRecordsetSeesRecordsAddedElsewhere) {
  CDaoDatabase db;
  db.Open(path);
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"T");
  rs.SetCurrentIndex(L"PK");
  CString p = path;
  Child child([p](Child& me) {
    CDaoDatabase other;
    other.Open(p);
    CDaoRecordset w(&other);
    w.Open(dbOpenTable, L"T");
    w.AddNew();
    w.SetFieldValue(L"Name", COleVariant(L"from child"));
    w.Update();
    me.tell(1);
    return 0;
  });
  ASSERT_TRUE(child.started());
  int said = 0;
  ASSERT_TRUE(child.hear(said));
  EXPECT_EQ(child.exitCode(), 0);
  EXPECT_EQ(rs.GetRecordCount(), 2);
  rs.MoveNext();
  ASSERT_FALSE(rs.IsEOF());
  EXPECT_STREQ(text(rs.GetFieldValue(L"Name")), L"from child");
  EXPECT_EQ(rs.GetFieldValue(L"ID").lVal, 2);
}

TEST_P(MultiProcess, RecordsReadAheadAreDroppedWhenAnotherProcessWrites) {
  CDaoDatabase db;
  db.Open(path);
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"T");
  for (const wchar_t* name : {L"second", L"third"}) {
    rs.AddNew();
    rs.SetFieldValue(L"Name", COleVariant(name));
    rs.Update();
  }
  rs.SetCurrentIndex(L"PK");
  rs.MoveNext();  // on "second"; "third" may already be read ahead
  EXPECT_STREQ(text(rs.GetFieldValue(L"Name")), L"second");
  CString p = path;
  Child child([p](Child& me) {
    CDaoDatabase other;
    other.Open(p);
    other.Execute(L"UPDATE T SET Name = 'changed' WHERE ID = 3");
    me.tell(1);
    return 0;
  });
  ASSERT_TRUE(child.started());
  int said = 0;
  ASSERT_TRUE(child.hear(said));
  EXPECT_EQ(child.exitCode(), 0);
  rs.MoveNext();
  EXPECT_STREQ(text(rs.GetFieldValue(L"Name")), L"changed");
}

TEST_P(MultiProcess, AWriterKilledMidWriteLosesNoCommittedRecord) {
  // Fewer with the rollback journal, whose commits each wait for the disk.
  const int kReported = std::string(GetParam()) == "wal" ? 300 : 40;
  CString p = path;
  Child child([p](Child& me) {
    CDaoDatabase db;
    db.Open(p);
    CDaoRecordset rs(&db);
    rs.Open(dbOpenTable, L"T");
    for (int i = 1; i < 1000000; ++i) {
      rs.AddNew();
      CString name;
      name.Format(L"row %d", i);
      rs.SetFieldValue(L"Name", COleVariant(name));
      rs.Update();  // committed when it returns
      me.tell(i);
    }
    return 0;
  });
  ASSERT_TRUE(child.started());
  int last = 0;
  for (int i = 0; i < kReported; ++i) ASSERT_TRUE(child.hear(last));
  child.killHard();  // most likely in the middle of the next Update

  sqlite3* raw = nullptr;
  ASSERT_EQ(
      sqlite3_open_v2((dir.path() + "/shared.mdb").c_str(), &raw, SQLITE_OPEN_READONLY, nullptr),
      SQLITE_OK);
  sqlite3_stmt* check = nullptr;
  sqlite3_prepare_v2(raw, "PRAGMA integrity_check", -1, &check, nullptr);
  ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
  sqlite3_finalize(check);
  sqlite3_close(raw);

  CDaoDatabase db;
  db.Open(path);
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"T");
  EXPECT_GE(rs.GetRecordCount(), last + 1);  // the first record plus every reported one
  rs.SetCurrentIndex(L"PK");
  for (long id = 2; id <= last + 1; ++id) {
    COleVariant key(id);
    ASSERT_TRUE(rs.Seek(L"=", &key)) << id;
    CString expected;
    expected.Format(L"row %ld", id - 1);
    ASSERT_STREQ(text(rs.GetFieldValue(L"Name")), expected);
  }
  rs.AddNew();  // the file still takes writes
  rs.Update();
}

INSTANTIATE_TEST_SUITE_P(Journals, MultiProcess, testing::Values("wal", "rollback"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param);
                         });

}  // namespace
