// Generated statements, Jet's and SQLite's syntax mixed, through every path a caller's
// SQL takes (Execute, a query definition, a snapshot's source): each either works or
// fails with a DAO error, and afterwards the file is whole, its catalog agrees with
// its tables, no trigger but the engine's exists, and another connection writes. A
// fixed seed and a bounded count keep it the same run every time.
#include <sqlite3.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "DaoStore.h"
#include "DaoTestSupport.h"

using namespace daotest;

namespace {

const char* const kTables[] = {"Parts",         "Stock", "MSysObjects", "MSysColumns",
                               "sqlite_master", "Nope",  "[Parts]",     "temp.sqlite_master",
                               "main.Parts"};
const char* const kColumns[] = {"ID",    "Name",   "Qty", "Price", "*",
                                "rowid", "[Name]", "sql", "Type"};
const char* const kValues[] = {"1",          "-1",           "'bolt'",      "\"nut\"",
                               "#1/2/2020#", "#13/45/2024#", "True",        "Null",
                               "3.5E2",      "x'00ff'",      "[Enter qty]", "?",
                               ":p",         "'a''b'",       "'*'",         "2147483648"};
const char* const kFunctions[] = {"UCase",
                                  "Left",
                                  "Mid",
                                  "Nz",
                                  "IIf",
                                  "Format",
                                  "CDate",
                                  "Len",
                                  "InStr",
                                  "Count",
                                  "Sum",
                                  "Max",
                                  "First",
                                  "StDev",
                                  "load_extension",
                                  "randomblob",
                                  "fts3_tokenizer",
                                  "sqlite_version",
                                  "printf",
                                  "zeroblob",
                                  "hex",
                                  "char",
                                  "json",
                                  "unlikely",
                                  "Rnd",
                                  "Val"};
const char* const kOperators[] = {"=",  "<>",  "<",    ">=",     "+",   "-",  "*",   "/",
                                  "\\", "Mod", "&",    "||",     "AND", "OR", "XOR", "Like",
                                  "IS", "IN",  "GLOB", "REGEXP", "->",  "==", "!="};
const char* const kRaw[] = {"PRAGMA writable_schema=ON",
                            "PRAGMA journal_mode=OFF",
                            "PRAGMA locking_mode=EXCLUSIVE",
                            "PRAGMA synchronous=0",
                            "PRAGMA foreign_keys=OFF",
                            "ATTACH 'evil.db' AS evil",
                            "DETACH main",
                            "VACUUM",
                            "REINDEX",
                            "ANALYZE",
                            "BEGIN EXCLUSIVE",
                            "COMMIT",
                            "SAVEPOINT s",
                            "ROLLBACK TO s",
                            "CREATE TRIGGER t AFTER INSERT ON Parts BEGIN DELETE FROM Parts; END",
                            "CREATE VIEW v AS SELECT 1",
                            "CREATE VIRTUAL TABLE f USING fts4(x)",
                            "DROP TABLE MSysObjects",
                            "DROP INDEX PrimaryKey ON Parts",
                            "ALTER TABLE Parts ADD COLUMN Extra TEXT(10)",
                            "ALTER TABLE MSysColumns ADD COLUMN Evil LONG",
                            "CREATE TABLE Fresh (A LONG, B TEXT(20))",
                            "CREATE INDEX ixQty ON Parts (Qty)",
                            "DROP TABLE Fresh",
                            "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x+1 FROM c) SELECT "
                            "x FROM c",
                            "EXPLAIN SELECT 1",
                            "SELECT * INTO Copy FROM Parts",
                            "DROP TABLE Copy",
                            "INSERT OR REPLACE INTO Parts (ID, Name) VALUES (1, 'x')",
                            "UPDATE Parts SET Qty = 1 RETURNING *",
                            "SELECT * FROM pragma_table_info('Parts')",
                            "PARAMETERS [p] LONG; SELECT * FROM Parts WHERE Qty > [p]",
                            "SELECT TOP 2 * FROM Parts ORDER BY Qty",
                            "SELECT DISTINCTROW Parts.Name FROM Parts, Stock"};

template <size_t N>
const char* pick(std::mt19937& rng, const char* const (&list)[N]) {
  return list[rng() % N];
}

std::string expression(std::mt19937& rng, int depth) {
  switch (depth > 2 ? rng() % 2 : rng() % 5) {
    case 0:
      return pick(rng, kValues);
    case 1:
      return pick(rng, kColumns);
    case 2:
      return std::string(pick(rng, kFunctions)) + "(" + expression(rng, depth + 1) +
             (rng() % 2 ? ", " + expression(rng, depth + 1) : "") + ")";
    case 3:
      return expression(rng, depth + 1) + " " + pick(rng, kOperators) + " " +
             expression(rng, depth + 1);
    default:
      return "(" + expression(rng, depth + 1) + ")";
  }
}

std::string statement(std::mt19937& rng) {
  std::string s;
  switch (rng() % 7) {
    case 0:
      s = std::string("SELECT ") + expression(rng, 0) + " FROM " + pick(rng, kTables) + " WHERE " +
          expression(rng, 0);
      break;
    case 1:
      s = std::string("INSERT INTO ") + pick(rng, kTables) + " (Name, Qty) VALUES (" +
          expression(rng, 1) + ", " + expression(rng, 1) + ")";
      break;
    case 2:
      s = std::string("UPDATE ") + pick(rng, kTables) + " SET " + pick(rng, kColumns) + " = " +
          expression(rng, 0) + " WHERE " + expression(rng, 0);
      break;
    case 3:
      s = std::string("DELETE FROM ") + pick(rng, kTables) + " WHERE " + expression(rng, 0);
      break;
    case 4:
      s = pick(rng, kRaw);
      break;
    case 5: {  // a statement cut short or with a second one behind it
      s = statement(rng);
      s = rng() % 2 ? s.substr(0, rng() % (s.size() + 1)) : s + "; " + pick(rng, kRaw);
      break;
    }
    default:
      s = std::string("SELECT * FROM Parts WHERE Name IN (SELECT ") + expression(rng, 1) +
          " FROM " + pick(rng, kTables) + ")";
      break;
  }
  return s;
}

std::vector<std::string> column(sqlite3* raw, const char* sql) {
  std::vector<std::string> out;
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(raw, sql, -1, &stmt, nullptr) != SQLITE_OK) return {"<error>"};
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    const unsigned char* t = sqlite3_column_text(stmt, 0);
    out.push_back(t ? reinterpret_cast<const char*>(t) : "NULL");
  }
  sqlite3_finalize(stmt);
  return out;
}

