// Files as users meet them: read-only where this user cannot write (decided by what
// the kernel lets this user do, in a forked child that is really another user when
// the tests run as root), read-only in folders where no side file can be made, and a
// database file that alone holds every commit after close and after idle time.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "DaoTestSupport.h"
#include "tabrik/DaoMaintenance.h"

using namespace daotest;

namespace {

constexpr uid_t kNobody = 65534;

void makeTableT(CDaoDatabase& db) {
  makeTable(db, L"T", {{L"ID", dbLong, 4, dbAutoIncrField}, {L"Name", dbText, 50}},
            {{L"PK", {{L"ID", false}}, true, true}});
}

// Appends `count` records, each its own transaction.
void appendRecords(CDaoDatabase& db, int count) {
  for (int i = 0; i < count; ++i) db.Execute(L"INSERT INTO T (Name) VALUES ('some text')");
}

long countRecords(const CString& path, bool readOnly = true) {
  CDaoDatabase db;
  db.Open(path, FALSE, readOnly);
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"T");
  return rs.GetRecordCount();
}

std::string native(const CString& path) {
  std::string out;
  for (const wchar_t* p = path.GetString(); *p; ++p) out += static_cast<char>(*p);
  return out;
}

// Runs `body` in a forked child as a user the file system treats as another user
// where that is possible (root: the nobody account; else the same user, whose own
// permission bits the test has taken away). The child's failures come back as text.
std::string inChild(const std::function<std::string()>& body) {
  int fds[2];
  if (pipe(fds) != 0) return "no pipe";
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    std::string failures;
    if (geteuid() == 0 &&
        (setresgid(kNobody, kNobody, kNobody) != 0 || setresuid(kNobody, kNobody, kNobody) != 0))
      failures = "could not become another user";
    if (failures.empty()) {
      try {
        failures = body();
      } catch (CDaoException* e) {
        failures =
            "DAO error " + std::to_string(e->m_pErrorInfo ? e->m_pErrorInfo->m_lErrorCode : 0);
        e->Delete();
      } catch (...) {
        failures = "an exception";
      }
    }
    (void)!write(fds[1], failures.data(), failures.size());
    _exit(0);
  }
  close(fds[1]);
  std::string failures;
  char buffer[256];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) failures.append(buffer, n);
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status)) return "the child did not finish";
  return failures;
}

// What a user who may only read sees of the file: a read-write open refused with
// 3051 (so the caller falls back to read-only), a read-only open that counts every
// record and cannot update.
std::string readOnlyChecks(const CString& path, long expected) {
  std::string failures;
  long code = daoError([&] {
    CDaoDatabase db;
    db.Open(path);
  });
  if (code != 3051) failures += "read-write open gave " + std::to_string(code) + "; ";
  CDaoDatabase db;
  db.Open(path, FALSE, TRUE);
  if (db.CanUpdate()) failures += "read-only open can update; ";
  CDaoRecordset rs(&db);
  rs.Open(dbOpenTable, L"T");
  if (rs.GetRecordCount() != expected)
    failures += "counted " + std::to_string(rs.GetRecordCount()) + "; ";
  return failures;
}

class FileSafety : public testing::Test {
 protected:
  void SetUp() override {
    path = dir.file("plans.mdb");
    CDaoDatabase db;
    db.Create(path);
    makeTableT(db);
    appendRecords(db, 3);
  }
  void TearDown() override {
    chmod(dir.path().c_str(), 0700);  // so the scratch folder can be removed
  }
  ScratchDir dir;
  CString path;
};

// The permission bits leave write permission to someone, just not to this user.
TEST_F(FileSafety, AFileThisUserMayNotWriteOpensReadOnly) {
  if (geteuid() == 0) {
    ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);  // the folder is not what stops the child
    ASSERT_EQ(chmod(native(path).c_str(), 0644), 0);
  } else {
    ASSERT_EQ(chmod(native(path).c_str(), 0466), 0);  // others may write, the owner not
  }
  EXPECT_EQ(inChild([&] { return readOnlyChecks(path, 3); }), "");
}

TEST_F(FileSafety, AFolderWhereNoSideFileCanBeMadeOpensReadOnly) {
  // Closed, the file is in write-ahead-log mode with no log or shared memory beside it.
  ASSERT_FALSE(std::filesystem::exists(native(path) + "-wal"));
  ASSERT_FALSE(std::filesystem::exists(native(path) + "-shm"));
  ASSERT_EQ(chmod(native(path).c_str(), 0644), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
  EXPECT_EQ(inChild([&] { return readOnlyChecks(path, 3); }), "");
  EXPECT_FALSE(std::filesystem::exists(native(path) + "-shm"));
}

TEST_F(FileSafety, AReaderInAReadOnlyFolderSeesWhatAWriterHasNotCheckpointed) {
  CDaoDatabase writer;
  writer.Open(path);
  appendRecords(writer, 5);  // in the log, beside the file
  ASSERT_TRUE(std::filesystem::exists(native(path) + "-shm"));
  ASSERT_EQ(chmod(native(path).c_str(), 0644), 0);
  ASSERT_EQ(chmod((native(path) + "-shm").c_str(), 0644), 0);
  ASSERT_EQ(chmod((native(path) + "-wal").c_str(), 0644), 0);
  ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
  EXPECT_EQ(inChild([&] { return readOnlyChecks(path, 8); }), "");
}

// The file alone, copied as users copy it, holds every committed record.
long countInCopy(const CString& path, ScratchDir& dir, const char* copyName) {
  std::string copy = dir.path() + "/" + copyName;
  std::filesystem::copy_file(native(path), copy);
  return countRecords(CString(copy.c_str()));
}

TEST_F(FileSafety, ACopyOfTheFileAloneHoldsEveryCommitAfterCloseAndAfterIdle) {
  // Another connection keeps the file open throughout, so the engine's own last-close
  // cleanup never runs: what the copies hold is the checkpoints' doing.
  CDaoDatabase other;
  other.Open(path);
  CDaoDatabase writer;
  writer.Open(path);
  appendRecords(writer, 400);
  EXPECT_EQ(tabrik::dao::checkpointOpenDatabases(), 1);  // the writer, not the idle reader
  EXPECT_EQ(tabrik::dao::checkpointOpenDatabases(), 0);  // nothing new since
  EXPECT_EQ(countInCopy(path, dir, "after-idle.mdb"), 403);
  appendRecords(writer, 50);
  writer.Close();
  EXPECT_EQ(countInCopy(path, dir, "after-close.mdb"), 453);
  EXPECT_EQ(countRecords(path), 453);
}

TEST_F(FileSafety, TheLogStaysBoundedWhileASessionWrites) {
  CDaoDatabase other;
  other.Open(path);  // keeps the log from going away with the writer
  CDaoDatabase writer;
  writer.Open(path);
  std::uintmax_t largest = 0;
  for (int round = 0; round < 30; ++round) {
    appendRecords(writer, 100);
    largest = std::max(largest, std::filesystem::file_size(native(path) + "-wal"));
  }
  // A page is 4096 bytes; a commit adds a few pages past the checkpoint threshold.
  EXPECT_LT(largest, std::uintmax_t{(256 + 64) * 4096});
  EXPECT_GE(countInCopy(path, dir, "while-writing.mdb"), 3003 - 256);
}

}  // namespace
