// A fresh copy of the sample standards database for one test: its SQL source
// (data/standards/standards.sql) run statement by statement on a new file, as the
// repository's builder script does, and a connection open on it.
#pragma once
#include <afxdao.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "db/CDBConnection.h"
#include "host/DaoStartup.h"

namespace tabrik::testing {

// ASCII text for messages and paths of the tests.
inline std::string narrow(const CString& text) {
  std::wstring wide(text.GetString());
  return std::string(wide.begin(), wide.end());
}

class StandardsDatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char folder[] = "/tmp/tabrik_standards_XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    m_folder = folder;
    ASSERT_TRUE(tabrik::arx::startDatabaseEngine(m_startedDao));
    m_path = CString((m_folder + "/standards.mdb").c_str());
    ASSERT_TRUE(m_connection.CreateDatabase(m_path));
    ASSERT_EQ(m_connection.Open(m_path, false, false), m_path);
    for (const std::string& statement : statements()) {
      long affected = 0;
      ASSERT_TRUE(m_connection.ExecuteCommand(CString(widen(statement).c_str()), affected))
          << statement;
    }
  }
  void TearDown() override {
    m_connection.Close();
    if (m_startedDao) tabrik::arx::stopDatabaseEngine();
    std::system(("chmod -R u+w '" + m_folder + "'; rm -rf '" + m_folder + "'").c_str());
  }

  static std::wstring widen(const std::string& text) {
    return std::wstring(text.begin(), text.end());
  }

  // The statements of the SQL source: lines up to one ending in ";", notes skipped.
  static std::vector<std::string> statements() {
    std::ifstream source(TABRIK_STANDARDS_SQL);
    std::vector<std::string> result;
    std::string line, statement;
    while (std::getline(source, line)) {
      const auto first = line.find_first_not_of(" \t\r");
      if (first == std::string::npos || line.compare(first, 2, "--") == 0) continue;
      const auto last = line.find_last_not_of(" \t\r");
      statement += " " + line.substr(first, last - first + 1);
      if (line[last] == ';') {
        statement.pop_back();
        result.push_back(statement.substr(1));
        statement.clear();
      }
    }
    return result;
  }

  void run(const wchar_t* statement) {
    long affected = 0;
    ASSERT_TRUE(m_connection.ExecuteCommand(statement, affected)) << narrow(statement);
  }

  // The first column of every row of a query, as text ("" for Null).
  std::vector<std::wstring> column(const CString& query) {
    DBQueryResult result;
    EXPECT_TRUE(m_connection.OpenQuery(query, result)) << narrow(query);
    std::vector<std::wstring> values;
    const std::size_t width = result.columns.size();
    for (std::size_t i = 0; width != 0 && i < result.values.size(); i += width) {
      COleVariant value = result.values[i];
      if (value.vt == VT_NULL || value.vt == VT_EMPTY) {
        values.emplace_back();
        continue;
      }
      value.ChangeType(VT_BSTR);
      values.emplace_back(value.bstrVal != nullptr ? value.bstrVal : L"");
    }
    return values;
  }

  std::string m_folder;
  CString m_path;
  bool m_startedDao = false;
  CDBConnection m_connection;
};

}  // namespace tabrik::testing
