// Several `tabrik` processes appending to and editing one table at once, as drafters
// sharing a project database do: nothing is lost, and conflicts are retried as the
// module retries them (so no write reports a failure). Runs on a database file, and
// on the server too when TABRIK_TEST_PG names one.
#include <libpq-fe.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "../dao/DaoTestSupport.h"
#include "ServerTestSupport.h"

namespace {

constexpr int kWorkers = 4;
constexpr int kRecordsEach = 40;

std::string readAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream out;
  out << in.rdbuf();
  return out.str();
}

// Runs `tabrik run` on each script at once; their output goes to script + ".out".
std::vector<int> runTogether(const std::vector<std::string>& scripts) {
  std::vector<pid_t> children;
  for (const std::string& script : scripts) {
    const pid_t pid = fork();
    if (pid == 0) {
      const std::string out = script + ".out";
      if (!freopen(out.c_str(), "w", stdout)) _exit(126);
      dup2(fileno(stdout), 2);
      execl(TABRIK_HOST, TABRIK_HOST, "--quiet", "run", script.c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
    children.push_back(pid);
  }
  std::vector<int> codes;
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    codes.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
  }
  return codes;
}

std::string lispString(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// Each worker appends its records, edits each one right after (the current record),
// and edits the shared first record every time; it prints how many writes failed.
std::string workerScript(const std::string& database, int worker) {
  const std::string w = std::to_string(worker);
  return "(setq failed 0 i 0)\n"
         "(if (not (tb_connect " +
         lispString(database) +
         ")) (setq failed -1000))\n"
         "(tb_table \"Parts\" \"ID\")\n"
         "(repeat " +
         std::to_string(kRecordsEach) +
         "\n"
         "  (setq i (1+ i))\n"
         "  (if (not (tb_append (list (list \"Name\" (strcat \"w" +
         w +
         "-\" (itoa i)))"
         " (list \"Worker\" " +
         w +
         "))))\n"
         "    (setq failed (1+ failed))\n"
         "    (if (not (tb_replace (list (list \"Qty\" i)))) (setq failed (1+ failed))))\n"
         "  (if (and (tb_seek 1) (tb_replace (list (list \"Note\" \"w" +
         w +
         "\"))))\n"
         "    nil (setq failed (1+ failed))))\n"
         "(princ (strcat \"\\nfailed \" (itoa failed) \"\\n\"))\n";
}

class ConcurrentDrafting : public testing::TestWithParam<const char*> {
 protected:
  void SetUp() override {
    if (std::string(GetParam()) == "file") {
      database = dir.path() + "/project.mdb";
      setup = "(tb_create_db " + lispString(database) + ")\n";
    } else {
      server = daotest::TestServerDatabase::make("drafting");
      if (!server) GTEST_SKIP() << daotest::TestServerDatabase::whyNot();
      // Drafting programs name a database by its path: on a server, the path of a
      // pointer file holding the connect string.
      database = dir.path() + "/project.mdb";
      std::ofstream(database) << "# the project's database\n" << server->connectString() << "\n";
    }
  }
  daotest::ScratchDir dir;
  std::optional<daotest::TestServerDatabase> server;
  std::string database, setup;
};

TEST_P(ConcurrentDrafting, FourProcessesLoseNothing) {
  const std::string first = dir.path() + "/setup.lsp";
  std::ofstream(first)
      << setup << "(tb_connect " << lispString(database) << ")\n"
      << "(tb_create_table \"Parts\" (list (list \"ID\" \"LONG\" nil nil \"I\" T T)"
         " (list \"Name\" \"TEXT\" 20 nil \"\") (list \"Worker\" \"LONG\" nil 0)"
         " (list \"Qty\" \"LONG\" nil 0) (list \"Note\" \"TEXT\" 10 nil \"\")))\n"
      << "(tb_table \"Parts\" \"ID\")\n"
      << "(tb_append (list (list \"Name\" \"shared\") (list \"Worker\" 0)))\n"
      << "(princ (strcat \"\\nready \" (vl-princ-to-string (tb_count)) \"\\n\"))\n";
  ASSERT_EQ(runTogether({first}), std::vector<int>{0});
  ASSERT_NE(readAll(first + ".out").find("ready 1"), std::string::npos) << readAll(first + ".out");

  std::vector<std::string> scripts;
  for (int w = 1; w <= kWorkers; ++w) {
    scripts.push_back(dir.path() + "/worker" + std::to_string(w) + ".lsp");
    std::ofstream(scripts.back()) << workerScript(database, w);
  }
  const std::vector<int> codes = runTogether(scripts);
  for (int w = 1; w <= kWorkers; ++w) {
    SCOPED_TRACE("worker " + std::to_string(w));
    const std::string out = readAll(scripts[w - 1] + ".out");
    EXPECT_EQ(codes[w - 1], 0) << out;
    EXPECT_NE(out.find("failed 0\n"), std::string::npos) << out;
  }

  // Per worker: every record there, each edited once; the shared record edited by one.
  const std::string check = dir.path() + "/check.lsp";
  std::ofstream(check) << "(tb_connect " << lispString(database) << ")\n"
                       << "(foreach row (tb_sql \"SELECT Worker, Count(*), Sum(Qty), "
                          "Count(Qty) FROM Parts GROUP BY Worker ORDER BY Worker\")\n"
                          "  (princ (strcat \"\\nworker\" (apply 'strcat (mapcar '(lambda (p) "
                          "(strcat \" \" (vl-princ-to-string (cdr p)))) row)))))\n"
                       << "(princ (strcat \"\\nshared \" (cdr (assoc \"Note\" (progn (tb_table "
                          "\"Parts\" \"ID\") (tb_seek 1)))) \"\\n\"))\n";
  ASSERT_EQ(runTogether({check}), std::vector<int>{0});
  const std::string seen = readAll(check + ".out");
  // Independently: worker w has kRecordsEach records whose Qty are 1..kRecordsEach.
  std::string expected = "\nworker 0 1 nil 0";
  for (int w = 1; w <= kWorkers; ++w)
    expected += "\nworker " + std::to_string(w) + " " + std::to_string(kRecordsEach) + " " +
                std::to_string(kRecordsEach * (kRecordsEach + 1) / 2) + " " +
                std::to_string(kRecordsEach);
  EXPECT_NE(seen.find(expected), std::string::npos) << seen;
  const size_t shared = seen.find("\nshared w");
  ASSERT_NE(shared, std::string::npos) << seen;
  const int editor = std::atoi(seen.c_str() + shared + 9);
  EXPECT_GE(editor, 1);
  EXPECT_LE(editor, kWorkers);
}

INSTANTIATE_TEST_SUITE_P(BackEnds, ConcurrentDrafting, testing::Values("file", "server"),
                         [](const testing::TestParamInfo<const char*>& info) {
                           return std::string(info.param);
                         });

}  // namespace