TEST(SqlFuzz, GeneratedStatementsLeaveTheDatabaseWhole) {
  ScratchDir dir;
  std::string path = dir.path() + "/fuzz.mdb";
  CDaoDatabase db;
  db.Create(dir.file("fuzz.mdb"));
  makeTable(db, L"Parts",
            {{L"ID", dbLong, 4, dbAutoIncrField},
             {L"Name", dbText, 50, 0, false, true},
             {L"Qty", dbLong, 4},
             {L"Price", dbCurrency, 8}},
            {{L"PrimaryKey", {{L"ID", false}}, true, true}});
  makeTable(db, L"Stock", {{L"ID", dbLong, 4}, {L"Name", dbText, 50, 0, false, true}});
  for (const wchar_t* name : {L"bolt", L"nut", L"washer"})
    db.Execute(CString(L"INSERT INTO Parts (Name, Qty) VALUES ('") + name + L"', 5)");

  std::mt19937 rng(20240611);
  int worked = 0, failed = 0;
  for (int i = 0; i < 1000; ++i) {
    CString sql(statement(rng).c_str());
    SCOPED_TRACE(tabrik::dao::toUtf8(sql.GetString()));
    auto attempt = [&](auto body) {
      try {
        body();
        ++worked;
      } catch (CDaoException* e) {
        // Every failure is a DAO error with Jet's text, never SQLite's own catch-all.
        EXPECT_NE(e->m_pErrorInfo ? e->m_pErrorInfo->m_lErrorCode : 0, 3000)
            << tabrik::dao::toUtf8(e->m_pErrorInfo->m_strDescription.GetString());
        e->Delete();
        ++failed;
      } catch (CException* e) {
        e->Delete();
        ++failed;
      }
    };
    switch (i % 3) {
      case 0:
        attempt([&] { db.Execute(sql); });
        break;
      case 1:
        attempt([&] {
          CDaoQueryDef q(&db);
          q.Create(nullptr, sql);
          q.Execute();
        });
        break;
      default:
        attempt([&] {
          CDaoRecordset rs(&db);
          rs.Open(dbOpenSnapshot, sql);
        });
        break;
    }
  }
  EXPECT_GT(worked, 50);  // the generator reaches statements that run, not only errors
  EXPECT_GT(failed, 50);

  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
  sqlite3_busy_timeout(raw, 1000);
  EXPECT_EQ(column(raw, "PRAGMA integrity_check"), std::vector<std::string>{"ok"});
  EXPECT_EQ(column(raw, "PRAGMA journal_mode"), std::vector<std::string>{"wal"});
  // No trigger but the engine's, no view, no schema object SQLite's defensive mode
  // would have kept out.
  for (const std::string& trigger : column(raw,
                                           "SELECT name FROM sqlite_master WHERE type = "
                                           "'trigger'"))
    EXPECT_EQ(trigger.rfind("MSys", 0), 0u) << trigger;
  EXPECT_TRUE(column(raw, "SELECT name FROM sqlite_master WHERE type = 'view'").empty());
  // The catalog and the tables agree, both ways, field for field.
  std::vector<std::string> catalog =
      column(raw, "SELECT Name FROM MSysObjects WHERE Type = 1 ORDER BY Name COLLATE NOCASE");
  std::vector<std::string> tables = column(raw,
                                           "SELECT name FROM sqlite_master WHERE type = 'table' "
                                           "AND name NOT LIKE 'sqlite%' ORDER BY name COLLATE "
                                           "NOCASE");
  EXPECT_EQ(catalog, tables);
  for (const std::string& table : tables) {
    SCOPED_TRACE(table);
    std::string fields =
        "SELECT Name FROM MSysColumns WHERE TableName = '" + table + "' ORDER BY Ordinal";
    std::string columns = "SELECT name FROM pragma_table_info('" + table + "') ORDER BY cid";
    EXPECT_EQ(column(raw, fields.c_str()), column(raw, columns.c_str()));
  }
  EXPECT_EQ(column(raw,
                   "SELECT count(*) FROM MSysObjects WHERE Name IN ('MSysObjects', "
                   "'MSysColumns', 'MSysIndexes', 'MSysDb')"),
            std::vector<std::string>{"4"});
  // Another connection writes while this one is open.
  EXPECT_EQ(sqlite3_exec(raw, "INSERT INTO Stock (ID) VALUES (99)", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(raw);
  CDaoDatabase again;
  again.Open(dir.file("fuzz.mdb"));
  EXPECT_TRUE(again.CanUpdate());
  again.Execute(L"INSERT INTO Stock (ID) VALUES (100)");
}

}  // namespace
