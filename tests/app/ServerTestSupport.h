// A database of its own on the test server (TABRIK_TEST_PG, started by
// scripts/pg-server.sh), made for one test and dropped after it; and why there is none.
#pragma once
#include <libpq-fe.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

#include "afxdao.h"

namespace daotest {

class TestServerDatabase {
 public:
  // A new, empty database named after `tag`; nullopt (whyNot() says why) when no test
  // server is configured or it cannot be reached. A back end that opens the database
  // but fails its statements fails the tests that use it instead of skipping them.
  static std::optional<TestServerDatabase> make(const std::string& tag) {
    const char* conninfo = std::getenv("TABRIK_TEST_PG");
    if (conninfo == nullptr || *conninfo == '\0') {
      reason() = "no test server: TABRIK_TEST_PG is not set (scripts/test.sh starts one)";
      return std::nullopt;
    }
    const std::string name = "tabrik_" + tag + "_" + std::to_string(::getpid());
    if (!admin("DROP DATABASE IF EXISTS " + name) || !admin("CREATE DATABASE " + name))
      return std::nullopt;
    TestServerDatabase made(name);
    CDaoDatabase probe;
    try {
      const CString connect(made.connectString().c_str());
      probe.Open(connect, FALSE, FALSE, connect);
      probe.Execute(L"DELETE FROM MSysCounters WHERE 1 = 0");
    } catch (CDaoException* e) {
      const long code = e->m_pErrorInfo ? e->m_pErrorInfo->m_lErrorCode : 0;
      e->Delete();
      // Taken for a file name: this build of the engine has no server back end.
      if (code == 3024 || code == 3044) {
        reason() =
            "the engine opens no server database yet (a connect string is taken for a "
            "file name)";
        return std::nullopt;
      }
    }
    return made;
  }
  static std::string whyNot() { return reason(); }

  TestServerDatabase(TestServerDatabase&& other) noexcept : m_name(std::move(other.m_name)) {
    other.m_name.clear();
  }
  TestServerDatabase& operator=(TestServerDatabase&& other) noexcept {
    std::swap(m_name, other.m_name);
    return *this;
  }
  ~TestServerDatabase() {
    if (!m_name.empty()) admin("DROP DATABASE IF EXISTS " + m_name + " WITH (FORCE)");
  }

  const std::string& name() const { return m_name; }
  // DAO's connect string to it; the password comes from the server's password file.
  std::string connectString() const {
    return "ODBC;DRIVER={PostgreSQL Unicode};SERVER=" + env("PGHOST", "127.0.0.1") +
           ";PORT=" + env("PGPORT", "5432") + ";DATABASE=" + m_name +
           ";UID=" + env("PGUSER", "tabrik");
  }

 private:
  explicit TestServerDatabase(std::string name) : m_name(std::move(name)) {}

  static std::string& reason() {
    static std::string text;
    return text;
  }
  static std::string env(const char* name, const char* otherwise) {
    const char* value = std::getenv(name);
    return value && *value ? value : otherwise;
  }
  // One statement on the server's own test database.
  static bool admin(const std::string& sql) {
    PGconn* connection = PQconnectdb(std::getenv("TABRIK_TEST_PG"));
    bool done = PQstatus(connection) == CONNECTION_OK;
    if (done) {
      PGresult* result = PQexec(connection, sql.c_str());
      done = PQresultStatus(result) == PGRES_COMMAND_OK;
      if (!done) reason() = "the test server refused: " + std::string(PQerrorMessage(connection));
      PQclear(result);
    } else {
      reason() = "the test server cannot be reached: " + std::string(PQerrorMessage(connection));
    }
    PQfinish(connection);
    return done;
  }

  std::string m_name;
};

}  // namespace daotest
